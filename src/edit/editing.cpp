// Typing, line splits and joins, deletion and select-all.
#include "edit/editing.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "document/text_length.h"
#include "edit/caret_moves.h"
#include "edit/clipboard.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "edit/line_edits.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/text.h"
#include "document/undo_ring.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"
#include "edit/reflow.h"

namespace {

int lengthOf(const LineNode* line) { return static_cast<int>(textLength(line->text)); }

int clampedColumn(const LineNode* line, int col) {
    const int length = lengthOf(line);
    return col < 0 ? 0 : (col > length ? length : col);
}


bool isBlank(char byte) { return byte == ' ' || byte == '\t'; }

// Indent level one line asks of the line after it: 1 for an unclosed "(" or "{", plus
// one for every TAB_STOP pixels its leading blanks reach on screen.
int indentAskedBy(const LineNode* line, bool& hasVisibleText) {
    int parens = 0, braces = 0;
    for (const char* p = line->text; *p; ++p) {
        if (*p == '(') ++parens;
        if (*p == ')') --parens;
        if (*p == '{') ++braces;
        if (*p == '}') --braces;
    }
    int level = (parens > 0 || braces > 0) ? 1 : 0;
    hasVisibleText = countVisibleChars(line->text) > 0;
    int blanks = 0;
    while (isBlank(line->text[blanks])) ++blanks;
    // The width is measured where the window shows it, horizontal scroll included.
    if (hasVisibleText && blanks > 0) level += columnToPoint(line, blanks) / TAB_STOP;
    return level;
}

// Indent level for a new line: asked by the nearest line above with visible text, or by
// a blank line above it that has an unclosed bracket; 0 at the top of the document.
int indentLevelFor(const LineNode* newLine) {
    for (const LineNode* line = newLine->prev; line; line = line->prev) {
        bool hasVisibleText = false;
        const int level = indentAskedBy(line, hasVisibleText);
        if (level != 0 || hasVisibleText) return level;
    }
    return 0;
}

// Deletes the blanks at the start of the new caret line and, when typing, indents it
// with one tab per level. The blanks go one character at a time, each recorded, so undo
// brings them back.
void autoIndent(bool interactive) {
    const int level = indentLevelFor(doc.caretLine);
    if (level <= 0) return;
    while (isBlank(doc.caretLine->text[doc.caretCol])) deleteCharacterAtCaret();
    if (interactive)
        for (int i = 0; i < level; ++i) typeChar('\t', false);
}

// Inserts `piece` at the caret as typing does: recorded, caret after it, the paragraph
// re-wrapped. Returns the number of breaks and joins the re-wrap made.
int insertAtCaret(const char* piece) {
    LineNode* line = doc.caretLine;
    line->text = insertText(line->text, doc.caretCol, piece);
    noteChangeAt(line);
    recordAtCaret(UNDO_TYPE, piece);
    doc.caretCol += static_cast<int>(std::strlen(piece));
    return reflow(doc.caretLine, false, true);
}

// Removes the selected part of a selection's first line (which is also its last line).
void deleteWithinLine(LineNode* line, int startCol, int endCol) {
    const int length = lengthOf(line);
    int count = endCol - startCol;
    if (endCol < length) ++count;  // the end is inclusive
    if (isInsideDoubleByte(line->text, endCol)) ++count;
    line->text = deleteText(count, startCol, line->text);
}

// Removes the selected bytes of one selected line; true when something was removed.
bool deleteSelectedPart(LineNode* line, LineNode* startLine) {
    const bool isStart = (line == doc.selStartLine);
    const bool isEnd = (line == doc.selEndLine);
    const int length = lengthOf(line);
    if (isStart && isEnd) {
        if (doc.selEndCol <= doc.selStartCol || doc.selStartCol >= length) return false;
        deleteWithinLine(line, doc.selStartCol, doc.selEndCol);
        doc.caretLine = line;
        doc.caretCol = doc.selStartCol;
        return true;
    }
    if (isStart) {
        line->flags &= ~LN_SELECTED;
        if (doc.selStartCol >= length) return false;
        line->text = deleteText(-1, doc.selStartCol, line->text);
        return true;
    }
    if (isEnd) {
        const int count = doc.selEndCol + (doc.selEndCol < length ? 1 : 0);
        if (count <= 0) return false;
        line->text = deleteText(count, 0, line->text);
        doc.caretLine = line;
        doc.caretCol = 0;
        return true;
    }
    if (doc.topLine == line && startLine) doc.topLine = startLine;
    removeLine(line);
    return true;
}


// True when `ch`, typed now at the caret, completes a first byte typed just before it:
// `ch` can be a second byte, the caret stands right after that first byte, the newest
// record is its typing there, and nothing has been undone or redone since. A character
// typed as two WM_CHAR messages is then recorded as one, and undo never leaves its first
// byte alone (which would take the next character's byte as its own).
bool completesTypedFirstByte(const LineNode* line, char ch) {
    const UndoRecord* newest = undoRing.newest;
    if (undoRing.replaying != 0 || newest == nullptr || newest != undoRing.current || undoRing.undoStreak != 0 ||
        undoRing.afterRedo)
        return false;
    if (newest->kind != UNDO_TYPE || newest->text == nullptr || std::strlen(newest->text) != 1) return false;
    if (!isTrailByte(static_cast<unsigned char>(ch))) return false;
    if (!isLeadByte(newest->text[0]) || doc.caretCol < 1 || line->text[doc.caretCol - 1] != newest->text[0])
        return false;
    return isInsideDoubleByte(line->text, doc.caretCol) && newest->offset == caretOffset() - 1;
}

// Adds the second byte of a character to the newest record, which holds its first byte.
void appendToNewestRecord(char second) {
    UndoRecord* newest = undoRing.newest;
    const char pair[3] = {newest->text[0], second, '\0'};
    setRecordText(newest, pair);
}

}  // namespace

void keepSelectionOnItsText(LineNode* line, int col, LineNode* added) {
    if (doc.anchorLine == line && doc.anchorCol >= col) {
        doc.anchorLine = added;
        doc.anchorCol -= col;
    }
    if (!(line->flags & LN_SELECTED)) return;
    if (doc.selEndLine == line) {
        if (doc.selEndCol >= col) {
            doc.selEndLine = added;
            doc.selEndCol -= col;
        } else {
            added->flags &= ~LN_SELECTED;
        }
    }
    if (doc.selStartLine == line && doc.selStartCol >= col) {
        doc.selStartLine = added;
        doc.selStartCol -= col;
        line->flags &= ~LN_SELECTED;
    }
}

// ==== Caret and recording helpers ====

void keepCaretOnLine() {
    if (doc.caretLine == nullptr) doc.caretLine = doc.head;
    const int length = lengthOf(doc.caretLine);
    if (doc.caretCol < 0) doc.caretCol = 0;
    if (doc.caretCol > length) doc.caretCol = length;
}

void keepCaretOnCharacter() {
    keepCaretOnLine();
    if (isInsideDoubleByte(doc.caretLine->text, doc.caretCol)) --doc.caretCol;
}

void recordAtCaret(int kind, const char* text) {
    if (undoRing.replaying == 0) recordEdit(kind, caretOffset(), text);
}

void noteChangeAt(const LineNode* line, int col) {
    doc.modified = 1;
    keepTextBefore(line, col);
}

// ==== Splitting and joining lines ====

void splitCaretLine(bool hardReturn, bool withAutoIndent, bool interactive) {
    LineNode* line = doc.caretLine;
    const int col = doc.caretCol;
    if (undoRing.replaying == 0) {
        // The character that begins the new line, taken from the caret as it stands (a
        // caret just after a lone first byte must not be moved back).
        const int width = (isLeadByte(line->text[col]) && line->text[col + 1]) ? 2 : 1;
        const std::string first(line->text + col, line->text[col] ? width : 0);
        UndoRecord* record = recordEdit(UNDO_SPLIT, caretOffset(), first.c_str());
        if (record) record->softReturn = !hardReturn;
    }
    LineNode* added = insertLineAfter(line);
    keepLineStartsAbove(line);
    added->text = copyStringOrExit(line->text + col);
    added->flags = line->flags & SPLIT_COPIED_FLAGS;
    replaceLineText(line, copyBytesOrExit(line->text, static_cast<size_t>(col)));
    if (hardReturn)
        line->flags |= LN_HARD_RETURN;
    else
        line->flags &= ~LN_HARD_RETURN;
    noteChangeAt(line);
    keepSelectionOnItsText(line, col, added);
    doc.caretLine = added;
    doc.caretCol = 0;
    if (withAutoIndent) autoIndent(interactive);
}

void joinWithNext(LineNode* line) {
    LineNode* next = line->next;
    if (next == nullptr) return;
    const int shift = lengthOf(line);
    line->text = insertText(line->text, -1, next->text);
    // The joined line holds the selected text of both, so it stays selected if either was.
    const uint32_t selected = (line->flags | next->flags) & LN_SELECTED;
    line->flags = (line->flags & ~SPLIT_COPIED_FLAGS) | (next->flags & SPLIT_COPIED_FLAGS) | selected;
    // No reference may be left on the line that goes: each moves to the same character.
    if (doc.topLine == next) doc.topLine = line;
    if (doc.caretLine == next) {
        doc.caretLine = line;
        doc.caretCol += shift;
    }
    if (doc.anchorLine == next) {
        doc.anchorLine = line;
        doc.anchorCol += shift;
    }
    if (doc.selStartLine == next) {
        doc.selStartLine = line;
        doc.selStartCol += shift;
    }
    if (doc.selEndLine == next) {
        doc.selEndLine = line;
        doc.selEndCol += shift;
    }
    removeLine(next);
    keepLineStartsAbove(line);
}

void deleteCharacterAtCaret() {
    LineNode* line = doc.caretLine;
    if (undoRing.replaying == 0) {
        char* character = substring(1, doc.caretCol, line->text);
        recordAtCaret(UNDO_DELETE_CHAR, character);
        std::free(character);
    }
    line->text = deleteText(1, doc.caretCol, line->text);
    noteChangeAt(line, doc.caretCol);
}

void joinCaretLineWithNext() {
    LineNode* line = doc.caretLine;
    if (line->next == nullptr) return;
    if (undoRing.replaying == 0) {
        char* first = substring(1, 0, line->next->text);
        // Undo splits the line again with the same kind of return that the join removed.
        UndoRecord* record = recordEdit(UNDO_JOIN, caretOffset(), first);
        if (record) {
            record->softReturn = !(line->flags & LN_HARD_RETURN);
            // The join gives the line the next one's style and drops the next one's
            // bookmark: undo gives both back.
            record->lineFlags = (line->flags & LN_STYLE) | (line->next->flags & LN_BOOKMARK);
        }
        std::free(first);
    }
    joinWithNext(line);
    noteChangeAt(line);
}

void cutBytes(LineNode* line, int at, int count) {
    const int length = lengthOf(line);
    if (at < 0 || count <= 0 || at >= length) return;
    if (count > length - at) count = length - at;
    std::memmove(line->text + at, line->text + at + count, static_cast<size_t>(length - at - count) + 1);
}

void removeSpan(LineNode* startLine, int startCol, LineNode* endLine, int endCol) {
    const uint64_t changesBefore = documentChangeCount;
    if (startLine == endLine) {
        cutBytes(startLine, startCol, endCol - startCol);
    } else {
        while (startLine->next && startLine->next != endLine) removeLine(startLine->next);
        cutBytes(startLine, startCol, lengthOf(startLine) - startCol);
        cutBytes(endLine, 0, endCol);
        joinWithNext(startLine);
    }
    doc.caretLine = startLine;
    doc.caretCol = startCol;
    doc.modified = 1;
    keepTextBeforeSince(changesBefore, startLine, startCol);
}

// ==== Typing ====

void typeChar(char ch, bool interactive) {
    if (!hasDocument()) return;
    keepCaretOnLine();
    if (ch == '\r' || ch == '\n') {
        splitCaretLine(ch == '\r', view.wrapMode == 0, interactive);
        noteChangeAt(doc.caretLine);
        updateTitle();
        if (interactive) ensureCaretVisible();
        return;
    }
    const char piece[2] = {ch, '\0'};
    LineNode* line = doc.caretLine;
    const bool completesCharacter = completesTypedFirstByte(line, ch);
    const int typedAt = doc.caretCol;
    line->text = insertText(line->text, typedAt, piece);
    noteChangeAt(line, typedAt);
    if (completesCharacter)
        appendToNewestRecord(ch);
    else
        recordAtCaret(UNDO_TYPE, piece);
    ++doc.caretCol;
    // The first byte of a double-byte character typed on its own waits for its second
    // byte: re-wrapping or showing the caret now would move the caret back before it,
    // and the second byte would land in front of the first.
    const bool awaitingSecondByte = isInsideDoubleByte(line->text, doc.caretCol);
    const bool rewrapped = !awaitingSecondByte && reflow(doc.caretLine, false, true) != 0;
    if (rewrapped && doc.caretCol == 0 && doc.caretLine->text[0] == ch) doc.caretCol = 1;
    noteChangeAt(doc.caretLine, rewrapped || doc.caretLine != line ? 0 : typedAt);
    updateTitle();
    if (interactive && !awaitingSecondByte) ensureCaretVisible();
}

void insertCharCode(unsigned code) {
    if (!hasDocument()) return;
    const char piece[3] = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF), '\0'};
    if (piece[0] == '\0') return;
    keepCaretOnLine();
    const size_t length = std::strlen(piece);
    if (insertAtCaret(piece) != 0 && doc.caretCol == 0 && std::strncmp(doc.caretLine->text, piece, length) == 0)
        moveCaretRight();
    noteChangeAt(doc.caretLine);
    updateTitle();
    ensureCaretVisible();
}

// ==== Deleting ====

void deleteForward(bool interactive) {
    if (!hasDocument()) return;
    if (hasVisibleSelection()) {
        deleteSelection();
    } else {
        keepCaretOnCharacter();
        if (doc.caretCol < lengthOf(doc.caretLine))
            deleteCharacterAtCaret();
        else
            joinCaretLineWithNext();
    }
    updateTitle();
    if (interactive) ensureCaretVisible();
}

void backspace() {
    if (!hasDocument()) return;
    if (!hasVisibleSelection()) {
        keepCaretOnCharacter();
        if (doc.caretCol < 1 && doc.caretLine->prev == nullptr) return;
        moveCaretLeft();
    }
    deleteForward(true);
}

void deleteSelection() {
    if (!hasDocument()) return;
    // Edits since the selection was made may have left its columns off their lines; on
    // the lines they are, the recorded text and the bytes removed agree, and undo can put
    // back exactly what went.
    if (doc.selStartLine) doc.selStartCol = clampedColumn(doc.selStartLine, doc.selStartCol);
    if (doc.selEndLine) doc.selEndCol = clampedColumn(doc.selEndLine, doc.selEndCol);
    snapSelection();
    const uint64_t changesBefore = documentChangeCount;
    LineNode* startLine = doc.selStartLine;
    const int startCol = doc.selStartCol;
    if (startLine) {
        doc.caretLine = startLine;
        doc.caretCol = doc.selStartCol;
    }
    if (undoRing.replaying == 0) {
        // The record keeps which of the crossed line ends were soft, so that undo puts the
        // wrapped rows back exactly and older records still find their positions.
        std::vector<int> lineEnds;
        const std::string text = selectedText(&lineEnds);
        UndoRecord* record = recordEdit(UNDO_DELETE_SELECTION, caretOffset(), text.c_str());
        if (record) setLineEnds(record, lineEnds.data(), static_cast<int>(lineEnds.size()));
    }
    // The start and end lines are not joined, so one of the line ends the selection
    // crosses stays between them. It is a hard return when any crossed one was: over
    // wrapped rows the same bytes go as over the whole lines they show.
    LineNode* const endLine = doc.selEndLine;
    bool crossesHardReturn = false;
    if (startLine && endLine && startLine != endLine)
        for (const LineNode* line = startLine; line && line != endLine; line = line->next)
            if (line->flags & LN_HARD_RETURN) crossesHardReturn = true;
    bool removed = false;
    LineNode* next = nullptr;
    for (LineNode* line = doc.head; line; line = next) {
        next = line->next;
        if (line->flags & LN_SELECTED) removed = deleteSelectedPart(line, startLine) || removed;
    }
    if (startLine && endLine && startLine != endLine && crossesHardReturn) startLine->flags |= LN_HARD_RETURN;
    if (removed) doc.modified = 1;
    clearSelection();
    // The start line is never removed: nothing before the selection's start changed.
    if (startLine) keepTextBeforeSince(changesBefore, startLine, startCol);
}

// ==== Select all ====

void selectAll() {
    if (!hasDocument()) return;
    LineNode* caretLine = doc.caretLine;
    const int anchorCol = doc.anchorCol;
    doc.anchorLine = doc.head;
    doc.anchorCol = 0;
    doc.caretLine = lastLine();
    doc.caretCol = lengthOf(doc.caretLine);
    updateSelection();
    // The selection stays whole; the caret keeps its line and takes the last line's
    // length as its column, clamped to its own line at once and kept off the second byte
    // of a character, so that a character typed next cannot land inside another.
    doc.caretLine = caretLine ? caretLine : doc.head;
    doc.anchorCol = anchorCol;
    keepCaretOnCharacter();
    keepSelectionOnCharacters();
    platform::invalidateAll(false);
}
