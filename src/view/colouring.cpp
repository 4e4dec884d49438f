#include "view/colouring.h"

#include <cstring>

#include "document/document.h"

#include "document/gbk.h"
#include "document/text_length.h"
#include "view/colour_tables.h"
#include "view/comment_memo.h"
#include "view/palette.h"
#include "view/view_state.h"

ColouringState colouring;

namespace {

constexpr int MAX_WORD_LENGTH = 65;

bool isAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool startsWord(unsigned char c) { return isAsciiLetter(c) || c == '_' || c == '#'; }
bool continuesWord(unsigned char c) { return startsWord(c) || isAsciiDigit(c); }

unsigned char byteAt(const char* text, int pos) { return static_cast<unsigned char>(text[pos]); }

// Inside a string a backslash escapes the character after it, so "a\\" ends at its last
// quote while "a\"b" goes on. Only single-byte backslashes count: the second byte of a
// character may be 0x5C.
struct EscapeTracker {
    bool pending = false;
    // True when the character at `pos` (a boundary) is escaped; then notes it.
    bool escapes(const char* text, int pos) {
        const bool escaped = pending;
        pending = !escaped && text[pos] == '\\' && charLength(text, pos) == 1;
        return escaped;
    }
};

// The '/' at `pos` closes a block comment, unless its '*' is the one that opened it ("/*/").
bool closesComment(const char* text, int pos, int openingStar) {
    return pos > 0 && text[pos] == '/' && text[pos - 1] == '*' && pos - 1 != openingStar;
}

// True for the first byte of a Chinese character: the ideographs of GB2312 (first byte
// 0xB0 or higher) and of the extension whose first bytes are 0x81-0xA0 (學, 們, 對).
bool beginsChineseCharacter(unsigned char lead) { return isLeadByte(lead) && (lead >= 0xB0 || lead <= 0xA0); }

// A Chinese marker such as 一是 directly after a Chinese character is part of a phrase,
// not a marker. `previous` is the start of the character before `pos` (-1: none).
bool followsChineseCharacter(const char* text, int pos, int previous) {
    return previous >= 0 && pos - previous == 2 && beginsChineseCharacter(byteAt(text, previous));
}

// The entries of TokenTable by their first byte, each list in table order.
using TokensByFirstByte = std::vector<const ColourToken*>[256];
const TokensByFirstByte& tokensByFirstByte() {
    static TokensByFirstByte lists;
    static const bool built = [] {
        for (const ColourToken& token : TokenTable) lists[static_cast<unsigned char>(token.text[0])].push_back(&token);
        return true;
    }();
    (void)built;
    return lists;
}

// The first entry of TokenTable that stands at `pos`, or null.
const ColourToken* tokenAt(const char* text, int pos, int previous, int length) {
    for (const ColourToken* token : tokensByFirstByte()[byteAt(text, pos)]) {
        if (pos + token->length > length) continue;
        if (std::memcmp(text + pos, token->text, static_cast<size_t>(token->length)) != 0) continue;
        if (isLeadByte(token->text[0]) && followsChineseCharacter(text, pos, previous)) continue;
        return token;
    }
    return nullptr;
}

// The part of a line's colour map being filled: bytes [first, last) land at map[i - first];
// colours outside it are worked out but not kept (a span of a long line).
struct MapWindow {
    ColourMap* map;
    int first, last;
};

void fill(MapWindow& window, int from, int to, int colour) {
    if (window.map == nullptr) return;
    if (from < window.first) from = window.first;
    if (to > window.last) to = window.last;
    for (int i = from; i < to; ++i) (*window.map)[static_cast<size_t>(i - window.first)] = static_cast<unsigned char>(colour);
}

// Colours the word at `pos` and returns the position after it.
int colourWord(const char* text, int pos, int length, MapWindow& map) {
    int end = pos + 1;
    while (end < length && end - pos < MAX_WORD_LENGTH && continuesWord(byteAt(text, end))) ++end;
    const int keyword = keywordColour(text + pos, end - pos);
    fill(map, pos, end, keyword >= 0 ? keyword : COLOUR_IDENTIFIER);
    return end;
}

// True when the character before `pos` (starting at `previous`, -1: none) is the
// single byte `c`; a second byte that looks like `c` is not.
bool singleBefore(const char* text, int pos, int previous, char c) {
    return previous >= 0 && pos - previous == 1 && text[previous] == c;
}

// Where a walk over a line's source text stands between two characters: everything the
// next step depends on besides the text after `pos`.
struct SourceScan {
    int pos = 0;
    int previous = -1;  // start of the character before `pos`
    int openingStar = -1;
    bool escapePending = false;
    int commentDepth = 0;
    int inString = 0;
    bool restIsComment = false;  // a "//" was met: the scan is over
};

// Colours the source text of one line from `scan` on, until the scan passes `until` or
// the line ends. The walk goes from character to character, so both bytes of a
// character take one colour. `onStep` is called at every position the walk stands on.
template <typename OnStep>
void colourSource(const char* text, int length, SourceScan& scan, int until, MapWindow& map, OnStep onStep) {
    EscapeTracker escape;
    escape.pending = scan.escapePending;
    int pos = scan.pos, previous = scan.previous, openingStar = scan.openingStar;
    int depth = scan.commentDepth, inString = scan.inString;
    while (pos < length && pos < until) {
        const unsigned char c = byteAt(text, pos);
        const int start = pos;
        const int width = charLength(text, pos);
        if (depth) {
            fill(map, pos, pos + width, COLOUR_COMMENT);
            if (width == 1 && closesComment(text, pos, openingStar) && singleBefore(text, pos, previous, '*'))
                depth = 0;
            pos += width;
        } else if (inString) {
            fill(map, pos, pos + width, COLOUR_STRING);
            if (!escape.escapes(text, pos) && c == '"') inString = 0;
            pos += width;
        } else if (startsWord(c) && !(previous >= 0 && pos - previous == 1 && isAsciiLetter(byteAt(text, previous)))) {
            pos = colourWord(text, pos, length, map);
        } else if (const ColourToken* token = tokenAt(text, pos, previous, length)) {
            fill(map, pos, pos + token->length, token->colour);
            if (token == &TokenTable[0]) {  // "//": the rest of the line is a comment
                fill(map, pos, length, COLOUR_COMMENT);
                scan = SourceScan{length, previous, openingStar, escape.pending, depth, inString, true};
                return;
            }
            if (token == &TokenTable[1]) {  // "/*"
                depth = 1;
                openingStar = pos + 1;
            } else if (c == '"' && !singleBefore(text, pos, previous, '\\')) {
                inString = 1;
                escape = EscapeTracker{};
            }
            pos += token->length;
        } else {
            pos += width;
        }
        // A word or token is ASCII or whole characters, so `pos` is again a boundary.
        for (previous = start; previous + charLength(text, previous) < pos;) previous += charLength(text, previous);
        onStep(SourceScan{pos, previous, openingStar, escape.pending, depth, inString, false});
    }
    scan = SourceScan{pos, previous, openingStar, escape.pending, depth, inString, false};
}

// ==== Remembered scan states along one long line ====

// Along a line this long the scan state is remembered every SCAN_CHECKPOINT_BYTES, so a
// span of it (the part in the window) is coloured from a nearby point instead of byte 0.
// The states belong to one line at a time and stay good until a change touches the
// bytes before them (less a margin: a word or token looks that far ahead), the line's
// starting comment depth changes, or colouring is switched off.
constexpr int LONG_LINE_BYTES = 8192;
constexpr int SCAN_CHECKPOINT_BYTES = 4096;
constexpr int LOOKAHEAD_MARGIN = 2 * MAX_WORD_LENGTH;

struct LineScans {
    const LineNode* line = nullptr;
    int lineIndex = 0;
    uint64_t changeCount = 0;
    int startDepth = 0;
    std::vector<SourceScan> points;  // points[0] is the line's start; increasing positions
};

LineScans lineScans;

std::vector<SourceScan>& scansOf(const LineNode* line, int startDepth) {
    LineScans& memo = lineScans;
    bool fresh = memo.line != line || memo.startDepth != startDepth;
    if (!fresh && memo.changeCount != documentChangeCount) {
        const int kept = untouchedColumnSince(line, memo.lineIndex, memo.changeCount);
        if (kept < 0) fresh = true;
        while (!fresh && memo.points.size() > 1 && memo.points.back().pos > kept - LOOKAHEAD_MARGIN) memo.points.pop_back();
        memo.changeCount = documentChangeCount;
    }
    if (fresh) {
        memo = LineScans{line, lineIndex(line), documentChangeCount, startDepth, {}};
        SourceScan start;
        start.commentDepth = startDepth;
        memo.points.push_back(start);
    }
    return memo.points;
}

// Scans `line` from the last remembered state at or before `from` up to `until`,
// colouring [from, until) into `map` (when given) and remembering states on the way.
SourceScan scanLongLine(const LineNode* line, int length, int startDepth, int from, int until, ColourMap* map) {
    std::vector<SourceScan>& points = scansOf(line, startDepth);
    size_t low = 0, high = points.size();
    while (high - low > 1) {
        const size_t middle = (low + high) / 2;
        if (points[middle].pos <= from) low = middle; else high = middle;
    }
    SourceScan scan = points[low];
    const bool extends = low + 1 == points.size();
    int nextCheckpoint = scan.pos + SCAN_CHECKPOINT_BYTES;
    MapWindow window{map, from, until};
    colourSource(line->text, length, scan, until, window, [&](const SourceScan& at) {
        if (extends && at.pos >= nextCheckpoint) {
            points.push_back(at);
            nextCheckpoint = at.pos + SCAN_CHECKPOINT_BYTES;
        }
    });
    return scan;
}

}  // namespace

void startColouringPass() { colouring = ColouringState{}; }

void startColouringPassAtHead() {
    colouring = ColouringState{};
    colouring.linesColoured = 1;
}

void colourLine(const LineNode* line, ColourMap& map) {
    const char* text = line->text ? line->text : "";
    const int length = static_cast<int>(textLength(text));
    map.assign(static_cast<size_t>(length) + 1, COLOUR_DEFAULT);
    if (view.wrapMode) return;
    if (colouring.linesColoured == 0) colouring.commentDepth = commentDepthAtStart(line);
    ++colouring.linesColoured;
    colouring.inString = 0;
    SourceScan scan;
    scan.commentDepth = colouring.commentDepth;
    MapWindow window{&map, 0, length};
    colourSource(text, length, scan, length, window, [](const SourceScan&) {});
    colouring.commentDepth = scan.commentDepth;
    colouring.inString = scan.inString;
}

int colourLineSpan(const LineNode* line, int from, int to, ColourMap& map, bool carryDepth) {
    const char* text = line->text ? line->text : "";
    const int length = static_cast<int>(textLength(text));
    if (textLengthUpTo(text, LONG_LINE_BYTES) < LONG_LINE_BYTES) {
        colourLine(line, map);
        return 0;
    }
    if (from < 0) from = 0;
    if (to > length) to = length;
    if (to < from) to = from;
    map.assign(static_cast<size_t>(to - from) + 1, COLOUR_DEFAULT);
    if (view.wrapMode) return from;
    if (colouring.linesColoured == 0) colouring.commentDepth = commentDepthAtStart(line);
    ++colouring.linesColoured;
    const int startDepth = colouring.commentDepth;
    scanLongLine(line, length, startDepth, from, to, &map);
    colouring.inString = 0;
    if (carryDepth) {
        // The depth at the line's end: a comment opens or closes only at a '/', so past
        // the last remembered state without one the depth stays as it was there.
        std::vector<SourceScan>& points = scansOf(line, startDepth);
        const SourceScan& last = points.back();
        if (last.restIsComment || std::strchr(text + last.pos, '/') == nullptr)
            colouring.commentDepth = last.commentDepth;
        else
            colouring.commentDepth = scanLongLine(line, length, startDepth, length, length, nullptr).commentDepth;
    }
    return from;
}

int commentDepthAfter(const char* text, int depth) {
    // A comment can neither open nor close without a '/': most lines end as they start.
    if (std::strchr(text, '/') == nullptr) return depth;
    bool inString = false;
    EscapeTracker escape;
    int openingStar = -1;
    int previous = -1;  // start of the character before `pos`
    for (int pos = 0; text[pos] != '\0';) {
        const unsigned char c = byteAt(text, pos);
        // Words, tokens and characters only step over bytes here; a double-byte
        // character steps over its second byte, whatever that byte is.
        const int width = charLength(text, pos);
        if (depth) {
            if (width == 1 && closesComment(text, pos, openingStar) && singleBefore(text, pos, previous, '*')) depth = 0;
        } else if (inString) {
            if (!escape.escapes(text, pos) && c == '"') inString = false;
        } else if (c == '/' && text[pos + 1] == '/') {
            return depth;
        } else if (c == '/' && text[pos + 1] == '*') {
            depth = 1;
            openingStar = pos + 1;
            previous = pos + 1;
            pos += 2;
            continue;
        } else if (c == '"') {
            inString = !singleBefore(text, pos, previous, '\\');
            escape = EscapeTracker{};
        }
        previous = pos;
        pos += width;
    }
    return depth;
}
