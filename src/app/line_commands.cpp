#include "app/line_commands.h"

#include <cstdlib>
#include <cstring>

#include "app/messages.h"
#include "document/document.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"
#include "edit/reflow.h"

char* deletedLineBuffer = nullptr;

namespace {

// The gutter's numbers stand right-aligned in this strip at the right edge.
constexpr int LINE_NUMBER_STRIP = 111;

// Takes ownership of `text` as the buffer's new content.
void keepDeleted(char* text) {
    std::free(deletedLineBuffer);
    deletedLineBuffer = text;
}

int lineLength(const LineNode* line) { return static_cast<int>(std::strlen(line->text)); }

// The caret column as a valid cut position of the caret line.
int caretCut() {
    const int length = lineLength(doc.caretLine);
    return doc.caretCol < 0 ? 0 : (doc.caretCol > length ? length : doc.caretCol);
}

// After `removed` bytes went from the front (or the line was cut to its new length), the
// anchor and selection columns on `line` must still lie inside it.
void keepColumnsInside(const LineNode* line, int removed) {
    const int length = lineLength(line);
    auto fix = [&](const LineNode* owner, int& col) {
        if (owner != line) return;
        col -= removed;
        col = col < 0 ? 0 : (col > length ? length : col);
    };
    fix(doc.anchorLine, doc.anchorCol);
    fix(doc.selStartLine, doc.selStartCol);
    fix(doc.selEndLine, doc.selEndCol);
}

void finishLineEdit() {
    doc.modified = 1;
    updateTitle();
    ensureCaretVisible();
}

}  // namespace

// ==== Whole-line and half-line deletion ====

void deleteCaretLine() {
    LineNode* line = doc.caretLine;
    if (line == nullptr || (line->prev == nullptr && line->next == nullptr)) return;
    const bool wasHead = line == doc.head;
    char* text = line->text;
    line->text = nullptr;
    // removeLine moves the caret and the top line to the successor (else the predecessor)
    // and drops any anchor or selection end that pointed at the line.
    removeLine(line);
    if (wasHead) doc.topLine = doc.head;
    keepDeleted(detachLineText(text));
    finishLineEdit();
}

void insertDeletedLine() {
    if (deletedLineBuffer == nullptr || doc.caretLine == nullptr) return;
    LineNode* added = insertLineAfter(doc.caretLine);
    added->text = copyStringOrExit(deletedLineBuffer);
    added->flags = doc.caretLine->flags & (LN_SELECTED | LN_HARD_RETURN | LN_STYLE);
    finishLineEdit();
}

void deleteToLineStart() {
    if (doc.caretLine == nullptr) return;
    const int cut = caretCut();
    if (cut == 0) return;
    keepDeleted(copyBytesOrExit(doc.caretLine->text, static_cast<size_t>(cut)));
    replaceLineText(doc.caretLine, copyStringOrExit(doc.caretLine->text + cut));
    doc.caretCol = 0;
    keepColumnsInside(doc.caretLine, cut);
    finishLineEdit();
}

void deleteToLineEnd() {
    if (doc.caretLine == nullptr) return;
    const int cut = caretCut();
    if (cut == lineLength(doc.caretLine)) return;
    keepDeleted(copyStringOrExit(doc.caretLine->text + cut));
    doc.caretLine->text[cut] = '\0';
    keepColumnsInside(doc.caretLine, 0);
    finishLineEdit();
}

void freeDeletedLineBuffer() { keepDeleted(nullptr); }

// ==== Bookmarks ====

void toggleBookmark() {
    if (doc.caretLine == nullptr) return;
    doc.caretLine->flags ^= LN_BOOKMARK;
    ensureCaretVisible();
}

void findBookmark(bool forward) {
    if (doc.caretLine == nullptr) return;
    LineNode* line = doc.caretLine;
    bool wrapped = false;
    for (;;) {
        line = forward ? line->next : line->prev;
        if (line == nullptr) {
            if (wrapped) break;
            wrapped = true;
            line = forward ? doc.head : lastLine();
        }
        if (line->flags & LN_BOOKMARK) {
            doc.caretLine = line;
            break;
        }
    }
    ensureCaretVisible();
}

// ==== View switches ====

void switchWordWrapOn() {
    view.wrapMode = 1;
    view.scrollX = 0;
    // Wrapping moves only soft returns, which are never saved: a document that was not
    // modified stays so (the edits of the wrap itself set the flag).
    const int wasModified = doc.modified;
    reflow(doc.head, true, true);
    doc.modified = wasModified;
    updateTitle();
    platform::checkMenuItem(CMD_TOGGLE_WRAP, true);
    platform::invalidateAll(false);
}

void toggleWordWrap() {
    if (!view.wrapMode) {
        switchWordWrapOn();
        return;
    }
    view.wrapMode = 0;
    platform::checkMenuItem(CMD_TOGGLE_WRAP, false);
    platform::invalidateAll(false);
}

void toggleLineNumbers() {
    view.showLineNumbers = !view.showLineNumbers;
    platform::checkMenuItem(CMD_TOGGLE_LINE_NUMBERS, view.showLineNumbers != 0);
    platform::invalidateRect(view.clientWidth - LINE_NUMBER_STRIP, 0, view.clientWidth, view.clientHeight, false);
}
