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

// Longest text a capture holds (with its closing bracket); a longer run is not stored
// and the slot keeps what it held before.
constexpr int CAPTURE_LIMIT = 102400;

struct CaptureSlot {
    bool present = false;  // absent slots leave their template token untouched
    std::string text;      // may be empty
};

// The 51 slots; they keep their texts between searches until freeCaptures.
extern CaptureSlot CaptureSlots[CAPTURE_SLOT_COUNT];

// Finds the next match of the find text (through findState.findTextPointer, or
// findState.findText while that is null) from the caret forward. On success sets
// findState.matchStartLine/matchStartCol to the first matched byte, the document's anchor
// to the last matched byte (column 0 when the match ends right after a line break) and
// findState.found; on failure changes none of them. Captures are stored as it goes.
void wildcardFind(bool matchCase);

// Stores a copy of `size` bytes into slot `slot` (0-50), replacing what it held. A
// capture longer than CAPTURE_LIMIT is refused: the slot keeps its old text. Out-of-range
// slots are ignored.
void storeCapture(int slot, const char* bytes, int size);

// Empties all 51 slots (they become absent).
void freeCaptures();

// True when the two-byte character starting at `text` counts as a Chinese character for
// the \C run: see the definition in wildcard.cpp.
bool isChineseCharacter(const unsigned char* text);
