// The seam's files: names arrive in GBK and are opened through the wide C runtime, so
// Chinese names work whatever the system code page is.

#include <windows.h>
#include <commdlg.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "win32/adapter_state.h"
#include "win32/text_conversion.h"

namespace {

// The Open dialog's file name buffer, terminator included.
constexpr DWORD FILE_NAME_BUFFER = 260;

// A name with a NUL inside would be cut there by the system and name another file.
bool isUsableName(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

}  // namespace

namespace platform {

FILE* openFile(const std::string& path, const char* mode) {
    if (mode == nullptr || !isUsableName(path)) return nullptr;
    const std::wstring widePath = gbkToWide(path);
    const std::wstring wideMode(mode, mode + std::strlen(mode));  // "rb", "wb": ASCII
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

// _commit asks the system to write the file's buffers to the disk (FlushFileBuffers).
bool flushToDisk(FILE* file) { return file != nullptr && std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk, so a crash right
// after a save finds either the old file or the new one, never neither.
bool replaceFile(const std::string& temporary, const std::string& target) {
    if (!isUsableName(temporary) || !isUsableName(target)) return false;
    return MoveFileExW(gbkToWide(temporary).c_str(), gbkToWide(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const std::string& path) {
    return isUsableName(path) && DeleteFileW(gbkToWide(path).c_str()) != 0;
}

bool fullPath(const std::string& path, std::string& absolute) {
    if (!isUsableName(path)) return false;
    wchar_t* full = _wfullpath(nullptr, gbkToWide(path).c_str(), 0);
    if (full == nullptr) return false;
    const std::wstring wide(full);
    std::free(full);
    // A directory named with characters GBK lacks cannot be written in GBK: keep the name.
    return wideToGbkExactly(wide, absolute);
}

FileStamp fileStamp(const std::string& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!isUsableName(path) || !GetFileAttributesExW(gbkToWide(path).c_str(), GetFileExInfoStandard, &data))
        return stamp;
    stamp.exists = true;
    stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWriteTime =
        (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

bool createFolder(const std::string& path) {
    if (!isUsableName(path)) return false;
    const std::wstring wide = gbkToWide(path);
    if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The environment names it on every Windows since Vista (and under Wine). A folder whose
// name GBK cannot spell is not used: files named through it would land elsewhere.
std::string localAppDataFolder() {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    std::wstring wide(folder, length);
    while (!wide.empty() && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
    std::string gbk;
    return wideToGbkExactly(wide, gbk) ? gbk : "";
}

bool chooseFile(const FileDialogRequest& request, std::string& chosen) {
    const std::wstring filter = dialogFilterFromGbk(request.filter);
    const std::wstring title = gbkToWide(request.title);
    wchar_t fileName[FILE_NAME_BUFFER] = {};
    lstrcpynW(fileName, gbkToWide(request.initialName).c_str(), FILE_NAME_BUFFER);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainWindow;
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = FILE_NAME_BUFFER;
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = request.hideReadOnly ? OFN_HIDEREADONLY : 0;
    if (!GetOpenFileNameW(&dialog)) return false;
    chosen = fileNameToGbk(fileName);
    return true;
}

}  // namespace platform
