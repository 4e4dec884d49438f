// Syntax colouring of C-like source text, line by line.
//
// A colour map holds one byte per byte of a line plus one for its terminator: the low
// nibble is the palette index of the text, the high nibble that of its background (0: no
// background). Under word wrap text is prose and everything keeps the default colour.
#pragma once

#include <vector>

#include "document/document.h"

using ColourMap = std::vector<unsigned char>;

// The state of one colouring pass over consecutive lines.
struct ColouringState {
    int commentDepth = 0;   // non-zero inside a block comment; carried from line to line
    int inString = 0;       // inside a string literal; reset at the start of every line
    int linesColoured = 0;  // 0: the next line takes its comment depth from the lines above
};

extern ColouringState colouring;

// Starts a pass whose first line takes its comment depth from the lines above it.
void startColouringPass();
// Starts a pass at the document's first line, where there is nothing above to look at.
void startColouringPassAtHead();
// Fills `map` with the colours of `line` and carries the comment depth to the next line.
void colourLine(const LineNode* line, ColourMap& map);
// colourLine for the part of a long line that is on screen: fills `map` with the colours
// of bytes [from, to) at map[i - returned first] (one more entry for what follows) and
// returns the first byte the map holds (0 for a line short enough to be coloured whole,
// whose map then covers it all). With `carryDepth` the comment depth at the line's end is
// carried to the next line; without, the line is the last one coloured in this pass.
int colourLineSpan(const LineNode* line, int from, int to, ColourMap& map, bool carryDepth);
// Comment depth at the end of `text` when it starts at `depth`: colourLine's rules
// without the colours, fast enough to run over every line above the window.
int commentDepthAfter(const char* text, int depth);
