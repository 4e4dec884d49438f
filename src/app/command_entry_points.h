// Operations that commands, the window procedure and the message loop reach, grouped by
// the subsystem that carries them out. Operations not built yet have an empty body in
// app/pending_operations.cpp; building one moves its body into its subsystem.
#pragma once

#include <cstdint>

// ---- Files ----
// Asks whether to save a modified document; false when the user chose Cancel.
bool askToSave();
void saveDocument();
void saveDocumentAs();
void createNewFile();
void exportPage();

// ---- Clipboard, undo ----
void cutSelection();
void copySelection();
void pasteCommand();
void undo();
void redo();

// ---- Search ----
void openFindDialog();
void openReplaceDialog();
// Seeks the next match of the find text, with the find flags' match-case bit.
void findAgain();
void onFindReplaceNotify(intptr_t lParam);
void quickSearch(int kind, bool backward);  // kind 0 white space, 1 digits, 2 letters
void selectBracketPair();
void convertSpacesCommas();
void tidyStatement();

// ---- Block transformations ----
void markIndentedParagraphs();
void splitAtMarkers(int commandId);
void sortByCaretColumn();
void sortByDataColumn();
void normaliseIndent();
void stripIndent();
void deleteBlankLines();
void narrowColumnGap();
void widenColumnGap();
void setLineEnds();
void toggleScramble();
void toLowerCase();
void toUpperCase();
void fullToHalfWidth();
void pasteAsHex();
void showStatistics();
void sumNumbers();
void copyDataColumn();

// ---- Quiz ----
void openQuiz();

// ---- Shell ----
void toggleRecording();
void playSequence();
void showAboutBox();
void showHelpText();
void deleteCaretLine();
void insertDeletedLine();
void deleteToLineStart();
void deleteToLineEnd();
void toggleBookmark();
void findBookmark(bool forward);
void toggleWordWrap();
void toggleLineNumbers();

// ---- Mouse and scroll bar ----
void onScrollBar(uintptr_t wParam);
void onMouseMove(intptr_t lParam);
void onLeftButtonDown(intptr_t lParam);
void onLeftButtonUp(intptr_t lParam);
