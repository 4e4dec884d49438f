// Copy, cut and paste through the system clipboard (plain GBK text).
//
// Copy writes the selected text with CR LF at selected hard returns; paste inserts the
// clipboard text at the caret by the byte rules of paste_text and leaves it selected.
// Undo and redo, replace and the sum of numbers insert text through the same paste.
#pragma once

#include <string>
#include <vector>

#include "document/document.h"

// Puts `text` on the clipboard (stand-ins as the characters they stand for); false when
// the clipboard could not take it.
bool putTextOnClipboard(const char* text);
// The clipboard's text in GBK. In a document of a UTF encoding, characters the code page
// lacks become stand-ins (document/stand_ins.h); false when it holds no text.
bool readClipboardText(std::string& text);

// An upper bound of the bytes selectionText writes for the current selection.
int selectionTextSize();
// Writes the selected text into `dst` (room for `capacity` bytes, terminator included),
// whole characters and whole CR LF pairs only; returns the number of bytes written.
int selectionText(char* dst, int capacity);
// The whole selected text: the selected bytes of every selected line, with CR LF where
// a selected line end is a hard return (a soft return joins the lines). `lineEnds`, when
// given, receives each selected line end as an undo line-end entry (document/undo_ring.h).
std::string selectedText(std::vector<int>* lineEnds = nullptr);

// Copy command: the selected text, or an empty text when nothing is selected.
void copySelection();
// Cut command: copy, then delete the selection (kept when the clipboard refuses the text).
void cutSelection();
// Paste command: a selection on screen is deleted first.
void pasteCommand();
// Inserts the clipboard text at the caret (Shift held: tabs become commas), records it
// for undo and leaves it selected.
void pasteClipboard();

// ---- Paste as undo and redo use it ----

// Where a paste began and what it made.
struct PasteOutcome {
    LineNode* startLine = nullptr;
    int startCol = 0;
    int startOffset = 0;
    int breaks = 0;                 // line breaks inserted
    LineNode* remainder = nullptr;  // the line holding the text after the paste point
    bool inserted = false;
};

// Inserts pieces (see paste_text.h) at the caret without recording.
PasteOutcome insertPieces(const std::vector<std::string>& pieces);
// Ends a paste: re-wraps the document (unless `rewrap` is off: undo and redo leave the
// rows to the records the wrap made), updates the title and selects the pasted text.
void finishPaste(PasteOutcome outcome, bool rewrap = true);
