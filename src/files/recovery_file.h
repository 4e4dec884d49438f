// The recovery file: what rebuilds a document's unsaved text after a crash or a kill.
//
// It lives in the user's local application-data folder, "<folder>\Kesh\Recovery\", named
// after a hash of the document's full path ("<16 hex digits>.kesh-recovery"), so two
// windows on different files never share one. It is written through a temporary file,
// flushed and then renamed over the previous copy (files/file_writer.h), so a crash
// during a write leaves the previous copy whole.
//
// Format: the line "Kesh recovery 1", then header lines "key=value" (GBK, each ended by
// LF), an empty line, and then `body-size` bytes of body. The text rebuilt is
//     the first `keep-head` bytes of the file on disk,
//     the body,
//     the file on disk from byte `keep-tail` to its end (nothing when keep-tail is -1),
// which loads as the document (the body is in the form Save writes, files/saved_text.h;
// the kept parts of the file on disk may end their lines with LF alone). A small document is
// kept whole in the body (keep-head 0, keep-tail -1); a big one keeps only the bytes
// between the longest unchanged start and the longest unchanged end of the file on disk,
// so typing in a 100 MB file writes a few kilobytes.
//
// Keys:
//   path         the document's full path (GBK)
//   encoding     the encoding of the body and of the file on disk: "GBK", "UTF-8",
//                "UTF-8 BOM", "UTF-16 LE" or "UTF-16 BE" (the body is the text as Save
//                writes it in that encoding, mark included when it is the file's start)
//   disk-size    size of the file on disk when the copy was made; -1 when there was none
//   disk-time    its last-write time then, in the system's units
//   changed      local time of the last change, "YYYY-MM-DD HH:MM:SS"
//   keep-head, keep-tail, body-size   as above
// A reader ignores keys it does not know, so later versions can add keys (another
// encoding, a table the encoding needs) without breaking older copies; a reader that
// misses a key it needs, or meets an encoding it cannot rebuild, treats the file as
// unreadable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/loader.h"
#include "platform/platform.h"

struct RecoveryHeader {
    std::string path;
    std::string encoding = "GBK";
    platform::FileStamp disk;  // the file on disk when the copy was made
    std::string changedAt;
    int64_t keepHead = 0;
    int64_t keepTail = -1;
    int64_t bodySize = 0;
    int64_t bodyOffset = 0;  // where the body starts in the recovery file (not a key)
};

// Documents whose saved text is at most this long are copied whole.
constexpr uint64_t WHOLE_COPY_LIMIT = 1u << 20;

// The recovery file's path for a document; empty when the system names no local
// application-data folder.
std::string recoveryPathFor(const std::string& documentPath);
// Writes the open document's recovery file (named by fileName, its folders made when
// missing), whole when its saved
// text is at most `wholeCopyLimit` bytes, else against the file on disk; false when the
// write failed (the previous copy is then untouched).
bool writeRecoveryFile(const std::string& recoveryPath, const std::string& changedAt,
                       uint64_t wholeCopyLimit = WHOLE_COPY_LIMIT);

enum class RecoveryRead { Missing, Unreadable, Usable };
// Reads and checks a recovery file's header for `documentPath` (a file made for another
// path counts as missing).
RecoveryRead readRecoveryHeader(const std::string& recoveryPath, const std::string& documentPath,
                                RecoveryHeader& header);
// True when the file on disk is no longer the one the copy was made against.
bool diskChangedSince(const RecoveryHeader& header);
// The pieces that rebuild the text; empty when the copy keeps bytes of the file on disk
// and that file has changed since.
std::vector<FilePiece> recoveredPieces(const std::string& recoveryPath, const RecoveryHeader& header);
