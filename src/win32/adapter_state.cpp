#include "win32/adapter_state.h"

HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
HWND quizDialogWindow = nullptr;
HWND findDialogWindow = nullptr;
