#include "win32/painter.h"

#include <string>
#include <vector>

#include "document/gbk.h"
#include "view/frame.h"
#include "win32/fonts.h"

// ==== The frame ====

namespace {

constexpr UINT GBK_CODE_PAGE = 936;

// One run's characters in UTF-16, with the pixel advance of each unit: a character's
// whole advance on its first unit, so every glyph stands where the core measured it.
struct WideRun {
    std::wstring units;
    std::vector<INT> advances;
};

WideRun widen(const TextRun& run) {
    WideRun wide;
    size_t pos = 0;
    for (const int advance : run.advances) {
        if (pos >= run.bytes.size()) break;
        const bool pair = isLeadByte(run.bytes[pos]) && pos + 1 < run.bytes.size();
        const int length = pair ? 2 : 1;
        wchar_t units[2];
        int count = MultiByteToWideChar(GBK_CODE_PAGE, 0, run.bytes.data() + pos, length, units, 2);
        if (count <= 0) {
            units[0] = L'?';
            count = 1;
        }
        for (int i = 0; i < count; ++i) {
            wide.units.push_back(units[i]);
            wide.advances.push_back(i == 0 ? advance : 0);
        }
        pos += static_cast<size_t>(length);
    }
    return wide;
}

void drawRun(HDC target, const TextRun& run) {
    const WideRun wide = widen(run);
    if (wide.units.empty()) return;
    HFONT font = fontForSlot(run.fontSlot);
    HGDIOBJ previousFont = font != nullptr ? SelectObject(target, font) : nullptr;
    SetTextColor(target, run.textColour);
    SetBkMode(target, TRANSPARENT);
    UINT options = 0;
    RECT cell{run.x, run.y, run.x + run.width(), run.y + run.cellHeight};
    if (run.opaque) {
        SetBkColor(target, run.backgroundColour);
        options = ETO_OPAQUE;
    }
    ExtTextOutW(target, run.x, run.y, options, run.opaque ? &cell : nullptr, wide.units.data(),
                static_cast<UINT>(wide.units.size()), wide.advances.data());
    if (previousFont != nullptr) SelectObject(target, previousFont);
}

void drawRuns(HDC target, const std::vector<TextRun>& runs) {
    for (const TextRun& run : runs) drawRun(target, run);
}

}  // namespace

void drawFrame(HDC target, int width, int height) {
    Frame frame;
    buildFrame(frame);
    const RECT whole{0, 0, width, height};
    HBRUSH background = CreateSolidBrush(frame.background);
    FillRect(target, &whole, background != nullptr ? background : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (background != nullptr) DeleteObject(background);
    drawRuns(target, frame.gutter);
    drawRuns(target, frame.text);
    drawRuns(target, frame.banner);
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
    // EndPaint must run whatever happens, or Windows asks for this paint for ever.
    try {
        if (width > 0 && height > 0 && !drawThroughBitmap(screen, width, height))
            drawFrame(screen, width, height);
    } catch (...) {
    }
    EndPaint(window, &paint);
}
