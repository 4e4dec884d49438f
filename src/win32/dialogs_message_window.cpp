// The transient message window (dialog 133): one line of text on a borderless coloured
// window that closes itself when its timer fires, or earlier on Enter or Esc (the modal
// loop's dialog manager turns those into IDOK and IDCANCEL).

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "win32/adapter_state.h"
#include "win32/fonts.h"
#include "win32/text_conversion.h"

namespace {

constexpr int MESSAGE_WINDOW_DIALOG = 133;
constexpr UINT_PTR CLOSE_TIMER = 1;
// Bytes of the face name that go into LOGFONT (its 32 units hold 31 and a terminator).

// What one showing needs while it is up; lives on the stack of showMessageWindow.
struct MessageWindowState {
    const platform::MessageWindowRequest* request;
    std::wstring text;
    HBRUSH background = nullptr;
    HFONT font = nullptr;
};

HFONT createMessageFont(const platform::FontRequest& request) {
    const LOGFONTW description = describeFont(request);
    return CreateFontIndirectW(&description);
}

MessageWindowState* stateOf(HWND dialog) {
    return reinterpret_cast<MessageWindowState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void onInit(HWND dialog, MessageWindowState* state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->background = CreateSolidBrush(state->request->background);
    state->font = createMessageFont(state->request->font);
    SetTimer(dialog, CLOSE_TIMER, state->request->duration, nullptr);
}

// The text, centred on one line in the client area less the strip at the bottom.
void onPaint(HWND dialog, const MessageWindowState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (dc == nullptr) return;
    RECT area{};
    GetClientRect(dialog, &area);
    area.bottom -= state.request->bottomMargin;
    HGDIOBJ previousFont = state.font != nullptr ? SelectObject(dc, state.font) : nullptr;
    SetTextColor(dc, state.request->textColour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, state.text.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (previousFont != nullptr) SelectObject(dc, previousFont);
    EndPaint(dialog, &paint);
}

void onDestroy(MessageWindowState* state) {
    if (state == nullptr) return;
    if (state->background != nullptr) DeleteObject(state->background);
    if (state->font != nullptr) DeleteObject(state->font);
    state->background = nullptr;
    state->font = nullptr;
}

INT_PTR CALLBACK messageWindowProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInit(dialog, reinterpret_cast<MessageWindowState*>(lParam));
            return TRUE;
        case WM_TIMER:
            if (wParam != CLOSE_TIMER) return FALSE;
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
            KillTimer(dialog, CLOSE_TIMER);
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_CTLCOLORDLG: {
            const MessageWindowState* state = stateOf(dialog);
            return state != nullptr ? reinterpret_cast<INT_PTR>(state->background) : FALSE;
        }
        case WM_PAINT: {
            const MessageWindowState* state = stateOf(dialog);
            if (state == nullptr) return FALSE;
            onPaint(dialog, *state);
            return TRUE;
        }
        case WM_DESTROY:
            onDestroy(stateOf(dialog));
            return FALSE;
        default:
            return FALSE;
    }
}

HWND ownerWindow(platform::DialogOwner owner) {
    if (owner == platform::DialogOwner::QuizDialog && quizDialogWindow != nullptr) return quizDialogWindow;
    return mainWindow;
}

}  // namespace

namespace platform {

void showMessageWindow(const MessageWindowRequest& request) {
    MessageWindowState state{&request, gbkToWide(request.text)};
    DialogBoxParamW(programInstance, MAKEINTRESOURCEW(MESSAGE_WINDOW_DIALOG), ownerWindow(request.owner),
                    messageWindowProcedure, reinterpret_cast<LPARAM>(&state));
    // Should the dialog fail before WM_DESTROY, nothing it made is left behind.
    onDestroy(&state);
}

}  // namespace platform
