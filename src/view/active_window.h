// Which of the three interactive windows last held the keyboard focus.
#pragma once

enum ActiveWindow {
    ACTIVE_NONE,  // cleared when the find dialog closes
    ACTIVE_MAIN,
    ACTIVE_QUIZ,
    ACTIVE_FIND,
};

// Read by paste and the find driver to tell where a command came from.
extern ActiveWindow activeWindow;
