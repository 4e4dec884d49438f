// Painting as data: everything the editing window shows, laid out by the core.
//
// The frame is a black background with text runs drawn on it in order: the line-number
// gutter, the lines of text, the recording banner. The Win32 painter draws exactly these
// runs, each character at the position given here, into a memory bitmap and copies that
// to the window in one transfer.
#pragma once

#include <string>
#include <vector>

#include "view/palette.h"

// Characters of one colour drawn from (x, y), the top left of the first character.
struct TextRun {
    int x = 0;
    int y = 0;
    int fontSlot = 0;  // the line style whose font draws the run
    Colour textColour = 0;
    Colour backgroundColour = 0;
    bool opaque = false;     // fill (x, y) to (x + width(), y + cellHeight) first
    int cellHeight = 0;      // height of the background cell: the font's height
    std::string bytes;       // GBK, one or two bytes per character; a tab is drawn as spaces
    std::vector<int> advances;  // pixels from each character to the next, one per character

    // Sum of the advances.
    int width() const;
};

struct Frame {
    int width = 0;
    int height = 0;
    Colour background = 0;
    std::vector<TextRun> gutter;  // drawn first: text may overlap it
    std::vector<TextRun> text;
    std::vector<TextRun> banner;
};

// Lays out the whole client area from the document and the view. While a mouse drag
// selects, this also brings the selection up to the caret.
void buildFrame(Frame& frame);

// The caption of the recording banner.
extern const char* const RECORDING_BANNER;
// Pixels left of the right edge where the banner starts.
constexpr int BANNER_OFFSET = 187;
// Width of the line-number gutter at the right edge.
constexpr int GUTTER_WIDTH = 166;
