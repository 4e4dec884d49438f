// Commands that rewrite the selected lines, or the whole text, in one pass: indentation,
// blank lines, the gap of white space at the caret column, hard and soft line ends,
// letter case, full-width to half-width forms, a reversible scrambling of lines and
// pasting the clipboard as hexadecimal.
//
// pasteAsHex records for undo as typing, stripIndent and fullToHalfWidth as one change of
// the lines they touched; the others change the lines in place unrecorded. Each brings the caret into view at the end unless its comment says otherwise.
#pragma once

struct LineChanges;

// ---- Indentation and blank lines ----
// Removes the leading blanks (white space and full-width spaces) of every selected
// paragraph start, then puts two full-width spaces in front of it. Sets modified.
void normaliseIndent();
// Removes the leading blanks of every selected paragraph start. Sets modified when there
// is at least one such line.
void stripIndent();
// Trims trailing spaces and tabs of every selected line and removes the lines that are
// then empty (the only line of the document stays).
void deleteBlankLines();

// ---- The gap at the caret column, over the run of selected lines ----
// Makes the gap of white space before the word at (or after) the caret column one byte
// narrower where it is at least two bytes wide. Sets modified.
void narrowColumnGap();
// Inserts a tab before the word at the caret column. Sets modified.
void widenColumnGap();

// ---- Line ends, case, width, scrambling ----
// Gives every selected line a hard return, or a soft one while Shift is held. Leaves
// modified as it was.
void setLineEnds();
// Scrambles every selected one-line paragraph, or restores it when it is scrambled: a
// second run gives back every byte. Repaints without moving the caret.
void toggleScramble();
// Turns the selected ASCII letters to lower case. Sets modified.
void toLowerCase();
// Turns the selected ASCII letters to upper case. Sets modified.
void toUpperCase();
// Replaces the full-width forms of "!" to "Z" and "^" to "~" by their ASCII bytes in the
// whole document; "［", "＼", "］" and the full-width space stay. Sets modified.
void fullToHalfWidth();
// The same conversion as one part of a larger command: notes each line it changes in
// `changes`, and neither records, sets modified nor repaints.
void narrowFullWidthFormsEverywhere(LineChanges& changes);

// ---- Paste as hexadecimal ----
// Longest clipboard text that is converted: three characters per byte must fit the
// 102,400-byte buffer, which stops once it holds more than 102,394.
constexpr int HEX_PASTE_MAX_BYTES = 34132;
// Types the clipboard text at the caret as " %02x" per byte, recorded as typing.
void pasteAsHex();
