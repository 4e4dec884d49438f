// Undo and redo over the undo ring.
//
// Each step finds the position of its record in the text, checks that the text there is
// still what the record expects, and makes the inverse edit (undo) or the same edit again
// (redo) through the ordinary editing operations, with recording off. A record whose
// check fails is used up: neither undo nor redo applies it again.
#pragma once

// Reverts the latest edit not yet undone; never goes past the oldest record kept.
void undo();
// Applies again the edit undone last; with nothing undone, applies the newest record once more.
void redo();
