#include "app/message_loop.h"

#include "view/active_window.h"
#include "blocks/line_operations.h"
#include "app/about_box.h"
#include "app/editor_actions.h"
#include "app/messages.h"
#include "document/document.h"
#include "edit/editing.h"


namespace {

void trackFocus(FocusOwner focus) {
    switch (focus) {
        case FocusOwner::MainWindow: activeWindow = ACTIVE_MAIN; break;
        case FocusOwner::QuizDialog: activeWindow = ACTIVE_QUIZ; break;
        case FocusOwner::FindDialog: activeWindow = ACTIVE_FIND; break;
        case FocusOwner::Elsewhere: break;
    }
}

// Alt+C encodes or decodes the selected lines; Alt+I/J/K/L/M insert Chinese punctuation.
// These are not recorded, and the message still goes on to be dispatched.
void runAltShortcut(int key) {
    switch (key) {
        case 'C': toggleScramble(); break;
        case 'I': insertCharCode(0xA1A2); break;  // 、
        case 'J': insertCharCode(0xA1B0); break;  // “
        case 'K': insertCharCode(0xA1A3); break;  // 。
        case 'L': insertCharCode(0xA1B1); break;  // ”
        case 'M': insertCharCode(0xA996); break;  // 〇
        default: break;
    }
}

}  // namespace

bool isQuizKey(int key) {
    switch (key) {
        case VKEY_RETURN: case VKEY_END: case VKEY_HOME: case VKEY_LEFT: case VKEY_UP:
        case VKEY_RIGHT: case VKEY_DOWN: case VKEY_INSERT:
        case 'O': case 'R': case 'T': case 'U': case 'Y':
            return true;
        default:
            return key >= 'A' && key <= 'M';
    }
}

LoopStep beforeDispatch(FocusOwner focus, unsigned message, uintptr_t wParam) {
    trackFocus(focus);
    if (message == MSG_SYSKEYDOWN && activeWindow == ACTIVE_MAIN && hasDocument())
        runAltShortcut(static_cast<int>(wParam & 0xFF));
    if (message == MSG_KEYDOWN && activeWindow == ACTIVE_QUIZ && isQuizKey(static_cast<int>(wParam)))
        return LoopStep::ForwardToQuiz;
    return LoopStep::Dispatch;
}
