// The seam's fonts, text measuring and character conversion.

#include <windows.h>

#include "platform/platform.h"
#include "win32/fonts.h"
#include "win32/painter.h"
#include "win32/text_conversion.h"

namespace {

// Font sizes are worked out at this resolution when the screen cannot be asked for its own.
constexpr int DEFAULT_PIXELS_PER_INCH = 96;

HFONT slotFonts[FONT_SLOT_COUNT] = {};
// A memory DC compatible with the screen, kept for measuring; its own font is put back
// after every use, so a slot's font is never selected when it is deleted.
HDC measuringDc = nullptr;

bool isSlot(int slot) { return slot >= 0 && slot < FONT_SLOT_COUNT; }

HDC measuringContext() {
    if (measuringDc == nullptr) measuringDc = CreateCompatibleDC(nullptr);
    return measuringDc;
}

// Metrics of `font` (of the DC's own font when null).
platform::FontMetrics measureFont(HFONT font) {
    platform::FontMetrics metrics;
    HDC dc = measuringContext();
    if (dc == nullptr) return metrics;
    HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW text{};
    if (GetTextMetricsW(dc, &text)) {
        metrics.height = text.tmHeight;
        metrics.ascent = text.tmAscent;
        metrics.descent = text.tmDescent;
        metrics.externalLeading = text.tmExternalLeading;
        metrics.averageCharWidth = text.tmAveCharWidth;
    }
    if (previous != nullptr) SelectObject(dc, previous);
    return metrics;
}

}  // namespace

// GDI keeps at most 31 bytes of a face name.
constexpr size_t FACE_NAME_BYTES = 31;

LOGFONTW describeFont(const platform::FontRequest& request) {
    LOGFONTW font{};
    font.lfHeight = request.height;
    font.lfWeight = request.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = request.italic ? TRUE : FALSE;
    font.lfCharSet = GB2312_CHARSET;
    const std::string face = request.faceName.substr(0, gbkPrefixLength(request.faceName, FACE_NAME_BYTES));
    lstrcpynW(font.lfFaceName, gbkToWide(face).c_str(), LF_FACESIZE);
    return font;
}


HFONT fontForSlot(int slot) { return isSlot(slot) ? slotFonts[slot] : nullptr; }

void releaseFonts() {
    for (HFONT& font : slotFonts) {
        if (font != nullptr) DeleteObject(font);
        font = nullptr;
    }
    if (measuringDc != nullptr) DeleteDC(measuringDc);
    measuringDc = nullptr;
}

namespace platform {

int screenPixelsPerInchY() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return DEFAULT_PIXELS_PER_INCH;
    const int pixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return pixels > 0 ? pixels : DEFAULT_PIXELS_PER_INCH;
}

// When the font cannot be made, the slot keeps what it held, so the core still gets
// real, non-zero metrics to lay lines out with.
FontMetrics createFont(int slot, const FontRequest& request) {
    forgetPaintedPicture();  // the kept picture was drawn with the font this replaces
    if (!isSlot(slot)) return FontMetrics{};
    const LOGFONTW description = describeFont(request);
    HFONT font = CreateFontIndirectW(&description);
    if (font != nullptr) {
        if (slotFonts[slot] != nullptr) DeleteObject(slotFonts[slot]);
        slotFonts[slot] = font;
    }
    return measureFont(slotFonts[slot]);
}

int textExtent(int slot, const char* bytes, int length) {
    if (bytes == nullptr || length <= 0) return 0;
    HDC dc = measuringContext();
    if (dc == nullptr) return 0;
    const std::wstring wide = gbkToWide(bytes, static_cast<size_t>(length));
    if (wide.empty()) return 0;
    HFONT font = fontForSlot(slot);
    HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    SIZE size{};
    if (!GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size)) size.cx = 0;
    if (previous != nullptr) SelectObject(dc, previous);
    return size.cx;
}

}  // namespace platform
