// The wildcard matcher: finds the find text, a pattern of literal bytes and backslash or
// caret tokens, in the document from the caret forward, and fills the numbered capture
// slots that replacement templates read back.
#pragma once

#include <string>

#include "document/document.h"

// The capture slots: 0 Roman numerals, 1-4 bracket captures, 5 rest of line, 6-8 letter
// runs, 9 Chinese numerals, 10-19 symbol runs, 20-29 numbers, 30-39 variable names,
// 40-49 Chinese-character runs, 50 read by templates only.
constexpr int CAPTURE_SLOT_COUNT = 51;

struct CaptureSlot {
    bool present = false;  // absent slots leave their template token untouched
    std::string text;      // may be empty; held whole, whatever its length
};

// The 51 slots; they keep their texts between searches until freeCaptures. A slot holds
// what the last attempt that stored into it took, whether or not that attempt matched.
extern CaptureSlot CaptureSlots[CAPTURE_SLOT_COUNT];

// Finds the next match of the find text (through findState.findTextPointer, or
// findState.findText while that is null) from the caret forward, never wrapping. On
// success sets findState.matchStartLine/matchStartCol to the first matched byte, the
// document's anchor to the last matched byte and findState.found; a match that ends with
// a line break has the anchor on that line break (the end column of its line), a match
// of no bytes (the pattern "\n" at a line start) has the anchor on its start. On failure
// changes none of them. An empty find text finds nothing. Captures are stored as it goes.
void wildcardFind(bool matchCase);

// Makes the one attempt of wildcardFind's scan that starts at (line, col), a character
// boundary, with nothing carried over from other starts: stores the captures it takes
// and, on a match, reports it as wildcardFind does. True on a match. Attempts made start
// after start this way are what the scan must amount to; the tests compare the two.
bool wildcardAttemptAt(LineNode* line, int col, bool matchCase);

// Stores a copy of `size` bytes into slot `slot` (0-50), replacing what it held. Texts of
// any length are stored whole; out-of-range slots and negative sizes are ignored.
void storeCapture(int slot, const char* bytes, int size);

// Empties all 51 slots (they become absent).
void freeCaptures();

// True when the find text `pattern` is exactly "\n", which matches a line start (no
// bytes) but also, by the literal rule, the two bytes "\n" inside a line.
bool isLineStartPattern(const char* pattern);

// True when the last successful wildcardFind matched no bytes (its start and end
// coincide), so replacing the match deletes nothing.
bool wildcardMatchWasEmpty();

// The Chinese-character class of the \C run: the ideographs of code page 936, that is
// GB2312's two levels (first byte 0xB0-0xF7, second 0xA1-0xFE, without the five unused
// places 0xD7FA-0xD7FE) and GBK's two extension areas (first byte 0x81-0xA0 with second
// 0x40-0xFE, and first byte 0xAA-0xFE with second 0x40-0xA0; 0x7F is never a second
// byte). The symbol areas (first byte 0xA1-0xA9 with second 0xA1-0xFE, and 0xA8-0xA9
// with second 0x40-0xA0) and the user-defined areas (0xAA-0xAF and 0xF8-0xFE with second
// 0xA1-0xFE, 0xA1-0xA7 with second 0x40-0xA0) stay out.
bool isChineseCharacter(unsigned char first, unsigned char second);
