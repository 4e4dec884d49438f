// Characters the code page lacks, held in the text by stand-in codes.
//
// A UTF-8 or UTF-16 file may hold characters that code page 936 has no code for (emoji,
// CJK extension B and beyond, other scripts). Each distinct one is given, for the
// document's lifetime, one of the code page's private codes (the 2,149 pairs it maps into
// U+E000-U+F8FF, the user-defined areas among them) that the text does not use for its own
// private character: the text holds that pair, every feature treats it as one double-byte
// character, the painter shows it as a placeholder, and Save and Copy give back the real
// character. A private character met after its code went to a stand-in gets a stand-in
// too. The table is emptied when the document is discarded.
#pragma once

#include <cstddef>
#include <cstdint>

// The stand-in code (first byte * 256 + second byte) of `codePoint`, given one if it has
// none yet; -1 when every private code is taken.
int standInFor(uint32_t codePoint);
// The real character behind the pair `lead` `trail`, or 0 when it is no stand-in.
uint32_t characterOfStandIn(unsigned char lead, unsigned char trail);
// True while any stand-in has been given.
bool hasStandIns();
// Number of private codes, the most stand-ins a document can have.
int standInCapacity();
// Forgets every stand-in (the document is gone).
void forgetStandIns();

// ---- Characters of the text and Unicode ----

// The code `codePoint` has in the text: the code page's own (below 0x100 one byte, else
// first byte * 256 + second byte) unless a stand-in holds it, else a stand-in; -1 when
// no code is left.
int textCodeOf(uint32_t codePoint);
// The Unicode character at boundary `at` of the text `text[0..size)` (a stand-in's real
// character), with its length in bytes in `length`; -1 when the bytes are no character
// of the code page (0xFF, a first byte without a second byte that fits).
int characterAt(const unsigned char* text, size_t at, size_t size, size_t& length);
