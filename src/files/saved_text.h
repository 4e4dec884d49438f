// The document in the form Save writes it: every line's bytes, then CR LF after each
// line that ends with a hard return, except the empty last line that stands for the
// file's final line break. The recovery copy is made of the same bytes, so loading it
// gives what a Save and a fresh load would give.
#pragma once

#include <cstddef>
#include <cstring>

#include "document/document.h"

// The line break as Save writes it; the runs below pass this very array for a break.
inline constexpr char SAVED_LINE_BREAK[] = "\r\n";

// True when Save writes CR LF after this line.
bool endsWithSavedBreak(const LineNode* line);

// Calls take(line, bytes, length) for each run of saved bytes from `line` to the end,
// in order, until it returns false.
template <typename Take>
void forEachSavedRun(const LineNode* line, Take take) {
    for (; line != nullptr; line = line->next) {
        const char* text = line->text ? line->text : "";
        if (!take(line, text, std::strlen(text))) return;
        if (endsWithSavedBreak(line) && !take(line, SAVED_LINE_BREAK, size_t{2})) return;
    }
}

// The same backwards, from the last line to the first, each run's bytes still in order.
template <typename Take>
void forEachSavedRunBackwards(const LineNode* last, Take take) {
    for (const LineNode* line = last; line != nullptr; line = line->prev) {
        if (endsWithSavedBreak(line) && !take(line, SAVED_LINE_BREAK, size_t{2})) return;
        const char* text = line->text ? line->text : "";
        if (!take(line, text, std::strlen(text))) return;
    }
}
