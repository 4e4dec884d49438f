// The main window: its class, its creation and its window procedure.
//
// The window procedure is thin: the core decides what every message does; this file
// converts what only Windows can deliver (UTF-16 characters, drop handles, the registered
// find/replace message) and paints.
#pragma once

#include <windows.h>

// Registers the main window's class under `className`; false when Windows refuses.
bool registerMainWindowClass(HINSTANCE instance, const wchar_t* className);
// Creates the main window (accepting dropped files, with a vertical scroll bar and the
// class's menu); null when it cannot be created.
HWND createMainWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title);
