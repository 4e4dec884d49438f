// What the message loop does before a message is translated and dispatched: focus
// tracking, the six Alt shortcuts, and handing keys to the quiz dialog.
#pragma once

#include <cstdint>

// Where the keyboard focus lies, as the adapter finds it with GetFocus.
enum class FocusOwner {
    MainWindow,
    QuizDialog,  // the quiz dialog or one of its controls
    FindDialog,  // the find/replace dialog or one of its controls
    Elsewhere,
};

enum class LoopStep {
    Dispatch,       // translate and dispatch as usual
    ForwardToQuiz,  // send the key to the quiz dialog only
};

// Runs the loop's own steps for one message and says how it goes on.
LoopStep beforeDispatch(FocusOwner focus, unsigned message, uintptr_t wParam);

// True for the keys the quiz dialog takes while it has the focus.
bool isQuizKey(int virtualKey);
