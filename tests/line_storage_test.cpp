// Lines carved from blocks while loading must behave exactly like lines on the heap: the
// same random edits on a loaded document and on the same lines built on the heap leave the
// same text after every step, and (under the sanitizers, which fence every carved piece)
// nothing is read after it went, released twice or leaked. A block goes with its last piece.
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/line_commands.h"
#include "app/messages.h"
#include "blocks/sorting.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/undo_ring.h"
#include "files/close_document.h"
#include "files/loader.h"
#include "search/statement_tidy.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

// Whole GBK characters, ASCII and tabs: bytes that loading keeps as they are.
std::string randomText(std::mt19937& random, int maxBytes) {
    static const char* const ascii[] = {"a", "Z", "\\", "n", " ", " ", "\t", "1", "9", ",", ".", "{", "}"};
    std::string text;
    const int target = static_cast<int>(random() % (maxBytes + 1));
    while (static_cast<int>(text.size()) < target) {
        if (random() % 3 == 0) {
            text += ascii[random() % (sizeof ascii / sizeof *ascii)];
        } else {
            const int lead = 0x81 + static_cast<int>(random() % 126);
            int trail = 0x40 + static_cast<int>(random() % 190);
            if (trail >= 0x7F) ++trail;
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
        }
    }
    return text;
}

std::string joinedWithBreaks(const Lines& lines) {
    std::string bytes;
    for (size_t k = 0; k < lines.size(); ++k) bytes += (k ? "\r\n" : "") + lines[k];
    return bytes;
}

int randomLine(std::mt19937& random) { return static_cast<int>(random() % lineCount()); }

int randomBoundary(std::mt19937& random, int line) {
    const char* text = lineAt(line)->text;
    return boundaryAtOrBefore(text, static_cast<int>(random() % (std::strlen(text) + 1)));
}

// One random edit of every kind that replaces, frees or hands over a line's text or node.
void randomEdit(std::mt19937& random) {
    switch (random() % 16) {
        case 0:
        case 1: {
            const int line = randomLine(random);
            putCaret(line, randomBoundary(random, line));
            clearSelection();
            typeBytes(randomText(random, 6));
            break;
        }
        case 2: press(VKEY_BACK); break;
        case 3: press(VKEY_DELETE); break;  // at a line end it joins the next line
        case 4: press(VKEY_RETURN); break;
        case 5: {
            const int line = randomLine(random);
            putCaret(line, static_cast<int>(std::strlen(lineAt(line)->text)));
            press(VKEY_DELETE);
            break;
        }
        case 6: deleteCaretLine(); break;
        case 7: insertDeletedLine(); break;
        case 8: deleteToLineStart(); break;
        case 9: deleteToLineEnd(); break;
        case 10: {
            const int line1 = randomLine(random);
            const int line2 = std::min(lineCount() - 1, line1 + static_cast<int>(random() % 3));
            selectSpan(line1, randomBoundary(random, line1), line2, randomBoundary(random, line2));
            pressCtrl('X');
            break;
        }
        case 11: {
            std::string pasted = randomText(random, 5) + "\r\n" + randomText(random, 5);
            setClipboard(pasted);
            pressCtrl('V');
            break;
        }
        case 12: {
            const int first = randomLine(random);
            const int last = std::min(lineCount() - 1, first + static_cast<int>(random() % 8));
            selectSpan(first, 0, last, randomBoundary(random, last));
            putCaret(last, static_cast<int>(random() % 3));
            sortByCaretColumn();
            clearSelection();
            break;
        }
        case 13:
        case 14: pressCtrl('Z'); break;
        default: pressCtrl('Y'); break;
    }
}

// The text and caret after every one of `steps` random edits (from `seed`) of the document
// that is open now.
// `mixedSteps` counts the steps after which carved and heap texts were both in the document.
std::vector<std::string> editTrace(unsigned seed, int steps, int* mixedSteps = nullptr) {
    std::mt19937 random(seed);
    std::vector<std::string> trace;
    for (int step = 0; step < steps; ++step) {
        if (step == steps - 10) {
            // The statement tidy-up rewrites every line: once, near the end.
            fake().messageBoxAnswers = {platform::ANSWER_YES, platform::ANSWER_NO};
            tidyStatement();
        } else {
            randomEdit(random);
        }
        if (mixedSteps) {
            int carved = 0;
            for (const LineNode* line = doc.head; line; line = line->next) carved += isCarvedPiece(line->text);
            *mixedSteps += carved > 0 && carved < lineCount();
        }
        const std::string violation = documentInvariantViolation();
        if (!violation.empty()) return {"step " + std::to_string(step) + ": " + violation};
        const auto caret = caretAt();
        trace.push_back(joinedWithBreaks(documentLines()) + "|" + std::to_string(caret.first) + ":" +
                        std::to_string(caret.second));
    }
    return trace;
}

class CarvedLinesTest : public EditingTest, public ::testing::WithParamInterface<unsigned> {};

}  // namespace

TEST_P(CarvedLinesTest, LoadedLinesEditLikeHeapLines) {
    std::mt19937 random(GetParam());
    Lines lines(20 + random() % 30);
    for (std::string& line : lines) line = randomText(random, 60);
    // A line too long to carve is stored on its own among the carved ones.
    lines[random() % lines.size()] = randomText(random, 40000) + std::string(17000, 'x');
    const std::string path = writeTempFile("carved.txt", joinedWithBreaks(lines));
    const unsigned editSeed = GetParam() * 7 + 1;
    constexpr int STEPS = 400;

    setDocumentOnHeap(lines);
    resetUndo();
    ASSERT_FALSE(isCarvedPiece(doc.head->text));
    const std::vector<std::string> onHeap = editTrace(editSeed, STEPS);
    closeDocument();
    freeDeletedLineBuffer();

    loadFile(path.c_str());
    resetUndo();
    ASSERT_EQ(documentLines(), lines);
    ASSERT_TRUE(isCarvedPiece(doc.head) && isCarvedPiece(doc.head->text));
    int mixedSteps = 0;
    const std::vector<std::string> carved = editTrace(editSeed, STEPS, &mixedSteps);
    closeDocument();
    freeDeletedLineBuffer();

    EXPECT_EQ(carvedBlockCount(), 0u) << "a carved line was never released";
    ASSERT_EQ(carved.size(), onHeap.size());
    for (size_t step = 0; step < carved.size(); ++step)
        ASSERT_EQ(carved[step], onHeap[step]) << "step " << step << " of seed " << GetParam();
    // The edits replaced loaded texts one at a time while others stayed.
    EXPECT_GT(mixedSteps, STEPS / 4);
}

INSTANTIATE_TEST_SUITE_P(Seeds, CarvedLinesTest, ::testing::Values(1u, 2u, 3u, 4u));

// Loading 3 MB fills several blocks; removing the lines from the top frees each block as its
// last line goes, never one that still holds a line, and the last block goes with the document.
TEST_F(EditingTest, CarvedBlockGoesWithItsLastLine) {
    std::mt19937 random(11);
    Lines lines(30000);
    for (std::string& line : lines) line = randomText(random, 200);
    loadFile(writeTempFile("blocks.txt", joinedWithBreaks(lines)).c_str());
    ASSERT_EQ(lineCount(), 30000);
    const size_t loadedBlocks = carvedBlockCount();
    ASSERT_GE(loadedBlocks, 4u);

    // Editing a line gives it a heap text of its own; its node stays carved.
    putCaret(5, 0);
    typeBytes("x");
    EXPECT_FALSE(isCarvedPiece(lineAt(5)->text));
    EXPECT_TRUE(isCarvedPiece(lineAt(5)) && isCarvedPiece(lineAt(6)->text));

    size_t blocks = loadedBlocks;
    while (doc.head->next) {
        removeLine(doc.head);
        const size_t now = carvedBlockCount();
        ASSERT_LE(now, blocks);
        blocks = now;
        if (lineCount() % 997 == 0) {
            for (const LineNode* line = doc.head; line; line = line->next)
                ASSERT_TRUE(isCarvedPiece(line)) << "a block went while it held line " << lineIndex(line);
        }
    }
    EXPECT_EQ(blocks, 1u);
    EXPECT_EQ(doc.head->text, std::string(lines.back()));
    closeDocument();
    EXPECT_EQ(carvedBlockCount(), 0u);
}
