// Which parts of the window a new frame changes, so a keystroke repaints the row it
// touched instead of the whole client area.
#pragma once

#include <vector>

#include "view/frame.h"

// A horizontal band of the window, from `top` (included) to `bottom` (excluded).
struct Band {
    int top;
    int bottom;
};

// The bands of the window whose pixels differ between `before` and `after`, each a
// whole text row (LINE_HEIGHT pixels); the whole window as one band when the size, the
// background, the gutter or the banner differ. Empty when nothing changed.
std::vector<Band> changedBands(const Frame& before, const Frame& after);

// True when `run` may paint inside `band` (its cell, or its row when it has none).
bool runTouchesBand(const TextRun& run, const Band& band);
