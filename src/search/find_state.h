// The find state: the find text and replacement template, the dialog's flags and handle,
// the outcome of the last search and the \ID counter. One record for the whole run.
#pragma once

#include <cstdint>

#include "document/document.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"

constexpr int FIND_TEXT_SIZE = 10242;

// The FR_ bits the Find and Replace dialogs report.
constexpr uint32_t FR_DOWN = 0x1;
constexpr uint32_t FR_MATCHCASE = 0x4;
constexpr uint32_t FR_FINDNEXT = 0x8;
constexpr uint32_t FR_REPLACE = 0x10;
constexpr uint32_t FR_REPLACEALL = 0x20;
constexpr uint32_t FR_DIALOGTERM = 0x40;
constexpr uint32_t FR_NOUPDOWN = 0x400;
constexpr uint32_t FR_HIDEWHOLEWORD = 0x10000;
constexpr uint32_t FIND_DIALOG_FLAGS = FR_DOWN | FR_NOUPDOWN | FR_HIDEWHOLEWORD;        // 0x10401
constexpr uint32_t REPLACE_DIALOG_FLAGS = FIND_DIALOG_FLAGS | FR_REPLACE;              // 0x10411

struct FindState {
    // What the dialog record points at: the searches read the find text and the template
    // through these two pointers, so the statement tidy-up can point them at its own
    // texts. Both are null until a dialog is first opened.
    const char* findTextPointer = nullptr;
    const char* replaceTextPointer = nullptr;
    char findText[FIND_TEXT_SIZE] = {};     // kept between dialogs
    char replaceText[FIND_TEXT_SIZE] = {};  // the replacement template
    uint32_t findFlags = 0;
    void* findDialog = nullptr;  // the open dialog's window, or null
    uint8_t replaceMode = 0;     // 1 while the Replace dialog is open or a replace-all runs
    uint8_t found = 0;           // the last search found a match
    LineNode* matchStartLine = nullptr;
    int matchStartCol = 0;
    // The last match took no bytes: a regular expression that matched nothing, or a find
    // text of "\n" tokens only at a line start. Such a match is not selected, replacing it
    // deletes nothing, and a replace-all steps one character on behind it.
    uint8_t emptyMatch = 0;
    // While a replace-all runs: the Shift key as it was when it began (1 or 0), so the
    // searches and insertions of every match need not ask the system again; -1 otherwise.
    int shiftDuringReplaceAll = -1;
    int idCounter = 0;           // the \ID counter of replacement templates
};

extern FindState findState;

// Whether Shift counts as held for a search or a replacement now: the state a running
// replace-all took when it began, else the key as it is.
inline bool isShiftHeldForSearch() {
    if (findState.shiftDuringReplaceAll >= 0) return findState.shiftDuringReplaceAll != 0;
    return platform::isKeyDown(VKEY_SHIFT);
}
