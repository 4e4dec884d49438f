// Word wrap by soft returns: where lines break, when they join, and where the caret and
// the top line end up.
#include <string>
#include <vector>

#include "edit/editing.h"
#include "edit/undo_redo.h"
#include "support/test_document.h"
#include "view/layout.h"
#include "view/view_state.h"
#include "edit/reflow.h"

namespace {

class ReflowTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        initStyles();
        view.wrapMode = 1;
        view.clientWidth = 175;  // lines may grow to 120 pixels: ten single bytes
        view.clientHeight = 240;
    }
    // Builds the document, clearing the hard return of the lines marked soft.
    void setLines(const std::vector<std::string>& lines, const std::vector<bool>& soft = {}) {
        setDocument(lines);
        for (size_t i = 0; i < soft.size(); ++i)
            if (soft[i]) lineAt(static_cast<int>(i))->flags &= ~LN_HARD_RETURN;
    }
    std::vector<bool> hardReturns() {
        std::vector<bool> flags;
        for (const LineNode* line = doc.head; line; line = line->next) flags.push_back(line->flags & LN_HARD_RETURN);
        return flags;
    }
};

}  // namespace

TEST_F(ReflowTest, LongLinesBreakOnlyWhereABreakIsAllowed) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"一二三四五六，七八", {"一二三四五六，", "七八"}},  // never before "，"
        {"aaaaaaaaaaa!b", {"aaaaaaaaaaa!", "b"}},
        {"ab cd ef gh ij", {"ab cd ef gh", " ij"}},
        {"1234567890 123456789012345", {"1234567890 ", "123456789012345"}},  // digits stay together
        {"abcdefghijklmnop", {"abcdefghijklmnop"}},                          // so do letters
        {"aaaaaaaaaa", {"aaaaaaaaaa"}},                                      // exactly the width fits
        {"中文中文中文", {"中文中文中文"}},                                    // nothing after the crossing
        {"中文中文中文中文", {"中文中文中文", "中文"}},
        {"中文中文a學ab", {"中文中文a學", "ab"}},  // 學 (8C 57) is no letter "W" before ab
    };
    for (const Case& c : cases) {
        setLines({c.text});
        const int count = reflow(doc.head, false, true);
        EXPECT_EQ(documentLines(), c.lines) << c.text;
        EXPECT_EQ(count, static_cast<int>(c.lines.size()) - 1) << c.text;
        std::vector<bool> hard(c.lines.size(), false);
        hard.back() = true;
        EXPECT_EQ(hardReturns(), hard) << c.text;
    }
}

TEST_F(ReflowTest, ShortSoftLinesJoinUpToTheEndOfTheParagraph) {
    setLines({"ab", "cd", "ef", "gh", "ij"}, {true, true, false, true});
    doc.caretLine = lineAt(1);
    doc.caretCol = 1;  // between c and d
    EXPECT_EQ(reflow(doc.head, false, true), 2);
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"abcdef", "gh", "ij"}));
    EXPECT_EQ(doc.caretLine, doc.head);
    EXPECT_EQ(doc.caretCol, 3);

    EXPECT_EQ(reflow(doc.head, true, true), 1);  // the whole document: joins count, breaks do not
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"abcdef", "ghij"}));

    setLines({"aaaa", "bb cc dd ee"}, {true});
    EXPECT_EQ(reflow(doc.head, false, true), 2);  // joined, then broken again further on
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"aaaabb cc dd", " ee"}));
}

TEST_F(ReflowTest, WithoutWidthOnlySoftLinesAreJoined) {
    setLines({"aaaaaaaaaa bbbbb", "cc", "dd"}, {true});
    EXPECT_EQ(reflow(doc.head, true, false), 1);
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"aaaaaaaaaa bbbbbcc", "dd"}));
}

TEST_F(ReflowTest, NothingHappensWithWrapOffOrWhileAReflowRuns) {
    setLines({"ab cd ef gh ij"});
    view.wrapMode = 0;
    EXPECT_EQ(reflow(doc.head, true, true), 0);
    view.wrapMode = 1;
    view.reflowBusy = 1;
    EXPECT_EQ(reflow(doc.head, true, true), 0);
    view.reflowBusy = 0;
    view.clientWidth = 0;  // no window size yet: not one character per line
    EXPECT_EQ(reflow(doc.head, true, true), 0);
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"ab cd ef gh ij"}));
}

// The caret keeps its place in the text, however many soft breaks are made or removed
// before it, and a whole-document reflow keeps it on the same screen row.
TEST_F(ReflowTest, TheCaretKeepsItsCharacterAndItsRow) {
    const std::string paragraph = "aa bb cc dd ee ff";  // wraps before " ee ff"
    setLines(std::vector<std::string>(6, paragraph));
    doc.topLine = lineAt(2);
    doc.caretLine = lineAt(4);
    doc.caretCol = 15;  // before the first f
    reflow(doc.head, true, true);
    ASSERT_EQ(documentLines().size(), 12u);
    EXPECT_EQ(lineIndex(doc.caretLine), 9);
    EXPECT_EQ(doc.caretCol, 4);
    EXPECT_EQ(std::string(doc.caretLine->text + doc.caretCol), "ff");
    EXPECT_EQ(lineIndex(doc.topLine), 7);  // still two rows above the caret
}

TEST_F(ReflowTest, TypingPastTheMarginWrapsAndTheCaretFollowsTheTypedCharacter) {
    setLines({"aaaaaaaaaa"});
    doc.caretCol = 10;
    for (char c : std::string(" bcd")) typeChar(c, true);
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"aaaaaaaaaa ", "bcd"}));
    EXPECT_EQ(doc.caretLine, lineAt(1));
    EXPECT_EQ(doc.caretCol, 3);
}

// A line of tens of kilobytes is wrapped through a window that moves along it; each of
// its rows must be the row that wrapping the text from that row's start gives on a short
// line, no byte may be lost or moved, and undo must give the one line back.
TEST_F(ReflowTest, AVeryLongLineWrapsAsItsRowsDoOnShortLines) {
    // Pieces that break, refuse breaks (digits, letters, "，"), and hold tabs.
    const char* const pieces[] = {"中文", "ab cd ", "12345", "，", "abcdefghijklmnopqrstuvwxyz", " ", "\t",
                                  "!", "學ab", "全角。", "x"};
    uint32_t seed = 12345;
    std::string longLine;
    while (longLine.size() < 120000) {
        seed = seed * 1103515245u + 12345u;
        longLine += pieces[(seed >> 16) % (sizeof pieces / sizeof pieces[0])];
    }
    const std::string letters(30000, 'q');
    const std::string cases[] = {longLine, letters, letters + " x"};
    for (const std::string& text : cases) {
        for (const int width : {175, 187, 199, 1300}) {
            view.clientWidth = width;
            setLines({text});
            reflow(doc.head, false, true);
            const std::vector<std::string> rows = documentLines();
            std::string joined;
            for (const std::string& row : rows) joined += row;
            ASSERT_EQ(joined, text) << width;
            std::vector<bool> hard(rows.size(), false);
            hard.back() = true;
            EXPECT_EQ(hardReturns(), hard) << width;
            EXPECT_EQ(documentInvariantViolation(), "");
            if (rows.size() < 900) {  // within the undo ring
                for (size_t i = 1; i < rows.size(); ++i) undo();
                EXPECT_EQ(documentLines(), std::vector<std::string>{text}) << width;
            }
            for (size_t i = 0; i + 1 < rows.size(); ++i) {
                const std::string alone = rows[i] + rows[i + 1] + (i + 2 < rows.size() ? rows[i + 2] : "");
                setLines({alone});
                reflow(doc.head, false, true);
                ASSERT_EQ(documentLines()[0], rows[i]) << "row " << i << " at width " << width;
            }
        }
    }
}
