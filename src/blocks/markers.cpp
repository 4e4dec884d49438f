// Splitting text into paragraphs at numbering markers, and marking paragraphs by
// indentation.
#include "blocks/markers.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/document.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/marker_chars.h"
#include "document/memory.h"
#include "document/undo_ring.h"
#include "edit/line_changes.h"
#include "edit/line_edits.h"
#include "view/layout.h"
#include "view/title.h"

namespace {

// ==== The commands and their passes ====

struct MarkerPass {
    const char* prefix;
    MarkerKind kind;
    const char* suffix;
};

struct MarkerCommand {
    int commandId;
    std::vector<MarkerPass> passes;
};

using K = MarkerKind;

// The three ways a list item's number is closed: enumeration comma, ASCII and
// full-width full stop.
std::vector<MarkerPass> closedBy(MarkerKind kind) { return {{"", kind, "、"}, {"", kind, "."}, {"", kind, "．"}}; }

// The four mixes of ASCII and full-width parentheses around a number.
std::vector<MarkerPass> inParentheses(MarkerKind kind) {
    return {{"(", kind, ")"}, {"(", kind, "）"}, {"（", kind, ")"}, {"（", kind, "）"}};
}

std::vector<MarkerPass> joined(std::vector<std::vector<MarkerPass>> groups) {
    std::vector<MarkerPass> all;
    for (const auto& group : groups) all.insert(all.end(), group.begin(), group.end());
    return all;
}

const std::vector<MarkerCommand>& markerCommands() {
    static const std::vector<MarkerCommand> commands = {
        {32794, joined({{{"", K::ChineseNumerals, "、"}},
                        inParentheses(K::ChineseNumerals),
                        {{"", K::Digits, "、"}, {"", K::Digits, "."}, {"", K::Digits, "．"}},
                        inParentheses(K::Digits)})},
        {32795, {{"", K::ChineseNumerals, "、"}}},
        {32796, inParentheses(K::ChineseNumerals)},
        {32797, closedBy(K::Digits)},
        {32798, inParentheses(K::Digits)},
        {32799, {{"", K::ChineseNumerals, "是"}}},
        {32805, closedBy(K::UpperLetters)},
        {32816, closedBy(K::LowerLetters)},
        {32823, closedBy(K::Stems)},
        {32824, closedBy(K::RomanUpper)},
        {32825, closedBy(K::RomanLower)},
        {32826, {{"", K::BracketedNumerals, ""}}},
        {32827, {{"", K::FullStopNumbers, ""}}},
        {32828, {{"", K::ParenthesisedNumbers, ""}}},
        {32829, {{"", K::CircledNumbers, ""}}},
        {32830, closedBy(K::GreekUpper)},
        {32831, closedBy(K::GreekLower)},
        {32800, {{"第", K::ChineseNumerals, "章"}}},
        {32802, {{"第", K::ChineseNumerals, "条"}}},
        {32803, {{"第", K::Digits, "章"}}},
        {32804, {{"第", K::Digits, "条"}}},
    };
    return commands;
}

// ==== Finding the markers of one line ====

bool isAsciiDigit(char byte) { return byte >= '0' && byte <= '9'; }

bool isSingleByteKind(MarkerKind kind) {
    return kind == K::Digits || kind == K::UpperLetters || kind == K::LowerLetters;
}

bool isSingleByteMarker(MarkerKind kind, char byte) {
    switch (kind) {
        case K::Digits: return isAsciiDigit(byte);
        case K::UpperLetters: return byte >= 'A' && byte <= 'Z';
        case K::LowerLetters: return byte >= 'a' && byte <= 'z';
        default: return false;
    }
}

// Entry of the marker-character table that holds the characters of a two-byte kind.
int markerCharsIndex(MarkerKind kind) {
    return kind == K::ChineseNumerals ? MARKER_CHINESE_NUMERALS : static_cast<int>(kind) - 10;
}

// The characters of one entry of the marker-character table as a set of two-byte codes,
// so that a pass over a long document asks one bit per character instead of searching
// the entry's string.
class MarkerCharSet {
public:
    explicit MarkerCharSet(int index) : codes_(1u << 16) {
        for (const char* p = MarkerChars[index]; p[0] != '\0' && p[1] != '\0'; p += 2) codes_[codeAt(p)] = true;
    }
    bool holds(const char* at) const { return codes_[codeAt(at)]; }

private:
    static unsigned codeAt(const char* at) {
        return static_cast<unsigned>(static_cast<unsigned char>(at[0])) << 8 | static_cast<unsigned char>(at[1]);
    }
    std::vector<bool> codes_;
};

const MarkerCharSet& markerCharSet(MarkerKind kind) {
    static const std::vector<MarkerCharSet> sets = [] {
        std::vector<MarkerCharSet> all;
        for (int index = 0; index < MARKER_CHARS_COUNT; ++index) all.emplace_back(index);
        return all;
    }();
    return sets[static_cast<size_t>(markerCharsIndex(kind))];
}

// End of the run of marker characters of `kind` that starts at `at`.
int markerRunEnd(const char* text, int at, MarkerKind kind) {
    if (isSingleByteKind(kind)) {
        while (isSingleByteMarker(kind, text[at])) ++at;
        return at;
    }
    const MarkerCharSet& set = markerCharSet(kind);
    // Both bytes are compared; the table's characters never end in a NUL byte.
    while (text[at] != '\0' && set.holds(text + at)) at += 2;
    return at;
}

// The bytes a marker of the pass can begin with: the prefix's first byte, else the first
// byte of a marker character. The scan of a line passes every other byte at once.
class MarkerStartBytes {
public:
    explicit MarkerStartBytes(const MarkerPass& pass) {
        member_[0] = true;  // the scan stops at the line's end too
        if (pass.prefix[0] != '\0') {
            member_[static_cast<unsigned char>(pass.prefix[0])] = true;
        } else if (isSingleByteKind(pass.kind)) {
            for (int b = 1; b < 256; ++b) member_[b] = isSingleByteMarker(pass.kind, static_cast<char>(b));
        } else {
            const char* chars = MarkerChars[markerCharsIndex(pass.kind)];
            for (const char* p = chars; p[0] != '\0' && p[1] != '\0'; p += 2) member_[static_cast<unsigned char>(p[0])] = true;
        }
    }

    // The first position from `from` whose byte may begin a marker, or the terminator's.
    int next(const char* text, int from) const {
        while (!member_[static_cast<unsigned char>(text[from])]) ++from;
        return from;
    }

private:
    bool member_[256] = {};
};

// True when `piece` (no NUL in it) stands at `at`; never reads past the text's end.
bool holdsAt(const char* text, int at, const char* piece) {
    for (int i = 0; piece[i] != '\0'; ++i)
        if (text[at + i] != piece[i]) return false;
    return true;
}

// True when `piece` occurs in the `length` bytes of `text`, at any byte. The search is
// for its last byte, the second byte of a double-byte piece, which is the rarer one.
bool contains(const char* text, int length, const char* piece) {
    const int size = static_cast<int>(std::strlen(piece));
    if (size == 0) return true;
    const char last = piece[size - 1];
    for (int from = size - 1; from < length;) {
        const void* found = std::memchr(text + from, last, static_cast<size_t>(length - from));
        if (found == nullptr) return false;
        const int at = static_cast<int>(static_cast<const char*>(found) - text);
        if (std::memcmp(text + at - (size - 1), piece, static_cast<size_t>(size - 1)) == 0) return true;
        from = at + 1;
    }
    return false;
}

// Fills `splits` with the columns of `text` before which the pass breaks the line, in
// order. They are the breaks that splitting one marker at a time and scanning on from the
// start of the new line would make: after a break the scan goes on at the break, which is
// then the start of a line, where a marker is passed over and its suffix not looked at.
// The scan stands only on character boundaries: a second byte never begins a marker. It
// passes at once over the characters that cannot begin a marker, where the scan one
// character at a time would only step on, and it finds the line's end on the way: it
// returns the text's length.
int findSplitColumns(const char* text, const MarkerPass& pass, const MarkerStartBytes& startBytes,
                     std::vector<int>& splits) {
    splits.clear();
    // Every break needs the prefix and the suffix somewhere in the line: the many lines
    // without them are passed over by the library's fast searches.
    const int length = static_cast<int>(std::strlen(text));
    if (!contains(text, length, pass.prefix) || !contains(text, length, pass.suffix)) return length;
    const int prefixLength = static_cast<int>(std::strlen(pass.prefix));
    const int suffixLength = static_cast<int>(std::strlen(pass.suffix));
    const bool decimalsKept = pass.kind == K::Digits && std::strcmp(pass.suffix, ".") == 0;
    int lineStart = 0;
    int col = 0;
    while (text[col] != '\0') {
        const int candidate = startBytes.next(text, col);
        col = boundaryAtOrAfter(text, col, candidate);
        if (col != candidate || text[col] == '\0') continue;  // a second byte, or the end
        const int next = col + charLength(text, col);
        if (!holdsAt(text, col, pass.prefix)) {
            col = next;
            continue;
        }
        const int runStart = col + prefixLength;
        const int runEnd = markerRunEnd(text, runStart, pass.kind);
        if (runEnd == runStart) {
            col = next;
            continue;
        }
        if (col == lineStart) {
            // A marker that begins a line stays, and the character after it is passed over.
            col = text[runEnd] != '\0' ? runEnd + charLength(text, runEnd) : runEnd;
            continue;
        }
        if (!holdsAt(text, runEnd, pass.suffix) || (decimalsKept && isAsciiDigit(text[runEnd + suffixLength]))) {
            col = next;  // no suffix, or a decimal number such as 3.14
            continue;
        }
        splits.push_back(col);
        lineStart = col;
    }
    return col;
}

// ==== Breaking a line ====

// Breaks `line` before each of `splits` with hard returns, leaving exactly the lines,
// flags, selection and undo records that as many Enter presses (without indentation)
// would leave, but copying each byte once: one split at a time would move the rest of
// the line for every split. `lineOffset` is the caretOffset of the line's column 0.
// Returns the last of the new lines.
LineNode* breakLine(LineNode* line, const std::vector<int>& splits, int lineOffset) {
    char* whole = line->text;
    LineNode* piece = line;
    int pieceStart = 0;
    for (size_t k = 0; k < splits.size(); ++k) {
        const int col = splits[k];
        if (undoRing.replaying == 0) {
            // Each split is recorded where the caret stood: every earlier split of this
            // line added one line break before it.
            const char first[3] = {whole[col], charLength(whole, col) == 2 ? whole[col + 1] : '\0', '\0'};
            recordEdit(UNDO_SPLIT, lineOffset + col + static_cast<int>(k), first);
        }
        LineNode* added = insertLineAfter(piece);
        added->flags = piece->flags & SPLIT_COPIED_FLAGS;
        piece->flags |= LN_HARD_RETURN;
        piece->text = copyBytesOrExit(whole + pieceStart, static_cast<size_t>(col - pieceStart));
        keepSelectionOnItsText(piece, col - pieceStart, added);
        piece = added;
        pieceStart = col;
    }
    piece->text = copyStringOrExit(whole + pieceStart);
    releaseLineText(whole);
    return piece;
}

}  // namespace

// ==== Splitting at markers ====

void splitAtMarkers(const char* prefix, MarkerKind kind, const char* suffix) {
    if (!hasDocument()) return;
    const MarkerPass pass{prefix ? prefix : "", kind, suffix ? suffix : ""};
    bool changed = false;
    int lineStart = 0;  // sum of (length + 1) over the lines before `line`
    LineNode* line = doc.head;
    const MarkerStartBytes startBytes(pass);
    std::vector<int> splits;
    for (;;) {
        const int length = findSplitColumns(line->text, pass, startBytes, splits);
        if (!splits.empty()) {
            line = breakLine(line, splits, 1 + lineStart);
            changed = true;
        }
        lineStart += length + static_cast<int>(splits.size()) + 1;
        if (line->next == nullptr) break;
        line = line->next;
    }
    doc.caretLine = line;
    doc.caretCol = static_cast<int>(std::strlen(line->text));
    if (changed) {
        doc.modified = 1;
        updateTitle();
    }
    ensureCaretVisible();
}

void splitAtMarkers(int commandId) {
    for (const MarkerCommand& command : markerCommands()) {
        if (command.commandId != commandId) continue;
        for (const MarkerPass& pass : command.passes) splitAtMarkers(pass.prefix, pass.kind, pass.suffix);
        return;
    }
}

// ==== Paragraphs by indentation ====

void markIndentedParagraphs() {
    if (!hasDocument()) return;
    LineChanges changes;
    beginLineChanges(changes);
    for (LineNode* line = lastLine(); line && line->prev; line = line->prev) {
        LineNode* before = line->prev;
        const bool indented = std::strlen(line->text) >= 4 && (std::strncmp(line->text, "　　", 4) == 0 ||
                                                                std::strncmp(line->text, "    ", 4) == 0);
        const uint32_t flags = indented ? (before->flags | LN_HARD_RETURN) : (before->flags & ~LN_HARD_RETURN);
        if (flags == before->flags) continue;
        noteLineBefore(changes, before);
        before->flags = flags;
    }
    doc.caretLine = doc.head;
    doc.caretCol = 0;
    doc.topLine = doc.head;
    // A changed return decides how the lines are saved, so it is a change to the text,
    // and undo must be able to give the returns back.
    if (recordLineChanges(changes) || !changes.earlier.empty()) {
        doc.modified = 1;
        updateTitle();
    }
}
