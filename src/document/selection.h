// The selection: from the anchor to the caret in document order, end included.
//
// A byte column c of a line is selected when the line carries LN_SELECTED and c lies
// between selStartCol (on selStartLine) and selEndCol (on selEndLine), both included;
// c = strlen(text) stands for the line's break. Painting, copying and deleting all ask
// isSelectedAt, so they agree on the inclusive end.
#pragma once

#include "document/document.h"

// Clears LN_SELECTED everywhere and forgets the anchor and the selection. Lines are
// walked only when a mark may have been set since the last time (markLineSelected).
void clearSelection();
// Sets LN_SELECTED on `line`. Every mark is set through here (flags copied from line to
// line only pass existing marks on), so clearing knows when there is nothing to clear.
void markLineSelected(LineNode* line);
// Takes the caret as the anchor when there is none and marks the caret line selected;
// called before a caret move that extends the selection.
void beginSelection();
// Recomputes the selection and the LN_SELECTED flags from the anchor and the caret.
void updateSelection();
// Moves a selection end that lies inside a double-byte character back one byte.
void snapSelection();
// Moves the anchor and the selection ends back one byte where an edit left them inside
// a double-byte character, so that no later step starts or ends in the middle of one.
void keepSelectionOnCharacters();
// True when byte column `col` of `line` is selected.
bool isSelectedAt(const LineNode* line, int col);
// Sets the style of every selected line.
void setStyleOfSelection(int style);
