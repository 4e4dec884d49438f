#include "files/saved_text.h"

// The loader makes the empty last line from the file's final CR LF, so writing a CR LF
// for it as well would make the file one empty line longer at every save.
bool endsWithSavedBreak(const LineNode* line) {
    if (!(line->flags & LN_HARD_RETURN)) return false;
    const bool finalBreakLine = line->next == nullptr && (line->text == nullptr || line->text[0] == '\0') &&
                                (line->prev == nullptr || (line->prev->flags & LN_HARD_RETURN));
    return !finalBreakLine;
}
