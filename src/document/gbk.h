// The one code-page-936 rule of the editor.
//
// A byte from 0x81 to 0xFE that stands at a character boundary is the first byte of a
// double-byte character, and the byte after it belongs to it whatever its value. Bytes
// 0x00-0x80 and 0xFF are single-byte characters. Every caret move, deletion, substring,
// measurement, painted run, hit test, wrap point, colouring scan, export span, search
// and block operation asks this module, and every scan starts at the beginning of a
// line, which is always a boundary, so a second byte that looks like ASCII ("\" or "[")
// or like a first byte is never taken for one.
#pragma once

// True when `byte` begins a double-byte character if it stands at a character boundary.
inline bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
inline bool isLeadByte(char byte) { return isLeadByte(static_cast<unsigned char>(byte)); }

// True when `byte` can be the second byte of a double-byte character in a well-formed
// file (0x40-0x7E or 0x80-0xFE); the loader and the paste conversion use it to tell a
// character from a broken pair.
inline bool isTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

// True when position `pos` of `text` is the second byte of a double-byte character.
// Scans from byte 0, stops early at a NUL; pos <= 0 gives false.
bool isInsideDoubleByte(const char* text, int pos);

// Column one character to the right of `col`: col + 2 over a first byte with two bytes
// remaining, else col + 1. `col` must be a character boundary.
int stepRight(const char* text, int col);

// Column one character to the left of `col`: col - 1, then one more when that lands
// inside a double-byte character.
int stepLeft(const char* text, int col);

// Length in bytes (1 or 2) of the character that starts at boundary `pos` of `text`: 2
// for a first byte followed by any byte but the terminator.
int charLength(const char* text, int pos);

// The first boundary at or after `pos` of a text whose boundary `known` (<= pos) is
// already known: the bytes after `known` are read back from `pos` only as far as the
// last byte that cannot begin a character, so a scan that moves its `known` forward
// costs time linear in the line however far it skips.
inline int boundaryAtOrAfter(const char* text, int known, int pos) {
    int runStart = pos;
    while (runStart > known && isLeadByte(text[runStart - 1])) --runStart;
    return (pos - runStart) % 2 == 1 && text[pos] != '\0' ? pos + 1 : pos;
}

// The boundary at or before `pos`: `pos`, or pos - 1 when `pos` is a second byte.
inline int boundaryAtOrBefore(const char* text, int pos) {
    return isInsideDoubleByte(text, pos) ? pos - 1 : pos;
}
