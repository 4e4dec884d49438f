// Writing a whole file without ever harming the file it replaces.
//
// The bytes go to a temporary file beside the target. Only when every byte has been
// written, flushed to the disk and the temporary closed does the temporary take the
// target's place, in one step. Any failure on the way removes the temporary and leaves
// the target exactly as it was, so a full disk or an I/O error never costs the user the
// file they are saving over.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct FileWriter {
    std::string target;
    std::string temporary;
    FILE* stream = nullptr;  // the temporary, owned while open
    bool failed = false;     // a write went wrong; later writes are skipped
};

// Creates the temporary beside `target`; false when it cannot be created.
bool openFileWriter(FileWriter& writer, const std::string& target);
// Appends bytes; false once any write has failed.
bool writeBytes(FileWriter& writer, const char* bytes, size_t length);
// Appends a NUL-terminated string; false once any write has failed.
bool writeText(FileWriter& writer, const char* text);
// Flushes and closes the temporary and moves it into the target's place. False when
// anything failed: the temporary is then removed and the target untouched.
bool commitFileWriter(FileWriter& writer);
// Abandons the write: the temporary is removed and the target untouched.
void discardFileWriter(FileWriter& writer);
