// The main window's message handling, as the core sees it.
//
// The Win32 window procedure forwards every message here (and replaying a recorded
// sequence calls it directly, which is what sending a message to the main window means).
// Painting, the drop handle and dialog creation stay in the adapter.
#pragma once

#include <cstdint>
#include <string>

struct MessageResult {
    bool callDefault;  // the adapter hands the message on to DefWindowProc
    intptr_t value;    // the result when callDefault is false
};

// Handles one message sent or posted to the main window.
MessageResult handleMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

// A file was dropped on the window: asks the save question, then loads `firstFile`.
void dropFile(const std::string& firstFile);
