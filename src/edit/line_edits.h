// Line-level edits shared by the editing operations, paste and undo: splitting and
// joining lines, removing a stretch of text, and keeping the caret on its line.
#pragma once

#include "document/document.h"

// Keeps the caret on a line of the document: a missing caret line becomes the first
// line, a column before or past the line is clamped to it. A column just after the first
// byte of a character stays, because that character's second byte may be on its way.
void keepCaretOnLine();
// keepCaretOnLine, and a column inside a double-byte character moves back onto it.
void keepCaretOnCharacter();

// Records an edit of `kind` at the caret with `text`, unless undo is replaying.
void recordAtCaret(int kind, const char* text);

// Sets `modified` right after the text of `line` from column `col` on, or lines after it,
// changed; the remembered line start stays good when it lies no lower than `line`.
void noteChangeAt(const LineNode* line, int col = 0);

// The flags a line split at a column gives the new line (and a join takes from the next).
constexpr uint32_t SPLIT_COPIED_FLAGS = LN_SELECTED | LN_HARD_RETURN | LN_STYLE;

// After `line` was split at `col` into itself and `added`: the anchor and the selection
// ends that stood at or after `col` move with their characters onto the new line, and
// only lines between the selection's ends stay marked, so the selected characters are
// the same as before the split (as when the user presses Enter).
void keepSelectionOnItsText(LineNode* line, int col, LineNode* added);

// Splits the caret line at the caret: the rest of the line moves to a new line after it
// that takes its selection, return and style flags; the caret line ends with a hard
// return (`hardReturn`) or a soft one; the caret goes to the start of the new line.
// Records the split. With `autoIndent` the new line is indented from the lines above
// (blanks at its start are deleted, and `interactive` also types tabs for the level).
void splitCaretLine(bool hardReturn, bool autoIndent, bool interactive);

// Appends the next line's text to `line`, which takes the next line's return, selection
// and style flags (its bookmark stays its own). Every reference to the next line moves
// onto `line` at the same character; then the next line is freed. Not recorded.
void joinWithNext(LineNode* line);

// Deletes the character at the caret (both bytes of a double-byte one), recorded.
void deleteCharacterAtCaret();

// Joins the caret line with its successor, recorded. The caret stays.
void joinCaretLineWithNext();

// Removes exactly `count` bytes of `line` from `at`, without widening to a whole
// character: undo takes away exactly the bytes an edit brought.
void cutBytes(LineNode* line, int at, int count);

// Removes the text from (startLine, startCol) up to but not including (endLine, endCol),
// with the line breaks between, and puts the caret at the start. Not recorded.
void removeSpan(LineNode* startLine, int startCol, LineNode* endLine, int endCol);
