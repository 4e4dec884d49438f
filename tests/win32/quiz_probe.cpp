// Reads the quiz dialog of a running kesh.exe for the end-to-end scenarios: Wine gives a
// dialog's controls no X windows of their own, so their texts and states are asked for
// here, from another process, the way any Windows tool would.
//
//   kesh_quiz_probe.exe OUTFILE            one line per control: ID, visible, ticked,
//                                          screen rectangle, text (UTF-8)
//   kesh_quiz_probe.exe OUTFILE watch MS   "seen" once a window owned by the quiz dialog
//                                          (the message window) shows within MS milliseconds,
//                                          else "unseen"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int CONTROLS[] = {1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1020, 1021, 1022,
                        1023, 1024, 1028, 1031, 1032, 1033, 1034, 1035, 1038, 1040, 1041, 1042};

std::string utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

// The control's text through WM_GETTEXT, which reaches edit controls of another process too.
std::wstring textOf(HWND control) {
    wchar_t buffer[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
    return std::wstring(buffer);
}

// Line breaks and tabs escaped, so one control stays on one line.
std::string oneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

void describeControls(HWND dialog, FILE* out) {
    for (int id : CONTROLS) {
        HWND control = GetDlgItem(dialog, id);
        if (control == nullptr) continue;
        RECT area{};
        GetWindowRect(control, &area);
        DWORD_PTR state = 0;
        SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
        const bool visible = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
        std::fprintf(out, "%d\t%d\t%d\t%ld,%ld,%ld,%ld\t%s\n", id, visible ? 1 : 0, state == BST_CHECKED ? 1 : 0,
                     area.left, area.top, area.right, area.bottom, oneLine(utf8(textOf(control))).c_str());
    }
}

HWND quizDialog() { return FindWindowW(nullptr, L"\x505a\x9898"); }  // "做题"

struct OwnedSearch {
    HWND owner;
    bool found;
};

BOOL CALLBACK findOwned(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedSearch*>(context);
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool watchForOwnedWindow(HWND dialog, unsigned milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        OwnedSearch search{dialog, false};
        EnumWindows(findOwned, reinterpret_cast<LPARAM>(&search));
        if (search.found) return true;
        Sleep(5);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) return 2;
    HWND dialog = quizDialog();
    if (argc >= 4 && std::strcmp(argv[2], "watch") == 0) {
        const bool seen = dialog != nullptr && watchForOwnedWindow(dialog, static_cast<unsigned>(std::atoi(argv[3])));
        std::fprintf(out, seen ? "seen\n" : "unseen\n");
    } else if (dialog == nullptr) {
        std::fprintf(out, "none\n");
    } else {
        describeControls(dialog, out);
    }
    std::fclose(out);
    return 0;
}
