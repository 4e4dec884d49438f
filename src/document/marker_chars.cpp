#include "document/marker_chars.h"

const char* const MarkerChars[MARKER_CHARS_COUNT] = {
    "一二三四五六七八九十百千零〇○",
    "甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥",
    "ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩⅪⅫ",
    "ⅰⅱⅲⅳⅴⅵⅶⅷⅸⅹ",
    "㈠㈡㈢㈣㈤㈥㈦㈧㈨㈩",
    "⒈⒉⒊⒋⒌⒍⒎⒏⒐⒑⒒⒓⒔⒕⒖⒗⒘⒙⒚⒛",
    "⑴⑵⑶⑷⑸⑹⑺⑻⑼⑽⑾⑿⒀⒁⒂⒃⒄⒅⒆⒇",
    "①②③④⑤⑥⑦⑧⑨⑩",
    "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ",
    "αβγδεζηθικλμνξοπρστυφχψω",
};

bool isMarkerChar(int index, const char* text) {
    // The strings hold whole double-byte characters only, so stepping by two stays on
    // their boundaries.
    for (const char* p = MarkerChars[index]; p[0] != '\0' && p[1] != '\0'; p += 2)
        if (p[0] == text[0] && p[1] == text[1]) return true;
    return false;
}
