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
struct BracketPair {
    Byte opening;
    Byte closing;
};
constexpr BracketPair bracketPairs[] = {{0, 0}, {'<', '>'}, {'(', ')'}, {'[', ']'}, {'{', '}'}};
constexpr int BRACKET_ROWS = 4;

// ---- Character classes (on single bytes, "C" locale) ----
bool isDigitByte(Byte c) { return c >= '0' && c <= '9'; }
bool isUpperByte(Byte c) { return c >= 'A' && c <= 'Z'; }
bool isLowerByte(Byte c) { return c >= 'a' && c <= 'z'; }
bool isLetterByte(Byte c) { return isUpperByte(c) || isLowerByte(c); }
bool isSpaceByte(Byte c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
// Half-width punctuation: printable ASCII that is neither a digit nor a letter.
bool isHalfWidthPunctuation(Byte c) { return c >= 0x21 && c <= 0x7E && !isDigitByte(c) && !isLetterByte(c); }
Byte upperOf(Byte c) { return isLowerByte(c) ? static_cast<Byte>(c - 'a' + 'A') : c; }

// One line as an attempt reads it. `ordinal` counts the lines from the search's start
// line, so places on different lines compare in document order.
struct LineText {
    LineNode* node;
    const Byte* text;
    int length;
    int ordinal;
};

// A place in the searched text as one number that grows along the document.
long long placeKey(int ordinal, int col) { return (static_cast<long long>(ordinal) << 32) | col; }

// Bytes of the character at `pos` (a boundary below the end): 2 for a first byte with a
// second byte after it, else 1.
int charBytes(const LineText& line, int pos) {
    return charLength(reinterpret_cast<const char*>(line.text), pos);
}

bool isTwoByteAt(const LineText& line, int pos) { return pos < line.length && charBytes(line, pos) == 2; }

bool isMarkerCharAt(const LineText& line, int pos, int entry) {
    return isTwoByteAt(line, pos) && isMarkerChar(entry, reinterpret_cast<const char*>(line.text + pos));
}

// True when `pos` is a character boundary, given that `from` <= pos is one. Only the
// bytes back to the nearest one that cannot begin a double-byte character are read: the
// byte after such a byte is always a boundary, and from there on the bytes pair up.
bool isBoundaryAfter(const Byte* text, int from, int pos) {
    int j = pos - 1;
    while (j >= from && isLeadByte(text[j])) --j;
    return (pos - (j + 1)) % 2 == 0;
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

// The classes of the run tokens.
enum class Run { Number, ChineseNumerals, RomanNumerals, Symbols, ChineseCharacters, VariableName,
                 Letters, Upper, Lower, Punctuation, Space };

int runEnd(Run run, const LineText& line, int pos, bool shiftHeld) {
    switch (run) {
        case Run::Number: return isDigitByte(line.text[pos]) ? numberRunEnd(line, pos) : pos;
        case Run::ChineseNumerals: return markerRunEnd(line, pos, MARKER_CHINESE_NUMERALS);
        case Run::RomanNumerals: {
            const int upper = markerRunEnd(line, pos, MARKER_ROMAN_UPPER);
            return upper != pos ? upper : markerRunEnd(line, pos, MARKER_ROMAN_LOWER);
        }
        case Run::Symbols: return symbolRunEnd(line, pos, shiftHeld);
        case Run::ChineseCharacters: return chineseRunEnd(line, pos);
        case Run::VariableName: return variableNameEnd(line, pos);
        case Run::Letters: return byteRunEnd(line, pos, isLetterByte);
        case Run::Upper: return byteRunEnd(line, pos, isUpperByte);
        case Run::Lower: return byteRunEnd(line, pos, isLowerByte);
        case Run::Punctuation: return byteRunEnd(line, pos, isHalfWidthPunctuation);
        case Run::Space: return byteRunEnd(line, pos, isSpaceByte);
    }
    return pos;
}

// True when a run of `run` taken from a character inside a longer run of the class ends
// where that run ends. Every character of a run qualifies, except that a number starts
// only at a digit (not at its ".") and a variable name only at a letter or "_".
bool continuesRun(Run run, Byte c) {
    if (run == Run::Number) return isDigitByte(c);
    if (run == Run::VariableName) return isLetterByte(c) || c == '_';
    return true;
}

// ---- What one search remembers (the text does not change while it runs) ----

// A capture noted during the search: the bytes stay in the line, so noting is cheap and
// the slots are written once, when the search ends.
struct PendingCapture {
    const Byte* bytes = nullptr;
    int size = 0;
    Byte closing = 0;  // bracket captures end with their closing byte
    bool set = false;
};

// The last non-empty run a token took: [from, end) on `line`.
struct KnownRun {
    const LineNode* line = nullptr;
    int from = 0;
    int end = 0;
};

// Where a bracket capture opened at a place ends: the closing byte (line.node null when
// none follows before the end of the document), and the last line with text before that
// line, whose part the capture holds when the closing byte begins its line.
struct BracketEnd {
    LineText line{};
    int col = 0;
    LineText lastFilled{};
};

// The end of the capture opened at (fromOrdinal, fromCol); it is also the end of one
// opened at any place from there up to that end, since no closing byte stands between.
struct KnownBracket {
    bool known = false;
    int fromOrdinal = 0;
    int fromCol = 0;
    BracketEnd end;
};

// A line an attempt entered: its length and, when it begins a run of empty lines without
// a hard return, the line after that run (null at the end of the document).
struct KnownLine {
    const LineNode* node = nullptr;
    int length = 0;
    bool emptyRunKnown = false;
    LineNode* afterEmptyRun = nullptr;
    int emptyRunLines = 0;
};
constexpr int KNOWN_LINES = 256;  // entered lines, by ordinal modulo this

// The run the first token of the last attempt took, from the attempt's start to `end`.
struct FirstRun {
    Run run = Run::Number;
    int slot = -1;
    int end = -1;  // -1: the attempt did not begin with a run
};

struct Search {
    const Byte* pattern;
    size_t patternLength;
    bool matchCase;
    bool shiftHeld;  // letters join the \S symbol runs
    PendingCapture pending[CAPTURE_SLOT_COUNT];
    // Indexed by the token's offset in the pattern: each token's places advance with the
    // start positions, so one remembered run or capture end per token is met again. These
    // tables and that of the lines are made when first needed: most searches end on a
    // literal match near the caret and need none of them.
    std::vector<KnownRun> knownRuns;
    std::vector<KnownBracket> knownBrackets;
    std::vector<KnownLine> knownLines;
    FirstRun firstRun;

    Search(const char* patternText, bool matchCaseOn)
        : pattern(reinterpret_cast<const Byte*>(patternText)), patternLength(std::strlen(patternText)),
          matchCase(matchCaseOn), shiftHeld(isShiftHeldForSearch()) {}

    void capture(int slot, const Byte* bytes, int size, Byte closing = 0) {
        pending[slot] = PendingCapture{bytes, size, closing, true};
    }
};

// `node`, the line `ordinal` lines after the search's start line, with its length counted
// once per search.
LineText knownLine(Search& search, LineNode* node, int ordinal) {
    if (search.knownLines.empty()) search.knownLines.resize(KNOWN_LINES);
    KnownLine& known = search.knownLines[ordinal % KNOWN_LINES];
    if (known.node != node) known = KnownLine{node, static_cast<int>(std::strlen(node->text))};
    return LineText{node, reinterpret_cast<const Byte*>(node->text), known.length, ordinal};
}

// The line after `line`, which has one, as an attempt enters it.
LineText nextLine(Search& search, const LineText& line) { return knownLine(search, line.node->next, line.ordinal + 1); }

// `node` with its length counted now, for the scan, which enters each line once.
LineText lineText(LineNode* node, int ordinal) {
    const int length = static_cast<int>(std::strlen(node->text));
    return LineText{node, reinterpret_cast<const Byte*>(node->text), length, ordinal};
}

// The line after the run of empty lines without a hard return that `line` begins, or a
// line with a null node when the run reaches the end of the document.
LineText afterEmptyLines(Search& search, const LineText& line) {
    knownLine(search, line.node, line.ordinal);  // its entry is the one read below
    KnownLine& known = search.knownLines[line.ordinal % KNOWN_LINES];
    if (!known.emptyRunKnown) {
        LineNode* node = line.node;
        int count = 0;
        for (; node != nullptr && node->text[0] == '\0' && !(node->flags & LN_HARD_RETURN); node = node->next) ++count;
        known.emptyRunKnown = true;
        known.afterEmptyRun = node;
        known.emptyRunLines = count;
    }
    LineNode* after = known.afterEmptyRun;
    const int ordinal = line.ordinal + known.emptyRunLines;
    return after != nullptr ? knownLine(search, after, ordinal) : LineText{};
}

// ---- The pattern ----

bool tokenIs(const Byte* p, char a, char b) { return p[0] == static_cast<Byte>(a) && p[1] == static_cast<Byte>(b); }

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
    for (int row = 1; row <= BRACKET_ROWS; ++row)
        if (p[1] == bracketPairs[row].opening && p[2] == bracketPairs[row].closing) return row;
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

// ---- One attempt ----

// Where an attempt stands: its line, the column on it and the offset in the pattern.
struct Cursor {
    LineText line;
    int pos;
    int q;
};

// What a step did: took text or a token and matching goes on; stopped matching on this
// line (the line rules decide); or failed the attempt outright.
enum class Outcome { Took, Stopped, Failed };

Outcome take(Cursor& at, int bytes, int patternBytes) {
    at.pos += bytes;
    at.q += patternBytes;
    return Outcome::Took;
}

// The end of the run of `run` from the cursor. Inside the run the token took last, that
// run's end is the answer, so a long run is read once however many starts reach into it.
int knownRunEnd(Search& search, const Cursor& at, Run run) {
    if (search.knownRuns.empty()) search.knownRuns.resize(search.patternLength);
    KnownRun& known = search.knownRuns[at.q];
    if (known.line == at.line.node && known.from <= at.pos && at.pos < known.end &&
        continuesRun(run, at.line.text[at.pos]))
        return known.end;
    const int end = runEnd(run, at.line, at.pos, search.shiftHeld);
    if (end > at.pos) known = KnownRun{at.line.node, at.pos, end};
    return end;
}

// A run token: takes the longest run of its class and stores it; with none here matching
// stops on this line.
Outcome runStep(Search& search, Cursor& at, Run run, int slot, int length) {
    const int end = knownRunEnd(search, at, run);
    if (end == at.pos) return Outcome::Stopped;
    if (slot >= 0) search.capture(slot, at.line.text + at.pos, end - at.pos);
    if (at.q == 0) search.firstRun = FirstRun{run, slot, end};
    return take(at, end - at.pos, length);
}

// The first closing byte at a character boundary in [pos, limit) of `line`, or `limit`.
int closingOnLine(const LineText& line, int pos, int limit, Byte closing) {
    while (pos < limit) {
        const void* hit = std::memchr(line.text + pos, closing, static_cast<size_t>(limit - pos));
        if (hit == nullptr) return limit;
        const int col = static_cast<int>(static_cast<const Byte*>(hit) - line.text);
        if (isBoundaryAfter(line.text, pos, col)) return col;
        pos = col + 1;  // a second byte: the byte after it begins a character
    }
    return limit;
}

// Reads from an opening bracket at (line, pos) to the first closing byte, across line
// breaks of either kind. On reaching the place where the remembered capture opened, its
// end is the answer, so a run of opening brackets with no closing one is read once.
BracketEnd scanToClosing(Search& search, const KnownBracket& known, Byte closing, LineText line, int pos) {
    LineText lastFilled{};
    for (;;) {
        const bool reachesKnown = known.known && known.fromOrdinal == line.ordinal && known.fromCol >= pos;
        const int limit = reachesKnown ? known.fromCol : line.length;
        const int col = closingOnLine(line, pos, limit, closing);
        if (col < limit) return BracketEnd{line, col, lastFilled};
        if (reachesKnown) return known.end;
        if (line.length > 0) lastFilled = line;
        if (line.node->next == nullptr) return BracketEnd{LineText{}, 0, lastFilled};
        line = nextLine(search, line);
        pos = 0;
    }
}

bool isSameEnd(const BracketEnd& a, const BracketEnd& b) { return a.line.node == b.line.node && a.col == b.col; }

// The end of the capture of the bracket token at the cursor, opened at the cursor.
BracketEnd bracketEnd(Search& search, const Cursor& at, Byte closing) {
    if (search.knownBrackets.empty()) search.knownBrackets.resize(search.patternLength);
    KnownBracket& known = search.knownBrackets[at.q];
    const long long from = placeKey(at.line.ordinal, at.pos);
    const bool inside = known.known && placeKey(known.fromOrdinal, known.fromCol) <= from &&
                        (known.end.line.node == nullptr || from <= placeKey(known.end.line.ordinal, known.end.col));
    if (!inside) {
        // A scan from before the remembered place that reaches it extends what is known.
        const BracketEnd end = scanToClosing(search, known, closing, at.line, at.pos);
        if (!known.known || !isSameEnd(end, known.end)) known.end = end;
        known.known = true;
        known.fromOrdinal = at.line.ordinal;
        known.fromCol = at.pos;
    }
    return known.end;
}

// A bracket token. A closing byte before any opening one is consumed and stops matching
// with the token unconsumed. From an opening byte the capture takes everything up to the
// first closing byte, across lines; its slot holds the part on the last line that has
// one, plus the closing byte. Matching then stops on the closing byte's line; with no
// closing byte before the end of the document the attempt fails.
Outcome bracketStep(Search& search, Cursor& at, int row) {
    const BracketPair& pair = bracketPairs[row];
    const Byte c = at.line.text[at.pos];
    if (c == pair.closing) {
        ++at.pos;
        return Outcome::Stopped;
    }
    if (c != pair.opening) return Outcome::Stopped;
    const BracketEnd end = bracketEnd(search, at, pair.closing);
    if (end.line.node != nullptr && end.line.ordinal == at.line.ordinal) {
        search.capture(row, at.line.text + at.pos, end.col - at.pos, pair.closing);
    } else if (end.line.node != nullptr && end.col > 0) {
        search.capture(row, end.line.text, end.col, pair.closing);
    } else if (end.lastFilled.ordinal == at.line.ordinal) {
        search.capture(row, at.line.text + at.pos, at.line.length - at.pos, pair.closing);
    } else {
        search.capture(row, end.lastFilled.text, end.lastFilled.length, pair.closing);
    }
    if (end.line.node == nullptr) return Outcome::Failed;
    at.line = end.line;
    at.pos = end.col + 1;
    at.q += 3;
    return Outcome::Stopped;
}

// The tokens that begin with a caret: one byte of their class.
Outcome caretStep(Cursor& at, Byte token) {
    const Byte c = at.line.text[at.pos];
    bool matches = false;
    switch (token) {
        case '#': matches = isDigitByte(c); break;
        case '@': matches = isLetterByte(c); break;
        case 'A': matches = isUpperByte(c); break;
        case 'a': matches = isLowerByte(c); break;
        case '$': matches = isSpaceByte(c); break;
        default: break;
    }
    return matches ? take(at, 1, 2) : Outcome::Stopped;
}

// The tokens that begin with a backslash. A "\n" away from a line start, and a backslash
// before anything else, stop matching here.
Outcome backslashStep(Search& search, Cursor& at) {
    const Byte* p = search.pattern + at.q;
    int length = 2;  // the numbered tokens "\N5", "\S5", "\C5" and "\M5" take three bytes
    switch (p[1]) {
        case 't': return at.line.text[at.pos] == '\t' ? take(at, 1, 2) : Outcome::Stopped;
        case '#': return runStep(search, at, Run::Number, 20, length);
        case '*': return runStep(search, at, Run::Symbols, 10, length);
        case '!': return runStep(search, at, Run::ChineseCharacters, 40, length);
        case ':': return runStep(search, at, Run::VariableName, 30, length);
        case '&': return runStep(search, at, Run::ChineseNumerals, 9, length);
        case '%': return runStep(search, at, Run::RomanNumerals, 0, length);
        case '@': return runStep(search, at, Run::Letters, 6, length);
        case 'A': return runStep(search, at, Run::Upper, 7, length);
        case 'a': return runStep(search, at, Run::Lower, 8, length);
        case ';': return runStep(search, at, Run::Punctuation, -1, length);
        case '$': return runStep(search, at, Run::Space, -1, length);
        case 'N': {
            const int slot = numberedToken(p, 20, &length);
            return runStep(search, at, Run::Number, slot, length);
        }
        case 'S': {
            const int slot = numberedToken(p, 10, &length);
            return runStep(search, at, Run::Symbols, slot, length);
        }
        case 'C': {
            const int slot = numberedToken(p, 40, &length);
            return runStep(search, at, Run::ChineseCharacters, slot, length);
        }
        case 'M': {
            const int slot = numberedToken(p, 30, &length);
            return runStep(search, at, Run::VariableName, slot, length);
        }
        case '~':  // the rest of the line; matching on the line ends with it
            search.capture(5, at.line.text + at.pos, at.line.length - at.pos);
            take(at, at.line.length - at.pos, length);
            return Outcome::Stopped;
        case '?':  // one character, or nothing at the end of the line
            return take(at, at.line.text[at.pos] != 0 ? charBytes(at.line, at.pos) : 0, length);
        default: {
            const int row = bracketRowAt(p);
            return row != 0 ? bracketStep(search, at, row) : Outcome::Stopped;
        }
    }
}

// Matches on the cursor's line, one step at a time, until a step stops it.
Outcome matchOnLine(Search& search, Cursor& at) {
    bool lineStartTaken = false;  // the line-start rule skips one "\n" per line
    for (;;) {
        const Byte* p = search.pattern + at.q;
        const LineNode* previous = at.line.node->prev;
        if (tokenIs(p, '\\', 'n') && at.pos == 0 && !lineStartTaken &&
            (previous == nullptr || (previous->flags & LN_HARD_RETURN))) {
            lineStartTaken = true;
            at.q += 2;
            continue;
        }
        // The literal rule comes before the tokens: a backslash or caret in the text is
        // matched by the one that begins a token in the pattern.
        if (const int taken = literalMatch(search, at.line, at.pos, at.q)) {
            take(at, taken, (isLeadByte(p[0]) && p[1] != 0) ? 2 : 1);
            continue;
        }
        const Outcome outcome = p[0] == '\\' ? backslashStep(search, at)
                              : p[0] == '^'  ? caretStep(at, p[1])
                                             : Outcome::Stopped;
        if (outcome != Outcome::Took) return outcome;
    }
}

// True when the pattern at `p` acts on an empty line entered after a soft return: it is
// exhausted (a match), or it is "\?" or "\~". Any other token stops there (the line-start
// rule needs a hard return before the line), so the attempt only crosses such lines.
bool actsOnEmptyLine(const Byte* p) { return p[0] == 0 || tokenIs(p, '\\', '?') || tokenIs(p, '\\', '~'); }

// Moves the cursor to the start of the next line; after a soft return, past the empty
// lines without a hard return that the pattern would only cross. False at the end of the
// document.
bool enterNextLine(Search& search, Cursor& at, bool afterHardReturn) {
    if (at.line.node->next == nullptr) return false;
    at.line = nextLine(search, at.line);
    at.pos = 0;
    if (afterHardReturn || at.line.length > 0 || (at.line.node->flags & LN_HARD_RETURN) ||
        actsOnEmptyLine(search.pattern + at.q))
        return true;
    at.line = afterEmptyLines(search, at.line);
    return at.line.node != nullptr;
}

struct MatchEnd {
    LineNode* line;
    int col;
};

// One attempt at (line, startCol). True on a match, whose end (exclusive) goes to *end.
bool attempt(Search& search, const LineText& line, int startCol, MatchEnd* end) {
    search.firstRun = FirstRun{};
    Cursor at{line, startCol, 0};
    for (;;) {
        if (matchOnLine(search, at) == Outcome::Failed) return false;
        // ---- Matching on this line has stopped ----
        if (search.pattern[at.q] == 0) {
            *end = MatchEnd{at.line.node, at.pos};
            return true;
        }
        if (at.pos != at.line.length) return false;
        const bool hardReturn = (at.line.node->flags & LN_HARD_RETURN) != 0;
        if (hardReturn) {
            if (!tokenIs(search.pattern + at.q, '\\', 'n')) return false;
            at.q += 2;
        }
        if (!enterNextLine(search, at, hardReturn)) return false;
    }
}

// After a failed attempt at `start` that began with a run token taking [start, end): an
// attempt at any later character of the run takes the same token (the literal rule,
// which comes first, matches only a backslash), which ends at the same column, so it goes
// on exactly as this one did and fails too. Only its capture of the first run differs;
// the last of them is the one that would remain, and it replaces this attempt's unless
// the rest of the attempt stored into that slot again. Returns the next start to try:
// the run's end, or a backslash inside the run.
int skipInsideFirstRun(Search& search, const LineText& line, int start) {
    const FirstRun& run = search.firstRun;
    int last = start;
    int pos = start + charBytes(line, start);
    for (; pos < run.end && line.text[pos] != '\\'; pos += charBytes(line, pos))
        if (continuesRun(run.run, line.text[pos])) last = pos;
    if (run.slot >= 0 && last != start) {
        PendingCapture& pending = search.pending[run.slot];
        // Every later capture of the attempt lies at or after the run's end, so a slot
        // still pointing at the start holds the first run.
        if (pending.bytes == line.text + start) search.capture(run.slot, line.text + last, run.end - last);
    }
    return pos;
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
        if (pending.closing != 0) CaptureSlots[slot].text.push_back(static_cast<char>(pending.closing));
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

// Every start is tried in turn, but what one attempt read is not read again by the next:
// each token remembers the run it took last and the end of the bracket capture it opened
// last, the lines attempts run on into have their lengths counted once, and the starts
// inside a first run that failed are skipped. A search therefore costs time in proportion to the text it passes, not to the
// text times the length of a run or capture.
void wildcardFind(bool matchCase) {
    if (doc.caretLine == nullptr) return;
    const char* patternText = findState.findTextPointer ? findState.findTextPointer : findState.findText;
    if (patternText[0] == '\0') return;
    Search search(patternText, matchCase);
    const FirstCharacter first = firstCharacterOf(search.pattern, matchCase);

    LineText line = lineText(doc.caretLine, 0);
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
            pos = search.firstRun.end > pos ? skipInsideFirstRun(search, line, pos) : pos + charBytes(line, pos);
        }
        if (line.node->next == nullptr) break;
        line = lineText(line.node->next, line.ordinal + 1);
        pos = 0;
    }
    storePendingCaptures(search);
}

bool wildcardAttemptAt(LineNode* line, int col, bool matchCase) {
    const char* patternText = findState.findTextPointer ? findState.findTextPointer : findState.findText;
    if (patternText[0] == '\0') return false;
    Search search(patternText, matchCase);
    MatchEnd end{nullptr, 0};
    const bool matched = attempt(search, lineText(line, 0), col, &end);
    storePendingCaptures(search);
    if (matched) reportMatch(line, col, end);
    return matched;
}

bool wildcardMatchWasEmpty() { return lastMatchEmpty; }
