// The main window's messages whose parameters must be converted before the core sees
// them: typed characters (UTF-16 in a W window, GBK bytes in the core) and dropped files.
#pragma once

#include <windows.h>
#include <shellapi.h>

// WM_CHAR: hands each GBK byte of the typed character to the core as its own MSG_CHAR.
LRESULT onCharacter(HWND window, WPARAM wParam, LPARAM lParam);
// WM_IME_CHAR: a double-byte character goes to the core as one MSG_IME_CHAR, a
// single-byte one as MSG_CHAR.
LRESULT onImeCharacter(HWND window, WPARAM wParam, LPARAM lParam);
// WM_DROPFILES: opens the first dropped file (the others are ignored) and releases the drop.
LRESULT onDropFiles(HDROP drop);
