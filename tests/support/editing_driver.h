// Drives the editor the way the window procedure does: keys through the binding table,
// typed bytes as WM_CHAR, commands by their IDs; and reads back caret and clipboard.
#pragma once

#include <string>
#include <utility>

#include "app/dispatcher.h"
#include "app/key_bindings.h"
#include "app/messages.h"
#include "app/window_proc.h"
#include "document/selection.h"
#include "support/test_document.h"
#include "view/view_state.h"

// A window of 800 x 600 pixels (25 rows) over a fresh core with the default key bindings.
class EditingTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        buildKeyBindingTable();
        view.clientWidth = 800;
        view.clientHeight = 600;
    }
};

// Presses a key with these modifiers held (KEYMOD_CTRL, KEYMOD_SHIFT).
inline void press(int virtualKey, int modifiers = KEYMOD_NONE) {
    fake().keysDown.clear();
    if (modifiers & KEYMOD_CTRL) fake().keysDown.insert(VKEY_CONTROL);
    if (modifiers & KEYMOD_SHIFT) fake().keysDown.insert(VKEY_SHIFT);
    handleMessage(MSG_KEYDOWN, static_cast<uintptr_t>(virtualKey), 0);
    fake().keysDown.clear();
}

// Presses Ctrl with a letter key.
inline void pressCtrl(char letter) { press(letter, KEYMOD_CTRL); }

// Types bytes one WM_CHAR at a time (a double-byte character arrives as two).
inline void typeBytes(const std::string& bytes) {
    for (const char byte : bytes) handleMessage(MSG_CHAR, static_cast<unsigned char>(byte), 0);
}

inline void putCaret(int line, int col) {
    doc.caretLine = lineAt(line);
    doc.caretCol = col;
}

// The caret as (line index, column).
inline std::pair<int, int> caretAt() { return {lineIndex(doc.caretLine), doc.caretCol}; }

// Selects from (line1, col1) to (line2, col2), both included, with the caret at the end.
inline void selectSpan(int line1, int col1, int line2, int col2) {
    clearSelection();
    doc.anchorLine = lineAt(line1);
    doc.anchorCol = col1;
    putCaret(line2, col2);
    updateSelection();
}

inline void setClipboard(const std::string& text) {
    fake().clipboard = text;
    fake().clipboardHasText = true;
}

// What the copy command puts on the clipboard for the current selection.
inline std::string copiedText() {
    dispatchCommand(CMD_COPY, 0);
    return fake().clipboard;
}
