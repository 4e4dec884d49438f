#include "files/image_lines.h"

#include <cstring>

#include "document/document.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "document/raw_lines.h"

namespace {

constexpr int END_OF_INPUT = -1;

// Where the next kept byte goes and where the current line began, inside the image.
struct InPlaceLine {
    char* bytes;
    size_t start = 0;  // of the current line's text
    size_t end = 0;    // one past its last kept byte
    LineNode* tail = nullptr;

    void keep(char byte) { bytes[end++] = byte; }

    // Keeps the `length` bytes at `from` (never before `end`), moved down when bytes were
    // dropped before them.
    void keepRun(size_t from, size_t length) {
        if (from != end) std::memmove(bytes + end, bytes + from, length);
        end += length;
    }

    // Ends the current line; the next one starts at `next`, the first byte not yet read.
    void store(size_t next) {
        LineNode* node = tail ? insertLineAfter(tail) : appendLine();
        node->text = takeTextInPlace(bytes + start, end - start, EXIT_STATUS_LOADER);
        node->flags = LN_HARD_RETURN;
        tail = node;
        start = end = next;
    }
};

// The end of the run from `at` of bytes that need no decision: printable single bytes
// (0x20-0x80, 0xFF) and first bytes followed by a byte that can be their second byte.
// Called at a character boundary; anything else stops it.
size_t plainRunEnd(const unsigned char* bytes, size_t at, size_t size) {
    while (at < size) {
        const unsigned char byte = bytes[at];
        if (!isLeadByte(byte)) {
            if (byte < 0x20) break;
            ++at;
        } else if (at + 1 < size && isTrailByte(bytes[at + 1])) {
            at += 2;
        } else {
            break;
        }
    }
    return at;
}

// The position of the first byte at or after `at` that is not dropped.
size_t pastDropped(const unsigned char* bytes, size_t at, size_t size) {
    while (at < size && isDroppedControlByte(bytes[at])) ++at;
    return at;
}

}  // namespace

void splitImageIntoLines(char* text, size_t size, char tabReplacement) {
    LineCarving carving(EXIT_STATUS_LOADER);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    InPlaceLine line{text};
    RawLineReader reader;
    size_t at = 0;
    while (at < size) {
        const int c = bytes[at];
        if (c == 0x1A) break;
        if (isDroppedControlByte(c)) {
            ++at;
            continue;
        }
        // Only a first byte asks what follows it; dropped bytes between are skipped.
        const size_t following = isLeadByte(static_cast<unsigned char>(c)) ? pastDropped(bytes, at + 1, size) : at + 1;
        const int next = isLeadByte(static_cast<unsigned char>(c)) && following < size ? bytes[following] : END_OF_INPUT;
        switch (reader.roleOf(c, next)) {
            case RawByteRole::Pair:
                line.keep(static_cast<char>(c));
                line.keep(static_cast<char>(next));
                at = following + 1;
                break;
            case RawByteRole::LineEnd:
                line.store(at + 1);
                at = line.start;
                continue;
            case RawByteRole::SkippedLineFeed:
                ++at;
                if (line.start == line.end) line.start = line.end = at;
                continue;
            case RawByteRole::Single:
                if (c == 0x09)
                    line.keep(tabReplacement);
                else if (c >= 0x20)
                    line.keep(static_cast<char>(c));
                ++at;
                break;
        }
        const size_t runEnd = plainRunEnd(bytes, at, size);
        line.keepRun(at, runEnd - at);
        at = runEnd;
    }
    line.store(size);
    doc.caretLine = line.tail;
}
