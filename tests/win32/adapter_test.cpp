// Tests of the Win32 adapter on its own, run under Wine (or Windows).
//
// The core is replaced by a recording stand-in (handleMessage, dropFile, beforeDispatch
// below), so each test shows exactly what the adapter turned a real Windows message into,
// and the seam functions are checked against what Windows then reports. Run it once with
// a Chinese locale and once with a Western one: GBK must survive both.

#include <windows.h>
#include <imm.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/message_loop.h"
#include "app/window_proc.h"
#include "platform/platform.h"
#include "app/messages.h"
#include "view/frame.h"
#include "view/layout.h"
#include "win32/adapter_state.h"
#include "win32/fonts.h"
#include "win32/main_window.h"
#include "win32/message_pump.h"
#include "win32/painter.h"
#include "win32/text_conversion.h"

// ==== A small harness ====

namespace {

int failures = 0;
const char* group = "";

void expect(bool ok, const char* what, int line) {
    if (ok) return;
    ++failures;
    std::printf("FAIL [%s] line %d: %s\n", group, line, what);
}

std::string hex(const std::string& bytes) {
    std::string out;
    char digits[4];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        out += digits;
    }
    return out;
}

void expectBytes(const std::string& actual, const std::string& expected, int line) {
    if (actual == expected) return;
    ++failures;
    std::printf("FAIL [%s] line %d: got %s, want %s\n", group, line, hex(actual).c_str(), hex(expected).c_str());
}

}  // namespace

#define EXPECT(condition) expect((condition), #condition, __LINE__)
#define EXPECT_BYTES(actual, expected) expectBytes((actual), (expected), __LINE__)

// ==== The recording stand-in for the core ====

namespace {

struct CoreCall {
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
};
std::vector<CoreCall> coreCalls;
std::vector<std::string> droppedFiles;
std::vector<FocusOwner> focusAtKeys;
std::vector<WPARAM> quizKeys;
constexpr UINT MSG_CORE_THROWS = WM_APP + 1;

// The calls the core received with this message number, in order.
std::vector<CoreCall> callsOf(unsigned message) {
    std::vector<CoreCall> found;
    for (const CoreCall& call : coreCalls)
        if (call.message == message) found.push_back(call);
    return found;
}

}  // namespace

MessageResult handleMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (message == MSG_CORE_THROWS) throw std::runtime_error("the core failed");
    coreCalls.push_back(CoreCall{message, wParam, lParam});
    if (message == MSG_CLOSE) return MessageResult{false, 0};
    if (message == MSG_IME_CHAR) return MessageResult{false, 1};
    return MessageResult{true, 0};
}

void dropFile(const std::string& firstFile) { droppedFiles.push_back(firstFile); }

// The frame the stand-in lays out for the painter, and the caret placements asked for.
namespace {
Frame standInFrame;
int caretPlacements = 0;
}  // namespace

void buildFrame(Frame& frame) { frame = standInFrame; }
int TextRun::width() const {
    int sum = 0;
    for (int advance : advances) sum += advance;
    return sum;
}
void ensureCaretVisible() { ++caretPlacements; }

// The quiz dialog's commands and keys as the core would receive them; the close box
// ends the dialog as the core's close command does.
namespace {
std::vector<int> quizCommandsReceived;
std::vector<int> quizKeysReceived;
}  // namespace
void quizCommand(int commandId) {
    quizCommandsReceived.push_back(commandId);
    if (commandId == IDCANCEL) platform::destroyQuizDialog();
}
void quizKey(int virtualKey) { quizKeysReceived.push_back(virtualKey); }

LoopStep beforeDispatch(FocusOwner focus, unsigned message, uintptr_t) {
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return LoopStep::Dispatch;
    focusAtKeys.push_back(focus);
    return focus == FocusOwner::QuizDialog && message == WM_KEYDOWN ? LoopStep::ForwardToQuiz : LoopStep::Dispatch;
}

// ==== Conversion at the boundary ====

namespace {

void testTypedCharacters() {
    group = "typed characters";
    struct Case {
        wchar_t unit;
        const char* bytes;  // expected GBK; empty: dropped
    } cases[] = {
        {L'a', "a"},          {0x4E2D, "中"},  {0x3001, "、"},  {0xFF01, "！"},
        {0xD83D, ""},         {0xDE00, ""},     // surrogate halves
        {0xAC00, ""},                            // Hangul: not in GBK, never a '?'
    };
    for (const Case& c : cases) {
        unsigned char out[2] = {};
        const int count = typedUnitToGbk(c.unit, out);
        EXPECT_BYTES(std::string(reinterpret_cast<char*>(out), static_cast<size_t>(count)), c.bytes);
    }
    char ansi[4] = {};
    EXPECT(platform::utf16UnitToAnsi(0x6587, ansi) == 2 && std::memcmp(ansi, "文", 2) == 0);
    EXPECT(platform::utf16UnitToAnsi(L'A', ansi) == 1 && ansi[0] == 'A');
}

void testStringConversion() {
    group = "string conversion";
    std::string gbk;
    EXPECT(wideToGbkExactly(L"Z:\\甲\\乙.txt", gbk));
    EXPECT_BYTES(gbk, "Z:\\甲\\乙.txt");
    EXPECT(!wideToGbkExactly(L"Z:\\\xAC00.txt", gbk));
}

void testFacePrefix() {
    group = "face name prefix";
    const std::string sixteenWide = "一二三四五六七八九十甲乙丙丁戊己";  // 32 bytes
    struct Case {
        std::string text;
        size_t limit, expected;
    } cases[] = {
        {"SimSun", 31, 6},
        {sixteenWide, 31, 30},              // the 16th character does not fit whole
        {"a" + sixteenWide.substr(0, 30), 31, 31},
        {"\x81\x7C\x81\x7C", 3, 2},         // a trail byte that looks like '|'
        {"中", 1, 0},
        {"", 31, 0},
    };
    for (const Case& c : cases) EXPECT(gbkPrefixLength(c.text, c.limit) == c.expected);
}

void testDialogFilter() {
    group = "dialog filter";
    const wchar_t expected[] = L"Text(.txt)\0*.txt\0All(*.*)\0*.*\0";  // + the closing empty string
    EXPECT(dialogFilterFromGbk("Text(.txt)|*.txt|All(*.*)|*.*|") ==
           std::wstring(expected, sizeof expected / sizeof expected[0]));
    // 0x81 0x7C is one GBK character; its second byte must not become a separator.
    const std::wstring filter = dialogFilterFromGbk("\x81\x7C|*.x|");
    EXPECT(filter.size() == 7 && filter[0] != L'\0' && filter[1] == L'\0' && filter[2] == L'*' && filter[6] == L'\0');
}

// ==== Files ====

// Makes an empty scratch folder and enters it.
void enterScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"kesh_adapter_test";
    CreateDirectoryW(folder.c_str(), nullptr);
    SetCurrentDirectoryW(folder.c_str());
}

// Wine keeps file names in the Unix locale's character set; when that locale is not
// installed it is ASCII and no Chinese name can be made, whatever Kesh does.
bool canStoreChineseNames() {
    FILE* probe = _wfopen(L"\x4E2D.probe", L"wb");
    if (probe == nullptr) return false;
    std::fclose(probe);
    DeleteFileW(L"\x4E2D.probe");
    return true;
}

void testFileNameChecks() {
    group = "file names";
    std::string absolute;
    const std::string withNul("a.txt\0b", 7);
    EXPECT(!platform::fullPath(withNul, absolute));
    EXPECT(platform::openFile(withNul, "rb") == nullptr);
    EXPECT(platform::openFile("", "rb") == nullptr);
    EXPECT(!platform::fullPath("", absolute));
}

void testChineseFileNames() {
    group = "Chinese file names";
    FILE* written = platform::openFile("测试文件.txt", "wb");
    EXPECT(written != nullptr);
    if (written != nullptr) std::fclose(written);
    // The GBK name must be the same file the wide API sees, whatever the system code page.
    FILE* seen = _wfopen(L"测试文件.txt", L"rb");
    EXPECT(seen != nullptr);
    if (seen != nullptr) std::fclose(seen);

    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::string absolute;
    EXPECT(platform::fullPath("测试文件.txt", absolute));
    EXPECT_BYTES(absolute, wideToGbk(std::wstring(folder) + L"\\测试文件.txt"));

    // A name GBK cannot write reaches the core as another name of the same file.
    FILE* hangul = _wfopen(L"\xD55C\xAE00.txt", L"wb");
    if (hangul != nullptr) std::fclose(hangul);
    const std::string forCore = fileNameToGbk(std::wstring(folder) + L"\\\xD55C\xAE00.txt");
    EXPECT(forCore.find('?') == std::string::npos);
    FILE* reopened = platform::openFile(forCore, "rb");
    EXPECT(reopened != nullptr);
    if (reopened != nullptr) std::fclose(reopened);
}

void testFiles() {
    enterScratchFolder();
    testFileNameChecks();
    if (canStoreChineseNames())
        testChineseFileNames();
    else
        std::printf("SKIP [Chinese file names]: this Wine cannot store non-ASCII names (Unix locale missing)\n");
}

// ==== Clipboard ====

std::wstring clipboardUnicode() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* wide = static_cast<const wchar_t*>(GlobalLock(block))) {
            text = wide;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

void testClipboard() {
    group = "clipboard";
    EXPECT(platform::setClipboardText("中文abc"));
    EXPECT(clipboardUnicode() == L"中文abc");
    std::string text;
    EXPECT(platform::getClipboardText(text));
    EXPECT_BYTES(text, "中文abc");

    EXPECT(platform::setClipboardText(""));
    EXPECT(platform::getClipboardText(text));
    EXPECT(text.empty());

    // Characters GBK lacks go out as themselves when the core gives their Unicode form.
    const std::u16string emoji = u"a\U0001F600";
    EXPECT(platform::setClipboardText("a?", &emoji));
    EXPECT(clipboardUnicode() == L"a\U0001F600");
    std::u16string units;
    EXPECT(platform::getClipboardUnicode(units) && units == emoji);

    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    EXPECT(!platform::getClipboardText(text));
}

// ==== Code page 936 ====

// The native tests convert with a table written from this conversion; it must still be
// the system's, entry for entry (0x80 is the euro sign, A1A4 U+00B7, A1AA U+2014).
void testCodePageTable() {
    group = "code page table";
    static const char* const ROWS[] = {
#include "platform/cp936_table.inc"
    };
    int differences = 0;
    auto check = [&](const char* bytes, int length, const char* digits) {
        uint16_t unit = 0;
        const bool converted = platform::codePage936ToUnit(bytes, length, unit);
        char expected[8] = "....";
        if (converted) std::snprintf(expected, sizeof expected, "%04X", unit);
        if (std::strncmp(expected, digits, 4) != 0 && ++differences <= 5)
            std::printf("FAIL [%s] %02X%02X: system %s, table %.4s\n", group, static_cast<unsigned char>(bytes[0]),
                        length > 1 ? static_cast<unsigned char>(bytes[1]) : 0, expected, digits);
    };
    for (int byte = 0; byte < 256; ++byte) {
        const char single = static_cast<char>(byte);
        check(&single, 1, ROWS[0] + 2 + 4 * byte);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            check(pair, 2, ROWS[lead - 0x80] + 2 + 4 * (trail - 0x40));
        }
    failures += differences;
}

// ==== Fonts ====

void testFonts() {
    group = "fonts";
    platform::FontRequest request;
    request.height = -16;
    request.faceName = "宋体";
    const platform::FontMetrics metrics = platform::createFont(0, request);
    EXPECT(metrics.height > 0 && metrics.ascent > 0 && metrics.averageCharWidth > 0);
    const int wide = platform::textExtent(0, "中", 2);
    const int narrow = platform::textExtent(0, "a", 1);
    EXPECT(narrow > 0 && wide >= narrow);
    EXPECT(platform::textExtent(0, "中", 0) == 0);

    HFONT first = fontForSlot(0);
    request.bold = true;
    request.faceName = "一二三四五六七八九十甲乙丙丁戊己";
    platform::createFont(0, request);
    EXPECT(fontForSlot(0) != first && GetObjectType(first) == 0);  // the old font was deleted
    LOGFONTW description{};
    GetObjectW(fontForSlot(0), sizeof description, &description);
    EXPECT(description.lfWeight == FW_BOLD && description.lfCharSet == GB2312_CHARSET);
    EXPECT(std::wstring(description.lfFaceName) == L"一二三四五六七八九十甲乙丙丁戊");

    EXPECT(platform::createFont(FONT_SLOT_COUNT, request).height == 0);
    EXPECT(fontForSlot(FONT_SLOT_COUNT) == nullptr && fontForSlot(-1) == nullptr);
    EXPECT(platform::textExtent(-1, "a", 1) > 0);  // the DC's own font, not a crash
    releaseFonts();
    EXPECT(fontForSlot(0) == nullptr);
}

// ==== The main window ====

LRESULT sendChar(UINT message, wchar_t unit) {
    coreCalls.clear();
    return SendMessageW(mainWindow, message, unit, 0);
}

std::string charBytesReceived() {
    std::string bytes;
    for (const CoreCall& call : callsOf(MSG_CHAR)) bytes += static_cast<char>(call.wParam);
    return bytes;
}

void testCharacters() {
    group = "WM_CHAR and WM_IME_CHAR";
    sendChar(WM_CHAR, 0x4E2D);
    EXPECT_BYTES(charBytesReceived(), "中");  // two MSG_CHAR, lead byte first
    sendChar(WM_CHAR, L'a');
    EXPECT_BYTES(charBytesReceived(), "a");
    for (wchar_t dropped : {wchar_t(0xD83D), wchar_t(0xDE00), wchar_t(0xAC00)}) {
        sendChar(WM_CHAR, dropped);
        EXPECT(coreCalls.empty());
    }

    EXPECT(sendChar(WM_IME_CHAR, 0x6587) == 1);
    const std::vector<CoreCall> ime = callsOf(MSG_IME_CHAR);
    EXPECT(ime.size() == 1 && ime[0].wParam == 0xCEC4 && callsOf(MSG_CHAR).empty());

    EXPECT(sendChar(WM_IME_CHAR, L'b') == 0);
    EXPECT_BYTES(charBytesReceived(), "b");
    MSG pending;
    EXPECT(!PeekMessageW(&pending, mainWindow, WM_CHAR, WM_CHAR, PM_REMOVE));  // not typed twice
}

void testRoutedMessages() {
    group = "routed messages";
    const UINT findReplace = RegisterWindowMessageW(L"commdlg_FindReplace");
    coreCalls.clear();
    SendMessageW(mainWindow, findReplace, 0, 1234);
    const std::vector<CoreCall> notices = callsOf(MSG_FIND_REPLACE_NOTIFY);
    EXPECT(notices.size() == 1 && notices[0].lParam == 1234);

    const UINT stranger = RegisterWindowMessageW(L"KeshAdapterTestStranger");
    coreCalls.clear();
    SendMessageW(mainWindow, stranger, 0, 0);
    EXPECT(coreCalls.empty());

    EXPECT(SendMessageW(mainWindow, WM_CLOSE, 0, 0) == 0);
    EXPECT(IsWindow(mainWindow));  // only the core ends the program
    EXPECT(SendMessageW(mainWindow, MSG_CORE_THROWS, 0, 0) == 0);
    EXPECT(IsWindow(mainWindow));
}

HGLOBAL makeDrop(const wchar_t* names, size_t units) {
    const size_t size = sizeof(DROPFILES) + units * sizeof(wchar_t);
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names, units * sizeof(wchar_t));
    GlobalUnlock(drop);
    return drop;
}

void testDroppedFiles() {
    group = "dropped files";
    const wchar_t names[] = L"C:\\中文\\甲.txt\0C:\\second.txt\0";
    droppedFiles.clear();
    SendMessageW(mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(names, sizeof names / sizeof names[0])), 0);
    EXPECT(droppedFiles.size() == 1);
    if (!droppedFiles.empty()) EXPECT_BYTES(droppedFiles[0], "C:\\中文\\甲.txt");
}

void testTitle() {
    group = "title";
    platform::setWindowTitle("甲.txt - Kesh");
    wchar_t title[64];
    GetWindowTextW(mainWindow, title, 64);
    EXPECT(std::wstring(title) == L"甲.txt - Kesh");
}

void testCaretAndIme() {
    group = "caret and IME";
    platform::createCaret(2, 18);
    platform::setCaretPosition(30, 40);
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT(caret.x == 30 && caret.y == 40);
    HIMC context = ImmGetContext(mainWindow);
    EXPECT(context != nullptr);
    if (context == nullptr) return;
    COMPOSITIONFORM composition{};
    ImmGetCompositionWindow(context, &composition);
    EXPECT(composition.dwStyle == CFS_POINT && composition.ptCurrentPos.x == 30 && composition.ptCurrentPos.y == 40);
    CANDIDATEFORM candidate{};
    ImmGetCandidateWindow(context, 0, &candidate);
    EXPECT(candidate.dwStyle == CFS_EXCLUDE && candidate.rcArea.left == 30 && candidate.rcArea.top == 40 &&
           candidate.rcArea.right == 32 && candidate.rcArea.bottom == 64);
    ImmReleaseContext(mainWindow, context);
    platform::destroyCaret();
}

// ==== Painting ====

// The painter draws the core's runs where the frame puts them: an opaque run fills its
// cell with its background, a transparent one leaves the background alone.
void testPainter() {
    group = "painter";
    standInFrame = Frame{};
    standInFrame.width = 200;
    standInFrame.height = 100;
    standInFrame.background = RGB(0, 0, 0);
    TextRun selected;
    selected.x = 10;
    selected.y = 20;
    selected.textColour = RGB(0xDD, 0xDD, 0xDD);
    selected.backgroundColour = RGB(0x00, 0x00, 0xA6);
    selected.opaque = true;
    selected.cellHeight = 24;
    selected.bytes = "  ";
    selected.advances = {30, 30};
    standInFrame.text.push_back(selected);
    TextRun plain = selected;
    plain.y = 60;
    plain.opaque = false;
    standInFrame.text.push_back(plain);

    HDC screen = GetDC(mainWindow);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    drawFrame(memory, 200, 100);
    EXPECT(GetPixel(memory, 5, 5) == RGB(0, 0, 0));
    EXPECT(GetPixel(memory, 12, 22) == RGB(0x00, 0x00, 0xA6));
    EXPECT(GetPixel(memory, 69, 43) == RGB(0x00, 0x00, 0xA6));
    EXPECT(GetPixel(memory, 70, 30) == RGB(0, 0, 0));  // the cell ends after 60 pixels
    EXPECT(GetPixel(memory, 12, 62) == RGB(0, 0, 0));  // transparent spaces leave black
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(mainWindow, screen);
    standInFrame = Frame{};

    const int before = caretPlacements;
    SendMessageW(mainWindow, WM_SETFOCUS, 0, 0);
    EXPECT(caretPlacements == before + 1);  // the caret is made again with the focus
}

// ==== The message loop ====

LRESULT CALLBACK quizProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) quizKeys.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makePopup(const wchar_t* className) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = quizProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    HWND popup = CreateWindowExW(0, className, L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    return popup;
}

// Posts one message, then the quit message, and runs the loop over them.
int loopOver(HWND target, UINT message, WPARAM wParam, LPARAM lParam, HACCEL accelerators) {
    PostMessageW(target, message, wParam, lParam);
    PostQuitMessage(7);
    return runMessageLoop(accelerators);
}

void testMessageLoop() {
    group = "message loop";
    HACCEL accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(109));
    quizDialogWindow = makePopup(L"KeshTestQuiz");
    findDialogWindow = makePopup(L"KeshTestFind");
    HWND findEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, findDialogWindow,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);

    SetFocus(quizDialogWindow);
    focusAtKeys.clear();
    quizKeys.clear();
    EXPECT(loopOver(quizDialogWindow, WM_KEYDOWN, 'A', 0, accelerators) == 7);
    EXPECT(focusAtKeys.size() == 1 && focusAtKeys[0] == FocusOwner::QuizDialog);
    EXPECT(quizKeys.size() == 1 && quizKeys[0] == 'A');  // sent once, not also dispatched

    SetFocus(findEdit);
    focusAtKeys.clear();
    loopOver(findEdit, WM_KEYDOWN, 'B', 0, accelerators);
    EXPECT(focusAtKeys.size() == 1 && focusAtKeys[0] == FocusOwner::FindDialog);

    // Alt+/ is an accelerator: the About command arrives, the key itself does not.
    SetFocus(mainWindow);
    focusAtKeys.clear();
    coreCalls.clear();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = 0x80;  // a posted key does not press Alt; the accelerator checks it
    SetKeyboardState(keys);
    loopOver(mainWindow, WM_SYSKEYDOWN, VK_OEM_2, 1 << 29, accelerators);
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT(focusAtKeys.size() == 1 && focusAtKeys[0] == FocusOwner::MainWindow);
    const std::vector<CoreCall> commands = callsOf(MSG_COMMAND);
    EXPECT(commands.size() == 1 && lowWord(commands[0].wParam) == CMD_ABOUT);
    EXPECT(callsOf(MSG_SYSKEYDOWN).empty());

    DestroyWindow(findDialogWindow);
    DestroyWindow(quizDialogWindow);
    quizDialogWindow = findDialogWindow = nullptr;
}

// ==== The quiz dialog ====

void testQuizDialog() {
    group = "quiz dialog";
    EXPECT(platform::createQuizDialog());
    EXPECT(platform::quizDialogExists());
    EXPECT(!IsWindowVisible(quizDialogWindow));  // filled first, shown afterwards
    EXPECT(GetWindow(quizDialogWindow, GW_OWNER) == mainWindow);
    int controls = 0;
    for (HWND child = GetWindow(quizDialogWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++controls;
    EXPECT(controls == 32);

    platform::setQuizControlText(1005, "1.题目\r\n①甲");
    EXPECT_BYTES(platform::getQuizControlText(1005, 100), "1.题目\r\n①甲");
    EXPECT_BYTES(platform::getQuizControlText(1005, 5), "1.题");  // never half a character
    platform::setQuizBoxTicked(1035, true);
    EXPECT(platform::isQuizBoxTicked(1035));
    platform::setQuizBoxTicked(1035, false);
    EXPECT(!platform::isQuizBoxTicked(1035));
    platform::placeQuizControl(1007, {11, 61, 300, 33});
    const platform::ControlRect placed = platform::getQuizControlRect(1007);
    EXPECT(placed.left == 11 && placed.top == 61 && placed.width == 300 && placed.height == 33);
    platform::showQuizControl(1007, true);
    EXPECT(GetWindowLongW(GetDlgItem(quizDialogWindow, 1007), GWL_STYLE) & WS_VISIBLE);
    platform::enableQuizControl(1028, true);
    EXPECT(IsWindowEnabled(GetDlgItem(quizDialogWindow, 1028)));

    platform::FontRequest font;
    font.height = -16;
    font.faceName = "微软雅黑";
    platform::setQuizControlFont(1005, font);
    platform::setQuizControlFont(1006, font);
    const LRESULT questionFont = SendDlgItemMessageW(quizDialogWindow, 1005, WM_GETFONT, 0, 0);
    EXPECT(questionFont != 0 && questionFont == SendDlgItemMessageW(quizDialogWindow, 1006, WM_GETFONT, 0, 0));

    platform::showQuizDialog();
    EXPECT(IsWindowVisible(quizDialogWindow));
    platform::focusQuizControl(1031);
    EXPECT(platform::quizFocusControl() == 1031);

    // A click ticks the option box itself before the core hears of it.
    quizCommandsReceived.clear();
    SendDlgItemMessageW(quizDialogWindow, 1006, BM_CLICK, 0, 0);
    EXPECT(platform::isQuizBoxTicked(1006));
    // (The position field, losing the focus to the box, reports that under its own ID.)
    EXPECT(!quizCommandsReceived.empty() && quizCommandsReceived.back() == 1006);
    SendMessageW(quizDialogWindow, WM_KEYDOWN, 'U', 0);
    EXPECT(quizKeysReceived.size() == 1 && quizKeysReceived[0] == 'U');

    SendMessageW(quizDialogWindow, WM_CLOSE, 0, 0);
    EXPECT(quizCommandsReceived.back() == IDCANCEL);
    EXPECT(!platform::quizDialogExists() && quizDialogWindow == nullptr);
}

}  // namespace

int main() {
    programInstance = GetModuleHandleW(nullptr);
    std::printf("system code page %u\n", GetACP());
    testTypedCharacters();
    testStringConversion();
    testFacePrefix();
    testDialogFilter();
    testFiles();
    testClipboard();
    testCodePageTable();
    testFonts();

    if (!registerMainWindowClass(programInstance, L"KeshAdapterTest") ||
        createMainWindow(programInstance, L"KeshAdapterTest", L"Kesh") == nullptr) {
        const char* display = std::getenv("DISPLAY");
        std::printf("FAIL: the main window cannot be created (error %lu, DISPLAY=%s)\n",
                    GetLastError(), display ? display : "(unset)");
        return 1;
    }
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    testCharacters();
    testRoutedMessages();
    testDroppedFiles();
    testTitle();
    testCaretAndIme();
    testPainter();
    testMessageLoop();
    testQuizDialog();

    std::printf(failures == 0 ? "all adapter tests passed\n" : "%d adapter check(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}
