// The byte rules by which pasted text becomes lines.
//
// Text is cut into pieces: a paste inserts the first piece at the caret and starts a new
// line before each further piece, so there is one line break fewer than pieces. A text
// that ends with a break ends with an empty piece.
#pragma once

#include <string>
#include <vector>

// Pieces of clipboard text. CR breaks the line; LF breaks it unless the piece so far is
// empty (so CR LF is one break and LF-only text loses its empty lines); 0x1A breaks it
// and ends the text; 0x0C, 0x8C, 0x8D and a backslash followed by "n" break it, and 0x8A
// is an LF, when they do not stand as the second byte of a character; a byte 0x80-0x9F
// takes the next byte with it; tabs become commas when `tabsAsCommas`; other control
// bytes are dropped. `recorded`, when given, receives the text with exactly the tabs
// that became commas replaced, so pasting it again without commas gives the same lines.
std::vector<std::string> clipboardPieces(const std::string& text, bool tabsAsCommas,
                                         std::string* recorded = nullptr);

// Pieces of text built from selected lines: only CR LF breaks; every other byte stays.
std::vector<std::string> literalPieces(const std::string& text);
