#include "win32/painter.h"

// ==== The frame ====

void drawFrame(HDC target, int width, int height) {
    const RECT whole{0, 0, width, height};
    FillRect(target, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// ==== Off-screen painting ====

namespace {

// Draws the frame into a bitmap compatible with `screen` and copies it there; false when
// the bitmap cannot be made (low on GDI memory), so the caller can draw directly.
bool drawThroughBitmap(HDC screen, int width, int height) {
    HDC memory = CreateCompatibleDC(screen);
    if (memory == nullptr) return false;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (bitmap == nullptr) {
        DeleteDC(memory);
        return false;
    }
    HGDIOBJ previous = SelectObject(memory, bitmap);
    drawFrame(memory, width, height);
    BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return true;
}

}  // namespace

void paintWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(window, &paint);
    if (screen == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width > 0 && height > 0 && !drawThroughBitmap(screen, width, height))
        drawFrame(screen, width, height);
    EndPaint(window, &paint);
}
