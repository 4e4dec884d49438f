// Loading a text file into the document, byte by byte.
//
// Every double-byte character is stored whole; lines end at CR LF, CR, LF (each LF of a
// file that uses LF alone), form feed and 0x8C/0x8D/0x8A where they do not begin a
// character (see document/raw_lines.h); other control bytes are dropped; a Ctrl-Z ends
// the text. Files named "*.doc" are read as 16-bit text from byte 2560 and later saved
// as "*.doc.txt".
#pragma once

#include <cstdint>
#include <string>

// Closes the current document, then loads `path` (one pair of surrounding double quotes
// is removed; an empty path leaves no document). Failures are reported in a message box.
void loadFile(const char* path);
// Shows the Open dialog and loads the chosen file; nothing happens on Cancel.
void loadWithDialog();

// A stretch of a file's bytes: `length` bytes from `offset` (-1: up to the end).
struct FilePiece {
    std::string path;
    int64_t offset = 0;
    int64_t length = -1;
};
