// Undo tells the truth: after any mix of typing and commands over a loaded file, each
// undo and redo gives back the text and line flags a model of full snapshots holds, a
// command is one step, and undoing everything makes Save write the loaded bytes again.
#include <random>
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "app/window_proc.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "edit/line_changes.h"
#include "platform/virtual_keys.h"
#include "files/loader.h"
#include "files/save.h"
#include "quiz/quiz_controls.h"
#include "quiz/quiz_dialog.h"
#include "search/find_state.h"
#include "support/editing_driver.h"
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
                                {"\\C1", "[\\C1]"}, {"a", ""}, {"，", "\\n"}, {"\\N1", "<\\ID>"},
                                {"甲\\n", "丙"}};  // a match that takes a line break

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
    // Typing and deletion act at the caret alone: the record of a deleted selection keeps
    // the line ends it crossed but not the styles of the lines it joined.
    clearSelection();
    doc.anchorLine = nullptr;
}

void typeKeys(const std::string& bytes) {
    for (const char byte : bytes) handleMessage(MSG_CHAR, static_cast<unsigned char>(byte), 0);
}

void replaceAll(const ReplaceCase& c) {
    dispatchCommand(CMD_REPLACE, 0);
    fake().findDialogReport = platform::FindDialogReport{FIND_DIALOG_FLAGS | FR_REPLACEALL, c.findText, c.templ};
    handleMessage(MSG_FIND_REPLACE_NOTIFY, 0, 0);
    fake().findDialogReport = platform::FindDialogReport{FIND_DIALOG_FLAGS | FR_DIALOGTERM, c.findText, c.templ};
    handleMessage(MSG_FIND_REPLACE_NOTIFY, 0, 0);
    fake().findDialog = nullptr;
}

// Selects whole lines from a random line to a random later one.
void selectRandomLines(std::mt19937& rng) {
    placeCaretRandomly(rng);
    doc.anchorLine = doc.caretLine;
    doc.anchorCol = 0;
    placeCaretRandomly(rng);
    updateSelection();
}

const int BLOCK_COMMANDS[] = {CMD_SORT_CARET_COLUMN, CMD_SORT_DATA_COLUMN, CMD_NORMALISE_INDENT, CMD_DELETE_BLANK_LINES,
                              CMD_NARROW_GAP, CMD_WIDEN_GAP, CMD_SET_LINE_ENDS, CMD_SCRAMBLE, CMD_TO_LOWER,
                              CMD_TO_UPPER, 32812, 32815};

// One random step: typing, deletion, paste, or a command. Returns which kind it was.
unsigned randomStep(std::mt19937& rng) {
    placeCaretRandomly(rng);
    const unsigned kind = rng() % 16;
    switch (kind) {
        case 0: typeKeys(rng() % 2 ? "x" : "中"); break;
        case 1: typeKeys("\r"); break;
        case 2: typeKeys("\b"); break;
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
        case 13:
        case 14:
            selectRandomLines(rng);
            if (rng() % 3 == 0) fake().keysDown.insert(VKEY_SHIFT);  // descending, soft returns
            dispatchCommand(BLOCK_COMMANDS[rng() % (sizeof BLOCK_COMMANDS / sizeof *BLOCK_COMMANDS)], 0);
            fake().keysDown.clear();
            break;
        default:
            view.wrapMode = 0;  // the next commands see unwrapped lines again
            break;
    }
    fake().messageBoxAnswers.clear();
    return kind;
}

// The document as a snapshot: each line's text with the flags undo restores.
std::vector<std::string> snapshot() {
    std::vector<std::string> lines;
    for (const LineNode* line = doc.head; line; line = line->next)
        lines.push_back(std::string(line->text) + "|" + std::to_string(line->flags & LINE_IMAGE_FLAGS));
    return lines;
}

// One step as the model keeps it: the snapshots around it and the records it made.
struct Step {
    std::vector<std::string> before, after;
    uint64_t records;
    unsigned kind;
};

void pressUndo(uint64_t times) {
    for (uint64_t k = 0; k < times; ++k) dispatchCommand(CMD_UNDO, 0);
}

void pressRedo(uint64_t times) {
    for (uint64_t k = 0; k < times; ++k) dispatchCommand(CMD_REDO, 0);
}

}  // namespace

TEST_F(EditingTest, UndoAndRedoFollowASnapshotModelAndUndoingEverythingSavesTheLoadedBytes) {
    for (unsigned seed = 1; seed <= 600; ++seed) {
        resetCore();
        buildKeyBindingTable();
        view.clientWidth = 300;
        view.clientHeight = 400;
        std::mt19937 rng(seed);
        const std::string bytes = randomFile(rng);
        const std::string path = writeTempFile("truth.txt", bytes);
        loadFile(path.c_str());
        ASSERT_TRUE(hasDocument());
        std::vector<Step> done, undone;
        const int steps = 1 + static_cast<int>(rng() % 24);
        for (int step = 0; step < steps; ++step) {
            const unsigned choice = rng() % 6;
            if (choice == 0 && !done.empty()) {
                pressUndo(done.back().records);
                ASSERT_EQ(snapshot(), done.back().before) << "undo of kind " << done.back().kind << ", seed " << seed << " step " << step;
                undone.push_back(done.back());
                done.pop_back();
            } else if (choice == 1 && !undone.empty()) {
                pressRedo(undone.back().records);
                ASSERT_EQ(snapshot(), undone.back().after) << "redo of kind " << undone.back().kind << ", seed " << seed << " step " << step;
                done.push_back(undone.back());
                undone.pop_back();
            } else {
                Step made{snapshot(), {}, undoRing.recordsMade, 0};
                made.kind = randomStep(rng);
                made.after = snapshot();
                made.records = undoRing.recordsMade - made.records;
                if (made.records == 0) {
                    ASSERT_EQ(made.after, made.before) << "a change without a record, seed " << seed;
                    continue;
                }
                done.push_back(made);
                undone.clear();
            }
            ASSERT_EQ(documentInvariantViolation(), "") << "seed " << seed << " step " << step;
        }
        uint64_t records = 0;
        for (const Step& made : done) records += made.records;
        ASSERT_LT(records, static_cast<uint64_t>(UNDO_RING_SIZE)) << "seed " << seed;
        pressUndo(records);
        saveDocument();
        ASSERT_EQ(readFileBytes(path), bytes) << "seed " << seed;
    }
}

TEST_F(EditingTest, ACommandOfMoreRecordsThanTheRingHoldsIsStillOneStep) {
    view.clientWidth = 800;
    setDocument(std::vector<std::string>(1500, "测试 a"));
    typeKeys("x");  // history before the command, which must survive it
    replaceAll({"测试", "检验"});
    EXPECT_EQ(documentLines()[1499], "检验 a");
    dispatchCommand(CMD_UNDO, 0);
    EXPECT_EQ(documentLines()[1499], "测试 a");
    EXPECT_EQ(documentLines()[0], "x测试 a");
    dispatchCommand(CMD_UNDO, 0);
    EXPECT_EQ(documentLines()[0], "测试 a");
    dispatchCommand(CMD_REDO, 0);
    dispatchCommand(CMD_REDO, 0);
    EXPECT_EQ(documentLines()[0], "x检验 a");
    EXPECT_EQ(documentLines()[1499], "检验 a");
}
