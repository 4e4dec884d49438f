#include "search/wildcard.h"

#include <cstring>

#include "document/gbk.h"
#include "document/marker_chars.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "search/find_state.h"

CaptureSlot CaptureSlots[CAPTURE_SLOT_COUNT];

void storeCapture(int slot, const char* bytes, int size) {
    if (slot < 0 || slot >= CAPTURE_SLOT_COUNT || size < 0 || (bytes == nullptr && size > 0)) return;
    CaptureSlots[slot].present = true;
    CaptureSlots[slot].text.assign(bytes ? bytes : "", static_cast<size_t>(size));
}

void freeCaptures() {
    for (CaptureSlot& slot : CaptureSlots) {
        slot.present = false;
        std::string().swap(slot.text);
    }
}

bool isChineseCharacter(unsigned char first, unsigned char second) {
    if (second == 0x7F) return false;
    if (first >= 0xB0 && first <= 0xF7 && second >= 0xA1 && second <= 0xFE)
        return !(first == 0xD7 && second >= 0xFA);  // GB2312 levels 1 and 2
    if (first >= 0x81 && first <= 0xA0) return second >= 0x40 && second <= 0xFE;  // GBK/3
    if (first >= 0xAA && first <= 0xFE) return second >= 0x40 && second <= 0xA0;  // GBK/4
    return false;
}

bool isLineStartPattern(const char* pattern) { return pattern != nullptr && std::strcmp(pattern, "\\n") == 0; }

namespace {

using Byte = unsigned char;

// The four bracket tokens ("\<>", "\()", "\[]", "\{}"), rows 1-4 of the capture slots.
// `collected` counts the characters an open capture took; every attempt starts with all
// counters at 0 and leaves them there.
struct BracketPair {
    int collected;
    char opening;
    char closing;
};
BracketPair bracketPairs[] = {
    {0, '\0', '\0'}, {0, '<', '>'}, {0, '(', ')'}, {0, '[', ']'}, {0, '{', '}'}, {-1, '\0', '\0'},
};

// ---- Character classes (on single bytes, "C" locale) ----
bool isDigitByte(Byte c) { return c >= '0' && c <= '9'; }
bool isUpperByte(Byte c) { return c >= 'A' && c <= 'Z'; }
bool isLowerByte(Byte c) { return c >= 'a' && c <= 'z'; }
bool isLetterByte(Byte c) { return isUpperByte(c) || isLowerByte(c); }
bool isSpaceByte(Byte c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
// Half-width punctuation: printable ASCII that is neither a digit nor a letter.
bool isHalfWidthPunctuation(Byte c) { return c >= 0x21 && c <= 0x7E && !isDigitByte(c) && !isLetterByte(c); }
Byte upperOf(Byte c) { return isLowerByte(c) ? static_cast<Byte>(c - 'a' + 'A') : c; }

// A capture noted during the search: the bytes stay in the line (nothing is edited while
// searching), so noting is cheap and the slots are written once, when the search ends.
struct PendingCapture {
    const Byte* bytes = nullptr;
    int size = 0;
    char closing = '\0';  // bracket captures end with their closing byte
    bool set = false;
};

struct Search {
    const Byte* pattern = nullptr;
    bool matchCase = false;
    bool shiftHeld = false;  // letters join the \S symbol runs
    PendingCapture pending[CAPTURE_SLOT_COUNT];

    void capture(int slot, const Byte* bytes, int size, char closing = '\0') {
        pending[slot] = PendingCapture{bytes, size, closing, true};
    }
};

// One line as an attempt reads it.
struct LineText {
    LineNode* node;
    const Byte* text;
    int length;
};

LineText lineText(LineNode* node, int length) {
    return LineText{node, reinterpret_cast<const Byte*>(node->text), length};
}
LineText lineText(LineNode* node) {
    return lineText(node, static_cast<int>(std::strlen(node->text)));
}

// Bytes of the character at `pos` (a boundary below the end): 2 for a first byte with a
// second byte after it, else 1.
int charBytes(const LineText& line, int pos) {
    return charLength(reinterpret_cast<const char*>(line.text), pos);
}

bool isTwoByteAt(const LineText& line, int pos) { return pos < line.length && charBytes(line, pos) == 2; }

bool isMarkerCharAt(const LineText& line, int pos, int entry) {
    return isTwoByteAt(line, pos) && isMarkerChar(entry, reinterpret_cast<const char*>(line.text + pos));
}

// ---- Runs: each returns the column after the longest run of its class from `pos` ----
int numberRunEnd(const LineText& line, int pos) {
    int end = pos;
    for (;;) {
        const Byte c = line.text[end];
        if (isDigitByte(c))
            ++end;
        else if (c == '.' && end > pos && isDigitByte(line.text[end + 1]))
            ++end;
        else
            return end;
    }
}

int markerRunEnd(const LineText& line, int pos, int entry) {
    while (isMarkerCharAt(line, pos, entry)) pos += 2;
    return pos;
}

int chineseRunEnd(const LineText& line, int pos) {
    while (isTwoByteAt(line, pos) && isChineseCharacter(line.text[pos], line.text[pos + 1])) pos += 2;
    return pos;
}

int symbolRunEnd(const LineText& line, int pos, bool lettersToo) {
    while (pos < line.length) {
        const Byte c = line.text[pos];
        if (isTwoByteAt(line, pos)) {
            pos += 2;  // a double-byte character is always a symbol of the run, taken whole
        } else if (c > 0x20 && !isDigitByte(c) && (lettersToo || !isLetterByte(c))) {
            ++pos;
        } else {
            break;
        }
    }
    return pos;
}

int variableNameEnd(const LineText& line, int pos) {
    const Byte first = line.text[pos];
    if (!isLetterByte(first) && first != '_') return pos;
    ++pos;
    while (isLetterByte(line.text[pos]) || isDigitByte(line.text[pos]) || line.text[pos] == '_') ++pos;
    return pos;
}

template <typename Test>
int byteRunEnd(const LineText& line, int pos, Test test) {
    while (pos < line.length && test(line.text[pos])) ++pos;
    return pos;
}

bool at(const Byte* p, char a, char b) { return p[0] == static_cast<Byte>(a) && p[1] == static_cast<Byte>(b); }

// Slot and length of a numbered token "\X" or "\Xd" (d a digit): slot base + d.
int numberedToken(const Byte* p, int base, int* length) {
    if (isDigitByte(p[2])) {
        *length = 3;
        return base + (p[2] - '0');
    }
    *length = 2;
    return base;
}

// The bracket row whose token ("\" + opening + closing) stands at `p`, or 0.
int bracketRowAt(const Byte* p) {
    if (p[0] != '\\') return 0;
    for (int row = 1; bracketPairs[row].collected != -1; ++row)
        if (p[1] == static_cast<Byte>(bracketPairs[row].opening) && p[2] == static_cast<Byte>(bracketPairs[row].closing))
            return row;
    return 0;
}

// The literal rule: the character at `pos` against the pattern character at `q`. Both are
// taken whole, so a match never ends inside a character; letters of single-byte
// characters compare without case unless matchCase.
int literalMatch(const Search& search, const LineText& line, int pos, int q) {
    const Byte* p = search.pattern + q;
    const Byte c = line.text[pos];
    if (c == 0 || p[0] == 0) return 0;
    const int textBytes = charBytes(line, pos);
    const int patternBytes = (isLeadByte(p[0]) && p[1] != 0) ? 2 : 1;
    if (textBytes != patternBytes) return 0;
    if (textBytes == 2) return (c == p[0] && line.text[pos + 1] == p[1]) ? 2 : 0;
    if (c == p[0]) return 1;
    return (!search.matchCase && upperOf(c) == upperOf(p[0])) ? 1 : 0;
}

struct MatchEnd {
    LineNode* line;
    int col;
};

// One attempt at (start, startCol). True on a match, whose end (exclusive) goes to *end.
bool attempt(Search& search, LineText line, int startCol, MatchEnd* end) {
    const Byte* const pattern = search.pattern;
    for (int row = 1; bracketPairs[row].collected != -1; ++row) bracketPairs[row].collected = 0;
    int q = 0;
    int pos = startCol;
    for (;;) {
        int letterRunStart = -1;  // an open \@ run: where it began on this line
        int bracketFrom = -1;     // an open bracket capture: its first byte on this line
        int openRow = 0;          // the bracket row whose capture is open
        bool lineStartTaken = false;  // the line-start rule skips one "\n" per line
        for (int row = 1; bracketPairs[row].collected != -1; ++row)
            if (bracketPairs[row].collected != 0) openRow = row;
        // ---- Matching on this line, one step at a time, until a step stops it ----
        for (;;) {
            const Byte* p = pattern + q;
            const Byte c = line.text[pos];
            // 1. Line-start rule.
            if (at(p, '\\', 'n') && pos == 0 && !lineStartTaken &&
                (line.node->prev == nullptr || (line.node->prev->flags & LN_HARD_RETURN))) {
                lineStartTaken = true;
                q += 2;
                continue;
            }
            // 2. Literal rule; not while a run or a bracket capture is open on the token
            // the pattern stands at (the text's bytes then belong to that token).
            if (letterRunStart < 0 && openRow == 0) {
                const int taken = literalMatch(search, line, pos, q);
                if (taken > 0) {
                    pos += taken;
                    q += (isLeadByte(p[0]) && p[1] != 0) ? 2 : 1;
                    continue;
                }
            }
            // 3. Single TAB and single digit.
            if ((at(p, '\\', 't') && c == '\t') || (at(p, '^', '#') && isDigitByte(c))) {
                ++pos;
                q += 2;
                continue;
            }
            // 4. Numbers.
            if ((at(p, '\\', '#') || at(p, '\\', 'N')) && isDigitByte(c)) {
                int length = 2;
                const int slot = p[1] == 'N' ? numberedToken(p, 20, &length) : 20;
                const int runEnd = numberRunEnd(line, pos);
                search.capture(slot, line.text + pos, runEnd - pos);
                pos = runEnd;
                q += length;
                continue;
            }
            // 5. Chinese numerals (with none here the token falls through and stops).
            if (at(p, '\\', '&') && isMarkerCharAt(line, pos, MARKER_CHINESE_NUMERALS)) {
                const int runEnd = markerRunEnd(line, pos, MARKER_CHINESE_NUMERALS);
                search.capture(9, line.text + pos, runEnd - pos);
                pos = runEnd;
                q += 2;
                continue;
            }
            // 6. Symbol runs, Chinese-character runs, variable names.
            {
                int length = 0, slot = -1, runEnd = pos;
                if (at(p, '\\', '*') || at(p, '\\', 'S')) {
                    slot = p[1] == 'S' ? numberedToken(p, 10, &length) : (length = 2, 10);
                    runEnd = symbolRunEnd(line, pos, search.shiftHeld);
                } else if (at(p, '\\', '!') || at(p, '\\', 'C')) {
                    slot = p[1] == 'C' ? numberedToken(p, 40, &length) : (length = 2, 40);
                    runEnd = chineseRunEnd(line, pos);
                } else if (at(p, '\\', ':') || at(p, '\\', 'M')) {
                    slot = p[1] == 'M' ? numberedToken(p, 30, &length) : (length = 2, 30);
                    runEnd = variableNameEnd(line, pos);
                }
                if (slot >= 0) {
                    if (runEnd == pos) break;
                    search.capture(slot, line.text + pos, runEnd - pos);
                    pos = runEnd;
                    q += length;
                    continue;
                }
            }
            // 7. The rest of the line.
            if (at(p, '\\', '~')) {
                search.capture(5, line.text + pos, line.length - pos);
                pos = line.length;
                q += 2;
                break;
            }
            // 8. Any one character (nothing at the line end).
            if (at(p, '\\', '?')) {
                if (c != 0) pos += charBytes(line, pos);
                q += 2;
                continue;
            }
            // 9. Roman numerals: upper case, else lower case.
            if (at(p, '\\', '%')) {
                int runEnd = markerRunEnd(line, pos, MARKER_ROMAN_UPPER);
                if (runEnd == pos) runEnd = markerRunEnd(line, pos, MARKER_ROMAN_LOWER);
                if (runEnd == pos) break;
                search.capture(0, line.text + pos, runEnd - pos);
                pos = runEnd;
                q += 2;
                continue;
            }
            // 10. Bracket captures.
            if (const int row = bracketRowAt(p)) {
                BracketPair& pair = bracketPairs[row];
                const Byte closing = static_cast<Byte>(pair.closing);
                if (pair.collected != 0 || c == static_cast<Byte>(pair.opening) || c == closing) {
                    if (c == closing) {
                        if (bracketFrom >= 0) search.capture(row, line.text + bracketFrom, pos - bracketFrom, pair.closing);
                        ++pos;
                        if (pair.collected != 0) q += 3;
                        pair.collected = 0;
                        openRow = 0;
                        bracketFrom = -1;
                        break;
                    }
                    if (c == 0) break;
                    if (bracketFrom < 0) bracketFrom = pos;
                    ++pair.collected;
                    openRow = row;
                    pos += charBytes(line, pos);
                    continue;
                }
            }
            // 11. Letters, punctuation and white space.
            if (at(p, '^', '@') && isLetterByte(c)) {
                ++pos;
                q += 2;
                continue;
            }
            if (at(p, '\\', '@') && isLetterByte(c)) {
                if (letterRunStart < 0) letterRunStart = pos;
                ++pos;
                continue;
            }
            if ((at(p, '^', 'A') && isUpperByte(c)) || (at(p, '^', 'a') && isLowerByte(c)) ||
                (at(p, '^', '$') && isSpaceByte(c))) {
                ++pos;
                q += 2;
                continue;
            }
            if (at(p, '\\', 'A') || at(p, '\\', 'a')) {
                const bool upper = p[1] == 'A';
                const int runEnd = byteRunEnd(line, pos, upper ? isUpperByte : isLowerByte);
                if (runEnd == pos) break;
                search.capture(upper ? 7 : 8, line.text + pos, runEnd - pos);
                pos = runEnd;
                q += 2;
                continue;
            }
            if (at(p, '\\', ';')) {
                const int runEnd = byteRunEnd(line, pos, isHalfWidthPunctuation);
                if (runEnd == pos) break;
                pos = runEnd;
                q += 2;
                continue;
            }
            if (at(p, '\\', '$') && isSpaceByte(c)) {
                pos = byteRunEnd(line, pos, isSpaceByte);
                q += 2;
                continue;
            }
            // 12. The end of a \@ run.
            if (letterRunStart >= 0) {
                search.capture(6, line.text + letterRunStart, pos - letterRunStart);
                letterRunStart = -1;
                q += 2;
                continue;
            }
            // 13. Nothing applies.
            break;
        }
        // ---- Matching on this line has stopped ----
        if (openRow != 0 && bracketFrom >= 0)
            search.capture(openRow, line.text + bracketFrom, pos - bracketFrom, bracketPairs[openRow].closing);
        if (pattern[q] == 0) {
            *end = MatchEnd{line.node, pos};
            return true;
        }
        if (pos != line.length) return false;
        if (line.node->flags & LN_HARD_RETURN) {
            if (at(pattern + q, '\\', 'n'))
                q += 2;
            else if (openRow == 0)
                return false;
        }
        if (line.node->next == nullptr) {
            if (openRow != 0) bracketPairs[openRow].collected = 0;
            return false;
        }
        line = lineText(line.node->next);
        pos = 0;
    }
}

// True when `pos` is a character boundary, given that `from` <= pos is one. Only the
// bytes back to the nearest one that cannot begin a double-byte character are read: the
// byte after such a byte is always a boundary, and from there on the bytes pair up.
bool isBoundaryAfter(const Byte* text, int from, int pos) {
    int j = pos - 1;
    while (j >= from && isLeadByte(text[j])) --j;
    return (pos - (j + 1)) % 2 == 0;
}

// The first literal character of the pattern, when the pattern starts with one: every
// match then starts with that character, so the scan may jump from candidate to candidate.
struct FirstCharacter {
    int size = 0;  // 0: the pattern starts with a token
    Byte bytes[2] = {0, 0};
    Byte otherCase = 0;  // the letter's other case when case is ignored, else 0
};

FirstCharacter firstCharacterOf(const Byte* pattern, bool matchCase) {
    FirstCharacter first;
    const Byte c = pattern[0];
    if (c == 0 || c == '\\' || c == '^') return first;
    first.bytes[0] = c;
    first.size = 1;
    if (isLeadByte(c) && pattern[1] != 0) {
        first.bytes[1] = pattern[1];
        first.size = 2;
    } else if (!matchCase && isLetterByte(c)) {
        first.otherCase = isUpperByte(c) ? static_cast<Byte>(c - 'A' + 'a') : static_cast<Byte>(c - 'a' + 'A');
    }
    return first;
}

// The next column at or after `pos` where the first character's first byte stands (not
// yet known to be a boundary), or the line's length.
int nextCandidate(const LineText& line, int pos, const FirstCharacter& first) {
    const void* hit = std::memchr(line.text + pos, first.bytes[0], static_cast<size_t>(line.length - pos));
    int found = hit ? static_cast<int>(static_cast<const Byte*>(hit) - line.text) : line.length;
    if (first.otherCase != 0) {
        const void* other = std::memchr(line.text + pos, first.otherCase, static_cast<size_t>(found - pos));
        if (other) found = static_cast<int>(static_cast<const Byte*>(other) - line.text);
    }
    return found;
}

// Writes the captures noted during the search into the slots.
void storePendingCaptures(const Search& search) {
    for (int slot = 0; slot < CAPTURE_SLOT_COUNT; ++slot) {
        const PendingCapture& pending = search.pending[slot];
        if (!pending.set) continue;
        storeCapture(slot, reinterpret_cast<const char*>(pending.bytes), pending.size);
        if (pending.closing != '\0') CaptureSlots[slot].text.push_back(pending.closing);
    }
}

bool lastMatchEmpty = false;

void reportMatch(LineNode* startLine, int startCol, const MatchEnd& end) {
    findState.matchStartLine = startLine;
    findState.matchStartCol = startCol;
    lastMatchEmpty = end.line == startLine && end.col == startCol;
    if (lastMatchEmpty) {
        doc.anchorLine = startLine;  // a match of no bytes (a line start): the anchor is its start
        doc.anchorCol = startCol;
    } else if (end.col > 0) {
        doc.anchorLine = end.line;
        doc.anchorCol = end.col - 1;
    } else {
        // The match ends with the line break before end.line: the anchor goes onto that
        // break (the end column of the line before), so selecting the match takes in no
        // byte of the following line.
        doc.anchorLine = end.line->prev;
        doc.anchorCol = static_cast<int>(std::strlen(end.line->prev->text));
    }
    findState.found = 1;
}

}  // namespace

void wildcardFind(bool matchCase) {
    if (doc.caretLine == nullptr) return;
    const char* patternText = findState.findTextPointer ? findState.findTextPointer : findState.findText;
    if (patternText[0] == '\0') return;
    Search search;
    search.pattern = reinterpret_cast<const Byte*>(patternText);
    search.matchCase = matchCase;
    search.shiftHeld = isShiftHeldForSearch();
    const FirstCharacter first = firstCharacterOf(search.pattern, matchCase);

    LineNode* node = doc.caretLine;
    LineText line = lineText(node);
    int pos = doc.caretCol < 0 ? 0 : (doc.caretCol > line.length ? line.length : doc.caretCol);
    if (pos > 0 && !isBoundaryAfter(line.text, 0, pos)) ++pos;  // never start on a second byte
    for (;;) {
        // `pos` is a character boundary of `line` throughout.
        while (pos < line.length) {
            if (first.size > 0) {
                const int candidate = nextCandidate(line, pos, first);
                if (candidate >= line.length) break;
                if (!isBoundaryAfter(line.text, pos, candidate)) {
                    pos = candidate + 1;  // a second byte: the next column is a boundary
                    continue;
                }
                pos = candidate;
                if (first.size == 2 && line.text[pos + 1] != first.bytes[1]) {
                    pos += charBytes(line, pos);
                    continue;
                }
            }
            MatchEnd end{nullptr, 0};
            if (attempt(search, line, pos, &end)) {
                storePendingCaptures(search);
                reportMatch(line.node, pos, end);
                return;
            }
            pos += charBytes(line, pos);
        }
        if (line.node->next == nullptr) break;
        line = lineText(line.node->next);
        pos = 0;
    }
    storePendingCaptures(search);
}

bool wildcardMatchWasEmpty() { return lastMatchEmpty; }
