// The seam's window, menu, caret, scroll bar, mouse, sound, timer and clock calls, all
// made on behalf of the main window.

#include <windows.h>
#include <mmsystem.h>

#include "platform/platform.h"
#include "win32/adapter_state.h"
#include "win32/ime_placement.h"
#include "win32/text_conversion.h"

namespace platform {

// ==== Message boxes and keys ====

int showMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return MessageBoxW(mainWindow, gbkToWide(text).c_str(), gbkToWide(caption).c_str(), flags);
}

bool isKeyDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

// ==== Main window ====

void setWindowTitle(const std::string& title) { SetWindowTextW(mainWindow, gbkToWide(title).c_str()); }

void getClientSize(int& width, int& height) {
    RECT client{};
    if (!GetClientRect(mainWindow, &client)) client = RECT{};
    width = client.right - client.left;
    height = client.bottom - client.top;
}

void invalidateRect(int left, int top, int right, int bottom, bool erase) {
    const RECT area{left, top, right, bottom};
    InvalidateRect(mainWindow, &area, erase ? TRUE : FALSE);
}

void invalidateAll(bool erase) { InvalidateRect(mainWindow, nullptr, erase ? TRUE : FALSE); }

void checkMenuItem(int commandId, bool checked) {
    HMENU menu = GetMenu(mainWindow);
    if (menu != nullptr)
        CheckMenuItem(menu, static_cast<UINT>(commandId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void enableMenuItem(int commandId, bool enabled) {
    HMENU menu = GetMenu(mainWindow);
    if (menu != nullptr)
        EnableMenuItem(menu, static_cast<UINT>(commandId), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void postQuit(int exitCode) { PostQuitMessage(exitCode); }

void showPopupMenu(const std::vector<MenuItem>& items, int screenX, int screenY) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return;
    for (const MenuItem& item : items) {
        if (item.commandId == 0)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.commandId), gbkToWide(item.text).c_str());
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, screenX, screenY, 0, mainWindow, nullptr);
    DestroyMenu(menu);
}

// ==== System caret ====

bool hasKeyboardFocus() { return mainWindow != nullptr && GetFocus() == mainWindow; }

void createCaret(int width, int height) {
    CreateCaret(mainWindow, nullptr, width, height);
    rememberCaretWidth(width);
}

void setCaretPosition(int x, int y) {
    SetCaretPos(x, y);
    placeImeWindows(mainWindow, x, y);
}

void showCaret() { ShowCaret(mainWindow); }
void hideCaret() { HideCaret(mainWindow); }
void destroyCaret() { DestroyCaret(); }

// ==== Scroll bar and mouse ====

void setScrollBar(int minimum, int maximum, int page, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    // An empty range keeps the bar in its place, disabled and without a thumb, so the
    // client area (and the width text wraps to) does not change when a document closes.
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | (maximum <= minimum ? SIF_DISABLENOSCROLL : 0);
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = page > 0 ? static_cast<UINT>(page) : 0;
    info.nPos = position;
    SetScrollInfo(mainWindow, SB_VERT, &info, TRUE);
}

ScrollBarState getScrollBar() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ScrollBarState bar;
    if (!GetScrollInfo(mainWindow, SB_VERT, &info)) return bar;
    bar.minimum = info.nMin;
    bar.maximum = info.nMax;
    bar.page = static_cast<int>(info.nPage);
    bar.position = info.nPos;
    bar.trackPosition = info.nTrackPos;
    return bar;
}

void captureMouse() { SetCapture(mainWindow); }
void releaseMouse() { ReleaseCapture(); }

// ==== Sounds, timers, time ====

void playSound(int resourceId) {
    PlaySoundW(MAKEINTRESOURCEW(resourceId), programInstance, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

void setTimer(int timerId, unsigned milliseconds) {
    SetTimer(mainWindow, static_cast<UINT_PTR>(timerId), milliseconds, nullptr);
}

void killTimer(int timerId) { KillTimer(mainWindow, static_cast<UINT_PTR>(timerId)); }

LocalTime localTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace platform
