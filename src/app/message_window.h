// The transient message window: one line of white italic text on a borderless coloured
// window that closes itself after a set time (the quiz's short feedback, "做对了 !").
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Shows `text` (GBK; null shows nothing) on `background` (0x00BBGGRR) in a font of
// `pointSize` points, whose absolute value is used, owned by `owner`. Returns once the
// window has closed: after `duration` milliseconds, or earlier at Enter or Esc.
void showMessageWindow(platform::DialogOwner owner, const char* text, uint32_t background, int pointSize,
                       unsigned duration);

// The character height in pixels, as a negative font height, of `pointSize` points at
// `pixelsPerInch`: the sign of the point size does not matter.
int fontHeightForPoints(int pointSize, int pixelsPerInch);
