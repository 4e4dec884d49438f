// Word wrap, scrolling and caret placement entry points used by the rest of the core.
#pragma once

#include "document/document.h"

// Word wrap: splits over-long lines at soft returns and joins short soft-returned lines,
// from `from` to the end of its paragraph (or of the document when wholeDocument).
// Returns the number of breaks and joins made; 0 when wrap mode is off.
int reflow(LineNode* from, bool wholeDocument, bool byWidth);
// Clamps the caret column, scrolls it into view, places the system caret and repaints.
void ensureCaretVisible();
// Sets the vertical scroll bar from the document's length and the caret line.
void updateScrollBar();
// Creates the fonts of the five line styles (start-up).
void initStyles();

// Window x of column `col` of `line` (its text's width up to there plus scrollX). Scrolls
// horizontally first when that x would fall outside the window: to the left edge, or to
// WRAP_MARGIN pixels before the right edge.
int columnToPoint(const LineNode* line, int col);
// Window y of the row that shows `line` (negative above the window).
int rowTop(const LineNode* line);
// Puts the caret on the character under the client point (px, py): before the character
// whose cell holds px, at the end of a line for points right of it, at the end of the
// document for points below it.
void hitTest(int px, int py);
// Re-creates the system caret at (x, y) when the window has the keyboard focus, and repaints.
void placeCaret(int x, int y);
