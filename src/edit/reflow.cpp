// Word wrap in the data: over-long lines are split by soft returns and short
// soft-returned lines joined again, through the ordinary editing operations so that
// the changes are recorded for undo like typing.
#include <cstring>
#include <string>

#include "edit/reflow.h"
#include "document/document.h"
#include "edit/editing.h"
#include "edit/line_edits.h"
#include "document/gbk.h"
#include "document/text_length.h"
#include "document/selection.h"
#include "document/text.h"
#include "view/layout.h"
#include "view/measure.h"
#include "view/styles.h"
#include "view/title.h"
#include "view/view_state.h"

namespace {

bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Punctuation that must not begin a line.
const char* const NO_BREAK_BEFORE[] = {"!", ",", ".", ":", ";", "?", "，", "、", "。", "？", "”", "！", "：", "；"};

bool startsWithNoBreakMark(const char* text) {
    for (const char* mark : NO_BREAK_BEFORE)
        if (std::strncmp(text, mark, std::strlen(mark)) == 0) return true;
    return false;
}

// True when a soft break may stand before column `col` of `text`, after a character of
// `lengthBefore` bytes: not at either end of the line, not before closing punctuation,
// not inside a number or a word. A double-byte character before the break is neither
// letter nor digit, whatever its second byte looks like (學 ends in "W").
bool mayBreakAt(const char* text, int col, int lengthBefore) {
    if (col == 0 || text[col] == '\0') return false;
    if (startsWithNoBreakMark(text + col)) return false;
    const unsigned char before = lengthBefore == 1 ? static_cast<unsigned char>(text[col - 1]) : 0;
    const unsigned char after = static_cast<unsigned char>(text[col]);
    if (isAsciiDigit(before) && isAsciiDigit(after)) return false;
    if (isAsciiLetter(before) && isAsciiLetter(after)) return false;
    return true;
}

struct ReflowRun {
    bool wholeDocument;
    bool byWidth;
    int limit;  // widest a line may grow before it is broken
    int count = 0;
    int breaks = 0;  // soft returns made, counted for the document too
};

// True when `line` is a soft-returned row whose last byte is a first byte standing
// alone: that byte and the first byte of the next row are one character, which a row
// must not split.
bool endsInHalfCharacter(const LineNode* line) {
    const int length = static_cast<int>(textLength(line->text));
    return !(line->flags & LN_HARD_RETURN) && line->next && isInsideDoubleByte(line->text, length);
}

// A soft return at the caret, made and recorded as typing one does, but without the
// caption update of each typed key: the rows of a long line would set the caption a
// hundred thousand times. reflow sets it once at the end.
void breakRowAtCaret() {
    splitCaretLine(false, false, false);
    noteChangeAt(doc.caretLine);
}

// ---- Long lines ----
//
// Each break splits the line at the caret, and a split copies everything after it into
// the new line. A line of megabytes has a hundred thousand rows, so breaking it row by
// row would copy it a hundred thousand times. Instead such a line gives up all but its
// first WINDOW_BYTES to a held tail, and its text is refilled from the tail as the
// breaks walk through it: each split then copies a window, not the rest of the line.
// Between the refills the line may lack the held bytes; the tail always goes back before
// anything but the break walk looks at the line. Moving bytes between the line and its
// tail is no change to the document: only what comes after the caret line's start moves,
// and only the break walk reads it, so nothing derived from the lines goes old (the
// splits note their own changes, and a line that takes no break ends as it began).
constexpr int WINDOW_BYTES = 4096;
// The break walk looks this far ahead of the caret (a break test reads the next
// character and a two-byte mark), so the line is refilled before its end comes nearer.
constexpr int WINDOW_MARGIN = 16;

struct HeldTail {
    std::string bytes;  // the line's text after its current end
    size_t next = 0;    // bytes[next..] are still held; always a character boundary

    bool empty() const { return next >= bytes.size(); }
};

// When the caret line is longer than a window, it keeps its first WINDOW_BYTES (whole
// characters) and the rest goes to the tail.
void holdTailOf(LineNode* line, HeldTail& tail) {
    const int length = static_cast<int>(textLength(line->text));
    if (length <= 2 * WINDOW_BYTES) return;
    int cut = 0;
    while (cut < WINDOW_BYTES) cut += charLength(line->text, cut);
    tail.bytes.assign(line->text + cut);
    tail.next = 0;
    line->text = deleteText(-1, cut, line->text);
}

// Appends the next WINDOW_BYTES of the tail (whole characters), or all of it.
void refillFromTail(LineNode* line, HeldTail& tail) {
    const char* bytes = tail.bytes.c_str();
    size_t end = tail.next;
    while (end < tail.bytes.size() && end - tail.next < static_cast<size_t>(WINDOW_BYTES))
        end += static_cast<size_t>(charLength(bytes, static_cast<int>(end)));
    line->text = insertText(line->text, -1, tail.bytes.substr(tail.next, end - tail.next).c_str());
    tail.next = end;
    if (tail.empty()) std::string().swap(tail.bytes);
}

// Refills the line when its end lies within WINDOW_MARGIN bytes of `col`.
void keepWindowAhead(LineNode* line, int col, HeldTail& tail) {
    if (tail.empty()) return;
    for (int i = 0; i < WINDOW_MARGIN; ++i)
        if (line->text[col + i] == '\0') {
            refillFromTail(line, tail);
            return;
        }
}

// Gives the whole tail back to the line at once.
void returnTail(LineNode* line, HeldTail& tail) {
    if (tail.empty()) return;
    line->text = insertText(line->text, -1, tail.bytes.c_str() + tail.next);
    tail = HeldTail{};
}

// Wraps the line the caret stands on (at column 0): breaks it where it grows past the
// limit and joins its soft-returned successors while there is room. Leaves the caret on
// the last line it made, which is then finished.
void wrapLine(ReflowRun& run) {
    int width = 0;
    HeldTail tail;
    for (;;) {
        LineNode* line = doc.caretLine;
        const int style = styleIndexOfLine(line);
        bool broke = false;
        if (run.byWidth && tail.empty()) holdTailOf(line, tail);
        while (run.byWidth && (keepWindowAhead(line, doc.caretCol, tail), line->text[doc.caretCol] != '\0')) {
            int length = 1;
            width += characterAdvance(style, line->text, doc.caretCol, width, &length);
            doc.caretCol += length;
            if (width > run.limit && mayBreakAt(line->text, doc.caretCol, length)) {
                breakRowAtCaret();  // the caret moves to column 0 of the new line
                if (doc.caretLine == line) {  // the line could not be split
                    returnTail(line, tail);
                    return;
                }
                ++run.breaks;
                if (!run.wholeDocument) ++run.count;
                width = 0;
                broke = true;
                break;
            }
        }
        if (broke) continue;
        const bool full = run.byWidth && width >= run.limit;
        if ((line->flags & LN_HARD_RETURN) || line->next == nullptr || (full && !endsInHalfCharacter(line))) return;
        // Join the successor: only the soft return goes, never a byte, whatever the row
        // ends with. The joined line is measured again from its start, because a first
        // byte left alone at the old end now pairs with the byte after it.
        const LineNode* successor = line->next;
        doc.caretCol = static_cast<int>(textLength(line->text));
        joinCaretLineWithNext();
        if (line->next == successor) return;  // nothing was joined
        ++run.count;
        doc.caretLine = line;
        doc.caretCol = 0;
        width = 0;
    }
}

// The caret's place in the text from the start of `from`, counting bytes and hard line
// breaks only: the soft breaks that wrapping makes and removes leave it where it was.
int caretTextPosition(const LineNode* from) {
    int position = doc.caretCol;
    for (const LineNode* line = doc.caretLine; line != from; ) {
        line = line->prev;
        position += static_cast<int>(textLength(line->text)) + ((line->flags & LN_HARD_RETURN) ? 1 : 0);
    }
    return position;
}

// Puts the caret back at a place found by caretTextPosition; a place at a soft break
// is the end of the line before it.
void setCaretFromTextPosition(LineNode* from, int position) {
    LineNode* line = from;
    for (;;) {
        const int length = static_cast<int>(textLength(line->text));
        if (position <= length || line->next == nullptr) {
            doc.caretLine = line;
            doc.caretCol = position < length ? position : length;
            return;
        }
        position -= length + ((line->flags & LN_HARD_RETURN) ? 1 : 0);
        line = line->next;
    }
}

// Rows from topLine down to the caret line.
int caretRow() {
    int rows = 0;
    for (const LineNode* line = doc.caretLine; line && line != doc.topLine; line = line->prev) ++rows;
    return rows;
}

}  // namespace

int reflow(LineNode* from, bool wholeDocument, bool byWidth) {
    // Without a window to fit (no size yet) there is nothing to wrap to.
    if (!view.wrapMode || view.reflowBusy || from == nullptr || !hasDocument() || view.clientWidth <= 0) return 0;
    view.reflowBusy = 1;
    clearSelection();
    const int rows = caretRow();
    // Lines above `from` are not touched, and neither is a caret among them.
    LineNode* const savedLine = doc.caretLine;
    const int savedCol = doc.caretCol;
    const bool caretFollows = doc.caretLine && lineIndex(doc.caretLine) >= lineIndex(from);
    const int position = caretFollows ? caretTextPosition(from) : 0;
    ReflowRun run{wholeDocument, byWidth, view.clientWidth - WRAP_MARGIN};
    for (LineNode* line = from; line;) {
        doc.caretLine = line;
        doc.caretCol = 0;
        wrapLine(run);
        const LineNode* finished = doc.caretLine;
        if ((finished->flags & LN_HARD_RETURN) && !wholeDocument) break;
        line = finished->next;
    }
    if (caretFollows) {
        setCaretFromTextPosition(from, position);
    } else {
        doc.caretLine = savedLine;
        doc.caretCol = savedCol;
    }
    if (wholeDocument) {
        LineNode* top = doc.caretLine;
        for (int i = 0; i < rows && top->prev; ++i) top = top->prev;
        doc.topLine = top;
    }
    if (run.breaks > 0) updateTitle();
    ensureCaretVisible();
    view.reflowBusy = 0;
    return run.count;
}
