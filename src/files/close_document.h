// Closing the document in the window: Close, Exit, and every load and New before it
// replaces the document.
#pragma once

// Removes the document's recovery copy, frees every line and resets the document, the
// file name and the undo ring, ends a mouse drag, sets the title, removes the system caret and repaints.
void closeDocument();
