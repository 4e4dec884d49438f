// The regular-expression engine for find texts written "/expr/g": the expression is
// compiled into a flat array of nodes and matched byte by byte against one line at a time.
// No captures, no case folding, no knowledge of double-byte characters.
#pragma once

#include "document/document.h"

constexpr int REGEX_MAX_NODES = 1024;  // the final RX_END node included
constexpr int REPEAT_MAX = 32767;      // a repeat bound that stands for "no upper bound"

// Node kinds. 0 is the empty node a quantifier at the start of the body leaves: it never
// matches.
constexpr int RX_EMPTY = 0;
constexpr int RX_BOL = 1;
constexpr int RX_ANY = 3;
constexpr int RX_ALT = 4;
constexpr int RX_CHAR = 5;
constexpr int RX_STRING = 6;
constexpr int RX_CLASS = 7;
constexpr int RX_NCLASS = 8;
constexpr int RX_EOL = 9;
constexpr int RX_END = 10;
constexpr int RX_OPEN = 11;
constexpr int RX_CLOSE = 12;

struct RegexNode {
    const char* text = nullptr;  // RX_STRING and classes: first pattern byte of the node
    char byte = 0;               // RX_CHAR: the literal byte
    int length = 0;  // RX_STRING: pattern bytes, escapes included; classes: bytes inside []
    int kind = RX_EMPTY;
    int min = 0, max = 0;  // both 0: matched once, not a repeat
};

struct RegexProgram {
    RegexNode nodes[REGEX_MAX_NODES];
    int count = 0;
};

// True when `text` begins with "/", ends with "/g" and its brackets balance (the check).
bool regexTextPassesCheck(const char* text);

// Why a find text written "/expr/g" cannot be compiled.
enum class RegexProblem {
    None,
    UnbalancedBrackets,  // the check: (), [] and {} do not balance
    NoBody,              // "/g": nothing between the slashes
    UnclosedClass,       // a "[" whose "]" is missing
    CountTooLarge,       // a "{n}" count above REPEAT_MAX, which would cost too much memory
    TooLong,             // more than REGEX_MAX_NODES - 1 nodes
};

// Compiles the find text "/expr/g" into `program`. Returns 1 on success, 0 when the text
// fails the check, has no body ("/g") or cannot be built; `problem` (optional) says why.
int buildRegexProgram(const char* text, RegexProgram& program, RegexProblem* problem = nullptr);

// What the user is told about `problem`: GBK, without the expression itself.
const char* regexProblemText(RegexProblem problem);

// True when `program` can match nothing at all: it is empty, or its body begins with a
// quantifier, which leaves an empty node that never matches, even before a "|".
bool regexNeverMatches(const RegexProgram& program);

// Where the matcher goes on from the "|" at `node`: after a matched alternative
// (`previous`) past the one after it and every further "|" pair, never past RX_END;
// otherwise into the next node.
int regexAfterAlternation(const RegexNode* nodes, int node, bool previous);

// Whether a class's text (the bytes between its brackets, or "\d"-style) accepts `byte`.
bool regexClassAccepts(const char* text, int length, char byte);

// Matches `program` against `line` (NUL-terminated, `length` bytes) starting at `start`.
// Returns the end of the match (exclusive), or -1 when there is none. The work is bounded:
// outcomes are remembered per line, and nothing recurses deeper than the program is long.
int regexMatchAt(const RegexProgram& program, const char* line, int length, int start);

// Finds the first match on one line from column `firstCol` as the search does: at every
// character boundary up to the line's end, or only at `firstCol` when the program begins
// with "^" (which is then passed over). Sets the match's start and end (exclusive).
bool regexSearchLine(const RegexProgram& program, const char* line, int firstCol, int& start, int& end);

// Searches the document from the caret forward, one line at a time, for the find text
// "/expr/g". On success sets findState.matchStartLine/matchStartCol, the document's anchor
// on the last matched byte (column 0 when the match ends at column 0) and
// findState.found. An empty match (one that consumes no bytes) selects nothing: the
// anchor is cleared and regexMatchWasEmpty() turns true. Nothing changes on failure.
void regexFind(const char* text);

// True when the last regexFind found a match that consumed no bytes. The find driver
// asks it to select nothing for such a match, to delete nothing when replacing it, and to
// move on by at least one character before the next search of a replace-all. Cleared by
// every regexFind call that finds nothing or a non-empty match.
bool regexMatchWasEmpty();
