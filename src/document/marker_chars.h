// The characters of the numbering markers: ten GBK strings of double-byte characters,
// one per marker kind. Paragraph splitting finds markers made of them, and the wildcard
// matcher's Chinese- and Roman-numeral classes use entries 0, 2 and 3.
#pragma once

enum MarkerCharsIndex {
    MARKER_CHINESE_NUMERALS = 0,      // 一二三四五六七八九十百千零〇○
    MARKER_STEMS = 1,                 // heavenly stems and earthly branches
    MARKER_ROMAN_UPPER = 2,           // Ⅰ to Ⅻ
    MARKER_ROMAN_LOWER = 3,           // ⅰ to ⅹ
    MARKER_BRACKETED_NUMERALS = 4,    // ㈠ to ㈩
    MARKER_FULL_STOP_NUMBERS = 5,     // ⒈ to ⒛
    MARKER_PARENTHESISED_NUMBERS = 6, // ⑴ to ⒇
    MARKER_CIRCLED_NUMBERS = 7,       // ① to ⑩
    MARKER_GREEK_UPPER = 8,
    MARKER_GREEK_LOWER = 9,
    MARKER_CHARS_COUNT = 10
};

// The GBK string of the characters of entry `index` (0-9).
extern const char* const MarkerChars[MARKER_CHARS_COUNT];

// True when the two bytes at `text` form one of the characters of entry `index`
// (both bytes compared). `text` must hold at least two bytes.
bool isMarkerChar(int index, const char* text);
