#include "app/message_window.h"

#include <climits>
#include <cstdlib>

namespace {

constexpr int POINTS_PER_INCH = 72;
constexpr const char* MESSAGE_FACE = "微软雅黑";
constexpr uint32_t WHITE = 0x00FFFFFF;
// The text is centred above this strip at the bottom, so it sits a little above the middle.
constexpr int BOTTOM_STRIP = 33;

}  // namespace

// Computed in 64 bits: the absolute value of INT_MIN and a large size times the
// resolution do not fit an int. A size too large for any screen is clamped.
int fontHeightForPoints(int pointSize, int pixelsPerInch) {
    const long long pixels = std::llabs(static_cast<long long>(pointSize)) * pixelsPerInch / POINTS_PER_INCH;
    return pixels > INT_MAX ? -INT_MAX : -static_cast<int>(pixels);
}

void showMessageWindow(platform::DialogOwner owner, const char* text, uint32_t background, int pointSize,
                       unsigned duration) {
    platform::MessageWindowRequest request;
    request.owner = owner;
    request.text = text != nullptr ? text : "";
    request.background = background;
    request.textColour = WHITE;
    request.font.height = fontHeightForPoints(pointSize, platform::screenPixelsPerInchY());
    request.font.italic = true;
    request.font.faceName = MESSAGE_FACE;
    request.bottomMargin = BOTTOM_STRIP;
    request.duration = duration;
    platform::showMessageWindow(request);
}
