// Operations that are routed already but carried out by subsystems still being built.
// Each is reachable from its command, key or message today and does nothing yet; when
// its subsystem is built, its body moves there and the line here goes.
#include "app/command_entry_points.h"
#include "document/editing.h"
#include "view/layout.h"
#include "view/view_state.h"

#include "app/recorder.h"

// ---- Files: the save question answers "go on" until saving exists (nothing can be
// modified before editing exists either). ----
bool askToSave() { return true; }
void saveDocument() {}
void saveDocumentAs() {}
void createNewFile() {}
void exportPage() {}

// ---- Editing ----
void runEditorAction(int actionCode) { recordEvent(static_cast<uint32_t>(actionCode), 0, 0); }
void typeChar(char, bool) {}
void insertCharCode(unsigned) {}
void deleteForward(bool) {}
void backspace() {}
void deleteSelection() {}
void selectAll() {}
void cutSelection() {}
void copySelection() {}
void pasteCommand() {}
void undo() {}
void redo() {}

// ---- Display: with word wrap off (it cannot be switched on yet) reflow does nothing. ----
int reflow(LineNode*, bool, bool) { return 0; }
void ensureCaretVisible() {}
void updateScrollBar() {}
void initStyles() {}
void onScrollBar(uintptr_t) {}
void onMouseMove(intptr_t) {}
void onLeftButtonDown(intptr_t) {}
void onLeftButtonUp() {}

// ---- Search ----
void openFindDialog() {}
void openReplaceDialog() {}
void findAgain() {}
void onFindReplaceNotify(intptr_t) {}
void quickSearch(int, bool) {}
void selectBracketPair() {}
void convertSpacesCommas() {}
void tidyStatement() {}

// ---- Blocks ----
void markIndentedParagraphs() {}
void splitAtMarkers(int) {}
void sortByCaretColumn() {}
void sortByDataColumn() {}
void normaliseIndent() {}
void stripIndent() {}
void deleteBlankLines() {}
void narrowColumnGap() {}
void widenColumnGap() {}
void setLineEnds() {}
void toggleScramble() {}
void toLowerCase() {}
void toUpperCase() {}
void fullToHalfWidth() {}
void pasteAsHex() {}
void showStatistics() {}
void sumNumbers() {}
void copyDataColumn() {}

// ---- Quiz ----
void openQuiz() {}

// ---- Shell ----
void toggleRecording() {}
void playSequence() {}
void showAboutBox() {}
void showHelpText() {}
void deleteCaretLine() {}
void insertDeletedLine() {}
void deleteToLineStart() {}
void deleteToLineEnd() {}
void toggleBookmark() {}
void findBookmark(bool) {}
void toggleWordWrap() {}
void toggleLineNumbers() {}
