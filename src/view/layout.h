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
