// Statistics of the document, the sum of the selected numbers and the data-column copy.
#include <string>
#include <vector>

#include "app/messages.h"
#include "blocks/statistics.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

class StatisticsTest : public EditingTest {};

// The counters in report order: lines, characters, Chinese, half-width, letters, digits, spaces.
std::vector<long long> counters(const TextStatistics& s) {
    return {s.lines, s.characters, s.chinese, s.halfWidth, s.letters, s.digits, s.spaces};
}

}  // namespace

// ==== Statistics ====

TEST_F(StatisticsTest, CountsEveryCharacterOnceByItsClass) {
    struct Case {
        const char* name;
        Lines lines;
        std::vector<long long> expected;
    };
    const Case cases[] = {
        {"Chinese, a space and a digit", {"中 1"}, {1, 3, 1, 1, 0, 1, 1}},
        {"a full-width space is a space, not Chinese", {"\xA1\xA1"}, {1, 1, 0, 0, 0, 0, 1}},
        {"letters, digits, others and white space", {"aZ9!", "\t\r\v\f"}, {2, 8, 0, 4, 2, 1, 4}},
        {"a second byte is never counted on its own", {"\x81\x31\x81\x41\xA1\x20"}, {1, 3, 3, 0, 0, 0, 0}},
        {"0x80, 0xFF and a first byte at the line's end are single", {"\x80\xFF\xB0"}, {1, 3, 0, 3, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        EXPECT_EQ(counters(countStatistics()), c.expected) << c.name;
    }
}

TEST_F(StatisticsTest, TheBoxShowsTheReportUnderItsCaptionAndChangesNothing) {
    setDocument({"中 1"});
    dispatchCommand(CMD_STATISTICS, 0);
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].caption, "统计结果");
    EXPECT_EQ(fake().messageBoxes[0].text,
              "行数:\t1,\n字数:\t3,\n中文:\t1,\n半角:\t1,\n英文:\t0,\n数字:\t1,\n空格:\t1。");
    EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_OK);
    EXPECT_FALSE(doc.modified);
}

TEST_F(StatisticsTest, WithWordWrapEveryDisplayedRowCountsAsALine) {
    std::string text;
    for (int i = 0; i < 150; ++i) text += "中";
    setDocument({text});
    const long long unwrapped = countStatistics().lines;
    dispatchCommand(CMD_TOGGLE_WRAP, 0);
    const TextStatistics wrapped = countStatistics();
    EXPECT_EQ(unwrapped, 1);
    EXPECT_GT(wrapped.lines, 1);
    EXPECT_EQ(wrapped.lines, lineCount());
    EXPECT_EQ(wrapped.characters, 150);
}

// ==== Sums ====

TEST_F(StatisticsTest, SumReadsRunsOfSelectedDigitsAndDots) {
    struct Case {
        const char* name;
        Lines lines;
        int fromLine, fromCol, toLine, toCol;  // the selection, both ends included
        int count;
        double sum;
    };
    const Case cases[] = {
        {"numbers among words and lines", {"1.5 and 2", "x3"}, 0, 0, 1, 1, 3, 6.5},
        {"no digits", {"abc"}, 0, 0, 0, 2, 0, 0.0},
        {"signs are not read; a leading dot starts nothing", {"-5 .5"}, 0, 0, 0, 4, 2, 10.0},
        {"atof reads the valid front", {"1.2.3"}, 0, 0, 0, 4, 1, 1.2},
        {"only selected digits, ending where the digits end", {"12345 6"}, 0, 1, 0, 2, 1, 23.0},
        {"a number never continues onto the next line", {"12", "34"}, 0, 0, 1, 1, 2, 46.0},
        {"a second byte that looks like a digit is no digit", {"\x81\x35" "7"}, 0, 0, 0, 2, 1, 7.0},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        selectSpan(c.fromLine, c.fromCol, c.toLine, c.toCol);
        const NumberSum total = sumSelectedNumbers();
        EXPECT_EQ(total.count, c.count) << c.name;
        EXPECT_DOUBLE_EQ(total.sum, c.sum) << c.name;
    }
}

TEST_F(StatisticsTest, ANumberLongerThanTenThousandDigitsIsReadWhole) {
    // Cut at 10,239 characters the number would read as 0.
    setDocument({std::string(10300, '0') + "7"});
    selectSpan(0, 0, 0, 10300);
    const NumberSum total = sumSelectedNumbers();
    EXPECT_EQ(total.count, 1);
    EXPECT_DOUBLE_EQ(total.sum, 7.0);
}

TEST_F(StatisticsTest, CtrlJPastesTheSumReportAtTheCaretThroughTheClipboard) {
    setDocument({"1.5 and 2", "x3"});
    setClipboard("old");
    selectSpan(0, 0, 1, 1);
    pressCtrl('J');
    EXPECT_EQ(fake().clipboard, " 共3个数字, 累加和：6.50 ");
    EXPECT_EQ(documentLines(), (Lines{"1.5 and 2", "x 共3个数字, 累加和：6.50 3"}));
    EXPECT_TRUE(doc.modified);

    setDocument({"abc"});
    selectSpan(0, 0, 0, 2);
    sumNumbers();
    EXPECT_EQ(fake().clipboard, " 共0个数字, 累加和：0.00 ");

    fake().clipboardRefuses = true;  // the old text must not be pasted in its place
    sumNumbers();
    EXPECT_EQ(documentLines(), (Lines{"ab 共0个数字, 累加和：0.00 c"}));
}

// ==== Data column ====

TEST_F(StatisticsTest, DataColumnCopiesTheCaretsFieldOfEachSelectedLine) {
    struct Case {
        const char* name;
        Lines lines;
        int caretCol;  // in line 0; lines 0 to 2 are selected
        std::string expected;
    };
    const Case cases[] = {
        {"second tab field, an empty line for a line without it", {"a\tb\tc", "d\te", "f"}, 2, "b\r\ne\r\n\r\n"},
        {"first field", {"a\tb", "c\td", "e"}, 0, "a\r\nc\r\ne\r\n"},
        {"without a separator the lines are copied whole", {"abc", "d,e", "f g"}, 1, "abc\r\nd,e\r\nf g\r\n"},
        {"a tab is preferred over commas", {"a,b\tc", "d,e\tf", "g"}, 4, "c\r\nf\r\n\r\n"},
        {"a colon is preferred over semicolons", {"1;2:3", "4;5:6", "7"}, 4, "3\r\n6\r\n\r\n"},
        {"a second byte like a comma separates nothing", {"\x81,a,b", "c,d", "e"}, 4, "b\r\nd\r\n\r\n"},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        selectSpan(0, 0, 2, 0);
        putCaret(0, c.caretCol);
        pressCtrl('D');
        EXPECT_EQ(fake().clipboard, c.expected) << c.name;
        EXPECT_EQ(documentLines(), c.lines) << c.name;
        EXPECT_FALSE(doc.modified) << c.name;
    }
}
