// Recognising UTF-8 and UTF-16 files, and converting them to and from the GBK text the
// editor holds.
//
// A byte-order mark decides: EF BB BF is UTF-8, FF FE UTF-16 little-endian, FE FF UTF-16
// big-endian. Without one a file is UTF-8 only when all of it is well-formed UTF-8 (shortest
// forms, no surrogates, nothing above U+10FFFF) holding at least one character beyond
// ASCII; every other file is GBK and loads byte for byte as it always has. Characters the
// code page lacks, and those of the private use area, become stand-ins (document/
// stand_ins.h) and are written back as they were.
#pragma once

#include <cstddef>
#include <string>

#include "document/file_encoding.h"

// The encoding of a file whose bytes are `bytes`; `markLength` receives the length of its
// byte-order mark (0 without one).
FileEncoding detectEncoding(const unsigned char* bytes, size_t size, size_t& markLength);

enum class DecodeProblem {
    None,
    IllFormed,       // bytes that are not the file's encoding (a lone surrogate, a cut sequence)
    TooManyStandIns, // more distinct characters the code page lacks than there are stand-ins
};

struct DecodeOutcome {
    DecodeProblem problem = DecodeProblem::None;
    size_t length = 0;       // of the GBK text
    size_t problemAt = 0;    // offset in the file of the first bad byte
};

// Converts the text after the mark, `bytes[0..size)` in `encoding` (not GBK), to GBK in
// place (the GBK text is never longer). On a problem the bytes are left partly converted.
DecodeOutcome decodeToGbk(FileEncoding encoding, char* bytes, size_t size);

// The byte-order mark written at the start of a file in `encoding` (empty for none).
std::string byteOrderMark(FileEncoding encoding);

// Appends the GBK text `text[0..length)` converted to `encoding` to `out`. False when a
// byte is no character of the code page (a first byte without its second byte, 0xFF):
// `badColumn` then receives its column and nothing of the text is appended.
bool appendEncoded(FileEncoding encoding, const char* text, size_t length, std::string& out, size_t& badColumn);
