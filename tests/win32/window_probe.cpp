// Asks Wine for one top-level window and says whether it got one. The test run starts
// this before any test: Wine's desktop process decides whether any window can be made at
// all, and a bad start is cheaper to catch and retry here than as dozens of failed
// scenarios.
//
// With --hold it then stays, windowless, until its Wine server is stopped. Wine ends its
// desktop process a moment after the last program exits and starts a new one with the
// next, so without a program that stays, every scenario would race a desktop that is
// going away; with one, the desktop lives for the whole run, as it does on Windows.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        std::printf("window probe: no window (error %lu)\n", GetLastError());
        return 1;
    }
    DestroyWindow(window);
    std::printf("window probe: a window can be made\n");
    std::fflush(stdout);
    if (argc > 1 && std::strcmp(argv[1], "--hold") == 0) Sleep(INFINITE);
    return 0;
}
