// Any sequence of key presses, typed bytes, commands, mouse points and window sizes
// through the window procedure keeps the document's invariants after every step.
#include "app/messages.h"
#include "app/key_bindings.h"
#include "app/window_proc.h"
#include "document/document.h"
#include "fuzz_support.h"
#include "platform/virtual_keys.h"
#include "support/fake_platform.h"
#include "support/test_document.h"
#include "view/layout.h"

namespace {

constexpr int MAX_STEPS = 200;

// A new file is made in the working folder; the fuzzer must not touch the disk there.
bool makesNewFile(unsigned message, uintptr_t wParam) {
    if (message == MSG_COMMAND && (wParam & 0xFFFF) == static_cast<uintptr_t>(CMD_NEW)) return true;
    return message == ACTION_NEW;
}

void step(FuzzInput& input) {
    fake().keysDown.clear();
    if (input.below(4) == 0) fake().keysDown.insert(VKEY_CONTROL);
    if (input.below(4) == 0) fake().keysDown.insert(VKEY_SHIFT);
    unsigned message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    switch (input.below(8)) {
        case 0:
        case 1: message = MSG_CHAR; wParam = input.below(256); break;
        case 2:
        case 3: message = MSG_KEYDOWN; wParam = input.below(256); break;
        case 4: message = MSG_COMMAND; wParam = 32768 + input.below(120); break;
        case 5: message = MSG_CLEAR; break;
        case 6: {
            static const unsigned mouse[] = {MSG_LBUTTONDOWN, MSG_MOUSEMOVE, MSG_LBUTTONUP};
            message = mouse[input.below(3)];
            lParam = static_cast<intptr_t>(input.below(700) << 16 | input.below(900));
            break;
        }
        default: {
            message = MSG_SIZE;
            fake().clientWidth = 40 + static_cast<int>(input.below(900));
            fake().clientHeight = 24 + static_cast<int>(input.below(600));
            lParam = static_cast<intptr_t>(fake().clientHeight) << 16 | fake().clientWidth;
            break;
        }
    }
    if (makesNewFile(message, wParam)) return;
    handleMessage(message, wParam, lParam);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    freshCore();
    initStyles();
    buildKeyBindingTable();
    setDocument(linesOf(input.bytes(200)));
    for (int i = 0; i < MAX_STEPS && !input.empty(); ++i) {
        step(input);
        requireInvariants();
    }
    return 0;
}
