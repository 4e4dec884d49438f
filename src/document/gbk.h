// The GBK rules of the editor, in one place.
//
// Two thresholds decide where a double-byte character starts:
// - the editing rule (lead byte >= 0xA1): caret moves, deletion, substrings, the
//   selection text; bytes 0x80-0xA0 are single-byte characters there;
// - the display rule (lead byte >= 0xA0): measuring, painting, colouring, hit-testing,
//   reflow and the size estimate of a selection.
// In both, the byte after a lead byte belongs to it whatever its value, and every scan
// starts at the beginning of the line, so a trail byte is never taken for a lead byte.
#pragma once

// True when `byte` starts a double-byte character under the editing rule.
inline bool isEditingLeadByte(unsigned char byte) { return byte >= 0xA1; }
// True when `byte` starts a double-byte character under the display rule.
inline bool isDisplayLeadByte(unsigned char byte) { return byte >= 0xA0; }

// True when position `pos` of `text` is the second byte of a double-byte character
// (editing rule). Scans from byte 0, stops early at a NUL; pos <= 0 gives false.
bool isInsideDoubleByte(const char* text, int pos);

// Same question under the display rule.
bool isInsideDisplayDoubleByte(const char* text, int pos);

// Column one character to the right of `col` (editing rule): col + 2 over a lead byte
// with two bytes remaining, else col + 1.
int stepRight(const char* text, int col);

// Column one character to the left of `col` (editing rule): col - 1, then one more when
// that lands inside a double-byte character.
int stepLeft(const char* text, int col);

// Length in bytes (1 or 2) of the display character that starts at `text[pos]`.
int displayCharLength(const char* text, int pos);
