// WM_PAINT: the frame the core laid out is drawn into a memory bitmap and copied to the
// screen in one transfer, so nothing flickers; only the rows that changed are redrawn.
#pragma once

#include <windows.h>

// Draws the core's frame for the whole client area (width x height pixels) into `target`.
void drawFrame(HDC target, int width, int height);
// Handles WM_PAINT for `window`: draws the frame off screen, then copies it in one go.
// The off-screen picture is kept, and a new frame redraws only the rows that changed.
void paintWindow(HWND window);
// Lets go of the kept picture (the window is going away, or fonts changed).
void forgetPaintedPicture();
