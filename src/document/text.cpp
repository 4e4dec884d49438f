#include "document/text.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "document/text_length.h"

namespace {

int lengthOf(const char* text) { return static_cast<int>(textLength(text)); }

}  // namespace

char* insertText(char* src, int at, const char* piece) {
    const int srcLength = lengthOf(src);
    const int pieceLength = lengthOf(piece);
    if (at < 0 || at > srcLength) at = srcLength;
    if (src != nullptr && pieceLength > 0 && !isCarvedPiece(src)) {
        // A text of its own grows in place where the heap allows: a long line is then
        // moved only after the insertion point, not copied whole at every key.
        char* grown = static_cast<char*>(std::realloc(src, static_cast<size_t>(srcLength) + pieceLength + 1));
        if (grown == nullptr) std::exit(EXIT_STATUS_CORE);
        std::memmove(grown + at + pieceLength, grown + at, static_cast<size_t>(srcLength - at) + 1);
        std::memcpy(grown + at, piece, static_cast<size_t>(pieceLength));
        return grown;
    }
    char* result = static_cast<char*>(allocateOrExit(static_cast<size_t>(srcLength) + pieceLength + 1));
    if (at > 0) std::memcpy(result, src, at);
    if (pieceLength > 0) std::memcpy(result + at, piece, pieceLength);
    if (srcLength > at) std::memcpy(result + at + pieceLength, src + at, srcLength - at);
    result[srcLength + pieceLength] = '\0';
    releaseLineText(src);
    return result;
}

char* deleteText(int count, int at, char* src) {
    const int length = lengthOf(src);
    if (at < 0) at = 0;
    if (at > length) at = length;
    int end = (count < 0 || count > length - at) ? length : at + count;
    if (end < length && isInsideDoubleByte(src, end)) ++end;
    if (src != nullptr && !isCarvedPiece(src)) {
        // Removed in place, as insertText grows in place.
        std::memmove(src + at, src + end, static_cast<size_t>(length - end) + 1);
        return src;
    }
    char* result = static_cast<char*>(allocateOrExit(static_cast<size_t>(length - (end - at)) + 1));
    if (at > 0) std::memcpy(result, src, at);
    std::memcpy(result + at, src + end, length - end);
    result[length - (end - at)] = '\0';
    releaseLineText(src);
    return result;
}

char* substring(int count, int at, const char* src) {
    const int length = lengthOf(src);
    if (at > length || at < 0) at = 0;
    if (isInsideDoubleByte(src, at)) --at;
    int end = length;
    if (count > 0 && count < length - at) {
        end = at + count;
        if (isInsideDoubleByte(src, end)) ++end;
    }
    return copyBytesOrExit(src ? src + at : "", static_cast<size_t>(end - at));
}

int countVisibleChars(const char* text) {
    int count = 0;
    for (int pos = 0; text && text[pos] != '\0';) {
        const int length = charLength(text, pos);
        const unsigned char byte = static_cast<unsigned char>(text[pos]);
        if (length == 2 || (byte >= 0x21 && byte <= 0x7E)) ++count;
        pos += length;
    }
    return count;
}

void stripLeadingBlanks(char* buf) {
    if (buf == nullptr) return;
    char* p = buf;
    for (;;) {
        if (std::isspace(static_cast<unsigned char>(*p))) {
            ++p;
        } else if (static_cast<unsigned char>(p[0]) == 0xA1 && static_cast<unsigned char>(p[1]) == 0xA1) {
            p += 2;
        } else {
            break;
        }
    }
    if (p != buf) std::memmove(buf, p, std::strlen(p) + 1);
}

void trimTrailingBlanks(char* buf) {
    if (buf == nullptr) return;
    // Walked from the start: a space or tab byte that ends a double-byte character is
    // part of it, not a blank, so the text keeps every character whole.
    int kept = 0;
    for (int pos = 0; buf[pos] != '\0';) {
        const int length = charLength(buf, pos);
        pos += length;
        if (length == 2 || (buf[pos - 1] != ' ' && buf[pos - 1] != '\t')) kept = pos;
    }
    buf[kept] = '\0';
}

int findField(int n, char sep, const char* text, int* start, int* end) {
    if (text == nullptr) return -1;
    // Only a separator that is a character of its own counts, never the second byte of
    // a double-byte character, so a field always starts and ends on a boundary.
    int pos = 0;
    int skipped = 0;
    int fieldEnd = -1;
    for (int at = 0; text[at] != '\0'; at += charLength(text, at)) {
        if (text[at] != sep || charLength(text, at) != 1) continue;
        if (skipped == n) {
            fieldEnd = at;
            break;
        }
        ++skipped;
        pos = at + 1;
    }
    if (skipped < n) return -1;
    if (start) *start = pos;
    if (end) *end = fieldEnd >= 0 ? fieldEnd : static_cast<int>(std::strlen(text));
    return pos;
}
