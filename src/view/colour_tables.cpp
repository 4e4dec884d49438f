#include "view/colour_tables.h"

#include <string_view>
#include <unordered_map>

const ColourToken TokenTable[TOKEN_COUNT] = {
    {"//", 2, 10}, {"/*", 2, 10}, {"\"", 1, 6}, {"!", 1, 11}, {"#", 1, 12}, {"%", 1, 11},
    {"&", 1, 2}, {"(", 1, 12}, {")", 1, 12}, {"*", 1, 11}, {"+", 1, 11}, {",", 1, 12},
    {"->", 2, 6}, {"-", 1, 11}, {".", 1, 11}, {"/", 1, 11}, {":", 1, 13}, {";", 1, 14},
    {"<", 1, 11}, {"=", 1, 11}, {">", 1, 11}, {"?", 1, 13}, {"[", 1, 3}, {"'", 1, 13},
    {"\\", 1, 14}, {"]", 1, 3}, {"{", 1, 13}, {"|", 1, 2}, {"}", 1, 13}, {"0", 1, 15},
    {"1", 1, 15}, {"2", 1, 15}, {"3", 1, 15}, {"4", 1, 15}, {"5", 1, 15}, {"6", 1, 15},
    {"7", 1, 15}, {"8", 1, 15}, {"9", 1, 15}, {"一是", 4, 11}, {"二是", 4, 11}, {"三是", 4, 11},
    {"四是", 4, 11}, {"五是", 4, 11}, {"六是", 4, 11}, {"七是", 4, 11}, {"八是", 4, 11}, {"九是", 4, 11},
    {"十是", 4, 11}, {"一要", 4, 10}, {"二要", 4, 10}, {"三要", 4, 10}, {"四要", 4, 10}, {"五要", 4, 10},
    {"六要", 4, 10}, {"七要", 4, 10}, {"八要", 4, 10}, {"九要", 4, 10}, {"十要", 4, 10},
};

const ColourKeyword KeywordTable[KEYWORD_COUNT] = {
    // Colour 12 (15)
    {"#define", 12}, {"#elif", 12}, {"#else", 12}, {"#endif", 12}, {"#error", 12}, {"#if", 12},
    {"#ifdef", 12}, {"#ifndef", 12}, {"#include", 12}, {"#line", 12}, {"#pragma", 12},
    {"#undef", 12}, {"defined", 12}, {"catch", 12}, {"try", 12},
    // Colour 13 (54)
    {"__abstract", 13}, {"__alignof", 13}, {"__asm", 13}, {"__assume", 13}, {"__based", 13},
    {"__box", 13}, {"__cdecl", 13}, {"__declspec", 13}, {"__delegate", 13}, {"__event", 13},
    {"__except", 13}, {"__fastcall", 13}, {"__finally", 13}, {"__forceinline", 13},
    {"__gc", 13}, {"__hook", 13}, {"__identifier", 13}, {"__if_exists", 13},
    {"__if_not_exists", 13}, {"__inline", 13}, {"__int16", 13}, {"__int32", 13},
    {"__int64", 13}, {"__int8", 13}, {"__interface", 13}, {"__leave", 13}, {"__m128", 13},
    {"__m128d", 13}, {"__m128i", 13}, {"__m64", 13}, {"__multiple_inheritance", 13},
    {"__nogc", 13}, {"__noop", 13}, {"__pin", 13}, {"__property", 13}, {"__raise", 13},
    {"__sealed", 13}, {"__single_inheritance", 13}, {"__stdcall", 13}, {"__super", 13},
    {"__thiscall", 13}, {"__try", 13}, {"__try_cast", 13}, {"__unaligned", 13},
    {"__unhook", 13}, {"__uuidof", 13}, {"__value", 13}, {"__virtual_inheritance", 13},
    {"__w64", 13}, {"__wchar_t", 13}, {"namespace", 13}, {"typedef", 13}, {"using", 13},
    {"_DEBUG", 13},
    // Colour 5 (15)
    {"inline", 5}, {"noinline", 5}, {"ComplexInf", 5}, {"ComplexNaN", 5}, {"FALSE", 5},
    {"NULL", 5}, {"NaN", 5}, {"TRUE", 5}, {"WinMain", 5}, {"false", 5}, {"main", 5},
    {"null", 5}, {"nullptr", 5}, {"once", 5}, {"true", 5},
    // Colour 6 (6)
    {"delete", 6}, {"free", 6}, {"malloc", 6}, {"new", 6}, {"sizeof", 6}, {"this", 6},
    // Colour 14 (15)
    {"class", 14}, {"enum", 14}, {"struct", 14}, {"union", 14}, {"break", 14}, {"continue", 14},
    {"do", 14}, {"else", 14}, {"for", 14}, {"foreach", 14}, {"goto", 14}, {"if", 14},
    {"return", 14}, {"switch", 14}, {"while", 14},
    // Colour 11 (6)
    {"private", 11}, {"protected", 11}, {"public", 11}, {"template", 11}, {"thread", 11},
    {"throw", 11},
    // Colour 9 (277)
    {"abstract", 9}, {"asm", 9}, {"auto", 9}, {"cdecl", 9}, {"declaration", 9}, {"decltype", 9},
    {"delegate", 9}, {"deprecated", 9}, {"directive", 9}, {"dllexport", 9}, {"dllimport", 9},
    {"explicit", 9}, {"gcnew", 9}, {"generic", 9}, {"initonly", 9}, {"interior_ptr", 9},
    {"interrupt", 9}, {"literal", 9}, {"mutable", 9}, {"naked", 9}, {"noreturn", 9},
    {"nothrow", 9}, {"novtable", 9}, {"property", 9}, {"ref", 9}, {"register", 9},
    {"reinterpret_cast", 9}, {"safecast", 9}, {"sealed", 9}, {"selectany", 9},
    {"static_assert", 9}, {"typeid", 9}, {"typename", 9}, {"uuid", 9}, {"value", 9},
    {"volatile", 9}, {"APIENTRY", 9}, {"ATOM", 9}, {"BOOL", 9}, {"BOOLEAN", 9}, {"BYTE", 9},
    {"CALLBACK", 9}, {"CHAR", 9}, {"COLORREF", 9}, {"CONST", 9}, {"DWORD", 9}, {"DWORD32", 9},
    {"DWORD64", 9}, {"DWORDLONG", 9}, {"DWORD_PTR", 9}, {"FILE", 9}, {"FINDREPLACE", 9},
    {"FLOAT", 9}, {"HACCEL", 9}, {"HALF_PTR", 9}, {"HANDLE", 9}, {"HBITMAP", 9}, {"HBRUSH", 9},
    {"HCOLORSPACE", 9}, {"HCONV", 9}, {"HCONVLIST", 9}, {"HCURSOR", 9}, {"HDC", 9},
    {"HDDEDATA", 9}, {"HDESK", 9}, {"HDROP", 9}, {"HDWP", 9}, {"HENHMETAFILE", 9}, {"HFILE", 9},
    {"HFONT", 9}, {"HGDIOBJ", 9}, {"HGLOBAL", 9}, {"HHOOK", 9}, {"HICON", 9}, {"HINSTANCE", 9},
    {"HKEY", 9}, {"HKL", 9}, {"HLOCAL", 9}, {"HMENU", 9}, {"HMETAFILE", 9}, {"HMODULE", 9},
    {"HMONITOR", 9}, {"HPALETTE", 9}, {"HPEN", 9}, {"HRESULT", 9}, {"HRGN", 9}, {"HRSRC", 9},
    {"HSZ", 9}, {"HWINSTA", 9}, {"HWND", 9}, {"INT", 9}, {"INT32", 9}, {"INT64", 9},
    {"INT_PTR", 9}, {"LANGID", 9}, {"LCID", 9}, {"LCTYPE", 9}, {"LGRPID", 9}, {"LOGFONT", 9},
    {"LONG", 9}, {"LONG32", 9}, {"LONG64", 9}, {"LONGLONG", 9}, {"LONG_PTR", 9}, {"LPARAM", 9},
    {"LPBOOL", 9}, {"LPBYTE", 9}, {"LPCOLORREF", 9}, {"LPCSTR", 9}, {"LPCTSTR", 9},
    {"LPCVOID", 9}, {"LPCWSTR", 9}, {"LPDWORD", 9}, {"LPHANDLE", 9}, {"LPINT", 9},
    {"LPLONG", 9}, {"LPSTR", 9}, {"LPTSTR", 9}, {"LPVOID", 9}, {"LPWORD", 9}, {"LPWSTR", 9},
    {"LRESULT", 9}, {"MSG", 9}, {"PAINTSTRUCT", 9}, {"PASCAL", 9}, {"PBOOL", 9},
    {"PBOOLEAN", 9}, {"PBYTE", 9}, {"PCHAR", 9}, {"PCSTR", 9}, {"PCTSTR", 9}, {"PCWSTR", 9},
    {"PDWORD", 9}, {"PDWORD32", 9}, {"PDWORD64", 9}, {"PDWORDLONG", 9}, {"PDWORD_PTR", 9},
    {"PFLOAT", 9}, {"PHALF_PTR", 9}, {"PHANDLE", 9}, {"PHKEY", 9}, {"PINT", 9}, {"PINT32", 9},
    {"PINT64", 9}, {"PINT_PTR", 9}, {"PLCID", 9}, {"PLONG", 9}, {"PLONG32", 9}, {"PLONG64", 9},
    {"PLONGLONG", 9}, {"PLONG_PTR", 9}, {"POINT", 9}, {"POINTER_32", 9}, {"POINTER_64", 9},
    {"PSHORT", 9}, {"PSIZE_T", 9}, {"PSTR", 9}, {"PTBYTE", 9}, {"PTCHAR", 9}, {"PTSTR", 9},
    {"PUCHAR", 9}, {"PUHALF_PTR", 9}, {"PUINT", 9}, {"PUINT32", 9}, {"PUINT64", 9},
    {"PUINT_PTR", 9}, {"PULONG", 9}, {"PULONG32", 9}, {"PULONG64", 9}, {"PULONGLONG", 9},
    {"PULONG_PTR", 9}, {"PUSHORT", 9}, {"PVOID", 9}, {"PWCHAR", 9}, {"PWORD", 9}, {"PWSTR", 9},
    {"RECT", 9}, {"SC_HANDLE", 9}, {"SC_LOCK", 9}, {"SERVICE_STATUS_HANDLE", 9}, {"SHORT", 9},
    {"SIZE", 9}, {"SIZE_T", 9}, {"TBYTE", 9}, {"TCHAR", 9}, {"TEXTMETRIC", 9}, {"UCHAR", 9},
    {"UHALF_PTR", 9}, {"UINT", 9}, {"UINT32", 9}, {"UINT64", 9}, {"UINT_PTR", 9}, {"ULONG", 9},
    {"ULONG32", 9}, {"ULONG64", 9}, {"ULONGLONG", 9}, {"ULONG_PTR", 9}, {"USHORT", 9},
    {"USN", 9}, {"VOID", 9}, {"WCHAR", 9}, {"WINAPI", 9}, {"WNDCLASS", 9}, {"WNDCLASSEX", 9},
    {"WORD", 9}, {"WPARAM", 9}, {"alignas", 9}, {"alignof", 9}, {"and", 9}, {"and_eq", 9},
    {"array", 9}, {"audit", 9}, {"axiom", 9}, {"bitand", 9}, {"bitor", 9}, {"bool", 9},
    {"char", 9}, {"char16_t", 9}, {"char32_t", 9}, {"char8_t", 9}, {"co_await", 9},
    {"co_return", 9}, {"co_yield", 9}, {"compl", 9}, {"concept", 9}, {"const", 9},
    {"const_cast", 9}, {"consteval", 9}, {"constexpr", 9}, {"double", 9}, {"dynamic_cast", 9},
    {"event", 9}, {"export", 9}, {"extern", 9}, {"far", 9}, {"final", 9}, {"finally", 9},
    {"float", 9}, {"friend", 9}, {"friend_as", 9}, {"huge", 9}, {"import", 9}, {"int", 9},
    {"interface", 9}, {"long", 9}, {"module", 9}, {"near", 9}, {"noexcept", 9}, {"not", 9},
    {"not_eq", 9}, {"operator", 9}, {"or", 9}, {"or_eq", 9}, {"override", 9}, {"pascal", 9},
    {"requires", 9}, {"restrict", 9}, {"short", 9}, {"signed", 9}, {"size_t", 9}, {"static", 9},
    {"static_cast", 9}, {"string_t", 9}, {"thread_local", 9}, {"unsigned", 9}, {"vector", 9},
    {"virtual", 9}, {"void", 9}, {"wchar_t", 9}, {"xor", 9}, {"xor_eq", 9}, {"case", 9},
    {"default", 9}, {"each", 9}, {"exit", 9}, {"in", 9}, {"complex", 9},
};

int keywordColour(const char* word, int length) {
    static const std::unordered_map<std::string_view, int> colours = [] {
        std::unordered_map<std::string_view, int> map;
        for (const ColourKeyword& keyword : KeywordTable) map.emplace(keyword.word, keyword.colour);
        return map;
    }();
    const auto found = colours.find(std::string_view(word, static_cast<size_t>(length)));
    return found == colours.end() ? -1 : found->second;
}
