// Sorting the line block by the caret column and by a data column.
#include <random>
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "blocks/sort_order.h"
#include "blocks/sorting.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "platform/virtual_keys.h"
#include "edit/undo_redo.h"
#include "support/test_document.h"
#include "view/view_state.h"

namespace {

using Lines = std::vector<std::string>;

class SortTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        view.clientWidth = 800;
        view.clientHeight = 600;
    }
    void TearDown() override {
        sortMethod = SortMethod::Fast;
        CoreTest::TearDown();
    }
    // All lines selected, from the end of the last line back to the caret at (0, col).
    void openSelected(const Lines& lines, int caretCol) {
        setDocument(lines);
        doc.anchorLine = lastLine();
        doc.anchorCol = static_cast<int>(lines.back().size());
        doc.caretLine = doc.head;
        doc.caretCol = caretCol;
        updateSelection();
    }
    void sortWith(int command, bool shift, bool numbers) {
        view.showLineNumbers = numbers ? 1 : 0;
        if (shift) fake().keysDown.insert(VKEY_SHIFT);
        dispatchCommand(command, 0);
        fake().keysDown.clear();
    }
};

constexpr int CARET = CMD_SORT_CARET_COLUMN;
constexpr int DATA = CMD_SORT_DATA_COLUMN;

// ==== The two sorts and their rules ====

struct SortCase {
    int command;
    Lines lines;
    int caretCol;  // on the first line
    bool descending;
    bool numbers;  // line numbers shown
    Lines expected;
};

const SortCase SORT_CASES[] = {
    {CARET, {"9", "10", "2"}, 0, false, true, {"2", "9", "10"}},
    {CARET, {"9", "10", "2"}, 0, false, false, {"10", "2", "9"}},
    {CARET, {"9", "10", "2"}, 0, true, true, {"10", "9", "2"}},
    {CARET, {"9", "10", "2"}, 0, true, false, {"9", "2", "10"}},
    {CARET, {"1.5", "10", "1.25"}, 0, false, true, {"1.25", "1.5", "10"}},
    // Too short for the column: at the top, the longest first, in both directions.
    {CARET, {"abcdz", "ab", "abcda", "a", ""}, 3, false, false, {"ab", "a", "", "abcda", "abcdz"}},
    {CARET, {"abcdz", "ab", "abcda", "a", ""}, 3, true, false, {"ab", "a", "", "abcdz", "abcda"}},
    // Texts before numbers ascending, numbers before texts descending.
    {CARET, {"b", "10", "a", "9"}, 0, false, true, {"a", "b", "9", "10"}},
    {CARET, {"b", "10", "a", "9"}, 0, true, true, {"10", "9", "b", "a"}},
    {CARET, {".5", "2"}, 0, false, true, {".5", "2"}},  // a leading "." is text
    // A column inside a number reads the whole number.
    {CARET, {"345", "12", "7x"}, 1, false, true, {"7x", "12", "345"}},
    {CARET, {"345", "12", "7x"}, 1, false, false, {"12", "345", "7x"}},
    // A column inside a double-byte character starts the key on it.
    {CARET, {"中b", "a中", "中a"}, 1, false, false, {"a中", "中a", "中b"}},
    // Equal numbers: ascending leaves them, descending reverses them.
    {CARET, {"5c", "5a", "5b"}, 0, false, true, {"5c", "5a", "5b"}},
    {CARET, {"5c", "5a", "5b"}, 0, true, true, {"5b", "5a", "5c"}},
    {DATA, {"3,b", "1,c", "2,a"}, 2, false, false, {"2,a", "3,b", "1,c"}},
    {DATA, {"3,b", "1,c", "2,a"}, 0, false, false, {"1,c", "2,a", "3,b"}},
    {DATA, {"3,b", "1,c", "2,a"}, 2, true, false, {"1,c", "3,b", "2,a"}},
    {DATA, {"y,1\ta", "x,2\tb"}, 2, false, false, {"x,2\tb", "y,1\ta"}},  // the tab wins
    {DATA, {"a 3", "b", "c 1", "d"}, 2, false, true, {"b", "d", "c 1", "a 3"}},
    {DATA, {"a 3", "b", "c 1", "d"}, 2, true, true, {"b", "d", "a 3", "c 1"}},
    {DATA, {"k:10", "k:9", "k:x"}, 2, false, true, {"k:x", "k:9", "k:10"}},
    {DATA, {"k;.5", "k;2"}, 2, false, true, {"k;.5", "k;2"}},  // only a digit begins a number
    {DATA, {"5,c", "5,a", "5,b"}, 0, true, true, {"5,b", "5,a", "5,c"}},
    {DATA, {"ab", "b"}, 1, false, false, {"ab", "b"}},  // no separator: nothing at all
};

TEST_F(SortTest, EachSortOrdersTheBlockByItsRules) {
    for (const SortCase& c : SORT_CASES) {
        for (SortMethod method : {SortMethod::Fast, SortMethod::PlainSelection}) {
            sortMethod = method;
            openSelected(c.lines, c.caretCol);
            sortWith(c.command, c.descending, c.numbers);
            EXPECT_EQ(documentLines(), c.expected)
                << c.command << " " << c.lines[0] << " col " << c.caretCol << (c.descending ? " desc" : "")
                << (c.numbers ? " numbers" : "") << (method == SortMethod::Fast ? " fast" : " plain");
        }
    }
}

TEST_F(SortTest, OnlyTheFirstRunOfSelectedLinesIsSorted) {
    setDocument({"z", "c", "b", "y", "a", "x"});
    for (int k : {1, 2, 4}) markLineSelected(lineAt(k));
    doc.caretLine = lineAt(1);
    sortWith(CARET, false, false);
    EXPECT_EQ(documentLines(), (Lines{"z", "b", "c", "y", "a", "x"}));
}

TEST_F(SortTest, TextReturnAndStyleMoveWhileSelectionAndBookmarkStay) {
    openSelected({"b", "a"}, 0);
    lineAt(0)->flags |= LN_BOOKMARK | (2u << LN_STYLE_SHIFT);
    lineAt(1)->flags &= ~LN_HARD_RETURN;
    LineNode* anchor = doc.anchorLine;
    const auto recordsBefore = undoRing.recordsMade;
    sortWith(CARET, false, false);
    EXPECT_EQ(documentLines(), (Lines{"a", "b"}));
    EXPECT_EQ(lineAt(0)->flags, LN_SELECTED | LN_BOOKMARK);
    EXPECT_EQ(lineAt(1)->flags, LN_SELECTED | LN_HARD_RETURN | (2u << LN_STYLE_SHIFT));
    EXPECT_EQ(doc.caretLine, doc.head);
    EXPECT_EQ(doc.anchorLine, anchor);
    EXPECT_TRUE(doc.modified);
    // One undo step gives every line its text and flags back.
    EXPECT_EQ(undoRing.recordsMade, recordsBefore + 1);
    undo();
    EXPECT_EQ(documentLines(), (Lines{"b", "a"}));
    EXPECT_EQ(lineAt(0)->flags & ~LN_SELECTED, LN_BOOKMARK | LN_HARD_RETURN | (2u << LN_STYLE_SHIFT));
    EXPECT_EQ(lineAt(1)->flags & ~LN_SELECTED, 0u);
}

TEST_F(SortTest, WithoutASelectedLineBothSortsChangeNothingButEndAsASortDoes) {
    for (const int command : {CARET, DATA}) {
        setDocument({"b,1", "a,2"});
        sortWith(command, false, false);
        EXPECT_EQ(documentLines(), (Lines{"b,1", "a,2"}));
        EXPECT_TRUE(doc.modified) << command;
    }
}

TEST_F(SortTest, ACaretLineWithoutSeparatorLeavesTheDocumentUnmodified) {
    openSelected({"b", "a,1"}, 0);
    sortWith(DATA, false, false);
    EXPECT_EQ(documentLines(), (Lines{"b", "a,1"}));
    EXPECT_FALSE(doc.modified);
}

// ==== The fast order against the plain selection sort ====

TEST_F(SortTest, TheFastOrderIsTheSelectionSortsOrderOnBlocksWithManyEqualKeys) {
    const char* const PIECES[] = {"1", "2", "9", ".", "a", "b", ",", "\t", "中", " "};
    std::mt19937 random(62);
    for (int round = 0; round < 600; ++round) {
        Lines lines(1 + random() % 40);
        for (std::string& line : lines)
            for (int k = static_cast<int>(random() % 6); k > 0; --k) line += PIECES[random() % std::size(PIECES)];
        const int caretCol = static_cast<int>(random() % 4);
        const int command = random() % 2 ? CARET : DATA;
        const bool descending = random() % 2, numbers = random() % 2;
        sortMethod = SortMethod::PlainSelection;
        openSelected(lines, caretCol);
        sortWith(command, descending, numbers);
        const Lines plain = documentLines();
        sortMethod = SortMethod::Fast;
        openSelected(lines, caretCol);
        sortWith(command, descending, numbers);
        ASSERT_EQ(documentLines(), plain) << "round " << round;
    }
}

TEST(SortOrder, TheFastOrderFollowsAnyRuleOfClassesWithOrWithoutExchangingEquals) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        const int n = 1 + static_cast<int>(random() % 30);
        const int classes = 1 + static_cast<int>(random() % 5);
        std::vector<int> key(static_cast<size_t>(n));
        for (int& k : key) k = static_cast<int>(random() % classes);
        const unsigned exchangingClasses = random();
        auto goesBefore = [&](int a, int b) { return key[a] < key[b]; };
        auto equalsExchange = [&](int a) { return ((exchangingClasses >> key[a]) & 1) != 0; };
        const auto plain = selectionSortOrder(
            n, [&](int a, int b) { return goesBefore(b, a) || (key[a] == key[b] && equalsExchange(a)); });
        ASSERT_EQ(exchangeSortOrder(n, goesBefore, equalsExchange), plain) << "round " << round;
    }
}

// ==== Reading numbers and separators ====

TEST(SortNumbers, NumbersAreReadWholeFromAnyOfTheirBytes) {
    const struct {
        std::string text;
        int pos;
        bool isNumber;
        double value;
    } CASES[] = {
        {"345", 1, true, 345},      {"1.2.3", 0, true, 1.2},      {"a12.5b", 3, true, 12.5},
        {"a12.5b", 4, true, 12.5},  {".5", 0, false, 0},          {"x.5", 1, false, 0},
        {"5.", 1, true, 0},         {"ab", 0, false, 0},           {"\x81" "23", 2, true, 3},
        {"\x81" "3.5", 2, false, 0},  // the 3 is the second byte of a character
        {std::string(1100, '0') + "7", 1050, true, 7},  // longer than any fixed buffer
    };
    for (const auto& c : CASES) {
        EXPECT_EQ(isNumberAt(c.text.c_str(), c.pos), c.isNumber) << c.text.substr(0, 12) << " at " << c.pos;
        if (c.isNumber) EXPECT_DOUBLE_EQ(numberAt(c.text.c_str(), c.pos), c.value) << c.text.substr(0, 12);
    }
}

TEST(SortNumbers, TheSeparatorIsTheFirstPresentInOrderOfPreference) {
    const struct {
        const char* text;
        char separator;
    } CASES[] = {
        {"a,b\tc", '\t'}, {"a b,c", ','}, {"a:b c", ' '}, {"a;b:c", ':'},
        {"ab;", ';'},     {"abc", '\0'},  {"\x81,", '\0'},  // that comma is a second byte
    };
    for (const auto& c : CASES) EXPECT_EQ(findSeparator(c.text), c.separator) << c.text;
}

}  // namespace
