// The reversible scrambling of lines behind Alt+C: running it twice gives back every byte.
#pragma once

// The byte that `byte` (never zero) becomes: its mirror within 0xA0-0xFF or within
// 0x01-0x9D, and 0x9E and 0x9F exchanged. Its own inverse, and never zero.
unsigned char scrambledByte(unsigned char byte);

// Scrambles `length` bytes in place: exchanges bytes pairwise across the text, then maps
// each through scrambledByte. Its own inverse; the length and every byte survive.
void scrambleBytes(char* text, int length);
