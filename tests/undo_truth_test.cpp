// Undo tells the truth: after any mix of typing and recorded commands over a loaded file,
// undoing everything makes Save write the loaded bytes again, and redoing everything
// brings back the text the commands made.
#include <random>
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "app/window_proc.h"
#include "document/undo_ring.h"
#include "files/loader.h"
#include "files/save.h"
#include "quiz/quiz_controls.h"
#include "quiz/quiz_dialog.h"
#include "search/find_state.h"
#include "support/test_document.h"
#include "view/view_state.h"

namespace {

// Pieces of the random text: markers the splitting commands and the quiz look for,
// full-width forms the conversions narrow, indentation, and characters whose second
// byte looks like ASCII.
const char* const PIECES[] = {"甲", "乙", "一、", "二、", "1.", "2．", "（一）", "(3)", "答案：正确", "答案:B",
                              "A.对", "：", "，", "？", "（", "）", "　　", "    ", " ", "a", "9", "12",
                              "\x81\x20", "\x81\x5C", "\x81\x31", "中文", "发给", "~", "支出"};

std::string randomFile(std::mt19937& rng) {
    std::string text;
    const int lines = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < lines; ++i) {
        const int pieces = static_cast<int>(rng() % 7);
        for (int k = 0; k < pieces; ++k) text += PIECES[rng() % (sizeof PIECES / sizeof *PIECES)];
        text += "\r\n";  // as Save writes every line
    }
    return text;
}

struct ReplaceCase {
    const char* findText;
    const char* templ;
};
const ReplaceCase REPLACES[] = {{"甲", "乙乙"}, {"\\n", ""}, {"\\n", "#"}, {"一、", "\\n一、"}, {"/ *$/g", ""},
                                {"\\C1", "[\\C1]"}, {"a", ""}, {"，", "\\n"}, {"\\N1", "<\\ID>"}};

const int SPLIT_COMMANDS[] = {32794, 32795, 32797, 32798, 32805};

// Puts the caret on a random character boundary of a random line.
void placeCaretRandomly(std::mt19937& rng) {
    const int index = static_cast<int>(rng() % static_cast<unsigned>(lineCount()));
    doc.caretLine = lineAt(index);
    std::vector<int> boundaries{0};
    const char* text = doc.caretLine->text;
    for (int col = 0; text[col];) {
        col += (static_cast<unsigned char>(text[col]) >= 0x81 && text[col + 1]) ? 2 : 1;
        boundaries.push_back(col);
    }
    doc.caretCol = boundaries[rng() % boundaries.size()];
    doc.anchorLine = nullptr;
}

void typeBytes(const std::string& bytes) {
    for (const char byte : bytes) handleMessage(MSG_CHAR, static_cast<unsigned char>(byte), 0);
}

void replaceAll(const ReplaceCase& c) {
    dispatchCommand(CMD_REPLACE, 0);
    fake().findDialogReport = platform::FindDialogReport{REPLACE_DIALOG_FLAGS | FR_REPLACEALL, c.findText, c.templ};
    handleMessage(MSG_FIND_REPLACE_NOTIFY, 0, 0);
    fake().findDialogReport = platform::FindDialogReport{REPLACE_DIALOG_FLAGS | FR_DIALOGTERM, c.findText, c.templ};
    handleMessage(MSG_FIND_REPLACE_NOTIFY, 0, 0);
    fake().findDialog = nullptr;
}

// One random step: typing, deletion, paste, or a command that records for undo.
void randomStep(std::mt19937& rng) {
    placeCaretRandomly(rng);
    switch (rng() % 14) {
        case 0: typeBytes(rng() % 2 ? "x" : "中"); break;
        case 1: typeBytes("\r"); break;
        case 2: typeBytes("\b"); break;
        case 3: handleMessage(MSG_CLEAR, 0, 0); break;
        case 4:
            fake().clipboard = rng() % 2 ? "粘\r\n贴（二）" : "p";
            fake().clipboardHasText = true;
            dispatchCommand(CMD_PASTE, 0);
            break;
        case 5: replaceAll(REPLACES[rng() % (sizeof REPLACES / sizeof *REPLACES)]); break;
        case 6: dispatchCommand(SPLIT_COMMANDS[rng() % (sizeof SPLIT_COMMANDS / sizeof *SPLIT_COMMANDS)], 0); break;
        case 7: dispatchCommand(CMD_SPLIT_BY_INDENT, 0); break;
        case 8: dispatchCommand(CMD_FULL_TO_HALF, 0); break;
        case 9:
            dispatchCommand(CMD_QUIZ, 0);
            if (fake().quizOpen) quizCommand(QUIZ_CLOSE);
            fake().messageBoxes.clear();
            break;
        case 10:
            fake().clipboard = "h\xD6\xD0";
            fake().clipboardHasText = true;
            dispatchCommand(CMD_PASTE_HEX, 0);
            break;
        case 11:
            fake().messageBoxAnswers = {platform::ANSWER_YES, platform::ANSWER_NO};  // tidy, keep the spaces
            dispatchCommand(CMD_TIDY_STATEMENT, 0);
            break;
        case 12:
            dispatchCommand(CMD_SELECT_ALL, 0);
            dispatchCommand(rng() % 2 ? CMD_STRIP_INDENT : CMD_SUM_NUMBERS, 0);
            fake().messageBoxes.clear();
            break;
        default:
            view.wrapMode = 0;  // the next commands see unwrapped lines again
            break;
    }
    fake().messageBoxAnswers.clear();
}

}  // namespace

TEST_F(CoreTest, UndoingEverythingSavesTheLoadedBytesAndRedoingEverythingTheEditedText) {
    int checked = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        resetCore();
        findState = FindState{};
        view.clientWidth = 300;
        view.clientHeight = 400;
        std::mt19937 rng(seed);
        const std::string bytes = randomFile(rng);
        const std::string path = writeTempFile("truth.txt", bytes);
        loadFile(path.c_str());
        ASSERT_TRUE(hasDocument());
        const int steps = 1 + static_cast<int>(rng() % 16);
        for (int step = 0; step < steps; ++step) randomStep(rng);
        ASSERT_EQ(documentInvariantViolation(), "") << "seed " << seed;
        if (undoRing.recordsMade >= UNDO_RING_SIZE) continue;  // older records were pushed out of the ring
        const std::vector<std::string> edited = documentLines();
        for (int k = 0; k < UNDO_RING_SIZE; ++k) dispatchCommand(CMD_UNDO, 0);
        saveDocument();
        ASSERT_EQ(readFileBytes(path), bytes) << "seed " << seed;
        for (int k = 0; k < UNDO_RING_SIZE; ++k) dispatchCommand(CMD_REDO, 0);
        EXPECT_EQ(documentLines(), edited) << "seed " << seed;
        ++checked;
    }
    EXPECT_GT(checked, 350);
}
