// Any expression and text: the regular-expression search ends, agrees with the plain
// recursive matcher wherever that one finishes, a match lies within its line and on
// character boundaries, and a search from the caret leaves the document whole.
#include <cstring>

#include "document/document.h"
#include "document/gbk.h"
#include "fuzz_support.h"
#include "search/find_state.h"
#include "search/regex.h"
#include "support/regex_reference.h"
#include "support/test_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    freshCore();
    std::string expression = input.bytes(60);
    if (expression.find('\0') != std::string::npos) return 0;
    expression = "/" + expression + "/g";
    const std::string text = input.rest();
    const std::string line = text.substr(0, text.find('\0'));

    static RegexProgram program;  // large: kept off the stack
    if (buildRegexProgram(expression.c_str(), program)) {
        const int length = static_cast<int>(line.size());
        constexpr long REFERENCE_BUDGET = 4000;  // steps: the reference is exponential
        for (int from = 0; from <= length && from <= 8; ++from) {
            const int expected = referenceMatchAt(program, line, from, REFERENCE_BUDGET);
            if (expected != REFERENCE_GAVE_UP)
                require(regexMatchAt(program, line.c_str(), length, from) == expected,
                        "the engine agrees with the reference");
        }
        int start = 0, end = 0;
        const bool found = regexSearchLine(program, line.c_str(), 0, start, end);
        int refStart = 0, refEnd = 0;
        const int expected = referenceSearch(program, line, 0, refStart, refEnd, REFERENCE_BUDGET);
        if (expected != REFERENCE_GAVE_UP) {
            require(expected == (found ? 1 : 0), "the search agrees with the reference");
            require(!found || (start == refStart && end == refEnd), "the match agrees with the reference");
        }
        if (found) {
            require(start >= 0 && start <= end && end <= static_cast<int>(line.size()), "a match lies in its line");
            // The end of the line is a boundary even after a lone first byte.
            require(start == static_cast<int>(line.size()) || !isInsideDoubleByte(line.c_str(), start),
                    "a match starts on a boundary");
        }
    }
    setDocument(linesOf(text));
    findState = FindState{};
    regexFind(expression.c_str());
    requireInvariants();
    if (findState.found) {
        const LineNode* line = findState.matchStartLine;
        require(findState.matchStartCol == static_cast<int>(std::strlen(line->text)) ||
                    !isInsideDoubleByte(line->text, findState.matchStartCol),
                "a found match starts on a boundary");
    }
    return 0;
}
