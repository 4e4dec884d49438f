// The find and replace driver: the Find and Replace commands and their modeless system
// dialogs, Find next and Find again, replace and replace all, and the messages they show.
// Searches run forward from the caret to the end of the document and never wrap.
#pragma once

#include <string>

#include "search/find_state.h"
#include "search/regex.h"

// Bytes a message box text may take, terminator included; a find text or template too
// long for it is shortened at a character boundary and ends in "…".
constexpr int MESSAGE_TEXT_SIZE = 200;

// What a find operation did, for the key-sequence player: a search that found nothing
// stops a playback, one that found something lets it go on, and no search leaves it be.
enum class SearchOutcome { NoSearch, NotFound, Found };

// Command 32783: opens the Find dialog seeded from the selection (nothing when a dialog
// is open already).
void openFindDialog();
// Command 32785: opens the Replace dialog; the \ID counter starts again at 0.
void openReplaceDialog();
// Fills the find text from the selection: a TAB is written "\t", a selected hard line
// break "\n". With no selection the old find text stays.
void seedFindText();

// Seeks the next match of the find text from the caret: "/expr/g" (after trimming) with
// the regular-expression engine, anything else with the wildcard matcher. A match is
// selected, with the caret on its start, and a Find dialog closes; a miss shows
// "未找到字串" unless a replace-all or the Replace dialog is running. Opens the Find dialog
// instead when none was ever opened. Returns true when a match was found.
bool findNext(bool matchCase);
// The same, telling whether a search ran at all.
SearchOutcome findNextOutcome(bool matchCase);
// Command 32784 once the caller has made the step after a find: the next match with the
// dialog's last match-case choice.
SearchOutcome findAgain();
// The dialog's notification: Find next, Replace, Replace all or the dialog closing, by the
// FR_ bits it reports. Returns what the last search of it found.
SearchOutcome onFindReplace();

// The search of findNext without showing anything: on a match the caret goes to its
// start, the anchor to its last byte (as the matcher leaves it) and true is returned; the
// selection is not updated and no message is shown. For callers that collect matches.
bool findNextQuietly(bool matchCase);
// The message shown for the find text as it stands when it is an expression "/expr/g"
// that cannot be compiled; empty when the text can be searched for.
std::string findTextProblem();
// The message shown when a text typed into a dialog box was cut to FIND_TEXT_SIZE - 1 bytes.
std::string findTextCutMessage();

// The replace-all loop over the find state as it stands (find text, template and flags
// through the dialog record), from the caret on, with no dialog and no result message;
// replaceMode is 1 while it runs. Returns the number of replacements.
int replaceAllSilently();

// ---- Parts exposed for the tests ----

// `text` whole when it has at most `room` bytes, else its longest start that ends on a
// character boundary and leaves room for the "…" that follows it.
std::string fitForMessage(const char* text, int room);
// The message of a finished replace-all, at most MESSAGE_TEXT_SIZE - 1 bytes.
std::string replaceAllMessage(const char* findText, const char* replaceText, int count);
// The message of a failed search, at most MESSAGE_TEXT_SIZE - 1 bytes.
std::string notFoundMessage(const char* findText);
// The message of a notification that asks for nothing known, likewise.
std::string absentMessage(const char* findText);
// The message for an expression "/expr/g" that cannot be compiled, likewise.
std::string malformedExpressionMessage(const char* expression, RegexProblem problem);
