// Word wrap only shows a paragraph: whatever is typed, deleted, pasted, undone or redone,
// with wrap on or off and at any window width, Save writes the bytes the same edits give
// on the unwrapped text, and undo and redo give back the rows exactly.
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "document/gbk.h"
#include "document/paste_text.h"
#include "document/undo_ring.h"
#include "files/loader.h"
#include "support/editing_driver.h"
#include "view/layout.h"

namespace {

constexpr int WINDOW_HEIGHT = 600;

// The rows with their returns, as "text|" for a hard return and "text~" for a soft one.
using Rows = std::vector<std::string>;

Rows rows() {
    Rows result;
    for (const LineNode* line = doc.head; line; line = line->next)
        result.push_back(std::string(line->text) + ((line->flags & LN_HARD_RETURN) ? "|" : "~"));
    return result;
}

// The bytes Save writes: every row's text, CR LF after a hard return.
std::string savedBytes() {
    std::string bytes;
    for (const LineNode* line = doc.head; line; line = line->next) {
        bytes += line->text;
        if (line->flags & LN_HARD_RETURN) bytes += "\r\n";
    }
    return bytes;
}

// Empty when no soft-returned row ends in the first byte of a character that the next
// row finishes (a row never splits a character), else the offending row.
std::string rowSplittingACharacter() {
    for (const LineNode* line = doc.head; line; line = line->next)
        if (!(line->flags & LN_HARD_RETURN) && line->next &&
            isInsideDoubleByte(line->text, static_cast<int>(std::strlen(line->text))))
            return line->text;
    return "";
}

void resize(int width) { handleMessage(MSG_SIZE, SIZE_TYPE_RESTORED, static_cast<intptr_t>(width | (WINDOW_HEIGHT << 16))); }

void undoSteps(uint64_t count) {
    for (uint64_t i = 0; i < count; ++i) pressCtrl('Z');
}

void redoSteps(uint64_t count) {
    for (uint64_t i = 0; i < count; ++i) pressCtrl('Y');
}

class WrapTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        initStyles();
        view.clientHeight = WINDOW_HEIGHT;
    }
};

// The row and column where the byte at `position` of the saved bytes stands; a position
// at a soft return is the start of the next row, the position of a CR LF the end of its
// row. `position` must not be inside a CR LF.
void putCaretAtSavedPosition(size_t position) {
    size_t rowStart = 0;
    for (LineNode* line = doc.head; line; line = line->next) {
        const size_t length = std::strlen(line->text);
        const bool hard = (line->flags & LN_HARD_RETURN) != 0;
        if (position < rowStart + length || (position == rowStart + length && (hard || !line->next))) {
            doc.caretLine = line;
            doc.caretCol = static_cast<int>(position - rowStart);
            return;
        }
        rowStart += length + (hard ? 2 : 0);
    }
    doc.caretLine = lastLine();
    doc.caretCol = static_cast<int>(std::strlen(doc.caretLine->text));
}

// The unwrapped text that the edits are compared with: bytes, lines ending in CR LF.
struct Model {
    std::string bytes;

    // Places where a character or a line end begins, scanning each line from its start. A
    // line end right after a first byte left alone is not one: the caret cannot stand
    // there (it stands before that byte, which the line end would complete).
    std::vector<size_t> characterStarts() const {
        std::vector<size_t> starts;
        size_t lineStart = 0;
        while (lineStart < bytes.size()) {
            const size_t lineEnd = bytes.find("\r\n", lineStart);
            const std::string line = bytes.substr(lineStart, lineEnd - lineStart);
            for (int col = 0; col < static_cast<int>(line.size()); col = stepRight(line.c_str(), col))
                starts.push_back(lineStart + static_cast<size_t>(col));
            if (!isInsideDoubleByte(line.c_str(), static_cast<int>(line.size()))) starts.push_back(lineEnd);
            lineStart = lineEnd + 2;
        }
        return starts;
    }
    bool isLineEnd(size_t position) const { return bytes.compare(position, 2, "\r\n") == 0; }
    // Bytes taken by the character or line end at `position`.
    size_t widthAt(size_t position) const {
        if (isLineEnd(position)) return 2;
        return isLeadByte(bytes[position]) && position + 1 < bytes.size() && bytes[position + 1] != '\r' ? 2 : 1;
    }
    void insert(size_t position, const std::string& text) { bytes.insert(position, text); }
    // Delete: a character, or the line break, joining the lines; nothing at the very end.
    void deleteAt(size_t position) {
        if (position + 2 < bytes.size() || !isLineEnd(position)) bytes.erase(position, widthAt(position));
    }
    // Deleting from `start` to the character or line end at `last`, both included: the first
    // and last lines are not joined, so one crossed line break stays, and the last line's
    // own break is never deleted.
    void deleteSpan(size_t start, size_t last) {
        const size_t end = last + widthAt(last);
        const bool takesLastLineEnd = isLineEnd(last);
        const std::string inner = bytes.substr(start, (takesLastLineEnd ? last : end) - start);
        std::string kept = inner.find("\r\n") != std::string::npos ? "\r\n" : "";
        if (takesLastLineEnd) kept += "\r\n";
        bytes.replace(start, end - start, kept);
    }
};

// One action the user can take back: the rows before and after it and its undo records.
struct Action {
    Rows before, after;
    std::string bytesBefore, bytesAfter;
    uint64_t records = 0;
    std::string name;
};

class RandomWrapping {
public:
    explicit RandomWrapping(unsigned seed) : random(seed) {}

    // One character from any area of code page 936, or an ASCII one.
    std::string randomCharacter() {
        if (random() % 3 == 0) return std::string(1, static_cast<char>(0x20 + random() % 0x5F));
        const char first = static_cast<char>(0x81 + random() % 0x7E);
        int second = 0x40 + static_cast<int>(random() % 0xBE);  // 0x40-0xFD, skipping 0x7F
        if (second >= 0x7F) ++second;
        return {first, static_cast<char>(second)};
    }

    std::string randomText(int maxCharacters) {
        std::string text;
        const int count = static_cast<int>(random() % (maxCharacters + 1));
        for (int i = 0; i < count; ++i) text += randomCharacter();
        return text;
    }

    // Clipboard text: characters, line breaks and a first byte left alone.
    std::string randomClipboard() {
        static const char* const extras[] = {"\r\n", "\r\n", "\xE9", "\x81", "\xFE", "\t"};
        std::string text;
        const int count = static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i)
            text += random() % 3 == 0 ? std::string(extras[random() % 6]) : randomCharacter();
        return text;
    }

    size_t randomPlace(const Model& model) {
        const std::vector<size_t> starts = model.characterStarts();
        return starts[random() % starts.size()];
    }

    // Performs one random edit on the editor and the model; returns its name.
    std::string edit(Model& model) {
        switch (random() % 9) {
            case 0:
            case 1: {
                const size_t at = randomPlace(model);
                const std::string character = randomCharacter();
                putCaretAtSavedPosition(at);
                clearSelection();
                if (character.size() == 2 && random() % 2)
                    handleMessage(MSG_IME_CHAR, (static_cast<unsigned char>(character[0]) << 8) |
                                                    static_cast<unsigned char>(character[1]), 0);
                else
                    typeBytes(character);
                model.insert(at, character);
                return "type";
            }
            case 2: {
                if (!view.wrapMode) return "none";  // Enter indents without wrap
                const size_t at = randomPlace(model);
                putCaretAtSavedPosition(at);
                clearSelection();
                press(VKEY_RETURN);
                model.insert(at, "\r\n");
                return "enter";
            }
            case 3: {
                const size_t at = randomPlace(model);
                putCaretAtSavedPosition(at);
                clearSelection();
                press(VKEY_DELETE);
                model.deleteAt(at);
                return "delete";
            }
            case 4: {
                const std::vector<size_t> starts = model.characterStarts();
                if (starts.size() < 2) return "none";
                const size_t i = random() % (starts.size() - 1);
                const size_t j = i + 1 + random() % (starts.size() - 1 - i);
                clearSelection();
                putCaretAtSavedPosition(starts[i]);
                doc.anchorLine = doc.caretLine;
                doc.anchorCol = doc.caretCol;
                putCaretAtSavedPosition(starts[j]);
                updateSelection();
                pressCtrl('X');  // the selection goes also when it is scrolled out of view
                model.deleteSpan(starts[i], starts[j]);
                return "cut";
            }
            case 5:
            case 6: {
                const size_t at = randomPlace(model);
                const std::string text = randomClipboard();
                putCaretAtSavedPosition(at);
                clearSelection();
                setClipboard(text);
                pressCtrl('V');
                std::string inserted;
                const std::vector<std::string> pieces = clipboardPieces(text, false);
                for (size_t k = 0; k < pieces.size(); ++k) inserted += (k ? "\r\n" : "") + pieces[k];
                model.insert(at, inserted);
                clearSelection();
                return "paste";
            }
            case 7: pressCtrl('W'); return "wrap toggle";
            default: {
                static const int widths[] = {60, 100, 175, 300, 800};
                resize(widths[random() % 5]);
                return "resize";
            }
        }
    }

    std::mt19937 random;
};

}  // namespace

// The faults word wrap had, each as the user met it. Every document is wrapped by Ctrl+W,
// which leaves it unmodified; after the edit Save writes `saved`, and undoing everything
// gives back the rows and bytes as loaded.
TEST_F(WrapTest, WrapNeverChangesWhatSaveWrites) {
    const std::string paragraph = "一二三四五六七八九十一二三四五六七八";  // rows of six at 175 px
    struct Case {
        const char* name;
        int width;
        Rows lines;
        std::function<void()> edit;
        std::string saved;
    };
    const Case cases[] = {
        // The row "中中" ends at the margin; the pasted E9 goes onto a row of its own, which
        // reflow joins with the next one (it once deleted the byte instead).
        {"a lone first byte pasted at a row end stays", 100, {"中中中中"},
         [] {
             press(VKEY_HOME, KEYMOD_CTRL);
             press(VKEY_END);
             setClipboard("\xE9");
             pressCtrl('V');
         },
         "中中\xE9中中\r\n"},
        {"redo of a wrap break keeps it soft", 60, {" w"},
         [] {
             pressCtrl('Z');
             pressCtrl('Y');
             EXPECT_EQ(rows(), (Rows{" ~", "w|"}));
         },
         " w\r\n"},
        {"undoing a paste over the whole text adds no line", 175, {paragraph, "x"},
         [] {
             const Rows wrapped = rows();
             const uint64_t before = undoRing.recordsMade;
             pressCtrl('A');
             setClipboard("");
             pressCtrl('V');
             undoSteps(undoRing.recordsMade - before);
             EXPECT_EQ(rows(), wrapped);
         },
         paragraph + "\r\nx\r\n"},
        {"a deletion is redone after the wrap breaks before it", 175, {paragraph},
         [] {
             const uint64_t first = undoRing.recordsMade - static_cast<uint64_t>(lineCount() - 1);
             selectSpan(0, 4, 1, 2);  // from the third character to the eighth
             press(VKEY_DELETE);
             const Rows deleted = rows();
             undoSteps(undoRing.recordsMade - first);
             redoSteps(undoRing.recordsMade - first);
             EXPECT_EQ(rows(), deleted);
         },
         paragraph.substr(0, 4) + paragraph.substr(16) + "\r\n"},
        {"a selection over two paragraphs keeps one line break", 175, {paragraph, paragraph},
         [] {
             selectSpan(1, 4, 3, 0);  // from the second row of the first to the first character of the other
             pressCtrl('X');
         },
         paragraph.substr(0, 16) + "\r\n" + paragraph.substr(2) + "\r\n"},
    };
    for (const Case& c : cases) {
        resetUndo();
        if (view.wrapMode) pressCtrl('W');
        setDocument(c.lines);
        resize(c.width);
        const Rows loaded = rows();
        const std::string loadedBytes = savedBytes();
        pressCtrl('W');
        ASSERT_GT(lineCount(), static_cast<int>(c.lines.size())) << c.name << ": the text did not wrap";
        EXPECT_EQ(doc.modified, 0) << c.name << ": wrapping marked the text modified";
        c.edit();
        EXPECT_EQ(savedBytes(), c.saved) << c.name;
        EXPECT_EQ(rowSplittingACharacter(), "") << c.name;
        pressCtrl('W');
        pressCtrl('W');
        EXPECT_EQ(savedBytes(), c.saved) << c.name << ", after wrap off and on";
        undoSteps(UNDO_RING_SIZE);
        EXPECT_EQ(rows(), loaded) << c.name << ", after undoing everything";
        EXPECT_EQ(savedBytes(), loadedBytes) << c.name << ", after undoing everything";
    }
}

TEST_F(WrapTest, SwitchingWrapLeavesModifiedAsItWas) {
    setDocument({"一二三四五六七八九十一二三四五六七八九十"});
    resize(175);
    for (const int modified : {0, 1}) {
        doc.modified = modified;
        pressCtrl('W');
        EXPECT_GT(lineCount(), 1);
        EXPECT_EQ(doc.modified, modified);
        EXPECT_EQ(fake().title.find(" * ") == 0, modified == 1) << fake().title;
        pressCtrl('W');
        EXPECT_EQ(doc.modified, modified);
    }
}

// Without a document the scroll bar is left with nothing to show: after Close, after an
// Open whose dialog was cancelled, and at start without a file.
TEST_F(WrapTest, WithoutADocumentTheScrollBarHasNoThumb) {
    const std::string path = writeTempFile("many.txt", "a\r\nb\r\nc\r\nd\r\n");
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"close", [] { dispatchCommand(CMD_CLOSE, 0); }},
        {"cancelled open", [] {
             fake().fileDialogAnswers = {""};
             dispatchCommand(CMD_OPEN, 0);
         }},
        {"start without a file", [] { startKesh(""); }},
    };
    for (const auto& way : ways) {
        loadFile(path.c_str());
        ASSERT_GT(fake().scrollMax, fake().scrollMin) << way.first;
        way.second();
        ASSERT_FALSE(hasDocument()) << way.first;
        EXPECT_EQ(fake().scrollMax, fake().scrollMin) << way.first;
        EXPECT_EQ(fake().scrollPage, 0) << way.first;
    }
}

class WrapRandomTest : public WrapTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(WrapRandomTest, RandomEditsSaveWhatTheUnwrappedTextHolds) {
    RandomWrapping editing(GetParam());
    int steps = 0;
    for (int round = 0; round < 120; ++round) {
        Rows lines(1 + editing.random() % 4);
        for (std::string& line : lines) line = editing.randomText(22);
        resetUndo();
        if (view.wrapMode) pressCtrl('W');
        setDocument(lines);
        resize(round % 2 ? 100 : 175);
        Model model{savedBytes()};
        const std::string loaded = model.bytes;
        const Rows first = rows();
        std::vector<Action> done, undone;
        const uint64_t firstRecord = undoRing.recordsMade;
        std::string last;
        for (int step = 0; step < 60 && undoRing.recordsMade - firstRecord < UNDO_RING_SIZE - 300; ++step, ++steps) {
            const int choice = step == 0 ? 9 : static_cast<int>(editing.random() % 10);
            if (choice == 0 && !done.empty()) {
                const Action action = done.back();
                done.pop_back();
                undoSteps(action.records);
                ASSERT_EQ(rows(), action.before) << "undo of " << action.name << ", round " << round;
                model.bytes = action.bytesBefore;
                last = "undo of " + action.name;
                undone.push_back(action);
            } else if (choice == 1 && !undone.empty()) {
                const Action action = undone.back();
                undone.pop_back();
                redoSteps(action.records);
                ASSERT_EQ(rows(), action.after) << "redo of " << action.name << ", round " << round;
                model.bytes = action.bytesAfter;
                last = "redo of " + action.name;
                done.push_back(action);
            } else {
                Action action;
                action.before = rows();
                action.bytesBefore = model.bytes;
                const int modified = doc.modified;
                const uint64_t recordsBefore = undoRing.recordsMade;
                action.name = choice == 9 ? (pressCtrl('W'), "wrap on") : editing.edit(model);
                action.after = rows();
                action.bytesAfter = model.bytes;
                action.records = undoRing.recordsMade - recordsBefore;
                last = action.name;
                if (action.name == "resize" || action.name.find("wrap") == 0) {
                    ASSERT_EQ(doc.modified, modified) << action.name << " changed modified, round " << round;
                }
                if (action.records > 0) {
                    done.push_back(action);
                    undone.clear();
                }
            }
            ASSERT_EQ(savedBytes(), model.bytes) << last << ", step " << step << ", round " << round;
            ASSERT_EQ(rowSplittingACharacter(), "") << last << ", step " << step << ", round " << round;
            ASSERT_EQ(documentInvariantViolation(), "") << last << ", step " << step << ", round " << round;
        }
        while (!done.empty()) {
            undoSteps(done.back().records);
            ASSERT_EQ(rows(), done.back().before) << "undo of " << done.back().name << ", round " << round;
            done.pop_back();
        }
        ASSERT_EQ(rows(), first) << "round " << round;
        ASSERT_EQ(savedBytes(), loaded) << "round " << round;
    }
    EXPECT_GT(steps, 5000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, WrapRandomTest, ::testing::Values(20261207u, 1u, 2u, 3u));
