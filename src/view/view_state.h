// The view globals: client size, horizontal scroll, the wrap and gutter switches and the
// mouse state, with the fixed layout constants.
#pragma once

constexpr int LINE_HEIGHT = 24;  // pixels per row
constexpr int TAB_STOP = 40;     // a tab advances to the next multiple of 40 pixels
constexpr int WRAP_MARGIN = 55;  // wrap and caret scrolling keep 55 pixels from the right edge

struct ViewState {
    int scrollX = 0;  // x at which every line's text starts; 0 or negative
    int clientLeft = 0;
    int clientTop = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int wrapMode = 0;
    int showLineNumbers = 1;
    int mouseDown = 0;
    int dragSelection = 0;
    int reflowBusy = 0;
    // The recording banner shows: told by the recorder, which the view does not know.
    bool recordingBanner = false;
};

extern ViewState view;

// Number of whole rows in the client area.
inline int rowsInWindow() { return view.clientHeight / LINE_HEIGHT; }
