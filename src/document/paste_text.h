// The byte rules by which pasted text becomes lines.
//
// Text is cut into pieces: a paste inserts the first piece at the caret and starts a new
// line before each further piece, so there is one line break fewer than pieces. A text
// that ends with a break ends with an empty piece.
#pragma once

#include <string>
#include <vector>

// Pieces of clipboard text, cut into lines as a file is (document/raw_lines.h): every
// double-byte character stays whole; CR, form feed, 0x8C and 0x8D break the line, LF and
// 0x8A too except directly after one of those (so CR LF is one break and the blank lines
// of LF-only text stay); a backslash followed by "n" breaks it like CR; 0x1A breaks it
// and ends the text; tabs become commas when `tabsAsCommas`; other control bytes are
// dropped. `recorded`, when given, receives the text with exactly the tabs that became
// commas replaced, so pasting it again without commas gives the same lines.
std::vector<std::string> clipboardPieces(const std::string& text, bool tabsAsCommas,
                                         std::string* recorded = nullptr);

// Pieces of text built from selected lines: only CR LF breaks; every other byte stays.
std::vector<std::string> literalPieces(const std::string& text);
