// The system's modeless Find and Replace dialogs. The core speaks GBK; the dialogs are the
// W versions, fed and read through explicit code-page-936 conversion, so Chinese find
// texts survive on a Windows whose ANSI code page is another one.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <string>

#include "platform/platform.h"
#include "win32/adapter_state.h"
#include "win32/text_conversion.h"

namespace {

// Room of each text box, in UTF-16 units, terminator included. The core's buffers take
// 10242 bytes; a longer GBK form is cut to whole characters when it is read back.
constexpr int DIALOG_TEXT_UNITS = 10242;

// The dialog keeps pointers to the record and its buffers for as long as it lives, so
// they outlive every call here.
FINDREPLACEW record;
wchar_t findBuffer[DIALOG_TEXT_UNITS];
wchar_t replaceBuffer[DIALOG_TEXT_UNITS];
int byteLimit = DIALOG_TEXT_UNITS;
std::wstring textCutMessage, textCutCaption;
bool cuttingText = false;  // the box is being set to its cut text: its change is ours

void fillBuffer(wchar_t* buffer, const std::string& gbk) {
    const std::wstring wide = gbkToWide(gbk);
    const size_t units = wide.size() < DIALOG_TEXT_UNITS - 1 ? wide.size() : DIALOG_TEXT_UNITS - 1;
    wide.copy(buffer, units);
    buffer[units] = L'\0';
}

size_t byteRoom() { return static_cast<size_t>(byteLimit > 0 ? byteLimit - 1 : 0); }

std::string readBuffer(const wchar_t* buffer) {
    const std::string gbk = wideToGbk(buffer, wcsnlen(buffer, DIALOG_TEXT_UNITS));
    return gbk.substr(0, gbkPrefixLength(gbk, byteRoom()));
}

// A text box whose text does not fit the core's buffer in GBK is cut to whole characters
// that do. Returns true when it cut.
bool cutBoxToLimit(HWND box) {
    const int units = GetWindowTextLengthW(box);
    // Every unit takes at most two GBK bytes: a short text needs no conversion.
    if (static_cast<size_t>(units) * 2 <= byteRoom()) return false;
    std::wstring wide(static_cast<size_t>(units) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(box, &wide[0], units + 1)));
    const std::string gbk = wideToGbk(wide);
    if (gbk.size() <= byteRoom()) return false;
    cuttingText = true;
    SetWindowTextW(box, gbkToWide(gbk.substr(0, gbkPrefixLength(gbk, byteRoom()))).c_str());
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    cuttingText = false;
    return true;
}

// A cut text is told once, after the typing or paste that caused it is over: the edit
// control reports its own cut (EN_MAXTEXT) before the text changes, and the GBK cut
// follows with the change.
UINT textCutNotice = 0;  // a message of this program's own, posted to the dialog
bool textWasCut = false;
bool noticePosted = false;

void noteTextCut(HWND dialog) {
    textWasCut = true;
    if (!noticePosted && textCutNotice != 0) noticePosted = PostMessageW(dialog, textCutNotice, 0, 0) != 0;
}

// Watches the two text boxes; everything else is the dialog's own handling.
UINT_PTR CALLBACK findDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (textCutNotice != 0 && message == textCutNotice) {
        noticePosted = false;
        if (textWasCut && !textCutMessage.empty()) {
            textWasCut = false;
            MessageBoxW(dialog, textCutMessage.c_str(), textCutCaption.c_str(), MB_OK | MB_ICONEXCLAMATION);
        }
        return TRUE;
    }
    if (message == WM_COMMAND && !cuttingText) {
        const int id = LOWORD(wParam);
        const int event = HIWORD(wParam);
        if (id == edt1 || id == edt2) {
            if (event == EN_MAXTEXT || (event == EN_CHANGE && cutBoxToLimit(GetDlgItem(dialog, id))))
                noteTextCut(dialog);
        }
    }
    return FALSE;
}

}  // namespace

namespace platform {

void* createFindDialog(const FindDialogRequest& request) {
    // A handle whose window is gone (its closing was missed) does not count as open.
    if (findDialogWindow != nullptr && IsWindow(findDialogWindow)) return nullptr;
    findDialogWindow = nullptr;
    byteLimit = request.textLimit;
    textCutMessage = gbkToWide(request.textCutMessage);
    textCutCaption = gbkToWide(request.textCutCaption);
    if (textCutNotice == 0) textCutNotice = RegisterWindowMessageW(L"KeshFindTextCut");
    textWasCut = noticePosted = false;
    fillBuffer(findBuffer, request.findText);
    fillBuffer(replaceBuffer, request.replaceText);
    record = FINDREPLACEW{};
    record.lStructSize = sizeof record;
    record.hwndOwner = mainWindow;
    record.hInstance = programInstance;
    record.Flags = request.flags | FR_ENABLEHOOK;
    record.lpfnHook = findDialogHook;
    record.lpstrFindWhat = findBuffer;
    record.wFindWhatLen = DIALOG_TEXT_UNITS;
    if (request.replace) {
        record.lpstrReplaceWith = replaceBuffer;
        record.wReplaceWithLen = DIALOG_TEXT_UNITS;
    }
    findDialogWindow = request.replace ? ReplaceTextW(&record) : FindTextW(&record);
    return findDialogWindow;
}

FindDialogReport readFindDialog() {
    FindDialogReport report;
    report.flags = record.Flags & ~static_cast<DWORD>(FR_ENABLEHOOK);
    report.findText = readBuffer(findBuffer);
    if (record.lpstrReplaceWith != nullptr) report.replaceText = readBuffer(replaceBuffer);
    return report;
}

bool findDialogExists(void* dialog) { return dialog != nullptr && IsWindow(static_cast<HWND>(dialog)); }

void destroyFindDialog(void* dialog) {
    if (dialog == nullptr) return;
    if (static_cast<HWND>(dialog) == findDialogWindow) findDialogWindow = nullptr;
    DestroyWindow(static_cast<HWND>(dialog));
}

void focusMainWindow() { SetFocus(mainWindow); }

int showFindMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    HWND owner = findDialogWindow != nullptr ? findDialogWindow : mainWindow;
    return MessageBoxW(owner, gbkToWide(text).c_str(), gbkToWide(caption).c_str(), flags);
}

}  // namespace platform

// The dialog destroys itself once its FR_DIALOGTERM notification returns: forget its
// handle now, while the flag can still be read.
void beforeFindReplaceNotification(LPARAM notified) {
    // The dialog's notifications point to the record it was given; any other value is
    // not one of them and is never read through.
    if (reinterpret_cast<const FINDREPLACEW*>(notified) != &record) return;
    if (record.Flags & FR_DIALOGTERM) findDialogWindow = nullptr;
}
