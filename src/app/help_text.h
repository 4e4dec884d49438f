// The help box: the users' reference for the find/replace pattern language, the Shift-key
// variants of several commands and the Alt punctuation keys.
#pragma once

// The help text: 28 lines joined by a single LF, with no line break after the last.
extern const char* const HELP_TEXT;
// The help box's caption.
extern const char* const HELP_CAPTION;

// Command 32836, from both help menu items, with or without a document: the help box.
void showHelpText();
