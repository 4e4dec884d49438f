// Asks Wine for one top-level window and says whether it got one. The test run starts
// this before any test: Wine's desktop process, made once per prefix session, decides
// whether any window can be made at all, and a bad start is cheaper to catch and retry
// here than as dozens of failed scenarios.
#include <windows.h>

#include <cstdio>

int main() {
    HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        std::printf("window probe: no window (error %lu)\n", GetLastError());
        return 1;
    }
    DestroyWindow(window);
    std::printf("window probe: a window can be made\n");
    return 0;
}
