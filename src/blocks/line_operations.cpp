#include "blocks/line_operations.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "blocks/selected_lines.h"
#include "platform/virtual_keys.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/text.h"
#include "document/undo_ring.h"
#include "edit/editing.h"
#include "edit/command_undo.h"
#include "edit/line_changes.h"
#include "edit/line_edits.h"
#include "edit/reflow.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"

namespace {

// Two full-width spaces (A1 A1 twice): the indentation of a paragraph's first line.
const char FULL_WIDTH_INDENT[] = "\xA1\xA1\xA1\xA1";
// The hexadecimal text is built in a buffer of this size; the conversion stops once it
// holds more than HEX_BUFFER_SIZE - 6 bytes.
constexpr size_t HEX_BUFFER_SIZE = 102400;

void finishWithModified() {
    doc.modified = 1;
    updateTitle();
    ensureCaretVisible();
}

// Removes the leading blanks of every selected paragraph start, noting each line it
// changes in `changes`; returns how many paragraph starts there were.
int stripSelectedParagraphStarts(LineChanges& changes) {
    int lines = 0;
    std::string before;
    for (LineNode* line = doc.head; line; line = line->next) {
        if (!isSelectedParagraphStart(line)) continue;
        before.assign(line->text);
        stripLeadingBlanks(line->text);
        if (before != line->text) noteLineWas(changes, line, before, line->flags);
        ++lines;
    }
    return lines;
}

// ---- The gap at the caret column ----

// Narrows the gap of white space before the word at or after column `col` by one byte
// when the gap is at least two bytes wide. White space is single-byte, and characters are
// walked from the line start, so the second byte of a character is never taken for it.
void narrowGapOnLine(LineNode* line, int col) {
    char* text = line->text;
    int c = boundaryAtOrBefore(text, col);
    while (isWhiteSpaceByte(text[c]) && text[c + 1] != '\0') ++c;
    if (c == 0) return;
    int blank = -1, beforeBlank = -1;
    for (int i = 0, previous = -1; i <= c; previous = i, i += charLength(text, i)) {
        if (isWhiteSpaceByte(text[i])) {
            blank = i;
            beforeBlank = previous;
        }
    }
    if (blank <= 0 || beforeBlank < 0 || !isWhiteSpaceByte(text[beforeBlank])) return;
    std::memmove(text + blank, text + blank + 1, std::strlen(text + blank + 1) + 1);
}

// Inserts a tab before the word at column `col` (at `col` itself when it is white space).
void widenGapOnLine(LineNode* line, int col) {
    const char* text = line->text;
    int c = boundaryAtOrBefore(text, col);
    if (!isWhiteSpaceByte(text[c])) {
        int wordStart = 0;
        for (int i = 0; i < c; i += charLength(text, i))
            if (isWhiteSpaceByte(text[i])) wordStart = i + 1;
        c = wordStart;
    }
    line->text = insertText(line->text, c, "\t");
}

// Applies `edit` with the caret column to every line of the block that reaches past it.
void editAtCaretColumn(void (*edit)(LineNode*, int)) {
    const int col = doc.caretCol < 0 ? 0 : doc.caretCol;
    for (LineNode* line = firstSelectedLine(); line && (line->flags & LN_SELECTED); line = line->next)
        if (static_cast<int>(std::strlen(line->text)) > col) edit(line, col);
    finishWithModified();
}

// ---- Case and width ----

// Converts the selected ASCII letters of every line; second bytes are stepped over.
void convertSelectedLetters(bool toUpper) {
    for (LineNode* line = doc.head; line; line = line->next) {
        if (!(line->flags & LN_SELECTED)) continue;
        char* text = line->text;
        for (int i = 0; text[i] != '\0'; i += charLength(text, i)) {
            if (!isSelectedAt(line, i)) continue;
            if (toUpper && text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
            if (!toUpper && text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
        }
    }
    finishWithModified();
}

// True for the second byte of a full-width form (first byte A3) that has an ASCII
// counterpart: "！" to "Ｚ" and "＾" to "～"; "［", "＼" and "］" keep their width.
bool hasHalfWidthForm(unsigned char second) {
    return (second >= 0xA1 && second <= 0xDA) || (second >= 0xDE && second <= 0xFE);
}

// Narrows the full-width forms of one line in place (the text only gets shorter).
void narrowFullWidthForms(char* text) {
    int write = 0;
    for (int read = 0; text[read] != '\0';) {
        const int length = charLength(text, read);
        const unsigned char second = static_cast<unsigned char>(text[read + 1]);
        if (length == 2 && static_cast<unsigned char>(text[read]) == 0xA3 && hasHalfWidthForm(second)) {
            text[write++] = static_cast<char>(second - 0x80);
        } else {
            text[write++] = text[read];
            if (length == 2) text[write++] = text[read + 1];
        }
        read += length;
    }
    text[write] = '\0';
}

// ---- Paste as hexadecimal ----

// " %02x" for every byte of `bytes` up to its first zero, stopping once the text holds
// more than HEX_BUFFER_SIZE - 6 bytes (after HEX_PASTE_MAX_BYTES bytes).
std::string hexText(const std::string& bytes) {
    std::string hex;
    for (const char byte : bytes) {
        if (byte == '\0' || hex.size() > HEX_BUFFER_SIZE - 6) break;
        char piece[4];
        std::snprintf(piece, sizeof piece, " %02x", static_cast<unsigned char>(byte));
        hex += piece;
    }
    return hex;
}

// Types `text` (single-byte characters only) at the caret as typeChar would, one undo
// record per character. Typing a byte does nothing but insert and record it, so the text
// goes in at once and the records follow: one pass, not one copy of the line per
// character; with word wrap on, the paragraph is then wrapped once.
void typeText(const std::string& text) {
    if (text.empty()) return;
    keepCaretOnLine();
    LineNode* line = doc.caretLine;
    const int start = caretOffset();
    line->text = insertText(line->text, doc.caretCol, text.c_str());
    noteChangeAt(line);
    for (size_t k = 0; k < text.size(); ++k) {
        const char piece[2] = {text[k], '\0'};
        if (undoRing.replaying == 0) recordEdit(UNDO_TYPE, start + static_cast<int>(k), piece);
    }
    doc.caretCol += static_cast<int>(text.size());
    // One wrap of the paragraph for the whole text: typing it a character at a time
    // re-wrapped the rest of the paragraph at every character.
    if (view.wrapMode != 0) reflow(doc.caretLine, false, true);
}

}  // namespace

// ==== Indentation and blank lines ====

void stripIndent() {
    LineChanges changes;
    beginLineChanges(changes);
    if (stripSelectedParagraphStarts(changes) > 0) doc.modified = 1;
    recordLineChanges(changes);
    updateTitle();
    ensureCaretVisible();
}

void normaliseIndent() {
    LineChanges unrecorded;
    stripSelectedParagraphStarts(unrecorded);
    for (LineNode* line = doc.head; line; line = line->next)
        if (isSelectedParagraphStart(line)) line->text = insertText(line->text, 0, FULL_WIDTH_INDENT);
    finishWithModified();
}

void deleteBlankLines() {
    // A trimmed line that stays is one line change; a line that goes is recorded with the
    // blanks it had, so undo and redo see it as it was when it went.
    LineChanges trimmed;
    beginLineChanges(trimmed);
    std::string before;
    for (LineNode* line = doc.head; line;) {
        LineNode* following = line->next;
        if (line->flags & LN_SELECTED) {
            before.assign(line->text);
            trimTrailingBlanks(line->text);
            if (line->text[0] != '\0') {
                if (before != line->text) {
                    noteLineWas(trimmed, line, before, line->flags);
                    doc.modified = 1;
                }
            } else if (line->prev == nullptr && line->next == nullptr) {
                if (!before.empty()) {  // the only line stays, emptied of its blanks
                    noteLineWas(trimmed, line, before, line->flags);
                    doc.modified = 1;
                }
                break;
            } else {
                replaceLineText(line, copyBytesOrExit(before.data(), before.size()));
                removeLineRecorded(line);
            }
        }
        line = following;
    }
    recordLineChanges(trimmed);
    updateTitle();
    ensureCaretVisible();
}

// ==== The gap at the caret column ====

void narrowColumnGap() { editAtCaretColumn(narrowGapOnLine); }

void widenColumnGap() { editAtCaretColumn(widenGapOnLine); }

// ==== Line ends, case, width ====

void setLineEnds() {
    const bool soft = platform::isKeyDown(VKEY_SHIFT);
    for (LineNode* line = doc.head; line; line = line->next) {
        if (!(line->flags & LN_SELECTED)) continue;
        if (soft) line->flags &= ~LN_HARD_RETURN;
        else line->flags |= LN_HARD_RETURN;
    }
    ensureCaretVisible();
}

void toLowerCase() { convertSelectedLetters(false); }

void toUpperCase() { convertSelectedLetters(true); }

void narrowFullWidthFormsEverywhere(LineChanges& changes) {
    std::string before;
    for (LineNode* line = doc.head; line; line = line->next) {
        before.assign(line->text);
        narrowFullWidthForms(line->text);
        if (before != line->text) noteLineWas(changes, line, before, line->flags);
    }
}

void fullToHalfWidth() {
    LineChanges changes;
    beginLineChanges(changes);
    narrowFullWidthFormsEverywhere(changes);
    recordLineChanges(changes);
    finishWithModified();
}

// ==== Paste as hexadecimal ====

void pasteAsHex() {
    std::string clipboard;
    if (platform::getClipboardText(clipboard)) typeText(hexText(clipboard));
    ensureCaretVisible();
    updateTitle();
}
