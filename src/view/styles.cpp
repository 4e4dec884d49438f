#include "view/styles.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "view/layout.h"
#include "view/measure.h"

LineStyle lineStyles[STYLE_COUNT];

namespace {

constexpr int POINTS_PER_INCH = 72;
constexpr int WEIGHT_NORMAL = 400;
constexpr int WEIGHT_BOLD = 700;
constexpr int HEIGHT_BEFORE_FONT = 23;
constexpr size_t FACE_NAME_BYTES_USED = 31;

struct StyleDefault {
    const char* faceName;
    int pointSize;
    int spacing;
};

// Body text, three heading levels and note text.
const StyleDefault STYLE_DEFAULTS[STYLE_COUNT] = {
    {"微软雅黑", 14, 0},
    {"方正小标宋简体", 17, 11},
    {"黑体", 17, 0},
    {"楷体", 17, 0},
    {"仿宋", 15, -2},
};

}  // namespace

void initStyles() {
    for (int i = 0; i < STYLE_COUNT; ++i) {
        LineStyle& style = lineStyles[i];
        style = LineStyle{};
        style.colour = rgb(0xFF, 0xFF, 0xFF);
        style.pointSize = STYLE_DEFAULTS[i].pointSize;
        std::strncpy(style.faceName, STYLE_DEFAULTS[i].faceName, FACE_NAME_SIZE - 1);
        style.font = -1;
        style.height = HEIGHT_BEFORE_FONT;
        style.spacing = STYLE_DEFAULTS[i].spacing;
        createStyleFont(i);
    }
}

void createStyleFont(int index) {
    if (index < 0 || index >= STYLE_COUNT) return;
    LineStyle& style = lineStyles[index];
    platform::FontRequest request;
    request.height = -(std::abs(style.pointSize) * platform::screenPixelsPerInchY() / POINTS_PER_INCH);
    request.bold = style.bold;
    request.italic = style.italic;
    request.faceName.assign(style.faceName, strnlen(style.faceName, FACE_NAME_BYTES_USED));
    // The seam replaces (and frees) whatever font the slot held before.
    const platform::FontMetrics metrics = platform::createFont(index, request);
    style.font = index;
    style.height = metrics.height;
    style.ascent = metrics.ascent;
    style.descent = metrics.descent;
    style.externalLeading = metrics.externalLeading;
    style.averageCharWidth = metrics.averageCharWidth;
    forgetExtents(index);
}

int styleIndexOfLine(const LineNode* line) {
    const int index = line ? lineStyle(line) : STYLE_BODY;
    return index < STYLE_COUNT ? index : STYLE_BODY;
}

const LineStyle& styleOfLine(const LineNode* line) { return lineStyles[styleIndexOfLine(line)]; }
