// The fonts of the editor's line styles, made when the core asks through the seam, and
// the memory DC text is measured on.
#pragma once

#include <windows.h>

// Number of font slots the core may fill.
constexpr int FONT_SLOT_COUNT = 16;

// The font in `slot`; null when none has been made there or the slot does not exist.
// The adapter owns it: callers select it but never delete it.
HFONT fontForSlot(int slot);
// Deletes every font and the measuring DC (after the message loop has ended).
void releaseFonts();
