// The main window's caption: "%s%s - Kesh" with " * " when modified and the file name.
#pragma once

// Sets the caption from `modified` and the file name ("(无文件)" when there is none).
void updateTitle();
