// The regular-expression engine: searches in the document, the compiled nodes, classes,
// a differential test against a plain recursive matcher of the same rules, and hostile
// expressions that must finish.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "document/gbk.h"
#include "search/find_state.h"
#include "search/regex.h"
#include "support/regex_reference.h"
#include "support/test_document.h"

namespace {

// ==== Searches in the document ====

struct FindCase {
    std::string expression;
    std::vector<std::string> lines;
    int caretLine, caretCol;
    int line, start, end;  // line -1: not found; end exclusive
};

class RegexFindTest : public CoreTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(RegexFindTest, FindsTheFirstMatchFromTheCaret) {
    const FindCase& c = GetParam();
    setDocument(c.lines);
    doc.caretLine = lineAt(c.caretLine);
    doc.caretCol = c.caretCol;
    LineNode* const anchorBefore = doc.anchorLine;
    findState.found = 0;
    regexFind(c.expression.c_str());
    if (c.line < 0) {
        EXPECT_EQ(findState.found, 0) << c.expression;
        EXPECT_EQ(doc.anchorLine, anchorBefore);
        return;
    }
    ASSERT_EQ(findState.found, 1) << c.expression;
    EXPECT_EQ(findState.matchStartLine, lineAt(c.line)) << c.expression;
    EXPECT_EQ(findState.matchStartCol, c.start) << c.expression;
    EXPECT_EQ(regexMatchWasEmpty(), c.end == c.start) << c.expression;
    if (c.end == c.start) {
        EXPECT_EQ(doc.anchorLine, nullptr) << "an empty match selects nothing";
    } else {
        EXPECT_EQ(doc.anchorLine, lineAt(c.line));
        EXPECT_EQ(doc.anchorCol, c.end - 1) << c.expression;
    }
}

const std::string NAME_TEL = "Name:XXX Tel:1234567";
const std::string CHINESE = "\xD6\xD0\xCE\xC4";  // 中文
// A character whose second byte is "A" (0x41), then "A".
const std::string SECOND_BYTE_A = "\x81\x41";

INSTANTIATE_TEST_SUITE_P(
    Cases, RegexFindTest,
    ::testing::Values(
        FindCase{"/[Nn]ame:\\w+\\s(Tel|Phone):[0-9]{7,11}/g", {"x " + NAME_TEL}, 0, 0, 0, 2, 22},
        FindCase{"/[Nn]ame:\\w+\\s(Tel|Phone):[0-9]{7,11}/g", {"name:Y Phone:12345678901234"}, 0, 0, 0, 0, 24},
        FindCase{"/ab*/g", {"abbbc"}, 0, 0, 0, 0, 4},
        FindCase{"/ab*c/g", {"abbbc"}, 0, 0, 0, 0, 5},
        FindCase{"/a*ab/g", {"ab"}, 0, 0, -1, 0, 0},
        FindCase{"/a*ab/g", {"aab"}, 0, 0, 0, 0, 3},
        FindCase{"/cat|dog/g", {"hotdog"}, 0, 0, 0, 3, 6},
        FindCase{"/ca(t|d)og/g", {"catog"}, 0, 0, 0, 0, 5},
        FindCase{"/ca(t|d)og/g", {"xcadog"}, 0, 0, 0, 1, 6},
        FindCase{"/a|b|c/g", {"xxc"}, 0, 0, 0, 2, 3},
        FindCase{"/a{0}b/g", {"ab"}, 0, 0, 0, 0, 2},
        FindCase{"/a{0}b/g", {"b"}, 0, 0, -1, 0, 0},
        FindCase{"/a{2,3}/g", {"a aaaa"}, 0, 0, 0, 2, 5},
        FindCase{"/a{2,}/g", {"aaaaa"}, 0, 0, 0, 0, 5},
        FindCase{"/x{3,2}/g", {"x{3,2}"}, 0, 0, 0, 0, 6},  // m below n: "{" is literal
        FindCase{"/x{,2}/g", {"x{,2}"}, 0, 0, 0, 0, 5},
        FindCase{"/^ab/g", {"xab", "abc"}, 0, 0, 1, 0, 2},
        FindCase{"/^ab/g", {"xab"}, 0, 1, 0, 1, 3},  // on the caret line only at the caret
        FindCase{"/^ab/g", {"xaab"}, 0, 1, -1, 0, 0},
        FindCase{"/x$/g", {"xax", "y"}, 0, 0, 0, 2, 3},
        FindCase{"/x$y/g", {"x", "xy"}, 0, 0, -1, 0, 0},
        FindCase{"/[a-c-]/g", {"x-"}, 0, 0, 0, 1, 2},
        FindCase{"/[a-c]/g", {"x-"}, 0, 0, -1, 0, 0},
        FindCase{"/AB/g", {"ab"}, 0, 0, -1, 0, 0},
        FindCase{"/./g", {CHINESE}, 0, 0, 0, 0, 1},  // one byte: half a character
        FindCase{"/" + std::string("\xCE\xC4") + "/g", {CHINESE}, 0, 0, 0, 2, 4},
        // The bytes D0 CE straddle two characters: no match starts on a second byte.
        FindCase{"/\xD0\xCE/g", {CHINESE}, 0, 0, -1, 0, 0},
        FindCase{"/A/g", {SECOND_BYTE_A + "A"}, 0, 0, 0, 2, 3},
        FindCase{"/a\\.*b/g", {"a...b"}, 0, 0, 0, 0, 5},  // the star repeats the dot
        FindCase{"/a\\.*b/g", {"a\\.\\.b"}, 0, 0, -1, 0, 0},
        FindCase{"/a\\.b/g", {"axb a.b"}, 0, 0, 0, 4, 7},
        FindCase{"/\\d+/g", {"ab 42"}, 0, 0, 0, 3, 5},
        FindCase{"/x*/g", {"abc"}, 0, 1, 0, 1, 1},  // empty match at the caret
        FindCase{"/$/g", {"abc"}, 0, 0, 0, 3, 3},
        FindCase{"/b/g", {"abc", "b"}, 0, 2, 1, 0, 1},  // every later line from column 0
        FindCase{"/b/g", {"a", "", "cb"}, 0, 0, 2, 1, 2},
        FindCase{"/*a/g", {"a*a"}, 0, 0, -1, 0, 0},   // leading quantifier: an empty node
        FindCase{"/*|a/g", {"a"}, 0, 0, -1, 0, 0},    // ... which no alternative makes match
        FindCase{"/(ab/g", {"(ab"}, 0, 0, -1, 0, 0},  // unbalanced: fails the check
        FindCase{"/g", {"g", "/g"}, 0, 0, -1, 0, 0},
        FindCase{"//g", {"abc"}, 0, 1, 0, 1, 1},  // no body: matches nothing at the caret
        FindCase{"/)[/g", {")["}, 0, 0, -1, 0, 0},  // a class without "]"
        FindCase{"/a{40000}/g", {"aaa"}, 0, 0, -1, 0, 0},
        FindCase{"/[^a]b/g", {"abxb"}, 0, 0, 0, 2, 4},
        FindCase{"/a|/g", {"xa"}, 0, 0, 0, 0, 0}));  // "|" before the end: empty alternative

// A program of 1023 nodes plus RX_END fits; one more node does not.
TEST(RegexBuild, HoldsAtMost1024NodesWithTheEnd) {
    static RegexProgram program;
    std::string body;
    for (int i = 0; i < REGEX_MAX_NODES - 1; ++i) body += ".";
    EXPECT_EQ(buildRegexProgram(("/" + body + "/g").c_str(), program), 1);
    EXPECT_EQ(program.count, REGEX_MAX_NODES);
    EXPECT_EQ(program.nodes[REGEX_MAX_NODES - 1].kind, RX_END);
    EXPECT_EQ(buildRegexProgram(("/" + body + "./g").c_str(), program), 0);
    EXPECT_EQ(program.count, 0);
}

struct BuildCase {
    const char* expression;
    std::vector<int> kinds;
    int repeatNode, min, max;  // repeatNode -1: no repeat expected
};

TEST(RegexBuild, NodesRunsAndQuantifierTargets) {
    const std::vector<BuildCase> cases = {
        {"/abc/g", {RX_STRING, RX_END}, -1, 0, 0},
        {"/abc*/g", {RX_STRING, RX_CHAR, RX_END}, 1, 0, REPEAT_MAX},
        {"/ab|cd/g", {RX_STRING, RX_ALT, RX_STRING, RX_END}, -1, 0, 0},
        {"/a\\.*/g", {RX_STRING, RX_CHAR, RX_END}, 1, 0, REPEAT_MAX},
        {"/ab\\.c/g", {RX_STRING, RX_END}, -1, 0, 0},
        {"/a\\d/g", {RX_STRING, RX_CLASS, RX_END}, -1, 0, 0},
        {"/(ab)+/g", {RX_OPEN, RX_STRING, RX_CLOSE, RX_END}, 1, 1, REPEAT_MAX},
        {"/(?a)/g", {RX_OPEN, RX_CHAR, RX_CLOSE, RX_END}, 0, 0, 1},
        {"/+a/g", {RX_EMPTY, RX_CHAR, RX_END}, 0, 1, REPEAT_MAX},
        {"/{2}a/g", {RX_STRING, RX_CHAR, RX_STRING, RX_END}, -1, 0, 0},  // "{" before any node is literal
        {"/x{2,5}/g", {RX_CHAR, RX_END}, 0, 2, 5},
        {"/x{0,0}/g", {RX_CHAR, RX_END}, -1, 0, 0},
        {"/[^ab]?/g", {RX_NCLASS, RX_END}, 0, 0, 1},
        {"/^a$/g", {RX_BOL, RX_CHAR, RX_EOL, RX_END}, -1, 0, 0},
        {"/a\\/g", {RX_STRING, RX_CHAR, RX_END}, -1, 0, 0},  // a last lone backslash is itself
    };
    static RegexProgram program;
    for (const BuildCase& c : cases) {
        ASSERT_EQ(buildRegexProgram(c.expression, program), 1) << c.expression;
        std::vector<int> kinds;
        for (int i = 0; i < program.count; ++i) kinds.push_back(program.nodes[i].kind);
        EXPECT_EQ(kinds, c.kinds) << c.expression;
        for (int i = 0; i < program.count; ++i) {
            const bool expected = i == c.repeatNode;
            EXPECT_EQ(program.nodes[i].min, expected ? c.min : 0) << c.expression << " node " << i;
            EXPECT_EQ(program.nodes[i].max, expected ? c.max : 0) << c.expression << " node " << i;
        }
    }
}

TEST(RegexClass, RangesEscapesAndDashes) {
    struct ClassCase {
        const char* text;
        const char* accepted;
        const char* rejected;
    };
    const ClassCase cases[] = {
        {"a-c", "abc", "-d`"},
        {"a-c-", "ab-", "dx"},
        {"-a", "-a", "b"},
        {"a-c-e", "ace", "-d"},  // a "-" inside the class is no member
        {"\\d", "09", "a "},
        {"\\D", "a ", "5"},
        {"\\s", " \t\r", "a"},
        {"\\w_", "aZ9_", "-. "},
        {"\\W", "-. ", "a"},
        {"\\]x", "]x", "\\"},
        {"+--", "+,", "-."},  // a range that holds "-" still does not take it
        {"\x81-\xFE", "\xB0\xD6", "az"},  // signed: the range covers the high bytes
        {"a-\xB0", "", "a\xB0m"},         // 0x61 to -0x50: empty
    };
    for (const ClassCase& c : cases) {
        const int length = static_cast<int>(std::strlen(c.text));
        for (const char* b = c.accepted; *b; ++b)
            EXPECT_TRUE(regexClassAccepts(c.text, length, *b)) << c.text << " should take " << *b;
        for (const char* b = c.rejected; *b; ++b)
            EXPECT_FALSE(regexClassAccepts(c.text, length, *b)) << c.text << " should refuse " << *b;
    }
}

TEST(RegexCheck, BracketsBalanceAndTheFrame) {
    EXPECT_TRUE(regexTextPassesCheck("/a(b)[c]{2}/g"));
    EXPECT_TRUE(regexTextPassesCheck("/\\(a/g"));   // an escaped bracket is hidden
    EXPECT_TRUE(regexTextPassesCheck("/)(/g"));     // kinds and order are not paired
    EXPECT_FALSE(regexTextPassesCheck("/a(/g"));
    EXPECT_FALSE(regexTextPassesCheck("/a/"));
    EXPECT_FALSE(regexTextPassesCheck("a/g"));
    EXPECT_FALSE(regexTextPassesCheck("/"));
}

// ==== The engine against the reference ====

std::string randomExpression(std::mt19937& rng) {
    static const char* const pieces[] = {"a", "b", "c", "ab", "ba", ".", "*", "+", "?", "|", "(", ")",
                                         "[ab]", "[^a]", "[a-b]", "\\d", "\\w", "{1,2}", "{2}", "{0}",
                                         "{1,}", "$", "^", "\\.", "a\\.", "1"};
    const int count = 1 + static_cast<int>(rng() % 7);
    std::string body;
    for (int i = 0; i < count; ++i) body += pieces[rng() % (sizeof pieces / sizeof *pieces)];
    return "/" + body + "/g";
}

std::string randomText(std::mt19937& rng) {
    static const char bytes[] = "aabbc.1";
    const int length = static_cast<int>(rng() % 11);
    std::string text;
    for (int i = 0; i < length; ++i) text += bytes[rng() % (sizeof bytes - 1)];
    return text;
}

TEST(RegexDifferential, EngineAgreesWithThePlainRecursion) {
    std::mt19937 rng(20261207);
    static RegexProgram program;
    int built = 0, matched = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string expression = randomExpression(rng);
        if (!buildRegexProgram(expression.c_str(), program)) continue;
        ++built;
        for (int t = 0; t < 6; ++t) {
            const std::string text = randomText(rng);
            const int length = static_cast<int>(text.size());
            for (int start = 0; start <= length; ++start) {
                const int expected = referenceMatchAt(program, text, start);
                if (expected >= 0) ++matched;
                ASSERT_EQ(regexMatchAt(program, text.c_str(), length, start), expected)
                    << expression << " on \"" << text << "\" from " << start;
            }
            const int firstCol = static_cast<int>(rng() % (length + 1));
            int start = -1, end = -1, refStart = -1, refEnd = -1;
            const bool found = regexSearchLine(program, text.c_str(), firstCol, start, end);
            ASSERT_EQ(found ? 1 : 0, referenceSearch(program, text, firstCol, refStart, refEnd))
                << expression << " on \"" << text << "\"";
            if (found) {
                ASSERT_EQ(start, refStart) << expression << " on \"" << text << "\"";
                ASSERT_EQ(end, refEnd) << expression << " on \"" << text << "\"";
            }
        }
    }
    EXPECT_GT(built, 2000);
    EXPECT_GT(matched, 10000);  // the comparison covers matches, not only failures
}

// The search passes over starts by what the expression tells beforehand: a literal every
// match holds, the bytes a match begins with, a single repeated byte test. Expressions
// built to have those, on GBK texts whose second bytes look like ASCII letters, digits
// and pieces of the literals, are searched from every column, by the line search and by
// a find in a one-line document, and compared with the reference trying every boundary.
std::string shortcutExpression(std::mt19937& rng) {
    static const char* const pieces[] = {"ab", "a", "1", "[0-9]", "\\d", "[a-b]", "[^a]", ".", "\xB0\xA1",
                                         "b1", "(a|b)", "|", "\\.", "x", "^", "$"};
    static const char* const counts[] = {"", "", "", "*", "+", "?", "{2}", "{1,3}", "{3,}", "{0,2}"};
    std::string body = rng() % 6 == 0 ? "^" : "";
    const int count = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < count; ++i) {
        body += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        body += counts[rng() % (sizeof counts / sizeof *counts)];
    }
    if (rng() % 8 == 0) body += "$";
    return "/" + body + "/g";
}

std::string shortcutText(std::mt19937& rng) {
    // Lone bytes, and pairs whose second byte is "a", "b", "1" or a first-byte value.
    static const char* const pieces[] = {"a", "b", "1", "2", ".", "x", "\x81" "a", "\x81" "1", "\xB0\xA1",
                                         "\xB0" "b", "\xA1\xB0", "\xFE\x81"};
    const int count = static_cast<int>(rng() % 24);
    std::string text;
    for (int i = 0; i < count; ++i) text += pieces[rng() % (sizeof pieces / sizeof *pieces)];
    if (rng() % 5 == 0) text += "\xB0";  // a lone first byte at the end
    return text;
}

class RegexShortcuts : public CoreTest {};

TEST_F(RegexShortcuts, SearchesAgreeWithTheReference) {
    std::mt19937 rng(927);
    static RegexProgram program;
    int compared = 0, found = 0;
    for (int round = 0; round < 1500; ++round) {
        const std::string expression = shortcutExpression(rng);
        if (!buildRegexProgram(expression.c_str(), program)) continue;
        for (int t = 0; t < 4; ++t) {
            const std::string text = shortcutText(rng);
            setDocument({text});
            for (int firstCol = 0; firstCol <= static_cast<int>(text.size()); ++firstCol) {
                int refStart = -1, refEnd = -1, start = -1, end = -1;
                const int expected = referenceSearch(program, text, firstCol, refStart, refEnd, 20000);
                if (expected == REFERENCE_GAVE_UP) continue;
                ++compared;
                found += expected;
                const std::string where = expression + " on \"" + text + "\" from " + std::to_string(firstCol);
                ASSERT_EQ(regexSearchLine(program, text.c_str(), firstCol, start, end) ? 1 : 0, expected) << where;
                if (expected) ASSERT_EQ(std::make_pair(start, end), std::make_pair(refStart, refEnd)) << where;
                doc.caretLine = doc.head;
                doc.caretCol = firstCol;
                findState.found = 0;
                regexFind(expression.c_str());
                ASSERT_EQ(findState.found, expected) << where;
                if (expected) ASSERT_EQ(findState.matchStartCol, refStart) << where;
            }
        }
    }
    EXPECT_GT(compared, 10000);
    EXPECT_GT(found, compared / 5);  // the comparison covers matches, not only failures
}

// ==== Hostile expressions finish, and long lines do not exhaust the stack ====

TEST(RegexHostile, RepeatsAgainstALongLineFinish) {
    const std::string line(6000, 'a');
    const char* const expressions[] = {"/a*a*a*a*a*c/g", "/.*.*.*.*=/g", "/(a|b|a)*c/g", "/(a*)*b/g",
                                       "/a+a+a+a+b/g", "/(aa|a)*c/g", "/a{1,30000}a{1,30000}c/g", "/\\w*\\w*\\w*$x/g"};
    static RegexProgram program;
    for (const char* expression : expressions) {
        ASSERT_EQ(buildRegexProgram(expression, program), 1) << expression;
        int start = 0, end = 0;
        EXPECT_FALSE(regexSearchLine(program, line.c_str(), 0, start, end)) << expression;
    }
    // The same shapes where they do match: the results are those of the rules.
    ASSERT_EQ(buildRegexProgram("/a*a*c/g", program), 1);
    const std::string tail = line + "c";
    int start = 0, end = 0;
    ASSERT_TRUE(regexSearchLine(program, tail.c_str(), 0, start, end));
    EXPECT_EQ(start, 0);  // "a*" repeats at most 32767 times
    EXPECT_EQ(end, 6001);
}

TEST(RegexHostile, ALongLineKeepsTheStackFlat) {
    std::string line(1 << 18, 'a');
    line += "b";
    static RegexProgram program;
    const int length = static_cast<int>(line.size());
    ASSERT_EQ(buildRegexProgram("/(a|c)*b/g", program), 1);
    int start = 0, end = 0;
    ASSERT_TRUE(regexSearchLine(program, line.c_str(), 0, start, end));
    EXPECT_EQ(start, length - 2);  // the star repeats "c" only: "a" then "b"
    // "a*" before "$" reaches the line's end only within 32767 repetitions of it.
    ASSERT_EQ(buildRegexProgram("/a*b$/g", program), 1);
    ASSERT_TRUE(regexSearchLine(program, line.c_str(), 0, start, end));
    EXPECT_EQ(start, length - 1 - REPEAT_MAX);
    EXPECT_EQ(end, length);
}

}  // namespace
