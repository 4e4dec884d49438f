// Heap allocation for the editing core: exhausted memory ends the process at once.
//
// The editor has no way to carry on with half-made lines, so a failed allocation exits
// without a message: status 0 in the editing core, 1 in the loader.
#pragma once

#include <cstddef>

constexpr int EXIT_STATUS_CORE = 0;
constexpr int EXIT_STATUS_LOADER = 1;

// malloc that ends the process with `exitStatus` when no memory is left.
void* allocateOrExit(size_t size, int exitStatus = EXIT_STATUS_CORE);
// A new heap copy of the first `length` bytes of `bytes`, NUL-terminated.
char* copyBytesOrExit(const char* bytes, size_t length, int exitStatus = EXIT_STATUS_CORE);
// A new heap copy of a NUL-terminated string (null counts as empty).
char* copyStringOrExit(const char* text, int exitStatus = EXIT_STATUS_CORE);
