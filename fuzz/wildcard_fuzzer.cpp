// Any pattern, template and text: every wildcard match starts and ends on a character
// boundary, Replace All ends with the document's invariants holding, and undoing every
// replacement gives the text back.
#include <cstring>

#include "document/document.h"
#include "document/gbk.h"
#include "edit/undo_redo.h"
#include "fuzz_support.h"
#include "search/find_replace.h"
#include "search/find_state.h"
#include "search/wildcard.h"
#include "support/test_document.h"

namespace {

bool onBoundary(const LineNode* line, int col) { return line == nullptr || !isInsideDoubleByte(line->text, col); }

// The anchor stands on the last matched byte: the match ends after it.
bool endsOnBoundary(const LineNode* line, int lastCol) {
    if (line == nullptr) return true;
    const int length = static_cast<int>(std::strlen(line->text));
    return lastCol + 1 >= length || !isInsideDoubleByte(line->text, lastCol + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    freshCore();
    const std::string pattern = input.bytes(40);
    const std::string replacement = input.bytes(40);
    setDocument(linesOf(input.rest()));
    findState = FindState{};
    if (pattern.find('\0') != std::string::npos || replacement.find('\0') != std::string::npos) return 0;
    findState.findFlags = REPLACE_DIALOG_FLAGS;
    findState.findTextPointer = pattern.c_str();
    findState.replaceTextPointer = replacement.c_str();

    // Every match on the way down the document stands on character boundaries.
    for (int guard = 0; guard < 200; ++guard) {
        findState.found = 0;
        wildcardFind(false);
        if (!findState.found) break;
        require(onBoundary(findState.matchStartLine, findState.matchStartCol), "a match starts on a boundary");
        // The line-start pattern takes no bytes: its anchor is its start, not a last byte.
        if (!isLineStartPattern(pattern.c_str()))
            require(endsOnBoundary(doc.anchorLine, doc.anchorCol), "a match ends on a boundary");
        doc.caretLine = findState.matchStartLine;
        doc.caretCol = stepRight(doc.caretLine->text, findState.matchStartCol);
        if (doc.caretCol > static_cast<int>(std::strlen(doc.caretLine->text))) {
            if (doc.caretLine->next == nullptr) break;
            doc.caretLine = doc.caretLine->next;
            doc.caretCol = 0;
        }
    }
    requireInvariants();

    doc.caretLine = doc.head;
    doc.caretCol = 0;
    const std::string before = savedBytes();
    const int count = replaceAllSilently();
    requireInvariants();
    if (count > 0 && count < 200) {
        for (int i = 0; i < 8 * count + 8; ++i) undo();
        requireInvariants();
        require(savedBytes() == before, "undoing every replacement gives the text back");
    }
    freeCaptures();
    return 0;
}
