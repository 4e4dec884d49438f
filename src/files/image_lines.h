// Splitting a file image into the document's lines where its bytes lie.
//
// The rules are the loader's (see files/loader.h and document/raw_lines.h): pairs are
// stored whole, CR LF, CR, LF, form feed and 0x8A/0x8C/0x8D outside a pair end lines,
// other control bytes are dropped, tabs become the tab replacement and Ctrl-Z ends the
// text. Every line's text is taken in place from the image (document/line_storage.h):
// kept bytes move down only over dropped ones, and the byte after a line's last kept byte
// becomes its terminator, so nothing is copied.
#pragma once

#include <cstddef>

// Appends the lines of `bytes[0..size)` (an open text image with a spare byte at `size`) to
// the empty document and makes the last of them the caret line.
void splitImageIntoLines(char* bytes, size_t size, char tabReplacement);
