#include "document/document.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/gbk.h"
#include "document/file_encoding.h"
#include "document/line_storage.h"
#include "document/stand_ins.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/text_length.h"
#include "document/undo_ring.h"

Document doc;
char fileName[FILE_NAME_SIZE] = "";

void setFileName(const char* name) {
    std::strncpy(fileName, name ? name : "", FILE_NAME_SIZE - 1);
    fileName[FILE_NAME_SIZE - 1] = '\0';
}

// ==== Remembered line numbers ====
// The gutter asks lineIndex on every paint and the scroll bar on every caret placement,
// so line numbers are remembered rather than counted. `numberedLines` holds the first
// lines of the list in order, and each of them carries its position in rememberedIndex;
// a line's number is trusted only when the table holds that line at that position, so a
// stale number in a line that moved is never believed. Linking or unlinking a line cuts
// the table back to the first position that changed, and lineIndex extends it forward
// again: a walk covers only lines that an edit has renumbered.

namespace {

std::vector<LineNode*> numberedLines;
LineNode* tailLine = nullptr;  // the last line, null while the list is empty
int lineTotal = 0;

bool isNumbered(const LineNode* line) {
    const int index = line->rememberedIndex;
    return index >= 0 && index < static_cast<int>(numberedLines.size()) && numberedLines[index] == line;
}

// Forgets the numbers from position `index` on, because the lines there have moved.
void forgetNumbersFrom(int index) {
    if (index < static_cast<int>(numberedLines.size())) numberedLines.resize(index);
}

// Forgets the numbers after `line` when a line is linked in directly after it.
void forgetNumbersAfter(const LineNode* line) {
    if (isNumbered(line)) forgetNumbersFrom(line->rememberedIndex + 1);
}

void forgetAllNumbers() {
    numberedLines.clear();
    tailLine = nullptr;
    lineTotal = 0;
}

// ---- The remembered line start ----
// Every undo record stores a caretOffset, which sums the lengths of all lines above the
// caret: typing at the end of a long document would walk all of it for each character.
// So the start offset of the line asked about last is remembered together with
// documentChangeCount, which moves with every change to the lines; a change retires it,
// unless the edit that made the change reports that nothing above the line moved.
struct LineStartMemo {
    LineNode* line = nullptr;  // null when nothing is remembered
    int start = 0;                   // sum of (length + 1) over the lines before it
    uint64_t changeCount = 0;
};
LineStartMemo lineStartMemo;

int lengthOf(const LineNode* line) { return static_cast<int>(textLength(line->text)); }

bool isMemoCurrent() { return lineStartMemo.line && lineStartMemo.changeCount == documentChangeCount; }

void rememberLineStart(LineNode* line, int start) { lineStartMemo = {line, start, documentChangeCount}; }

// Start offset of `line`: from the remembered line when it is current, else from the
// nearer of the document's start and `line` itself.
int lineStart(LineNode* line) {
    int start = 0;
    if (isMemoCurrent() && lineIndex(lineStartMemo.line) <= lineIndex(line)) {
        start = lineStartMemo.start;
        for (const LineNode* p = lineStartMemo.line; p != line; p = p->next) start += lengthOf(p) + 1;
    } else {
        for (const LineNode* p = line->prev; p; p = p->prev) start += lengthOf(p) + 1;
    }
    rememberLineStart(line, start);
    return start;
}

}  // namespace

// ==== List operations ====

LineNode* newLineNode() {
    LineNode* line = allocateLineNodeMemory();
    line->flags = LN_HARD_RETURN;
    line->text = nullptr;
    line->next = nullptr;
    line->prev = nullptr;
    line->rememberedIndex = -1;
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
    tailLine = line;
    ++lineTotal;
    ++documentChangeCount;  // the list changed: what was derived from it is old
    doc.caretLine = line;
    return line;
}

LineNode* insertLineAfter(LineNode* line) {
    LineNode* added = newLineNode();
    forgetNumbersAfter(line);
    added->prev = line;
    added->next = line->next;
    if (line->next) line->next->prev = added;
    line->next = added;
    if (tailLine == line) tailLine = added;
    ++lineTotal;
    ++documentChangeCount;
    return added;
}

LineNode* insertLineBefore(LineNode* line) {
    if (line->prev) return insertLineAfter(line->prev);
    LineNode* added = newLineNode();
    forgetNumbersFrom(0);
    added->next = line;
    line->prev = added;
    doc.head = added;
    ++lineTotal;
    ++documentChangeCount;
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
    if (isNumbered(line)) forgetNumbersFrom(line->rememberedIndex);
    if (lineStartMemo.line == line) lineStartMemo = LineStartMemo{};
    if (tailLine == line) tailLine = line->prev;
    --lineTotal;
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
    releaseLineText(line->text);
    releaseLineNode(line);
    doc.modified = 1;
}

LineNode* lastLine() { return doc.head ? tailLine : nullptr; }

int lineIndex(const LineNode* line) {
    if (line == nullptr) return 0;
    if (isNumbered(line)) return line->rememberedIndex;
    if (line == tailLine) return lineTotal - 1;
    // Number the lines after the remembered ones until this one is reached.
    LineNode* next = numberedLines.empty() ? doc.head : numberedLines.back()->next;
    for (; next; next = next->next) {
        next->rememberedIndex = static_cast<int>(numberedLines.size());
        numberedLines.push_back(next);
        if (next == line) return next->rememberedIndex;
    }
    // A line outside the list has as many predecessors as its own links reach.
    int index = 0;
    for (const LineNode* p = line->prev; p; p = p->prev) ++index;
    return index;
}

int lineCount() { return doc.head ? lineTotal : 0; }

const char* rememberedPositionsViolation() {
    int index = 0;
    int start = 0;
    const LineNode* last = nullptr;
    for (const LineNode* line = doc.head; line; line = line->next, ++index) {
        if (index < static_cast<int>(numberedLines.size()) &&
            (numberedLines[index] != line || line->rememberedIndex != index))
            return "a remembered line number disagrees with the list";
        if (isMemoCurrent() && line == lineStartMemo.line && start != lineStartMemo.start)
            return "the remembered line start is wrong (a change did not set modified?)";
        start += lengthOf(line) + 1;
        last = line;
    }
    if (index < static_cast<int>(numberedLines.size())) return "more numbered lines than lines";
    if (doc.head && (last != tailLine || index != lineTotal)) return "the remembered last line or count is wrong";
    return nullptr;
}

bool isLineInDocument(const LineNode* line) {
    if (line == nullptr) return false;
    for (const LineNode* p = doc.head; p; p = p->next)
        if (p == line) return true;
    return false;
}

void discardDocument() {
    LineNode* line = doc.head;
    while (line) {
        LineNode* next = line->next;
        releaseLineText(line->text);
        releaseLineNode(line);
        line = next;
    }
    forgetAllNumbers();
    forgetStandIns();
    documentEncoding = FileEncoding::Gbk;
    lineStartMemo = LineStartMemo{};
    doc = Document{};
    setFileName("");
    resetUndo();
}

// ==== Caret and offsets ====

int caretOffset() {
    if (doc.caretLine == nullptr) return 1 + doc.caretCol;
    return 1 + lineStart(doc.caretLine) + doc.caretCol;
}

namespace {

// A run of changes each of which was reported with the line it started at: from change
// count `sinceCount` to `untilCount` no change touched a line above `firstTouched`.
struct LocatedChanges {
    uint64_t sinceCount = 0;
    uint64_t untilCount = 0;
    int firstTouched = 0;
    int firstTouchedCol = 0;  // on the line firstTouched, bytes before it were not touched
};

LocatedChanges locatedChanges;

// The latest located changes, so that a question about the changes since a recent count
// is not answered with an older change of the run (a change at line 10 before the window
// moved to line 1,000,000 would otherwise make every later frame there look for comment
// depths from line 10 again). An entry covers the counts firstCount to lastCount: one
// change, or the steps of one edit that was located as a whole.
struct LocatedChange {
    uint64_t firstCount;
    uint64_t lastCount;
    TouchedPosition from;
};
constexpr size_t RECENT_CHANGES = 64;
LocatedChange recentChanges[RECENT_CHANGES];
size_t recentCount = 0;  // entries logged and still held; the newest is at (recentCount - 1) % size

bool isBefore(TouchedPosition a, TouchedPosition b) { return a.line < b.line || (a.line == b.line && a.col < b.col); }

LocatedChange& newestLocatedChange() { return recentChanges[(recentCount - 1) % RECENT_CHANGES]; }

// Logs that the changes after `since` up to now touched nothing before `from`. Located as
// a whole, the span takes the place of the entries whose counts all lie in it; otherwise
// it is a part of the newest step, and the parts of one step add up.
void logLocatedChanges(uint64_t since, TouchedPosition from, bool asWhole) {
    if (!asWhole && since + 1 == documentChangeCount && recentCount > 0 &&
        newestLocatedChange().lastCount == documentChangeCount) {
        LocatedChange& newest = newestLocatedChange();
        if (isBefore(from, newest.from)) newest.from = from;
        return;
    }
    while (recentCount > 0 && newestLocatedChange().firstCount > since) --recentCount;
    if (recentCount > 0 && newestLocatedChange().lastCount > since) newestLocatedChange().lastCount = since;
    recentChanges[recentCount % RECENT_CHANGES] = {since + 1, documentChangeCount, from};
    ++recentCount;
}

// The first position touched since `changeCount` from the log, when it holds every change
// since: false when one was not located or has left the log.
bool recentlyTouchedSince(uint64_t changeCount, TouchedPosition& first) {
    first = {INT_MAX, 0};
    uint64_t expected = documentChangeCount;
    for (size_t k = 0; k < RECENT_CHANGES && k < recentCount && expected > changeCount; ++k) {
        const LocatedChange& change = recentChanges[(recentCount - 1 - k) % RECENT_CHANGES];
        if (change.lastCount != expected) return false;
        if (isBefore(change.from, first)) first = change.from;
        expected = change.firstCount - 1;
    }
    return expected <= changeCount;
}

}  // namespace

void keepLineStartsAbove(const LineNode* line) { keepTextBefore(line, 0); }

namespace {

// Records that the changes since `changeCount` touched nothing before (`line`, `col`):
// as a whole (the edit that made them all says so), or as one part of the newest step.
void locateChanges(uint64_t changeCount, const LineNode* line, int col, bool asWhole) {
    if (changeCount >= documentChangeCount) return;
    const int index = lineIndex(line);
    if (lineStartMemo.line && lineStartMemo.changeCount >= changeCount && lineIndex(lineStartMemo.line) <= index)
        lineStartMemo.changeCount = documentChangeCount;
    logLocatedChanges(changeCount, {index, col}, asWhole);
    LocatedChanges& run = locatedChanges;
    if (asWhole && run.sinceCount >= changeCount) {
        run = {changeCount, documentChangeCount, index, col};
    } else if (run.untilCount >= changeCount && run.sinceCount < documentChangeCount) {
        if (isBefore({index, col}, {run.firstTouched, run.firstTouchedCol})) {
            run.firstTouched = index;
            run.firstTouchedCol = col;
        }
        run.untilCount = documentChangeCount;
    } else {
        // A change in between was not located: the run starts again with this span.
        run = {changeCount, documentChangeCount, index, col};
    }
}

}  // namespace

void keepTextBefore(const LineNode* line, int col) { locateChanges(documentChangeCount - 1, line, col, false); }

void keepTextBeforeSince(uint64_t changeCount, const LineNode* line, int col) {
    locateChanges(changeCount, line, col, true);
}

TouchedPosition firstPositionTouchedSince(uint64_t changeCount) {
    if (changeCount == documentChangeCount) return {INT_MAX, 0};
    TouchedPosition recent;
    if (recentlyTouchedSince(changeCount, recent)) return recent;
    if (locatedChanges.untilCount == documentChangeCount && locatedChanges.sinceCount <= changeCount)
        return {locatedChanges.firstTouched, locatedChanges.firstTouchedCol};
    return {0, 0};
}

int firstLineTouchedSince(uint64_t changeCount) { return firstPositionTouchedSince(changeCount).line; }

int untouchedColumnSince(const LineNode* line, int indexThen, uint64_t changeCount) {
    if (changeCount == documentChangeCount) return INT_MAX;
    const TouchedPosition touched = firstPositionTouchedSince(changeCount);
    const int index = lineIndex(line);
    if (touched.line < index || index != indexThen) return -1;
    return touched.line == index ? touched.col : INT_MAX;
}

void setCaretFromOffset(int offset) {
    if (doc.head == nullptr) return;
    placeCaretAtOffset(offset);
    if (isInsideDoubleByte(doc.caretLine->text, doc.caretCol)) --doc.caretCol;
}

void placeCaretAtOffset(int offset) {
    if (doc.head == nullptr) return;
    const int target = offset - 1;
    LineNode* line = doc.head;
    int start = 0;
    if (isMemoCurrent()) {
        line = lineStartMemo.line;
        start = lineStartMemo.start;
        // Back from the remembered line: undo walks a command's edits from its last one.
        while (target < start && line->prev) {
            line = line->prev;
            start -= lengthOf(line) + 1;
        }
    }
    // An offset past a line's end goes on to the next line; past the document's end it
    // stops at the end of the last line.
    int length = lengthOf(line);
    while (target - start > length && line->next) {
        start += length + 1;
        line = line->next;
        length = lengthOf(line);
    }
    rememberLineStart(line, start);
    doc.caretLine = line;
    const int col = target - start;
    doc.caretCol = col < 0 ? 0 : (col > length ? length : col);
}
