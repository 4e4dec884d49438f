// A plain recursive matcher of the regular-expression rules, for comparing the engine
// against. Each call may give up after `budget` steps, since the recursion is exponential
// on some expressions.
#pragma once

#include <string>

#include "search/regex.h"

constexpr int REFERENCE_GAVE_UP = -2;
constexpr long REFERENCE_DEFAULT_BUDGET = 1L << 40;

// The end of the match of `program` at `start` of `text`, -1 for none, or
// REFERENCE_GAVE_UP.
int referenceMatchAt(const RegexProgram& program, const std::string& text, int start,
                     long budget = REFERENCE_DEFAULT_BUDGET);

// The search of one line as the engine does it: every character boundary from `firstCol`,
// or only `firstCol` when the program begins with "^". Returns 1 with `start`/`end` set,
// 0 for no match, or REFERENCE_GAVE_UP.
int referenceSearch(const RegexProgram& program, const std::string& text, int firstCol, int& start, int& end,
                    long budget = REFERENCE_DEFAULT_BUDGET);
