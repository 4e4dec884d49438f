#include "win32/main_window.h"

#include <shellapi.h>

#include "app/window_proc.h"
#include "win32/adapter_state.h"
#include "win32/dialogs_find.h"
#include <windows.h>

#include "app/messages.h"
#include "win32/ime_placement.h"
#include "win32/input_messages.h"
#include "view/layout.h"
#include "win32/painter.h"

namespace {

// The number Windows gave "commdlg_FindReplace" in this session (0 until registered).
UINT findReplaceMessage = 0;

// Registered messages start here; their numbers differ from run to run.
constexpr UINT FIRST_REGISTERED_MESSAGE = 0xC000;

// Hands a message to the core and follows its answer.
LRESULT forwardToCore(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageResult result = handleMessage(message, wParam, lParam);
    if (result.callDefault) return DefWindowProcW(window, message, wParam, lParam);
    return static_cast<LRESULT>(result.value);
}

// A registered message: the find/replace dialog's notification goes to the core under
// the core's own number; any other registered message is none of the core's business.
LRESULT onRegisteredMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == findReplaceMessage && findReplaceMessage != 0) {
        beforeFindReplaceNotification(lParam);
        handleMessage(MSG_FIND_REPLACE_NOTIFY, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The window is going away without the core having ended the program (the core never
// destroys it: it posts the quit message instead); end the loop rather than leave an
// invisible process behind.
LRESULT onDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
    forwardToCore(window, WM_DESTROY, wParam, lParam);
    forgetPaintedPicture();
    PostQuitMessage(0);
    return 0;
}

LRESULT routeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: paintWindow(window); return 0;
        case WM_ERASEBKGND: return 1;  // every pixel is painted from the memory bitmap
        case WM_CHAR: return onCharacter(window, wParam, lParam);
        case WM_IME_CHAR: return onImeCharacter(window, wParam, lParam);
        case WM_IME_STARTCOMPOSITION:
            placeImeWindowsAtCaret(window);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_SETFOCUS:
            // The system caret belongs to the window with the focus: make it again.
            ensureCaretVisible();
            return 0;
        case WM_KILLFOCUS:
            HideCaret(window);
            DestroyCaret();
            return 0;
        case WM_DROPFILES: return onDropFiles(reinterpret_cast<HDROP>(wParam));
        case WM_DESTROY: return onDestroy(window, wParam, lParam);
        case WM_NCDESTROY:
            mainWindow = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        default: break;
    }
    if (message >= FIRST_REGISTERED_MESSAGE) return onRegisteredMessage(window, message, wParam, lParam);
    return forwardToCore(window, message, wParam, lParam);
}

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (mainWindow == nullptr && message != WM_NCDESTROY) mainWindow = window;
    // No exception may unwind through Windows' frames: a failed message does nothing
    // (0 also keeps WM_CLOSE from destroying the window and the user's text with it).
    try {
        return routeMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // namespace

bool registerMainWindowClass(HINSTANCE instance, const wchar_t* className) {
    findReplaceMessage = RegisterWindowMessageW(L"commdlg_FindReplace");
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(RESOURCE_ICON));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(RESOURCE_ICON), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(RESOURCE_MENU);
    windowClass.lpszClassName = className;
    return RegisterClassExW(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title) {
    HWND window = CreateWindowExW(WS_EX_ACCEPTFILES, className, title, WS_OVERLAPPEDWINDOW | WS_VSCROLL,
                                  CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) mainWindow = nullptr;
    return window;
}
