// The quiz dialog (dialog 134): modeless, owned by the main window, created hidden. It
// shows what the core puts into its controls and hands the core its commands and the
// keys the message loop forwards to it; the core decides everything else.

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "quiz/quiz_controls.h"
#include "quiz/quiz_dialog.h"
#include "win32/adapter_state.h"
#include "win32/fonts.h"
#include "win32/text_conversion.h"

namespace {

// The one font the core gives the question and option texts, kept while the dialog lives.
HFONT quizFont = nullptr;
LOGFONTW quizFontDescription{};

HWND control(int controlId) {
    return quizDialogWindow != nullptr ? GetDlgItem(quizDialogWindow, controlId) : nullptr;
}

void releaseQuizFont() {
    if (quizFont != nullptr) DeleteObject(quizFont);
    quizFont = nullptr;
    quizFontDescription = LOGFONTW{};
}

bool sameFont(const LOGFONTW& a, const LOGFONTW& b) {
    return a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           lstrcmpW(a.lfFaceName, b.lfFaceName) == 0;
}

// The font for `request`, made once and reused for every control that asks for it.
HFONT fontFor(const platform::FontRequest& request) {
    const LOGFONTW description = describeFont(request);
    if (quizFont != nullptr && sameFont(description, quizFontDescription)) return quizFont;
    HFONT font = CreateFontIndirectW(&description);
    if (font == nullptr) return quizFont;
    // Controls still showing the old font get the new one before it goes.
    if (quizFont != nullptr && quizDialogWindow != nullptr) {
        for (HWND child = GetWindow(quizDialogWindow, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == quizFont)
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        DeleteObject(quizFont);
    }
    quizFont = font;
    quizFontDescription = description;
    return quizFont;
}

// Commands and keys go to the core; nothing may unwind through Windows' frames.
template <typename Call>
void callCore(Call call) {
    try {
        call();
    } catch (...) {
    }
}

INT_PTR CALLBACK quizProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            quizDialogWindow = dialog;
            return TRUE;  // "下一题", the first control, takes the focus
        case WM_COMMAND:
            callCore([wParam] { quizCommand(LOWORD(wParam)); });
            return TRUE;
        case WM_KEYDOWN:
            callCore([wParam] { quizKey(static_cast<int>(wParam)); });
            return TRUE;
        case WM_CLOSE:
            callCore([] { quizCommand(IDCANCEL); });
            return TRUE;
        case WM_DESTROY:
            releaseQuizFont();
            return FALSE;
        case WM_NCDESTROY:
            if (quizDialogWindow == dialog) quizDialogWindow = nullptr;
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

int showOwnedMessageBox(DialogOwner owner, const std::string& text, const std::string& caption, unsigned flags) {
    return MessageBoxW(ownerWindow(owner), gbkToWide(text).c_str(), gbkToWide(caption).c_str(), flags);
}

bool createQuizDialog() {
    HWND dialog = CreateDialogParamW(programInstance, MAKEINTRESOURCEW(QUIZ_DIALOG), mainWindow,
                                     quizProcedure, 0);
    if (dialog != nullptr) quizDialogWindow = dialog;
    return dialog != nullptr;
}

bool quizDialogExists() { return quizDialogWindow != nullptr && IsWindow(quizDialogWindow); }

void showQuizDialog() {
    if (quizDialogWindow != nullptr) ShowWindow(quizDialogWindow, SW_SHOW);
}

void bringQuizDialogForward() {
    if (quizDialogWindow == nullptr) return;
    ShowWindow(quizDialogWindow, SW_SHOW);
    SetForegroundWindow(quizDialogWindow);
    SetActiveWindow(quizDialogWindow);
}

void destroyQuizDialog() {
    if (quizDialogWindow != nullptr) DestroyWindow(quizDialogWindow);
}

ControlRect getQuizControlRect(int controlId) {
    HWND item = control(controlId);
    RECT area{};
    if (item == nullptr || !GetWindowRect(item, &area)) return ControlRect{};
    MapWindowPoints(nullptr, quizDialogWindow, reinterpret_cast<POINT*>(&area), 2);
    return ControlRect{area.left, area.top, area.right - area.left, area.bottom - area.top};
}

void placeQuizControl(int controlId, const ControlRect& rect) {
    HWND item = control(controlId);
    if (item != nullptr) MoveWindow(item, rect.left, rect.top, rect.width, rect.height, TRUE);
}

void setQuizControlText(int controlId, const std::string& text) {
    HWND item = control(controlId);
    if (item != nullptr) SetWindowTextW(item, gbkToWide(text).c_str());
}

std::string getQuizControlText(int controlId, int maxBytes) {
    HWND item = control(controlId);
    if (item == nullptr || maxBytes <= 0) return std::string();
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(item, &text[0], length + 1)));
    const std::string gbk = wideToGbk(text);
    return gbk.substr(0, gbkPrefixLength(gbk, static_cast<size_t>(maxBytes)));
}

bool isQuizBoxTicked(int controlId) {
    HWND item = control(controlId);
    return item != nullptr && SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setQuizBoxTicked(int controlId, bool ticked) {
    HWND item = control(controlId);
    if (item != nullptr) SendMessageW(item, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void showQuizControl(int controlId, bool visible) {
    HWND item = control(controlId);
    if (item != nullptr) ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
}

void enableQuizControl(int controlId, bool enabled) {
    HWND item = control(controlId);
    if (item != nullptr) EnableWindow(item, enabled ? TRUE : FALSE);
}

void setQuizControlFont(int controlId, const FontRequest& font) {
    HWND item = control(controlId);
    HFONT made = item != nullptr ? fontFor(font) : nullptr;
    if (made != nullptr) SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
}

int quizFocusControl() {
    HWND focus = GetFocus();
    if (focus == nullptr || quizDialogWindow == nullptr || GetParent(focus) != quizDialogWindow) return 0;
    return GetDlgCtrlID(focus);
}

void focusQuizControl(int controlId) {
    HWND item = control(controlId);
    // Through the dialog manager, so the default-button outline follows the focus.
    if (item != nullptr) SendMessageW(quizDialogWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

}  // namespace platform
