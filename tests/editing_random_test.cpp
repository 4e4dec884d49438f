// Thousands of random keys, pastes, undos and redos on random GBK text. After every step
// the document must be consistent; undoing an action's records must give back the text
// from before it, redoing them the text after it; and undoing everything gives back the
// text as it was loaded.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "edit/editing.h"
#include "document/undo_ring.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

// One action the user can take back: the text before and after it and how many undo
// records it made.
struct Action {
    Lines before, after;
    uint64_t records;
    std::string name;
};

class RandomEditing {
public:
    explicit RandomEditing(unsigned seed) : random(seed) {}

    // Random bytes that exercise the GBK and paste rules.
    std::string randomBytes(int maxLength, bool forClipboard) {
        static const char* const pieces[] = {
            "a", "b", "z", " ", "\t", "{", "(", ")", "}", "\\", "n", "中", "文", "\xA1\x41",
            "\x81\x40", "\x80", "\xA0", "\xB0"};
        static const char* const clipboardOnly[] = {"\r\n", "\r", "\n", "\\n", "\x1A", "\x0C", "\x8A", "\x8C", "\x01"};
        std::string text;
        const int length = static_cast<int>(random() % (maxLength + 1));
        for (int i = 0; i < length; ++i) {
            if (forClipboard && random() % 4 == 0)
                text += clipboardOnly[random() % (sizeof clipboardOnly / sizeof *clipboardOnly)];
            else
                text += pieces[random() % (sizeof pieces / sizeof *pieces)];
        }
        return text;
    }

    Lines randomDocument() {
        Lines lines(1 + random() % 6);
        for (std::string& line : lines) line = randomBytes(8, false);
        return lines;
    }

    int randomLine() { return static_cast<int>(random() % lineCount()); }
    int randomColumn(int line) { return static_cast<int>(random() % (std::strlen(lineAt(line)->text) + 1)); }

    // Performs one random action that may edit; returns its name.
    std::string edit() {
        static const int keys[][2] = {
            {VKEY_LEFT, KEYMOD_NONE},   {VKEY_RIGHT, KEYMOD_NONE}, {VKEY_UP, KEYMOD_NONE},
            {VKEY_DOWN, KEYMOD_NONE},   {VKEY_HOME, KEYMOD_NONE},  {VKEY_END, KEYMOD_NONE},
            {VKEY_LEFT, KEYMOD_SHIFT},  {VKEY_RIGHT, KEYMOD_SHIFT}, {VKEY_DOWN, KEYMOD_SHIFT},
            {VKEY_UP, KEYMOD_SHIFT},    {VKEY_END, KEYMOD_SHIFT},  {VKEY_HOME, KEYMOD_CTRL_SHIFT},
            {VKEY_RETURN, KEYMOD_NONE}, {VKEY_DELETE, KEYMOD_NONE}, {VKEY_BACK, KEYMOD_NONE},
            {'X', KEYMOD_CTRL},         {'C', KEYMOD_CTRL},        {'A', KEYMOD_CTRL},
        };
        switch (random() % 10) {
            case 0:
            case 1: {
                const std::string bytes = randomBytes(3, false);
                typeBytes(bytes);
                return "type";
            }
            case 2:
                insertCharCode(random() % 2 ? 0xD6D0 : 0xA1A2);
                return "input method";
            case 3:
                if (hasVisibleSelection()) return "none";  // indenting a block is not undoable
                press(VKEY_TAB);
                return "tab";
            case 4: {
                const int line = randomLine();
                putCaret(line, randomColumn(line));
                if (random() % 2) clearSelection();
                return "click";
            }
            case 5: {
                const int line1 = randomLine(), line2 = randomLine();
                selectSpan(line1, randomColumn(line1), line2, randomColumn(line2));
                return "select";
            }
            case 6:
            case 7: {
                setClipboard(randomBytes(6, true));
                if (random() % 2)
                    press(VKEY_INSERT, KEYMOD_SHIFT);
                else
                    press('V', KEYMOD_CTRL);
                return "paste";
            }
            default: {
                const int* key = keys[random() % (sizeof keys / sizeof *keys)];
                press(key[0], key[1]);
                return "key " + std::to_string(key[0]) + "/" + std::to_string(key[1]);
            }
        }
    }

    std::mt19937 random;
};

}  // namespace

TEST_F(EditingTest, RandomEditsUndoAndRedoExactly) {
    RandomEditing editing(20261207);
    int steps = 0;
    for (int round = 0; round < 60; ++round) {
        const Lines original = editing.randomDocument();
        resetUndo();
        setDocument(original);
        const uint64_t firstRecord = undoRing.recordsMade;
        std::vector<Action> done, undone;
        for (int step = 0; step < 80 && undoRing.recordsMade - firstRecord < UNDO_RING_SIZE - 50; ++step, ++steps) {
            const int choice = static_cast<int>(editing.random() % 10);
            if (choice == 0 && !done.empty()) {
                Action action = done.back();
                done.pop_back();
                for (uint64_t i = 0; i < action.records; ++i) pressCtrl('Z');
                ASSERT_EQ(documentLines(), action.before) << "undo of " << action.name << ", round " << round;
                undone.push_back(action);
            } else if (choice == 1 && !undone.empty()) {
                Action action = undone.back();
                undone.pop_back();
                for (uint64_t i = 0; i < action.records; ++i) pressCtrl('Y');
                ASSERT_EQ(documentLines(), action.after) << "redo of " << action.name << ", round " << round;
                done.push_back(action);
            } else {
                Action action;
                action.before = documentLines();
                const uint64_t recordsBefore = undoRing.recordsMade;
                action.name = editing.edit();
                action.after = documentLines();
                action.records = undoRing.recordsMade - recordsBefore;
                if (action.records > 0) {
                    done.push_back(action);
                    undone.clear();
                } else {
                    ASSERT_EQ(action.after, action.before) << action.name << " changed the text unrecorded";
                }
            }
            ASSERT_EQ(documentInvariantViolation(), "") << "round " << round << ", step " << step;
        }
        while (!done.empty()) {
            for (uint64_t i = 0; i < done.back().records; ++i) pressCtrl('Z');
            ASSERT_EQ(documentLines(), done.back().before) << "undo of " << done.back().name << ", round " << round;
            done.pop_back();
        }
        ASSERT_EQ(documentLines(), original) << "round " << round;
    }
    EXPECT_GT(steps, 3000);
}
