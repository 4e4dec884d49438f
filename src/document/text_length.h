// Lengths of NUL-terminated line texts, sixteen bytes at a time.
//
// A line of megabytes is measured several times for every key typed into it, and the C
// runtime that kesh.exe runs on walks such a text one byte at a time. These give the same
// results as std::strlen and strnlen.
#pragma once

#include <cstddef>

// Number of bytes before the terminator (std::strlen); null counts as empty.
size_t textLength(const char* text);
// The smaller of textLength(text) and `limit` (strnlen), reading no further than the
// terminator or the block holding byte limit - 1; null counts as empty.
size_t textLengthUpTo(const char* text, size_t limit);
