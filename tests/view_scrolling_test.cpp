// Hit-testing, keeping the caret in view, the system caret, the scroll bar, the wheel and
// the middle button.
#include <string>
#include <vector>

#include "app/mouse.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "app/window_proc.h"
#include "support/test_document.h"
#include "view/layout.h"
#include "view/view_state.h"

namespace {

class ScrollTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        initStyles();
        view.clientWidth = 400;
        view.clientHeight = 240;  // ten rows
    }
    void setManyLines(int count) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) lines.push_back("line " + std::to_string(i));
        setDocument(lines);
    }
    // The action codes the editor received while `send` ran.
    template <typename Send>
    std::vector<uint32_t> actionsDuring(Send send) {
        recorder.recording = true;
        send();
        recorder.recording = false;
        std::vector<uint32_t> codes;
        for (const RecordedEvent* event = recorder.sequence; event; event = event->next) codes.push_back(event->message);
        freeSequence();
        return codes;
    }
};

}  // namespace

TEST_F(ScrollTest, HitTestPutsTheCaretBeforeTheCharacterUnderThePoint) {
    setDocument({"a中b", "xyz", "last"});
    struct Case {
        int scrollX, px, py;
        int line, col;
    };
    const Case cases[] = {
        {0, 5, 5, 0, 0},     {0, 12, 5, 0, 1},   {0, 20, 5, 0, 1},   {0, 30, 5, 0, 1},  // right half of 中
        {0, 36, 5, 0, 3},    {0, 300, 5, 0, 4},  {0, -7, 5, 0, 0},   {-12, 0, 5, 0, 1},
        {0, 13, 30, 1, 1},   {0, 5, -10, 0, 0},  // a row above the first truncates to row 0
        {0, 5, 100, 2, 4},   // below the last line: the end of the document
    };
    for (const Case& c : cases) {
        view.scrollX = c.scrollX;
        hitTest(c.px, c.py);
        EXPECT_EQ(doc.caretLine, lineAt(c.line)) << c.px << "," << c.py;
        EXPECT_EQ(doc.caretCol, c.col) << c.px << "," << c.py;
    }
    doc.caretLine = lineAt(1);
    hitTest(5, -30);  // a whole row above the document leaves the caret alone
    EXPECT_EQ(doc.caretLine, lineAt(1));
}

TEST_F(ScrollTest, EnsureCaretVisibleScrollsJustEnoughVertically) {
    setManyLines(50);
    struct Case {
        int top, caret;
        int expectedTop;
    };
    const Case cases[] = {
        {0, 5, 0},    {0, 10, 0},  // exactly a page below the top stays
        {0, 11, 2},   {0, 40, 31}, // further down: the caret goes to the last full row
        {30, 5, 5},   {30, 29, 29},
    };
    for (const Case& c : cases) {
        doc.topLine = lineAt(c.top);
        doc.caretLine = lineAt(c.caret);
        ensureCaretVisible();
        EXPECT_EQ(lineIndex(doc.topLine), c.expectedTop) << c.top << " " << c.caret;
        EXPECT_EQ(fake().caretY, 24 * (c.caret - c.expectedTop));
    }
    EXPECT_EQ(fake().scrollMax, 49);
    EXPECT_EQ(fake().scrollPage, 10);
    EXPECT_EQ(fake().scrollPos, 29);  // the thumb follows the caret
}

TEST_F(ScrollTest, EnsureCaretVisibleClampsTheColumnAndScrollsSideways) {
    setDocument({std::string(100, 'a'), "中文"});
    doc.caretCol = 50;  // 600 pixels in: past the right edge
    ensureCaretVisible();
    EXPECT_EQ(view.scrollX, -255);
    EXPECT_EQ(fake().caretX, 345);  // 55 pixels from the right edge
    doc.caretCol = 10;  // left of the window now
    ensureCaretVisible();
    EXPECT_EQ(view.scrollX, -120);
    EXPECT_EQ(fake().caretX, 0);

    view.clientWidth = 40;  // narrower than the margin: the caret goes to the left edge
    doc.caretCol = 50;
    ensureCaretVisible();
    EXPECT_EQ(fake().caretX, 0);
    view.clientWidth = 400;

    const int columns[][2] = {{500, 100}, {-3, 0}};
    for (const auto& c : columns) {
        doc.caretCol = c[0];
        ensureCaretVisible();
        EXPECT_EQ(doc.caretCol, c[1]);
    }
    doc.caretLine = lineAt(1);
    doc.caretCol = 1;  // inside 中
    ensureCaretVisible();
    EXPECT_EQ(doc.caretCol, 0);
    EXPECT_EQ(fake().caretWidth, 2);
    EXPECT_EQ(fake().caretHeight, 24);
    EXPECT_TRUE(fake().caretVisible);
}

TEST_F(ScrollTest, WithoutTheFocusNoCaretIsMadeButTheWindowRepaints) {
    setDocument({"abc"});
    fake().hasFocus = false;
    const int invalidations = fake().invalidations;
    ensureCaretVisible();
    EXPECT_FALSE(fake().caretExists);
    EXPECT_GT(fake().invalidations, invalidations);
}

TEST_F(ScrollTest, AMinimisedWindowKeepsItsViewForTheRestore) {
    setDocument({std::string(100, 'a'), "b", "c", "d"});
    doc.caretLine = lineAt(3);
    doc.caretCol = 1;
    view.clientWidth = view.clientHeight = 0;  // the size a minimised window reports
    ensureCaretVisible();
    EXPECT_EQ(doc.topLine, doc.head);
    EXPECT_EQ(view.scrollX, 0);
}

TEST_F(ScrollTest, AOneLineDocumentLeavesTheScrollBarAlone) {
    setDocument({"only"});
    fake().scrollMax = 77;
    updateScrollBar();
    EXPECT_EQ(fake().scrollMax, 77);
}

TEST_F(ScrollTest, WheelAndMiddleButtonMoveTheCaretByRows) {
    setManyLines(5);
    struct Case {
        int height;
        int delta;
        uint32_t action;
        size_t steps;
    };
    const Case cases[] = {
        {600, -120, ACTION_CARET_DOWN, 4}, {600, 120, ACTION_CARET_UP, 3},
        {720, -120, ACTION_CARET_DOWN, 5}, {720, 120, ACTION_CARET_UP, 4},
        {720, 0, ACTION_CARET_DOWN, 5},    {23, -120, ACTION_CARET_DOWN, 0},
    };
    for (const Case& c : cases) {
        view.clientHeight = c.height;
        const uintptr_t wParam = static_cast<uintptr_t>(static_cast<uint16_t>(c.delta)) << 16;
        const std::vector<uint32_t> codes = actionsDuring([&] { handleMessage(MSG_MOUSEWHEEL, wParam, 0); });
        EXPECT_EQ(codes, std::vector<uint32_t>(c.steps, c.action)) << c.height << " " << c.delta;
    }
    EXPECT_EQ(actionsDuring([] { handleMessage(MSG_MBUTTONDOWN, 0, 0); }), std::vector<uint32_t>{519});
}

TEST_F(ScrollTest, ScrollBarRequestsBecomeUnrecordedCaretMoves) {
    setManyLines(50);
    // Request, and the caret line it leads to from line 25 (ten rows: a page is nine lines).
    const std::pair<unsigned, int> requests[] = {
        {0, 24}, {1, 26}, {2, 16}, {3, 34}, {6, 0}, {7, 49}, {8, 25},
    };
    for (const auto& request : requests) {
        doc.caretLine = lineAt(25);
        ensureCaretVisible();
        EXPECT_TRUE(actionsDuring([&] { onScrollBar(request.first); }).empty()) << request.first;
        EXPECT_EQ(lineIndex(doc.caretLine), request.second) << request.first;
    }
}

TEST_F(ScrollTest, DraggingTheThumbPutsTheCaretOnItsLine) {
    setManyLines(50);
    ensureCaretVisible();
    fake().scrollTrack = 30;
    onScrollBar(5);
    EXPECT_EQ(lineIndex(doc.caretLine), 30);
    EXPECT_EQ(lineIndex(doc.topLine), 21);  // scrolled just enough

    fake().scrollTrack = 40;  // the thumb stood at 30: 49 - 30 is not below 10 x 1.8
    onScrollBar(5);
    EXPECT_EQ(lineIndex(doc.topLine), 31);

    fake().scrollTrack = 45;  // from 40, near the end (49 - 40 < 18): the line goes to the top
    onScrollBar(4);
    EXPECT_EQ(lineIndex(doc.caretLine), 45);
    EXPECT_EQ(lineIndex(doc.topLine), 45);

    fake().scrollTrack = 80;  // past the document: the caret stays
    onScrollBar(5);
    EXPECT_EQ(lineIndex(doc.caretLine), 45);
}
