#include "search/replace_template.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/gbk.h"
#include "document/paste_text.h"
#include "document/selection.h"
#include "document/text.h"
#include "document/undo_ring.h"
#include "edit/clipboard.h"
#include "edit/editing.h"
#include "edit/line_edits.h"
#include "edit/reflow.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "search/find_state.h"
#include "search/wildcard.h"
#include "view/active_window.h"
#include "view/layout.h"
#include "view/title.h"

namespace {

// ---- The substitution table ----

constexpr int VALUE_COLUMN = -1;  // the match's start column in decimal
constexpr int VALUE_TAB = -2;     // one TAB byte

struct SubstitutionRow {
    const char* token;
    int value;  // a capture slot, VALUE_COLUMN or VALUE_TAB
};

// In this order: each token comes before the shorter tokens that begin it. Rows 1-13
// (from "\~" to "\S") take text to the end of the line.
constexpr SubstitutionRow SUBSTITUTIONS[] = {
    {"\\COL", VALUE_COLUMN},
    {"\\~", 5}, {"\\*", 10}, {"\\S1", 11}, {"\\S0", 10}, {"\\S2", 12}, {"\\S3", 13}, {"\\S4", 14},
    {"\\S5", 15}, {"\\S6", 16}, {"\\S7", 17}, {"\\S8", 18}, {"\\S9", 19}, {"\\S", 10},
    {"\\!", 40}, {"\\C1", 41}, {"\\C0", 40}, {"\\C2", 42}, {"\\C3", 43}, {"\\C4", 44}, {"\\C5", 45},
    {"\\C6", 46}, {"\\C7", 47}, {"\\C8", 48}, {"\\C9", 49}, {"\\C", 40},
    {"\\@", 6}, {"\\A", 7}, {"\\a", 8},
    {"\\#", 20}, {"\\N1", 21}, {"\\N0", 20}, {"\\N2", 22}, {"\\N3", 23}, {"\\N4", 24}, {"\\N5", 25},
    {"\\N6", 26}, {"\\N7", 27}, {"\\N8", 28}, {"\\N9", 29}, {"\\N", 20},
    {"\\&", 9}, {"\\!", 50},
    {"\\:", 30}, {"\\M0", 30}, {"\\M1", 31}, {"\\M2", 32}, {"\\M3", 33}, {"\\M4", 34}, {"\\M5", 35},
    {"\\M6", 36}, {"\\M7", 37}, {"\\M8", 38}, {"\\M9", 39}, {"\\M", 30},
    {"\\%", 0}, {"\\t", VALUE_TAB}, {"\\<>", 1}, {"\\()", 2}, {"\\[]", 3}, {"\\{}", 4},
};
static_assert(sizeof(SUBSTITUTIONS) / sizeof(SUBSTITUTIONS[0]) == 61, "61 substitution rows");
constexpr int FIRST_LINE_CONSUMING_ROW = 1;
constexpr int LAST_LINE_CONSUMING_ROW = 13;

// Bytes of the character at `i` of the working text.
size_t charStep(const std::string& text, size_t i) {
    return (isLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
}

bool tokenAt(const std::string& text, size_t i, const char* token, size_t tokenLength) {
    return text.compare(i, tokenLength, token, tokenLength) == 0;
}

// Replaces every occurrence of `token` (searched character by character from the left)
// by `value`; an occurrence whose replacement would make the text TEMPLATE_TEXT_LIMIT
// bytes or longer stays. Returns the number of replacements.
int replaceEvery(std::string& text, const char* token, const std::string& value) {
    const size_t tokenLength = std::strlen(token);
    if (text.find(token) == std::string::npos) return 0;
    std::string result;
    result.reserve(text.size());
    int made = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (tokenAt(text, i, token, tokenLength)) {
            const size_t lengthAfter = result.size() + value.size() + (text.size() - i - tokenLength);
            if (lengthAfter < static_cast<size_t>(TEMPLATE_TEXT_LIMIT)) {
                result += value;
                ++made;
            } else {
                result.append(text, i, tokenLength);
            }
            i += tokenLength;
            continue;
        }
        const size_t step = charStep(text, i);
        result.append(text, i, step);
        i += step;
    }
    text.swap(result);
    return made;
}

// Value of a digit run, held at INT_MAX when it is larger.
int saturatedNumber(const std::string& text, size_t from, size_t to) {
    long long value = 0;
    for (size_t i = from; i < to; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

// "\ID" with the digits after it: the number they make, or the counter's next number.
void substituteIds(std::string& text) {
    static const char ID[] = "\\ID";
    if (text.find(ID) == std::string::npos) return;
    std::string result;
    size_t i = 0;
    while (i < text.size()) {
        if (tokenAt(text, i, ID, 3)) {
            size_t digitsEnd = i + 3;
            while (digitsEnd < text.size() && isDigitChar(text[digitsEnd])) ++digitsEnd;
            int number;
            if (digitsEnd > i + 3)
                number = saturatedNumber(text, i + 3, digitsEnd);
            else
                number = findState.idCounter == INT_MAX ? INT_MAX : findState.idCounter + 1;
            const std::string digits = std::to_string(number);
            if (result.size() + digits.size() + (text.size() - digitsEnd) >= static_cast<size_t>(TEMPLATE_TEXT_LIMIT)) {
                result.append(text, i, std::string::npos);  // no room: the rest stays as it is
                break;
            }
            findState.idCounter = number;
            result += digits;
            i = digitsEnd;
            continue;
        }
        const size_t step = charStep(text, i);
        result.append(text, i, step);
        i += step;
    }
    text.swap(result);
}

// Repetition braces: "{text}n" becomes n copies of text, innermost first. Returns when no
// "}" with a count remains, or when a repetition would reach TEMPLATE_TEXT_LIMIT bytes.
// A "}" with no "{" before it takes the text's first character as its opening, so the
// repeated text starts after that whole character and a double-byte one is never split.
void expandBraces(std::string& text) {
    for (;;) {
        size_t opening = 0;
        size_t takenFrom = text.empty() ? 0 : charStep(text, 0);
        size_t previous = std::string::npos;  // start of the character before `i`
        bool expanded = false;
        for (size_t i = 0; i < text.size(); previous = i, i += charStep(text, i)) {
            const char c = text[i];
            if (c == '{') {
                if (!(previous != std::string::npos && text[previous] == '\\')) {
                    opening = i;
                    takenFrom = i + 1;
                }
                continue;
            }
            if (c != '}') continue;
            size_t digitsEnd = i + 1;
            uint64_t count = 0;
            while (digitsEnd < text.size() && digitsEnd - (i + 1) < 16 && isDigitChar(text[digitsEnd])) {
                count = count * 10 + static_cast<uint64_t>(text[digitsEnd] - '0');
                ++digitsEnd;
            }
            if (count == 0) return;  // no count, or a count of 0: the braces stay
            const size_t takenSize = i > takenFrom ? i - takenFrom : 0;
            const size_t keptSize = text.size() - (digitsEnd - opening);
            const size_t room = static_cast<size_t>(TEMPLATE_TEXT_LIMIT) - 1 - keptSize;
            if (keptSize >= static_cast<size_t>(TEMPLATE_TEXT_LIMIT) ||
                (takenSize > 0 && count > room / takenSize))
                return;  // the repetition would not fit: the text stays as it is
            std::string result(text, 0, opening);
            const std::string taken(text, takenFrom, takenSize);
            for (uint64_t k = 0; takenSize > 0 && k < count; ++k) result += taken;
            result.append(text, digitsEnd, std::string::npos);
            text.swap(result);
            expanded = true;
            break;
        }
        if (!expanded) return;
    }
}

// ---- Removing the match and inserting the expansion ----

// Lines from `first` to `last` (in document order) lose LN_SELECTED.
void unmarkLines(LineNode* first, LineNode* last) {
    for (LineNode* line = first; line; line = line->next) {
        line->flags &= ~LN_SELECTED;
        if (line == last) break;
    }
}

// clearSelection for a selection that updateSelection made: only the lines between its
// ends carry LN_SELECTED, so only they are visited.
void clearSelectionBetweenEnds() {
    if (doc.selStartLine && doc.selEndLine) unmarkLines(doc.selStartLine, doc.selEndLine);
    if (doc.caretLine) doc.caretLine->flags &= ~LN_SELECTED;
    doc.anchorLine = nullptr;
    doc.anchorCol = 0;
    doc.selStartLine = nullptr;
    doc.selStartCol = 0;
    doc.selEndLine = nullptr;
    doc.selEndCol = 0;
}

// The Delete key with nothing selected: the character at the caret, or the line break.
void deleteAtCaret() {
    keepCaretOnCharacter();
    if (doc.caretCol < static_cast<int>(std::strlen(doc.caretLine->text)))
        deleteCharacterAtCaret();
    else
        joinCaretLineWithNext();
}

// deleteSelection for a selection within one line, without visiting the other lines:
// the same bytes go and the same undo record is made.
void deleteSelectionWithinLine() {
    LineNode* line = doc.selStartLine;
    const int length = static_cast<int>(std::strlen(line->text));
    int startCol = doc.selStartCol < 0 ? 0 : (doc.selStartCol > length ? length : doc.selStartCol);
    int endCol = doc.selEndCol < 0 ? 0 : (doc.selEndCol > length ? length : doc.selEndCol);
    doc.caretLine = line;
    doc.caretCol = startCol;
    if (startCol < endCol && startCol < length) {
        const int count = endCol - startCol + (endCol < length ? 1 : 0) + (endCol < length && charLength(line->text, endCol) == 2 ? 1 : 0);
        std::string removed(line->text + startCol, static_cast<size_t>(count));
        if (endCol == length && (line->flags & LN_HARD_RETURN)) removed += "\r\n";
        if (undoRing.replaying == 0) recordAtCaret(UNDO_DELETE_SELECTION, removed.c_str());
        line->text = deleteText(count, startCol, line->text);
        noteChangeAt(line);
    } else if (undoRing.replaying == 0) {
        recordAtCaret(UNDO_DELETE_SELECTION, "");
    }
    clearSelectionBetweenEnds();
}

// Removes the selected match by the removal rule. `quick` keeps to the lines of the
// match; otherwise the document-wide selection operations are used.
void removeMatch(const char* findText, bool quick) {
    if (!quick) {
        snapSelection();
    } else {
        // snapSelection for a selection that updateSelection made.
        if (doc.selStartLine && isInsideDoubleByte(doc.selStartLine->text, doc.selStartCol)) --doc.selStartCol;
        if (doc.selEndLine && isInsideDoubleByte(doc.selEndLine->text, doc.selEndCol)) --doc.selEndCol;
    }
    if (findState.emptyMatch || doc.selStartLine == nullptr || doc.selEndLine == nullptr) {
        // A match of no bytes (which its search leaves unselected): nothing to remove.
        if (quick) clearSelectionBetweenEnds(); else clearSelection();
        return;
    }
    const size_t findLength = std::strlen(findText);
    const bool oneCharacter = findLength == 1 || (findLength == 2 && isLeadByte(findText[0]));
    const bool emptySelection = doc.selStartLine == doc.selEndLine && doc.selStartCol == doc.selEndCol;
    if (oneCharacter || emptySelection) {
        if (quick) clearSelectionBetweenEnds(); else clearSelection();
        // The line-start pattern matched no bytes: there is nothing to delete.
        if (!(emptySelection && isLineStartPattern(findText) && wildcardMatchWasEmpty())) deleteAtCaret();
    } else if (quick && doc.selStartLine == doc.selEndLine) {
        deleteSelectionWithinLine();
    } else {
        deleteSelection();
    }
}

// Sets `modified`; as no line changes, the remembered line starts stay good, so the next
// caret offset does not count the lines again from the top.
void markModified() {
    if (doc.caretLine)
        noteChangeAt(doc.caretLine);
    else
        doc.modified = 1;
}

// Re-finds the paste start after a re-wrap that may have joined or split its line.
void relocatePasteStart(PasteOutcome& outcome) {
    LineNode* caretLine = doc.caretLine;
    const int caretCol = doc.caretCol;
    placeCaretAtOffset(outcome.startOffset);
    outcome.startLine = doc.caretLine;
    outcome.startCol = doc.caretCol;
    doc.caretLine = caretLine;
    doc.caretCol = caretCol;
}

// The paste of `text` at the caret without the system clipboard: the same lines, the
// same undo record and the pasted text selected, but no title, caret or window update.
// Returns true when the pasted text ended with a line break.
bool pasteQuietly(const std::string& text) {
    const uint64_t changesBefore = documentChangeCount;
    markModified();
    std::string recorded;
    const std::vector<std::string> pieces = clipboardPieces(text, isShiftHeldForSearch(), &recorded);
    PasteOutcome outcome = insertPieces(pieces);
    const bool endedWithBreak = pieces.size() > 1 && pieces.back().empty();
    // Nothing before the paste start changed.
    if (outcome.startLine) keepTextBeforeSince(changesBefore, outcome.startLine, outcome.startCol);
    if (!recorded.empty()) recordEdit(UNDO_PASTE, outcome.startOffset, recorded.c_str());
    if (activeWindow != ACTIVE_FIND && reflow(doc.head, true, true) != 0) relocatePasteStart(outcome);
    if (!outcome.inserted) {
        clearSelectionBetweenEnds();
        return endedWithBreak;
    }
    doc.anchorLine = outcome.startLine;
    doc.anchorCol = outcome.startCol;
    if (doc.caretCol > 0) doc.caretCol = stepLeft(doc.caretLine->text, doc.caretCol);
    // The selection runs from the paste start to the caret, which never stands before it.
    for (LineNode* line = outcome.startLine; line; line = line->next) {
        markLineSelected(line);
        if (line == doc.caretLine) break;
    }
    doc.selStartLine = doc.anchorLine;
    doc.selStartCol = doc.anchorCol;
    doc.selEndLine = doc.caretLine;
    doc.selEndCol = doc.caretCol;
    return endedWithBreak;
}

const char* currentFindText() {
    return findState.findTextPointer ? findState.findTextPointer : findState.findText;
}
const char* currentTemplate() {
    return findState.replaceTextPointer ? findState.replaceTextPointer : findState.replaceText;
}

// The replacement up to the insertion; returns the expansion and whether a line-consuming
// token was substituted.
std::string removeAndExpand(bool quick, bool* consumedLine) {
    *consumedLine = false;
    markModified();
    removeMatch(currentFindText(), quick);
    const char* templ = currentTemplate();
    if (templ[0] == '\0') return std::string();
    return expandTemplate(templ, doc.caretCol, consumedLine);
}

void moveCaretToLineEnd() { doc.caretCol = static_cast<int>(std::strlen(doc.caretLine->text)); }

}  // namespace

std::string expandTemplate(const char* templ, int column, bool* consumedLine) {
    bool consumed = false;
    std::string text(templ ? templ : "");
    if (text.find('\\') != std::string::npos) {
        const std::string columnText = std::to_string(column);
        const std::string tab = "\t";
        int row = 0;
        for (const SubstitutionRow& substitution : SUBSTITUTIONS) {
            const std::string* value = nullptr;
            if (substitution.value == VALUE_COLUMN)
                value = &columnText;
            else if (substitution.value == VALUE_TAB)
                value = &tab;
            else if (CaptureSlots[substitution.value].present)
                value = &CaptureSlots[substitution.value].text;
            if (value && replaceEvery(text, substitution.token, *value) > 0 &&
                row >= FIRST_LINE_CONSUMING_ROW && row <= LAST_LINE_CONSUMING_ROW)
                consumed = true;
            ++row;
        }
        substituteIds(text);
        if (text.find("\\ROW") != std::string::npos)
            replaceEvery(text, "\\ROW", std::to_string(doc.caretLine ? lineIndex(doc.caretLine) + 1 : 0));
    }
    expandBraces(text);
    if (consumedLine) *consumedLine = consumed;
    return text;
}

void replaceCurrentMatch() {
    if (!hasDocument()) return;
    bool consumedLine = false;
    const std::string text = removeAndExpand(false, &consumedLine);
    if (!text.empty()) {
        // A clipboard that another program holds cannot take the text; pasting would then
        // insert whatever it holds, so the text goes in directly instead.
        if (putTextOnClipboard(text.c_str()))
            pasteClipboard();
        else
            pasteQuietly(text);
        if (consumedLine) moveCaretToLineEnd();
    }
    updateTitle();
    ensureCaretVisible();
}

std::string replaceCurrentMatchDeferred(bool* endedWithBreak) {
    if (endedWithBreak) *endedWithBreak = false;
    if (!hasDocument()) return std::string();
    bool consumedLine = false;
    const std::string text = removeAndExpand(true, &consumedLine);
    if (!text.empty()) {
        const bool lineBreakLast = pasteQuietly(text);
        if (endedWithBreak) *endedWithBreak = lineBreakLast;
        if (consumedLine) moveCaretToLineEnd();
    }
    return text;
}
