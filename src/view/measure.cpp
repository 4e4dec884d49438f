#include "view/measure.h"

#include <cstdint>
#include <vector>

#include "document/gbk.h"
#include "platform/platform.h"
#include "view/styles.h"
#include "view/view_state.h"

namespace {

// Remembered extents per style, indexed by the character's code: a single byte by its
// value, a double-byte character by (lead << 8) | trail, which is at least 0xA000 and so
// never meets a single byte. -1 marks an extent not asked for yet.
constexpr int CODE_COUNT = 0x10000;
std::vector<int32_t> extentCache[STYLE_COUNT];

int characterCode(const char* bytes, int length) {
    const unsigned lead = static_cast<unsigned char>(bytes[0]);
    return length == 2 ? static_cast<int>((lead << 8) | static_cast<unsigned char>(bytes[1])) : static_cast<int>(lead);
}

}  // namespace

void forgetExtents(int style) {
    if (style >= 0 && style < STYLE_COUNT) extentCache[style].clear();
}

int characterExtent(int style, const char* bytes, int length) {
    if (style < 0 || style >= STYLE_COUNT) style = STYLE_BODY;
    std::vector<int32_t>& cache = extentCache[style];
    if (cache.empty()) cache.assign(CODE_COUNT, -1);
    int32_t& extent = cache[characterCode(bytes, length)];
    if (extent < 0) extent = platform::textExtent(style, bytes, length);
    return extent;
}

int tabAdvance(int x) {
    // A floor remainder, so a line whose text measures less than zero (negative spacing
    // over zero-width characters) still tabs forward to the next stop.
    int within = x % TAB_STOP;
    if (within < 0) within += TAB_STOP;
    return TAB_STOP - within;
}

int characterAdvance(int style, const char* text, int pos, int x, int* length) {
    const int spacing = lineStyles[style].spacing;
    if (text[pos] == '\t') {
        *length = 1;
        return tabAdvance(x) + spacing;
    }
    *length = charLength(text, pos);
    return characterExtent(style, text + pos, *length) + spacing;
}

int columnX(const LineNode* line, int col) {
    if (line == nullptr || line->text == nullptr) return 0;
    const int style = styleIndexOfLine(line);
    const char* text = line->text;
    int x = 0;
    for (int pos = 0; pos < col && text[pos] != '\0';) {
        int length = 1;
        x += characterAdvance(style, text, pos, x, &length);
        pos += length;
    }
    return x;
}
