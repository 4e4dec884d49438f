// Loading a text file into the document.
//
// A plain file is read whole in large blocks and split into lines where its bytes lie.
// Every double-byte character is stored whole; lines end at CR LF, CR, LF (each LF of a
// file that uses LF alone), form feed and 0x8C/0x8D/0x8A where they do not begin a
// character (see document/raw_lines.h); other control bytes are dropped; a Ctrl-Z ends
// the text. A file in UTF-8 or UTF-16 (files/text_encoding.h) is first converted to GBK
// and remembers its encoding for Save; one whose byte-order mark promises an encoding its
// bytes break is refused with a message and left alone. Files named "*.doc" are read as
// 16-bit text from byte 2560 and later saved as "*.doc.txt".
#pragma once

#include "files/file_image.h"  // FilePiece

// Closes the current document, then loads `path` (one pair of surrounding double quotes
// is removed; an empty path leaves no document). Failures are reported in a message box.
void loadFile(const char* path);
// Shows the Open dialog and loads the chosen file; nothing happens on Cancel.
void loadWithDialog();

