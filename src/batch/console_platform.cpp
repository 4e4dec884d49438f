// The portable part of the console's seam. The file functions and the character
// conversion depend on the system and live beside it (console_files_posix.cpp here, the
// Win32 file functions on Windows).
#include "batch/console_platform.h"

#include <ctime>
#include <set>

namespace {

std::vector<ConsoleBox> boxes;
int questionAnswer = platform::ANSWER_NO;
std::set<int> keysDown;
platform::FindDialogReport findReport;
// The stand-in find dialog's handle: any non-null address names it while it is open.
char findDialogHandle;
bool findDialogOpen = false;
bool quizDialogOpen = false;

// Every character is this wide: the layout works in whole characters, which is all a
// console program needs of it.
constexpr int CHARACTER_WIDTH = 8;
constexpr int LINE_HEIGHT_PIXELS = 16;

}  // namespace

std::vector<ConsoleBox>& consoleBoxes() { return boxes; }
void setConsoleAnswer(int answer) { questionAnswer = answer; }
void setConsoleKeyDown(int virtualKey, bool down) {
    if (down) keysDown.insert(virtualKey);
    else keysDown.erase(virtualKey);
}
void setConsoleFindReport(const platform::FindDialogReport& report) { findReport = report; }

namespace platform {

int showMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    boxes.push_back({text, caption, flags});
    return (flags & 0xF) == BOX_OK ? ANSWER_OK : questionAnswer;
}
int showOwnedMessageBox(DialogOwner, const std::string& text, const std::string& caption, unsigned flags) {
    return showMessageBox(text, caption, flags);
}
int showFindMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return showMessageBox(text, caption, flags);
}

bool isKeyDown(int virtualKey) { return keysDown.count(virtualKey) != 0; }

bool setClipboardText(const std::string&, const std::u16string*) { return true; }
bool getClipboardText(std::string&) { return false; }
bool getClipboardUnicode(std::u16string&) { return false; }

void setWindowTitle(const std::string&) {}
// A window as wide as a wide terminal, so the layout never wraps what it need not.
void getClientSize(int& width, int& height) {
    width = 160 * CHARACTER_WIDTH;
    height = 50 * LINE_HEIGHT_PIXELS;
}
void invalidateRect(int, int, int, int, bool) {}
void invalidateAll(bool) {}
void checkMenuItem(int, bool) {}
void enableMenuItem(int, bool) {}
void postQuit(int) {}
void showPopupMenu(const std::vector<MenuItem>&, int, int) {}

bool hasKeyboardFocus() { return false; }
void createCaret(int, int) {}
void setCaretPosition(int, int) {}
void showCaret() {}
void hideCaret() {}
void destroyCaret() {}

void setScrollBar(int, int, int, int) {}
ScrollBarState getScrollBar() { return {}; }
void captureMouse() {}
void releaseMouse() {}

int screenPixelsPerInchY() { return 96; }
FontMetrics createFont(int, const FontRequest& request) {
    FontMetrics metrics;
    metrics.height = request.height < 0 ? -request.height : request.height;
    if (metrics.height == 0) metrics.height = LINE_HEIGHT_PIXELS;
    metrics.ascent = metrics.height * 4 / 5;
    metrics.descent = metrics.height - metrics.ascent;
    metrics.averageCharWidth = CHARACTER_WIDTH;
    return metrics;
}
// Single bytes one width, double-byte characters two, as a console shows them.
int textExtent(int, const char*, int length) { return length * CHARACTER_WIDTH; }

void playSound(int) {}
void setTimer(int, unsigned) {}
void killTimer(int) {}
LocalTime localTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* parts = std::localtime(&now);
    LocalTime time;
    if (parts == nullptr) return time;
    time.year = parts->tm_year + 1900;
    time.month = parts->tm_mon + 1;
    time.day = parts->tm_mday;
    time.hour = parts->tm_hour;
    time.minute = parts->tm_min;
    time.second = parts->tm_sec;
    return time;
}

void showMessageWindow(const MessageWindowRequest& request) { boxes.push_back({request.text, "", BOX_OK}); }
void showAboutBox() {}

// The quiz dialog exists only as a record that it is open; every type box is ticked, so
// a bank is read whole.
bool createQuizDialog() { return quizDialogOpen = true; }
bool quizDialogExists() { return quizDialogOpen; }
void showQuizDialog() {}
void bringQuizDialogForward() {}
void destroyQuizDialog() { quizDialogOpen = false; }
ControlRect getQuizControlRect(int) { return {}; }
void placeQuizControl(int, const ControlRect&) {}
void setQuizControlText(int, const std::string&) {}
std::string getQuizControlText(int, int) { return ""; }
bool isQuizBoxTicked(int) { return true; }
void setQuizBoxTicked(int, bool) {}
void showQuizControl(int, bool) {}
void enableQuizControl(int, bool) {}
void setQuizControlFont(int, const FontRequest&) {}
int quizFocusControl() { return 0; }
void focusQuizControl(int) {}

void* createFindDialog(const FindDialogRequest&) {
    findDialogOpen = true;
    return &findDialogHandle;
}
FindDialogReport readFindDialog() { return findReport; }
bool findDialogExists(void* dialog) { return findDialogOpen && dialog == &findDialogHandle; }
void destroyFindDialog(void*) { findDialogOpen = false; }
void focusMainWindow() {}

}  // namespace platform
