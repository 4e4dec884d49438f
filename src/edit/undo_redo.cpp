#include "edit/undo_redo.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "edit/clipboard.h"
#include "edit/editing.h"
#include "edit/command_undo.h"
#include "edit/line_changes.h"
#include "edit/line_edits.h"
#include "document/gbk.h"
#include "document/paste_text.h"
#include "document/selection.h"
#include "document/text.h"
#include "document/undo_ring.h"
#include "view/layout.h"
#include "view/title.h"

namespace {

// While the records of a command are replayed as one step: the clipboard is left alone and
// no step selects or scrolls, since the step as a whole puts the caret and selection back.
bool replayingGroup = false;

int lengthOf(const LineNode* line) { return static_cast<int>(std::strlen(line->text)); }

// ==== Checking the text at the caret ====

bool textFollowsCaret(const char* text) {
    const size_t length = std::strlen(text);
    return std::strncmp(doc.caretLine->text + doc.caretCol, text, length) == 0;
}

// True when the byte at the caret (NUL at the end of the line) is the first of `text`.
bool caretByteIs(const char* text) { return doc.caretLine->text[doc.caretCol] == text[0]; }

// True at the end of a line whose successor starts with the first byte of `text`.
bool lineEndBefore(const char* text) {
    const LineNode* next = doc.caretLine->next;
    return doc.caretCol == lengthOf(doc.caretLine) && next && next->text[0] == text[0];
}

// Where a walk of pieces over the document ended.
struct PiecesMatch {
    LineNode* lastLine = nullptr;  // the last byte or line end matched, if any
    int lastCol = 0;
    LineNode* endLine = nullptr;   // the position after it
    int endCol = 0;
};

// Walks `pieces` (see paste_text.h) over the document from the caret: bytes must match,
// a break must meet a hard line end, and soft returns are passed over as the pieces do
// not show them. `breakMayEndDocument` lets the last line's own end match a final break.
bool matchPieces(const std::vector<std::string>& pieces, bool breakMayEndDocument, PiecesMatch& match) {
    LineNode* line = doc.caretLine;
    int col = doc.caretCol;
    int length = lengthOf(line);
    bool pastEnd = false;
    for (size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0) {
            // Soft returns before a break are passed over too: a wrapped paragraph's last row.
            while (col == length && !(line->flags & LN_HARD_RETURN) && line->next) {
                line = line->next;
                col = 0;
                length = lengthOf(line);
            }
            if (pastEnd || col != length || !(line->flags & LN_HARD_RETURN)) return false;
            match.lastLine = line;
            match.lastCol = col;
            if (line->next) {
                line = line->next;
                col = 0;
                length = lengthOf(line);
            } else if (breakMayEndDocument) {
                pastEnd = true;
            } else {
                return false;
            }
        }
        for (const char byte : pieces[k]) {
            while (col == length && !(line->flags & LN_HARD_RETURN) && line->next) {
                line = line->next;
                col = 0;
                length = lengthOf(line);
            }
            if (pastEnd || col >= length || line->text[col] != byte) return false;
            match.lastLine = line;
            match.lastCol = col++;
        }
    }
    match.endLine = line;
    match.endCol = col;
    return true;
}

// ==== Undoing one record ====

// Puts back a deleted selection exactly as it was. Its bytes go back at the selection
// start and the line is split again at every line end the selection crossed, each with
// the return it had (hard, or soft where the text was wrapped), so the rows are the rows
// before the deletion and older records find their positions again; the last row is
// joined with the rest of the line where the selection ended, which the deletion left
// separate. That line's own end was never deleted, so when the selection took it, it is
// not put back. As after a paste, the text is on the clipboard and selected.
void restoreDeletedSelection(const UndoRecord* record) {
    const std::string text = record->text ? record->text : "";
    std::vector<int> ends(record->lineEnds, record->lineEnds + record->lineEndCount);
    if (ends.empty())  // recorded without its line ends: every CR LF is a hard one
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
            ends.push_back(lineEndAt(static_cast<int>(at), false));
    auto after = [](int entry) { return lineEndPosition(entry) + (lineEndIsSoft(entry) ? 0 : 2); };
    const bool tookEndLineEnd = !ends.empty() && after(ends.back()) == static_cast<int>(text.size());
    std::string bytes;
    std::vector<std::pair<size_t, bool>> splits;  // (place in `bytes`, hard return)
    size_t from = 0;
    for (size_t k = 0; k < ends.size(); ++k) {
        const size_t at = static_cast<size_t>(lineEndPosition(ends[k]));
        if (at < from || at > text.size()) break;  // not an entry this text can hold
        bytes.append(text, from, at - from);
        from = std::min(text.size(), static_cast<size_t>(after(ends[k])));
        if (!(tookEndLineEnd && k + 1 == ends.size())) splits.emplace_back(bytes.size(), !lineEndIsSoft(ends[k]));
    }
    if (from < text.size()) bytes.append(text, from, std::string::npos);

    clearSelection();
    if (!replayingGroup) putTextOnClipboard(text.c_str());
    keepCaretOnLine();
    const uint64_t changesBefore = documentChangeCount;
    PasteOutcome outcome;
    outcome.startLine = doc.caretLine;
    outcome.startCol = doc.caretCol;
    outcome.startOffset = caretOffset();
    outcome.inserted = !bytes.empty() || !splits.empty();
    LineNode* line = doc.caretLine;
    if (!bytes.empty()) {
        line->text = insertText(line->text, doc.caretCol, bytes.c_str());
        noteChangeAt(line);
    }
    int rowStart = doc.caretCol;  // column of the current row where its part of `bytes` begins
    size_t consumed = 0;          // bytes of `bytes` on the rows before it
    for (const auto& split : splits) {
        doc.caretLine = line;
        doc.caretCol = rowStart + static_cast<int>(split.first - consumed);
        splitCaretLine(split.second, false, false);
        line = doc.caretLine;
        rowStart = 0;
        consumed = split.first;
    }
    const int endCol = rowStart + static_cast<int>(bytes.size() - consumed);
    if (!splits.empty()) joinWithNext(line);
    doc.caretLine = line;
    doc.caretCol = endCol;
    keepTextBeforeSince(changesBefore, outcome.startLine, outcome.startCol);
    if (replayingGroup) return;  // the step as a whole brings the title up to date
    finishPaste(outcome, false);
}

// Removes a pasted text together with the lines it made.
bool removePasted(const char* text) {
    PiecesMatch match;
    if (!matchPieces(clipboardPieces(text, false), false, match)) return false;
    clearSelection();
    removeSpan(doc.caretLine, doc.caretCol, match.endLine, match.endCol);
    return true;
}

// Reverts one record at its position; false when the text there does not match it.
bool revertGroup(UndoRecord* group);
bool reapplyGroup(UndoRecord* group);

bool revert(UndoRecord* record) {
    if (record->kind == UNDO_LINES) return swapLineImages(record, true);
    if (record->kind == UNDO_GROUP) return revertGroup(record);
    if (record->kind == UNDO_REMOVE_LINE) return reinsertRemovedLine(record);
    const char* text = record->text ? record->text : "";
    // Every record changes the text from the caret on; the caret line stays.
    const uint64_t changesBefore = documentChangeCount;
    LineNode* const changedLine = doc.caretLine;
    const int changedFrom = std::min(doc.caretCol, lengthOf(doc.caretLine));
    switch (record->kind) {
        case UNDO_JOIN: {
            if (!caretByteIs(text)) return false;
            LineNode* const joined = doc.caretLine;
            splitCaretLine(!record->softReturn, false, false);
            joined->flags = (joined->flags & ~LN_STYLE) | (record->lineFlags & LN_STYLE);
            if (joined->next) joined->next->flags |= record->lineFlags & LN_BOOKMARK;
            break;
        }
        case UNDO_TYPE:
            if (!textFollowsCaret(text)) return false;
            cutBytes(doc.caretLine, doc.caretCol, static_cast<int>(std::strlen(text)));
            break;
        case UNDO_DELETE_SELECTION:
            restoreDeletedSelection(record);
            if (*text == '\0') return true;  // the deletion removed nothing: no change to undo
            break;
        case UNDO_PASTE:
            if (!removePasted(text)) return false;
            break;
        case UNDO_DELETE_CHAR:
            doc.caretLine->text = insertText(doc.caretLine->text, doc.caretCol, text);
            break;
        case UNDO_SPLIT:
            if (!lineEndBefore(text)) return false;
            clearSelection();
            joinWithNext(doc.caretLine);
            break;
        default: return false;
    }
    doc.modified = 1;
    keepTextBeforeSince(changesBefore, changedLine, changedFrom);
    return true;
}

// ==== Redoing one record ====

// Deletes a selection again, when the text at the caret is still the deleted text.
bool deleteAgain(const char* text) {
    PiecesMatch match;
    if (!matchPieces(literalPieces(text), true, match)) return false;
    if (match.lastLine == nullptr) return true;  // the selection selected nothing
    clearSelection();
    if (replayingGroup && match.endLine == doc.caretLine) {
        // Inside one line, as most of a replace-all's deletions are: cut the bytes at once
        // rather than selecting them, which walks the whole document.
        cutBytes(doc.caretLine, doc.caretCol, match.endCol - doc.caretCol);
        noteChangeAt(doc.caretLine, doc.caretCol);
        return true;
    }
    doc.anchorLine = match.lastLine;
    doc.anchorCol = match.lastCol;
    updateSelection();
    deleteSelection();
    return true;
}

// Applies one record again at its position; false when the text there does not allow it.
bool reapply(UndoRecord* record) {
    if (record->kind == UNDO_LINES) return swapLineImages(record, false);
    if (record->kind == UNDO_GROUP) return reapplyGroup(record);
    if (record->kind == UNDO_REMOVE_LINE) return removeLineAgain(record);
    const char* text = record->text ? record->text : "";
    // Every record changes the text from the caret on; the caret line stays.
    const uint64_t changesBefore = documentChangeCount;
    LineNode* const changedLine = doc.caretLine;
    const int changedFrom = std::min(doc.caretCol, lengthOf(doc.caretLine));
    switch (record->kind) {
        case UNDO_JOIN:
            if (!lineEndBefore(text)) return false;
            clearSelection();
            joinWithNext(doc.caretLine);
            break;
        case UNDO_TYPE:
            doc.caretLine->text = insertText(doc.caretLine->text, doc.caretCol, text);
            doc.caretCol += static_cast<int>(std::strlen(text));
            break;
        case UNDO_DELETE_SELECTION:
            if (!deleteAgain(text)) return false;
            if (*text == '\0') return true;  // nothing to delete again
            break;
        case UNDO_PASTE: {
            clearSelection();
            if (!replayingGroup) putTextOnClipboard(text);
            // Not re-wrapped here: the wrap that followed the paste has records of its
            // own, which the next redos apply, so the rows come back as they were.
            const PasteOutcome outcome = insertPieces(clipboardPieces(text, false));
            if (!replayingGroup) finishPaste(outcome, false);
            break;
        }
        case UNDO_DELETE_CHAR:
            if (!textFollowsCaret(text)) return false;
            cutBytes(doc.caretLine, doc.caretCol, static_cast<int>(std::strlen(text)));
            break;
        case UNDO_SPLIT:
            if (!caretByteIs(text)) return false;
            splitCaretLine(!record->softReturn, false, false);
            break;
        default: return false;
    }
    doc.modified = 1;
    keepTextBeforeSince(changesBefore, changedLine, changedFrom);
    return true;
}

// ==== A command's records as one step ====

// A pasted single character that the paste inserted as itself is undone and redone as
// typing (without going through the clipboard).
bool isPastedAsTyping(const char* text);

bool revertMember(const UndoRecord* group, int index) {
    UndoRecord member;
    readGroupMember(group, index, member);
    if (member.kind == UNDO_EMPTY) return true;
    if (member.kind == UNDO_PASTE && isPastedAsTyping(member.text)) member.kind = UNDO_TYPE;
    placeCaretAtOffset(member.offset);
    return revert(&member);
}

bool reapplyMember(const UndoRecord* group, int index) {
    UndoRecord member;
    readGroupMember(group, index, member);
    if (member.kind == UNDO_EMPTY) return true;
    placeCaretAtOffset(member.offset);
    return reapply(&member);
}

// Reverts the command's records from the last to the first. Should one no longer fit the
// text, the ones already reverted are applied again, so the group stays whole.
bool revertGroup(UndoRecord* group) {
    const bool outer = replayingGroup;
    replayingGroup = true;
    int k = group->memberCount - 1;
    while (k >= 0 && revertMember(group, k)) --k;
    const bool whole = k < 0;
    for (int j = k + 1; !whole && j < group->memberCount; ++j) reapplyMember(group, j);
    replayingGroup = outer;
    if (whole) placeCaretAndAnchor(group->offset, group->anchorOffset);
    return whole;
}

// Applies the command's records again from the first; the mirror of revertGroup.
bool reapplyGroup(UndoRecord* group) {
    const bool outer = replayingGroup;
    replayingGroup = true;
    int k = 0;
    while (k < group->memberCount && reapplyMember(group, k)) ++k;
    const bool whole = k == group->memberCount;
    for (int j = k - 1; !whole && j >= 0; --j) revertMember(group, j);
    replayingGroup = outer;
    if (whole) placeCaretAndAnchor(group->offsetAfter, group->anchorOffsetAfter);
    return whole;
}

// ==== Walking the ring ====

// A record whose text no longer matches is used up, so that a later redo or undo does
// not apply an edit that was never reverted (or never made again).
void useUp(UndoRecord* record) { clearUndoRecord(record); }

// A pasted single character that the paste inserted as itself is undone and redone as
// typing (without going through the clipboard).
bool isPastedAsTyping(const char* text) {
    const size_t length = std::strlen(text);
    const bool oneCharacter =
        length == 1 || (length == 2 && isLeadByte(text[0]));
    if (!oneCharacter) return false;
    const std::vector<std::string> pieces = clipboardPieces(text, false);
    return pieces.size() == 1 && pieces[0] == text;
}

// The record the next undo works on, with `current` moved onto it; null when there is
// nothing left to undo, also when going on would come round the ring to records that are
// already undone.
UndoRecord* recordToUndo() {
    UndoRecord* record = undoRing.current;
    if (undoRing.undoStreak == 0 && (record != undoRing.newest || undoRing.afterRedo)) {
        if (!isRecordedBefore(record->prev, record)) return nullptr;
        record = record->prev;
    } else if (undoRing.undoStreak > 0 && !isRecordedBefore(record, record->next)) {
        return nullptr;
    }
    if (record->kind == UNDO_EMPTY && record->prev->kind != UNDO_EMPTY && isRecordedBefore(record->prev, record))
        record = record->prev;
    undoRing.current = record;
    return record->kind == UNDO_EMPTY ? nullptr : record;
}

// The record the next redo works on, with `current` moved onto it. After undos `current`
// stands just before the record undone last, also when that record is the oldest and
// `current` has come round to `newest`.
UndoRecord* recordToRedo() {
    if (undoRing.undoStreak > 0) {
        undoRing.undoStreak = 0;
        undoRing.current = undoRing.current->next;
    }
    UndoRecord* record = undoRing.current;
    if (record != undoRing.newest && record->kind == UNDO_EMPTY && record->next->kind != UNDO_EMPTY)
        undoRing.current = record->next;
    return undoRing.current;
}

}  // namespace

void undo() {
    if (!hasDocument() || undoRing.slots == nullptr) return;
    UndoRecord* record = recordToUndo();
    if (record == nullptr) return;
    undoRing.afterRedo = false;
    ++undoRing.undoStreak;
    ++undoRing.replaying;
    if (record->kind == UNDO_PASTE && isPastedAsTyping(record->text)) record->kind = UNDO_TYPE;
    placeCaretAtOffset(record->offset);
    if (!revert(record)) useUp(record);
    undoRing.current = record->prev;
    updateTitle();
    ensureCaretVisible();
    undoRing.replaying = 0;
}

void redo() {
    if (!hasDocument() || undoRing.slots == nullptr) return;
    UndoRecord* record = recordToRedo();
    if (record->kind == UNDO_EMPTY) {
        ensureCaretVisible();
        return;
    }
    undoRing.afterRedo = false;
    ++undoRing.replaying;
    placeCaretAtOffset(record->offset);
    if (!reapply(record)) useUp(record);
    stepForward();
    undoRing.afterRedo = true;
    updateTitle();
    ensureCaretVisible();
    undoRing.replaying = 0;
}
