// The frame the core lays out for the painter, checked to the pixel with the fake's
// extents (12 pixels per byte, 24 per double-byte character).
#include <string>
#include <vector>

#include "document/selection.h"
#include "support/test_document.h"
#include "view/frame.h"
#include "view/frame_changes.h"
#include "view/layout.h"
#include "view/palette.h"
#include "view/view_state.h"

namespace {

class FrameTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        initStyles();
        view.clientWidth = 400;
        view.clientHeight = 60;  // rows at y = 0, 24 and 48
    }
    Frame frame() {
        Frame built;
        buildFrame(built);
        return built;
    }
};

struct RunShape {
    int x, y;
    std::string bytes;
    std::vector<int> advances;
    Colour text;
    bool opaque;
};

void expectRuns(const std::vector<TextRun>& runs, const std::vector<RunShape>& expected) {
    ASSERT_EQ(runs.size(), expected.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].x, expected[i].x) << "run " << i;
        EXPECT_EQ(runs[i].y, expected[i].y) << "run " << i;
        EXPECT_EQ(runs[i].bytes, expected[i].bytes) << "run " << i;
        EXPECT_EQ(runs[i].advances, expected[i].advances) << "run " << i;
        EXPECT_EQ(runs[i].textColour, expected[i].text) << "run " << i;
        EXPECT_EQ(runs[i].opaque, expected[i].opaque) << "run " << i;
    }
}

}  // namespace

TEST_F(FrameTest, GutterShowsMarksAndNumbersRightAlignedInEachRow) {
    struct Case {
        uint32_t flags;
        int wrap;
        int number;
        const char* label;
    };
    const Case cases[] = {
        {LN_BOOKMARK, 0, 7, "#.07"},
        {LN_HARD_RETURN, 0, 123, "  123"},
        {LN_HARD_RETURN, 1, 5, " -05"},
        {LN_HARD_RETURN | LN_BOOKMARK, 1, 9, "#-09"},
    };
    for (const Case& c : cases) {
        setDocument(std::vector<std::string>(static_cast<size_t>(c.number) + 2, "x"));
        view.wrapMode = c.wrap;
        doc.topLine = lineAt(c.number - 1);
        doc.topLine->flags = c.flags;
        const Frame built = frame();
        ASSERT_EQ(built.gutter.size(), 3u);
        const TextRun& label = built.gutter[0];
        EXPECT_EQ(label.bytes, c.label);
        EXPECT_EQ(label.x + label.width(), 400);
        EXPECT_EQ(label.y, 3);  // (24 - 18) / 2: centred in the row
        EXPECT_EQ(label.textColour, rgb(0x00, 0x85, 0x00));
        EXPECT_FALSE(label.opaque);
        EXPECT_EQ(built.gutter[2].y, 51);
    }
    view.showLineNumbers = 0;
    EXPECT_TRUE(frame().gutter.empty());
}

TEST_F(FrameTest, CharactersAreRunsOfOneColourAtMeasuredPositions) {
    setDocument({"ab中\tc", "", "x"});
    view.showLineNumbers = 0;
    const Frame built = frame();
    // The tab from 48 to 80 is drawn as spaces at 48, 60 and 72, the last one carrying
    // the rest of the advance.
    expectRuns(built.text, {
                               {0, 0, "ab", {12, 12}, Palette[7], false},
                               {24, 0, "中   ", {24, 12, 12, 8}, Palette[8], false},
                               {80, 0, "c", {12}, Palette[7], false},
                               {0, 48, "x", {12}, Palette[7], false},
                           });
    EXPECT_EQ(built.width, 400);
    EXPECT_EQ(built.height, 60);
    EXPECT_EQ(built.background, rgb(0, 0, 0));
}

TEST_F(FrameTest, SelectedBytesAreDrawnOnTheSelectionBackground) {
    setDocument({"abcdef"});
    selectOnFirstLine(1, 3);
    const Frame built = frame();
    expectRuns(built.text, {
                               {0, 0, "a", {12}, Palette[7], false},
                               {12, 0, "bcd", {12, 12, 12}, Palette[7], true},
                               {48, 0, "ef", {12, 12}, Palette[7], false},
                           });
    EXPECT_EQ(built.text[1].backgroundColour, rgb(0x00, 0x00, 0xA6));
    EXPECT_EQ(built.text[1].cellHeight, 18);
}

TEST_F(FrameTest, OnlyCharactersInsideTheWindowAreLaidOut) {
    setDocument({"abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmn"});
    view.scrollX = -30;  // 'a' and 'b' end left of the window, 'c' straddles its edge
    const Frame built = frame();
    ASSERT_FALSE(built.text.empty());
    EXPECT_EQ(built.text[0].x, -6);
    EXPECT_EQ(built.text[0].bytes[0], 'c');
    const TextRun& last = built.text.back();
    EXPECT_LT(last.x + last.width() - last.advances.back(), 400);  // the last starts inside
    EXPECT_GE(last.x + last.width(), 400);
}

TEST_F(FrameTest, ColouringStartsInsideACommentOpenedAboveTheWindow) {
    setDocument({"/* a", "b", "c */ d"});
    doc.topLine = lineAt(2);
    const Frame built = frame();
    ASSERT_EQ(built.text.size(), 3u);
    EXPECT_EQ(built.text[0].bytes, "c */");
    EXPECT_EQ(built.text[0].textColour, Palette[10]);
}

TEST_F(FrameTest, DraggingSelectsUpToTheCaretWhenTheFrameIsBuilt) {
    setDocument({"abcdef"});
    doc.anchorLine = doc.head;
    doc.caretCol = 2;
    view.mouseDown = 1;
    frame();
    EXPECT_TRUE(isSelectedAt(doc.head, 0) && isSelectedAt(doc.head, 2) && !isSelectedAt(doc.head, 3));
    clearSelection();
    view.dragSelection = 1;  // dragging the selection itself leaves it alone
    frame();
    EXPECT_FALSE(doc.head->flags & LN_SELECTED);
}

TEST_F(FrameTest, RecordingBannerIsDrawnThreeTimesWithOrWithoutADocument) {
    view.recordingBanner = true;
    for (bool withDocument : {false, true}) {
        if (withDocument) setDocument({"x"});
        const Frame built = frame();
        ASSERT_EQ(built.banner.size(), 3u);
        const Colour colours[3] = {Palette[0], Palette[0], Palette[15]};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(built.banner[i].x, 213 - i);
            EXPECT_EQ(built.banner[i].y, 37 - i);
            EXPECT_EQ(built.banner[i].bytes, " 正在记录键序列... ");
            EXPECT_EQ(built.banner[i].textColour, colours[i]);
            EXPECT_EQ(built.banner[i].opaque, i == 0);
        }
        EXPECT_EQ(built.banner[0].backgroundColour, rgb(0xFF, 0x00, 0x00));
        EXPECT_EQ(built.text.empty(), !withDocument);
    }
    view.recordingBanner = false;
}

TEST(FrameChanges, OnlyTheRowsWhoseRunsDifferAreRedrawn) {
    auto run = [](int x, int y, const char* bytes) {
        TextRun r;
        r.x = x;
        r.y = y;
        r.bytes = bytes;
        r.advances.assign(r.bytes.size(), 8);
        return r;
    };
    Frame before;
    before.width = 640;
    before.height = 5 * LINE_HEIGHT;
    before.text = {run(0, 0, "ab"), run(0, LINE_HEIGHT, "cd"), run(16, LINE_HEIGHT, "ef"), run(0, 3 * LINE_HEIGHT, "gh")};
    before.gutter = {run(600, 4, "01")};
    auto bandsAfter = [&](void (*edit)(Frame&)) {
        Frame after = before;
        edit(after);
        std::vector<std::pair<int, int>> out;
        for (const Band& b : changedBands(before, after)) out.emplace_back(b.top, b.bottom);
        return out;
    };
    using Bands = std::vector<std::pair<int, int>>;
    EXPECT_EQ(bandsAfter([](Frame&) {}), Bands{});
    EXPECT_EQ(bandsAfter([](Frame& f) { f.text[2].bytes = "eF"; }), (Bands{{LINE_HEIGHT, 2 * LINE_HEIGHT}}));
    EXPECT_EQ(bandsAfter([](Frame& f) { f.text[1].textColour = 5; }), (Bands{{LINE_HEIGHT, 2 * LINE_HEIGHT}}));
    // A row that lost its runs and one that gained some, next to each other: one band.
    EXPECT_EQ(bandsAfter([](Frame& f) { f.text[3].y = 2 * LINE_HEIGHT; }), (Bands{{2 * LINE_HEIGHT, 4 * LINE_HEIGHT}}));
    EXPECT_EQ(bandsAfter([](Frame& f) { f.text.pop_back(); f.text[0].x = 1; }),
              (Bands{{0, LINE_HEIGHT}, {3 * LINE_HEIGHT, 4 * LINE_HEIGHT}}));
    // The gutter, the banner or the window itself changed: everything is redrawn.
    EXPECT_EQ(bandsAfter([](Frame& f) { f.gutter[0].bytes = "02"; }), (Bands{{0, 5 * LINE_HEIGHT}}));
    EXPECT_EQ(bandsAfter([](Frame& f) { f.banner.push_back(TextRun{}); }), (Bands{{0, 5 * LINE_HEIGHT}}));
    EXPECT_EQ(bandsAfter([](Frame& f) { f.background = 1; }), (Bands{{0, 5 * LINE_HEIGHT}}));
}
