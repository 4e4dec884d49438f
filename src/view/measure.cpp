#include "view/measure.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "document/gbk.h"
#include "document/text_length.h"
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

uint64_t extentGeneration = 0;  // moves whenever remembered extents are forgotten

}  // namespace

void forgetExtents(int style) {
    if (style >= 0 && style < STYLE_COUNT) extentCache[style].clear();
    ++extentGeneration;
}

namespace {

// ==== Measured points along one long line ====

// Lines shorter than this are measured from byte 0 each time; along longer ones the
// position and x of a character boundary are remembered every CHECKPOINT_BYTES bytes.
// They belong to one line at a time (the one being worked in) and stay good until a
// change touches the bytes before them (document/document.h: firstPositionTouchedSince),
// its style, or the extents.
constexpr int LONG_LINE_BYTES = 8192;
constexpr int CHECKPOINT_BYTES = 4096;

struct LinePoints {
    const LineNode* line = nullptr;
    int lineIndex = 0;
    uint64_t changeCount = 0;
    uint64_t extents = 0;
    int style = 0, spacing = 0;
    std::vector<MeasuredPoint> points;  // points[0] is {0, 0}; increasing positions
};

LinePoints linePoints;

// The remembered points of `line`, cut back to those the changes since left alone.
std::vector<MeasuredPoint>& pointsOf(const LineNode* line) {
    LinePoints& memo = linePoints;
    const int style = styleIndexOfLine(line);
    bool fresh = memo.line != line || memo.extents != extentGeneration || memo.style != style ||
                 memo.spacing != lineStyles[style].spacing;
    if (!fresh && memo.changeCount != documentChangeCount) {
        // A point records where a character starts: it depends only on the bytes before it.
        const int kept = untouchedColumnSince(line, memo.lineIndex, memo.changeCount);
        if (kept < 0) fresh = true;
        while (!fresh && memo.points.size() > 1 && memo.points.back().pos > kept) memo.points.pop_back();
        memo.changeCount = documentChangeCount;
    }
    if (fresh) {
        memo = LinePoints{line, lineIndex(line), documentChangeCount, extentGeneration, style, lineStyles[style].spacing, {}};
        memo.points.push_back({0, 0});
    }
    return memo.points;
}

// Walks from the last remembered point towards `pos`/`x` (whichever comes first),
// remembering a point every CHECKPOINT_BYTES on the way, and returns the last point
// reached at or before the goal.
MeasuredPoint walkTowards(const LineNode* line, int goalPos, int goalX) {
    std::vector<MeasuredPoint>& points = pointsOf(line);
    const int style = styleIndexOfLine(line);
    const char* text = line->text;
    // Binary search for the last remembered point at or before the goal.
    size_t low = 0, high = points.size();
    while (high - low > 1) {
        const size_t middle = (low + high) / 2;
        if (points[middle].pos <= goalPos && points[middle].x <= goalX) low = middle; else high = middle;
    }
    MeasuredPoint at = points[low];
    if (low + 1 < points.size()) return at;  // the next point is past the goal
    int nextCheckpoint = at.pos + CHECKPOINT_BYTES;
    while (text[at.pos] != '\0') {
        int length = 1;
        const int advance = characterAdvance(style, text, at.pos, at.x, &length);
        if (at.pos + length > goalPos || at.x + advance > goalX) break;
        at.pos += length;
        at.x += advance;
        if (at.pos >= nextCheckpoint) {
            points.push_back(at);
            nextCheckpoint = at.pos + CHECKPOINT_BYTES;
        }
    }
    return at;
}

bool isLongLine(const LineNode* line) { return textLengthUpTo(line->text, LONG_LINE_BYTES) >= LONG_LINE_BYTES; }

}  // namespace

MeasuredPoint measuredPointBefore(const LineNode* line, int col, int x) {
    if (line == nullptr || line->text == nullptr || !isLongLine(line)) return {0, 0};
    // Remembered points are searched by x, which only grows when no advance is negative.
    if (lineStyles[styleIndexOfLine(line)].spacing < 0) return {0, 0};
    return walkTowards(line, col, x);
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
    const MeasuredPoint start = measuredPointBefore(line, col, INT_MAX);
    int x = start.x;
    for (int pos = start.pos; pos < col && text[pos] != '\0';) {
        int length = 1;
        x += characterAdvance(style, text, pos, x, &length);
        pos += length;
    }
    return x;
}
