// The command dispatcher, the line commands it carries out itself (deletion with the
// deleted-line buffer, bookmarks, the view switches) and the context menu.
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/line_commands.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "platform/virtual_keys.h"
#include "support/editing_driver.h"
#include "support/test_document.h"
#include "view/view_state.h"

namespace {

using Lines = std::vector<std::string>;

// Every command ID of the menu, the context menu and Ctrl+Q.
const int ALL_COMMANDS[] = {
    104,   105,   32772, 32773, 32774, 32775, 32776, 32778, 32779, 32780, 32783, 32784, 32785, 32786,
    32788, 32789, 32790, 32791, 32792, 32794, 32795, 32796, 32797, 32798, 32799, 32800, 32802, 32803,
    32804, 32805, 32808, 32811, 32812, 32813, 32814, 32815, 32816, 32817, 32818, 32819, 32820, 32821,
    32823, 32824, 32825, 32826, 32827, 32828, 32829, 32830, 32831, 32833, 32834, 32835, 32836, 32837,
    32838, 32839, 32841, 32842, 32844, 32845, 32846, 32847, 32849, 32850, 32851, 32852, 32854, 32856,
    32857, 32859, 32861, 32864, 32866, 32867, 32868, 32869, 32871,
};

// Everything the fake saw the core do to the system, as one number.
size_t observedEffects() {
    const FakePlatform& f = fake();
    return f.messageBoxes.size() + f.titles.size() + f.menuChecks.size() + f.quitCodes.size() +
           f.fileDialogs.size() + static_cast<size_t>(f.invalidations) + f.lastPopupMenu.size() +
           f.sounds.size() + f.messageWindows.size() + static_cast<size_t>(f.aboutBoxes) + f.timers.size() +
           (f.clipboardHasText ? 1 : 0) + (hasDocument() ? 1 : 0);
}

std::vector<int> popupIds() {
    std::vector<int> ids;
    for (const auto& item : fake().lastPopupMenu) ids.push_back(item.commandId);
    return ids;
}

class CommandsTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        view.clientWidth = 800;
        view.clientHeight = 600;
        fake().workingDirectory = testFolder();
    }
    // A document of these lines with the caret at (line, col).
    void open(const Lines& lines, int caretLine, int caretCol) {
        setDocument(lines);
        doc.caretLine = lineAt(caretLine);
        doc.caretCol = caretCol;
    }
    std::string buffer() const { return deletedLineBuffer ? deletedLineBuffer : "<null>"; }
};

}  // namespace

// ==== The dispatcher ====

TEST_F(CommandsTest, WithoutADocumentOnlyFiveCommandsActAndEveryOneIsRecorded) {
    for (int id : ALL_COMMANDS) {
        resetCore();
        fake().workingDirectory = testFolder();
        const size_t before = observedEffects();
        dispatchCommand(id, 0);
        EXPECT_EQ(latestEvent().message, MSG_COMMAND) << id;
        EXPECT_EQ(latestEvent().wParam, static_cast<uint32_t>(id));
        const bool acts = id == CMD_ABOUT || id == CMD_EXIT || id == CMD_NEW || id == CMD_OPEN || id == CMD_HELP_TEXT;
        EXPECT_EQ(observedEffects() != before, acts) << "command " << id;
    }
}

TEST_F(CommandsTest, CancelInTheSaveQuestionStopsExitCloseNewAndOpen) {
    for (int id : {CMD_EXIT, CMD_CLOSE, CMD_NEW, CMD_OPEN}) {
        open({"kept"}, 0, 0);
        doc.modified = 1;
        fake().messageBoxAnswers = {platform::ANSWER_CANCEL};
        dispatchCommand(id, 0);
        EXPECT_EQ(documentLines(), Lines{"kept"}) << id;
        EXPECT_TRUE(fake().quitCodes.empty() && fake().fileDialogs.empty()) << id;
    }
    fake().messageBoxAnswers = {platform::ANSWER_NO};
    dispatchCommand(CMD_EXIT, 0);
    EXPECT_FALSE(hasDocument());
    EXPECT_EQ(fake().quitCodes, std::vector<int>{0});
}

TEST_F(CommandsTest, IndentSplittingAlwaysLeavesWordWrapOnAndChecked) {
    open({"a"}, 0, 0);
    for (int round = 0; round < 2; ++round) {
        dispatchCommand(CMD_SPLIT_BY_INDENT, 0);
        EXPECT_EQ(view.wrapMode, 1);
        EXPECT_TRUE(fake().menuChecks[CMD_TOGGLE_WRAP]);
    }
}

TEST_F(CommandsTest, CommandsThatEndByBringingTheCaretIntoView) {
    const int commands[] = {CMD_SORT_CARET_COLUMN, CMD_SORT_DATA_COLUMN, CMD_FULL_TO_HALF, CMD_STYLE_BODY,
                            CMD_STYLE_NOTE, CMD_QUIZ};
    for (int id : commands) {
        open({"l0", "l1", "l2", "l3", "l4"}, 0, 0);
        doc.topLine = lineAt(3);  // the caret line lies above the window
        dispatchCommand(id, 0);
        EXPECT_LE(lineIndex(doc.topLine), lineIndex(doc.caretLine)) << "command " << id;
    }
}

TEST_F(CommandsTest, FindAgainStepsOffTheLastMatchOnlyStraightAfterAFind) {
    struct Case { int before; int caretColAfter; };
    const Case cases[] = {{CMD_FIND, 1}, {CMD_FIND_AGAIN, 1}, {CMD_SAVE, 0}};
    for (const Case& c : cases) {
        open({"abc"}, 0, 0);
        recordEvent(MSG_COMMAND, static_cast<uint32_t>(c.before), 0);
        dispatchCommand(CMD_FIND_AGAIN, 0);
        EXPECT_EQ(doc.caretCol, c.caretColAfter) << "after command " << c.before;
    }
}

// ==== Whole-line and half-line deletion ====

TEST_F(CommandsTest, DeletionCommands) {
    struct Case {
        const char* name;
        Lines lines;
        int caretLine, caretCol, command;
        Lines after;
        int caretLineAfter, caretColAfter;
        std::string bufferAfter;  // "<null>": still empty
    };
    const Case cases[] = {
        {"F9 on the only line", {"only"}, 0, 2, CMD_DELETE_LINE, {"only"}, 0, 2, "<null>"},
        {"F9 in the middle", {"a", "bb", "c"}, 1, 1, CMD_DELETE_LINE, {"a", "c"}, 1, 1, "bb"},
        {"F9 on the last line", {"a", "bb", "ccc"}, 2, 3, CMD_DELETE_LINE, {"a", "bb"}, 1, 2, "ccc"},
        {"F9 on the first line", {"x", "yy"}, 0, 0, CMD_DELETE_LINE, {"yy"}, 0, 0, "x"},
        {"Ctrl+Backspace at column 0", {"abc"}, 0, 0, CMD_DELETE_TO_LINE_START, {"abc"}, 0, 0, "<null>"},
        {"Ctrl+Backspace", {"abcdef"}, 0, 2, CMD_DELETE_TO_LINE_START, {"cdef"}, 0, 0, "ab"},
        {"Ctrl+Backspace, Chinese", {"中文a"}, 0, 4, CMD_DELETE_TO_LINE_START, {"a"}, 0, 0, "中文"},
        {"Ctrl+Delete at the end", {"abc"}, 0, 3, CMD_DELETE_TO_LINE_END, {"abc"}, 0, 3, "<null>"},
        {"Ctrl+Delete", {"abcdef"}, 0, 2, CMD_DELETE_TO_LINE_END, {"ab"}, 0, 2, "cdef"},
        {"Shift+F9, empty buffer", {"a"}, 0, 1, CMD_INSERT_DELETED_LINE, {"a"}, 0, 1, "<null>"},
    };
    for (const Case& c : cases) {
        freeDeletedLineBuffer();
        open(c.lines, c.caretLine, c.caretCol);
        dispatchCommand(c.command, 0);
        EXPECT_EQ(documentLines(), c.after) << c.name;
        EXPECT_EQ(lineIndex(doc.caretLine), c.caretLineAfter) << c.name;
        EXPECT_EQ(doc.caretCol, c.caretColAfter) << c.name;
        EXPECT_EQ(doc.topLine, doc.head) << c.name;
        EXPECT_EQ(buffer(), c.bufferAfter) << c.name;
        EXPECT_EQ(static_cast<bool>(doc.modified), c.bufferAfter != "<null>") << c.name;
    }
}

TEST_F(CommandsTest, DeletingALineLeavesNoAnchorOrSelectionOnIt) {
    // Which lines hold the anchor, the selection start and the selection end; line 1 goes.
    const int cases[][3] = {{1, 0, 1}, {1, 1, 2}, {0, 1, 1}, {2, 1, 2}};
    for (const auto& c : cases) {
        open({"a", "bbb", "c"}, 1, 1);
        doc.anchorLine = lineAt(c[0]);
        doc.selStartLine = lineAt(c[1]);
        doc.selEndLine = lineAt(c[2]);
        for (int i = c[1]; i <= c[2]; ++i) markLineSelected(lineAt(i));
        dispatchCommand(CMD_DELETE_LINE, 0);
        EXPECT_EQ(documentInvariantViolation(), "") << c[0] << c[1] << c[2];
        updateSelection();  // a lost anchor is taken from the caret again
        EXPECT_EQ(documentInvariantViolation(), "");
    }
}

TEST_F(CommandsTest, HalfLineDeletionKeepsSelectionColumnsInsideTheLine) {
    open({"abcdef"}, 0, 4);
    doc.anchorLine = doc.selStartLine = doc.selEndLine = doc.head;
    doc.anchorCol = doc.selStartCol = 1;
    doc.selEndCol = 5;
    markLineSelected(doc.head);
    dispatchCommand(CMD_DELETE_TO_LINE_END, 0);  // "abcd"
    EXPECT_EQ(doc.selStartCol, 1);
    EXPECT_EQ(doc.selEndCol, 4);
    dispatchCommand(CMD_DELETE_TO_LINE_START, 0);  // ""
    EXPECT_EQ(doc.anchorCol + doc.selStartCol + doc.selEndCol, 0);
}

TEST_F(CommandsTest, TheBufferIsInsertedUnderTheCaretLineAsOftenAsAsked) {
    open({"hello world", "next"}, 0, 6);
    dispatchCommand(CMD_DELETE_TO_LINE_START, 0);
    dispatchCommand(CMD_INSERT_DELETED_LINE, 0);
    dispatchCommand(CMD_INSERT_DELETED_LINE, 0);
    EXPECT_EQ(documentLines(), (Lines{"world", "hello ", "hello ", "next"}));
    EXPECT_EQ(doc.caretLine, doc.head);
    EXPECT_EQ(buffer(), "hello ");
}

TEST_F(CommandsTest, TheInsertedLineTakesTheCaretLinesFlagsButNoBookmark) {
    open({"a"}, 0, 0);
    dispatchCommand(CMD_DELETE_TO_LINE_END, 0);
    doc.head->flags = LN_SELECTED | LN_BOOKMARK | (3u << LN_STYLE_SHIFT);  // a soft return
    dispatchCommand(CMD_INSERT_DELETED_LINE, 0);
    ASSERT_EQ(documentLines(), (Lines{"", "a"}));
    EXPECT_EQ(lineAt(1)->flags, LN_SELECTED | (3u << LN_STYLE_SHIFT));
}

TEST_F(CommandsTest, TheBufferSurvivesCloseAndNew) {
    open({"keep me", "b"}, 0, 0);
    dispatchCommand(CMD_DELETE_LINE, 0);
    fake().messageBoxAnswers = {platform::ANSWER_NO};
    dispatchCommand(CMD_CLOSE, 0);
    dispatchCommand(CMD_NEW, 0);
    dispatchCommand(CMD_INSERT_DELETED_LINE, 0);
    EXPECT_EQ(documentLines(), (Lines{"", "keep me"}));
}

// ==== Bookmarks ====

TEST_F(CommandsTest, BookmarkSearchGoesRoundTheDocumentOnce) {
    struct Case {
        std::vector<int> bookmarks;
        int caretLine, command, caretLineAfter;
    };
    const Case cases[] = {
        {{}, 2, CMD_NEXT_BOOKMARK, 2},          {{}, 2, CMD_PREVIOUS_BOOKMARK, 2},
        {{4}, 1, CMD_NEXT_BOOKMARK, 4},         {{4}, 1, CMD_PREVIOUS_BOOKMARK, 4},
        {{0}, 3, CMD_NEXT_BOOKMARK, 0},         {{2}, 2, CMD_NEXT_BOOKMARK, 2},
        {{2}, 2, CMD_PREVIOUS_BOOKMARK, 2},     {{0, 2, 4}, 2, CMD_NEXT_BOOKMARK, 4},
        {{0, 2, 4}, 2, CMD_PREVIOUS_BOOKMARK, 0}, {{2, 3}, 0, CMD_PREVIOUS_BOOKMARK, 3},
    };
    for (const Case& c : cases) {
        open({"l0", "l1", "l2", "l3", "l4"}, c.caretLine, 1);
        for (int i : c.bookmarks) lineAt(i)->flags |= LN_BOOKMARK;
        dispatchCommand(c.command, 0);
        EXPECT_EQ(lineIndex(doc.caretLine), c.caretLineAfter) << c.caretLine << " " << c.command;
        EXPECT_EQ(doc.caretCol, 1);
    }
    dispatchCommand(CMD_TOGGLE_BOOKMARK, 0);
    EXPECT_EQ(doc.caretLine->flags & LN_BOOKMARK, 0u);
    EXPECT_FALSE(doc.modified);
}

// ==== The view switches ====

TEST_F(CommandsTest, WordWrapToggleFollowsTheMenuCheck) {
    open({"a"}, 0, 0);
    view.scrollX = -120;
    dispatchCommand(CMD_TOGGLE_WRAP, 0);
    EXPECT_EQ(view.wrapMode, 1);
    EXPECT_EQ(view.scrollX, 0);
    EXPECT_TRUE(fake().menuChecks[CMD_TOGGLE_WRAP]);
    dispatchCommand(CMD_TOGGLE_WRAP, 0);
    EXPECT_EQ(view.wrapMode, 0);
    EXPECT_FALSE(fake().menuChecks[CMD_TOGGLE_WRAP]);
}

TEST_F(CommandsTest, LineNumberToggleRepaintsOnlyTheNumberStrip) {
    open({"a"}, 0, 0);
    view.clientWidth = 640;
    view.clientHeight = 480;
    dispatchCommand(CMD_TOGGLE_LINE_NUMBERS, 0);
    EXPECT_EQ(view.showLineNumbers, 0);
    EXPECT_FALSE(fake().menuChecks[CMD_TOGGLE_LINE_NUMBERS]);
    ASSERT_EQ(fake().invalidatedRects.size(), 1u);
    const InvalidatedRect& strip = fake().invalidatedRects[0];
    EXPECT_EQ(std::vector<int>({strip.left, strip.top, strip.right, strip.bottom}), std::vector<int>({529, 0, 640, 480}));
    dispatchCommand(CMD_TOGGLE_LINE_NUMBERS, 0);
    EXPECT_EQ(view.showLineNumbers, 1);
    EXPECT_TRUE(fake().menuChecks[CMD_TOGGLE_LINE_NUMBERS]);
}

// ==== The context menu ====

TEST_F(CommandsTest, ContextMenuOffersUndoAndRedoByTheRingState) {
    struct Case {
        int previousKind, currentKind;
        bool stepBack;  // current is no longer newest
        std::vector<int> tail;
    };
    const Case cases[] = {
        {UNDO_EMPTY, UNDO_EMPTY, false, {CMD_QUIZ}},
        {UNDO_EMPTY, UNDO_TYPE, false, {CMD_QUIZ, CMD_UNDO}},
        {UNDO_TYPE, UNDO_EMPTY, false, {CMD_QUIZ, CMD_UNDO}},
        {UNDO_EMPTY, UNDO_EMPTY, true, {CMD_QUIZ, CMD_REDO}},
        {UNDO_TYPE, UNDO_TYPE, true, {CMD_QUIZ, CMD_UNDO, CMD_REDO}},
    };
    for (const Case& c : cases) {
        open({"a"}, 0, 0);
        resetUndo();
        pushUndo()->kind = c.previousKind;
        pushUndo()->kind = c.currentKind;
        if (c.stepBack) {
            pushUndo();
            undoRing.current = undoRing.current->prev;
        }
        showContextMenu(0, 0);
        const std::vector<int> ids = popupIds();
        ASSERT_GE(ids.size(), c.tail.size());
        EXPECT_EQ(std::vector<int>(ids.end() - static_cast<long>(c.tail.size()), ids.end()), c.tail)
            << c.previousKind << " " << c.currentKind << " " << c.stepBack;
    }
}

TEST_F(CommandsTest, ContextMenuWithASelection) {
    open({"a", "b"}, 0, 0);
    markLineSelected(doc.head);
    showContextMenu(50, 60);
    EXPECT_EQ(popupIds(), (std::vector<int>{CMD_PASTE, CMD_CUT, CMD_COPY, CMD_COPY_DATA_COLUMN, CMD_NORMALISE_INDENT,
                                            CMD_STRIP_INDENT, CMD_DELETE_BLANK_LINES, CMD_SORT_CARET_COLUMN,
                                            CMD_SORT_DATA_COLUMN, CMD_SUM_NUMBERS, 0, CMD_FIND, CMD_SAVE, CMD_QUIZ}));
    std::string texts;
    for (const auto& item : fake().lastPopupMenu) texts += item.text + "|";
    EXPECT_EQ(texts, "粘贴|剪切|复制|复制TAB或,隔开的光标处数据列|行块内规范行首2空格|行块内删除行首空格|"
                     "行块内删除空行|行块内按光标列排序|行块内按数据列排序|行块内数字求和||查找|保存|做题|");
    EXPECT_EQ(fake().popupX, 46);
    EXPECT_EQ(fake().popupY, 60);
}

// ==== The block commands, each by its ID and by its key ====

namespace {

struct BlockCommandCase {
    int commandId;
    int key, modifiers;  // key 0: the command has no key of its own
    Lines lines;         // every line selected, caret on the first at `caretCol`
    int caretCol;
    Lines expected;
};

const BlockCommandCase BLOCK_COMMANDS[] = {
    {32788, 'E', KEYMOD_CTRL, {"  a", "b"}, 0, {"　　a", "　　b"}},
    {32789, 'E', KEYMOD_CTRL | KEYMOD_SHIFT, {"  a", "　b"}, 0, {"a", "b"}},
    {32790, 'K', KEYMOD_CTRL, {"a", "  ", "b "}, 0, {"a", "b"}},
    {32845, VKEY_OEM_4, KEYMOD_CTRL, {"a   b", "c   d"}, 4, {"a  b", "c  d"}},
    {32846, VKEY_OEM_6, KEYMOD_CTRL, {"a b", "c d"}, 2, {"a \tb", "c \td"}},
    {32864, 0, 0, {"AbC", "dE"}, 0, {"abc", "de"}},
    {32866, 0, 0, {"AbC", "dE"}, 0, {"ABC", "DE"}},
};

}  // namespace

TEST_F(CommandsTest, EachBlockCommandDoesItsOwnWorkByIdAndByKey) {
    buildKeyBindingTable();
    for (const BlockCommandCase& c : BLOCK_COMMANDS) {
        for (const bool byKey : {false, true}) {
            if (byKey && c.key == 0) continue;
            setDocument(c.lines);
            dispatchCommand(CMD_SELECT_ALL, 0);
            doc.caretLine = doc.head;
            doc.caretCol = c.caretCol;
            if (byKey)
                press(c.key, c.modifiers);
            else
                dispatchCommand(c.commandId, 0);
            EXPECT_EQ(documentLines(), c.expected) << c.commandId << (byKey ? " by key" : "");
        }
    }
    // Hard returns: a selected soft-returned line gets a hard one (a soft one with Shift).
    setDocument({"a", "b"});
    doc.head->flags &= ~LN_HARD_RETURN;
    dispatchCommand(CMD_SELECT_ALL, 0);
    dispatchCommand(32857, 0);
    EXPECT_TRUE(doc.head->flags & LN_HARD_RETURN);
    // Scrambling changes a one-line paragraph and a second run gives it back.
    setDocument({"abcdef"});
    dispatchCommand(CMD_SELECT_ALL, 0);
    dispatchCommand(32841, 0);
    EXPECT_NE(documentLines(), (Lines{"abcdef"}));
    dispatchCommand(32841, 0);
    EXPECT_EQ(documentLines(), (Lines{"abcdef"}));
}
