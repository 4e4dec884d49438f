#include "app/dispatcher.h"

#include "blocks/line_operations.h"
#include "blocks/statistics.h"
#include "blocks/markers.h"
#include "blocks/sorting.h"
#include "app/about_box.h"
#include "app/help_text.h"
#include "edit/clipboard.h"
#include "edit/command_undo.h"
#include "edit/line_changes.h"
#include "edit/undo_redo.h"
#include "files/save.h"
#include "files/new_file.h"
#include "files/export_page.h"
#include "app/line_commands.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "app/search_outcome.h"
#include "edit/caret_moves.h"
#include "document/document.h"
#include "edit/editing.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "files/loader.h"
#include "platform/platform.h"
#include "quiz/quiz_dialog.h"
#include "search/quick_search.h"
#include "view/layout.h"
#include "view/title.h"
#include "files/close_document.h"
#include "search/statement_tidy.h"

namespace {

struct CommandRoute {
    int commandId;
    void (*run)(int commandId);
};

// ==== Commands that need an open document ====

// Find again: straight after a find or a find again the caret still stands on the last
// match's start, so it first steps one character on, then the next match is sought.
void findAgainAfterAFind() {
    const uint32_t before = previousEvent().wParam;
    if (before == CMD_FIND || before == CMD_FIND_AGAIN) moveCaretRight();
    noteSearchOutcome(findAgain());
}

void runSplitAtMarkers(int id) { splitAtMarkers(id); }
void runStyle(int id) {
    setStyleOfSelection(id - CMD_STYLE_BODY);
    ensureCaretVisible();
}

const CommandRoute DOCUMENT_COMMANDS[] = {
    {CMD_SAVE, [](int) { saveDocument(); }},
    {CMD_SAVE_AS, [](int) { saveDocumentAs(); }},
    {CMD_EXPORT_PAGE, [](int) { exportPage(); }},
    {CMD_CLOSE, [](int) { if (askToSave()) closeDocument(); }},
    {CMD_CUT, [](int) { cutSelection(); }},
    {CMD_COPY, [](int) { copySelection(); }},
    {CMD_PASTE, [](int) { pasteCommand(); }},
    {CMD_SELECT_ALL, [](int) { selectAll(); }},
    {CMD_UNDO, [](int) { undo(); }},
    {CMD_REDO, [](int) { redo(); }},
    {CMD_FIND, [](int) { openFindDialog(); }},
    {CMD_REPLACE, [](int) { openReplaceDialog(); }},
    {CMD_FIND_AGAIN, [](int) { findAgainAfterAFind(); }},
    {CMD_QUICK_SPACE, [](int) { noteSearchOutcome(quickSearch(QUICK_SPACE, false)); }},
    {CMD_QUICK_DIGITS, [](int) { noteSearchOutcome(quickSearch(QUICK_DIGITS, false)); }},
    {CMD_QUICK_LETTERS, [](int) { noteSearchOutcome(quickSearch(QUICK_LETTERS, false)); }},
    {CMD_SELECT_BRACKETS, [](int) { noteSearchOutcome(selectBracketPair()); }},
    {CMD_SPACES_COMMAS, [](int) { convertSpacesCommas(); }},
    // Its replace-all passes each end on a find that fails, which stops a key sequence.
    {CMD_TIDY_STATEMENT, [](int) {
         if (tidyStatement()) noteSearchOutcome(false);
     }},
    {CMD_SPLIT_BY_INDENT, [](int) {
         markIndentedParagraphs();
         switchWordWrapOn();  // the marked paragraphs are shown wrapped
     }},
    {32794, runSplitAtMarkers}, {32795, runSplitAtMarkers}, {32796, runSplitAtMarkers},
    {32797, runSplitAtMarkers}, {32798, runSplitAtMarkers}, {32799, runSplitAtMarkers},
    {32800, runSplitAtMarkers}, {32802, runSplitAtMarkers}, {32803, runSplitAtMarkers},
    {32804, runSplitAtMarkers}, {32805, runSplitAtMarkers}, {32816, runSplitAtMarkers},
    {32823, runSplitAtMarkers}, {32824, runSplitAtMarkers}, {32825, runSplitAtMarkers},
    {32826, runSplitAtMarkers}, {32827, runSplitAtMarkers}, {32828, runSplitAtMarkers},
    {32829, runSplitAtMarkers}, {32830, runSplitAtMarkers}, {32831, runSplitAtMarkers},
    {CMD_SORT_CARET_COLUMN, [](int) { sortByCaretColumn(); ensureCaretVisible(); }},
    {CMD_SORT_DATA_COLUMN, [](int) { sortByDataColumn(); ensureCaretVisible(); }},
    {CMD_NORMALISE_INDENT, [](int) { normaliseIndent(); }},
    {CMD_STRIP_INDENT, [](int) { stripIndent(); }},
    {CMD_DELETE_BLANK_LINES, [](int) { deleteBlankLines(); }},
    {CMD_NARROW_GAP, [](int) { narrowColumnGap(); }},
    {CMD_WIDEN_GAP, [](int) { widenColumnGap(); }},
    {CMD_SET_LINE_ENDS, [](int) { setLineEnds(); }},
    {CMD_SCRAMBLE, [](int) { toggleScramble(); }},
    {CMD_TO_LOWER, [](int) { toLowerCase(); }},
    {CMD_TO_UPPER, [](int) { toUpperCase(); }},
    {CMD_FULL_TO_HALF, [](int) {
         fullToHalfWidth();
         ensureCaretVisible();
         doc.modified = 1;
         updateTitle();
     }},
    {CMD_PASTE_HEX, [](int) { pasteAsHex(); }},
    {32811, runStyle}, {32812, runStyle}, {32813, runStyle}, {32814, runStyle}, {32815, runStyle},
    {CMD_STATISTICS, [](int) { showStatistics(); }},
    {CMD_SUM_NUMBERS, [](int) { sumNumbers(); }},
    {CMD_COPY_DATA_COLUMN, [](int) { copyDataColumn(); }},
    {CMD_QUIZ, [](int) { openQuiz(); ensureCaretVisible(); }},
    {CMD_TOGGLE_WRAP, [](int) { toggleWordWrap(); }},
    {CMD_TOGGLE_LINE_NUMBERS, [](int) { toggleLineNumbers(); }},
    {CMD_DELETE_LINE, [](int) { deleteCaretLine(); }},
    {CMD_INSERT_DELETED_LINE, [](int) { insertDeletedLine(); }},
    {CMD_DELETE_TO_LINE_START, [](int) { deleteToLineStart(); }},
    {CMD_DELETE_TO_LINE_END, [](int) { deleteToLineEnd(); }},
    {CMD_TOGGLE_BOOKMARK, [](int) { toggleBookmark(); }},
    {CMD_PREVIOUS_BOOKMARK, [](int) { findBookmark(false); }},
    {CMD_NEXT_BOOKMARK, [](int) { findBookmark(true); }},
    {CMD_PLAY_SEQUENCE, [](int) { playSequence(); }},
    {CMD_RECORD_SEQUENCE, [](int) { toggleRecording(); }},
};

// ==== Commands that work with or without a document ====

const CommandRoute ALWAYS_COMMANDS[] = {
    {CMD_ABOUT, [](int) { showAboutBox(); }},
    {CMD_EXIT, [](int) { exitKesh(); }},
    {CMD_NEW, [](int) {
         if (!askToSave()) return;
         closeDocument();
         createNewFile();
     }},
    {CMD_OPEN, [](int) {
         if (!askToSave()) return;
         closeDocument();
         loadWithDialog();
     }},
    {CMD_HELP_TEXT, [](int) { showHelpText(); }},
};

// ==== Commands undone as one step ====

// Commands that are undone and redone as one step, however many lines they change: their
// records become one group, which also puts back the caret and the selection.
bool isOneUndoStep(int commandId) {
    static const int ONE_STEP[] = {
        CMD_SPLIT_BY_INDENT, CMD_SORT_CARET_COLUMN, CMD_SORT_DATA_COLUMN, CMD_NORMALISE_INDENT, CMD_STRIP_INDENT,
        CMD_DELETE_BLANK_LINES, CMD_NARROW_GAP, CMD_WIDEN_GAP, CMD_SET_LINE_ENDS, CMD_SCRAMBLE, CMD_TO_LOWER,
        CMD_TO_UPPER, CMD_FULL_TO_HALF, CMD_PASTE_HEX, CMD_SUM_NUMBERS, CMD_TIDY_STATEMENT, CMD_QUIZ,
        32811, 32812, 32813, 32814, 32815};
    if (commandId >= CMD_SPLIT_CHINESE_NUMBERS && commandId <= 32831) return true;  // the splitting commands
    for (const int id : ONE_STEP)
        if (id == commandId) return true;
    return false;
}

// Block commands that rewrite the selected lines in place without records of their own:
// the lines are noted before the command runs, and what it changed becomes one record.
bool changesSelectedLinesInPlace(int commandId) {
    static const int IN_PLACE[] = {CMD_SORT_CARET_COLUMN, CMD_SORT_DATA_COLUMN, CMD_NORMALISE_INDENT,
                                   CMD_NARROW_GAP, CMD_WIDEN_GAP, CMD_SET_LINE_ENDS, CMD_SCRAMBLE,
                                   CMD_TO_LOWER, CMD_TO_UPPER, 32811, 32812, 32813, 32814, 32815};
    for (const int id : IN_PLACE)
        if (id == commandId) return true;
    return false;
}

void noteSelectedLines(LineChanges& changes) {
    beginLineChanges(changes);
    for (LineNode* line = doc.head; line; line = line->next)
        if (line->flags & LN_SELECTED) noteLineBefore(changes, line);
}

template <size_t N>
bool runFrom(const CommandRoute (&routes)[N], int commandId) {
    for (const CommandRoute& route : routes) {
        if (route.commandId == commandId) {
            route.run(commandId);
            return true;
        }
    }
    return false;
}

}  // namespace

void dispatchCommand(int commandId, intptr_t lParam) {
    recordEvent(MSG_COMMAND, static_cast<uint32_t>(commandId), static_cast<uint32_t>(lParam));
    if (hasDocument()) {
        const bool oneStep = isOneUndoStep(commandId);
        const CommandUndo before = oneStep ? beginCommandUndo() : CommandUndo{};
        LineChanges inPlace;
        if (changesSelectedLinesInPlace(commandId)) noteSelectedLines(inPlace);
        const bool ran = runFrom(DOCUMENT_COMMANDS, commandId);
        recordLineChanges(inPlace);
        if (oneStep) endCommandUndo(before);
        if (ran) return;
    }
    runFrom(ALWAYS_COMMANDS, commandId);
}

void exitKesh() {
    if (!askToSave()) return;
    closeDocument();
    platform::postQuit(0);
}

// ==== Context menu ====

void showContextMenu(int screenX, int screenY) {
    std::vector<platform::MenuItem> items;
    if (!hasDocument()) {
        items = {{CMD_NEW, "新建文件"}, {CMD_OPEN, "打开文件"}, {CMD_EXIT, "退出"}};
    } else {
        items.push_back({CMD_PASTE, "粘贴"});
        if (hasVisibleSelection()) {
            items.insert(items.end(), {{CMD_CUT, "剪切"},
                                       {CMD_COPY, "复制"},
                                       {CMD_COPY_DATA_COLUMN, "复制TAB或,隔开的光标处数据列"},
                                       {CMD_NORMALISE_INDENT, "行块内规范行首2空格"},
                                       {CMD_STRIP_INDENT, "行块内删除行首空格"},
                                       {CMD_DELETE_BLANK_LINES, "行块内删除空行"},
                                       {CMD_SORT_CARET_COLUMN, "行块内按光标列排序"},
                                       {CMD_SORT_DATA_COLUMN, "行块内按数据列排序"},
                                       {CMD_SUM_NUMBERS, "行块内数字求和"}});
        } else {
            items.push_back({CMD_SELECT_ALL, "全选"});
        }
        items.insert(items.end(), {{0, ""}, {CMD_FIND, "查找"}, {CMD_SAVE, "保存"}, {CMD_QUIZ, "做题"}});
        const UndoRecord* current = undoRing.current;
        if (current && (current->kind != UNDO_EMPTY || current->prev->kind != UNDO_EMPTY))
            items.push_back({CMD_UNDO, "撤销"});
        if (current && current != undoRing.newest) items.push_back({CMD_REDO, "重做"});
    }
    platform::showPopupMenu(items, screenX - 4, screenY);
}
