// Kesh's entry point: creates the main window, starts the core, runs the message loop.

#include <windows.h>

#include <string>

#include "app/startup.h"
#include "win32/adapter_state.h"
#include "win32/fonts.h"
#include "win32/main_window.h"
#include "win32/message_pump.h"
#include "win32/text_conversion.h"

namespace {

constexpr UINT RES_TITLE_STRING = 103;
constexpr UINT RES_CLASS_NAME_STRING = 109;
constexpr int RES_ACCELERATORS = 109;
// Room for the title and the class name, terminator included.
constexpr int RESOURCE_STRING_SIZE = 100;

// Loads a string resource into `buffer`; the program's name when the resource is missing.
void loadResourceString(HINSTANCE instance, UINT id, wchar_t (&buffer)[RESOURCE_STRING_SIZE]) {
    if (LoadStringW(instance, id, buffer, RESOURCE_STRING_SIZE) <= 0) lstrcpynW(buffer, L"Kesh", RESOURCE_STRING_SIZE);
}

// Starts the core with the command line as typed after the program name, quotes and
// all, in GBK. If the core fails to start, the window stays up so the user can close it.
void startCore(const wchar_t* commandLine) {
    try {
        const std::string gbk = commandLine != nullptr ? wideToGbk(std::wstring(commandLine)) : std::string();
        startKesh(gbk.c_str());
    } catch (...) {
    }
}

void shutDownCore() {
    try {
        shutDownKesh();
    } catch (...) {
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    programInstance = instance;
    wchar_t title[RESOURCE_STRING_SIZE];
    wchar_t className[RESOURCE_STRING_SIZE];
    loadResourceString(instance, RES_TITLE_STRING, title);
    loadResourceString(instance, RES_CLASS_NAME_STRING, className);

    registerMainWindowClass(instance, className);
    HWND window = createMainWindow(instance, className, title);
    if (window == nullptr) return 1;  // no window, no session: say so to whoever started us
    mainWindow = window;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(RES_ACCELERATORS));

    startCore(commandLine);
    const int exitCode = runMessageLoop(accelerators);
    shutDownCore();
    releaseFonts();
    return exitCode;
}
