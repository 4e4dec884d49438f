// Any clipboard bytes pasted at any character of any document keep the invariants, and
// one undo gives back exactly the text before the paste.
#include <cstring>

#include "document/document.h"
#include "document/gbk.h"
#include "edit/clipboard.h"
#include "edit/undo_redo.h"
#include "fuzz_support.h"
#include "platform/virtual_keys.h"
#include "support/fake_platform.h"
#include "support/test_document.h"

namespace {

// Document text as typing and loading make it: printable bytes and tabs only.
std::string documentText(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') c = 'x';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    freshCore();
    setDocument(linesOf(documentText(input.bytes(300))));
    LineNode* line = doc.head;
    for (unsigned steps = input.below(64); steps > 0 && line->next; --steps) line = line->next;
    const int length = static_cast<int>(std::strlen(line->text));
    doc.caretLine = line;
    doc.caretCol = boundaryAtOrBefore(line->text, static_cast<int>(input.below(static_cast<unsigned>(length) + 1)));
    if (input.below(2)) fake().keysDown.insert(VKEY_SHIFT);  // tabs become commas
    fake().clipboard = input.rest();
    fake().clipboardHasText = true;

    const std::string before = savedBytes();
    pasteClipboard();
    requireInvariants();
    fake().keysDown.clear();
    undo();
    requireInvariants();
    require(savedBytes() == before, "undo restores the text before the paste");
    return 0;
}
