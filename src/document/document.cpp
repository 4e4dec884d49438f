#include "document/document.h"

#include <cstdlib>
#include <cstring>

#include "document/gbk.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "platform/platform.h"
#include "view/title.h"
#include "view/view_state.h"

Document doc;
char fileName[FILE_NAME_SIZE] = "";

void setFileName(const char* name) {
    std::strncpy(fileName, name ? name : "", FILE_NAME_SIZE - 1);
    fileName[FILE_NAME_SIZE - 1] = '\0';
}

// ==== List operations ====

LineNode* newLineNode() {
    LineNode* line = static_cast<LineNode*>(allocateOrExit(sizeof(LineNode)));
    line->flags = LN_HARD_RETURN;
    line->text = nullptr;
    line->next = nullptr;
    line->prev = nullptr;
    return line;
}

LineNode* appendLine() {
    LineNode* line = newLineNode();
    LineNode* last = lastLine();
    if (last == nullptr) {
        doc.head = line;
    } else {
        last->next = line;
        line->prev = last;
    }
    doc.caretLine = line;
    return line;
}

LineNode* insertLineAfter(LineNode* line) {
    LineNode* added = newLineNode();
    added->prev = line;
    added->next = line->next;
    if (line->next) line->next->prev = added;
    line->next = added;
    return added;
}

// Moves a reference off a line that is about to go: to its successor, else its predecessor.
static LineNode* survivorOf(const LineNode* line) { return line->next ? line->next : line->prev; }

void removeLine(LineNode* line) {
    if (line->prev == nullptr || line == doc.head) {
        if (line->next == nullptr) {
            if (line->text) line->text[0] = '\0';
            return;
        }
        doc.head = line->next;
    }
    if (line->prev) line->prev->next = line->next;
    if (line->next) line->next->prev = line->prev;
    if (doc.topLine == line) doc.topLine = survivorOf(line);
    if (doc.caretLine == line) doc.caretLine = survivorOf(line);
    // No reference may outlive the line: a lost anchor is re-taken from the caret by
    // updateSelection, and a selection that lost an end is dropped.
    if (doc.anchorLine == line) doc.anchorLine = nullptr;
    if (doc.selStartLine == line || doc.selEndLine == line) {
        line->next = line->prev = nullptr;
        clearSelection();
    }
    std::free(line->text);
    std::free(line);
    doc.modified = 1;
}

LineNode* lastLine() {
    LineNode* line = doc.head;
    while (line && line->next) line = line->next;
    return line;
}

int lineIndex(const LineNode* line) {
    int index = 0;
    for (const LineNode* p = line ? line->prev : nullptr; p; p = p->prev) ++index;
    return index;
}

bool isLineInDocument(const LineNode* line) {
    if (line == nullptr) return false;
    for (const LineNode* p = doc.head; p; p = p->next)
        if (p == line) return true;
    return false;
}

void closeDocument() {
    LineNode* line = doc.head;
    while (line) {
        LineNode* next = line->next;
        std::free(line->text);
        std::free(line);
        line = next;
    }
    doc = Document{};
    setFileName("");
    if (view.mouseDown) platform::releaseMouse();
    view.mouseDown = 0;
    view.dragSelection = 0;
    updateTitle();
    resetUndo();
    platform::hideCaret();
    platform::destroyCaret();
    platform::invalidateAll(true);
}

// ==== Caret and offsets ====

int caretOffset() {
    int offset = 1 + doc.caretCol;
    for (const LineNode* line = doc.caretLine ? doc.caretLine->prev : nullptr; line; line = line->prev)
        offset += static_cast<int>(std::strlen(line->text)) + 1;
    return offset;
}

void setCaretFromOffset(int offset) {
    if (doc.head == nullptr) return;
    LineNode* line = doc.head;
    int remaining = offset - 1;
    for (;;) {
        const int length = static_cast<int>(std::strlen(line->text));
        if (remaining <= length || line->next == nullptr) {
            doc.caretLine = line;
            doc.caretCol = remaining < 0 ? 0 : (remaining > length ? length : remaining);
            break;
        }
        remaining -= length + 1;
        line = line->next;
    }
    if (isInsideDoubleByte(doc.caretLine->text, doc.caretCol)) --doc.caretCol;
}
