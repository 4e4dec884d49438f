#include "win32/input_messages.h"

#include <string>
#include <vector>

#include "app/window_proc.h"
#include <windows.h>

#include "app/messages.h"
#include "win32/text_conversion.h"

LRESULT onCharacter(HWND, WPARAM wParam, LPARAM lParam) {
    unsigned char bytes[2];
    const int count = typedUnitToGbk(static_cast<wchar_t>(wParam), bytes);
    for (int i = 0; i < count; ++i) handleMessage(MSG_CHAR, bytes[i], lParam);
    return 0;
}

LRESULT onImeCharacter(HWND window, WPARAM wParam, LPARAM lParam) {
    unsigned char bytes[2];
    const int count = typedUnitToGbk(static_cast<wchar_t>(wParam), bytes);
    if (count == 1) {
        // Handled here, so DefWindowProc does not post the same character again as WM_CHAR.
        handleMessage(MSG_CHAR, bytes[0], lParam);
        return 0;
    }
    if (count == 0) return 0;
    const uintptr_t code = (static_cast<uintptr_t>(bytes[0]) << 8) | bytes[1];
    const MessageResult result = handleMessage(MSG_IME_CHAR, code, lParam);
    if (result.callDefault) return DefWindowProcW(window, WM_IME_CHAR, wParam, lParam);
    return result.value;
}

LRESULT onDropFiles(HDROP drop) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring name;
    if (length > 0) {
        std::vector<wchar_t> buffer(length + 1, L'\0');
        if (DragQueryFileW(drop, 0, buffer.data(), length + 1) > 0) name = buffer.data();
    }
    // Released before the core runs: its save question is modal and may wait a long time.
    DragFinish(drop);
    if (!name.empty()) dropFile(fileNameToGbk(name));
    return 0;
}
