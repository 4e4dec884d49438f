// The console program's system parts on Windows: arguments read as UTF-16 and turned into
// GBK, binary standard streams, a scratch file and the UTF-16 conversion of 16-bit text
// files. Files themselves go through the window's own functions (platform_files.cpp).

#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "platform/console.h"
#include "platform/platform.h"
#include "win32/text_conversion.h"

namespace console {

void prepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
}

// The wide command line, so arguments keep every character whatever the system code page.
// A file name is given to the core in GBK, or as its short name when GBK cannot write it.
std::vector<Argument> arguments(int, char**) {
    std::vector<Argument> all;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return all;
    for (int i = 1; i < count; ++i) all.push_back({wideToGbk(std::wstring(wide[i])), fileNameToGbk(wide[i])});
    LocalFree(wide);
    return all;
}

// A Chinese console shows GBK itself; others show what their code page makes of it.
std::string forTerminal(const std::string& gbk) {
    const std::wstring wide = gbkToWide(gbk);
    const UINT codePage = GetConsoleOutputCP();
    if (codePage == 0 || codePage == 936) return gbk;
    const int size = WideCharToMultiByte(codePage, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return gbk;
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.c_str(), static_cast<int>(wide.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::string makeScratchFile() {
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"kb", 0, name) == 0) return "";
    std::string gbk;
    return wideToGbkExactly(name, gbk) ? gbk : "";
}

}  // namespace console

