// Loading a text file into the document, byte by byte.
//
// Lines end at CR LF, CR, LF, form feed and the single-byte 0x8C/0x8D/0x8A outside a
// double-byte character; other control bytes are dropped; a Ctrl-Z ends the text. Files
// named "*.doc" are read as 16-bit text from byte 2560 and later saved as "*.doc.txt".
#pragma once

// Closes the current document, then loads `path` (one pair of surrounding double quotes
// is removed; an empty path leaves no document). Failures are reported in a message box.
void loadFile(const char* path);
// Shows the Open dialog and loads the chosen file; nothing happens on Cancel.
void loadWithDialog();
