// The document: a doubly linked list of lines, the caret, the anchor and the selection.
//
// One LineNode per displayed row; a paragraph longer than the window is several lines
// joined by soft returns (LN_HARD_RETURN clear). Each line owns its text, which is freed
// or replaced only through document/line_storage.h (a loaded file's lines are carved from
// large blocks). There is exactly one document, `doc`, and beside it the current file name.
#pragma once

#include <cstdint>

// ---- Line flags ----
constexpr uint32_t LN_HARD_RETURN = 0x01;  // the line ends with a hard line break
constexpr uint32_t LN_SELECTED = 0x02;     // the line lies (partly) inside the selection
constexpr uint32_t LN_BOOKMARK = 0x04;     // a bookmark is set on the line
constexpr uint32_t LN_STYLE = 0xF8;        // line style index 0-31, bits 3-7
constexpr int LN_STYLE_SHIFT = 3;

// ---- Line styles ----
constexpr int STYLE_BODY = 0;
constexpr int STYLE_TITLE1 = 1;
constexpr int STYLE_TITLE2 = 2;
constexpr int STYLE_TITLE3 = 3;
constexpr int STYLE_NOTE = 4;

// 32 bytes: the two ints share the first eight, so a million lines need no padding.
struct LineNode {
    uint32_t flags;
    int rememberedIndex;  // lineIndex's memory; trusted only while its table agrees
    char* text;           // owned; NUL-terminated GBK without line-break bytes
    LineNode* next;       // null for the last line
    LineNode* prev;       // null for the first line
};

// Moves on every time the document's `modified` flag is assigned. Every change to the
// lines (texts, list, swapped contents) must set `modified`, or the user could lose it
// unasked, so this count moves with every change even in code that has never heard of
// it. Data derived from the lines (the view's remembered comment states) keeps the count
// it was made at and is re-read from the lines once the count differs.
inline uint64_t documentChangeCount = 0;

// The document's modified flag: an int whose every assignment advances documentChangeCount.
struct ModifiedFlag {
    int value = 0;
    ModifiedFlag() = default;
    ModifiedFlag(const ModifiedFlag& other) : value(other.value) {}
    ModifiedFlag& operator=(const ModifiedFlag& other) { return *this = other.value; }
    ModifiedFlag& operator=(int newValue) {
        value = newValue;
        ++documentChangeCount;
        return *this;
    }
    operator int() const { return value; }
};

struct Document {
    LineNode* head = nullptr;  // null while no document is open
    LineNode* topLine = nullptr;
    LineNode* caretLine = nullptr;
    int caretCol = 0;
    LineNode* anchorLine = nullptr;  // null: no anchor
    int anchorCol = 0;
    LineNode* selStartLine = nullptr;  // null: no selection
    int selStartCol = 0;
    LineNode* selEndLine = nullptr;
    int selEndCol = 0;  // inclusive
    ModifiedFlag modified;  // set by every change to the lines
};

extern Document doc;

// The current file name: a full path, empty when the document has no file yet.
constexpr int FILE_NAME_SIZE = 260;
extern char fileName[FILE_NAME_SIZE];
// Copies `name` into the file-name buffer, cut to fit with its terminator.
void setFileName(const char* name);

inline bool hasDocument() { return doc.head != nullptr; }
inline int lineStyle(const LineNode* line) { return static_cast<int>((line->flags & LN_STYLE) >> LN_STYLE_SHIFT); }
inline void setLineStyle(LineNode* line, int style) {
    line->flags = (line->flags & ~LN_STYLE) | ((static_cast<uint32_t>(style) << LN_STYLE_SHIFT) & LN_STYLE);
}

// ---- List operations ----
// Lines are linked and unlinked only through these operations: they keep the remembered
// line numbers, the last line and the line count right.
// A node with flags LN_HARD_RETURN and no text or links.
LineNode* newLineNode();
// Links a new node after the last line (or as head) and makes it the caret line.
LineNode* appendLine();
// Links a new node directly after `line` (which must be in the list) and returns it.
LineNode* insertLineAfter(LineNode* line);
// Links a new node directly before `line` (which must be in the list; it may be the head).
LineNode* insertLineBefore(LineNode* line);
// Unlinks and frees `line`; the only line is emptied instead. Moves topLine and caretLine
// off it (to the successor when there is one), and drops any anchor or selection end
// that pointed at it. Sets modified.
void removeLine(LineNode* line);
LineNode* lastLine();
// Number of lines before `line` (0 for the first). Remembered, so asking again is cheap
// until a line is linked or unlinked before `line`.
int lineIndex(const LineNode* line);
// Number of lines in the document (0 while none is open).
int lineCount();
// Self-check of the remembered line numbers and line start, run by the tests after every
// operation: null when they agree with the list, else what is wrong.
const char* rememberedPositionsViolation();
// True when `line` is one of the document's lines.
bool isLineInDocument(const LineNode* line);
// Frees every line and resets the document, the file name, the remembered positions and
// the undo ring. Closing the document in the window (files/close_document) builds on it.
void discardDocument();

// ---- Caret and offsets ----
// 1 + caretCol + the lengths of all earlier lines plus one per line break. The start of
// the line asked about last is remembered until the lines change (documentChangeCount),
// so offsets near it cost only the lines in between.
int caretOffset();
// Tells the offsets that the change just made (one step of documentChangeCount) touched
// nothing before the start of `line`, so a remembered line start at or above it holds.
void keepLineStartsAbove(const LineNode* line);
// The first line index that the changes since change count `changeCount` may have
// touched: INT_MAX when nothing changed since, 0 when a change was not located through
// keepLineStartsAbove. Data derived from the lines above that index still holds.
int firstLineTouchedSince(uint64_t changeCount);
// keepLineStartsAbove, and also: on `line` itself the bytes before `col` were not touched.
void keepTextBefore(const LineNode* line, int col);
// The same for every change since `changeCount`: an edit of several steps (a paste, the
// deletion of a selection, their undo) says where it began once it is done, so what was
// derived from the text before that point holds. It stands for those steps as a whole,
// also over a position a step reported for itself.
void keepTextBeforeSince(uint64_t changeCount, const LineNode* line, int col);
// The first position the changes since `changeCount` may have touched: a line index and
// a column on it ({INT_MAX, 0} when nothing changed, {0, 0} when a change was not located).
struct TouchedPosition {
    int line;
    int col;
};
TouchedPosition firstPositionTouchedSince(uint64_t changeCount);
// For data about `line` made at change count `changeCount`, when the line had index
// `indexThen`: the column before which its bytes are still as they were then (INT_MAX:
// the whole line), or -1 when it may have changed from its start or has moved.
int untouchedColumnSince(const LineNode* line, int indexThen, uint64_t changeCount);
// Puts the caret at the position whose offset is `offset` (inverse of caretOffset); a
// column inside a double-byte character moves back onto its first byte.
void setCaretFromOffset(int offset);
// The same without that last step: undo records hold exact positions, also the one of a
// second byte typed on its own.
void placeCaretAtOffset(int offset);
