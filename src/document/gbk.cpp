#include "document/gbk.h"

#include <cstring>

#include "document/text_length.h"

bool isInsideDoubleByte(const char* text, int pos) {
    if (text == nullptr || pos <= 0) return false;
    const size_t scanned = textLengthUpTo(text, static_cast<size_t>(pos));
    if (scanned < static_cast<size_t>(pos)) {
        // A position past the terminator: the state after the last byte of the text.
        bool trailNext = false;
        for (size_t i = 0; i < scanned; ++i) trailNext = !trailNext && isLeadByte(text[i]);
        return trailNext;
    }
    // Only bytes that can begin a character can be read either way. The position after
    // any other byte is a boundary, whether that byte stands alone or ends a pair, so
    // the run of first-byte values before `pos` decides by its parity alone. This keeps
    // the question cheap at the end of a line of many megabytes.
    int runStart = pos;
    while (runStart > 0 && isLeadByte(text[runStart - 1])) --runStart;
    return (pos - runStart) % 2 == 1;
}

int stepRight(const char* text, int col) {
    const int length = static_cast<int>(textLength(text));
    if (col < length && isLeadByte(text[col]) && length - col >= 2) return col + 2;
    return col + 1;
}

int stepLeft(const char* text, int col) {
    int left = col - 1;
    if (isInsideDoubleByte(text, left)) --left;
    return left;
}

int charLength(const char* text, int pos) {
    return (isLeadByte(text[pos]) && text[pos + 1] != '\0') ? 2 : 1;
}
