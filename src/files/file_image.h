// A file read whole into memory, for the loader to split into lines where the bytes lie.
#pragma once

#include <cstddef>
#include <cstdio>

struct FileImage {
    char* bytes = nullptr;  // a text image (document/line_storage.h), one spare byte past `size`
    size_t size = 0;
};

// Reads the rest of `file` into a new text image in large blocks; false on a read error
// (nothing is then kept). A failed allocation ends the process with `exitStatus`.
bool readFileImage(FILE* file, FileImage& image, int exitStatus);
