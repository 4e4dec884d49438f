// Word wrap as edits of the line list: over-long lines are split at soft returns and short
// soft-returned lines joined, so a paragraph is held as a chain of window-wide lines.
#pragma once

#include "document/document.h"

// Word wrap: splits over-long lines at soft returns and joins short soft-returned lines,
// from `from` to the end of its paragraph (or of the document when wholeDocument).
// Returns the number of breaks and joins made; 0 when wrap mode is off.
int reflow(LineNode* from, bool wholeDocument, bool byWidth);
