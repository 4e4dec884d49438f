#include "app/window_proc.h"

#include "app/command_map.h"
#include "app/dispatcher.h"
#include "app/editor_actions.h"
#include "app/mouse.h"
#include "edit/clipboard.h"
#include "edit/undo_redo.h"
#include "files/save.h"
#include "files/new_file.h"
#include "files/export_page.h"
#include "app/key_bindings.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "app/search_outcome.h"
#include "document/document.h"
#include "edit/editing.h"
#include "files/loader.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"
#include "edit/reflow.h"
#include "files/close_document.h"
#include "files/recovery.h"

namespace {

constexpr MessageResult DEFAULT_PROCESSING{true, 0};

void storeClientSize(intptr_t lParam) {
    view.clientWidth = static_cast<int>(lowWord(static_cast<uintptr_t>(lParam)));
    view.clientHeight = static_cast<int>(highWord(static_cast<uintptr_t>(lParam)));
}

// One wheel message moves the caret a fixed number of lines, whatever the delta.
void onMouseWheel(uintptr_t wParam) {
    const int rows = rowsInWindow();
    if (rows < 1) return;
    const bool towardsUser = static_cast<int16_t>(highWord(wParam)) <= 0;
    const int steps = towardsUser ? (rows - 1) / 7 + 1 : (rows - 1) / 9 + 1;
    for (int i = 0; i < steps; ++i) runEditorAction(towardsUser ? ACTION_CARET_DOWN : ACTION_CARET_UP);
}

// Messages that act only while a document is open (after the CommandMap routing).
bool handleDocumentMessage(unsigned message, uintptr_t wParam, intptr_t lParam, MessageResult& result) {
    switch (message) {
        case MSG_SIZE:
            storeClientSize(lParam);
            if (wParam == SIZE_TYPE_RESTORED) {
                // Re-wrapping to a new width moves only soft breaks, which are never saved,
                // so it must not make an unchanged document ask to be saved.
                const int wasModified = doc.modified;
                reflow(doc.head, true, true);
                doc.modified = wasModified;
                updateTitle();
            }
            return true;
        case MSG_SHOWWINDOW:
            ensureCaretVisible();
            return false;
        case MSG_CHAR: {
            const unsigned char ch = static_cast<unsigned char>(wParam & 0xFF);
            if (ch < 0x20 || ch == 0x7F) return false;
            recordEvent(MSG_CHAR, static_cast<uint32_t>(wParam), 0);
            typeChar(static_cast<char>(ch), true);
            return false;
        }
        case MSG_IME_CHAR:
            recordEvent(MSG_IME_CHAR, static_cast<uint32_t>(wParam), 0);
            insertCharCode(static_cast<unsigned>(wParam & 0xFFFF));
            result = MessageResult{false, 1};
            return true;
        case MSG_CLEAR:
            recordEvent(MSG_CLEAR, 0, 0);
            deleteForward(true);
            return false;
        case MSG_VSCROLL: onScrollBar(wParam); return false;
        case MSG_MOUSEMOVE: onMouseMove(lParam); return false;
        case MSG_LBUTTONDOWN: onLeftButtonDown(lParam); return false;
        case MSG_LBUTTONUP:
            onLeftButtonUp(lParam);
            platform::showCaret();
            return false;
        case MSG_MOUSEWHEEL: onMouseWheel(wParam); return false;
        default: return false;
    }
}

// Messages that act with or without a document.
MessageResult handleAlwaysMessage(unsigned message, uintptr_t wParam, intptr_t lParam, bool sizeStored) {
    switch (message) {
        case MSG_CREATE:
            view.clientLeft = view.clientTop = 0;
            platform::getClientSize(view.clientWidth, view.clientHeight);
            break;
        case MSG_SIZE:
            if (!sizeStored) storeClientSize(lParam);
            break;
        case MSG_KEYDOWN: {
            const int action = findKeyAction(static_cast<int>(wParam), currentModifiers());
            if (action != 0) handleMessage(static_cast<unsigned>(action), 0, 0);
            break;
        }
        case MSG_COMMAND: dispatchCommand(static_cast<int>(lowWord(wParam)), lParam); break;
        case ACTION_NEW: dispatchCommand(CMD_NEW, 0); break;
        case ACTION_OPEN: dispatchCommand(CMD_OPEN, 0); break;
        case MSG_CLOSE:
            dispatchCommand(CMD_EXIT, 0);
            return MessageResult{false, 0};
        case MSG_CONTEXTMENU: showContextMenu(signedLowWord(lParam), signedHighWord(lParam)); break;
        case MSG_TIMER:
            if (wParam == RECOVERY_TIMER_ID) writeRecoveryNow();
            break;
        default: break;
    }
    return DEFAULT_PROCESSING;
}

MessageResult routeMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    bool sizeStored = false;
    if (hasDocument()) {
        if (message == MSG_FIND_REPLACE_NOTIFY) noteSearchOutcome(onFindReplace());
        int commandId = 0;
        if (lookUpCommandMap(static_cast<int>(message), commandId)) {
            if (commandId != 0)
                dispatchCommand(commandId, lParam);
            else
                runEditorAction(static_cast<int>(message));
        }
        MessageResult result = DEFAULT_PROCESSING;
        const bool handled = handleDocumentMessage(message, wParam, lParam, result);
        if (!result.callDefault) return result;
        sizeStored = handled && message == MSG_SIZE;
    }
    return handleAlwaysMessage(message, wParam, lParam, sizeStored);
}

}  // namespace

MessageResult handleMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    const MessageResult result = routeMessage(message, wParam, lParam);
    noteDocumentActivity();
    return result;
}

void dropFile(const std::string& firstFile) {
    if (!askToSave()) return;
    closeDocument();
    loadFile(firstFile.c_str());
}
