#include "edit/command_undo.h"

#include <cstring>

#include "document/line_storage.h"
#include "document/memory.h"
#include "document/selection.h"
#include "edit/line_changes.h"

namespace {

// The offset of a position, as caretOffset counts it.
int offsetOf(LineNode* line, int col) {
    LineNode* const caretLine = doc.caretLine;
    const int caretCol = doc.caretCol;
    doc.caretLine = line;
    doc.caretCol = col;
    const int offset = caretOffset();
    doc.caretLine = caretLine;
    doc.caretCol = caretCol;
    return offset;
}

int anchorOffsetNow() { return doc.anchorLine ? offsetOf(doc.anchorLine, doc.anchorCol) : -1; }

}  // namespace

CommandUndo beginCommandUndo() {
    CommandUndo before;
    if (hasDocument()) {
        before.caretOffset = caretOffset();
        before.anchorOffset = anchorOffsetNow();
    }
    openUndoGroup();
    return before;
}

void endCommandUndo(const CommandUndo& before) {
    UndoRecord* record = closeUndoGroup();
    if (record == nullptr || !hasDocument()) return;
    record->offset = before.caretOffset;
    record->anchorOffset = before.anchorOffset;
    record->offsetAfter = caretOffset();
    record->anchorOffsetAfter = anchorOffsetNow();
}

void removeLineRecorded(LineNode* line) {
    if (undoRing.replaying == 0) {
        UndoRecord* record = recordEdit(UNDO_REMOVE_LINE, offsetOf(line, 0), line->text);
        record->lineFlags = line->flags & LINE_IMAGE_FLAGS;
    }
    removeLine(line);
}

// The record's offset is where the line began: with the line gone, the start of the line
// that followed it, or one past the document's end when it was the last.
bool reinsertRemovedLine(const UndoRecord* record) {
    clearSelection();
    placeCaretAtOffset(record->offset);
    const bool atLineStart = doc.caretCol == 0 && caretOffset() == record->offset;
    LineNode* added = atLineStart ? insertLineBefore(doc.caretLine) : insertLineAfter(lastLine());
    added->text = copyStringOrExit(record->text);
    added->flags = record->lineFlags;
    doc.caretLine = added;
    doc.caretCol = 0;
    doc.modified = 1;
    return true;
}

bool removeLineAgain(const UndoRecord* record) {
    placeCaretAtOffset(record->offset);
    LineNode* line = doc.caretLine;
    if (lineCount() < 2 || doc.caretCol != 0 || caretOffset() != record->offset) return false;
    if (std::strcmp(line->text, record->text ? record->text : "") != 0) return false;
    removeLine(line);
    return true;
}

void placeCaretAndAnchor(int caretOffset, int anchorOffset) {
    clearSelection();
    if (anchorOffset >= 0) {
        placeCaretAtOffset(anchorOffset);
        doc.anchorLine = doc.caretLine;
        doc.anchorCol = doc.caretCol;
    } else {
        doc.anchorLine = nullptr;
    }
    placeCaretAtOffset(caretOffset);
    if (doc.anchorLine) updateSelection();
}
