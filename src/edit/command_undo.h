// Commands undone and redone as one step, whatever their size.
//
// A command opens a CommandUndo before it changes anything and closes it when it is done:
// every record made in between goes into one UNDO_GROUP record, which undo reverts from
// the last record to the first and redo applies again from the first, and which also puts
// back the caret and the selection as they were before the command (undo) or after it
// (redo). Commands nest: only the outermost makes the record.
#pragma once

#include "document/document.h"
#include "document/undo_ring.h"

struct CommandUndo {
    int caretOffset = 0;
    int anchorOffset = -1;  // -1: no anchor
};

// Opens the command's group and remembers where the caret and the anchor stand.
CommandUndo beginCommandUndo();
// Closes the group; the outermost one records the caret and anchor before and after.
void endCommandUndo(const CommandUndo& before);

// Takes `line` out of the document, recorded for undo with its text and flags (a line
// the command keeps is never recorded this way). Unrecorded while undo replays.
void removeLineRecorded(LineNode* line);

// Undo and redo of UNDO_REMOVE_LINE, for undo_redo: false, changing nothing, when the
// document no longer allows it.
bool reinsertRemovedLine(const UndoRecord* record);
bool removeLineAgain(const UndoRecord* record);
// Puts the caret at `caretOffset` and the anchor at `anchorOffset` (-1: none), and makes
// the selection between them, as a group record remembers them.
void placeCaretAndAnchor(int caretOffset, int anchorOffset);
