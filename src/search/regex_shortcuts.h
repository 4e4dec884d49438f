// What a compiled expression tells about its matches before any matching: the bytes a
// match can begin with, a literal every match must contain, and whether the expression
// is one repeated single-byte element. The search uses them to pass over the start
// positions where no match can begin without asking the matcher there.
#pragma once

#include <string>
#include <vector>

#include "search/regex.h"

// A set of byte values, with the shape that lets a scan find its members fastest.
struct ByteSet {
    bool member[256] = {};
    int low = 0, high = -1;  // when every member lies in low..high and all of them are members
    bool isRange = false;
};

struct RegexShortcuts {
    bool mustConsume = false;  // every match takes a first byte from `firstBytes`
    ByteSet firstBytes;
    std::string literal;  // every match contains these bytes (empty: none known)
    long literalReach = 0;  // at most this many bytes lie between a match's start and the literal
    std::vector<std::string> otherLiterals;  // further literals every match contains
    bool singleElementRun = false;  // the expression is one repeated byte test, `runBytes`
    ByteSet runBytes;
    int runMin = 1, runMax = 1;  // repetitions of that run
};

// The bytes one element of class node `node` (RX_CLASS or RX_NCLASS) accepts.
void regexClassBytes(const RegexNode& node, ByteSet& bytes);

// The shortcuts of `program` matched from node `firstNode` (past a leading "^").
RegexShortcuts analyseRegex(const RegexProgram& program, int firstNode);

// The first position from `from` (below `length`) whose byte is in `bytes`, else `length`.
int findByteInSet(const ByteSet& bytes, const char* text, int from, int length);

// The first position from `from` where `literal` occurs in the `length` bytes of `text`,
// or -1.
int findLiteral(const std::string& literal, const char* text, int from, int length);
