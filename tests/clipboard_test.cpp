// Copy, cut and paste: the selected text, the byte rules of paste and what a paste leaves.
#include <cstring>
#include <string>
#include <vector>

#include "edit/clipboard.h"
#include "document/paste_text.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

}  // namespace

// ==== The byte rules of paste ====

TEST(PasteRules, ClipboardTextBecomesPiecesBetweenBreaks) {
    struct Case {
        const char* name;
        std::string text;
        bool commas;
        Lines pieces;
    };
    const Case cases[] = {
        {"CR LF is one break", "a\r\nb\r\n", false, {"a", "b", ""}},
        {"CR alone breaks, also an empty piece", "a\r\rb", false, {"a", "", "b"}},
        {"LF-only text keeps its empty lines", "a\n\nb", false, {"a", "", "b"}},
        {"an LF right after a form feed is dropped", "a\x0C\n\nb", false, {"a", "", "b"}},
        {"0x1A breaks and ends the text", "a\x1A" "b", false, {"a", ""}},
        {"form feed, 0x8C and 0x8D break", "a\x0C" "b\x8C" "1\x8D" "2", false, {"a", "b", "1", "2"}},
        {"0x8A is a line feed", "a\x8A" "1", false, {"a", "1"}},
        {"0x8C and 0x8A begin characters", "\x8C\x57\x8C\xA6\x8A\x41" "b\x8C" "c", false,
         {"\x8C\x57\x8C\xA6\x8A\x41" "b\x8C" "c"}},
        {"0x8A as a second byte stays", "\xB0\x8A", false, {"\xB0\x8A"}},
        {"backslash n breaks", "x\\ny", false, {"x", "y"}},
        {"backslash n as a second byte stays", "\xB0\\n", false, {"\xB0\\n"}},
        {"a second byte 0x80 ends its character", "\xB0\x80\xB0\x8C", false, {"\xB0\x80\xB0\x8C"}},
        {"a first byte before a line end stays alone", "\x81\x0D" "a", false, {"\x81", "a"}},
        {"0x80 is a single byte", "\x80\x8A" "1", false, {"\x80", "1"}},
        {"tabs stay tabs", "a\tb", false, {"a\tb"}},
        {"tabs become commas with Shift", "a\tb", true, {"a,b"}},
        {"other control bytes are dropped", "a\x01\x1B" "b", false, {"ab"}},
    };
    for (const Case& c : cases) EXPECT_EQ(clipboardPieces(c.text, c.commas), c.pieces) << c.name;

    std::string recorded;
    clipboardPieces("a\tb\x81\t", true, &recorded);
    EXPECT_EQ(recorded, "a,b\x81,");  // a tab is never a second byte
}

TEST(PasteRules, SelectedTextBreaksOnlyAtCrLf) {
    EXPECT_EQ(literalPieces("a\\nb\tc\x1A\r\nd\re"), (Lines{"a\\nb\tc\x1A", "d\re"}));
    EXPECT_EQ(literalPieces("ab\r\n"), (Lines{"ab", ""}));
    EXPECT_EQ(literalPieces(""), (Lines{""}));
}

// ==== Copy ====

TEST_F(EditingTest, CopyWritesSelectedBytesWithCrLfAtSelectedHardReturns) {
    struct Case {
        const char* name;
        Lines lines;
        bool softFirst;
        int line1, col1, line2, col2;
        std::string copied;
    };
    const Case cases[] = {
        {"over a hard return", {"abcd", "efgh"}, false, 0, 2, 1, 1, "cd\r\nef"},
        {"over a soft return", {"abcd", "efgh"}, true, 0, 2, 1, 1, "cdef"},
        {"a line with its break", {"ab", "c"}, false, 0, 0, 0, 2, "ab\r\n"},
        {"anchor and caret on one place select nothing", {"a中b"}, false, 0, 1, 0, 1, ""},
        {"a Chinese character at the end", {"a中b"}, false, 0, 0, 0, 1, "a中"},
        {"a lone first byte before the break", {"a\xB0", "c"}, false, 0, 0, 1, 0, "a\xB0\r\nc"},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        if (c.softFirst) lineAt(0)->flags &= ~LN_HARD_RETURN;
        selectSpan(c.line1, c.col1, c.line2, c.col2);
        EXPECT_EQ(copiedText(), c.copied) << c.name;
        EXPECT_EQ(selectionTextSize(), static_cast<int>(c.copied.size())) << c.name;
    }
    clearSelection();
    EXPECT_EQ(copiedText(), "");  // nothing selected: an empty text
}

TEST_F(EditingTest, SelectionTextStopsBeforeACharacterThatDoesNotFit) {
    setDocument({"a中", "b"});
    selectSpan(0, 0, 1, 0);  // a 中 CR LF b: 6 bytes
    struct Case {
        int capacity;
        std::string text;
    };
    const Case cases[] = {{1, ""}, {2, "a"}, {3, "a"}, {4, "a中"}, {5, "a中"}, {6, "a中\r\n"}, {7, "a中\r\nb"}, {99, "a中\r\nb"}};
    for (const Case& c : cases) {
        std::string buffer(c.capacity + 4, '#');
        const int written = selectionText(&buffer[0], c.capacity);
        EXPECT_EQ(buffer.substr(0, written), c.text) << c.capacity;
        EXPECT_EQ(buffer[written], '\0') << c.capacity;
        EXPECT_EQ(buffer.substr(c.capacity), "####") << c.capacity;
    }
}

TEST_F(EditingTest, CutCopiesAndDeletesTheSelection) {
    setDocument({"abcd", "efgh"});
    selectSpan(0, 2, 1, 1);
    pressCtrl('X');
    EXPECT_EQ(fake().clipboard, "cd\r\nef");
    EXPECT_EQ(documentLines(), (Lines{"ab", "gh"}));
    setDocument({"xy"});
    selectSpan(0, 0, 0, 0);
    press(VKEY_DELETE, KEYMOD_SHIFT);  // Shift+Delete cuts too
    EXPECT_EQ(fake().clipboard, "");
    EXPECT_EQ(documentLines(), Lines{"xy"});
    // A clipboard held by another program takes nothing: the selection stays in the text.
    setDocument({"abcd"});
    setClipboard("older");
    fake().clipboardRefuses = true;
    selectSpan(0, 1, 0, 2);
    pressCtrl('X');
    EXPECT_EQ(documentLines(), Lines{"abcd"});
    EXPECT_EQ(fake().clipboard, "older");
    fake().clipboardRefuses = false;
    EXPECT_EQ(copiedText(), "bc");  // and still selected
}

// ==== Paste ====

TEST_F(EditingTest, PasteSplitsLinesAndLeavesThePastedTextSelected) {
    struct Case {
        const char* name;
        Lines lines;
        int line, col;
        std::string clipboard;
        Lines result;
        std::string selected;
    };
    // One pasted character: the caret goes back onto it, where the anchor is, and a
    // selection whose ends meet selects nothing.
    const Case cases[] = {
        {"two pieces between x and y", {"xy"}, 0, 1, "a\r\nb\r\n", {"xa", "b", "y"}, "a\r\nb"},
        {"at a line end, ending in text", {"ab", "XY"}, 0, 2, "one\r\ntwo", {"abone", "two", "XY"}, "one\r\ntwo"},
        {"at a line end, ending in a break", {"ab", "XY"}, 0, 2, "one\r\n", {"abone", "", "XY"}, "one"},
        {"within a line", {"ab"}, 0, 1, "中x", {"a中xb"}, "中x"},
        {"backslash n", {""}, 0, 0, "x\\ny", {"x", "y"}, "x\r\ny"},
        {"nothing after the first NUL", {"ab"}, 0, 0, std::string("x\0y", 3), {"xab"}, ""},
        {"blanks after the caret are kept", {"{  x"}, 0, 1, "a\r\n", {"{a", "  x"}, ""},
    };
    for (const Case& c : cases) {
        setDocument(c.lines);
        putCaret(c.line, c.col);
        setClipboard(c.clipboard);
        pressCtrl('V');
        EXPECT_EQ(documentLines(), c.result) << c.name;
        EXPECT_EQ(copiedText(), c.selected) << c.name;
        EXPECT_TRUE(doc.modified) << c.name;
    }
}

TEST_F(EditingTest, ShiftInsertPastesTabsAsCommas) {
    setDocument({""});
    setClipboard("a\tb");
    press(VKEY_INSERT, KEYMOD_SHIFT);
    EXPECT_EQ(documentLines(), Lines{"a,b"});
    setDocument({""});
    setClipboard("a\tb");
    pressCtrl('V');
    EXPECT_EQ(documentLines(), Lines{"a\tb"});
}

TEST_F(EditingTest, PasteReplacesASelectionOnScreen) {
    setDocument({"abcd"});
    selectSpan(0, 1, 0, 2);
    setClipboard("XY");
    pressCtrl('V');
    EXPECT_EQ(documentLines(), Lines{"aXYd"});
}

TEST_F(EditingTest, PasteWithoutClipboardTextChangesNothing) {
    for (const bool hasText : {false, true}) {
        setDocument({"abc"});
        putCaret(0, 2);
        fake().clipboard.clear();
        fake().clipboardHasText = hasText;
        pressCtrl('V');
        EXPECT_EQ(documentLines(), Lines{"abc"});
        EXPECT_FALSE(doc.modified);
        EXPECT_EQ(caretAt(), std::make_pair(0, 2));
        EXPECT_EQ(doc.selStartLine, nullptr);
    }
}

TEST_F(EditingTest, ALongPastedLineArrivesWhole) {
    const std::string longLine(250000, 'q');
    setDocument({"<>"});
    putCaret(0, 1);
    setClipboard(longLine + "\r\n" + longLine);
    pressCtrl('V');
    ASSERT_EQ(documentLines().size(), 2u);
    EXPECT_EQ(std::strlen(lineAt(0)->text), longLine.size() + 1);
    EXPECT_EQ(std::strlen(lineAt(1)->text), longLine.size() + 1);
}
