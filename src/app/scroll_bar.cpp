// The vertical scroll bar: its steps are the caret keys' moves, its thumb picks a line.
#include <cstdint>

#include "app/messages.h"
#include "app/mouse.h"
#include "document/document.h"
#include "edit/editing.h"
#include "platform/platform.h"
#include "view/layout.h"

namespace {

// Scroll-bar requests (the low word of the message's wParam).
constexpr unsigned SCROLL_LINE_UP = 0;
constexpr unsigned SCROLL_LINE_DOWN = 1;
constexpr unsigned SCROLL_PAGE_UP = 2;
constexpr unsigned SCROLL_PAGE_DOWN = 3;
constexpr unsigned SCROLL_THUMB_POSITION = 4;
constexpr unsigned SCROLL_THUMB_TRACK = 5;
constexpr unsigned SCROLL_TOP = 6;
constexpr unsigned SCROLL_BOTTOM = 7;

constexpr int ACTION_PAGE_DOWN = 2080;
constexpr int ACTION_PAGE_UP = 2082;
constexpr int ACTION_DOCUMENT_START = 2065;
constexpr int ACTION_DOCUMENT_END = 2063;

// Dragging the thumb puts the caret on the line it points at; near the end of the
// document that line also becomes the top line.
void followThumb(const platform::ScrollBarState& bar) {
    LineNode* target = stepLines(doc.caretLine, bar.trackPosition - lineIndex(doc.caretLine));
    if (lineIndex(target) == bar.trackPosition) doc.caretLine = target;
    const int pageAllowance = static_cast<int>(bar.page * 1.8);
    if (bar.maximum - bar.position < pageAllowance) doc.topLine = doc.caretLine;
    ensureCaretVisible();
}

}  // namespace

void onScrollBar(uintptr_t wParam) {
    if (!hasDocument()) return;
    const platform::ScrollBarState bar = platform::getScrollBar();
    switch (lowWord(wParam)) {
        case SCROLL_LINE_UP: performEditorAction(ACTION_CARET_UP); break;
        case SCROLL_LINE_DOWN: performEditorAction(ACTION_CARET_DOWN); break;
        case SCROLL_PAGE_UP: performEditorAction(ACTION_PAGE_UP); break;
        case SCROLL_PAGE_DOWN: performEditorAction(ACTION_PAGE_DOWN); break;
        case SCROLL_TOP: performEditorAction(ACTION_DOCUMENT_START); break;
        case SCROLL_BOTTOM: performEditorAction(ACTION_DOCUMENT_END); break;
        case SCROLL_THUMB_POSITION:
        case SCROLL_THUMB_TRACK: followThumb(bar); break;
        default: break;
    }
}
