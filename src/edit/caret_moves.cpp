// The editor actions: caret moves, selecting moves, Tab and Shift+Tab, Enter, Backspace
// and the backward quick searches, looked up by their action codes.
#include "edit/caret_moves.h"

#include <cstring>

#include "document/text_length.h"
#include "edit/editing.h"
#include "edit/line_edits.h"
#include "document/gbk.h"
#include "document/selection.h"
#include "document/text.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"

namespace {

int lengthOf(const LineNode* line) { return static_cast<int>(textLength(line->text)); }

// ==== The moves: each changes the caret only ====
// Columns stay byte offsets: Up and Down keep the column, and bringing the caret into
// view clamps it to the new line (onto the first byte of a double-byte character).

void caretLeft() {
    if (doc.caretCol < 1) {
        if (doc.caretLine->prev) {
            doc.caretLine = doc.caretLine->prev;
            doc.caretCol = lengthOf(doc.caretLine);
        }
        return;
    }
    doc.caretCol = stepLeft(doc.caretLine->text, doc.caretCol);
}

void caretRight() {
    if (doc.caretCol < lengthOf(doc.caretLine)) {
        doc.caretCol = stepRight(doc.caretLine->text, doc.caretCol);
    } else if (doc.caretLine->next) {
        doc.caretLine = doc.caretLine->next;
        doc.caretCol = 0;
    }
}

void caretDown() {
    if (doc.caretLine->next) doc.caretLine = doc.caretLine->next;
}

void caretUp() {
    if (doc.caretLine->prev) doc.caretLine = doc.caretLine->prev;
}

void caretHome() { doc.caretCol = 0; }
void caretEnd() { doc.caretCol = lengthOf(doc.caretLine); }

void caretDocumentStart() {
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
}

void caretDocumentEnd() {
    doc.caretLine = lastLine();
    doc.caretCol = lengthOf(doc.caretLine);
}

// Line steps of a page: one row fewer than the window shows, none for a one-row window.
int pageSteps() {
    const int rows = rowsInWindow();
    return rows >= 2 ? rows - 1 : 0;
}

void caretPageDown() {
    for (int i = pageSteps(); i > 0 && doc.caretLine->next; --i) caretDown();
}

void caretPageUp() {
    for (int i = pageSteps(); i > 0 && doc.caretLine->prev; --i) caretUp();
}

// ==== Plain and selecting movement ====

void plainMove(void (*move)()) {
    move();
    ensureCaretVisible();
    clearSelection();
}

void selectingMove(void (*move)()) {
    beginSelection();
    move();
    // Up and Down keep the byte column, which may fall inside a character of the new
    // line: it moves onto the character before the selection takes its end from it.
    keepCaretOnCharacter();
    markLineSelected(doc.caretLine);
    updateSelection();
    ensureCaretVisible();
}

// Page moves go line by line, so the view scrolls with the caret as it goes.
void pageMove(void (*lineStep)()) {
    for (int i = pageSteps(); i > 0; --i) plainMove(lineStep);
    clearSelection();
}

void documentStart() {
    clearSelection();
    plainMove(caretDocumentStart);
}

// ==== Tab and Shift+Tab on the selected lines ====

// Tab with a selection on screen indents every selected line by one tab; without one it
// types a tab. Indenting a block is not recorded for undo.
void tabKey() {
    if (!hasVisibleSelection()) {
        typeChar('\t', true);
        return;
    }
    for (LineNode* line = doc.head; line; line = line->next) {
        if (!(line->flags & LN_SELECTED)) continue;
        line->text = insertText(line->text, 0, "\t");
        if (line == doc.caretLine) ++doc.caretCol;
    }
    doc.modified = 1;
    updateTitle();
    ensureCaretVisible();
}

// Shift+Tab with a selection on screen takes one leading tab from every selected line.
void shiftTabKey() {
    if (!hasVisibleSelection()) return;
    for (LineNode* line = doc.head; line; line = line->next) {
        if (!(line->flags & LN_SELECTED) || line->text[0] != '\t') continue;
        line->text = deleteText(1, 0, line->text);
        if (line == doc.caretLine && doc.caretCol > 0) --doc.caretCol;
    }
    doc.modified = 1;
    updateTitle();
    ensureCaretVisible();
}

// ==== The action table ====

struct EditorAction {
    int code;
    void (*run)();
};

const EditorAction EDITOR_ACTIONS[] = {
    {519, [] { pageMove(caretDown); }},
    {2056, shiftTabKey},
    {2058, [] { plainMove(caretLeft); }},
    {2059, [] { selectingMove(caretLeft); }},
    {2060, [] { plainMove(caretRight); }},
    {2061, [] { selectingMove(caretRight); }},
    {2062, backspace},
    {2063, [] { plainMove(caretDocumentEnd); }},
    {2064, [] { selectingMove(caretDocumentEnd); }},
    {2065, documentStart},
    {2066, [] { selectingMove(caretDocumentStart); }},
    {2073, [] { plainMove(caretDown); }},
    {2074, [] { selectingMove(caretDown); }},
    {2075, [] { plainMove(caretEnd); }},
    {2076, [] { selectingMove(caretEnd); }},
    {2077, [] { plainMove(caretUp); }},
    {2078, [] { selectingMove(caretUp); }},
    {2079, [] { typeChar('\r', true); }},
    {2080, [] { pageMove(caretDown); }},
    {2081, [] { selectingMove(caretPageDown); }},
    {2082, [] { pageMove(caretUp); }},
    {2083, [] { selectingMove(caretPageUp); }},
    {2084, tabKey},
    {2085, [] { plainMove(caretHome); }},
    {2086, [] { selectingMove(caretHome); }},
};

}  // namespace

void moveCaretLeft() { plainMove(caretLeft); }
void moveCaretRight() { plainMove(caretRight); }

void performEditorAction(int actionCode) {
    if (!hasDocument()) return;
    if (doc.caretLine == nullptr) doc.caretLine = doc.head;
    for (const EditorAction& action : EDITOR_ACTIONS) {
        if (action.code == actionCode) {
            action.run();
            return;
        }
    }
}
