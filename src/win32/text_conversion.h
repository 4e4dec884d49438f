// GBK <-> UTF-16 at the Win32 boundary.
//
// The core speaks GBK bytes; the adapter calls the W functions. Every conversion names
// code page 936 itself, so Kesh behaves the same on a Windows whose system code page is
// something else.
#pragma once

#include <cstddef>
#include <string>

// GBK bytes to UTF-16; a byte sequence that is not GBK becomes the replacement character.
std::wstring gbkToWide(const char* bytes, size_t length);
std::wstring gbkToWide(const std::string& text);

// UTF-16 to GBK; a character GBK lacks becomes '?'.
std::string wideToGbk(const wchar_t* text, size_t length);
std::string wideToGbk(const std::wstring& text);

// UTF-16 to GBK only when every character has its own GBK form; false otherwise
// (a '?' in a file name would name no file, or another one).
bool wideToGbkExactly(const std::wstring& text, std::string& gbk);

// One UTF-16 unit the user typed, as the 1 or 2 GBK bytes the core expects. Returns the
// byte count, or 0 for a surrogate half or a character GBK lacks (those are dropped).
int typedUnitToGbk(wchar_t unit, unsigned char out[2]);

// Length of the longest start of `text` that fits in `maxBytes` without cutting a
// double-byte character of code page 936 in half.
size_t gbkPrefixLength(const std::string& text, size_t maxBytes);

// A file name for the core: its GBK form or, when it holds characters GBK lacks, the
// short (8.3) name of the same file, which is plain ASCII. Only when neither exists do
// '?' marks stand for the missing characters (and opening that name then fails).
std::string fileNameToGbk(const std::wstring& path);

// A GBK filter of '|'-separated pairs ("Text(.txt)|*.txt|") in the form the common file
// dialogs take: NUL-terminated strings ended by an empty one. The bars are found after
// conversion, where a '|' can no longer be the second byte of a GBK character.
std::wstring dialogFilterFromGbk(const std::string& filter);
