// The document in the form Save writes it: every line's bytes, then CR LF after each
// line that ends with a hard return, except the empty last line that stands for the
// file's final line break. The recovery copy is made of the same bytes, so loading it
// gives what a Save and a fresh load would give.
#pragma once

#include <cstddef>
#include <cstring>

#include <string>

#include "document/document.h"
#include "document/file_encoding.h"
#include "document/text_length.h"
#include "files/text_encoding.h"

// The line break as Save writes it; the runs below pass this very array for a break.
inline constexpr char SAVED_LINE_BREAK[] = "\r\n";

// True when Save writes CR LF after this line.
bool endsWithSavedBreak(const LineNode* line);

// Calls take(line, bytes, length) for each run of saved bytes from `line` to the end,
// in order, until it returns false.
template <typename Take>
void forEachSavedRun(const LineNode* line, Take take) {
    for (; line != nullptr; line = line->next) {
        const char* text = line->text ? line->text : "";
        if (!take(line, text, textLength(text))) return;
        if (endsWithSavedBreak(line) && !take(line, SAVED_LINE_BREAK, size_t{2})) return;
    }
}

// The same backwards, from the last line to the first, each run's bytes still in order.
template <typename Take>
void forEachSavedRunBackwards(const LineNode* last, Take take) {
    for (const LineNode* line = last; line != nullptr; line = line->prev) {
        if (endsWithSavedBreak(line) && !take(line, SAVED_LINE_BREAK, size_t{2})) return;
        const char* text = line->text ? line->text : "";
        if (!take(line, text, textLength(text))) return;
    }
}

// Where a line holds a byte the document's encoding cannot write: line and column from 1.
struct UnwritableByte {
    bool found = false;
    long line = 0;
    size_t column = 0;
    unsigned char byte = 0;
};

// The saved runs from `line` on as the file holds them in the document's encoding: GBK
// runs as they are; in a UTF encoding the byte-order mark first (when `line` is the
// head), then each line's text and each break converted. UTF-8 breaks are passed as
// SAVED_LINE_BREAK itself. Stops when take returns false; false (with `unwritable` filled
// in when given) when a line holds a byte the encoding cannot write.
template <typename Take>
bool forEachEncodedRun(const LineNode* line, Take take, UnwritableByte* unwritable = nullptr) {
    const FileEncoding encoding = documentEncoding;
    if (encoding == FileEncoding::Gbk) {
        forEachSavedRun(line, take);
        return true;
    }
    const bool utf8 = encoding == FileEncoding::Utf8 || encoding == FileEncoding::Utf8WithMark;
    std::string run = byteOrderMark(encoding), lineBreak;
    size_t column = 0;
    appendEncoded(encoding, SAVED_LINE_BREAK, 2, lineBreak, column);
    if (line == doc.head && !run.empty() && !take(line, run.data(), run.size())) return true;
    long number = 1;
    for (const LineNode* at = doc.head; at != line; at = at->next) ++number;
    bool writable = true;
    forEachSavedRun(line, [&](const LineNode* owner, const char* bytes, size_t length) {
        if (bytes == SAVED_LINE_BREAK) {
            ++number;
            return utf8 ? take(owner, SAVED_LINE_BREAK, length) : take(owner, lineBreak.data(), lineBreak.size());
        }
        run.clear();
        if (!appendEncoded(encoding, bytes, length, run, column)) {
            if (unwritable) *unwritable = UnwritableByte{true, number, column + 1, static_cast<unsigned char>(bytes[column])};
            writable = false;
            return false;
        }
        return take(owner, run.data(), run.size());
    });
    return writable;
}

// The same backwards, from the last line to the first (the mark last), each run's bytes
// still in order.
template <typename Take>
bool forEachEncodedRunBackwards(const LineNode* last, Take take) {
    const FileEncoding encoding = documentEncoding;
    if (encoding == FileEncoding::Gbk) {
        forEachSavedRunBackwards(last, take);
        return true;
    }
    const bool utf8 = encoding == FileEncoding::Utf8 || encoding == FileEncoding::Utf8WithMark;
    std::string run, lineBreak;
    size_t column = 0;
    appendEncoded(encoding, SAVED_LINE_BREAK, 2, lineBreak, column);
    bool writable = true, reachedStart = true;
    forEachSavedRunBackwards(last, [&](const LineNode* owner, const char* bytes, size_t length) {
        bool goOn;
        if (bytes == SAVED_LINE_BREAK) {
            goOn = utf8 ? take(owner, SAVED_LINE_BREAK, length) : take(owner, lineBreak.data(), lineBreak.size());
        } else {
            run.clear();
            writable = appendEncoded(encoding, bytes, length, run, column);
            goOn = writable && take(owner, run.data(), run.size());
        }
        if (!goOn) reachedStart = false;
        return goOn;
    });
    const std::string mark = byteOrderMark(encoding);
    if (writable && reachedStart && !mark.empty()) take(doc.head, mark.data(), mark.size());
    return writable;
}
