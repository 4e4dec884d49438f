// Command 104 (the "关于" menu item and Alt+"?" / Alt+"/"): the About box, whose texts live
// in its dialog resource.
#include "app/about_box.h"
#include "platform/platform.h"

void showAboutBox() { platform::showAboutBox(); }
