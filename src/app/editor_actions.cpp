#include "app/editor_actions.h"

#include <cstdint>

#include "app/recorder.h"
#include "app/search_outcome.h"
#include "document/document.h"
#include "edit/editing.h"
#include "search/quick_search.h"

namespace {

// The backward quick searches and the kind each looks for.
struct QuickSearchAction {
    int code;
    int kind;  // 0 white space, 1 digits, 2 letters
};
constexpr QuickSearchAction BACKWARD_QUICK_SEARCHES[] = {{2091, QUICK_DIGITS}, {2092, QUICK_SPACE}, {2093, QUICK_LETTERS}};

}  // namespace

void runEditorAction(int actionCode) {
    recordEvent(static_cast<uint32_t>(actionCode), 0, 0);
    for (const QuickSearchAction& action : BACKWARD_QUICK_SEARCHES) {
        if (action.code != actionCode) continue;
        if (!hasDocument()) return;
        if (doc.caretLine == nullptr) doc.caretLine = doc.head;
        noteSearchOutcome(quickSearch(action.kind, true));
        return;
    }
    performEditorAction(actionCode);
}
