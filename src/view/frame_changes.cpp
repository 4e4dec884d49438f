#include "view/frame_changes.h"

#include <algorithm>
#include <map>

#include "view/view_state.h"

namespace {

bool sameRun(const TextRun& a, const TextRun& b) {
    return a.x == b.x && a.y == b.y && a.fontSlot == b.fontSlot && a.textColour == b.textColour &&
           a.backgroundColour == b.backgroundColour && a.opaque == b.opaque && a.cellHeight == b.cellHeight &&
           a.bytes == b.bytes && a.advances == b.advances;
}

bool sameRuns(const std::vector<TextRun>& a, const std::vector<TextRun>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameRun);
}

int rowOf(const TextRun& run) { return run.y >= 0 ? run.y / LINE_HEIGHT : -1 - (-run.y - 1) / LINE_HEIGHT; }

// The text runs of each row, in frame order.
std::map<int, std::vector<const TextRun*>> runsByRow(const Frame& frame) {
    std::map<int, std::vector<const TextRun*>> rows;
    for (const TextRun& run : frame.text) rows[rowOf(run)].push_back(&run);
    return rows;
}

bool sameRow(const std::vector<const TextRun*>& a, const std::vector<const TextRun*>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameRun(*a[i], *b[i])) return false;
    return true;
}

}  // namespace

std::vector<Band> changedBands(const Frame& before, const Frame& after) {
    const Band whole{0, after.height};
    if (before.width != after.width || before.height != after.height || before.background != after.background ||
        !sameRuns(before.gutter, after.gutter) || !sameRuns(before.banner, after.banner))
        return {whole};
    const auto oldRows = runsByRow(before);
    const auto newRows = runsByRow(after);
    std::vector<int> changed;
    static const std::vector<const TextRun*> none;
    for (const auto& [row, runs] : newRows) {
        const auto old = oldRows.find(row);
        if (!sameRow(old == oldRows.end() ? none : old->second, runs)) changed.push_back(row);
    }
    for (const auto& [row, runs] : oldRows)
        if (newRows.find(row) == newRows.end()) changed.push_back(row);
    std::sort(changed.begin(), changed.end());
    std::vector<Band> bands;
    for (int row : changed) {
        const Band band{row * LINE_HEIGHT, (row + 1) * LINE_HEIGHT};
        if (band.bottom <= 0 || band.top >= after.height) continue;
        if (!bands.empty() && bands.back().bottom == band.top)
            bands.back().bottom = band.bottom;
        else
            bands.push_back(band);
    }
    return bands;
}

bool runTouchesBand(const TextRun& run, const Band& band) {
    // A run's glyphs stay within its cell; without one, within a row's height below y.
    const int height = std::max(run.cellHeight, LINE_HEIGHT);
    return run.y < band.bottom && run.y + height > band.top;
}
