// The find and replace driver. The find text and template live in FindState; the system
// dialogs write them back with every notification (read through the platform seam).
#include "search/find_replace.h"

#include <cstdio>
#include <cstring>

#include "document/gbk.h"
#include "document/selection.h"
#include "document/text.h"
#include "edit/caret_moves.h"
#include "edit/clipboard.h"
#include "edit/command_undo.h"
#include "platform/platform.h"
#include "search/regex.h"
#include "search/replace_template.h"
#include "search/wildcard.h"
#include "view/active_window.h"
#include "view/layout.h"
#include "view/title.h"

namespace {

// The find text and template as the record points at them (the tidy-up may point them
// at texts of its own); a null pointer reads as empty.
const char* currentFindText() { return findState.findTextPointer ? findState.findTextPointer : ""; }
const char* currentTemplate() { return findState.replaceTextPointer ? findState.replaceTextPointer : ""; }

int lengthOf(const LineNode* line) { return static_cast<int>(std::strlen(line->text)); }

// Longest start of `text` with at most `limit` bytes that ends on a character boundary.
size_t wholeCharacterPrefix(const char* text, size_t limit) {
    size_t end = 0;
    while (text[end] != '\0') {
        const size_t next = static_cast<size_t>(stepRight(text, static_cast<int>(end)));
        if (next > limit) break;
        end = next;
    }
    return end;
}

// Copies `text` into one of the 10242-byte buffers, cut to whole characters: every byte
// the dialog accepts (FIND_TEXT_SIZE - 1 with the terminator) is kept.
void storeDialogText(char* buffer, const std::string& text) {
    const size_t length = wholeCharacterPrefix(text.c_str(), FIND_TEXT_SIZE - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// ==== Opening a dialog ====

// The dialog is gone: the main window takes the keys again.
void forgetDialog() {
    findState.findDialog = nullptr;
    activeWindow = ACTIVE_NONE;
}

void openDialog(bool replace) {
    if (findState.findDialog != nullptr) {
        if (platform::findDialogExists(findState.findDialog)) return;
        forgetDialog();  // its window went away without a closing notification
    }
    if (replace) findState.idCounter = 0;
    freeCaptures();
    platform::hideCaret();
    platform::destroyCaret();
    seedFindText();
    findState.findFlags = replace ? REPLACE_DIALOG_FLAGS : FIND_DIALOG_FLAGS;
    findState.findTextPointer = findState.findText;
    findState.replaceTextPointer = replace ? findState.replaceText : nullptr;
    platform::FindDialogRequest request;
    request.replace = replace;
    request.findText = findState.findText;
    if (replace) request.replaceText = findState.replaceText;
    request.flags = findState.findFlags;
    request.textLimit = FIND_TEXT_SIZE;
    request.textCutMessage = findTextCutMessage();
    request.textCutCaption = "搜索";
    findState.findDialog = platform::createFindDialog(request);
    if (findState.findDialog != nullptr) activeWindow = ACTIVE_FIND;
    findState.replaceMode = replace ? 1 : 0;
    if (replace) findState.found = 0;
}

// ==== One search ====

// True when the find text, trimmed of blanks at both ends, is written "/expr/g".
bool isRegularExpression(char* trimmed) {
    trimTrailingBlanks(trimmed);
    stripLeadingBlanks(trimmed);
    const size_t length = std::strlen(trimmed);
    return trimmed[0] == '/' && length >= 2 && trimmed[length - 2] == '/' && trimmed[length - 1] == 'g';
}

// The last search went to the regular-expression engine.
bool lastSearchWasRegex = false;

// Seeks the next match from the caret. On a match the caret goes to its start (the
// matcher has put the anchor on its last byte); nothing on the screen changes yet.
// The find text as the search reads it, in a buffer of FIND_TEXT_SIZE bytes.
void copyFindText(char* buffer) {
    const char* text = currentFindText();
    const size_t length = strnlen(text, FIND_TEXT_SIZE - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

// A find text written "/expr/g" that cannot be compiled is reported, in a box captioned
// "搜索", instead of being searched for and "not found"; true when it was.
bool reportedMalformedExpression() {
    const std::string problem = findTextProblem();
    if (problem.empty()) return false;
    platform::showFindMessageBox(problem, "搜索", platform::BOX_ICON_WARNING);
    return true;
}

}  // namespace

std::string findTextProblem() {
    char trimmed[FIND_TEXT_SIZE];
    copyFindText(trimmed);
    if (!isRegularExpression(trimmed)) return "";
    static RegexProgram program;  // 40 KB: kept off the stack
    RegexProblem problem = RegexProblem::None;
    if (buildRegexProgram(trimmed, program, &problem)) return "";
    return malformedExpressionMessage(trimmed, problem);
}

std::string findTextCutMessage() {
    char message[160];
    std::snprintf(message, sizeof message, "查找或替换的文字最多 %d 个字节（%d 个汉字），多出的部分已截去。",
                  FIND_TEXT_SIZE - 1, (FIND_TEXT_SIZE - 1) / 2);
    return message;
}

namespace {

bool searchFromCaret(bool matchCase) {
    char trimmed[FIND_TEXT_SIZE];
    copyFindText(trimmed);
    findState.found = 0;
    findState.emptyMatch = 0;
    lastSearchWasRegex = isRegularExpression(trimmed);
    if (lastSearchWasRegex) {
        regexFind(trimmed);
        findState.emptyMatch = findState.found && regexMatchWasEmpty();
    } else {
        wildcardFind(matchCase);
        findState.emptyMatch = findState.found && wildcardMatchWasEmpty();
    }
    if (!findState.found) return false;
    doc.caretLine = findState.matchStartLine;
    doc.caretCol = findState.matchStartCol;
    return true;
}

// The found match becomes the selection; a match of no bytes selects nothing.
void selectMatch() {
    if (findState.emptyMatch)
        clearSelection();
    else
        updateSelection();
}

// Shows the found match: the main window takes the focus back with its caret, the match
// becomes the selection, and a Find dialog has done its work.
void showMatch() {
    platform::focusMainWindow();
    platform::createCaret(1, 24);
    ensureCaretVisible();
    selectMatch();
    platform::invalidateAll(false);
    if (findState.findDialog != nullptr && findState.replaceMode == 0) {
        platform::destroyFindDialog(findState.findDialog);
        forgetDialog();
    }
}

// ==== Replace all ====

// In a replace-all every line that carries LN_SELECTED lies between the selection's two
// ends (the matcher's selection and the pasted text's both are such), so the flags are
// cleared line by line there instead of over the whole document.
void dropSelectionFlagsBetweenEnds() {
    LineNode* last = doc.selEndLine;
    for (LineNode* line = doc.selStartLine; line != nullptr; line = line->next) {
        line->flags &= ~LN_SELECTED;
        if (line == last) break;
    }
}

// updateSelection for a match the replace-all has just found, without the walk over the
// whole document: the caret stands on the match start, the anchor on its last byte.
void selectMatchQuickly() {
    if (doc.selStartLine != nullptr && doc.selEndLine != nullptr) dropSelectionFlagsBetweenEnds();
    doc.selStartLine = doc.selEndLine = nullptr;
    if (findState.emptyMatch || doc.anchorLine == nullptr) {
        doc.anchorLine = nullptr;
        doc.selStartCol = doc.selEndCol = doc.anchorCol = 0;
        return;
    }
    doc.caretCol = doc.caretCol > lengthOf(doc.caretLine) ? lengthOf(doc.caretLine) : doc.caretCol;
    doc.anchorCol = doc.anchorCol > lengthOf(doc.anchorLine) ? lengthOf(doc.anchorLine) : doc.anchorCol;
    // The anchor never lies on a line before the match start; on the same line an empty
    // match may leave it one byte before.
    const bool anchorFirst = doc.anchorLine == doc.caretLine && doc.anchorCol < doc.caretCol;
    for (LineNode* line = doc.caretLine; line != nullptr; line = line->next) {
        markLineSelected(line);
        if (line == doc.anchorLine) break;
    }
    doc.selStartLine = anchorFirst ? doc.anchorLine : doc.caretLine;
    doc.selStartCol = anchorFirst ? doc.anchorCol : doc.caretCol;
    doc.selEndLine = anchorFirst ? doc.caretLine : doc.anchorLine;
    doc.selEndCol = anchorFirst ? doc.caretCol : doc.anchorCol;
}

// The plain Right move of a replace-all: one character on or to the next line's start,
// and the selection dropped; the screen is brought up to date once at the end. False at
// the end of the document, where the caret cannot move.
bool stepRightQuietly() {
    bool moved = true;
    if (doc.caretCol < lengthOf(doc.caretLine))
        doc.caretCol = stepRight(doc.caretLine->text, doc.caretCol);
    else if (doc.caretLine->next != nullptr)
        doc.caretLine = doc.caretLine->next, doc.caretCol = 0;
    else
        moved = false;
    if (doc.selStartLine != nullptr && doc.selEndLine != nullptr)
        dropSelectionFlagsBetweenEnds();
    else
        clearSelection();
    doc.anchorLine = doc.selStartLine = doc.selEndLine = nullptr;
    doc.anchorCol = doc.selStartCol = doc.selEndCol = 0;
    return moved;
}

// What a replacement left around its match: when it removed and inserted nothing (an
// empty match with an empty expansion), the next search would find the same match again.
struct MatchSite {
    LineNode* line;
    int col, length, lines;
};

MatchSite siteOfMatch() { return {doc.caretLine, doc.caretCol, lengthOf(doc.caretLine), lineCount()}; }

bool leftUnchanged(const MatchSite& site, const std::string& inserted) {
    return inserted.empty() && doc.caretLine == site.line && doc.caretCol == site.col &&
           lengthOf(site.line) == site.length && lineCount() == site.lines;
}

// The replace-all loop: from the caret to the end of the document, each match replaced
// as the Replace button would, but the clipboard is written and the caret, scroll bar,
// title and window are brought up to date once, after the last match. Returns the count
// of replacements: an empty match whose expansion is empty replaced nothing and is not
// counted.
int replaceEveryMatch(bool matchCase) {
    const bool templateEmpty = currentTemplate()[0] == '\0';
    std::string lastExpansion;
    int steps = 0;
    int matches = 0;
    int count = 0;
    bool atEnd = false;
    while (findState.replaceMode == 1) {
        for (; steps > 0; --steps) atEnd = !stepRightQuietly() || atEnd;
        // At the end of the document no match can start after the last one, though a
        // regular expression could match nothing there again and again.
        if (atEnd || !searchFromCaret(matchCase)) break;
        if (matches == 0)
            selectMatch();
        else
            selectMatchQuickly();
        const MatchSite site = siteOfMatch();
        const bool emptyMatch = findState.emptyMatch != 0;
        const bool emptyRegexMatch = emptyMatch && lastSearchWasRegex;
        bool endedWithBreak = false;
        const std::string inserted = replaceCurrentMatchDeferred(&endedWithBreak);
        if (!inserted.empty()) lastExpansion = inserted;
        findState.found = 0;
        ++matches;
        if (!(emptyMatch && inserted.empty())) ++count;
        // Behind a match that took nothing and was left as it was, and behind an empty
        // match of a regular expression (which can match again where it ended), the search
        // would find the same place again: one character more (a step passes text, it
        // never deletes any), so the loop always ends.
        steps = templateEmpty ? 0 : 1;
        if (leftUnchanged(site, inserted) || emptyRegexMatch) ++steps;
        if (emptyMatch && endedWithBreak) {
            // An insertion ending in a line break before an empty match: past that break
            // lies the matched line start again, so the search resumes one step after it.
            // The caret is on the last character before that break (wrapped rows may lie
            // between): the break ends the first line from there that ends in one.
            while (!(doc.caretLine->flags & LN_HARD_RETURN) && doc.caretLine->next) doc.caretLine = doc.caretLine->next;
            doc.caretCol = lengthOf(doc.caretLine);
            steps = 2;
        }
    }
    if (matches > 0) {
        if (!lastExpansion.empty()) putTextOnClipboard(lastExpansion.c_str());
        platform::focusMainWindow();
        updateTitle();
        ensureCaretVisible();
        platform::invalidateAll(false);
    }
    return count;
}

int replaceAllMatches(bool matchCase) {
    // Nothing can press or release Shift while the loop runs; asking once keeps every
    // match from a round trip to the system (a slow one under Wine).
    findState.shiftDuringReplaceAll = platform::isKeyDown(VKEY_SHIFT) ? 1 : 0;
    const int count = replaceEveryMatch(matchCase);
    findState.shiftDuringReplaceAll = -1;
    return count;
}

void replaceAll(bool matchCase) {
    if (reportedMalformedExpression()) return;
    findState.replaceMode = 1;
    // However many matches it replaces, one undo takes the whole replace-all back.
    const CommandUndo before = beginCommandUndo();
    const int count = replaceAllMatches(matchCase);
    endCommandUndo(before);
    platform::showFindMessageBox(replaceAllMessage(currentFindText(), currentTemplate(), count), "全部替换结果",
                                 platform::BOX_ICON_WARNING);
    findState.replaceMode = 0;
}

// ==== The notification ====

// The texts and flags the dialog reports become the find state.
void takeDialogReport() {
    const platform::FindDialogReport report = platform::readFindDialog();
    findState.findFlags = report.flags;
    storeDialogText(findState.findText, report.findText);
    if (findState.replaceTextPointer == findState.replaceText) storeDialogText(findState.replaceText, report.replaceText);
}

bool matchCaseChosen() { return (findState.findFlags & FR_MATCHCASE) != 0; }

void onDialogClosed() {
    findState.replaceMode = 0;
    forgetDialog();
    platform::focusMainWindow();
    platform::createCaret(1, 24);
    ensureCaretVisible();
}

SearchOutcome replaceOne() {
    if (findState.found) {
        replaceCurrentMatch();
        findState.found = 0;
    }
    if (currentTemplate()[0] != '\0') moveCaretRight();
    return findNextOutcome(matchCaseChosen());
}

}  // namespace

int replaceAllSilently() {
    findState.replaceMode = 1;
    const int count = replaceAllMatches((findState.findFlags & FR_MATCHCASE) != 0);
    findState.replaceMode = 0;
    return count;
}

// ==== Dialogs ====

void openFindDialog() { openDialog(false); }
void openReplaceDialog() { openDialog(true); }

void seedFindText() {
    char seeded[FIND_TEXT_SIZE];
    size_t written = 0;
    // Each piece is written whole or not at all, so a character is never cut in half.
    auto write = [&](const char* piece, size_t size) {
        if (written + size > FIND_TEXT_SIZE - 1) return false;
        std::memcpy(seeded + written, piece, size);
        written += size;
        return true;
    };
    bool room = true;
    for (const LineNode* line = doc.head; line != nullptr && room; line = line->next) {
        if (!(line->flags & LN_SELECTED)) continue;
        const int length = lengthOf(line);
        for (int col = 0; col <= length && room; col = col < length ? stepRight(line->text, col) : col + 1) {
            if (!isSelectedAt(line, col)) continue;
            if (col == length)
                room = !(line->flags & LN_HARD_RETURN) || write("\\n", 2);
            else if (line->text[col] == '\t')
                room = write("\\t", 2);
            else
                room = write(line->text + col, static_cast<size_t>(charLength(line->text, col)));
        }
    }
    if (written == 0) return;
    std::memcpy(findState.findText, seeded, written);
    findState.findText[written] = '\0';
}

// ==== Searching ====

SearchOutcome findNextOutcome(bool matchCase) {
    if (findState.findTextPointer == nullptr) {
        openFindDialog();
        return SearchOutcome::NoSearch;
    }
    if (reportedMalformedExpression()) return SearchOutcome::NotFound;
    if (searchFromCaret(matchCase)) {
        showMatch();
        return SearchOutcome::Found;
    }
    if (findState.replaceMode == 0)
        platform::showFindMessageBox(notFoundMessage(currentFindText()), "搜索", platform::BOX_ICON_WARNING);
    return SearchOutcome::NotFound;
}

bool findNextQuietly(bool matchCase) { return searchFromCaret(matchCase); }

bool findNext(bool matchCase) { return findNextOutcome(matchCase) == SearchOutcome::Found; }

SearchOutcome findAgain() { return findNextOutcome(matchCaseChosen()); }

SearchOutcome onFindReplace() {
    takeDialogReport();
    const uint32_t flags = findState.findFlags;
    if (flags & FR_DIALOGTERM) {
        onDialogClosed();
        return SearchOutcome::NoSearch;
    }
    if (flags & FR_FINDNEXT) {
        moveCaretRight();
        return findNextOutcome(matchCaseChosen());
    }
    if (flags & FR_REPLACE) return replaceOne();
    if (flags & FR_REPLACEALL) {
        // The loop ends on a find that fails, which stops a key sequence being played.
        replaceAll(matchCaseChosen());
        return SearchOutcome::NotFound;
    }
    platform::showFindMessageBox(absentMessage(currentFindText()), "执行结果", platform::BOX_ICON_WARNING);
    return SearchOutcome::NoSearch;
}

// ==== Messages ====

std::string fitForMessage(const char* text, int room) {
    static const char ELLIPSIS[] = "…";
    const size_t length = std::strlen(text);
    if (room < 0) room = 0;
    if (length <= static_cast<size_t>(room)) return text;
    const size_t ellipsis = sizeof ELLIPSIS - 1;
    const size_t keep = static_cast<size_t>(room) > ellipsis ? wholeCharacterPrefix(text, room - ellipsis) : 0;
    return std::string(text, keep) + ELLIPSIS;
}

std::string notFoundMessage(const char* findText) {
    const std::string head = "未找到字串 \"", tail = "\"。";
    const int room = MESSAGE_TEXT_SIZE - 1 - static_cast<int>(head.size() + tail.size());
    return head + fitForMessage(findText, room) + tail;
}

std::string malformedExpressionMessage(const char* expression, RegexProblem problem) {
    const std::string head = "正则表达式 \"", middle = "\" 有误：", tail = std::string(regexProblemText(problem)) + "。";
    const int room = MESSAGE_TEXT_SIZE - 1 - static_cast<int>(head.size() + middle.size() + tail.size());
    return head + fitForMessage(expression, room) + middle + tail;
}

std::string absentMessage(const char* findText) {
    const std::string head = "现\"", tail = "\"不存在。";
    const int room = MESSAGE_TEXT_SIZE - 1 - static_cast<int>(head.size() + tail.size());
    return head + fitForMessage(findText, room) + tail;
}

std::string replaceAllMessage(const char* findText, const char* replaceText, int count) {
    char tail[64];
    std::snprintf(tail, sizeof tail, "\",\n共完成%d次。", count);
    const std::string head = "查找\"", middle = "\",\n替换为\"";
    int room = MESSAGE_TEXT_SIZE - 1 - static_cast<int>(head.size() + middle.size() + std::strlen(tail));
    // The two texts share the room; one that needs less leaves the rest to the other.
    const int findLength = static_cast<int>(std::strlen(findText));
    const int templateLength = static_cast<int>(std::strlen(replaceText));
    int findRoom = room / 2;
    if (templateLength < room - findRoom) findRoom = room - templateLength;
    if (findLength < findRoom) findRoom = findLength;
    return head + fitForMessage(findText, findRoom) + middle + fitForMessage(replaceText, room - findRoom) + tail;
}
