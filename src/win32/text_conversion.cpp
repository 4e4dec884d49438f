#include "win32/text_conversion.h"

#include <windows.h>

#include "platform/platform.h"

#include <climits>

namespace {

constexpr UINT GBK_CODE_PAGE = 936;

// The conversion functions count in int; longer text is not something a person edits.
bool fitsConversion(size_t length) { return length <= static_cast<size_t>(INT_MAX / 2); }

}  // namespace

std::wstring gbkToWide(const char* bytes, size_t length) {
    if (bytes == nullptr || length == 0 || !fitsConversion(length)) return std::wstring();
    const int count = static_cast<int>(length);
    const int units = MultiByteToWideChar(GBK_CODE_PAGE, 0, bytes, count, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(GBK_CODE_PAGE, 0, bytes, count, &wide[0], units);
    return wide;
}

std::wstring gbkToWide(const std::string& text) { return gbkToWide(text.data(), text.size()); }

std::string wideToGbk(const wchar_t* text, size_t length) {
    if (text == nullptr || length == 0 || !fitsConversion(length)) return std::string();
    const int count = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(GBK_CODE_PAGE, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string gbk(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(GBK_CODE_PAGE, 0, text, count, &gbk[0], bytes, nullptr, nullptr);
    return gbk;
}

std::string wideToGbk(const std::wstring& text) { return wideToGbk(text.data(), text.size()); }

bool wideToGbkExactly(const std::wstring& text, std::string& gbk) {
    gbk.clear();
    if (text.empty()) return true;
    if (!fitsConversion(text.size())) return false;
    const int count = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(GBK_CODE_PAGE, WC_NO_BEST_FIT_CHARS, text.data(), count,
                                          nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return false;
    gbk.assign(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(GBK_CODE_PAGE, WC_NO_BEST_FIT_CHARS, text.data(), count, &gbk[0], bytes,
                        nullptr, nullptr);
    return true;
}

int typedUnitToGbk(wchar_t unit, unsigned char out[2]) {
    if (unit >= 0xD800 && unit <= 0xDFFF) return 0;
    char bytes[2];
    BOOL lossy = FALSE;
    const int count = WideCharToMultiByte(GBK_CODE_PAGE, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes,
                                          sizeof bytes, nullptr, &lossy);
    if (count <= 0 || count > 2 || lossy) return 0;
    for (int i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(bytes[i]);
    return count;
}

size_t gbkPrefixLength(const std::string& text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        const bool lead = IsDBCSLeadByteEx(GBK_CODE_PAGE, static_cast<BYTE>(text[end])) != 0;
        const size_t next = end + (lead && end + 1 < text.size() ? 2 : 1);
        if (next > maxBytes) break;
        end = next;
    }
    return end;
}

std::string fileNameToGbk(const std::wstring& path) {
    std::string gbk;
    if (wideToGbkExactly(path, gbk)) return gbk;
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed > 0) {
        std::wstring shortName(needed, L'\0');
        const DWORD written = GetShortPathNameW(path.c_str(), &shortName[0], needed);
        if (written > 0 && written < needed) {
            shortName.resize(written);
            if (wideToGbkExactly(shortName, gbk)) return gbk;
        }
    }
    return wideToGbk(path);
}

std::wstring dialogFilterFromGbk(const std::string& filter) {
    std::wstring wide = gbkToWide(filter);
    for (wchar_t& unit : wide)
        if (unit == L'|') unit = L'\0';
    wide.push_back(L'\0');  // with the string's own terminator: the closing empty string
    return wide;
}

namespace platform {

int utf16UnitToAnsi(uint16_t unit, char out[4]) {
    const wchar_t wide = static_cast<wchar_t>(unit);
    const int count = WideCharToMultiByte(936, 0, &wide, 1, out, 4, nullptr, nullptr);
    return count > 0 ? count : 0;
}

bool codePage936ToUnit(const char* bytes, int length, uint16_t& unit) {
    wchar_t units[2];
    if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, length, units, 2) != 1) return false;
    unit = static_cast<uint16_t>(units[0]);
    return true;
}

}  // namespace platform
