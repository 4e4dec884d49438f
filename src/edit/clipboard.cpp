#include "edit/clipboard.h"

#include <cstring>

#include "view/active_window.h"
#include "platform/virtual_keys.h"
#include "edit/editing.h"
#include "document/file_encoding.h"
#include "document/gbk.h"
#include "edit/line_edits.h"
#include "document/paste_text.h"
#include "document/selection.h"
#include "document/stand_ins.h"
#include "document/text.h"
#include "document/undo_ring.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "edit/reflow.h"

namespace {

int lengthOf(const LineNode* line) { return static_cast<int>(std::strlen(line->text)); }

// The selected text, stopping before the first character or line break that would take
// it past `limit` bytes. A selected byte that starts a double-byte character (editing
// rule) brings its second byte along; a soft return adds nothing. `lineEnds`, when
// given, receives every selected line end as an undo record's line-end entry.
std::string buildSelectedText(size_t limit, std::vector<int>* lineEnds = nullptr) {
    std::string text;
    for (const LineNode* line = doc.head; line; line = line->next) {
        if (!(line->flags & LN_SELECTED)) continue;
        const int length = lengthOf(line);
        for (int i = 0; i < length; ++i) {
            if (!isSelectedAt(line, i)) continue;
            const bool pair = isLeadByte(line->text[i]) && i + 1 < length;
            const size_t width = pair ? 2 : 1;
            if (text.size() + width > limit) return text;
            text.append(line->text + i, width);
            if (pair) ++i;
        }
        if (!isSelectedAt(line, length)) continue;
        const bool hard = (line->flags & LN_HARD_RETURN) != 0;
        if (hard && text.size() + 2 > limit) return text;
        if (lineEnds) lineEnds->push_back(lineEndAt(static_cast<int>(text.size()), !hard));
        if (hard) text += "\r\n";
    }
    return text;
}

// Where the paste began, after a re-wrap that may have joined or split its line.
void relocatePasteStart(PasteOutcome& outcome) {
    LineNode* caretLine = doc.caretLine;
    const int caretCol = doc.caretCol;
    placeCaretAtOffset(outcome.startOffset);
    outcome.startLine = doc.caretLine;
    outcome.startCol = doc.caretCol;
    doc.caretLine = caretLine;
    doc.caretCol = caretCol;
}

// A pasted first byte can end a soft-returned row, alone or because it paired with the
// byte after it and so shifted the characters behind it: the row would then split a
// character with the next row. Joins such a row with the next one (recorded, as the
// wrap's own joins are), with the caret kept where it is. Wrapping does this itself; this
// is for a paste that does not re-wrap.
void keepCharacterOnOneRow(LineNode* line) {
    const int caretCol = doc.caretCol;
    LineNode* const caretLine = doc.caretLine;
    while (!(line->flags & LN_HARD_RETURN) && line->next && isInsideDoubleByte(line->text, lengthOf(line))) {
        doc.caretLine = line;
        doc.caretCol = lengthOf(line);
        joinCaretLineWithNext();
    }
    doc.caretLine = caretLine;
    doc.caretCol = caretCol;
}

}  // namespace

// ==== Copying ====

bool putTextOnClipboard(const char* text) {
    if (text == nullptr) text = "";
    if (!hasStandIns()) return platform::setClipboardText(text);
    // Characters behind stand-ins go to other programs as themselves.
    std::u16string unicode;
    const size_t size = std::strlen(text);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t at = 0, length = 1; at < size; at += length) {
        const int character = characterAt(bytes, at, size, length);
        if (character < 0) return platform::setClipboardText(text);  // bytes only GBK can carry
        if (character >= 0x10000) {
            unicode += static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10));
            unicode += static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        } else {
            unicode += static_cast<char16_t>(character);
        }
    }
    return platform::setClipboardText(text, &unicode);
}

bool readClipboardText(std::string& text) {
    if (documentEncoding == FileEncoding::Gbk) return platform::getClipboardText(text);
    // A document saved as UTF-8 or UTF-16 can keep characters the code page lacks: they
    // come in as stand-ins rather than as the system's "?".
    std::u16string units;
    if (!platform::getClipboardUnicode(units)) return false;
    text.clear();
    for (size_t at = 0; at < units.size(); ++at) {
        uint32_t character = units[at];
        if (character >= 0xD800 && character <= 0xDBFF && at + 1 < units.size() && units[at + 1] >= 0xDC00 &&
            units[at + 1] <= 0xDFFF) {
            character = 0x10000 + ((character - 0xD800) << 10) + (units[++at] - 0xDC00u);
        }
        const int code = textCodeOf(character);
        if (code < 0) {
            text += '?';  // every stand-in is taken: the one case the system's rule remains
        } else if (code < 0x100) {
            text += static_cast<char>(code);
        } else {
            text += static_cast<char>(code >> 8);
            text += static_cast<char>(code & 0xFF);
        }
    }
    return true;
}

std::string selectedText(std::vector<int>* lineEnds) { return buildSelectedText(std::string::npos, lineEnds); }

int selectionTextSize() {
    snapSelection();
    return static_cast<int>(selectedText().size());
}

int selectionText(char* dst, int capacity) {
    if (dst == nullptr || capacity <= 0) return 0;
    const std::string text = buildSelectedText(static_cast<size_t>(capacity - 1));
    std::memcpy(dst, text.data(), text.size());
    dst[text.size()] = '\0';
    return static_cast<int>(text.size());
}

void copySelection() {
    snapSelection();
    putTextOnClipboard(selectedText().c_str());
}

void cutSelection() {
    if (!hasDocument()) return;
    snapSelection();
    // Text the clipboard did not take stays in the document: deleting it would lose it.
    if (!putTextOnClipboard(selectedText().c_str())) return;
    deleteSelection();
    updateTitle();
    ensureCaretVisible();
}

// ==== Pasting ====

PasteOutcome insertPieces(const std::vector<std::string>& pieces) {
    PasteOutcome outcome;
    keepCaretOnLine();
    const uint64_t changesBefore = documentChangeCount;
    outcome.startLine = doc.caretLine;
    outcome.startCol = doc.caretCol;
    outcome.startOffset = caretOffset();
    outcome.breaks = static_cast<int>(pieces.size()) - 1;
    // The line splits are the paste's own and are undone with it, so they record nothing;
    // they do not indent either, which would eat blanks of the text after the caret.
    ++undoRing.replaying;
    for (int k = 0; k < outcome.breaks; ++k) {
        splitCaretLine(true, false, false);
        LineNode* line = doc.caretLine;
        int at = 0;
        if (k == 0) {
            outcome.remainder = doc.caretLine;
            line = outcome.startLine;
            at = lengthOf(line);
        }
        line->text = insertText(line->text, at, pieces[k].c_str());
        noteChangeAt(line);
        doc.caretLine = line;
        doc.caretCol = lengthOf(line);
    }
    const std::string& last = pieces.back();
    if (!last.empty()) {
        LineNode* line = outcome.remainder ? outcome.remainder : doc.caretLine;
        const int at = outcome.remainder ? 0 : doc.caretCol;
        line->text = insertText(line->text, at, last.c_str());
        noteChangeAt(line);
        doc.caretLine = line;
        doc.caretCol = at + static_cast<int>(last.size());
    }
    --undoRing.replaying;
    outcome.inserted = outcome.breaks > 0 || !last.empty();
    if (outcome.inserted) doc.modified = 1;
    if (outcome.startLine) keepTextBeforeSince(changesBefore, outcome.startLine, outcome.startCol);
    return outcome;
}

void finishPaste(PasteOutcome outcome, bool rewrap) {
    if (rewrap) {
        keepCharacterOnOneRow(doc.caretLine);
        if (activeWindow != ACTIVE_FIND && reflow(doc.head, true, true) != 0) relocatePasteStart(outcome);
    }
    updateTitle();
    if (!outcome.inserted) {
        // Nothing came in: nothing is left selected and the caret stays where it was.
        clearSelection();
        ensureCaretVisible();
        return;
    }
    doc.anchorLine = outcome.startLine;
    doc.anchorCol = outcome.startCol;
    // The caret goes back onto the last pasted character, so the selection ends there.
    if (doc.caretCol > 0) doc.caretCol = stepLeft(doc.caretLine->text, doc.caretCol);
    updateSelection();
    ensureCaretVisible();
}

void pasteClipboard() {
    if (!hasDocument()) return;
    std::string text;
    std::vector<std::string> pieces(1);
    std::string recorded;
    const uint64_t changesBefore = documentChangeCount;
    if (readClipboardText(text)) {
        text.resize(std::strlen(text.c_str()));
        if (!text.empty()) {
            doc.modified = 1;
            pieces = clipboardPieces(text, platform::isKeyDown(VKEY_SHIFT), &recorded);
        }
    }
    const PasteOutcome outcome = insertPieces(pieces);
    if (outcome.startLine) keepTextBeforeSince(changesBefore, outcome.startLine, outcome.startCol);
    // The record keeps the text as read, with the tabs that became commas as commas, so
    // undo and redo do not depend on whether Shift is held when they run.
    if (!recorded.empty()) recordEdit(UNDO_PASTE, outcome.startOffset, recorded.c_str());
    finishPaste(outcome);
}

void pasteCommand() {
    if (!hasDocument()) return;
    if (hasVisibleSelection()) deleteForward(true);
    pasteClipboard();
}
