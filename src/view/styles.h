// The five line styles: their fonts, character metrics and extra letter spacing.
//
// A line's LN_STYLE field picks its record. Each style's font lives in the font slot of
// the same number at the platform seam, which is where text is measured and drawn.
#pragma once

#include "document/document.h"
#include "view/palette.h"

constexpr int STYLE_COUNT = 5;
constexpr int FACE_NAME_SIZE = 100;

struct LineStyle {
    Colour colour;      // 0xFFFFFF for every style; painting does not use it
    int reserved;
    bool bold;          // weight 700, else 400
    bool italic;
    int pointSize;
    char faceName[FACE_NAME_SIZE];  // GBK, NUL-terminated
    int font;           // the seam's font slot, -1 before the font exists
    int height, ascent, descent, externalLeading, averageCharWidth;  // of the font
    int spacing;        // pixels added after every character (negative narrows)
};

extern LineStyle lineStyles[STYLE_COUNT];

// Makes (or remakes) the font of one style and stores its metrics.
void createStyleFont(int style);
// The style record of a line; a style field beyond the five styles reads as body text.
const LineStyle& styleOfLine(const LineNode* line);
// The style index of a line, always one of the five.
int styleIndexOfLine(const LineNode* line);
