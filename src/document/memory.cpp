#include "document/memory.h"

#include <cstdlib>
#include <cstring>

void* allocateOrExit(size_t size, int exitStatus) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) std::exit(exitStatus);
    return block;
}

char* copyBytesOrExit(const char* bytes, size_t length, int exitStatus) {
    char* copy = static_cast<char*>(allocateOrExit(length + 1, exitStatus));
    if (length > 0) std::memcpy(copy, bytes, length);
    copy[length] = '\0';
    return copy;
}

char* copyStringOrExit(const char* text, int exitStatus) {
    return copyBytesOrExit(text ? text : "", text ? std::strlen(text) : 0, exitStatus);
}
