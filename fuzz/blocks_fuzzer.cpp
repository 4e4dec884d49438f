// Any lines, any block of them and any caret column through the block commands keep the
// document's invariants; scrambling a block twice gives it back byte for byte.
#include <cstring>

#include "app/dispatcher.h"
#include "app/key_bindings.h"
#include "app/messages.h"
#include "blocks/scramble.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/selection.h"
#include "fuzz_support.h"
#include "platform/virtual_keys.h"
#include "support/fake_platform.h"
#include "support/test_document.h"
#include "view/layout.h"

namespace {

const int BLOCK_COMMANDS[] = {
    CMD_NORMALISE_INDENT, CMD_STRIP_INDENT, CMD_DELETE_BLANK_LINES, CMD_STATISTICS, CMD_SPLIT_BY_INDENT,
    CMD_SPLIT_CHINESE_NUMBERS, CMD_PASTE_HEX, CMD_SUM_NUMBERS, CMD_SORT_CARET_COLUMN, CMD_FULL_TO_HALF,
    CMD_NARROW_GAP, CMD_WIDEN_GAP, CMD_SET_LINE_ENDS, CMD_TO_LOWER, CMD_TO_UPPER, CMD_SORT_DATA_COLUMN,
    CMD_COPY_DATA_COLUMN, CMD_STYLE_BODY, CMD_STYLE_NOTE,
};

// Selects from line `first` to line `last` (0-based, clamped), caret at `col` of the last.
void selectBlock(unsigned first, unsigned last, unsigned col) {
    LineNode* start = doc.head;
    for (; first > 0 && start->next; --first, --last) start = start->next;
    LineNode* end = start;
    for (; last > 0 && end->next; --last) end = end->next;
    doc.anchorLine = start;
    doc.anchorCol = 0;
    doc.caretLine = end;
    const int length = static_cast<int>(std::strlen(end->text));
    doc.caretCol = boundaryAtOrBefore(end->text, static_cast<int>(col % static_cast<unsigned>(length + 1)));
    updateSelection();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    freshCore();
    initStyles();
    const unsigned first = input.below(16), span = input.below(16), col = input.below(64);
    const unsigned command = input.below(sizeof BLOCK_COMMANDS / sizeof BLOCK_COMMANDS[0] + 1);
    const bool shift = input.below(2) != 0;
    fake().clipboard = input.bytes(64);
    fake().clipboardHasText = true;
    setDocument(linesOf(input.rest()));
    selectBlock(first, first + span, col);

    if (command == sizeof BLOCK_COMMANDS / sizeof BLOCK_COMMANDS[0]) {
        // Alt+C twice: the block comes back exactly.
        const std::string before = savedBytes();
        selectBlock(0, 1000, 0);
        for (int i = 0; i < 2; ++i) {
            fake().keysDown.clear();
            dispatchCommand(CMD_SCRAMBLE, 0);
            requireInvariants();
        }
        require(savedBytes() == before, "scrambling twice gives the text back");
        return 0;
    }
    if (shift) fake().keysDown.insert(VKEY_SHIFT);
    dispatchCommand(BLOCK_COMMANDS[command], 0);
    requireInvariants();
    return 0;
}
