// The fonts of the editor's line styles, made when the core asks through the seam, and
// the memory DC text is measured on.
#pragma once

#include <windows.h>

#include "platform/platform.h"

// Number of font slots the core may fill.
constexpr int FONT_SLOT_COUNT = 16;

// The font in `slot`; null when none has been made there or the slot does not exist.
// The adapter owns it: callers select it but never delete it.
HFONT fontForSlot(int slot);
// The GDI description of a font the core asked for: GB2312 character set, the face name
// cut on a character boundary to the 31 bytes GDI takes.
LOGFONTW describeFont(const platform::FontRequest& request);
// Deletes every font and the measuring DC (after the message loop has ended).
void releaseFonts();
