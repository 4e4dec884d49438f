// Line-block text operations: indentation, blank lines, the gap at the caret column, line
// ends, scrambling, case, full-width forms and paste as hexadecimal.
#include <random>
#include <string>
#include <vector>

#include "app/message_loop.h"
#include "app/messages.h"
#include "blocks/line_operations.h"
#include "blocks/scramble.h"
#include "document/undo_ring.h"
#include "edit/undo_redo.h"
#include "platform/virtual_keys.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

// Marks exactly the lines whose index is listed as selected (whole lines, no bounds).
void markSelected(const std::vector<int>& indexes) {
    clearSelection();
    for (int index : indexes) markLineSelected(lineAt(index));
}

// Makes line `index` end with a soft return, so the next line continues its paragraph.
void softReturnAfter(int index) { lineAt(index)->flags &= ~LN_HARD_RETURN; }

class LineOperationsTest : public EditingTest {};

}  // namespace

// ==== Indentation and blank lines ====

TEST_F(LineOperationsTest, IndentationWorksOnSelectedParagraphStartsOnly) {
    struct Case {
        const char* name;
        Lines lines;
        int softAfter;  // -1: all hard returns
        std::vector<int> selected;
        void (*operation)();
        Lines expected;
        bool modified;
    };
    const Case cases[] = {
        {"tab and full-width space become two full-width spaces", {"\t\xA1\xA1甲"}, -1, {0}, normaliseIndent,
         {"\xA1\xA1\xA1\xA1甲"}, true},
        {"an empty line is indented too", {""}, -1, {0}, normaliseIndent, {"\xA1\xA1\xA1\xA1"}, true},
        {"a continued line is left alone", {"ab", "  cd"}, 0, {0, 1}, normaliseIndent, {"\xA1\xA1" "\xA1\xA1" "ab", "  cd"}, true},
        {"strip removes white space and full-width spaces", {" \t\xA1\xA1\r x \xA1\xA1"}, -1, {0}, stripIndent, {"x \xA1\xA1"}, true},
        {"strip on a continued line only changes nothing", {"a", " b"}, 0, {1}, stripIndent, {"a", " b"}, false},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        if (c.softAfter >= 0) softReturnAfter(c.softAfter);
        markSelected(c.selected);
        c.operation();
        EXPECT_EQ(documentLines(), c.expected) << c.name;
        EXPECT_EQ(doc.modified != 0, c.modified) << c.name;
    }
}

TEST_F(LineOperationsTest, DeleteBlankLinesRemovesSelectedLinesThatOnlyHoldSpacesAndTabs) {
    struct Case {
        const char* name;
        Lines lines;
        std::vector<int> selected;
        Lines expected;
        bool modified;
    };
    const Case cases[] = {
        {"blank lines go, trailing blanks are trimmed", {"a", " \t", "b \t ", ""}, {0, 1, 2, 3}, {"a", "b"}, true},
        {"a full-width space is not blank", {"\xA1\xA1", " "}, {0, 1}, {"\xA1\xA1"}, true},
        {"unselected blank lines stay", {" ", "x", " "}, {1, 2}, {" ", "x"}, true},
        {"the only empty line stays", {""}, {0}, {""}, false},
        {"all blank: one empty line is left", {" ", "", "\t"}, {0, 1, 2}, {""}, true},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        markSelected(c.selected);
        deleteBlankLines();
        EXPECT_EQ(documentLines(), c.expected) << c.name;
        EXPECT_EQ(doc.modified != 0, c.modified) << c.name;
        EXPECT_EQ(documentInvariantViolation(), "") << c.name;
    }
}

// ==== The gap at the caret column ====

TEST_F(LineOperationsTest, GapCommandsWorkOnEachLineOfTheRunAtTheCaretColumn) {
    struct Case {
        const char* name;
        std::string line;
        int caretCol;
        bool widen;
        std::string expected;
    };
    const Case cases[] = {
        {"narrow inside a gap of three spaces", "ab   cd", 3, false, "ab  cd"},
        {"narrow in the middle of the next word", "ab \t cd", 6, false, "ab \tcd"},
        {"a gap of one is left alone", "ab cd", 2, false, "ab cd"},
        {"a single blank at the line start", " ab", 2, false, " ab"},
        {"a gap at the line start", "  ab", 3, false, " ab"},
        {"trailing gap: narrowed before the last byte", "ab   ", 2, false, "ab  "},
        {"a second byte that looks like a space is no gap", "\x81\x20\x20" "b", 3, false, "\x81\x20\x20" "b"},
        {"widen in the middle of a word", "ab cd", 4, true, "ab \tcd"},
        {"widen in the first word", "abc d", 1, true, "\tabc d"},
        {"widen with the caret inside a double-byte character", "x 中文", 5, true, "x \t中文"},
        {"widen after a second byte that looks like a space", "\x81\x20" "ab", 3, true, "\t\x81\x20" "ab"},
    };
    for (const Case& c : cases) {
        setDocument({c.line});
        markSelected({0});
        doc.caretCol = c.caretCol;
        if (c.widen) widenColumnGap();
        else narrowColumnGap();
        EXPECT_EQ(documentLines()[0], c.expected) << c.name;
        EXPECT_TRUE(doc.modified) << c.name;
    }
}

TEST_F(LineOperationsTest, GapCommandsStopAtTheEndOfTheFirstRunOfSelectedLines) {
    setDocument({"a  b", "c  d", "e  f", "g  h"});
    markSelected({1, 3});
    doc.caretCol = 3;
    narrowColumnGap();
    EXPECT_EQ(documentLines(), (Lines{"a  b", "c d", "e  f", "g  h"}));
    doc.caretCol = 2;
    widenColumnGap();
    EXPECT_EQ(documentLines(), (Lines{"a  b", "c \td", "e  f", "g  h"}));
}

// ==== Line ends ====

TEST_F(LineOperationsTest, SetLineEndsGivesSoftReturnsWhileShiftIsHeldAndLeavesModifiedAlone) {
    auto hardReturns = [] {
        std::vector<bool> hard;
        for (int i = 0; i < 3; ++i) hard.push_back((lineAt(i)->flags & LN_HARD_RETURN) != 0);
        return hard;
    };
    setDocument({"a", "b", "c"});
    markSelected({0, 1});
    fake().keysDown = {VKEY_SHIFT};
    setLineEnds();
    EXPECT_EQ(hardReturns(), (std::vector<bool>{false, false, true}));
    fake().keysDown.clear();
    markSelected({1});
    setLineEnds();
    EXPECT_EQ(hardReturns(), (std::vector<bool>{false, true, true}));
    EXPECT_FALSE(doc.modified);
}

TEST_F(LineOperationsTest, StyleMenuItemsSetTheStyleOfTheSelectedLinesOnly) {
    setDocument({"a", "b", "c"});
    selectSpan(0, 0, 1, 0);
    for (int id = 32811; id <= 32815; ++id) {
        dispatchCommand(id, 0);
        EXPECT_EQ(lineStyle(lineAt(0)), id - 32811);
        EXPECT_EQ(lineStyle(lineAt(1)), id - 32811);
        EXPECT_EQ(lineStyle(lineAt(2)), STYLE_BODY);
    }
    EXPECT_EQ(documentLines(), (Lines{"a", "b", "c"}));
}

// ==== Scrambling ====

TEST(Scramble, EveryNonZeroByteMapsToANonZeroByteAndBack) {
    for (int byte = 1; byte < 256; ++byte) {
        const unsigned char b = static_cast<unsigned char>(byte);
        const unsigned char once = scrambledByte(b);
        EXPECT_NE(once, 0) << byte;
        EXPECT_EQ(scrambledByte(once), b) << byte;
        // All bytes but the two that the plain mirror cannot carry keep the mirror.
        if (byte >= 0xA0) {
            EXPECT_EQ(once, 0x19F - byte) << byte;
        } else if (byte < 0x9E) {
            EXPECT_EQ(once, 0x9E - byte) << byte;
        }
    }
    char text[] = "ab";  // exchanged to "ba", then mirrored
    scrambleBytes(text, 2);
    EXPECT_STREQ(text, "<=");
}

TEST_F(LineOperationsTest, AltCTwiceRestoresEverySelectedOneLineParagraphWhateverItsBytes) {
    std::mt19937 random(13);
    for (int round = 0; round < 200; ++round) {
        Lines lines;
        for (int i = 0; i < 4; ++i) {
            std::string text;
            const int length = static_cast<int>(random() % 40);
            for (int k = 0; k < length; ++k) text += static_cast<char>(1 + random() % 255);
            lines.push_back(text);
        }
        if (round == 0) {  // every byte value at least once, in lines of both parities
            lines[0].clear();
            for (int b = 1; b < 256; ++b) lines[0] += static_cast<char>(b);
            lines[1] = lines[0] + "\x9E";
        }
        setDocument(lines);
        softReturnAfter(2);  // line 3 continues a paragraph: never touched
        markSelected({0, 1, 3});
        beforeDispatch(FocusOwner::MainWindow, MSG_SYSKEYDOWN, 'C');
        const Lines once = documentLines();
        for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(once[i].size(), lines[i].size()) << round;
        EXPECT_EQ(once[2], lines[2]);  // not selected
        EXPECT_EQ(once[3], lines[3]);  // continues a paragraph
        if (round == 0) {
            EXPECT_NE(once[0], lines[0]);
        }
        beforeDispatch(FocusOwner::MainWindow, MSG_SYSKEYDOWN, 'C');
        ASSERT_EQ(documentLines(), lines) << round;
        EXPECT_TRUE(doc.modified);
        EXPECT_EQ(doc.caretCol, 0);
    }
}

// ==== Case and width ====

TEST_F(LineOperationsTest, CaseChangesOnlySelectedLettersAndNeverSecondBytes) {
    struct Case {
        const char* name;
        std::string line;
        int from, to;  // selected columns, both included
        bool upper;
        std::string expected;
    };
    const Case cases[] = {
        {"upper case on half a line", "abcdef", 3, 5, true, "abcDEF"},
        {"second bytes that look like letters stay", "\x81" "a\x81" "Bz", 0, 4, true, "\x81" "a\x81" "BZ"},
        {"lower case, Chinese stays", "中AB", 0, 2, false, "中aB"},
    };
    for (const Case& c : cases) {
        setDocument({c.line});
        selectSpan(0, c.from, 0, c.to);
        if (c.upper) toUpperCase();
        else toLowerCase();
        EXPECT_EQ(documentLines()[0], c.expected) << c.name;
        EXPECT_TRUE(doc.modified) << c.name;
    }
}

TEST_F(LineOperationsTest, FullToHalfWidthNarrowsFullWidthFormsInEveryLine) {
    // ！ (A3A1) and ＾ (A3DE) are the first forms of the two narrowed ranges.
    setDocument({"答案：Ｂ", "１２．５％", "［＼］　｛\xA3\xFE｝", "\xB0\xA3\xA3\xBA" "x\xA3", "\xA3\xA1\xA3\xDE"});
    doc.caretLine = lineAt(1);
    doc.caretCol = 10;
    fullToHalfWidth();
    EXPECT_EQ(documentLines(), (Lines{"答案:B", "12.5%", "［＼］　{~}", "\xB0\xA3:x\xA3", "!^"}));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.caretCol, 5);  // brought back inside its shortened line
}

// ==== Paste as hexadecimal ====

TEST_F(LineOperationsTest, PasteAsHexTypesEachClipboardByteAsSpaceAndTwoDigits) {
    setDocument({"xy"});
    doc.caretCol = 1;
    setClipboard(std::string("A\xB0\xA1\0C", 5));  // converted up to its first zero
    press('V', KEYMOD_CTRL | KEYMOD_SHIFT);
    EXPECT_EQ(documentLines(), (Lines{"x 41 b0 a1y"}));
    EXPECT_EQ(doc.caretCol, 10);
    EXPECT_TRUE(doc.modified);
    // Typed, and undone and redone as one step.
    EXPECT_EQ(undoRing.newest->kind, UNDO_GROUP);
    undo();
    EXPECT_EQ(documentLines(), (Lines{"xy"}));
    EXPECT_EQ(doc.caretCol, 1);
    redo();
    EXPECT_EQ(documentLines(), (Lines{"x 41 b0 a1y"}));
}

TEST_F(LineOperationsTest, PasteAsHexIntoAWrappedParagraphWrapsItWithTheCaretAfterTheText) {
    view.wrapMode = 1;
    view.clientWidth = 200;
    setDocument({"xy"});
    doc.caretCol = 1;
    setClipboard(std::string(40, 'A'));
    press('V', KEYMOD_CTRL | KEYMOD_SHIFT);
    std::string hex;
    for (int i = 0; i < 40; ++i) hex += " 41";
    std::string joined, afterCaret;
    for (const LineNode* row = doc.head; row; row = row->next) {
        joined += row->text;
        if (row == doc.caretLine) afterCaret = row->text + doc.caretCol;
        else if (!afterCaret.empty() || lineIndex(row) > lineIndex(doc.caretLine)) afterCaret += row->text;
    }
    EXPECT_EQ(joined, "x" + hex + "y");
    EXPECT_GT(lineCount(), 1);  // wrapped into rows
    EXPECT_EQ(afterCaret, "y");
}

TEST_F(LineOperationsTest, PasteAsHexConvertsAtMostTheFirst34132Bytes) {
    for (size_t size : {size_t(HEX_PASTE_MAX_BYTES - 1), size_t(HEX_PASTE_MAX_BYTES), size_t(50000)}) {
        setDocument({""});
        setClipboard(std::string(size, 'A'));
        pasteAsHex();
        const size_t converted = size < size_t(HEX_PASTE_MAX_BYTES) ? size : size_t(HEX_PASTE_MAX_BYTES);
        EXPECT_EQ(documentLines()[0].size(), 3 * converted) << size;
    }
    view.wrapMode = 1;  // typed one character at a time: the same text
    setDocument({"z"});
    setClipboard("AB");
    pasteAsHex();
    EXPECT_EQ(documentLines(), (Lines{" 41 42z"}));
    doc.modified = 0;
    for (bool hasText : {true, false}) {  // an empty clipboard and one without text
        setClipboard("");
        fake().clipboardHasText = hasText;
        pasteAsHex();
    }
    EXPECT_EQ(documentLines(), (Lines{" 41 42z"}));
    EXPECT_FALSE(doc.modified);
}
