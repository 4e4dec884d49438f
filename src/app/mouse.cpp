// The left mouse button: click to place the caret, drag to select, and drag the
// selection elsewhere to move it (or, with Ctrl held, to copy it).
#include <cstdint>
#include <cstring>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "app/mouse.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/selection.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/view_state.h"

namespace {

int pointX(intptr_t lParam) { return signedLowWord(lParam); }
int pointY(intptr_t lParam) { return signedHighWord(lParam); }

bool selectionIsOnOneLine(const LineNode* line) {
    return doc.selStartLine == line && doc.selEndLine == line;
}

// True when the caret stands on the selection: on a selected line, except beside a
// selection that lies within that one line.
bool caretIsOnSelection() {
    if (!(doc.caretLine->flags & LN_SELECTED)) return false;
    if (!selectionIsOnOneLine(doc.caretLine)) return true;
    return doc.caretCol >= doc.selStartCol && doc.caretCol <= doc.selEndCol;
}

void placeCaretAtCaret() { placeCaret(columnToPoint(doc.caretLine, doc.caretCol), rowTop(doc.caretLine)); }

// Bytes a move removes before a drop point after the selection on its own line: the
// selected bytes, the last one a whole double-byte character.
int selectedLengthOnLine() {
    const char* text = doc.selEndLine->text;
    const int end = doc.selEndCol;
    int length = end - doc.selStartCol + 1;
    if (end < static_cast<int>(std::strlen(text)) && isLeadByte(text[end]))
        ++length;
    return length;
}

// Moves (cut and paste) or, with Ctrl, copies the selection to the caret.
void dropSelection() {
    LineNode* dropLine = doc.caretLine;
    int dropCol = doc.caretCol;
    const bool copying = platform::isKeyDown(VKEY_CONTROL);
    if (!copying && selectionIsOnOneLine(dropLine) && dropCol > doc.selEndCol) dropCol -= selectedLengthOnLine();
    dispatchCommand(copying ? CMD_COPY : CMD_CUT, 0);
    clearSelection();
    view.dragSelection = 0;
    // The drop line lies outside the selection, so cutting never frees it.
    doc.caretLine = dropLine;
    doc.caretCol = dropCol < 0 ? 0 : dropCol;
    dispatchCommand(CMD_PASTE, 0);
}

}  // namespace

void onLeftButtonDown(intptr_t lParam) {
    view.mouseDown = 0;
    view.dragSelection = 0;
    platform::captureMouse();
    if (!hasDocument()) return;
    hitTest(pointX(lParam), pointY(lParam));
    if (doc.caretLine->flags & LN_SELECTED) {
        // A press beside a one-line selection keeps its anchor: dragging extends it.
        if (caretIsOnSelection()) view.dragSelection = 1;
    } else {
        doc.anchorLine = doc.caretLine;
        doc.anchorCol = doc.caretCol;
    }
    placeCaretAtCaret();
    view.mouseDown = 1;
}

void onMouseMove(intptr_t lParam) {
    if (!view.mouseDown || !hasDocument()) return;
    const int px = pointX(lParam);
    const int py = pointY(lParam);
    hitTest(px, py);
    // Outside the window the caret runs on one more step, so dragging there scrolls.
    if (py < 0 && doc.caretLine->prev) doc.caretLine = doc.caretLine->prev;
    if (py > view.clientHeight && doc.caretLine->next) doc.caretLine = doc.caretLine->next;
    if (px > view.clientWidth) ++doc.caretCol;
    if (px < 0 && doc.caretCol > 0) --doc.caretCol;
    ensureCaretVisible();
}

void onLeftButtonUp(intptr_t lParam) {
    if (view.mouseDown && hasDocument()) {
        hitTest(pointX(lParam), pointY(lParam));
        placeCaretAtCaret();
        if (doc.caretLine == doc.anchorLine && doc.caretCol == doc.anchorCol) {
            clearSelection();  // a plain click
            view.dragSelection = 0;
        }
        if (view.dragSelection && !caretIsOnSelection()) dropSelection();
    }
    view.mouseDown = 0;
    view.dragSelection = 0;
    platform::releaseMouse();
}
