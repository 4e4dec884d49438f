// The measuring rule: how wide each character of a line is drawn.
//
// Painting, caret placement, hit-testing, word wrap and auto-indent all measure with
// these functions, so they agree to the pixel. A line is walked from byte 0 by whole
// characters (the one rule of document/gbk.h); a tab advances
// to the next multiple of TAB_STOP pixels from the start of the text; every character,
// tab included, is followed by the style's spacing. Extents come from the platform seam
// in the style's font and are remembered per character.
#pragma once

#include "document/document.h"

// Pixels from the start of the character at text[pos] to the start of the next one, for
// a line in `style` whose text so far measures `x` pixels. `length` receives the
// character's byte count (1 or 2).
int characterAdvance(int style, const char* text, int pos, int x, int* length);
// Advance of a tab that starts `x` pixels from the start of the text, spacing excluded.
int tabAdvance(int x);
// Extent of one character (1 or 2 bytes) in the font of `style`.
int characterExtent(int style, const char* bytes, int length);
// Pixels from the start of the line's text to column `col` (0 when col <= 0).
int columnX(const LineNode* line, int col);
// A character boundary of a line and the pixels from the line's start to it.
struct MeasuredPoint {
    int pos;
    int x;
};
// A boundary at or before column `col` whose x is at most `x`, from which measuring can
// go on instead of starting at byte 0: near the goal on long lines (remembered points
// along the line the work is in), {0, 0} on short ones.
MeasuredPoint measuredPointBefore(const LineNode* line, int col, int x);
// Forgets the remembered extents of a style whose font has changed.
void forgetExtents(int style);
