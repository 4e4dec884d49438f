#include "batch/batch_commands.h"

#include <cstring>
#include <vector>

#include "app/dispatcher.h"
#include "app/key_bindings.h"
#include "app/messages.h"
#include "batch/console_platform.h"
#include "batch/split_commands.h"
#include "blocks/sorting.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "platform/console.h"
#include "platform/virtual_keys.h"
#include "quiz/question_bank.h"
#include "search/find_replace.h"
#include "search/find_state.h"
#include "view/layout.h"
#include "view/view_state.h"

namespace {

// ==== Find and replace ====

// `text` cut to whole characters that fit a dialog box; true when it was cut.
bool cutToDialogBox(std::string& text) {
    if (text.size() <= static_cast<size_t>(FIND_TEXT_SIZE - 1)) return false;
    size_t end = 0;
    while (end + static_cast<size_t>(charLength(text.c_str(), static_cast<int>(end))) <= FIND_TEXT_SIZE - 1)
        end += static_cast<size_t>(charLength(text.c_str(), static_cast<int>(end)));
    text.resize(end);
    return true;
}

// Opens the Find or Replace dialog as the user does and fills in the request's texts and
// match-case choice, as the dialog reports them with its first notification.
void openDialogWith(const BatchRequest& request, bool replace) {
    if (replace) openReplaceDialog();
    else openFindDialog();
    std::memcpy(findState.findText, request.findText.c_str(), request.findText.size() + 1);
    std::memcpy(findState.replaceText, request.replaceTemplate.c_str(), request.replaceTemplate.size() + 1);
    findState.findFlags = (replace ? REPLACE_DIALOG_FLAGS : FIND_DIALOG_FLAGS) | (request.matchCase ? FR_MATCHCASE : 0);
}

// Closes the dialog as its close button does, so the next file opens it afresh.
void closeDialog() {
    platform::FindDialogReport report;
    report.flags = FR_DIALOGTERM;
    report.findText = findState.findText;
    report.replaceText = findState.replaceText;
    setConsoleFindReport(report);
    onFindReplace();
}

CommandOutcome replaceAll(const BatchRequest& request) {
    openDialogWith(request, true);
    const int count = replaceAllSilently();
    closeDialog();
    return {false, std::to_string(count)};
}

// The matched text from the match start to the anchor on its last byte; a line break
// within it is written "\n", as the Find dialog writes one.
std::string matchedText() {
    if (findState.emptyMatch || doc.anchorLine == nullptr) return "";
    std::string text;
    const LineNode* line = findState.matchStartLine;
    size_t col = static_cast<size_t>(findState.matchStartCol);
    for (; line != nullptr && line != doc.anchorLine; line = line->next, col = 0)
        text.append(line->text + col).append((line->flags & LN_HARD_RETURN) ? "\\n" : "");
    if (line == nullptr) return text;
    const size_t length = std::strlen(line->text);
    const size_t end = static_cast<size_t>(doc.anchorCol);
    if (end < length) return text.append(line->text + col, end + 1 - col);
    return text.append(line->text + col).append("\\n");
}

// One character on from the caret, or to the next line's start, as Find next steps
// before it searches again; false at the end of the document.
bool stepPastMatchStart() {
    if (doc.caretCol < static_cast<int>(std::strlen(doc.caretLine->text))) {
        doc.caretCol = stepRight(doc.caretLine->text, doc.caretCol);
        return true;
    }
    if (doc.caretLine->next == nullptr) return false;
    doc.caretLine = doc.caretLine->next;
    doc.caretCol = 0;
    return true;
}

// Every match, from the document's start, as pressing Find next again and again finds
// them: each search starts one character after the last match's start.
CommandOutcome findEveryMatch(const BatchRequest& request, const std::string& label, FILE* out) {
    openDialogWith(request, false);
    const std::string prefix = label.empty() ? "" : label + ":";
    const LineNode* counted = doc.head;
    long lineNumber = 1, matches = 0;
    while (findNextQuietly(request.matchCase)) {
        ++matches;
        if (!request.countOnly) {
            for (; counted != findState.matchStartLine; counted = counted->next) ++lineNumber;
            const std::string text = console::forTerminal(matchedText());
            std::fprintf(out, "%s%ld:%d:%s\n", prefix.c_str(), lineNumber, findState.matchStartCol + 1, text.c_str());
        }
        if (!stepPastMatchStart()) break;
    }
    closeDialog();
    if (request.countOnly) std::fprintf(out, "%s%ld\n", prefix.c_str(), matches);
    return {};
}

// ==== Splitting, sorting, the tidy-up ====

// The last line of the text: the empty line after a final line break only stands for it.
LineNode* lastTextLine() {
    LineNode* last = lastLine();
    if (last->prev != nullptr && last->text[0] == '\0' && (last->prev->flags & LN_HARD_RETURN)) return last->prev;
    return last;
}

// The lines of the text as the file will hold them: paragraphs, not wrapped rows.
int textLineCount() {
    int count = 0;
    const LineNode* last = lastTextLine();
    for (const LineNode* line = doc.head; line != nullptr; line = line->next) {
        if ((line->flags & LN_HARD_RETURN) || line == last) ++count;
        if (line == last) break;
    }
    return count;
}

std::string linesText(int count) { return std::to_string(count) + (count == 1 ? " line" : " lines"); }

CommandOutcome split(const BatchRequest& request) {
    const int before = textLineCount();
    dispatchCommand(splitCommandNamed(request.splitName), 0);
    return {false, std::to_string(before) + " -> " + linesText(textLineCount())};
}

// The column where data field `field` (from 1) of `text` begins, or -1 when it has none.
int fieldStart(const char* text, int field) {
    const char separator = findSeparator(text);
    if (separator == '\0') return -1;
    int col = 0;
    for (int seen = 1; seen < field; ++seen) {
        const char* next = std::strchr(text + col, separator);
        if (next == nullptr) return -1;
        col = static_cast<int>(next - text) + 1;
    }
    return col;
}

// The user's steps: the caret on the first line at the chosen column, the lines selected
// from there to the end of the text, Shift held for a descending sort, then the command.
CommandOutcome sortLines(const BatchRequest& request) {
    const char* first = doc.head->text;
    const int length = static_cast<int>(std::strlen(first));
    const int col = request.sortColumn > 0 ? request.sortColumn - 1 : fieldStart(first, request.sortField);
    if (request.sortField > 0 && col < 0)
        return {true, "line 1 has no data field " + std::to_string(request.sortField)};
    if (col > length || isInsideDoubleByte(first, col))
        return {true, "line 1 has no character boundary at column " + std::to_string(request.sortColumn)};
    LineNode* last = lastTextLine();
    doc.anchorLine = last;
    doc.anchorCol = static_cast<int>(std::strlen(last->text));
    doc.caretLine = doc.head;
    doc.caretCol = col;
    updateSelection();
    setConsoleKeyDown(VKEY_SHIFT, request.descending);
    dispatchCommand(request.sortColumn > 0 ? CMD_SORT_CARET_COLUMN : CMD_SORT_DATA_COLUMN, 0);
    setConsoleKeyDown(VKEY_SHIFT, false);
    return {false, linesText(textLineCount()) + " sorted"};
}

// Both questions answered Yes; with line numbers shown the fields end up separated by commas.
CommandOutcome tidyStatement() {
    setConsoleAnswer(platform::ANSWER_YES);
    dispatchCommand(CMD_TIDY_STATEMENT, 0);
    setConsoleAnswer(platform::ANSWER_NO);
    return {false, linesText(textLineCount())};
}

// ==== The question bank ====

// Rising numbers written with runs shortened: "1, 3-6, 9".
std::string asRanges(const std::vector<int>& numbers) {
    std::string text;
    for (size_t i = 0; i < numbers.size();) {
        size_t end = i;
        while (end + 1 < numbers.size() && numbers[end + 1] == numbers[end] + 1) ++end;
        text += (text.empty() ? "" : ", ") + std::to_string(numbers[i]);
        if (end > i) text += "-" + std::to_string(numbers[end]);
        i = end + 1;
    }
    return text;
}

CommandOutcome countQuestions() {
    const bool found = loadQuestionBank(quiz);
    int byType[3] = {};
    for (const QuestionNode* node = quiz.first; node != nullptr; node = node->next) ++byType[node->question->type];
    std::string summary = std::to_string(questionCount(quiz)) + " questions: " + std::to_string(byType[SingleChoice]) +
                          " single choice, " + std::to_string(byType[MultipleChoice]) + " multiple choice, " +
                          std::to_string(byType[TrueFalse]) + " true/false";
    const std::vector<int>& outside = linesOutsideQuestions();
    if (!outside.empty()) summary += "; lines in no question: " + asRanges(outside);
    freeQuestionList(quiz);
    return {!found, summary};
}

}  // namespace

void startConsoleCore() {
    initStyles();
    buildKeyBindingTable();
    initUndo();
    platform::getClientSize(view.clientWidth, view.clientHeight);
    // The sorts compare numbers by value and the tidy-up ends with commas, as with the
    // line numbers shown (the window's start-up state).
    view.showLineNumbers = 1;
}

std::string checkRequestTexts(BatchRequest& request, std::string& warning) {
    if (request.command != BatchCommand::Find && request.command != BatchCommand::Replace) {
        if (request.command == BatchCommand::Split && splitCommandNamed(request.splitName) == 0)
            return "unknown splitting command \"" + request.splitName + "\"; one of:\n" + splitCommandNames();
        return "";
    }
    const bool findCut = cutToDialogBox(request.findText);
    if (cutToDialogBox(request.replaceTemplate) || findCut) warning = findTextCutMessage();
    findState.findTextPointer = request.findText.c_str();
    const std::string problem = findTextProblem();
    findState.findTextPointer = nullptr;
    return problem;
}

CommandOutcome runCommand(const BatchRequest& request, const std::string& label, FILE* out) {
    switch (request.command) {
        case BatchCommand::Replace: return replaceAll(request);
        case BatchCommand::Find: return findEveryMatch(request, label, out);
        case BatchCommand::Split: return split(request);
        case BatchCommand::Sort: return sortLines(request);
        case BatchCommand::TidyStatement: return tidyStatement();
        case BatchCommand::Quiz: return countQuestions();
    }
    return {};
}

bool commandEditsDocument(BatchCommand command) { return command != BatchCommand::Find && command != BatchCommand::Quiz; }
