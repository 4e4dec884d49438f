// The About box, whose texts live in its dialog resource.
#pragma once

// Command 104 (the "关于" menu item and Alt+"?" / Alt+"/").
void showAboutBox();
