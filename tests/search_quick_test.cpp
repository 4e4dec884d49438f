// Quick searches for runs of white space, digits and letters, and the bracket pair
// selection, driven through their commands and keys so the stop request is checked too.
#include <string>
#include <vector>

#include "app/recorder.h"
#include "search/quick_search.h"
#include "support/editing_driver.h"

namespace {

struct QuickCase {
    std::vector<std::string> lines;
    int line, col;  // caret
    int kind;
    bool backward;
    int toLine, toCol;  // -1: nothing found, caret stays
};

class QuickSearchTest : public EditingTest, public ::testing::WithParamInterface<QuickCase> {};

TEST_P(QuickSearchTest, MovesToTheNextRunOrSounds) {
    const QuickCase& c = GetParam();
    setDocument(c.lines);
    putCaret(c.line, c.col);
    recorder.stopRequest = false;
    const SearchOutcome outcome = quickSearch(c.kind, c.backward);
    if (c.toLine < 0) {
        EXPECT_EQ(outcome, SearchOutcome::NotFound);
        EXPECT_EQ(caretAt(), std::make_pair(c.line, c.col));
        EXPECT_EQ(fake().sounds, std::vector<int>{SOUND_NOT_FOUND});
    } else {
        EXPECT_EQ(outcome, SearchOutcome::Found);
        EXPECT_EQ(caretAt(), std::make_pair(c.toLine, c.toCol));
        EXPECT_TRUE(fake().sounds.empty());
    }
}

// 中 is D6 D0; the characters DF 39 and D6 4E have second bytes that read as "9" and "N".
const std::string ZHONG = "\xD6\xD0";
const std::string SECOND_9 = "\xDF\x39";
const std::string SECOND_N = "\xD6\x4E";

INSTANTIATE_TEST_SUITE_P(
    Cases, QuickSearchTest,
    ::testing::Values(
        QuickCase{{"ab123cd 45"}, 0, 3, QUICK_DIGITS, false, 0, 8},  // the run under the caret is skipped
        QuickCase{{"12 x 45"}, 0, 5, QUICK_DIGITS, true, 0, 0},
        QuickCase{{"12 x 45"}, 0, 6, QUICK_DIGITS, true, 0, 0},
        QuickCase{{"12 x 45"}, 0, 7, QUICK_DIGITS, true, 0, 5},  // from the line's end: the run just before
        QuickCase{{"abc"}, 0, 0, QUICK_DIGITS, false, -1, 0},
        QuickCase{{"7x", "", "  9"}, 0, 0, QUICK_DIGITS, false, 2, 2},  // empty lines are passed over
        QuickCase{{"x7", "8y"}, 0, 1, QUICK_DIGITS, false, 1, 0},     // a new line counts as passed
        QuickCase{{"x 1", "a b"}, 1, 0, QUICK_SPACE, true, 0, 1},
        QuickCase{{"a\tb"}, 0, 0, QUICK_SPACE, false, 0, 1},
        QuickCase{{"12 ab_c9"}, 0, 0, QUICK_LETTERS, false, 0, 3},
        QuickCase{{"_a", "b"}, 1, 0, QUICK_LETTERS, true, 0, 0},
        // Second bytes never count: no digit in 吖, no letter in the second byte "N".
        QuickCase{{"x " + SECOND_9 + " 5"}, 0, 0, QUICK_DIGITS, false, 0, 5},
        QuickCase{{SECOND_9 + SECOND_9}, 0, 0, QUICK_DIGITS, false, -1, 0},
        QuickCase{{"1" + SECOND_N + "ab"}, 0, 0, QUICK_LETTERS, false, 0, 3},
        QuickCase{{"7" + SECOND_9}, 0, 3, QUICK_DIGITS, true, 0, 0},
        QuickCase{{ZHONG + "7"}, 0, 2, QUICK_DIGITS, true, -1, 0}));

TEST_F(EditingTest, QuickSearchCommandsSetTheStopRequestAndShiftTurnsThemBack) {
    setDocument({"10 ab 20 cd 30"});
    putCaret(0, 6);
    handleMessage(MSG_COMMAND, CMD_QUICK_DIGITS, 0);
    EXPECT_EQ(caretAt(), std::make_pair(0, 12));
    EXPECT_FALSE(recorder.stopRequest);
    fake().keysDown.insert(VKEY_SHIFT);  // held while the command runs: backward
    handleMessage(MSG_COMMAND, CMD_QUICK_DIGITS, 0);
    fake().keysDown.clear();
    EXPECT_EQ(caretAt(), std::make_pair(0, 6));
    handleMessage(MSG_COMMAND, CMD_QUICK_LETTERS, 0);
    EXPECT_EQ(caretAt(), std::make_pair(0, 9));
    handleMessage(MSG_COMMAND, CMD_QUICK_LETTERS, 0);
    EXPECT_TRUE(recorder.stopRequest);
    EXPECT_EQ(caretAt(), std::make_pair(0, 9));
    EXPECT_EQ(fake().sounds, std::vector<int>{SOUND_NOT_FOUND});
}

// ==== Bracket pairs ====

struct BracketCase {
    std::vector<std::string> lines;
    int line, col;                    // caret
    int fromLine, fromCol, toLine, toCol;  // selection; fromLine -1: nothing selected
    int ownLine, ownCol;              // where the caret stays when nothing is selected
};

class BracketTest : public EditingTest, public ::testing::WithParamInterface<BracketCase> {};

TEST_P(BracketTest, SelectsFromBracketToPartner) {
    const BracketCase& c = GetParam();
    setDocument(c.lines);
    putCaret(c.line, c.col);
    recorder.stopRequest = false;
    handleMessage(MSG_COMMAND, CMD_SELECT_BRACKETS, 0);
    if (c.fromLine < 0) {
        EXPECT_EQ(doc.selStartLine, nullptr);
        EXPECT_TRUE(recorder.stopRequest);
        EXPECT_EQ(caretAt(), std::make_pair(c.ownLine, c.ownCol));
        return;
    }
    EXPECT_FALSE(recorder.stopRequest);
    EXPECT_EQ(caretAt(), std::make_pair(c.line, c.col)) << "the caret is put back";
    ASSERT_NE(doc.selStartLine, nullptr);
    EXPECT_EQ(doc.selStartLine, lineAt(c.fromLine));
    EXPECT_EQ(doc.selStartCol, c.fromCol);
    EXPECT_EQ(doc.selEndLine, lineAt(c.toLine));
    EXPECT_EQ(doc.selEndCol, c.toCol);
}

std::vector<std::string> bracketAfterBlankLines(int blanks) {
    std::vector<std::string> lines(static_cast<size_t>(blanks), "x");
    lines.push_back("(a)");
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BracketTest,
    ::testing::Values(
        BracketCase{{"f(a, (b))"}, 0, 0, 0, 1, 0, 8, 0, 0},
        BracketCase{{"(abc)"}, 0, 2, 0, 0, 0, 4, 0, 0},         // ")" first: scans back
        BracketCase{{"x [a (b] c)"}, 0, 0, 0, 2, 0, 7, 0, 0},   // other kinds are ignored
        BracketCase{{"{", "  {x}", "}"}, 0, 0, 0, 0, 2, 0, 0, 0},  // depth over lines
        BracketCase{{"a", "b)", "(c"}, 0, 0, -1, 0, 0, 0, 1, 1},   // no partner: caret on the bracket
        BracketCase{bracketAfterBlankLines(9), 0, 0, 9, 0, 9, 2, 0, 0},
        BracketCase{bracketAfterBlankLines(10), 0, 0, -1, 0, 0, 0, 0, 0},  // eleventh line: too far
        // The second byte of 乗 (0x81 0x5B) reads as "[": it is no bracket.
        BracketCase{{"\x81\x5B(x)"}, 0, 0, 0, 2, 0, 4, 0, 0},
        BracketCase{{"(\x81\x28)"}, 0, 0, 0, 0, 0, 3, 0, 0}));

}  // namespace
