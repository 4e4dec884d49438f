#include "win32/painter.h"

#include <string>
#include <vector>

#include "document/gbk.h"
#include "view/frame.h"
#include "view/frame_changes.h"
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

void fillBackground(HDC target, const RECT& area, Colour colour) {
    HBRUSH background = CreateSolidBrush(colour);
    FillRect(target, &area, background != nullptr ? background : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (background != nullptr) DeleteObject(background);
}

void drawWholeFrame(HDC target, const Frame& frame) {
    fillBackground(target, RECT{0, 0, frame.width, frame.height}, frame.background);
    drawRuns(target, frame.gutter);
    drawRuns(target, frame.text);
    drawRuns(target, frame.banner);
}

// Redraws one band of the window: its background, then every run that reaches into it,
// in the usual order, clipped to the band.
void drawBand(HDC target, const Frame& frame, const Band& band) {
    const int saved = SaveDC(target);
    IntersectClipRect(target, 0, band.top, frame.width, band.bottom);
    fillBackground(target, RECT{0, band.top, frame.width, band.bottom}, frame.background);
    for (const std::vector<TextRun>* runs : {&frame.gutter, &frame.text, &frame.banner})
        for (const TextRun& run : *runs)
            if (runTouchesBand(run, band)) drawRun(target, run);
    RestoreDC(target, saved);
}

}  // namespace

void drawFrame(HDC target, int width, int height) {
    Frame frame;
    buildFrame(frame);
    frame.width = width;
    frame.height = height;
    drawWholeFrame(target, frame);
}

// ==== Off-screen painting ====

namespace {

// The picture of the window as last painted, kept between paints: a new frame redraws
// into it only the rows that changed, and the whole picture goes to the screen, so a
// part of the window that was uncovered is repainted too.
struct Picture {
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    int width = 0, height = 0;
    Frame frame;  // what the bitmap shows
    bool valid = false;
};

Picture picture;

void dropPicture() {
    if (picture.memory != nullptr) {
        SelectObject(picture.memory, picture.previousBitmap);
        DeleteDC(picture.memory);
    }
    if (picture.bitmap != nullptr) DeleteObject(picture.bitmap);
    picture = Picture{};
}

bool preparePicture(HDC screen, int width, int height) {
    if (picture.memory != nullptr && picture.width == width && picture.height == height) return true;
    dropPicture();
    picture.memory = CreateCompatibleDC(screen);
    if (picture.memory == nullptr) return false;
    picture.bitmap = CreateCompatibleBitmap(screen, width, height);
    if (picture.bitmap == nullptr) {
        dropPicture();
        return false;
    }
    picture.previousBitmap = SelectObject(picture.memory, picture.bitmap);
    picture.width = width;
    picture.height = height;
    return true;
}

// Draws the frame into the kept bitmap (only the changed rows when it showed the frame
// before) and copies it to `screen`; false when the bitmap cannot be made (low on GDI
// memory), so the caller can draw directly.
bool drawThroughBitmap(HDC screen, int width, int height) {
    if (!preparePicture(screen, width, height)) return false;
    Frame frame;
    buildFrame(frame);
    frame.width = width;
    frame.height = height;
    if (!picture.valid) {
        drawWholeFrame(picture.memory, frame);
    } else {
        for (const Band& band : changedBands(picture.frame, frame)) drawBand(picture.memory, frame, band);
    }
    picture.frame = std::move(frame);
    picture.valid = true;
    BitBlt(screen, 0, 0, width, height, picture.memory, 0, 0, SRCCOPY);
    return true;
}

}  // namespace

void forgetPaintedPicture() { dropPicture(); }

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
