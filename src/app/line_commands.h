// The small line commands the dispatcher carries out itself: whole-line and half-line
// deletion with the deleted-line buffer, bookmarks, and the word-wrap and line-number
// switches with their menu check marks.
//
// None of the deletions leaves an undo record; each sets `modified` when it changes
// something and brings the caret into view.
#pragma once

// The text the last deletion removed (one heap string, or null before the first). It
// lives for the whole run and survives Close and New, so Shift+F9 can insert it into
// another document.
extern char* deletedLineBuffer;

// F9: removes the caret line into the buffer; the only line of a document stays.
void deleteCaretLine();
// Shift+F9: inserts a copy of the buffer as a new line under the caret line.
void insertDeletedLine();
// Ctrl+Backspace: moves the bytes before the caret into the buffer.
void deleteToLineStart();
// Ctrl+Delete: moves the bytes from the caret to the line end into the buffer.
void deleteToLineEnd();
// Frees the buffer (program exit).
void freeDeletedLineBuffer();

// Ctrl+Enter: sets or clears the bookmark of the caret line (not an edit of the text).
void toggleBookmark();
// Ctrl+PageDown / Ctrl+PageUp: moves the caret to the next (previous) bookmarked line,
// going round the document once; without bookmarks the caret stays.
void findBookmark(bool forward);

// Ctrl+W: switches word wrap; switching it on wraps the whole document.
void toggleWordWrap();
// Switches word wrap on (whatever it was), wraps the whole document and repaints.
void switchWordWrapOn();
// F1: shows or hides the line-number gutter.
void toggleLineNumbers();
