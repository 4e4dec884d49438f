// Editing operations on the document: typed characters, line splits, deletion and the
// editor actions that the key bindings send (caret moves, selecting moves, Tab, Enter).
#pragma once

// Performs an editor-action code (2056-2086 and 519): a caret or selecting move, Tab,
// Shift+Tab, Enter or Backspace. Recording is the caller's business.
void performEditorAction(int actionCode);
// Inserts a typed byte at the caret, or splits the line for '\r' (hard) / '\n' (soft).
void typeChar(char ch, bool interactive);
// Inserts the double-byte character whose first byte is the high byte of `code`.
void insertCharCode(unsigned code);
// Deletes the visible selection, or the character at the caret, or joins the next line.
void deleteForward(bool interactive);
// Deletes the character before the caret, or the visible selection.
void backspace();
// Deletes the selected bytes; the first and last selected lines are not joined.
void deleteSelection();
// Selects the whole document.
void selectAll();
