// The 16 colours of the editing window (also the colour classes of the exported page) and
// the colour of the line-number gutter.
#pragma once

#include <cstdint>

// A colour as Windows stores it: red in the low byte, then green, then blue.
using Colour = uint32_t;

constexpr Colour rgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr unsigned redOf(Colour colour) { return colour & 0xFF; }
constexpr unsigned greenOf(Colour colour) { return (colour >> 8) & 0xFF; }
constexpr unsigned blueOf(Colour colour) { return (colour >> 16) & 0xFF; }

constexpr int PALETTE_SIZE = 16;
extern const Colour Palette[PALETTE_SIZE];

// Palette indices with a fixed meaning.
constexpr int COLOUR_BLACK = 0;       // the window background; banner shadow
constexpr int COLOUR_SELECTION = 1;   // background of selected text
constexpr int COLOUR_STRING = 6;      // string literals and "->"
constexpr int COLOUR_IDENTIFIER = 7;  // words that are not keywords
constexpr int COLOUR_DEFAULT = 8;     // everything nothing else colours
constexpr int COLOUR_COMMENT = 10;
constexpr int COLOUR_BANNER = 12;     // background of the recording banner
constexpr int COLOUR_WHITE = 15;      // digits; banner text

// Line numbers in the gutter.
constexpr Colour GUTTER_COLOUR = rgb(0x00, 0x85, 0x00);
