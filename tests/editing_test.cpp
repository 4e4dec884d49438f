// Caret moves, selecting moves, typing, line splits with auto-indent, deletion, Tab.
#include <cstring>
#include <string>
#include <vector>

#include "app/recorder.h"
#include "edit/editing.h"
#include "app/editor_actions.h"
#include "support/editing_driver.h"
#include "files/close_document.h"

namespace {

using Lines = std::vector<std::string>;

struct Key {
    int virtualKey;
    int modifiers;
};

const Key LEFT{VKEY_LEFT, KEYMOD_NONE}, RIGHT{VKEY_RIGHT, KEYMOD_NONE}, UP{VKEY_UP, KEYMOD_NONE},
    DOWN{VKEY_DOWN, KEYMOD_NONE}, HOME{VKEY_HOME, KEYMOD_NONE}, END{VKEY_END, KEYMOD_NONE},
    CTRL_HOME{VKEY_HOME, KEYMOD_CTRL}, CTRL_END{VKEY_END, KEYMOD_CTRL}, ENTER{VKEY_RETURN, KEYMOD_NONE},
    DELETE{VKEY_DELETE, KEYMOD_NONE}, BACKSPACE{VKEY_BACK, KEYMOD_NONE}, TAB{VKEY_TAB, KEYMOD_NONE},
    SHIFT_TAB{VKEY_TAB, KEYMOD_SHIFT}, SHIFT_LEFT{VKEY_LEFT, KEYMOD_SHIFT}, SHIFT_RIGHT{VKEY_RIGHT, KEYMOD_SHIFT},
    SHIFT_DOWN{VKEY_DOWN, KEYMOD_SHIFT}, PAGE_DOWN{VKEY_NEXT, KEYMOD_NONE}, PAGE_UP{VKEY_PRIOR, KEYMOD_NONE},
    SHIFT_PAGE_DOWN{VKEY_NEXT, KEYMOD_SHIFT};

void pressKey(const Key& key) { press(key.virtualKey, key.modifiers); }

std::vector<std::string> numberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back("line" + std::to_string(i));
    return lines;
}

}  // namespace

// ==== Caret moves ====

TEST_F(EditingTest, CaretMovesStepOverWholeCharactersAndAcrossLines) {
    struct Case {
        const char* name;
        Lines lines;
        int line, col;
        Key key;
        int toLine, toCol;
    };
    const Case cases[] = {
        {"right over a Chinese character", {"中文"}, 0, 0, RIGHT, 0, 2},
        {"left over a Chinese character", {"中文"}, 0, 2, LEFT, 0, 0},
        {"left over a trail byte that looks like ASCII", {"\xA1\x41x"}, 0, 2, LEFT, 0, 0},
        {"right at a line end", {"ab", "cd"}, 0, 2, RIGHT, 1, 0},
        {"right at the document end", {"ab"}, 0, 2, RIGHT, 0, 2},
        {"left at a line start", {"ab", "cd"}, 1, 0, LEFT, 0, 2},
        {"left at the document start", {"ab"}, 0, 0, LEFT, 0, 0},
        {"down into a double-byte character", {"abcd", "中文字"}, 0, 3, DOWN, 1, 2},
        {"up past the end of a shorter line", {"ab", "abcdef"}, 1, 5, UP, 0, 2},
        {"down on the last line", {"ab", "cd"}, 1, 1, DOWN, 1, 1},
        {"home", {"abc"}, 0, 2, HOME, 0, 0},
        {"end", {"abc"}, 0, 1, END, 0, 3},
        {"ctrl+home", {"ab", "cd"}, 1, 1, CTRL_HOME, 0, 0},
        {"ctrl+end", {"ab", "cdef"}, 0, 1, CTRL_END, 1, 4},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        putCaret(c.line, c.col);
        pressKey(c.key);
        EXPECT_EQ(caretAt(), std::make_pair(c.toLine, c.toCol)) << c.name;
        EXPECT_EQ(doc.selStartLine, nullptr) << c.name;
    }
}

TEST_F(EditingTest, CtrlEndReachesTheEndOfALineLongerThanSixtyFourKilobytes) {
    setDocument({"a", std::string(70000, 'x')});
    pressKey(CTRL_END);
    EXPECT_EQ(caretAt(), std::make_pair(1, 70000));
}

TEST_F(EditingTest, PagesMoveOneRowLessThanTheWindowHolds) {
    struct Case {
        int clientHeight, startLine;
        Key key;
        int toLine;
    };
    const Case cases[] = {
        {600, 0, PAGE_DOWN, 24},  // 25 rows
        {600, 90, PAGE_DOWN, 99},  // stops at the last line
        {600, 50, PAGE_UP, 26},
        {24, 10, PAGE_DOWN, 10},  // one row: no move
        {47, 10, PAGE_UP, 10},
    };
    for (const Case& c : cases) {
        setDocument(numberedLines(100));
        view.clientHeight = c.clientHeight;
        putCaret(c.startLine, 0);
        doc.topLine = doc.caretLine;
        pressKey(c.key);
        EXPECT_EQ(lineIndex(doc.caretLine), c.toLine) << c.clientHeight << " from " << c.startLine;
    }
    setDocument(numberedLines(100));
    view.clientHeight = 600;
    handleMessage(MSG_MBUTTONDOWN, 0, 0);  // the middle button pages down
    EXPECT_EQ(lineIndex(doc.caretLine), 24);
}

TEST_F(EditingTest, EditorActionsAreRecordedFirstAndDoNothingWithoutADocument) {
    setDocument({"ab"});
    runEditorAction(2060);
    EXPECT_EQ(latestEvent().message, 2060u);
    EXPECT_EQ(caretAt(), std::make_pair(0, 1));
    runEditorAction(2057);  // Esc: recorded, nothing else
    EXPECT_EQ(latestEvent().message, 2057u);
    EXPECT_EQ(caretAt(), std::make_pair(0, 1));
    closeDocument();
    runEditorAction(2079);
    EXPECT_EQ(latestEvent().message, 2079u);
    EXPECT_EQ(doc.head, nullptr);
}

// ==== Selecting moves ====

TEST_F(EditingTest, SelectingMovesExtendFromTheAnchorWithAnInclusiveEnd) {
    setDocument({"abcd", "efgh"});
    putCaret(0, 1);
    pressKey(SHIFT_RIGHT);
    EXPECT_EQ(copiedText(), "bc");
    pressKey(SHIFT_DOWN);
    EXPECT_EQ(copiedText(), "bcd\r\nefg");
    pressKey(SHIFT_PAGE_DOWN);  // stops at the last line
    EXPECT_EQ(caretAt(), std::make_pair(1, 2));
    pressKey(RIGHT);  // a plain move drops the selection
    EXPECT_EQ(doc.selStartLine, nullptr);
    EXPECT_FALSE(lineAt(0)->flags & LN_SELECTED);
}

TEST_F(EditingTest, SelectingForthAndBackSelectsNothingAndDeleteRemovesNothing) {
    setDocument({"abc"});
    putCaret(0, 1);
    pressKey(SHIFT_RIGHT);
    pressKey(SHIFT_LEFT);
    EXPECT_EQ(copiedText(), "");
    pressKey(DELETE);
    EXPECT_EQ(documentLines(), Lines{"abc"});
    pressCtrl('Z');  // undoing and redoing that empty deletion change nothing either
    pressCtrl('Y');
    EXPECT_EQ(documentLines(), Lines{"abc"});
    EXPECT_FALSE(doc.modified);
}

// ==== Typing ====

TEST_F(EditingTest, TypedBytesGoInAtTheCaretInTheOrderTheyArrive) {
    struct Case {
        Lines lines;
        int col;
        std::string typed;
        std::string result;
        int caretCol;
    };
    const Case cases[] = {
        {{"ac"}, 1, "b", "abc", 2},
        {{"ab"}, 2, "中", "ab中", 4},       // two WM_CHARs at the end of a line
        {{"ab"}, 1, "中文", "a中文b", 5},   // and in the middle
        {{""}, 0, "x\x01y\x7F", "xy", 2},  // control bytes are not typed
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        putCaret(0, c.col);
        typeBytes(c.typed);
        EXPECT_EQ(documentLines(), Lines{c.result}) << c.typed;
        EXPECT_EQ(doc.caretCol, c.caretCol) << c.typed;
        EXPECT_TRUE(doc.modified) << c.typed;
    }
    EXPECT_NE(fake().title.find(" * "), std::string::npos);
}

TEST_F(EditingTest, InputMethodAndAltCharactersInsertWholeCharacters) {
    setDocument({"ab"});
    putCaret(0, 1);
    handleMessage(MSG_IME_CHAR, 0xD6D0, 0);  // 中
    insertCharCode(0xA1A2);                 // 、 as Alt+I inserts it
    insertCharCode(0x0041);                 // a zero high byte inserts nothing
    EXPECT_EQ(documentLines(), Lines{"a中、b"});
    EXPECT_EQ(doc.caretCol, 5);
    EXPECT_NE(fake().title.find(" * "), std::string::npos);
}

// ==== Enter and auto-indent ====

TEST_F(EditingTest, EnterSplitsTheLineAndTheNewLineTakesTheFlags) {
    setDocument({"abcd", "next"});
    setLineStyle(lineAt(0), STYLE_TITLE1);
    lineAt(0)->flags |= LN_BOOKMARK;
    putCaret(0, 2);
    pressKey(ENTER);
    EXPECT_EQ(documentLines(), (Lines{"ab", "cd", "next"}));
    EXPECT_EQ(caretAt(), std::make_pair(1, 0));
    EXPECT_EQ(lineStyle(lineAt(1)), STYLE_TITLE1);
    EXPECT_TRUE(lineAt(1)->flags & LN_HARD_RETURN);
    EXPECT_TRUE(lineAt(0)->flags & LN_BOOKMARK);
    EXPECT_FALSE(lineAt(1)->flags & LN_BOOKMARK);
    EXPECT_EQ(lineIndex(lineAt(2)), 2);
}

TEST_F(EditingTest, EnterIndentsFromTheLinesAbove) {
    struct Case {
        const char* name;
        Lines lines;
        int line, col;
        Lines result;
        int caretCol;
    };
    const Case cases[] = {
        {"a tab and a brace ask for two tabs", {"\t{"}, 0, 2, {"\t{", "\t\t"}, 2},
        {"an open parenthesis asks for one", {"f(a,"}, 0, 4, {"f(a,", "\t"}, 1},
        {"closed brackets ask for none", {"f(a)"}, 0, 4, {"f(a)", ""}, 0},
        {"blanks after the caret give way to the tabs", {"{  x"}, 0, 1, {"{", "\tx"}, 1},
        {"blank lines are passed over", {"\t\tx", "", "  "}, 2, 2, {"\t\tx", "", "  ", "\t\t"}, 2},
        {"three spaces reach no tab stop", {"   x"}, 0, 4, {"   x", ""}, 0},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        putCaret(c.line, c.col);
        pressKey(ENTER);
        EXPECT_EQ(documentLines(), c.result) << c.name;
        EXPECT_EQ(caretAt(), std::make_pair(static_cast<int>(c.result.size()) - 1, c.caretCol)) << c.name;
    }
    setDocument({"\t{"});
    view.wrapMode = 1;  // wrapped text is not indented
    putCaret(0, 2);
    pressKey(ENTER);
    EXPECT_EQ(documentLines(), (Lines{"\t{", ""}));
}

TEST_F(EditingTest, AutoIndentLeavesASelectionOnScreenAlone) {
    setDocument({"keep this", "{  x"});
    selectSpan(0, 0, 0, 3);
    putCaret(1, 1);
    pressKey(ENTER);
    EXPECT_EQ(documentLines(), (Lines{"keep this", "{", "\tx"}));
}

TEST_F(EditingTest, ASelectionKeepsItsCharactersWhenItsLineIsSplit) {
    struct Case {
        const char* name;
        int col1, col2, caretCol;
        std::string selected;
        Lines afterDelete;
    };
    const Case cases[] = {
        {"split inside the selection", 0, 2, 1, "a\r\nbc", {"", "d"}},
        {"split after the selection", 0, 1, 3, "ab", {"c", "d"}},
        {"split before the selection", 2, 3, 1, "cd", {"a", "b"}},
    };
    for (const Case& c : cases) {
        setDocument({"abcd"});
        selectSpan(0, c.col1, 0, c.col2);
        putCaret(0, c.caretCol);
        pressKey(ENTER);
        EXPECT_EQ(copiedText(), c.selected) << c.name;
        pressKey(DELETE);
        EXPECT_EQ(documentLines(), c.afterDelete) << c.name;
        pressCtrl('Z');
        pressCtrl('Z');
        EXPECT_EQ(documentLines(), Lines{"abcd"}) << c.name;
    }
}

// ==== Delete and Backspace ====

TEST_F(EditingTest, DeleteAndBackspaceRemoveCharactersOrJoinLines) {
    struct Case {
        const char* name;
        Lines lines;
        int line, col;
        Key key;
        Lines result;
        int toLine, toCol;
    };
    const Case cases[] = {
        {"delete a character", {"abc"}, 0, 1, DELETE, {"ac"}, 0, 1},
        {"delete a Chinese character", {"a中b"}, 0, 1, DELETE, {"ab"}, 0, 1},
        {"delete joins the next line", {"ab", "cd"}, 0, 2, DELETE, {"abcd"}, 0, 2},
        {"delete at the document end", {"ab"}, 0, 2, DELETE, {"ab"}, 0, 2},
        {"backspace a Chinese character", {"a中b"}, 0, 3, BACKSPACE, {"ab"}, 0, 1},
        {"backspace joins the previous line", {"ab", "cd"}, 1, 0, BACKSPACE, {"abcd"}, 0, 2},
        {"backspace at the document start", {"ab"}, 0, 0, BACKSPACE, {"ab"}, 0, 0},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        putCaret(c.line, c.col);
        pressKey(c.key);
        EXPECT_EQ(documentLines(), c.result) << c.name;
        EXPECT_EQ(caretAt(), std::make_pair(c.toLine, c.toCol)) << c.name;
    }
}

TEST_F(EditingTest, JoinTakesTheFlagsOfTheLineJoinedOnAndMovesItsReferences) {
    setDocument({"ab", "cd", "ef"});
    setLineStyle(lineAt(1), STYLE_TITLE1);
    lineAt(0)->flags |= LN_BOOKMARK;
    lineAt(1)->flags &= ~LN_HARD_RETURN;
    doc.topLine = lineAt(1);
    doc.anchorLine = lineAt(1);
    doc.anchorCol = 1;
    putCaret(0, 2);
    deleteForward(true);
    EXPECT_EQ(documentLines(), (Lines{"abcd", "ef"}));
    EXPECT_EQ(lineStyle(lineAt(0)), STYLE_TITLE1);
    EXPECT_FALSE(lineAt(0)->flags & LN_HARD_RETURN);
    EXPECT_TRUE(lineAt(0)->flags & LN_BOOKMARK);
    EXPECT_EQ(doc.topLine, lineAt(0));
    EXPECT_EQ(doc.anchorLine, lineAt(0));
    EXPECT_EQ(doc.anchorCol, 3);  // still on "d"
}

TEST_F(EditingTest, DeleteAndBackspaceTakeAVisibleSelection) {
    setDocument({"abcd", "efgh"});
    selectSpan(0, 2, 1, 1);
    pressKey(BACKSPACE);
    EXPECT_EQ(documentLines(), (Lines{"ab", "gh"}));  // the two lines are not joined
    EXPECT_EQ(doc.selStartLine, nullptr);
}

TEST_F(EditingTest, DeletingASelectionKeepsItsFirstAndLastLinesApart) {
    struct Case {
        const char* name;
        Lines lines;
        int line1, col1, line2, col2;
        Lines result;
    };
    const Case cases[] = {
        {"within a line", {"xaby"}, 0, 1, 0, 2, {"xy"}},
        {"within a line with its break", {"ab", "cd"}, 0, 1, 0, 2, {"a", "cd"}},
        {"a Chinese character at the end", {"a中b"}, 0, 0, 0, 1, {"b"}},
        {"over two lines", {"abcd", "efgh"}, 0, 2, 1, 1, {"ab", "gh"}},
        {"over three lines", {"abcd", "mid", "efgh"}, 0, 2, 2, 1, {"ab", "gh"}},
        {"up to a line end", {"abcd", "mid", "efgh"}, 0, 2, 2, 4, {"ab", ""}},
        {"backwards", {"abcd", "efgh"}, 1, 1, 0, 2, {"ab", "gh"}},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        selectSpan(c.line1, c.col1, c.line2, c.col2);
        doc.topLine = lineAt(c.line2 > c.line1 ? c.line1 + 1 : c.line1);
        deleteSelection();
        EXPECT_EQ(documentLines(), c.result) << c.name;
        EXPECT_EQ(documentInvariantViolation(), "") << c.name;
    }
}

// ==== Tab and Shift+Tab ====

TEST_F(EditingTest, TabIndentsTheSelectedLinesOrTypesATab) {
    setDocument({"ab", "cd", "ef"});
    selectSpan(0, 1, 1, 1);
    pressKey(TAB);
    EXPECT_EQ(documentLines(), (Lines{"\tab", "\tcd", "ef"}));
    EXPECT_EQ(caretAt(), std::make_pair(1, 2));
    pressKey(SHIFT_TAB);
    pressKey(SHIFT_TAB);  // lines without a leading tab stay as they are
    EXPECT_EQ(documentLines(), (Lines{"ab", "cd", "ef"}));
    EXPECT_EQ(caretAt(), std::make_pair(1, 1));

    setDocument(numberedLines(60));
    selectSpan(0, 0, 0, 2);
    putCaret(50, 1);
    doc.topLine = lineAt(40);  // the selection is out of view
    pressKey(TAB);
    EXPECT_EQ(lineAt(50)->text, std::string("l\tine50"));
    EXPECT_EQ(lineAt(0)->text, std::string("line0"));
}

// ==== Select all ====

TEST_F(EditingTest, SelectAllSelectsEveryLineAndKeepsTheCaretLine) {
    setDocument({"ab", "c", "def"});
    putCaret(1, 0);
    pressCtrl('A');
    EXPECT_EQ(doc.caretLine, lineAt(1));
    EXPECT_EQ(doc.anchorLine, doc.head);
    EXPECT_EQ(copiedText(), "ab\r\nc\r\ndef\r\n");
    typeBytes("x");  // the caret column is clamped to its line before typing
    EXPECT_EQ(documentLines(), (Lines{"ab", "cx", "def"}));
}
