// Pointer input: the left mouse button (click, drag to select, drag the selection to move
// or copy it) and the vertical scroll bar.
#pragma once

#include <cstdint>

void onLeftButtonDown(intptr_t lParam);
void onMouseMove(intptr_t lParam);
void onLeftButtonUp(intptr_t lParam);
// A scroll-bar request (the low word of `wParam`): line and page steps and the ends move
// the caret as the keys do; the thumb puts it on the line it points at.
void onScrollBar(uintptr_t wParam);
