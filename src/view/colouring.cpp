#include "view/colouring.h"

#include <cstring>

#include "document/gbk.h"
#include "view/colour_tables.h"
#include "view/comment_memo.h"
#include "view/palette.h"
#include "view/view_state.h"

ColouringState colouring;

namespace {

constexpr int MAX_WORD_LENGTH = 65;

bool isAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool startsWord(unsigned char c) { return isAsciiLetter(c) || c == '_' || c == '#'; }
bool continuesWord(unsigned char c) { return startsWord(c) || isAsciiDigit(c); }

unsigned char byteAt(const char* text, int pos) { return static_cast<unsigned char>(text[pos]); }

// Inside a string a backslash escapes the character after it, so "a\\" ends at its last
// quote while "a\"b" goes on. Only single-byte backslashes count: the second byte of a
// character may be 0x5C.
struct EscapeTracker {
    bool pending = false;
    // True when the character at `pos` (a boundary) is escaped; then notes it.
    bool escapes(const char* text, int pos) {
        const bool escaped = pending;
        pending = !escaped && text[pos] == '\\' && charLength(text, pos) == 1;
        return escaped;
    }
};

// The '/' at `pos` closes a block comment, unless its '*' is the one that opened it ("/*/").
bool closesComment(const char* text, int pos, int openingStar) {
    return pos > 0 && text[pos] == '/' && text[pos - 1] == '*' && pos - 1 != openingStar;
}

// True for the first byte of a Chinese character: the ideographs of GB2312 (first byte
// 0xB0 or higher) and of the extension whose first bytes are 0x81-0xA0 (學, 們, 對).
bool beginsChineseCharacter(unsigned char lead) { return isLeadByte(lead) && (lead >= 0xB0 || lead <= 0xA0); }

// A Chinese marker such as 一是 directly after a Chinese character is part of a phrase,
// not a marker. `previous` is the start of the character before `pos` (-1: none).
bool followsChineseCharacter(const char* text, int pos, int previous) {
    return previous >= 0 && pos - previous == 2 && beginsChineseCharacter(byteAt(text, previous));
}

// The entries of TokenTable by their first byte, each list in table order.
using TokensByFirstByte = std::vector<const ColourToken*>[256];
const TokensByFirstByte& tokensByFirstByte() {
    static TokensByFirstByte lists;
    static const bool built = [] {
        for (const ColourToken& token : TokenTable) lists[static_cast<unsigned char>(token.text[0])].push_back(&token);
        return true;
    }();
    (void)built;
    return lists;
}

// The first entry of TokenTable that stands at `pos`, or null.
const ColourToken* tokenAt(const char* text, int pos, int previous, int length) {
    for (const ColourToken* token : tokensByFirstByte()[byteAt(text, pos)]) {
        if (pos + token->length > length) continue;
        if (std::memcmp(text + pos, token->text, static_cast<size_t>(token->length)) != 0) continue;
        if (isLeadByte(token->text[0]) && followsChineseCharacter(text, pos, previous)) continue;
        return token;
    }
    return nullptr;
}

void fill(ColourMap& map, int from, int to, int colour) {
    for (int i = from; i < to; ++i) map[static_cast<size_t>(i)] = static_cast<unsigned char>(colour);
}

// Colours the word at `pos` and returns the position after it.
int colourWord(const char* text, int pos, int length, ColourMap& map) {
    int end = pos + 1;
    while (end < length && end - pos < MAX_WORD_LENGTH && continuesWord(byteAt(text, end))) ++end;
    const int keyword = keywordColour(text + pos, end - pos);
    fill(map, pos, end, keyword >= 0 ? keyword : COLOUR_IDENTIFIER);
    return end;
}

// True when the character before `pos` (starting at `previous`, -1: none) is the
// single byte `c`; a second byte that looks like `c` is not.
bool singleBefore(const char* text, int pos, int previous, char c) {
    return previous >= 0 && pos - previous == 1 && text[previous] == c;
}

// Colours the source text of one line, starting and ending with colouring's state. The
// walk goes from character to character, so both bytes of a character take one colour.
void colourSource(const char* text, int length, ColourMap& map) {
    int openingStar = -1;
    EscapeTracker escape;
    int previous = -1;  // start of the character before `pos`
    for (int pos = 0; pos < length;) {
        const unsigned char c = byteAt(text, pos);
        const int start = pos;
        const int width = charLength(text, pos);
        if (colouring.commentDepth) {
            fill(map, pos, pos + width, COLOUR_COMMENT);
            if (width == 1 && closesComment(text, pos, openingStar) && singleBefore(text, pos, previous, '*'))
                colouring.commentDepth = 0;
            pos += width;
        } else if (colouring.inString) {
            fill(map, pos, pos + width, COLOUR_STRING);
            if (!escape.escapes(text, pos) && c == '"') colouring.inString = 0;
            pos += width;
        } else if (startsWord(c) && !(previous >= 0 && pos - previous == 1 && isAsciiLetter(byteAt(text, previous)))) {
            pos = colourWord(text, pos, length, map);
        } else if (const ColourToken* token = tokenAt(text, pos, previous, length)) {
            fill(map, pos, pos + token->length, token->colour);
            if (token == &TokenTable[0]) {  // "//": the rest of the line is a comment
                fill(map, pos, length, COLOUR_COMMENT);
                return;
            }
            if (token == &TokenTable[1]) {  // "/*"
                colouring.commentDepth = 1;
                openingStar = pos + 1;
            } else if (c == '"' && !singleBefore(text, pos, previous, '\\')) {
                colouring.inString = 1;
                escape = EscapeTracker{};
            }
            pos += token->length;
        } else {
            pos += width;
        }
        // A word or token is ASCII or whole characters, so `pos` is again a boundary.
        for (previous = start; previous + charLength(text, previous) < pos;) previous += charLength(text, previous);
    }
}

}  // namespace

void startColouringPass() { colouring = ColouringState{}; }

void startColouringPassAtHead() {
    colouring = ColouringState{};
    colouring.linesColoured = 1;
}

void colourLine(const LineNode* line, ColourMap& map) {
    const char* text = line->text ? line->text : "";
    const int length = static_cast<int>(std::strlen(text));
    map.assign(static_cast<size_t>(length) + 1, COLOUR_DEFAULT);
    if (view.wrapMode) return;
    if (colouring.linesColoured == 0) colouring.commentDepth = commentDepthAtStart(line);
    ++colouring.linesColoured;
    colouring.inString = 0;
    colourSource(text, length, map);
}

int commentDepthAfter(const char* text, int depth) {
    // A comment can neither open nor close without a '/': most lines end as they start.
    if (std::strchr(text, '/') == nullptr) return depth;
    bool inString = false;
    EscapeTracker escape;
    int openingStar = -1;
    int previous = -1;  // start of the character before `pos`
    for (int pos = 0; text[pos] != '\0';) {
        const unsigned char c = byteAt(text, pos);
        // Words, tokens and characters only step over bytes here; a double-byte
        // character steps over its second byte, whatever that byte is.
        const int width = charLength(text, pos);
        if (depth) {
            if (width == 1 && closesComment(text, pos, openingStar) && singleBefore(text, pos, previous, '*')) depth = 0;
        } else if (inString) {
            if (!escape.escapes(text, pos) && c == '"') inString = false;
        } else if (c == '/' && text[pos + 1] == '/') {
            return depth;
        } else if (c == '/' && text[pos + 1] == '*') {
            depth = 1;
            openingStar = pos + 1;
            previous = pos + 1;
            pos += 2;
            continue;
        } else if (c == '"') {
            inString = !singleBefore(text, pos, previous, '\\');
            escape = EscapeTracker{};
        }
        previous = pos;
        pos += width;
    }
    return depth;
}
