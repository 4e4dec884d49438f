#include "win32/message_pump.h"

#include <cstdlib>

#include "app/message_loop.h"
#include "win32/adapter_state.h"

namespace {

// True when `focus` is `dialog` itself or one of its controls.
bool isInDialog(HWND focus, HWND dialog) {
    return dialog != nullptr && (focus == dialog || GetParent(focus) == dialog);
}

// Which of Kesh's windows holds the keyboard focus.
FocusOwner currentFocusOwner() {
    HWND focus = GetFocus();
    if (focus == nullptr) return FocusOwner::Elsewhere;
    if (focus == mainWindow) return FocusOwner::MainWindow;
    if (isInDialog(focus, quizDialogWindow)) return FocusOwner::QuizDialog;
    if (isInDialog(focus, findDialogWindow)) return FocusOwner::FindDialog;
    return FocusOwner::Elsewhere;
}

// The core's steps for one message; a failure there still lets the message be dispatched.
LoopStep coreStepFor(const MSG& message) {
    try {
        return beforeDispatch(currentFocusOwner(), message.message, message.wParam);
    } catch (...) {
        return LoopStep::Dispatch;
    }
}

void deliver(MSG& message, HACCEL accelerators) {
    if (coreStepFor(message) == LoopStep::ForwardToQuiz) {
        SendMessageW(quizDialogWindow, WM_KEYDOWN, message.wParam, message.lParam);
        return;
    }
    // The modeless find dialog's own keys: Tab between its controls, Enter, Esc.
    if (findDialogWindow != nullptr && IsDialogMessageW(findDialogWindow, &message)) return;
    if (accelerators != nullptr && TranslateAcceleratorW(message.hwnd, accelerators, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

int runMessageLoop(HACCEL accelerators) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        // The loop cannot go on; say so in the exit code rather than report success.
        if (got == -1) return EXIT_FAILURE;
        deliver(message, accelerators);
    }
}
