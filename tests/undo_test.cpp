// Undo and redo of every kind of edit, the ring's limits and records that went stale.
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "edit/editing.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "edit/undo_redo.h"
#include "document/undo_ring.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

void undoSteps(int count) {
    for (int i = 0; i < count; ++i) pressCtrl('Z');
}

void redoSteps(int count) {
    for (int i = 0; i < count; ++i) pressCtrl('Y');
}

// Replaces a line's text behind the editor's back, as an unrecorded command would.
void rewriteLine(int index, const char* text) {
    LineNode* line = lineAt(index);
    replaceLineText(line, copyStringOrExit(text));
    doc.modified = 1;
}

}  // namespace

// Every kind of edit: one undo gives back the text before it, one redo the text after it.
TEST_F(EditingTest, UndoRevertsAndRedoRepeatsEachKindOfEdit) {
    struct Case {
        const char* name;
        Lines lines;
        std::function<void()> edit;
        Lines edited;
    };
    const Case cases[] = {
        {"type", {"ab"}, [] { putCaret(0, 1); typeBytes("x"); }, {"axb"}},
        {"split", {"abcd"}, [] { putCaret(0, 2); press(VKEY_RETURN); }, {"ab", "cd"}},
        {"delete a Chinese character", {"a中b"}, [] { putCaret(0, 1); press(VKEY_DELETE); }, {"ab"}},
        {"join", {"ab", "cd"}, [] { putCaret(0, 2); press(VKEY_DELETE); }, {"abcd"}},
        {"join onto blanks after a brace", {"{", "  x"}, [] { putCaret(0, 1); press(VKEY_DELETE); }, {"{  x"}},
        {"paste between x and y",
         {"xy"},
         [] {
             putCaret(0, 1);
             setClipboard("a\r\nb\r\n");
             pressCtrl('V');
         },
         {"xa", "b", "y"}},
        {"paste with its tabs as commas",
         {"xy"},
         [] {
             putCaret(0, 1);
             setClipboard("1\t2\r\n3");
             press(VKEY_INSERT, KEYMOD_SHIFT);
         },
         {"x1,2", "3y"}},
        {"paste a single character", {"xy"}, [] { putCaret(0, 1); setClipboard("z"); pressCtrl('V'); }, {"xzy"}},
        {"delete a selection within a line", {"xaby"}, [] { selectSpan(0, 1, 0, 2); press(VKEY_DELETE); }, {"xy"}},
        {"delete a selection over two lines",
         {"abcd", "efgh"},
         [] { selectSpan(0, 2, 1, 1); press(VKEY_DELETE); },
         {"ab", "gh"}},
        {"delete a selection up to a line end",
         {"abcd", "mid", "efgh", "z"},
         [] { selectSpan(0, 2, 2, 4); press(VKEY_DELETE); },
         {"ab", "", "z"}},
        {"delete a selection ending at an empty line",
         {"abcd", "", "z"},
         [] { selectSpan(0, 2, 1, 0); press(VKEY_DELETE); },
         {"ab", "", "z"}},
        {"delete a selection holding backslash n and a tab",
         {"say \\n\tnow", "next"},
         [] { selectSpan(0, 0, 0, 10); press(VKEY_DELETE); },
         {"", "next"}},
        {"cut", {"abc"}, [] { selectSpan(0, 0, 0, 1); pressCtrl('X'); }, {"c"}},
    };
    for (const Case& c : cases) {
        resetUndo();
        setDocument(c.lines);
        c.edit();
        ASSERT_EQ(documentLines(), c.edited) << c.name;
        pressCtrl('Z');
        EXPECT_EQ(documentLines(), c.lines) << c.name << ": undo";
        pressCtrl('Y');
        EXPECT_EQ(documentLines(), c.edited) << c.name << ": redo";
        pressCtrl('Z');
        EXPECT_EQ(documentLines(), c.lines) << c.name << ": undo after redo";
        EXPECT_EQ(documentInvariantViolation(), "") << c.name;
    }
}

TEST_F(EditingTest, UndoingSteps) {
    struct Case {
        const char* name;
        Lines lines;
        int line, col;
        std::function<void()> edit;
        Lines edited;
        int steps;
    };
    const Case cases[] = {
        {"three typed characters", {""}, 0, 0, [] { typeBytes("abc"); }, {"abc"}, 3},
        {"a Chinese character typed as two bytes", {"ab"}, 0, 2, [] { typeBytes("中"); }, {"ab中"}, 2},
        {"Enter that indents", {"{  x"}, 0, 1, [] { press(VKEY_RETURN); }, {"{", "\tx"}, 4},
    };
    for (const Case& c : cases) {
        resetUndo();
        setDocument(c.lines);
        putCaret(c.line, c.col);
        c.edit();
        ASSERT_EQ(documentLines(), c.edited) << c.name;
        undoSteps(c.steps);
        EXPECT_EQ(documentLines(), c.lines) << c.name;
        undoSteps(1);  // nothing older
        EXPECT_EQ(documentLines(), c.lines) << c.name;
        redoSteps(c.steps);
        EXPECT_EQ(documentLines(), c.edited) << c.name;
    }
}

TEST_F(EditingTest, RedoWithNothingUndoneAppliesTheNewestRecordOnceMore) {
    setDocument({""});
    typeBytes("x");
    pressCtrl('Y');
    EXPECT_EQ(documentLines(), Lines{"xx"});
    pressCtrl('Y');  // the empty record it pushed stops a further redo
    EXPECT_EQ(documentLines(), Lines{"xx"});
    pressCtrl('Z');
    EXPECT_EQ(documentLines(), Lines{"x"});
}

TEST_F(EditingTest, UndoAfterARedoThatReachedTheNewestRecordRevertsTheRedoneRecord) {
    setDocument({""});
    typeBytes("abc");
    undoSteps(2);
    EXPECT_EQ(documentLines(), Lines{"a"});
    pressCtrl('Y');  // b again; c is next and is also the newest record
    EXPECT_EQ(documentLines(), Lines{"ab"});
    pressCtrl('Z');
    EXPECT_EQ(documentLines(), Lines{"a"});
    redoSteps(2);
    EXPECT_EQ(documentLines(), Lines{"abc"});
}

TEST_F(EditingTest, UndoStopsAtTheOldestRecordTheRingHolds) {
    setDocument({""});
    const int typed = UNDO_RING_SIZE + 5;
    for (int i = 0; i < typed; ++i) typeChar(static_cast<char>('a' + i % 26), true);
    undoSteps(UNDO_RING_SIZE + 20);
    EXPECT_EQ(documentLines(), Lines{"abcde"});
    redoSteps(3);
    EXPECT_EQ(documentLines(), Lines{"abcdefgh"});
}

TEST_F(EditingTest, AStaleRecordIsUsedUpWithoutChangingTheText) {
    // Undo finds other text where a typed character was: nothing is removed, and a later
    // redo does not type it a second time.
    setDocument({""});
    typeBytes("ab");
    rewriteLine(0, "zz");
    pressCtrl('Z');
    EXPECT_EQ(documentLines(), Lines{"zz"});
    pressCtrl('Y');
    EXPECT_EQ(documentLines(), Lines{"zz"});

    // Redo finds other text where a character was deleted: nothing is deleted, and the
    // next undo does not put the character back.
    resetUndo();
    setDocument({"abc"});
    putCaret(0, 1);
    press(VKEY_DELETE);
    pressCtrl('Z');
    rewriteLine(0, "axc");
    pressCtrl('Y');
    EXPECT_EQ(documentLines(), Lines{"axc"});
    pressCtrl('Z');
    EXPECT_EQ(documentLines(), Lines{"axc"});
}

TEST_F(EditingTest, RecordsAreKeptOnlyOutsideUndoAndRedo) {
    setDocument({""});
    pressCtrl('Z');  // an empty ring: nothing happens
    EXPECT_EQ(undoRing.newest, undoRing.current);
    EXPECT_EQ(undoRing.newest->kind, UNDO_EMPTY);
    ++undoRing.replaying;
    typeChar('a', true);
    --undoRing.replaying;
    EXPECT_EQ(undoRing.newest->kind, UNDO_EMPTY);
    typeChar('b', true);
    EXPECT_EQ(undoRing.newest->kind, UNDO_TYPE);
    EXPECT_EQ(undoRing.newest->offset, 2);
    EXPECT_STREQ(undoRing.newest->text, "b");
}

TEST_F(EditingTest, UndoingADeletionGoesThroughTheClipboard) {
    setDocument({"abc"});
    setClipboard("kept?");
    selectSpan(0, 0, 0, 1);
    press(VKEY_DELETE);
    pressCtrl('Z');
    EXPECT_EQ(documentLines(), Lines{"abc"});
    EXPECT_EQ(fake().clipboard, "ab");
    EXPECT_EQ(copiedText(), "ab");  // and the text is selected again
}
