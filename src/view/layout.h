// Scrolling, caret placement and hit-testing entry points used by the rest of the core.
#pragma once

#include "document/document.h"

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
// `line` moved `steps` lines down (up when negative), stopping at the document's ends.
LineNode* stepLines(LineNode* line, int steps);
// Window y of the row that shows `line` (negative above the window).
int rowTop(const LineNode* line);
// Puts the caret on the character under the client point (px, py): before the character
// whose cell holds px, at the end of a line for points right of it, at the end of the
// document for points below it.
void hitTest(int px, int py);
// Re-creates the system caret at (x, y) when the window has the keyboard focus, and repaints.
void placeCaret(int x, int y);
// True when one of the lines on screen (from topLine, one per started 24 pixels of client
// height) carries LN_SELECTED; a selection scrolled out of view counts as none.
bool hasVisibleSelection();
