// A file read whole into memory, for the loader to split into lines where the bytes lie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A stretch of a file's bytes: `length` bytes from `offset` (-1: up to the end).
struct FilePiece {
    std::string path;
    int64_t offset = 0;
    int64_t length = -1;
};

struct FileImage {
    char* bytes = nullptr;  // a text image (document/line_storage.h), one spare byte past `size`
    size_t size = 0;
};

enum class ImageRead { Read, CannotOpen, ReadError };

// Reads the pieces one after another into a new text image, in large blocks. A piece that
// cannot be opened or read, or ends before its length, fails the whole read (nothing is
// then kept). A failed allocation ends the process with `exitStatus`.
ImageRead readFileImage(const std::vector<FilePiece>& pieces, FileImage& image, int exitStatus);
