// Thousands of random keys, pastes, undos and redos on random GBK text. After every step
// the document must be consistent; undoing an action's records must give back the text
// from before it, redoing them the text after it; and undoing everything gives back the
// text as it was loaded.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/messages.h"
#include "document/gbk.h"
#include "edit/editing.h"
#include "edit/line_edits.h"
#include "document/undo_ring.h"
#include "support/editing_driver.h"
#include "view/layout.h"

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
                // A byte typed right after a lone first byte completes that character and
                // joins its record, so it is not an action of its own to undo.
                keepCaretOnLine();
                if (isInsideDoubleByte(doc.caretLine->text, doc.caretCol)) return "none";
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

// ==== Full GBK text ====

namespace {

// A random double-byte character from any area of code page 936.
std::string randomCharacter(std::mt19937& random) {
    const int lead = 0x81 + static_cast<int>(random() % 126);
    int trail = 0x40 + static_cast<int>(random() % 190);
    if (trail >= 0x7F) ++trail;
    return {static_cast<char>(lead), static_cast<char>(trail)};
}

// Whole characters and ASCII that a second byte can look like.
std::string randomGbkText(std::mt19937& random, int maxCharacters, bool withBreaks) {
    static const char* const ascii[] = {"a", "W", "\\", "n", "[", "@", "1", " ", "\t", "(", "{"};
    static const char* const breaks[] = {"\r\n", "\n", "\r"};
    std::string text;
    const int count = static_cast<int>(random() % (maxCharacters + 1));
    for (int i = 0; i < count; ++i) {
        const unsigned pick = random() % 8;
        if (pick < 5)
            text += randomCharacter(random);
        else if (pick < 7 || !withBreaks)
            text += ascii[random() % (sizeof ascii / sizeof *ascii)];
        else
            text += breaks[random() % (sizeof breaks / sizeof *breaks)];
    }
    return text;
}

// A column that is a character boundary of `line`.
int randomBoundary(std::mt19937& random, int line) {
    const char* text = lineAt(line)->text;
    int col = static_cast<int>(random() % (std::strlen(text) + 1));
    return isInsideDoubleByte(text, col) ? col - 1 : col;
}

// What is wrong with the document, as far as whole characters go: a position inside a
// character, or a first byte that is not followed by a valid second byte.
std::string brokenCharacter() {
    const auto inside = [](const LineNode* line, int col) {
        return line && col > 0 && col <= static_cast<int>(std::strlen(line->text)) &&
               isInsideDoubleByte(line->text, col);
    };
    if (inside(doc.caretLine, doc.caretCol)) return "caret inside a character";
    if (inside(doc.anchorLine, doc.anchorCol))
        return "anchor inside a character: line " + std::to_string(lineIndex(doc.anchorLine)) + " column " +
               std::to_string(doc.anchorCol);
    if (inside(doc.selStartLine, doc.selStartCol)) return "selection start inside a character";
    if (inside(doc.selEndLine, doc.selEndCol)) return "selection end inside a character";
    for (const LineNode* line = doc.head; line; line = line->next) {
        const char* text = line->text;
        for (int pos = 0; text[pos] != '\0'; pos += charLength(text, pos))
            if (isLeadByte(text[pos]) && !isTrailByte(static_cast<unsigned char>(text[pos + 1])))
                return "lone first byte in line " + std::to_string(lineIndex(line)) + " at " + std::to_string(pos);
    }
    return "";
}

}  // namespace

TEST_F(EditingTest, FullGbkTextStaysWholeCharactersUnderRandomEditing) {
    std::mt19937 random(936);
    static const int keys[][2] = {
        {VKEY_LEFT, KEYMOD_NONE},  {VKEY_RIGHT, KEYMOD_NONE},  {VKEY_UP, KEYMOD_NONE},     {VKEY_DOWN, KEYMOD_NONE},
        {VKEY_HOME, KEYMOD_NONE},  {VKEY_END, KEYMOD_NONE},    {VKEY_LEFT, KEYMOD_SHIFT},  {VKEY_RIGHT, KEYMOD_SHIFT},
        {VKEY_DOWN, KEYMOD_SHIFT}, {VKEY_UP, KEYMOD_SHIFT},    {VKEY_END, KEYMOD_SHIFT},   {VKEY_HOME, KEYMOD_SHIFT},
        {VKEY_RETURN, KEYMOD_NONE}, {VKEY_DELETE, KEYMOD_NONE}, {VKEY_BACK, KEYMOD_NONE},  {VKEY_TAB, KEYMOD_NONE},
        {'X', KEYMOD_CTRL},        {'C', KEYMOD_CTRL},         {'A', KEYMOD_CTRL},         {'V', KEYMOD_CTRL},
        {'Z', KEYMOD_CTRL},        {'Z', KEYMOD_CTRL},         {VKEY_END, KEYMOD_CTRL},
    };
    int steps = 0;
    for (int round = 0; round < 40; ++round) {
        Lines lines(1 + random() % 5);
        for (std::string& line : lines) line = randomGbkText(random, 12, false);
        resetUndo();
        setDocument(lines);
        view.clientWidth = 120 + static_cast<int>(random() % 400);  // narrow: wrapping breaks often
        for (int step = 0; step < 150; ++step, ++steps) {
            std::string name;
            switch (random() % 9) {
                case 0:
                    name = "type";
                    typeBytes(randomGbkText(random, 3, false));  // a character as two WM_CHARs
                    break;
                case 1: {
                    name = "select";
                    const int line1 = static_cast<int>(random() % lineCount());
                    const int line2 = static_cast<int>(random() % lineCount());
                    selectSpan(line1, randomBoundary(random, line1), line2, randomBoundary(random, line2));
                    break;
                }
                case 2: {
                    name = "click";
                    const int line = static_cast<int>(random() % lineCount());
                    putCaret(line, randomBoundary(random, line));
                    clearSelection();
                    break;
                }
                case 3:
                    name = "paste";
                    setClipboard(randomGbkText(random, 8, true));
                    pressCtrl('V');
                    break;
                case 4:
                    name = "wrap";
                    dispatchCommand(CMD_TOGGLE_WRAP, 0);
                    break;
                case 5:
                    name = "input method";
                    insertCharCode((static_cast<unsigned char>(randomCharacter(random)[0]) << 8) | 0x80);
                    break;
                default: {
                    const int* key = keys[random() % (sizeof keys / sizeof *keys)];
                    name = "key " + std::to_string(key[0]) + "/" + std::to_string(key[1]);
                    press(key[0], key[1]);
                    break;
                }
            }
            ASSERT_EQ(documentInvariantViolation(), "") << name << ", round " << round << ", step " << step;
            ASSERT_EQ(brokenCharacter(), "") << name << ", round " << round << ", step " << step << "\n"
                                             << testing::PrintToString(documentLines());
        }
    }
    EXPECT_EQ(steps, 40 * 150);
}
