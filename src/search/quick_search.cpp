// Quick searches and the bracket pair selection. Both walk the lines character by
// character from each line's start, so the second byte of a double-byte character (which
// can look like "[", a letter or a digit) is never taken for a bracket or a run, and the
// caret never lands inside a character.
#include "search/quick_search.h"

#include <cstring>
#include <vector>

#include "document/document.h"
#include "document/gbk.h"
#include "document/selection.h"
#include "platform/platform.h"
#include "view/layout.h"

namespace {

constexpr int SHIFT_KEY = 0x10;  // the virtual-key code of Shift

// The columns where the characters of `text` begin.
void characterStarts(const char* text, std::vector<int>& starts) {
    starts.clear();
    for (int col = 0; text[col] != '\0'; col += charLength(text, col)) starts.push_back(col);
}

// The index of the first character that begins at or after `col` (a caret inside a
// character counts from the character after it).
size_t indexAtOrAfter(const std::vector<int>& starts, int col) {
    size_t index = 0;
    while (index < starts.size() && starts[index] < col) ++index;
    return index;
}

bool isOfKind(int kind, unsigned char byte) {
    switch (kind) {
    case QUICK_SPACE: return byte == ' ' || (byte >= '\t' && byte <= '\r');
    case QUICK_DIGITS: return byte >= '0' && byte <= '9';
    case QUICK_LETTERS: return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_';
    default: return false;
    }
}

// Whether character `index` of the line is one byte of the kind (a double-byte character
// never is).
bool characterOfKind(int kind, const char* text, const std::vector<int>& starts, size_t index) {
    const int col = starts[index];
    return charLength(text, col) == 1 && isOfKind(kind, static_cast<unsigned char>(text[col]));
}

// The search over one line's characters in the search's direction. `passed` turns true at
// the first character not of the kind; after that the first character of the kind that
// begins a run (column 0, or after a character not of the kind) is the target.
bool searchCharacters(int kind, const char* text, const std::vector<int>& starts, long index, bool backward,
                      bool& passed, int& found) {
    const long step = backward ? -1 : 1;
    for (; index >= 0 && index < static_cast<long>(starts.size()); index += step) {
        const bool ofKind = characterOfKind(kind, text, starts, static_cast<size_t>(index));
        if (!passed) {
            if (!ofKind) passed = true;
            continue;
        }
        if (ofKind && (index == 0 || !characterOfKind(kind, text, starts, static_cast<size_t>(index - 1)))) {
            found = starts[static_cast<size_t>(index)];
            return true;
        }
    }
    return false;
}

// ---- Bracket pairs ----

constexpr char BRACKET_CHARS[] = "{}()<>[]";
constexpr int BRACKET_LINE_LIMIT = 10;  // the caret line and the nine after it

int bracketIndex(char byte) {
    const char* hit = byte != '\0' ? std::strchr(BRACKET_CHARS, byte) : nullptr;
    return hit ? static_cast<int>(hit - BRACKET_CHARS) : -1;
}

// Finds the first bracket from the caret over at most BRACKET_LINE_LIMIT lines.
bool findOwnBracket(LineNode*& line, int& col) {
    int from = doc.caretCol;
    LineNode* current = doc.caretLine;
    for (int lines = 0; current && lines < BRACKET_LINE_LIMIT; ++lines, current = current->next, from = 0) {
        const char* text = current->text;
        for (int at = 0; text[at] != '\0'; at += charLength(text, at)) {
            if (at >= from && charLength(text, at) == 1 && bracketIndex(text[at]) >= 0) {
                line = current;
                col = at;
                return true;
            }
        }
    }
    return false;
}

// Walks from the own bracket in its direction, counting nested own brackets, to the
// partner that closes it. Brackets of the other kinds are ignored.
bool findPartner(LineNode* line, int col, char own, char partner, bool forward, LineNode*& foundLine,
                 int& foundCol) {
    std::vector<int> starts;
    int depth = 0;
    bool firstLine = true;
    for (; line; line = forward ? line->next : line->prev, firstLine = false) {
        characterStarts(line->text, starts);
        long index = forward ? 0 : static_cast<long>(starts.size()) - 1;
        if (firstLine) index = static_cast<long>(indexAtOrAfter(starts, col)) + (forward ? 1 : -1);
        for (; index >= 0 && index < static_cast<long>(starts.size()); index += forward ? 1 : -1) {
            const int at = starts[static_cast<size_t>(index)];
            if (charLength(line->text, at) != 1) continue;
            const char byte = line->text[at];
            if (byte == own) {
                ++depth;
            } else if (byte == partner) {
                if (depth == 0) {
                    foundLine = line;
                    foundCol = at;
                    return true;
                }
                --depth;
            }
        }
    }
    return false;
}

}  // namespace

SearchOutcome quickSearch(int kind, bool backward) {
    if (doc.caretLine == nullptr) return SearchOutcome::NotFound;
    backward = backward || platform::isKeyDown(SHIFT_KEY);
    std::vector<int> starts;
    LineNode* line = doc.caretLine;
    characterStarts(line->text, starts);
    // The search starts at the caret's character; backward from a line's end, the end
    // itself is the first position looked at (it is not of any kind).
    long index = static_cast<long>(indexAtOrAfter(starts, doc.caretCol));
    bool passed = false;
    if (backward && index == static_cast<long>(starts.size())) {
        passed = true;
        --index;
    }
    int found = 0;
    while (!searchCharacters(kind, line->text, starts, index, backward, passed, found)) {
        line = backward ? line->prev : line->next;
        if (line == nullptr) {
            platform::playSound(SOUND_NOT_FOUND);
            return SearchOutcome::NotFound;
        }
        characterStarts(line->text, starts);
        index = backward ? static_cast<long>(starts.size()) - 1 : 0;
        passed = true;
    }
    doc.caretLine = line;
    doc.caretCol = found;
    ensureCaretVisible();
    return SearchOutcome::Found;
}

SearchOutcome selectBracketPair() {
    if (doc.caretLine == nullptr) return SearchOutcome::NotFound;
    LineNode* const caretLine = doc.caretLine;
    const int caretCol = doc.caretCol;
    LineNode* ownLine = nullptr;
    int ownCol = 0;
    if (!findOwnBracket(ownLine, ownCol)) return SearchOutcome::NotFound;
    const int own = bracketIndex(ownLine->text[ownCol]);
    const bool opening = own % 2 == 0;
    const char partner = BRACKET_CHARS[opening ? own + 1 : own - 1];
    doc.caretLine = ownLine;
    doc.caretCol = ownCol;
    LineNode* partnerLine = nullptr;
    int partnerCol = 0;
    if (!findPartner(ownLine, ownCol, BRACKET_CHARS[own], partner, opening, partnerLine, partnerCol)) {
        ensureCaretVisible();
        return SearchOutcome::NotFound;
    }
    doc.anchorLine = partnerLine;
    doc.anchorCol = partnerCol;
    updateSelection();
    doc.caretLine = caretLine;
    doc.caretCol = caretCol;
    ensureCaretVisible();
    return SearchOutcome::Found;
}
