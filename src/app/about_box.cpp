// Command 104 (the "关于" menu item and Alt+"?" / Alt+"/"): the About box, whose texts live
// in its dialog resource.
#include "app/command_entry_points.h"
#include "platform/platform.h"

void showAboutBox() { platform::showAboutBox(); }
