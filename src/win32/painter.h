// WM_PAINT: the frame the core laid out is drawn into a memory bitmap and copied to the
// screen in one transfer, so nothing flickers.
#pragma once

#include <windows.h>

// Draws the core's frame for the whole client area (width x height pixels) into `target`.
void drawFrame(HDC target, int width, int height);
// Handles WM_PAINT for `window`: draws the frame off screen, then copies it in one go.
void paintWindow(HWND window);
