// Keeps the input method's windows next to the caret.
//
// The composition window starts at the caret; the candidate list is kept clear of a
// rectangle at the caret one text line high, so it never covers what is being typed.
#pragma once

#include <windows.h>

// Remembers the caret's width, the width of the rectangle the candidate list avoids.
void rememberCaretWidth(int width);
// Places both IME windows for a caret at (x, y) in the client area of `window`.
void placeImeWindows(HWND window, int x, int y);
// Places both IME windows at the system caret's current position.
void placeImeWindowsAtCaret(HWND window);
