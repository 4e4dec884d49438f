// Code page 936 and Unicode, by the system's own conversion.
//
// Files in UTF-8 and UTF-16 are edited as GBK text: their characters are turned into code
// page 936 when they load and back when they are saved. Both directions come from one pair
// of tables filled once, on first use, from platform::codePage936ToUnit over every single
// byte and every pair, so the text the editor holds converts exactly as Windows would
// convert it. Every pair of the code page is a character and no two share one, so the
// tables are each other's inverse.
#pragma once

#include <cstdint>

// No character: a byte sequence the code page does not define, or a character it lacks.
constexpr int NO_CHARACTER = -1;

// The Unicode code point of the single byte `byte`, or NO_CHARACTER (0x81-0xFF).
int unicodeOfSingleByte(unsigned char byte);
// The Unicode code point of the pair `lead` `trail`, or NO_CHARACTER.
int unicodeOfPair(unsigned char lead, unsigned char trail);
// The code page 936 code of `codePoint`: below 0x100 a single byte, else first byte * 256
// + second byte; NO_CHARACTER when the code page has no such character.
int gbkCodeOf(uint32_t codePoint);

// ---- The tables themselves, for conversions of whole texts ----
// Absent entries are 0 (U+0000 and code 0 are only ever the byte 0x00).
constexpr int TRAILS_PER_LEAD = 0xFF - 0x40;
// The Unicode unit of each pair, by (first byte - 0x81) * TRAILS_PER_LEAD + second byte - 0x40.
const uint16_t* pairUnitTable();
// The code page 936 code of each BMP code point (as gbkCodeOf), by code point.
const uint16_t* codeOfUnitTable();
