// The few handles the Win32 adapter shares between its files.
#pragma once

#include <windows.h>

// The program's module handle (resources, sounds), set first thing in wWinMain.
extern HINSTANCE programInstance;
// The main window. Set by its window procedure on the first message it receives, so seam
// calls the core makes while the window is being created already have their owner.
extern HWND mainWindow;
// The quiz dialog and the find/replace dialog while they are open; null otherwise.
// The message loop routes keys by them.
extern HWND quizDialogWindow;
extern HWND findDialogWindow;
