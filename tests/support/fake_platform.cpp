#include "support/fake_platform.h"

#include "document/gbk.h"
#include "platform/cp936_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace {
FakePlatform* current = nullptr;

// A stream over a real file that takes `remaining` more bytes and then fails as a full
// disk does, so a test can break a save half-way.
struct WriteLimit {
    FILE* file;
    long remaining;
};

ssize_t limitedWrite(void* cookie, const char* bytes, size_t size) {
    auto* limit = static_cast<WriteLimit*>(cookie);
    const size_t allowed = std::min(size, static_cast<size_t>(limit->remaining));
    const size_t written = std::fwrite(bytes, 1, allowed, limit->file);
    limit->remaining -= static_cast<long>(written);
    if (written < size) errno = ENOSPC;
    return static_cast<ssize_t>(written);
}

int limitedClose(void* cookie) {
    auto* limit = static_cast<WriteLimit*>(cookie);
    const int result = std::fclose(limit->file);
    delete limit;
    return result;
}

FILE* openWriteLimitedStream(FILE* file, long writableBytes) {
    cookie_io_functions_t functions{};
    functions.write = limitedWrite;
    functions.close = limitedClose;
    return fopencookie(new WriteLimit{file, writableBytes}, "w", functions);
}

}  // namespace

FakePlatform& fake() {
    if (current == nullptr) current = new FakePlatform;
    return *current;
}

void resetFakePlatform() {
    delete current;
    current = new FakePlatform;
}

namespace platform {

int showMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    fake().messageBoxes.push_back({text, caption, flags});
    if (fake().messageBoxAnswers.empty()) return ANSWER_OK;
    const int answer = fake().messageBoxAnswers.front();
    fake().messageBoxAnswers.pop_front();
    return answer;
}

bool isKeyDown(int virtualKey) { return fake().keysDown.count(virtualKey) != 0; }

bool setClipboardText(const std::string& text, const std::u16string* unicode) {
    if (fake().clipboardRefuses) return false;
    fake().clipboard = text;
    fake().clipboardHasText = true;
    fake().clipboardUnicode = unicode ? *unicode : std::u16string();
    fake().clipboardHasUnicode = unicode != nullptr;
    return true;
}

bool getClipboardText(std::string& text) {
    if (!fake().clipboardHasText) return false;
    text = fake().clipboard;
    return true;
}

// The Unicode form given with the text, else the GBK text converted as Windows would
// (bytes that are no character become U+FFFD).
bool getClipboardUnicode(std::u16string& text) {
    if (!fake().clipboardHasText) return false;
    if (fake().clipboardHasUnicode) {
        text = fake().clipboardUnicode;
        return true;
    }
    text.clear();
    const std::string& gbk = fake().clipboard;
    for (size_t at = 0; at < gbk.size();) {
        const size_t length = isLeadByte(gbk[at]) && at + 1 < gbk.size() ? 2 : 1;
        uint16_t unit = 0xFFFD;
        codePage936ToUnit(gbk.data() + at, static_cast<int>(length), unit);
        text += static_cast<char16_t>(unit);
        at += length;
    }
    return true;
}

void setWindowTitle(const std::string& title) {
    fake().title = title;
    fake().titles.push_back(title);
}

void getClientSize(int& width, int& height) {
    width = fake().clientWidth;
    height = fake().clientHeight;
}

void invalidateRect(int left, int top, int right, int bottom, bool erase) {
    ++fake().invalidations;
    fake().invalidatedRects.push_back({left, top, right, bottom, erase});
}
void invalidateAll(bool) { ++fake().invalidations; }
void checkMenuItem(int commandId, bool checked) { fake().menuChecks[commandId] = checked; }
void enableMenuItem(int commandId, bool enabled) { fake().menuEnabled[commandId] = enabled; }
void postQuit(int exitCode) { fake().quitCodes.push_back(exitCode); }

void showPopupMenu(const std::vector<MenuItem>& items, int screenX, int screenY) {
    fake().lastPopupMenu = items;
    fake().popupX = screenX;
    fake().popupY = screenY;
}

bool hasKeyboardFocus() { return fake().hasFocus; }

void createCaret(int width, int height) {
    fake().caretExists = true;
    fake().caretVisible = false;
    fake().caretWidth = width;
    fake().caretHeight = height;
}
void setCaretPosition(int x, int y) {
    fake().caretX = x;
    fake().caretY = y;
}
void showCaret() { fake().caretVisible = fake().caretExists; }
void hideCaret() { fake().caretVisible = false; }
void destroyCaret() { fake().caretExists = fake().caretVisible = false; }

void setScrollBar(int minimum, int maximum, int page, int position) {
    fake().scrollMin = minimum;
    fake().scrollMax = maximum;
    fake().scrollPage = page;
    fake().scrollPos = position;
}

ScrollBarState getScrollBar() {
    ScrollBarState bar;
    bar.minimum = fake().scrollMin;
    bar.maximum = fake().scrollMax;
    bar.page = fake().scrollPage;
    bar.position = fake().scrollPos;
    bar.trackPosition = fake().scrollTrack;
    return bar;
}

void captureMouse() { fake().mouseCaptured = true; }
void releaseMouse() { fake().mouseCaptured = false; }

int screenPixelsPerInchY() { return 96; }

FontMetrics createFont(int slot, const FontRequest& request) {
    fake().fonts[slot] = request;
    FontMetrics metrics;
    metrics.height = request.height < 0 ? -request.height : request.height;
    metrics.ascent = metrics.height * 4 / 5;
    metrics.descent = metrics.height - metrics.ascent;
    metrics.averageCharWidth = 12;
    return metrics;
}

// Deterministic extents: 12 pixels per single byte, 24 per double-byte character.
int textExtent(int, const char* bytes, int length) {
    int width = 0;
    for (int i = 0; i < length; ++i) {
        if (isLeadByte(bytes[i]) && i + 1 < length) {
            width += 24;
            ++i;
        } else {
            width += 12;
        }
    }
    return width;
}

FILE* openFile(const std::string& path, const char* mode) {
    FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr || fake().writableBytes < 0 || std::strchr(mode, 'w') == nullptr) return file;
    return openWriteLimitedStream(file, fake().writableBytes);
}

bool flushToDisk(FILE* file) { return std::fflush(file) == 0 && !fake().flushToDiskFails; }

bool replaceFile(const std::string& temporary, const std::string& target) {
    return !fake().replaceFileFails && std::rename(temporary.c_str(), target.c_str()) == 0;
}

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool fullPath(const std::string& path, std::string& absolute) {
    absolute = (!path.empty() && path[0] == '/') ? path : fake().workingDirectory + "/" + path;
    return true;
}

FileStamp fileStamp(const std::string& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<uint64_t>(info.st_size);
    stamp.lastWriteTime = static_cast<uint64_t>(info.st_mtim.tv_sec) * 1000000000u + info.st_mtim.tv_nsec;
    return stamp;
}

bool createFolder(const std::string& path) {
    struct stat info {};
    return ::mkdir(path.c_str(), 0755) == 0 || (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

std::string localAppDataFolder() { return fake().localAppData; }

bool chooseFile(const FileDialogRequest& request, std::string& chosen) {
    fake().fileDialogs.push_back(request);
    if (fake().fileDialogAnswers.empty()) return false;
    chosen = fake().fileDialogAnswers.front();
    fake().fileDialogAnswers.pop_front();
    return !chosen.empty();
}

bool codePage936ToUnit(const char* bytes, int length, uint16_t& unit) { return cp936_table::toUnit(bytes, length, unit); }

// Code units below 0x80 map to one byte; 0x4E2D (中) and 0x6587 (文) to their GBK bytes;
// 0xFFFF cannot be converted; every other unit becomes the default character '?'.
int utf16UnitToAnsi(uint16_t unit, char out[4]) {
    if (unit == 0xFFFF) return 0;
    if (unit < 0x80) {
        out[0] = static_cast<char>(unit);
        return 1;
    }
    if (unit == 0x4E2D) { out[0] = '\xD6'; out[1] = '\xD0'; return 2; }
    if (unit == 0x6587) { out[0] = '\xCE'; out[1] = '\xC4'; return 2; }
    out[0] = '?';
    return 1;
}

void playSound(int resourceId) { fake().sounds.push_back(resourceId); }
void setTimer(int timerId, unsigned milliseconds) { fake().timers[timerId] = milliseconds; }
void killTimer(int timerId) { fake().timers.erase(timerId); }
LocalTime localTime() { return fake().time; }

void showMessageWindow(const MessageWindowRequest& request) { fake().messageWindows.push_back(request); }
void showAboutBox() { ++fake().aboutBoxes; }

// ==== Find and Replace dialogs ====

void* createFindDialog(const FindDialogRequest& request) {
    fake().findDialogsCreated.push_back(request);
    if (fake().findDialogFails) return nullptr;
    fake().hasFocus = false;  // a new dialog takes the focus
    static char handles[64];
    fake().findDialog = &handles[fake().findDialogsCreated.size() % sizeof handles];
    return fake().findDialog;
}

FindDialogReport readFindDialog() { return fake().findDialogReport; }

bool findDialogExists(void* dialog) { return dialog != nullptr && dialog == fake().findDialog; }

void destroyFindDialog(void* dialog) {
    ++fake().findDialogsDestroyed;
    if (dialog == fake().findDialog) fake().findDialog = nullptr;
}

void focusMainWindow() {
    ++fake().mainWindowFocused;
    fake().hasFocus = true;
}

int showFindMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    const int answer = showMessageBox(text, caption, flags);
    fake().messageBoxes.back().ownedByFindDialog = fake().findDialog != nullptr;
    return answer;
}

// ==== The quiz dialog ====

int showOwnedMessageBox(DialogOwner owner, const std::string& text, const std::string& caption, unsigned flags) {
    const int answer = showMessageBox(text, caption, flags);
    fake().messageBoxes.back().ownedByQuizDialog = owner == DialogOwner::QuizDialog && fake().quizOpen;
    return answer;
}

bool createQuizDialog() {
    fake().quizOpen = true;
    fake().quizVisible = false;
    fake().quizControls.clear();
    fake().quizFocus = 0;
    ++fake().quizDialogsCreated;
    return true;
}
bool quizDialogExists() { return fake().quizOpen; }
void showQuizDialog() { fake().quizVisible = fake().quizOpen; }
void bringQuizDialogForward() {
    ++fake().quizBroughtForward;
    fake().quizVisible = fake().quizOpen;
}
void destroyQuizDialog() {
    fake().quizOpen = fake().quizVisible = false;
    fake().quizControls.clear();
}
ControlRect getQuizControlRect(int controlId) { return fake().quizControls[controlId].rect; }
void placeQuizControl(int controlId, const ControlRect& rect) { fake().quizControls[controlId].rect = rect; }
void setQuizControlText(int controlId, const std::string& text) { fake().quizControls[controlId].text = text; }
std::string getQuizControlText(int controlId, int maxBytes) {
    const std::string& text = fake().quizControls[controlId].text;
    size_t length = 0;
    while (length < text.size()) {
        const size_t step = isLeadByte(text[length]) && length + 1 < text.size() ? 2 : 1;
        if (length + step > static_cast<size_t>(maxBytes)) break;
        length += step;
    }
    return text.substr(0, length);
}
bool isQuizBoxTicked(int controlId) { return fake().quizControls[controlId].ticked; }
void setQuizBoxTicked(int controlId, bool ticked) { fake().quizControls[controlId].ticked = ticked; }
void showQuizControl(int controlId, bool visible) { fake().quizControls[controlId].visible = visible; }
void enableQuizControl(int controlId, bool enabled) { fake().quizControls[controlId].enabled = enabled; }
void setQuizControlFont(int controlId, const FontRequest& font) { fake().quizControls[controlId].font = font; }
int quizFocusControl() { return fake().quizFocus; }
void focusQuizControl(int controlId) { fake().quizFocus = controlId; }

}  // namespace platform
