#include "win32/ime_placement.h"

#include <imm.h>

namespace {

// Height of the caret rectangle the candidate list must not cover.
constexpr int CANDIDATE_EXCLUSION_HEIGHT = 24;

int caretWidth = 1;

}  // namespace

void rememberCaretWidth(int width) { caretWidth = width > 0 ? width : 1; }

void placeImeWindows(HWND window, int x, int y) {
    if (window == nullptr) return;
    HIMC context = ImmGetContext(window);
    if (context == nullptr) return;  // no input method on this window

    COMPOSITIONFORM composition{};
    composition.dwStyle = CFS_POINT;
    composition.ptCurrentPos = POINT{x, y};
    ImmSetCompositionWindow(context, &composition);

    CANDIDATEFORM candidate{};
    candidate.dwIndex = 0;
    candidate.dwStyle = CFS_EXCLUDE;
    candidate.ptCurrentPos = POINT{x, y};
    candidate.rcArea = RECT{x, y, x + caretWidth, y + CANDIDATE_EXCLUSION_HEIGHT};
    ImmSetCandidateWindow(context, &candidate);

    ImmReleaseContext(window, context);
}

void placeImeWindowsAtCaret(HWND window) {
    POINT caret{};
    if (GetCaretPos(&caret)) placeImeWindows(window, caret.x, caret.y);
}
