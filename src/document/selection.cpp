#include "document/selection.h"

#include <cstring>

#include "document/gbk.h"
#include "document/text_length.h"

namespace {

// False only when no line carries LN_SELECTED: typing with nothing selected then clears
// the selection without walking a million lines.
bool marksMayExist = true;

}  // namespace

void markLineSelected(LineNode* line) {
    line->flags |= LN_SELECTED;
    marksMayExist = true;
}

void clearSelection() {
    if (marksMayExist) {
        for (LineNode* line = doc.head; line; line = line->next) line->flags &= ~LN_SELECTED;
        marksMayExist = false;
    }
    doc.anchorLine = nullptr;
    doc.anchorCol = 0;
    doc.selStartLine = nullptr;
    doc.selStartCol = 0;
    doc.selEndLine = nullptr;
    doc.selEndCol = 0;
}

void beginSelection() {
    if (doc.anchorLine == nullptr) {
        doc.anchorLine = doc.caretLine;
        doc.anchorCol = doc.caretCol;
    }
    if (doc.caretLine) markLineSelected(doc.caretLine);
}

static int clampedToLine(const LineNode* line, int col) {
    const int length = static_cast<int>(textLength(line->text));
    return (col < 0 || col > length) ? length : col;
}

void updateSelection() {
    if (doc.caretLine == nullptr) return;
    if (!isLineInDocument(doc.anchorLine)) {
        doc.anchorLine = doc.caretLine;
        doc.anchorCol = doc.caretCol;
    }
    doc.caretCol = clampedToLine(doc.caretLine, doc.caretCol);
    doc.anchorCol = clampedToLine(doc.anchorLine, doc.anchorCol);

    // One walk finds which of the two comes first and marks the lines between them.
    LineNode* first = lineIndex(doc.anchorLine) <= lineIndex(doc.caretLine) ? doc.anchorLine : doc.caretLine;
    if (marksMayExist)
        for (LineNode* line = doc.head; line; line = line->next) line->flags &= ~LN_SELECTED;
    const LineNode* last = (first == doc.anchorLine) ? doc.caretLine : doc.anchorLine;
    for (LineNode* line = first; line; line = line->next) {
        markLineSelected(line);
        if (line == last) break;
    }
    bool forward;
    if (doc.caretLine == doc.anchorLine) {
        forward = doc.caretCol > doc.anchorCol;
    } else {
        forward = (first == doc.anchorLine);
    }
    if (forward) {
        doc.selStartLine = doc.anchorLine;
        doc.selStartCol = doc.anchorCol;
        doc.selEndLine = doc.caretLine;
        doc.selEndCol = doc.caretCol;
    } else {
        doc.selStartLine = doc.caretLine;
        doc.selStartCol = doc.caretCol;
        doc.selEndLine = doc.anchorLine;
        doc.selEndCol = doc.anchorCol;
    }
}

void snapSelection() {
    bool anySelected = false;
    for (const LineNode* line = doc.head; line && !anySelected; line = line->next)
        anySelected = (line->flags & LN_SELECTED) != 0;
    if (!anySelected) return;
    if (doc.selStartLine && isInsideDoubleByte(doc.selStartLine->text, doc.selStartCol)) --doc.selStartCol;
    if (doc.selEndLine && isInsideDoubleByte(doc.selEndLine->text, doc.selEndCol)) --doc.selEndCol;
}

void keepSelectionOnCharacters() {
    if (doc.anchorLine && isInsideDoubleByte(doc.anchorLine->text, doc.anchorCol)) --doc.anchorCol;
    if (doc.selStartLine && isInsideDoubleByte(doc.selStartLine->text, doc.selStartCol)) --doc.selStartCol;
    if (doc.selEndLine && isInsideDoubleByte(doc.selEndLine->text, doc.selEndCol)) --doc.selEndCol;
}

bool isSelectedAt(const LineNode* line, int col) {
    if (line == nullptr || !(line->flags & LN_SELECTED)) return false;
    const bool isStart = (line == doc.selStartLine);
    const bool isEnd = (line == doc.selEndLine);
    if (isStart && isEnd)
        return doc.selStartCol != doc.selEndCol && col >= doc.selStartCol && col <= doc.selEndCol;
    if (isStart) return col >= doc.selStartCol;
    if (isEnd) return col <= doc.selEndCol;
    return true;
}


void setStyleOfSelection(int style) {
    for (LineNode* line = doc.head; line; line = line->next)
        if (line->flags & LN_SELECTED) setLineStyle(line, style);
}
