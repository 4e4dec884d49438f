// The left button: clicks, drag selection, and dragging the selection to move or copy it.
#include <string>
#include <vector>

#include "app/mouse.h"
#include "app/messages.h"
#include "document/selection.h"
#include "support/test_document.h"
#include "view/frame.h"
#include "view/layout.h"
#include "view/view_state.h"

namespace {

class MouseTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        initStyles();
        view.clientWidth = 400;
        view.clientHeight = 240;
    }
    static intptr_t at(int x, int y) {
        return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x));
    }
    // Selects columns first..last of line 0 (both included), as a keyboard selection does.
    void select(int first, int last) {
        doc.anchorLine = doc.caretLine = doc.head;
        doc.anchorCol = first;
        doc.caretCol = last;
        updateSelection();
    }
    void paint() {
        Frame frame;
        buildFrame(frame);
    }
};

}  // namespace

// On "abcdef" with "abc" selected, the selection is dragged to column 5 (x = 60).
TEST_F(MouseTest, DraggingTheSelectionMovesItOrWithCtrlCopiesIt) {
    struct Case {
        bool ctrl;
        const char* result;
    };
    for (const Case& c : {Case{false, "deabcf"}, Case{true, "abcdeabcf"}}) {
        setDocument({"abcdef"});
        select(0, 2);
        if (c.ctrl) fake().keysDown.insert(VKEY_CONTROL);
        onLeftButtonDown(at(18, 5));
        EXPECT_TRUE(view.dragSelection);
        onMouseMove(at(60, 5));
        onLeftButtonUp(at(60, 5));
        EXPECT_EQ(documentLines(), std::vector<std::string>{c.result}) << c.ctrl;
        EXPECT_EQ(fake().clipboard, "abc");
        EXPECT_FALSE(view.mouseDown || view.dragSelection || fake().mouseCaptured);
        fake().keysDown.clear();
    }
}

TEST_F(MouseTest, DroppingOnAnotherLineOrBackOntoTheSelection) {
    setDocument({"abcdef", "xyz"});
    select(0, 2);
    onLeftButtonDown(at(18, 5));
    onLeftButtonUp(at(30, 5));  // still on the selection: nothing moves
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"abcdef", "xyz"}));

    select(0, 2);
    onLeftButtonDown(at(18, 5));
    onLeftButtonUp(at(12, 30));  // after the x of the next line
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"def", "xabcyz"}));
}

TEST_F(MouseTest, DraggingSelectsFromWhereTheButtonWentDown) {
    setDocument({"abcdef", "ghi"});
    onLeftButtonDown(at(18, 5));  // before b
    EXPECT_EQ(doc.caretCol, 1);
    EXPECT_TRUE(fake().mouseCaptured && view.mouseDown && !view.dragSelection);
    onMouseMove(at(50, 5));  // before e
    paint();
    onLeftButtonUp(at(50, 5));
    EXPECT_TRUE(isSelectedAt(doc.head, 1) && isSelectedAt(doc.head, 4));
    EXPECT_FALSE(isSelectedAt(doc.head, 0) || isSelectedAt(doc.head, 5));

    onLeftButtonDown(at(5, 30));  // a click without movement elsewhere clears it
    onLeftButtonUp(at(5, 30));
    EXPECT_FALSE((doc.head->flags | lineAt(1)->flags) & LN_SELECTED);
    EXPECT_EQ(doc.caretLine, lineAt(1));
}

TEST_F(MouseTest, DraggingPastTheWindowEdgesRunsTheCaretOn) {
    std::vector<std::string> lines(30, "abcdef");
    setDocument(lines);
    onLeftButtonDown(at(18, 5));
    onMouseMove(at(18, 250));  // below the window: row 10, then one more
    EXPECT_EQ(lineIndex(doc.caretLine), 11);
    EXPECT_EQ(lineIndex(doc.topLine), 2);  // scrolled so the caret shows
    onMouseMove(at(500, 30));  // right of the window: one column more than the end
    EXPECT_EQ(doc.caretCol, 6);
    onMouseMove(at(-5, -30));  // above and left: the row above the top, then one more
    EXPECT_EQ(lineIndex(doc.caretLine), 0);
    EXPECT_EQ(lineIndex(doc.topLine), 0);
    onLeftButtonUp(at(-5, -30));
    EXPECT_FALSE(view.mouseDown);
}
