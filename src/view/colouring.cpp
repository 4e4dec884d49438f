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

// A double quote at `pos` is escaped when an odd number of backslashes stands before it,
// so "a\\" ends at its last quote while "a\"b" goes on.
bool isEscaped(const char* text, int pos) {
    int backslashes = 0;
    while (pos - backslashes > 0 && text[pos - backslashes - 1] == '\\') ++backslashes;
    return backslashes % 2 == 1;
}

// The '/' at `pos` closes a block comment, unless its '*' is the one that opened it ("/*/").
bool closesComment(const char* text, int pos, int openingStar) {
    return pos > 0 && text[pos] == '/' && text[pos - 1] == '*' && pos - 1 != openingStar;
}

// A Chinese marker such as 一是 directly after a Chinese character is part of a phrase,
// not a marker.
bool followsChineseCharacter(const char* text, int pos) {
    return pos > 1 && byteAt(text, pos - 1) >= 0xA1 && byteAt(text, pos - 2) >= 0xB0;
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
const ColourToken* tokenAt(const char* text, int pos, int length) {
    for (const ColourToken* token : tokensByFirstByte()[byteAt(text, pos)]) {
        if (pos + token->length > length) continue;
        if (std::memcmp(text + pos, token->text, static_cast<size_t>(token->length)) != 0) continue;
        if (static_cast<unsigned char>(token->text[0]) >= 0xA1 && followsChineseCharacter(text, pos)) continue;
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

// Colours the source text of one line, starting and ending with colouring's state.
void colourSource(const char* text, int length, ColourMap& map) {
    int openingStar = -1;
    for (int pos = 0; pos < length;) {
        const unsigned char c = byteAt(text, pos);
        if (colouring.commentDepth) {
            map[static_cast<size_t>(pos)] = COLOUR_COMMENT;
            if (closesComment(text, pos, openingStar)) colouring.commentDepth = 0;
            ++pos;
        } else if (colouring.inString) {
            map[static_cast<size_t>(pos)] = COLOUR_STRING;
            if (c == '"' && !isEscaped(text, pos)) colouring.inString = 0;
            ++pos;
        } else if (startsWord(c) && (pos == 0 || !isAsciiLetter(byteAt(text, pos - 1)))) {
            pos = colourWord(text, pos, length, map);
        } else if (const ColourToken* token = tokenAt(text, pos, length)) {
            fill(map, pos, pos + token->length, token->colour);
            if (token == &TokenTable[0]) {  // "//": the rest of the line is a comment
                fill(map, pos, length, COLOUR_COMMENT);
                return;
            }
            if (token == &TokenTable[1]) {  // "/*"
                colouring.commentDepth = 1;
                openingStar = pos + 1;
            } else if (c == '"' && !(pos > 0 && text[pos - 1] == '\\')) {
                colouring.inString = 1;
            }
            pos += token->length;
        } else {
            pos += charLength(text, pos);
        }
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
    int openingStar = -1;
    for (int pos = 0; text[pos] != '\0';) {
        const unsigned char c = byteAt(text, pos);
        if (depth) {
            if (closesComment(text, pos, openingStar)) depth = 0;
            ++pos;
        } else if (inString) {
            if (c == '"' && !isEscaped(text, pos)) inString = false;
            ++pos;
        } else if (c == '/' && text[pos + 1] == '/') {
            return depth;
        } else if (c == '/' && text[pos + 1] == '*') {
            depth = 1;
            openingStar = pos + 1;
            pos += 2;
        } else if (c == '"') {
            inString = !(pos > 0 && text[pos - 1] == '\\');
            ++pos;
        } else {
            // Words, tokens and characters only step over bytes here; a double-byte
            // character steps over its second byte, whatever that byte is.
            pos += charLength(text, pos);
        }
    }
    return depth;
}
