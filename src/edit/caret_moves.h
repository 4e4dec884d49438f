// Caret movement by keyboard. A plain move brings the caret into view and drops the
// selection; a selecting move (the Shift keys) extends the selection from its anchor.
#pragma once

// The plain Left move: one character back, or to the end of the previous line.
void moveCaretLeft();
// The plain Right move: one character on, or to the start of the next line.
void moveCaretRight();
