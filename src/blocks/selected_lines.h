// Small questions the line-block commands ask about the lines they work on.
#pragma once

#include "document/document.h"

// A paragraph starts at the first line and after every hard return.
inline bool isParagraphStart(const LineNode* line) {
    return line->prev == nullptr || (line->prev->flags & LN_HARD_RETURN) != 0;
}

inline bool isSelectedParagraphStart(const LineNode* line) {
    return (line->flags & LN_SELECTED) != 0 && isParagraphStart(line);
}

// A selected paragraph start that ends with a hard return: the whole paragraph is this line.
inline bool isSelectedOneLineParagraph(const LineNode* line) {
    return isSelectedParagraphStart(line) && (line->flags & LN_HARD_RETURN) != 0;
}

// The first selected line from the top, or null. The block of commands that work on
// consecutive lines runs from it to the last selected line that follows it directly.
inline LineNode* firstSelectedLine() {
    LineNode* line = doc.head;
    while (line && !(line->flags & LN_SELECTED)) line = line->next;
    return line;
}

// The C library's white space (space, tab, LF, VT, FF, CR), asked of one byte without
// the locale: bytes from 0x80 up are never white space here.
inline bool isWhiteSpaceByte(char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}
