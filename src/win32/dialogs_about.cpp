// The About box (dialog 106): the program's icon, name, version, copyright and contact
// lines from its resource template, closed by its OK button, Enter or Esc.

#include <windows.h>

#include "platform/platform.h"
#include "win32/adapter_state.h"

namespace {

constexpr int ABOUT_DIALOG = 106;

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;  // the default button takes the focus
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

namespace platform {

void showAboutBox() {
    DialogBoxParamW(programInstance, MAKEINTRESOURCEW(ABOUT_DIALOG), mainWindow, aboutProcedure, 0);
}

}  // namespace platform
