#include "files/text_encoding.h"

#include <cstdint>
#include <cstring>

#include "document/code_page.h"
#include "document/gbk.h"
#include "document/stand_ins.h"

namespace {

constexpr uint64_t HIGH_BITS = 0x8080808080808080ULL;

// ==== UTF-8 ====

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed sequence at `at` (its code point in `codePoint`), or 0.
inline size_t utf8Sequence(const unsigned char* bytes, size_t at, size_t size, uint32_t& codePoint) {
    const unsigned char first = bytes[at];
    if (first < 0x80) {
        codePoint = first;
        return 1;
    }
    // Chinese text is almost all three-byte sequences without the special first bytes.
    if (first >= 0xE1 && first <= 0xEF && first != 0xED && size - at >= 3 && isContinuation(bytes[at + 1]) &&
        isContinuation(bytes[at + 2])) {
        codePoint = (first & 0x0Fu) << 12 | (bytes[at + 1] & 0x3Fu) << 6 | (bytes[at + 2] & 0x3Fu);
        return 3;
    }
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        codePoint = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        codePoint = first & 0x0F;
        if (first == 0xE0) low = 0xA0;   // shortest form
        if (first == 0xED) high = 0x9F;  // no surrogates
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        codePoint = first & 0x07;
        if (first == 0xF0) low = 0x90;   // shortest form
        if (first == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (size - at < length) return 0;
    if (bytes[at + 1] < low || bytes[at + 1] > high) return 0;
    for (size_t k = 1; k < length; ++k) {
        if (!isContinuation(bytes[at + k])) return 0;
        codePoint = codePoint << 6 | (bytes[at + k] & 0x3F);
    }
    return length;
}

// The offset after the run of ASCII bytes that starts at `at`.
size_t skipAscii(const unsigned char* bytes, size_t at, size_t size) {
    while (size - at >= 8) {
        uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        if (word & HIGH_BITS) break;
        at += 8;
    }
    while (at < size && bytes[at] < 0x80) ++at;
    return at;
}

// True when all of `bytes` is well-formed UTF-8; `beyondAscii` tells whether any
// character is not ASCII.
bool isWellFormedUtf8(const unsigned char* bytes, size_t size, bool& beyondAscii) {
    const size_t asciiEnd = skipAscii(bytes, 0, size);
    beyondAscii = asciiEnd < size;
    for (size_t at = asciiEnd; at < size;) {
        if (bytes[at] < 0x80) {
            at = skipAscii(bytes, at, size);
            continue;
        }
        uint32_t codePoint;
        const size_t length = utf8Sequence(bytes, at, size, codePoint);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

// ==== UTF-16 ====

uint32_t unitAt(const unsigned char* bytes, size_t at, bool bigEndian) {
    return bigEndian ? (bytes[at] << 8 | bytes[at + 1]) : (bytes[at + 1] << 8 | bytes[at]);
}

// The length in bytes of the well-formed character at `at` (2 or 4), or 0.
size_t utf16Sequence(const unsigned char* bytes, size_t at, size_t size, bool bigEndian, uint32_t& codePoint) {
    if (size - at < 2) return 0;
    const uint32_t unit = unitAt(bytes, at, bigEndian);
    if (unit < 0xD800 || unit > 0xDFFF) {
        codePoint = unit;
        return 2;
    }
    if (unit > 0xDBFF || size - at < 4) return 0;
    const uint32_t low = unitAt(bytes, at + 2, bigEndian);
    if (low < 0xDC00 || low > 0xDFFF) return 0;
    codePoint = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    return 4;
}

// ==== Code points to GBK ====

// Writes the text's code for `codePoint` at `out` (1 or 2 bytes); 0 when no stand-in is
// left. `codes` is codeOfUnitTable(): characters of the code page outside the private use
// area need nothing else.
inline size_t writeGbk(uint32_t codePoint, char* out, const uint16_t* codes) {
    int code = codePoint < 0x80 ? static_cast<int>(codePoint) : 0;
    if (code == 0 && codePoint <= 0xFFFF && (codePoint < 0xE000 || codePoint > 0xF8FF)) code = codes[codePoint];
    if (code == 0) code = textCodeOf(codePoint);
    if (code < 0) return 0;
    if (code < 0x100) {
        *out = static_cast<char>(code);
        return 1;
    }
    out[0] = static_cast<char>(code >> 8);
    out[1] = static_cast<char>(code & 0xFF);
    return 2;
}

// Converts `text[0..size)` to GBK in place, one character at a time as `next` reads it
// (its length, or 0 for bytes that are none); with `asciiRuns`, runs of ASCII bytes are
// taken as they are.
template <typename NextCharacter>
DecodeOutcome decodeInPlace(char* text, size_t size, bool asciiRuns, NextCharacter next) {
    auto* bytes = reinterpret_cast<unsigned char*>(text);
    const uint16_t* codes = codeOfUnitTable();
    size_t read = 0, written = 0;
    while (read < size) {
        if (asciiRuns && bytes[read] < 0x80) {
            const size_t asciiEnd = skipAscii(bytes, read, size);
            if (written != read) std::memmove(text + written, text + read, asciiEnd - read);
            written += asciiEnd - read;
            read = asciiEnd;
            continue;
        }
        uint32_t codePoint;
        const size_t length = next(bytes, read, size, codePoint);
        if (length == 0) return DecodeOutcome{DecodeProblem::IllFormed, written, read};
        const size_t stored = writeGbk(codePoint, text + written, codes);
        if (stored == 0) return DecodeOutcome{DecodeProblem::TooManyStandIns, written, read};
        written += stored;
        read += length;
    }
    DecodeOutcome outcome;
    outcome.length = written;
    return outcome;
}

// ==== Code points to UTF-8 and UTF-16 ====

// Writes `codePoint` as UTF-8 at `out`; returns the end.
char* putUtf8(uint32_t codePoint, char* out) {
    if (codePoint < 0x80) {
        *out++ = static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        *out++ = static_cast<char>(0xC0 | codePoint >> 6);
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        *out++ = static_cast<char>(0xE0 | codePoint >> 12);
        *out++ = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | codePoint >> 18);
        *out++ = static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

char* putUnit(uint32_t unit, bool bigEndian, char* out) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    *out++ = bigEndian ? high : low;
    *out++ = bigEndian ? low : high;
    return out;
}

// Writes `codePoint` as UTF-16 at `out`; returns the end.
char* putUtf16(uint32_t codePoint, bool bigEndian, char* out) {
    if (codePoint < 0x10000) return putUnit(codePoint, bigEndian, out);
    codePoint -= 0x10000;
    out = putUnit(0xD800 + (codePoint >> 10), bigEndian, out);
    return putUnit(0xDC00 + (codePoint & 0x3FF), bigEndian, out);
}

}  // namespace

FileEncoding detectEncoding(const unsigned char* bytes, size_t size, size_t& markLength) {
    markLength = 0;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        markLength = 3;
        return FileEncoding::Utf8WithMark;
    }
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        markLength = 2;
        return FileEncoding::Utf16Le;
    }
    if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        markLength = 2;
        return FileEncoding::Utf16Be;
    }
    bool beyondAscii = false;
    return isWellFormedUtf8(bytes, size, beyondAscii) && beyondAscii ? FileEncoding::Utf8 : FileEncoding::Gbk;
}

DecodeOutcome decodeToGbk(FileEncoding encoding, char* bytes, size_t size) {
    const bool bigEndian = encoding == FileEncoding::Utf16Be;
    switch (encoding) {
        case FileEncoding::Utf8:
        case FileEncoding::Utf8WithMark: return decodeInPlace(bytes, size, true, utf8Sequence);
        case FileEncoding::Utf16Le:
        case FileEncoding::Utf16Be:
            return decodeInPlace(bytes, size, false,
                                 [bigEndian](const unsigned char* text, size_t at, size_t length, uint32_t& codePoint) {
                                     return utf16Sequence(text, at, length, bigEndian, codePoint);
                                 });
        case FileEncoding::Gbk: break;
    }
    DecodeOutcome unchanged;
    unchanged.length = size;
    return unchanged;
}

std::string byteOrderMark(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Utf8WithMark: return "\xEF\xBB\xBF";
        case FileEncoding::Utf16Le: return "\xFF\xFE";
        case FileEncoding::Utf16Be: return "\xFE\xFF";
        case FileEncoding::Utf8:
        case FileEncoding::Gbk: break;
    }
    return "";
}

bool appendEncoded(FileEncoding encoding, const char* text, size_t length, std::string& out, size_t& badColumn) {
    if (encoding == FileEncoding::Gbk) {
        out.append(text, length);
        return true;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const bool utf8 = encoding == FileEncoding::Utf8 || encoding == FileEncoding::Utf8WithMark;
    const bool bigEndian = encoding == FileEncoding::Utf16Be;
    const bool standIns = hasStandIns();
    const uint16_t* pairs = pairUnitTable();
    const size_t before = out.size();
    // A byte becomes at most three bytes of the file (0x80, the euro sign, in UTF-8); the
    // room is made once and trimmed at the end.
    out.resize(before + 3 * length);
    char* write = &out[before];
    size_t at = 0;
    while (at < length) {
        const unsigned char byte = bytes[at];
        if (byte < 0x80 && utf8) {
            *write++ = static_cast<char>(byte);
            ++at;
            continue;
        }
        int codePoint;
        size_t characterLength = 2;
        if (isLeadByte(byte) && at + 1 < length) {
            const unsigned char trail = bytes[at + 1];
            const uint32_t real = standIns ? characterOfStandIn(byte, trail) : 0;
            const uint16_t unit = trail >= 0x40 && trail <= 0xFE ? pairs[(byte - 0x81) * TRAILS_PER_LEAD + trail - 0x40] : 0;
            codePoint = real != 0 ? static_cast<int>(real) : unit != 0 ? unit : NO_CHARACTER;
        } else {
            characterLength = 1;
            codePoint = byte < 0x80 ? byte : unicodeOfSingleByte(byte);
        }
        if (codePoint == NO_CHARACTER) {
            out.resize(before);
            badColumn = at;
            return false;
        }
        write = utf8 ? putUtf8(static_cast<uint32_t>(codePoint), write)
                     : putUtf16(static_cast<uint32_t>(codePoint), bigEndian, write);
        at += characterLength;
    }
    out.resize(static_cast<size_t>(write - out.data()));
    return true;
}
