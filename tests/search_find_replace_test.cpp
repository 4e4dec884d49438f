// The find and replace driver: seeding, Find next from the dialogs, Find again, Replace,
// Replace all and the messages, driven through the commands and the dialog notification.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/recorder.h"
#include "document/gbk.h"
#include "document/undo_ring.h"
#include "edit/caret_moves.h"
#include "edit/undo_redo.h"
#include "search/find_replace.h"
#include "search/replace_template.h"
#include "search/wildcard.h"
#include "support/editing_driver.h"
#include "view/active_window.h"

namespace {

class FindReplaceTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        findState = FindState{};
        freeCaptures();
    }
    void TearDown() override {
        findState = FindState{};
        freeCaptures();
        EditingTest::TearDown();
    }
};

// The dialog reports its flags and texts, then notifies the main window.
void notify(uint32_t flags, const std::string& findText, const std::string& replaceText = "") {
    fake().findDialogReport = platform::FindDialogReport{flags, findText, replaceText};
    handleMessage(MSG_FIND_REPLACE_NOTIFY, 0, 0);
    if (flags & FR_DIALOGTERM) fake().findDialog = nullptr;  // the dialog ends itself after saying so
}

// The selection as (start line, start col, end line, end col), or all -1 when none.
std::vector<int> selection() {
    if (doc.selStartLine == nullptr) return {-1, -1, -1, -1};
    return {lineIndex(doc.selStartLine), doc.selStartCol, lineIndex(doc.selEndLine), doc.selEndCol};
}

std::vector<int> selectedLines() {
    std::vector<int> lines;
    int index = 0;
    for (const LineNode* line = doc.head; line; line = line->next, ++index)
        if (line->flags & LN_SELECTED) lines.push_back(index);
    return lines;
}

const ShownMessageBox& lastBox() { return fake().messageBoxes.back(); }

// The flags a dialog reports: the bits it was opened with, its action bits replaced by the
// one of the button pressed (the Replace dialog's FR_REPLACE among them).
constexpr uint32_t REPORT = FIND_DIALOG_FLAGS;

}  // namespace

// ==== Seeding the find text ====

TEST_F(FindReplaceTest, TheSelectionSeedsTheFindTextWithTabsAndHardBreaksWrittenAsEscapes) {
    struct Case {
        std::vector<std::string> lines;
        int line1, col1, line2, col2;  // the selection, both ends included
        const char* seeded;
    } cases[] = {
        {{"a\tb", "c"}, 0, 0, 0, 3, "a\\tb\\n"},
        {{"x\\ny", ""}, 0, 0, 0, 3, "x\\ny"},              // a backslash stays as it is
        {{"中文字", "后"}, 0, 2, 1, 1, "文字\\n后"},
        {{"ab", "cd"}, 0, 1, 1, 0, "b\\nc"},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        selectSpan(c.line1, c.col1, c.line2, c.col2);
        seedFindText();
        EXPECT_STREQ(findState.findText, c.seeded) << c.seeded;
    }
    // A soft return joins the parts of a wrapped line: nothing is written for it.
    setDocument({"ab", "cd"});
    doc.head->flags &= ~LN_HARD_RETURN;
    selectSpan(0, 0, 1, 1);
    seedFindText();
    EXPECT_STREQ(findState.findText, "abcd");
    // Without a selection the old find text stays.
    clearSelection();
    seedFindText();
    EXPECT_STREQ(findState.findText, "abcd");
}

TEST_F(FindReplaceTest, SeedingStopsBeforeTheBufferFillsAndNeverCutsACharacter) {
    setDocument({std::string(FIND_TEXT_SIZE - 3, 'a') + "中文"});
    selectSpan(0, 0, 0, FIND_TEXT_SIZE);
    seedFindText();
    // Every byte the dialog accepts is kept (FIND_TEXT_SIZE - 1): 中 fits, 文 would not.
    EXPECT_EQ(std::strlen(findState.findText), static_cast<size_t>(FIND_TEXT_SIZE - 1));
}

// ==== Opening and closing the dialogs ====

TEST_F(FindReplaceTest, OpeningADialogFillsTheRecordOnceAndTakesTheKeys) {
    setDocument({"abc"});
    findState.idCounter = 7;
    dispatchCommand(CMD_FIND, 0);
    ASSERT_EQ(fake().findDialogsCreated.size(), 1u);
    EXPECT_FALSE(fake().findDialogsCreated[0].replace);
    EXPECT_EQ(fake().findDialogsCreated[0].flags, 0x10401u);
    EXPECT_EQ(findState.findTextPointer, findState.findText);
    EXPECT_EQ(findState.replaceTextPointer, nullptr);
    EXPECT_EQ(activeWindow, ACTIVE_FIND);
    EXPECT_EQ(findState.replaceMode, 0);
    EXPECT_EQ(findState.idCounter, 7);
    EXPECT_FALSE(fake().caretExists);
    dispatchCommand(CMD_REPLACE, 0);  // one dialog at a time
    EXPECT_EQ(fake().findDialogsCreated.size(), 1u);

    notify(REPORT | FR_DIALOGTERM, "abc");
    EXPECT_EQ(findState.findDialog, nullptr);
    EXPECT_EQ(activeWindow, ACTIVE_NONE);
    EXPECT_TRUE(fake().hasFocus);
    EXPECT_TRUE(fake().caretExists);

    findState.found = 1;
    dispatchCommand(CMD_REPLACE, 0);
    ASSERT_EQ(fake().findDialogsCreated.size(), 2u);
    EXPECT_TRUE(fake().findDialogsCreated[1].replace);
    EXPECT_EQ(fake().findDialogsCreated[1].flags, 0x10411u);
    EXPECT_EQ(fake().findDialogsCreated[1].findText, "abc");
    EXPECT_EQ(findState.replaceMode, 1);
    EXPECT_EQ(findState.idCounter, 0);
    EXPECT_EQ(findState.found, 0);
}

TEST_F(FindReplaceTest, ADialogWhoseWindowVanishedWithoutClosingNoticeDoesNotBlockTheNext) {
    for (const int command : {CMD_FIND, CMD_REPLACE}) {
        setDocument({"abc"});
        findState = FindState{};
        fake().findDialogsCreated.clear();
        dispatchCommand(CMD_FIND, 0);
        fake().findDialog = nullptr;  // gone, and no FR_DIALOGTERM reached the core
        dispatchCommand(command, 0);
        ASSERT_EQ(fake().findDialogsCreated.size(), 2u) << command;
        EXPECT_EQ(fake().findDialogsCreated[1].replace, command == CMD_REPLACE);
        EXPECT_EQ(findState.findDialog, fake().findDialog);
        EXPECT_EQ(activeWindow, ACTIVE_FIND);
        EXPECT_EQ(findState.replaceMode, command == CMD_REPLACE ? 1 : 0);
    }
}

TEST_F(FindReplaceTest, FindNextFromTheDialogStepsRightFirstAndClosesOnlyTheFindDialog) {
    setDocument({"abab ab"});
    dispatchCommand(CMD_FIND, 0);
    notify(REPORT | FR_FINDNEXT, "ab");
    // The match at the caret is stepped over; the next one is selected, the dialog closes.
    EXPECT_EQ(caretAt(), std::make_pair(0, 2));
    EXPECT_EQ(selection(), (std::vector<int>{0, 2, 0, 3}));
    EXPECT_EQ(fake().findDialogsDestroyed, 1);
    EXPECT_EQ(findState.findDialog, nullptr);
    EXPECT_EQ(activeWindow, ACTIVE_NONE);
    EXPECT_TRUE(fake().hasFocus);

    dispatchCommand(CMD_REPLACE, 0);
    notify(REPORT | FR_FINDNEXT, "ab");
    EXPECT_EQ(caretAt(), std::make_pair(0, 5));
    EXPECT_NE(findState.findDialog, nullptr);  // the Replace dialog stays
    EXPECT_EQ(activeWindow, ACTIVE_FIND);
    // A miss while the Replace dialog is open says nothing.
    notify(REPORT | FR_FINDNEXT, "ab");
    EXPECT_TRUE(fake().messageBoxes.empty());
    EXPECT_EQ(caretAt(), std::make_pair(0, 6));

    // After a replace-all the Replace dialog behaves like the Find dialog.
    putCaret(0, 0);
    notify(REPORT | FR_REPLACEALL, "zz", "");
    EXPECT_EQ(findState.replaceMode, 0);
    notify(REPORT | FR_FINDNEXT, "ab");
    EXPECT_EQ(findState.findDialog, nullptr);
}

// ==== Which engine searches ====

TEST_F(FindReplaceTest, OnlyATextWrittenSlashExprSlashGAfterTrimmingIsARegularExpression) {
    struct Case {
        const char* findText;
        const char* line;
        int col;  // where the match starts, -1 for none
    } cases[] = {
        {" /ab+/g", "xabbby", 1},   // leading space trimmed: the regular-expression engine
        {"/ab+/g\t ", "xabbby", 1},
        {"/ab+/", "x/ab+/", 1},     // no "g": a wildcard pattern, matched literally
        {"/ab+/gi", "/ab+/gi", 0},
        {"/ab+/gi", "xabbby", -1},
        {"ab ", "ab ab", 0},        // trailing blanks are searched for by the wildcards
        {"ab ", "xab", -1},
        {"/AB/g", "ab", -1},        // the match-case choice does not reach the regex engine
    };
    for (const Case& c : cases) {
        setDocument({c.line});
        std::strcpy(findState.findText, c.findText);
        findState.findTextPointer = findState.findText;
        const bool found = findNext(false);
        EXPECT_EQ(found, c.col >= 0) << c.findText;
        if (found) {
            EXPECT_EQ(doc.caretCol, c.col) << c.findText;
        }
    }
}

// ==== Find again and the key-sequence player ====

TEST_F(FindReplaceTest, FindAgainOpensTheDialogFirstThenStepsOnAndSetsTheStopRequest) {
    setDocument({"ab ab"});
    pressCtrl('R');
    EXPECT_EQ(fake().findDialogsCreated.size(), 1u);  // nothing to search for yet
    EXPECT_TRUE(fake().messageBoxes.empty());
    notify(REPORT | FR_DIALOGTERM, "ab");

    recorder.stopRequest = true;
    press(VKEY_ESCAPE);
    pressCtrl('R');  // not after a find: the match at the caret counts
    EXPECT_EQ(caretAt(), std::make_pair(0, 0));
    EXPECT_FALSE(recorder.stopRequest);
    pressCtrl('R');  // after a find: one step on first
    EXPECT_EQ(caretAt(), std::make_pair(0, 3));
    pressCtrl('R');
    EXPECT_TRUE(recorder.stopRequest);
    EXPECT_EQ(caretAt(), std::make_pair(0, 4));  // only the step moved it
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(lastBox().text, "未找到字串 \"ab\"。");
    EXPECT_EQ(lastBox().caption, "搜索");
    EXPECT_EQ(lastBox().flags, platform::BOX_ICON_WARNING);
    EXPECT_FALSE(lastBox().ownedByFindDialog);
}

TEST_F(FindReplaceTest, FindAgainUsesTheMatchCaseTheDialogLastReported) {
    setDocument({"ABC abc"});
    dispatchCommand(CMD_FIND, 0);
    notify(REPORT | FR_MATCHCASE | FR_FINDNEXT, "abc");
    EXPECT_EQ(caretAt(), std::make_pair(0, 4));
    putCaret(0, 0);
    dispatchCommand(CMD_QUICK_LETTERS, 0);  // any other command in between
    putCaret(0, 0);
    pressCtrl('R');
    EXPECT_EQ(caretAt(), std::make_pair(0, 4));
}

// ==== Messages ====

TEST_F(FindReplaceTest, MessagesQuoteLongTextsShortenedAtACharacterBoundary) {
    const std::string chinese = [] {
        std::string s;
        for (int i = 0; i < 150; ++i) s += "字";
        return s;
    }();
    for (const std::string& text : {std::string(300, 'a'), chinese, "a" + chinese}) {
        for (const std::string& message :
             {notFoundMessage(text.c_str()), absentMessage(text.c_str()),
              replaceAllMessage(text.c_str(), text.c_str(), 123456), replaceAllMessage("ab", text.c_str(), 1),
              replaceAllMessage(text.c_str(), "", 0)}) {
            EXPECT_LE(message.size(), static_cast<size_t>(MESSAGE_TEXT_SIZE - 1));
            EXPECT_NE(message.find("…"), std::string::npos) << message;
            // Read from its start, the message is whole characters up to its end.
            int col = 0;
            while (col < static_cast<int>(message.size())) col = stepRight(message.c_str(), col);
            EXPECT_EQ(col, static_cast<int>(message.size()));
        }
    }
    EXPECT_EQ(replaceAllMessage("a", "b", 3), "查找\"a\",\n替换为\"b\",\n共完成3次。");
    EXPECT_NE(replaceAllMessage(std::string(300, 'a').c_str(), "b", 123456).find("替换为\"b\",\n共完成123456次。"),
              std::string::npos);
    EXPECT_EQ(absentMessage("x"), "现\"x\"不存在。");
    EXPECT_EQ(fitForMessage("中文", 3), "…");
    EXPECT_EQ(fitForMessage("中文字", 5), "中…");
    EXPECT_EQ(fitForMessage("a中文", 4), "a…");
    EXPECT_EQ(fitForMessage("中文", 4), "中文");
}

TEST_F(FindReplaceTest, ANotificationWithoutAKnownRequestSaysTheTextIsAbsent) {
    setDocument({"abc"});
    dispatchCommand(CMD_FIND, 0);
    notify(REPORT, "q");
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(lastBox().text, "现\"q\"不存在。");
    EXPECT_EQ(lastBox().caption, "执行结果");
    EXPECT_TRUE(lastBox().ownedByFindDialog);
}

// ==== Replace and Replace all ====

TEST_F(FindReplaceTest, ReplaceWithoutAMatchFindsFirstThenReplacesAndMovesOn) {
    setDocument({"a1 a2 a3"});
    dispatchCommand(CMD_REPLACE, 0);
    notify(REPORT | FR_REPLACE, "a", "b");
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"a1 a2 a3"}));
    EXPECT_EQ(caretAt(), std::make_pair(0, 3));  // the first Right move stepped over "a1"
    notify(REPORT | FR_REPLACE, "a", "b");
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"a1 b2 a3"}));
    EXPECT_EQ(caretAt(), std::make_pair(0, 6));
    EXPECT_EQ(fake().clipboard, "b");
}

TEST_F(FindReplaceTest, ReplaceAllCoversTheCaretToTheEndAndReportsTheCount) {
    struct Case {
        std::vector<std::string> lines;
        int caretLine, caretCol;
        const char *findText, *templ;
        std::vector<std::string> result;
        int count;
    } cases[] = {
        {{"2024年5月", "x 1999年12月"}, 0, 0, "\\N1年\\N2月", "\\N2/\\N1", {"5/2024", "x 12/1999"}, 2},
        {{"ab ab", "ab"}, 0, 1, "ab", "", {"ab ", ""}, 2},
        {{"ab ab"}, 0, 0, "zz", "", {"ab ab"}, 0},
        {{"a,b;c", "d.e"}, 0, 0, "\\S", "(\\S)", {"a(,)b;c", "d(.)e"}, 2},
        {{"aaa"}, 0, 0, "a", "aa", {"aaaaaa"}, 3},
        {{"ab", "cd"}, 0, 0, "\\n", "> ", {"> ab", "> cd"}, 2},
        {{"ab", "cd"}, 0, 0, "\\n", "", {"ab", "cd"}, 0},  // empty matches replaced by nothing: none counted
        // "\n" also matches the two bytes "\n" (the literal rule); those are replaced whole.
        {{"x\\ny", "z"}, 0, 0, "\\n", "#", {"#x#y", "#z"}, 3},
        // A line break put in before a line start: the search goes on after that start,
        // so the loop ends (a break that replaced "\N" makes a new line start).
        {{"x\\Ny", "z"}, 0, 0, "\\n", "\\n", {"", "x", "", "y", "", "z"}, 4},
        {{"1", "2"}, 0, 0, "\\n", "ab\\n", {"ab", "1", "ab", "2"}, 2},
        {{"abc", "x"}, 0, 0, "/z*/g", "", {"abc", "x"}, 0},
        {{"ab"}, 0, 0, "/z*/g", "-", {"-a-b-"}, 3},
        {{"第1条 第2条"}, 0, 0, "第\\N条", "\\ID", {"1 2"}, 2},
    };
    for (const Case& c : cases) {
        resetCore();
        findState = FindState{};
        setDocument(c.lines);
        dispatchCommand(CMD_REPLACE, 0);
        putCaret(c.caretLine, c.caretCol);
        notify(REPORT | FR_REPLACEALL, c.findText, c.templ);
        EXPECT_EQ(documentLines(), c.result) << c.findText;
        ASSERT_EQ(fake().messageBoxes.size(), 1u) << c.findText;
        EXPECT_EQ(lastBox().caption, "全部替换结果");
        EXPECT_EQ(lastBox().text, replaceAllMessage(c.findText, c.templ, c.count));
        EXPECT_TRUE(lastBox().ownedByFindDialog);
        EXPECT_EQ(findState.replaceMode, 0);
        EXPECT_EQ(documentInvariantViolation(), "") << c.findText;
    }
}

// The replace-all loop as the dialog's buttons would run it, one visible replacement at
// a time, to compare the quick loop against.
void replaceAllStepByStep(bool templateEmpty) {
    findState.replaceMode = 1;
    for (bool first = true;; first = false) {
        if (!first && !templateEmpty) moveCaretRight();
        if (!findNext(false)) break;
        replaceCurrentMatch();
        findState.found = 0;
    }
    findState.replaceMode = 0;
}

struct Snapshot {
    std::vector<std::string> lines;
    std::pair<int, int> caret;
    std::vector<int> selection, selectedLines;
    std::string clipboard;
    int topLine;
    bool operator==(const Snapshot& o) const {
        return lines == o.lines && caret == o.caret && selection == o.selection && selectedLines == o.selectedLines &&
               clipboard == o.clipboard && topLine == o.topLine;
    }
};

Snapshot snapshot() {
    return {documentLines(), caretAt(), selection(), selectedLines(), fake().clipboard, lineIndex(doc.topLine)};
}

// Undoes until the lines stop changing; returns the lines reached.
std::vector<std::string> undoEverything() {
    std::vector<std::string> lines = documentLines();
    for (int unchanged = 0, i = 0; unchanged < 4 && i < 400; ++i) {
        dispatchCommand(CMD_UNDO, 0);
        const std::vector<std::string> now = documentLines();
        unchanged = now == lines ? unchanged + 1 : 0;
        lines = now;
    }
    return lines;
}

TEST_F(FindReplaceTest, TheQuickReplaceAllEndsExactlyAsReplacingOneMatchAtATime) {
    std::mt19937 random(20261207);
    const char* pieces[] = {"ab", "a", "中", "文", "1", "22", " ", "\t", "x"};
    // Matches that take bytes only: replacing an empty one a match at a time never ends.
    const char* patterns[] = {"ab", "a", "中文", "\\N", "\\C", "a\\nb", "\\~", "\\?", "/a+/g", "x\\n"};
    const char* templates[] = {"", "Z", "中", "[\\~]", "\\N-\\ID", "a\\nb", "\\C\\C"};
    for (int round = 0; round < 150; ++round) {
        std::vector<std::string> lines(1 + random() % 6);
        for (std::string& line : lines)
            for (int n = random() % 7; n > 0; --n) line += pieces[random() % (sizeof pieces / sizeof *pieces)];
        const char* pattern = patterns[random() % (sizeof patterns / sizeof *patterns)];
        const char* templ = templates[random() % (sizeof templates / sizeof *templates)];
        const int caretLine = static_cast<int>(random() % lines.size());

        Snapshot results[2];
        std::vector<std::string> undone[2];
        for (int quick = 0; quick < 2; ++quick) {
            resetCore();
            findState = FindState{};
            freeCaptures();
            setDocument(lines);
            dispatchCommand(CMD_REPLACE, 0);
            putCaret(caretLine, 0);
            if (quick) {
                notify(REPORT | FR_REPLACEALL, pattern, templ);
            } else {
                std::strcpy(findState.findText, pattern);
                std::strcpy(findState.replaceText, templ);
                replaceAllStepByStep(templ[0] == '\0');
            }
            results[quick] = snapshot();
            EXPECT_EQ(documentInvariantViolation(), "");
            undone[quick] = undoEverything();
        }
        const std::string what = std::string(pattern) + " -> " + templ + " on round " + std::to_string(round);
        EXPECT_TRUE(results[0] == results[1]) << what;
        EXPECT_EQ(results[0].lines, results[1].lines) << what;
        EXPECT_EQ(results[0].caret, results[1].caret) << what;
        EXPECT_EQ(undone[0], undone[1]) << what;
        EXPECT_EQ(undone[1], lines) << what;
    }
}

TEST_F(FindReplaceTest, ReplaceAllWritesTheClipboardAndTheTitleOnceAndIsUndoneInOneStep) {
    setDocument({"aXa", "a"});
    dispatchCommand(CMD_REPLACE, 0);
    const size_t titlesBefore = fake().titles.size();
    notify(REPORT | FR_REPLACEALL, "a", "\\ID");
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"1X2", "3"}));
    EXPECT_EQ(fake().clipboard, "3");
    EXPECT_EQ(fake().titles.size() - titlesBefore, 1u);
    EXPECT_TRUE(fake().hasFocus);
    dispatchCommand(CMD_UNDO, 0);
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"aXa", "a"}));
    EXPECT_EQ(fake().clipboard, "3");  // undoing a command leaves the clipboard alone
    dispatchCommand(CMD_REDO, 0);
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"1X2", "3"}));
}

// ==== What the dialog accepts, what a malformed expression says, what the tidy-up lends ====

TEST_F(FindReplaceTest, EveryAcceptedByteIsSearchedAndAMalformedExpressionSaysWhatIsWrong) {
    // The dialog takes FIND_TEXT_SIZE - 1 bytes: the last one counts in the search too.
    const std::string longest(FIND_TEXT_SIZE - 1, 'a');
    setDocument({longest + "b", longest});
    dispatchCommand(CMD_FIND, 0);
    notify(REPORT | FR_FINDNEXT, longest.substr(1) + "b");
    EXPECT_EQ(selection(), (std::vector<int>{0, 1, 0, FIND_TEXT_SIZE - 1}));

    const struct {
        const char* expression;
        RegexProblem problem;
        uint32_t button;
    } malformed[] = {{"/(ab/g", RegexProblem::UnbalancedBrackets, FR_FINDNEXT},
                     {"/a{40000}/g", RegexProblem::CountTooLarge, FR_REPLACEALL},
                     {"/a]b[/g", RegexProblem::UnclosedClass, FR_FINDNEXT}};
    for (const auto& c : malformed) {
        fake().messageBoxes.clear();
        dispatchCommand(CMD_REPLACE, 0);
        notify(REPORT | c.button, c.expression, "x");
        ASSERT_EQ(fake().messageBoxes.size(), 1u) << c.expression;
        EXPECT_EQ(lastBox().caption, "搜索");
        EXPECT_EQ(lastBox().text, malformedExpressionMessage(c.expression, c.problem));
        EXPECT_EQ(documentLines()[1], longest);
    }
}

TEST_F(FindReplaceTest, TheTidyUpGivesTheOpenDialogItsTextsBack) {
    setDocument({"    abc 1", "    abc 2"});  // two paragraphs, whose indentation the tidy-up strips
    dispatchCommand(CMD_REPLACE, 0);
    notify(REPORT | FR_FINDNEXT, "abc", "x");
    fake().messageBoxAnswers = {platform::ANSWER_YES, platform::ANSWER_NO};
    dispatchCommand(CMD_TIDY_STATEMENT, 0);
    EXPECT_EQ(findState.findTextPointer, findState.findText);
    EXPECT_EQ(findState.replaceTextPointer, findState.replaceText);
    EXPECT_EQ(findState.replaceMode, 1);  // the Replace dialog is still open
    putCaret(0, 0);
    notify(REPORT | FR_REPLACEALL, "abc", "x");
    EXPECT_EQ(lastBox().text, replaceAllMessage("abc", "x", 2));
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"x 1", "x 2"}));
}

TEST_F(FindReplaceTest, AReplaceAllAndTheTidyUpStopAKeySequenceAsTheFailedFindThatEndsThemDoes) {
    setDocument({"ab"});
    dispatchCommand(CMD_REPLACE, 0);
    recorder.stopRequest = 0;
    notify(REPORT | FR_REPLACEALL, "a", "x");
    EXPECT_TRUE(recorder.stopRequest);
    notify(REPORT | FR_DIALOGTERM, "a", "x");
    for (const bool ran : {true, false}) {
        recorder.stopRequest = 0;
        fake().messageBoxAnswers = {ran ? platform::ANSWER_YES : platform::ANSWER_NO, platform::ANSWER_NO};
        dispatchCommand(CMD_TIDY_STATEMENT, 0);
        EXPECT_EQ(recorder.stopRequest != 0, ran);
    }
}
