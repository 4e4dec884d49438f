// Quick searches (the next run of white space, digits or letters) and the bracket pair
// selection: caret commands that need no dialog. Both report whether they found
// something, so the caller can set or clear the key-sequence player's stop request.
#pragma once

#include "search/find_replace.h"

constexpr int QUICK_SPACE = 0;    // space, TAB, line feed, vertical tab, form feed, CR
constexpr int QUICK_DIGITS = 1;   // "0" to "9"
constexpr int QUICK_LETTERS = 2;  // ASCII letters and "_"

constexpr int SOUND_NOT_FOUND = 138;  // the WAVE resource played when nothing was found

// Moves the caret to the start of the next run of `kind` (backward: the previous run's
// first byte met going back), skipping the run the caret stands in. The search runs
// backward when `backward` is set or the Shift key is down now. Plays the not-found sound
// and leaves the caret when there is no such run.
SearchOutcome quickSearch(int kind, bool backward);

// Selects from the first bracket within the caret line and the next nine lines to its
// partner (nested brackets of the same kind counted), leaving the caret where it was.
// Without a partner the caret stays on the bracket. Found when a pair was selected.
SearchOutcome selectBracketPair();
