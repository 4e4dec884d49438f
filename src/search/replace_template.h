// Replacement templates: expand the replace text (captures, \t, \COL, \ID, \ROW and
// repetition braces) and put the expansion in place of the selected match.
#pragma once

#include <string>

// Longest working text a substitution or a repetition may produce.
constexpr int TEMPLATE_TEXT_LIMIT = 102400;

// The interactive replace: removes the match the last search selected (one character with
// the Delete-key operation when the find text is one character or the selection is
// empty, else the selection), inserts the expanded template through the clipboard and
// the paste conversion (text left selected, caret on its last byte), moves the caret to
// the line end when a line-consuming token was substituted, and brings the title, caret
// and window up to date. The clipboard keeps the expansion.
void replaceCurrentMatch();

// The same change to the document and the same undo records as replaceCurrentMatch, for
// a replace-all that runs many replacements in a row: it neither writes the system
// clipboard nor updates the caret display, scroll bar, title or window. Returns the
// inserted text; the caller puts the last one on the clipboard and updates the view once.
std::string replaceCurrentMatchDeferred(bool* endedWithBreak = nullptr);

// Expands `templ` for a match whose start column is `column` on the caret line: the
// substitution table, \ID (advancing findState.idCounter), \ROW and the braces. Sets
// *consumedLine when a line-consuming token was substituted. Exposed for tests.
std::string expandTemplate(const char* templ, int column, bool* consumedLine);
