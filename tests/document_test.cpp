// The document model: GBK rules, string primitives, the line list, offsets and selection.
#include "document/document.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "document/gbk.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/text.h"
#include "support/test_document.h"
#include "view/view_state.h"
#include "files/close_document.h"
#include "view/layout.h"

namespace {

// Runs a primitive that consumes its argument on a heap copy and returns the result.
template <typename Op>
std::string consumed(const std::string& src, Op op) {
    char* result = op(copyBytesOrExit(src.data(), src.size()));
    std::string text = result;
    std::free(result);
    return text;
}

std::string sub(int count, int at, const std::string& src) {
    char* result = substring(count, at, src.c_str());
    std::string text = result;
    std::free(result);
    return text;
}

}  // namespace

// ==== GBK rules ====

TEST(GbkRules, InsideDoubleByteScansFromLineStart) {
    struct Case { const char* text; int pos; bool inside; };
    const Case cases[] = {
        {"\xD6\xD0" "a", 1, true},   // 中a: position 1 is the trail byte
        {"\xD6\xD0" "a", 2, false},
        {"\x80\x41", 1, false},      // 0x80 is a single byte
        {"\xFF\x41", 1, false},      // so is 0xFF
        {"\xA0\x41", 1, true},
        {"\x81\x40", 1, true},
        {"\xB0\x8A\x8C\x57", 3, true},  // 皧學: B0 8A, then 8C 57
        {"\xB0\x8A\x8C\x57", 2, false},
        {"\xA1\xA1", 1, true},
        {"\xD6\xD0\xCE\xC4", 3, true},  // trail byte D0 is not taken for a lead byte
        {"\xD6\xD0\xCE\xC4", 2, false},
        {"\xB0\xA1\xA1", 2, false},     // B0 A1 | A1: the second A1 is a lead byte
        {"\xB0\xA1\xA1", 3, true},
        {"abc", 0, false},
        {"abc", -3, false},
        {"\xD6", 5, true},              // the scan stops at the terminator
    };
    for (const Case& c : cases)
        EXPECT_EQ(isInsideDoubleByte(c.text, c.pos), c.inside) << c.text << " @" << c.pos;
}

TEST(GbkRules, FirstBytesAre81ToFE) {
    for (int byte = 0; byte < 256; ++byte) {
        const bool lead = byte >= 0x81 && byte <= 0xFE;
        const char text[] = {static_cast<char>(byte), 'A', '\0'};
        EXPECT_EQ(isLeadByte(static_cast<unsigned char>(byte)), lead) << byte;
        if (byte == 0) continue;
        EXPECT_EQ(isInsideDoubleByte(text, 1), lead) << byte;
        EXPECT_EQ(charLength(text, 0), lead ? 2 : 1) << byte;
        EXPECT_EQ(stepRight(text, 0), lead ? 2 : 1) << byte;
        EXPECT_EQ(isTrailByte(static_cast<unsigned char>(byte)), (byte >= 0x40 && byte <= 0xFE && byte != 0x7F)) << byte;
    }
    EXPECT_EQ(charLength("\xD6", 0), 1);  // a lone lead byte at the end
}

TEST(GbkRules, StepsMoveOverWholeCharacters) {
    const char* text = "\xD6\xD0\xCE\xC4" "a";  // 中文a
    EXPECT_EQ(stepRight(text, 0), 2);
    EXPECT_EQ(stepRight(text, 2), 4);
    EXPECT_EQ(stepRight(text, 4), 5);
    EXPECT_EQ(stepLeft(text, 2), 0);
    EXPECT_EQ(stepLeft(text, 5), 4);
    EXPECT_EQ(stepRight("\xD6", 0), 1);  // a lead byte with no second byte steps by one
}

// ==== String primitives ====

TEST(StringPrimitives, InsertText) {
    EXPECT_EQ(consumed("abc", [](char* s) { return insertText(s, 1, "XY"); }), "aXYbc");
    EXPECT_EQ(consumed("abc", [](char* s) { return insertText(s, -1, "!"); }), "abc!");
    EXPECT_EQ(consumed("abc", [](char* s) { return insertText(s, 0, nullptr); }), "abc");
    char* fromNull = insertText(nullptr, 0, "x");
    EXPECT_STREQ(fromNull, "x");
    std::free(fromNull);
}

TEST(StringPrimitives, DeleteTextTakesDoubleByteCharactersWhole) {
    const std::string text = "a\xD6\xD0" "b";  // a中b
    EXPECT_EQ(consumed(text, [](char* s) { return deleteText(1, 1, s); }), "ab");
    EXPECT_EQ(consumed(text, [](char* s) { return deleteText(-1, 1, s); }), "a");
    EXPECT_EQ(consumed(text, [](char* s) { return deleteText(99, 2, s); }), "a\xD6");
    EXPECT_EQ(consumed(text, [](char* s) { return deleteText(1, -5, s); }), "\xD6\xD0" "b");
    EXPECT_EQ(consumed("abc", [](char* s) { return deleteText(0, 1, s); }), "abc");
}

TEST(StringPrimitives, SubstringClampsAndWidens) {
    EXPECT_EQ(sub(0, 99, "abc"), "abc");   // a start past the end is taken as 0
    EXPECT_EQ(sub(1, 1, "abc"), "b");
    EXPECT_EQ(sub(5, 1, "abc"), "bc");
    EXPECT_EQ(sub(1, 0, "\xD6\xD0" "a"), "\xD6\xD0");  // the end never cuts a character
    EXPECT_EQ(sub(1, 1, "\xD6\xD0" "a"), "\xD6\xD0");  // start moves back onto the lead byte
    EXPECT_EQ(sub(0, 0, ""), "");
}

TEST(StringPrimitives, CountVisibleChars) {
    struct Case { const char* text; int count; };
    const Case cases[] = {
        {"", 0}, {" \t ", 0}, {"ab c", 3}, {"\xD6\xD0\xCE\xC4", 2},
        {"\x7F\x80\xA0", 0},   // a first byte alone at the end is no character
        {"\xA1\xA1", 1},
        {"\x81\x40x", 2},       // 81 40 is one character
        {"\xB0\x40\xB0\xA1" "a", 3},
        {"\xB0\x8A", 1},        // 皧 alone makes a line with text
    };
    for (const Case& c : cases) EXPECT_EQ(countVisibleChars(c.text), c.count) << c.text;
}

TEST(StringPrimitives, BlankStrippingInPlace) {
    char leading[] = " \t\xA1\xA1  x y ";
    stripLeadingBlanks(leading);
    EXPECT_STREQ(leading, "x y ");
    char trailing[] = "x y \t \t";
    trimTrailingBlanks(trailing);
    EXPECT_STREQ(trailing, "x y");
    char allBlank[] = " \t ";
    trimTrailingBlanks(allBlank);
    EXPECT_STREQ(allBlank, "");
}

TEST(StringPrimitives, FindField) {
    int start = -1, end = -1;
    EXPECT_EQ(findField(0, '\t', "a\tbb\tc", &start, &end), 0);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(findField(1, '\t', "a\tbb\tc", &start, &end), 2);
    EXPECT_EQ(end, 4);
    EXPECT_EQ(findField(2, '\t', "a\tbb\tc", &start, &end), 5);
    EXPECT_EQ(end, 6);
    EXPECT_EQ(findField(3, '\t', "a\tbb\tc", nullptr, nullptr), -1);
    EXPECT_EQ(findField(1, ',', "a,", &start, &end), 2);
    EXPECT_EQ(end, 2);
}

// ==== Line list ====

TEST_F(CoreTest, RemovingTheOnlyLineEmptiesItInstead) {
    setDocument({"abc"});
    removeLine(doc.head);
    ASSERT_NE(doc.head, nullptr);
    EXPECT_EQ(documentLines(), std::vector<std::string>{""});
    EXPECT_EQ(doc.modified, 0);
}

TEST_F(CoreTest, RemovingALineMovesCaretAndTopToTheSuccessor) {
    setDocument({"a", "b", "c"});
    doc.caretLine = doc.topLine = lineAt(1);
    removeLine(lineAt(1));
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"a", "c"}));
    EXPECT_STREQ(doc.caretLine->text, "c");
    EXPECT_STREQ(doc.topLine->text, "c");
    EXPECT_EQ(doc.modified, 1);

    doc.caretLine = lastLine();
    removeLine(lastLine());  // no successor: the predecessor takes over
    EXPECT_STREQ(doc.caretLine->text, "a");

    setDocument({"a", "b"});
    removeLine(doc.head);  // the head goes: its successor becomes head
    EXPECT_STREQ(doc.head->text, "b");
    EXPECT_EQ(doc.head->prev, nullptr);
    EXPECT_EQ(doc.caretLine, doc.head);
}

TEST_F(CoreTest, RemovingALineLeavesNoAnchorOrSelectionOnIt) {
    setDocument({"abc", "def", "ghi"});
    doc.caretLine = lineAt(2);
    doc.anchorLine = lineAt(1);
    updateSelection();
    ASSERT_EQ(doc.selStartLine, lineAt(1));
    removeLine(lineAt(1));
    EXPECT_EQ(doc.anchorLine, nullptr);
    EXPECT_EQ(doc.selStartLine, nullptr);
    EXPECT_FALSE(lineAt(1)->flags & LN_SELECTED);
}

TEST_F(CoreTest, CloseDocumentResetsEverything) {
    setDocument({"a", "b"});
    setFileName("/tmp/x.txt");
    doc.modified = 1;
    closeDocument();
    EXPECT_EQ(doc.head, nullptr);
    EXPECT_EQ(doc.caretLine, nullptr);
    EXPECT_EQ(fileName[0], '\0');
    EXPECT_EQ(doc.modified, 0);
    EXPECT_EQ(fake().title, "(无文件) - Kesh");
    EXPECT_FALSE(fake().caretExists);
}

TEST_F(CoreTest, FileNameIsBoundedToItsBuffer) {
    const std::string longName(400, 'n');
    setFileName(longName.c_str());
    EXPECT_EQ(std::strlen(fileName), static_cast<size_t>(FILE_NAME_SIZE - 1));
}

TEST_F(CoreTest, LineIndexAndLastLine) {
    setDocument({"a", "b", "c"});
    EXPECT_EQ(lineIndex(doc.head), 0);
    EXPECT_EQ(lineIndex(lastLine()), 2);
    EXPECT_STREQ(lastLine()->text, "c");
}

// ==== Offsets ====

TEST_F(CoreTest, CaretOffsetCountsEveryLineBreakAsOne) {
    setDocument({"", "abc"});
    EXPECT_EQ(caretOffset(), 1);
    doc.caretLine = lineAt(1);
    EXPECT_EQ(caretOffset(), 2);
    doc.caretCol = 3;
    EXPECT_EQ(caretOffset(), 5);
    setCaretFromOffset(1);
    EXPECT_EQ(doc.caretLine, doc.head);
    EXPECT_EQ(doc.caretCol, 0);
}

TEST_F(CoreTest, SetCaretFromOffsetIsTheInverseAndClamps) {
    setDocument({"ab", "\xD6\xD0\xCE\xC4", "", "xyz"});
    for (LineNode* line = doc.head; line; line = line->next) {
        for (int col = 0; col <= static_cast<int>(std::strlen(line->text)); ++col) {
            if (isInsideDoubleByte(line->text, col)) continue;
            doc.caretLine = line;
            doc.caretCol = col;
            const int offset = caretOffset();
            doc.caretLine = doc.head;
            doc.caretCol = 0;
            setCaretFromOffset(offset);
            EXPECT_EQ(doc.caretLine, line);
            EXPECT_EQ(doc.caretCol, col);
        }
    }
    setCaretFromOffset(6);  // inside 中 on the second line: back onto its first byte
    EXPECT_EQ(doc.caretLine, lineAt(1));
    EXPECT_EQ(doc.caretCol, 2);
    setCaretFromOffset(999);  // past the end: the end of the last line
    EXPECT_EQ(doc.caretLine, lineAt(3));
    EXPECT_EQ(doc.caretCol, 3);
}

// ==== Selection ====

TEST_F(CoreTest, SelectionEndIsInclusive) {
    setDocument({"abc"});
    selectOnFirstLine(0, 1);
    EXPECT_TRUE(isSelectedAt(doc.head, 0));
    EXPECT_TRUE(isSelectedAt(doc.head, 1));
    EXPECT_FALSE(isSelectedAt(doc.head, 2));

    doc.caretCol = 0;  // anchor and caret at the same place select nothing
    updateSelection();
    EXPECT_TRUE(doc.head->flags & LN_SELECTED);
    EXPECT_FALSE(isSelectedAt(doc.head, 0));
}

TEST_F(CoreTest, SelectionAcrossLinesInBothDirections) {
    setDocument({"abcd", "efgh", "ijkl", "mnop"});
    doc.anchorLine = lineAt(2);
    doc.anchorCol = 1;
    doc.caretLine = lineAt(0);
    doc.caretCol = 2;
    updateSelection();  // backward: start is the caret
    EXPECT_EQ(doc.selStartLine, lineAt(0));
    EXPECT_EQ(doc.selStartCol, 2);
    EXPECT_EQ(doc.selEndLine, lineAt(2));
    EXPECT_EQ(doc.selEndCol, 1);
    EXPECT_FALSE(isSelectedAt(lineAt(0), 1));
    EXPECT_TRUE(isSelectedAt(lineAt(0), 4));  // the line break
    EXPECT_TRUE(isSelectedAt(lineAt(1), 0));
    EXPECT_TRUE(isSelectedAt(lineAt(2), 1));
    EXPECT_FALSE(isSelectedAt(lineAt(2), 2));
    EXPECT_FALSE(lineAt(3)->flags & LN_SELECTED);

    clearSelection();
    for (LineNode* line = doc.head; line; line = line->next) EXPECT_FALSE(line->flags & LN_SELECTED);
    EXPECT_EQ(doc.anchorLine, nullptr);
}

TEST_F(CoreTest, UpdateSelectionClampsColumnsAndRecoversALostAnchor) {
    setDocument({"ab", "cd"});
    doc.caretLine = lineAt(1);
    doc.caretCol = 99;
    doc.anchorLine = nullptr;
    updateSelection();
    EXPECT_EQ(doc.caretCol, 2);
    EXPECT_EQ(doc.anchorLine, doc.caretLine);
}

TEST_F(CoreTest, SnapSelectionMovesEndsOffTrailBytes) {
    setDocument({"\xD6\xD0\xCE\xC4"});
    selectOnFirstLine(1, 3);
    snapSelection();
    EXPECT_EQ(doc.selStartCol, 0);
    EXPECT_EQ(doc.selEndCol, 2);
}

TEST_F(CoreTest, VisibleSelectionLooksOnlyAtRowsOnScreen) {
    setDocument({"a", "b", "c", "d", "e"});
    view.clientHeight = 49;  // rows at y = 0, 24, 48: three lines
    markLineSelected(lineAt(3));
    EXPECT_FALSE(hasVisibleSelection());
    markLineSelected(lineAt(2));
    EXPECT_TRUE(hasVisibleSelection());
    doc.topLine = lineAt(4);
    EXPECT_FALSE(hasVisibleSelection());
}

TEST_F(CoreTest, StyleOfSelectionTouchesSelectedLinesOnly) {
    setDocument({"a", "b"});
    markLineSelected(lineAt(1));
    lineAt(1)->flags |= LN_BOOKMARK;
    setStyleOfSelection(STYLE_NOTE);
    EXPECT_EQ(lineStyle(lineAt(0)), STYLE_BODY);
    EXPECT_EQ(lineStyle(lineAt(1)), STYLE_NOTE);
    EXPECT_TRUE(lineAt(1)->flags & LN_BOOKMARK);
}
