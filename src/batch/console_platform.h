// The seam of platform.h for a console: no window, no clipboard, fixed-width text, and
// message boxes that are kept for the front end to print instead of being shown.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// One message box the core asked for.
struct ConsoleBox {
    std::string text, caption;  // GBK
    unsigned flags = 0;
};

// The boxes shown since the list was last emptied, in order.
std::vector<ConsoleBox>& consoleBoxes();
// The button every question box (Yes/No, OK/Cancel) answers with; OK boxes answer OK.
void setConsoleAnswer(int answer);
// Holds a key down (or lets it go) for the commands that read the keyboard.
void setConsoleKeyDown(int virtualKey, bool down);
// What the stand-in find dialog reports with its next notification.
void setConsoleFindReport(const platform::FindDialogReport& report);
