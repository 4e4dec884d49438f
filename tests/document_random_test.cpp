// Random operations on the line list and the selection, checked against a plain model.
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "document/gbk.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/text.h"
#include "support/test_document.h"

namespace {

// Random GBK-ish text: ASCII, double-byte characters, 0x80 and first bytes 0x81-0xA0
// standing alone (which take the byte after them as their second byte).
std::string randomText(std::mt19937& random) {
    std::string text;
    const int length = static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i) {
        switch (random() % 4) {
            case 0: text += static_cast<char>('a' + random() % 26); break;
            case 1: text += "\xD6\xD0"; break;
            case 2: text += static_cast<char>(0x80 + random() % 0x21); break;
            default: text += "\xA1\x41"; break;  // a trail byte that looks like ASCII
        }
    }
    return text;
}

int randomIndex(std::mt19937& random, size_t size) { return static_cast<int>(random() % size); }

int randomValidColumn(std::mt19937& random, const char* text) {
    int col = static_cast<int>(random() % (std::strlen(text) + 1));
    if (isInsideDoubleByte(text, col)) --col;
    return col;
}

// The selection flags must mark exactly the lines from the start to the end line.
std::string selectionViolation() {
    if (doc.selStartLine == nullptr) return "";
    bool inside = false;
    for (const LineNode* line = doc.head; line; line = line->next) {
        if (line == doc.selStartLine) inside = true;
        const bool marked = (line->flags & LN_SELECTED) != 0;
        if (marked != inside) return "selection flags do not match the selected range";
        if (line == doc.selEndLine) inside = false;
    }
    if (lineIndex(doc.selStartLine) > lineIndex(doc.selEndLine)) return "selection start after its end";
    return "";
}

}  // namespace

TEST_F(CoreTest, RandomListAndSelectionOperationsKeepTheInvariants) {
    std::mt19937 random(20261207);
    std::vector<std::string> model = {"start"};
    setDocument(model);
    for (int step = 0; step < 20000; ++step) {
        switch (random() % 8) {
            case 0: {  // insert a line after a random line
                const int at = randomIndex(random, model.size());
                const std::string text = randomText(random);
                LineNode* before = lineAt(at);
                LineNode* added = insertLineAfter(before);
                added->text = copyStringOrExit(text.c_str());
                // A line added inside the selection is part of it, as a split line is.
                if ((before->flags & LN_SELECTED) && before != doc.selEndLine) markLineSelected(added);
                model.insert(model.begin() + at + 1, text);
                break;
            }
            case 1: {  // remove a random line
                const int at = randomIndex(random, model.size());
                const LineNode* caretBefore = doc.caretLine;
                removeLine(lineAt(at));
                // The caret may land on another line; its column is clamped as a caret
                // update would clamp it.
                if (doc.caretLine != caretBefore || doc.caretCol > static_cast<int>(std::strlen(doc.caretLine->text)))
                    doc.caretCol = 0;
                if (model.size() == 1) model[0].clear();
                else model.erase(model.begin() + at);
                break;
            }
            case 2: {  // edit a line's text at a character boundary
                const int at = randomIndex(random, model.size());
                LineNode* line = lineAt(at);
                const int col = randomValidColumn(random, line->text);
                const std::string piece = randomText(random);
                line->text = insertText(line->text, col, piece.c_str());
                doc.modified = 1;  // as every change to the lines does
                model[at].insert(static_cast<size_t>(col), piece);
                if (line == doc.caretLine) doc.caretCol = 0;
                if (line == doc.anchorLine) doc.anchorCol = 0;
                if (line == doc.selStartLine || line == doc.selEndLine) clearSelection();
                break;
            }
            case 3: {  // move the caret, extending the selection sometimes
                const bool extend = random() % 2 == 0;
                if (extend) beginSelection();
                doc.caretLine = lineAt(randomIndex(random, model.size()));
                doc.caretCol = randomValidColumn(random, doc.caretLine->text);
                if (extend) updateSelection();
                break;
            }
            case 4: clearSelection(); break;
            case 5: {  // offsets round-trip
                const LineNode* line = doc.caretLine;
                const int col = doc.caretCol;
                setCaretFromOffset(caretOffset());
                ASSERT_EQ(doc.caretLine, line);
                ASSERT_EQ(doc.caretCol, col);
                break;
            }
            case 6: snapSelection(); break;
            default: doc.topLine = lineAt(randomIndex(random, model.size())); break;
        }
        ASSERT_EQ(documentLines(), model) << "step " << step;
        ASSERT_EQ(documentInvariantViolation(), "") << "step " << step;
        ASSERT_EQ(selectionViolation(), "") << "step " << step;
    }
}
