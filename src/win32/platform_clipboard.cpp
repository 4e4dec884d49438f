// The seam's clipboard: Kesh writes its GBK text both as CF_UNICODETEXT and as CF_TEXT
// and reads the Unicode form first, so Chinese survives whatever the system code page is.

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "platform/platform.h"
#include "win32/adapter_state.h"
#include "win32/text_conversion.h"

namespace {

// Another program may hold the clipboard for a moment; try a few times before giving up.
constexpr int OPEN_ATTEMPTS = 5;
constexpr DWORD OPEN_RETRY_MILLISECONDS = 20;

bool openClipboard() {
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        if (OpenClipboard(mainWindow)) return true;
        Sleep(OPEN_RETRY_MILLISECONDS);
    }
    return false;
}

// Hands a copy of `size` bytes to the clipboard in a movable global block; the clipboard
// owns the block once it accepts it, so it is freed here only when refused.
bool putOnClipboard(UINT format, const void* data, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return false;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    if (SetClipboardData(format, block) == nullptr) {
        GlobalFree(block);
        return false;
    }
    return true;
}

// Reads one text format; the length is bounded by the block's size, so a block that
// another program left without its terminator is never read past its end.
bool readUnicodeUnits(std::u16string& text) {
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    if (block == nullptr) return false;
    const auto* wide = static_cast<const wchar_t*>(GlobalLock(block));
    if (wide == nullptr) return false;
    const size_t length = wcsnlen(wide, GlobalSize(block) / sizeof(wchar_t));
    text.assign(wide, wide + length);
    GlobalUnlock(block);
    return true;
}

bool readUnicodeText(std::string& text) {
    std::u16string units;
    if (!readUnicodeUnits(units)) return false;
    text = wideToGbk(reinterpret_cast<const wchar_t*>(units.data()), units.size());
    return true;
}

bool readAnsiText(std::string& text) {
    HANDLE block = GetClipboardData(CF_TEXT);
    if (block == nullptr) return false;
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes == nullptr) return false;
    text.assign(bytes, strnlen(bytes, GlobalSize(block)));
    GlobalUnlock(block);
    return true;
}

}  // namespace

namespace platform {

bool setClipboardText(const std::string& text, const std::u16string* unicode) {
    const std::wstring wide = unicode ? std::wstring(unicode->begin(), unicode->end()) : gbkToWide(text);
    if (!openClipboard()) return false;
    bool stored = EmptyClipboard() != 0;
    stored = stored && putOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    stored = stored && putOnClipboard(CF_TEXT, text.c_str(), text.size() + 1);
    if (stored) {
        // Tells readers of CF_TEXT (and Windows' own conversions) that its bytes are GBK.
        const LCID chinese = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
        putOnClipboard(CF_LOCALE, &chinese, sizeof chinese);
    }
    CloseClipboard();
    return stored;
}

bool getClipboardText(std::string& text) {
    const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
    if (!unicode && !IsClipboardFormatAvailable(CF_TEXT)) return false;
    if (!openClipboard()) return false;
    const bool read = unicode ? readUnicodeText(text) : readAnsiText(text);
    CloseClipboard();
    return read;
}

bool getClipboardUnicode(std::u16string& text) {
    // Windows offers CF_TEXT as CF_UNICODETEXT too, so any text can be read this way.
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
    if (!openClipboard()) return false;
    const bool read = readUnicodeUnits(text);
    CloseClipboard();
    return read;
}

}  // namespace platform
