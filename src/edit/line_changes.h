// Commands that change whole lines in place (their texts or their flags, never the number
// of lines) as one undo step.
//
// A command notes each line before it first changes it; once the command is done, the
// noted lines that really changed go into one undo record with their earlier text and
// flags. Undo and redo swap what the record holds with what the lines hold, so a record
// keeps one image of the lines it changed, never two, and costs about what it changed.
// A command that fails can instead put every noted line back unrecorded.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/document.h"
#include "document/undo_ring.h"

// The flags a line change records and undo restores: the line's return, bookmark and
// style. The selection mark belongs to the selection, which undo clears.
constexpr uint32_t LINE_IMAGE_FLAGS = LN_HARD_RETURN | LN_BOOKMARK | LN_STYLE;

// What one command changed so far. Lives on the caller's stack for one command.
struct LineChanges {
    struct Earlier {
        LineNode* line;
        std::string text;
        uint32_t flags;
    };
    int caretOffsetBefore = 0;
    std::vector<Earlier> earlier;
    std::unordered_map<const LineNode*, size_t> noted;  // line -> its entry in `earlier`
};

// Starts a command's changes: remembers where the caret stands.
void beginLineChanges(LineChanges& changes);
// Keeps `line`'s text and flags as they are now, unless the line was noted already. A
// noted line that leaves the document is left out of the record.
void noteLineBefore(LineChanges& changes, LineNode* line);
// Keeps `text` and `flags` as what `line` held before the command, unless it was noted
// already (for a caller that changed the line in place and kept its old text).
void noteLineWas(LineChanges& changes, LineNode* line, const std::string& text, uint32_t flags);
// Records the noted lines that differ now as one undo step (UNDO_LINES), unless undo is
// replaying. True when a record was made (false: nothing changed).
bool recordLineChanges(LineChanges& changes);
// Puts every noted line back as it was, unrecorded; for a command that did not succeed.
void revertLineChanges(LineChanges& changes);

// Undo and redo of an UNDO_LINES record: swaps the record's images with the document's
// lines, then puts the caret where it stood before the change (`undoing`) or after it.
// False, changing nothing, when a line no longer holds what the record expects.
bool swapLineImages(UndoRecord* record, bool undoing);
