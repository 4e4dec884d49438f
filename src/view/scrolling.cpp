// Horizontal and vertical scrolling, caret placement, hit-testing and the scroll bar.
#include <cstdint>
#include <cstring>

#include "document/gbk.h"
#include "document/selection.h"
#include "document/text_length.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/measure.h"
#include "view/styles.h"
#include "view/view_state.h"

namespace {

constexpr int CARET_WIDTH = 2;

int lengthOf(const LineNode* line) { return static_cast<int>(textLength(line->text)); }

}  // namespace

// ==== Positions and pixels ====

bool hasVisibleSelection() {
    const LineNode* line = doc.topLine;
    for (int y = 0; line && y < view.clientHeight; y += LINE_HEIGHT, line = line->next)
        if (line->flags & LN_SELECTED) return true;
    return false;
}

LineNode* stepLines(LineNode* line, int steps) {
    for (; steps > 0 && line->next; --steps) line = line->next;
    for (; steps < 0 && line->prev; ++steps) line = line->prev;
    return line;
}

int columnToPoint(const LineNode* line, int col) {
    const int x = columnX(line, col);
    if (view.clientWidth <= 0) return x + view.scrollX;  // minimised: nothing to scroll into
    if (x + view.scrollX < 0) {
        view.scrollX = -x;
    } else if (x + view.scrollX >= view.clientWidth) {
        view.scrollX = view.clientWidth - WRAP_MARGIN - x;
        // A window narrower than the margin still shows the caret at its left edge.
        if (x + view.scrollX < 0) view.scrollX = -x;
    }
    return x + view.scrollX;
}

int rowTop(const LineNode* line) { return LINE_HEIGHT * (lineIndex(line) - lineIndex(doc.topLine)); }

void hitTest(int px, int py) {
    if (!hasDocument() || doc.topLine == nullptr) return;
    const int rows = py / LINE_HEIGHT;  // truncates toward zero, as the row count does
    const int targetLine = lineIndex(doc.topLine) + rows;
    if (targetLine < 0) return;
    LineNode* line = stepLines(doc.topLine, rows);
    doc.caretLine = line;
    if (lineIndex(line) < targetLine) {  // below the last line
        doc.caretCol = lengthOf(line);
        return;
    }
    const char* text = line->text;
    const int length = lengthOf(line);
    const int style = styleIndexOfLine(line);
    const int target = px - view.scrollX;
    // Measuring starts at a remembered point left of the target (on a long line).
    const MeasuredPoint start = measuredPointBefore(line, length, target - 1);
    int width = start.x;
    doc.caretCol = start.pos;
    while (doc.caretCol < length && width < target) {
        int charLength = 1;
        width += characterAdvance(style, text, doc.caretCol, width, &charLength);
        if (width > target) break;  // the point is inside this character: stay before it
        doc.caretCol += charLength;
    }
}

// ==== The system caret and the scroll bar ====

void placeCaret(int x, int y) {
    if (hasDocument()) {
        platform::hideCaret();
        platform::destroyCaret();
        if (platform::hasKeyboardFocus()) {
            platform::createCaret(CARET_WIDTH, LINE_HEIGHT);
            platform::setCaretPosition(x, y);
            platform::showCaret();
        }
    }
    platform::invalidateAll(false);
}

void updateScrollBar() {
    if (!hasDocument()) {
        // Nothing to scroll: an empty range, so no thumb is left from a closed document.
        platform::setScrollBar(0, 0, 0, 0);
        return;
    }
    const int last = lineIndex(lastLine());
    if (last == 0) return;
    const int rows = rowsInWindow();
    platform::setScrollBar(0, last, rows < last ? rows : last, lineIndex(doc.caretLine));
}

void ensureCaretVisible() {
    if (!hasDocument()) {
        placeCaret(0, 0);
        return;
    }
    if (doc.caretLine == nullptr) doc.caretLine = doc.head;
    if (doc.topLine == nullptr) doc.topLine = doc.caretLine;
    const int caretIndex = lineIndex(doc.caretLine);
    const int topIndex = lineIndex(doc.topLine);
    const int rows = rowsInWindow();
    // A minimised window has a height of 0: its view is kept for the restore.
    const bool hasHeight = view.clientHeight > 0;
    if (caretIndex < topIndex) {
        doc.topLine = doc.caretLine;
    } else if (caretIndex - topIndex > rows && hasHeight) {
        // The caret goes to the last full row; one exactly a page below the top stays.
        doc.topLine = rows > 1 ? stepLines(doc.caretLine, -(rows - 1)) : doc.caretLine;
    }
    const int length = lengthOf(doc.caretLine);
    if (doc.caretCol > length) doc.caretCol = length;
    if (isInsideDoubleByte(doc.caretLine->text, doc.caretCol)) --doc.caretCol;
    if (doc.caretCol < 0) doc.caretCol = 0;
    keepSelectionOnCharacters();
    updateScrollBar();
    const int x = columnToPoint(doc.caretLine, doc.caretCol);
    placeCaret(x, rowTop(doc.caretLine));
}


