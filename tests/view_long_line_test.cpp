// Long lines are measured and coloured from remembered points near the window. What they
// give must be exactly what a walk from byte 0 gives, after any run of edits.
#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "document/gbk.h"
#include "document/selection.h"
#include "edit/clipboard.h"
#include "edit/editing.h"
#include "edit/undo_redo.h"
#include "support/fake_platform.h"
#include "support/test_document.h"
#include "view/colouring.h"
#include "view/frame.h"
#include "view/layout.h"
#include "view/measure.h"
#include "view/styles.h"
#include "view/view_state.h"

namespace {

// Source-like text with everything the colouring carries along a line: comments that
// open and close, strings with escapes, words, Chinese characters and tabs.
std::string sourceLikeLine(std::mt19937& rng, size_t bytes) {
    static const char* const common[] = {"int x = 12;", " ", "\t", "中文", "return", "a/b", "**", "#define",
                                         "學們", "\\", "'c'", "0x1F", "_id9", "if (a) b;"};
    // Comments and strings are rare, so an edit can change the state for a long way.
    static const char* const rare[] = {"/*", "*/", "\"s\\\"t\"", "\""};
    std::string text;
    while (text.size() < bytes)
        text += rng() % 40 == 0 ? rare[rng() % (sizeof rare / sizeof *rare)]
                                : common[rng() % (sizeof common / sizeof *common)];
    return text;
}

// The frame as text, so two frames compare in one assertion with a readable difference.
std::string describe(const Frame& frame) {
    std::ostringstream out;
    for (const TextRun& run : frame.text) {
        out << run.x << ',' << run.y << ' ' << run.textColour << '/' << run.backgroundColour << (run.opaque ? "o" : "")
            << " [" << run.bytes << "]";
        for (int advance : run.advances) out << ' ' << advance;
        out << '\n';
    }
    return out.str();
}

int plainColumnX(const LineNode* line, int col) {
    const int style = styleIndexOfLine(line);
    int x = 0;
    for (int pos = 0; pos < col && line->text[pos];) {
        int length = 1;
        x += characterAdvance(style, line->text, pos, x, &length);
        pos += length;
    }
    return x;
}

// A change no edit located: everything remembered about the lines starts again.
void forgetWhatWasRemembered() { doc.modified = doc.modified; }

}  // namespace

TEST_F(CoreTest, LongLinesPaintMeasureAndHitTestAsAWalkFromTheirStart) {
    initStyles();
    std::mt19937 rng(20261207);
    for (int round = 0; round < 6; ++round) {
        setDocument({"/* above", sourceLikeLine(rng, 30000 + rng() % 5000), "after */ x"});
        view.clientWidth = 640;
        view.clientHeight = 100;
        view.wrapMode = 0;
        doc.topLine = doc.head;
        LineNode* line = doc.head->next;
        for (int step = 0; step < 60; ++step) {
            // One to three edits anywhere in the long line (typed, deleted, a selection
            // cut, a paste, undo and redo of them), with the window anywhere along it.
            const int edits = 1 + static_cast<int>(rng() % 3);
            int edited = 0;
            for (int e = 0; e < edits; ++e) {
                const int length = static_cast<int>(std::strlen(line->text));
                doc.caretLine = line;
                doc.caretCol = boundaryAtOrBefore(line->text, static_cast<int>(rng() % (length + 1)));
                edited = doc.caretCol;
                static const char typed[] = "/*\"\\\tab1 ";
                static const char* const pasted[] = {"\"/*x", "*/ 中", "ab\r\ncd", "\t//"};
                switch (rng() % 8) {
                    case 0:
                        if (doc.caretCol < length) deleteForward(false);
                        break;
                    case 1:
                        doc.anchorLine = line;
                        doc.anchorCol = boundaryAtOrBefore(line->text, std::min(length, doc.caretCol + 2 + static_cast<int>(rng() % 300)));
                        updateSelection();
                        cutSelection();
                        break;
                    case 2:
                        fake().clipboard = pasted[rng() % 4];
                        fake().clipboardHasText = true;
                        pasteCommand();
                        break;
                    case 3: undo(); break;
                    case 4: redo(); break;
                    default: typeChar(typed[rng() % (sizeof typed - 1)], false);
                }
                clearSelection();
                line = doc.head->next;  // a paste with a line break splits the long line
            }
            const int length = static_cast<int>(std::strlen(line->text));
            // Mostly a window after the last edit, where remembered states may be stale.
            const int wanted = rng() % 4 == 0 ? static_cast<int>(rng() % (length + 1))
                                               : std::min(length, edited + static_cast<int>(rng() % 12000));
            const int col = boundaryAtOrBefore(line->text, wanted);
            ASSERT_EQ(columnX(line, col), plainColumnX(line, col)) << "round " << round << " step " << step;
            view.scrollX = -(columnX(line, col) - static_cast<int>(rng() % 600));

            Frame remembered, fresh;
            buildFrame(remembered);
            const int hitX = static_cast<int>(rng() % 640);
            hitTest(hitX, LINE_HEIGHT + 1);
            const int hitCol = doc.caretCol;
            forgetWhatWasRemembered();
            buildFrame(fresh);
            ASSERT_EQ(describe(remembered), describe(fresh)) << "round " << round << " step " << step;
            hitTest(hitX, LINE_HEIGHT + 1);
            ASSERT_EQ(hitCol, doc.caretCol) << "round " << round << " step " << step;
        }
    }
}

TEST_F(CoreTest, ASpanOfALongLineHasTheColoursOfTheWholeLine) {
    initStyles();
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        setDocument({sourceLikeLine(rng, 9000 + rng() % 20000)});
        const LineNode* line = doc.head;
        const int length = static_cast<int>(std::strlen(line->text));
        ColourMap whole, span;
        startColouringPassAtHead();
        colourLine(line, whole);
        const int wholeDepth = colouring.commentDepth;
        for (int s = 0; s < 5; ++s) {
            const int from = static_cast<int>(rng() % length);
            const int to = from + static_cast<int>(rng() % 3000);
            startColouringPassAtHead();
            const int first = colourLineSpan(line, from, to, span, true);
            EXPECT_EQ(colouring.commentDepth, wholeDepth);
            for (int i = from; i < to && i < length; ++i)
                ASSERT_EQ(span[static_cast<size_t>(i - first)], whole[static_cast<size_t>(i)]) << "byte " << i;
        }
    }
}

TEST_F(CoreTest, TheChangesSinceACountAreThoseMadeAfterIt) {
    std::vector<std::string> lines(200, "abc");
    setDocument(lines);
    auto change = [](int index, int col) {
        doc.modified = 1;
        keepTextBefore(lineAt(index), col);
    };
    change(10, 2);
    const uint64_t afterFirst = documentChangeCount;
    change(150, 1);
    change(120, 3);
    change(120, 0);
    // An older change higher up does not count for a question asked after it.
    EXPECT_EQ(firstPositionTouchedSince(afterFirst).line, 120);
    EXPECT_EQ(firstPositionTouchedSince(afterFirst).col, 0);
    EXPECT_EQ(firstPositionTouchedSince(afterFirst - 1).line, 10);
    EXPECT_EQ(firstPositionTouchedSince(documentChangeCount).line, INT_MAX);
    // A change that nobody located makes every earlier question answer "from the top".
    doc.modified = 1;
    EXPECT_EQ(firstPositionTouchedSince(afterFirst).line, 0);
    // More located changes than are logged one by one: the whole run still answers.
    const uint64_t beforeMany = documentChangeCount;
    for (int i = 0; i < 100; ++i) change(50 + i % 7, 0);
    EXPECT_EQ(firstPositionTouchedSince(beforeMany).line, 50);  // from the run, not the log
    const uint64_t afterUnlocated = documentChangeCount;
    change(30, 0);
    for (int i = 0; i < 100; ++i) change(60, 0);
    EXPECT_EQ(firstPositionTouchedSince(afterUnlocated).line, 30);
    // An edit of several steps located as a whole once it is done: its position stands
    // for every step, also one that located itself elsewhere or not at all, and also for
    // a question asked between the steps.
    const uint64_t beforeEdit = documentChangeCount;
    change(20, 0);
    const uint64_t midEdit = documentChangeCount;
    doc.modified = 1;
    keepTextBeforeSince(beforeEdit, lineAt(40), 5);
    for (uint64_t since : {beforeEdit, midEdit, beforeEdit - 1}) {
        EXPECT_EQ(firstPositionTouchedSince(since).line, 40);
        EXPECT_EQ(firstPositionTouchedSince(since).col, 5);
    }
    // Also an edit of one step, part of which located itself at its line's start.
    const uint64_t beforeOneStep = documentChangeCount;
    change(70, 0);
    keepTextBeforeSince(beforeOneStep, lineAt(70), 9);
    EXPECT_EQ(firstPositionTouchedSince(beforeOneStep).col, 9);
    // The run, which answers for older counts, may have taken the step's own position:
    // an answer higher up only costs work, never a wrong picture.
    EXPECT_LE(firstPositionTouchedSince(afterUnlocated).line, 30);
}
