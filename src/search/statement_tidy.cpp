#include "search/statement_tidy.h"

#include <cstring>

#include "blocks/line_operations.h"
#include "blocks/markers.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "document/selection.h"
#include "edit/editing.h"
#include "edit/line_changes.h"
#include "edit/reflow.h"
#include "platform/platform.h"
#include "search/find_replace.h"
#include "search/find_state.h"
#include "search/wildcard.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"

namespace {

constexpr int ACTION_DOCUMENT_START = 2065;
constexpr int FIELD_SPACES = 6;
constexpr int MOBILE_DIGITS = 11;

struct TidyPass {
    const char* findText;
    const char* replaceText;
};

// The passes, in order. The find state is lent to them and given back afterwards, so an
// open Find or Replace dialog goes on with the user's own texts.
const TidyPass PASSES_BEFORE_PARAGRAPHS[] = {
    {"\\N1:\\N2:\\N3", " \\N1:\\N2:\\N3 "},   // a space before and after a time
    {"\\N1-\\N2-\\N3", "    \\N1-\\N2-\\N3"},  // four spaces before a date
    {"\\n支出", " 支出"},                       // the kind of a record joins its line
    {"\\n收入", " 收入"},
    {"\\n其他", " 其他"},
};
const TidyPass PASSES_AFTER_PARAGRAPHS[] = {
    {"发给", ""},
    {"~", ""},
    {")\\#", ") \\#"},
};

// One replace-all over the whole document, as the Replace dialog's button would run it,
// with the dialog record filled but no dialog and no result message.
// What the passes borrow from the find state.
struct BorrowedFindState {
    const char* findTextPointer;
    const char* replaceTextPointer;
    uint32_t findFlags;
    uint8_t replaceMode;
    int idCounter;
};

BorrowedFindState borrowFindState() {
    return {findState.findTextPointer, findState.replaceTextPointer, findState.findFlags, findState.replaceMode,
            findState.idCounter};
}

void giveBackFindState(const BorrowedFindState& saved) {
    findState.findTextPointer = saved.findTextPointer;
    findState.replaceTextPointer = saved.replaceTextPointer;
    findState.findFlags = saved.findFlags;
    findState.replaceMode = saved.replaceMode;
    findState.idCounter = saved.idCounter;
    findState.found = 0;
}

void runPass(const TidyPass& pass) {
    findState.idCounter = 0;
    freeCaptures();
    findState.findFlags = REPLACE_DIALOG_FLAGS;
    findState.findTextPointer = pass.findText;
    findState.replaceTextPointer = pass.replaceText;
    performEditorAction(ACTION_DOCUMENT_START);
    replaceAllSilently();
}

// Paragraphs by indentation, merged into single lines, their leading blanks removed.
void rebuildParagraphs() {
    markIndentedParagraphs();
    view.wrapMode = 1;
    reflow(doc.head, true, false);
    view.wrapMode = 0;
    selectAll();
    stripIndent();
    clearSelection();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A run of more than eleven digits that starts like a mobile number keeps eleven.
bool startsLikeMobileNumber(const char* run) {
    return run[0] == '1' && std::strchr("34589", run[1]) != nullptr;
}

// Cleans every line, recorded for undo as one change; true when any changed.
bool cleanEveryLine() {
    LineChanges changes;
    beginLineChanges(changes);
    for (LineNode* line = doc.head; line; line = line->next) {
        const std::string cleaned = cleanStatementLine(line->text);
        if (cleaned == line->text) continue;
        noteLineBefore(changes, line);
        replaceLineText(line, copyBytesOrExit(cleaned.data(), cleaned.size()));
    }
    recordLineChanges(changes);
    return !changes.earlier.empty();
}

}  // namespace

std::string cleanStatementLine(const std::string& text) {
    std::string out;
    int spaces = 0;
    const int length = static_cast<int>(text.size());
    for (int pos = 0; pos < length;) {
        const char c = text[static_cast<size_t>(pos)];
        const int width = charLength(text.c_str(), pos);
        if (spaces < FIELD_SPACES || width == 2) {
            if (c == ' ') ++spaces;
            out.append(text, static_cast<size_t>(pos), static_cast<size_t>(width));
            pos += width;
            continue;
        }
        if (c == ' ') {
            const char next = pos + 1 < length ? text[static_cast<size_t>(pos) + 1] : '\0';
            if (isDigit(next) || next == '/') break;
            out += '_';
            ++pos;
        } else if (c == '/') {
            break;
        } else if (isDigit(c) && (pos == 0 || !isDigit(text[static_cast<size_t>(pos) - 1]) ||
                                  isInsideDoubleByte(text.c_str(), pos - 1))) {
            int end = pos;
            while (end < length && isDigit(text[static_cast<size_t>(end)])) ++end;
            if (end - pos > MOBILE_DIGITS) {
                if (startsLikeMobileNumber(text.c_str() + pos)) out.append(text, static_cast<size_t>(pos), MOBILE_DIGITS);
                break;
            }
            out.append(text, static_cast<size_t>(pos), static_cast<size_t>(end - pos));
            pos = end;
        } else {
            out += c;
            ++pos;
        }
    }
    return out;
}

bool tidyStatement() {
    const int answer = platform::showMessageBox(
        "请将《微信交易明细电子证明》PDF文件\n中的文本内容复制到此编辑界面。\n\n已经准备好，并确定要继续整理此内容吗？",
        "请确认:", platform::BOX_YES_NO_CANCEL);
    if (answer != platform::ANSWER_YES || !hasDocument()) return false;
    const BorrowedFindState saved = borrowFindState();
    for (const TidyPass& pass : PASSES_BEFORE_PARAGRAPHS) runPass(pass);
    rebuildParagraphs();
    for (const TidyPass& pass : PASSES_AFTER_PARAGRAPHS) runPass(pass);
    giveBackFindState(saved);
    if (cleanEveryLine()) doc.modified = 1;
    performEditorAction(ACTION_DOCUMENT_START);
    updateTitle();
    convertSpacesCommas();
    return true;
}

void convertSpacesCommas() {
    if (!hasDocument()) return;
    const bool toCommas = view.showLineNumbers != 0;
    const int answer = platform::showMessageBox(
        toCommas ? "确定把全文中的 空格 换成 逗号 吗？" : "确定将全文中的 逗号 换成 空格 吗？",
        "请确认易错且无法恢复的【危险操作】", platform::BOX_YES_NO_CANCEL);
    if (answer != platform::ANSWER_YES) return;
    const char from = toCommas ? ' ' : ',';
    const char to = toCommas ? ',' : ' ';
    // Walked character by character: a second byte equal to `from` belongs to its
    // character and stays.
    for (LineNode* line = doc.head; line; line = line->next)
        for (char* p = line->text; *p; p += charLength(p, 0))
            if (*p == from) *p = to;
    doc.modified = 1;
    updateTitle();
    ensureCaretVisible();
}
