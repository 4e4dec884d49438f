#include "files/recovery_file.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>

#include "document/document.h"
#include "document/file_encoding.h"
#include "files/file_writer.h"
#include "files/saved_text.h"

namespace {

constexpr char FIRST_LINE[] = "Kesh recovery 1";
constexpr char RECOVERY_SUFFIX[] = ".kesh-recovery";
constexpr char PROGRAM_FOLDER[] = "\\Kesh";
constexpr char RECOVERY_FOLDER[] = "\\Kesh\\Recovery";
constexpr size_t CHUNK = 65536;

// ==== Naming ====

// FNV-1a over the path with ASCII letters folded, as Windows names ignore their case.
uint64_t pathHash(const std::string& path) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : path) {
        const unsigned char byte = static_cast<unsigned char>(c);
        hash ^= (byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

bool samePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x < 0x80 && y < 0x80 && (x | 0x20) == (y | 0x20) && (x | 0x20) >= 'a' && (x | 0x20) <= 'z'))
            return false;
    }
    return true;
}

// The header's name of an encoding: "GBK", or the caption's name of a UTF encoding.
std::string encodingName(FileEncoding encoding) {
    return encoding == FileEncoding::Gbk ? "GBK" : encodingTag(encoding);
}

bool knownEncoding(const std::string& name) {
    for (FileEncoding encoding : {FileEncoding::Gbk, FileEncoding::Utf8, FileEncoding::Utf8WithMark,
                                  FileEncoding::Utf16Le, FileEncoding::Utf16Be})
        if (name == encodingName(encoding)) return true;
    return false;
}

// ==== Comparing the document with the file on disk ====

// Sequential reads of the file on disk, matched against the document's saved runs.
struct ForwardReader {
    FILE* file;
    char buffer[CHUNK];
    size_t filled = 0, next = 0;

    explicit ForwardReader(FILE* f) : file(f) {}

    // How many of these bytes the file's next bytes equal; the equal ones are taken.
    size_t match(const char* bytes, size_t length) {
        size_t matched = 0;
        while (matched < length) {
            if (next == filled) {
                filled = std::fread(buffer, 1, sizeof buffer, file);
                next = 0;
                if (filled == 0) return matched;
            }
            const size_t run = std::min(length - matched, filled - next);
            const auto ends = std::mismatch(bytes + matched, bytes + matched + run, buffer + next);
            const size_t same = static_cast<size_t>(ends.first - (bytes + matched));
            matched += same;
            next += same;
            if (same < run) return matched;
        }
        return matched;
    }

    // The next byte without taking it; -1 at the end of the file.
    int peek() {
        if (next == filled) {
            filled = std::fread(buffer, 1, sizeof buffer, file);
            next = 0;
            if (filled == 0) return -1;
        }
        return static_cast<unsigned char>(buffer[next]);
    }

    // Takes the file's line end here, CR LF or LF alone; the bytes taken, 0 when none.
    size_t takeLineEnd() {
        const size_t crBytes = peek() == '\r' ? 1 : 0;
        next += crBytes;
        if (peek() != '\n') return 0;
        ++next;
        return crBytes + 1;
    }
};

// Reads of the file on disk from its end towards its start.
struct BackwardReader {
    FILE* file;
    char buffer[CHUNK];
    int64_t bufferStart;  // file offset of buffer[0]
    size_t left = 0;      // buffer[0 .. left) is still to be matched, last byte first

    BackwardReader(FILE* f, int64_t size) : file(f), bufferStart(size) {}

    // How many of these bytes, from their last one back, equal the file's bytes before
    // those already taken; the equal ones are taken.
    size_t match(const char* bytes, size_t length) {
        size_t matched = 0;
        while (matched < length) {
            if (left == 0 && !refill()) return matched;
            if (bytes[length - 1 - matched] != buffer[left - 1]) return matched;
            ++matched;
            --left;
        }
        return matched;
    }

    // The byte before those taken, without taking it; -1 at the start of the file.
    int peek() {
        if (left == 0 && !refill()) return -1;
        return static_cast<unsigned char>(buffer[left - 1]);
    }

    // Takes the line end (CR LF, or LF alone) that ends here, of at most `room` bytes;
    // the bytes taken, 0 when none fits.
    size_t takeLineEnd(uint64_t room) {
        if (room == 0 || peek() != '\n') return 0;
        --left;
        if (peek() != '\r') return 1;
        if (room < 2) return 0;
        --left;
        return 2;
    }

    bool refill() {
        const int64_t size = std::min<int64_t>(CHUNK, bufferStart);
        if (size == 0 || bufferStart - size > std::numeric_limits<long>::max()) return false;
        bufferStart -= size;
        if (std::fseek(file, static_cast<long>(bufferStart), SEEK_SET) != 0 ||
            std::fread(buffer, 1, static_cast<size_t>(size), file) != static_cast<size_t>(size))
            return false;
        left = static_cast<size_t>(size);
        return true;
    }
};

// The length of the document as Save writes it in its encoding; false when a byte
// cannot be written in it.
bool savedTextLength(uint64_t& length) {
    length = 0;
    return forEachEncodedRun(doc.head, [&](const LineNode*, const char*, size_t bytes) {
        length += bytes;
        return true;
    });
}

// Where the body starts: its line in the document, that line's saved offset, the body's
// offset in the saved text, and how many bytes of the file on disk come before it.
struct BodyStart {
    const LineNode* line = nullptr;
    uint64_t lineOffset = 0;
    uint64_t offset = 0;
    uint64_t diskOffset = 0;
};

// A file's line end counts as the same as Save's CR LF when it is CR LF or LF alone: the
// loader reads both as one line end, so a file that uses LF keeps its unchanged lines
// out of the copy as well. Any other difference ends the unchanged part.

// The longest start of the document's saved text that the file on disk begins with.
BodyStart unchangedStart(FILE* disk) {
    auto* reader = new ForwardReader(disk);
    BodyStart start;
    uint64_t lineOffset = 0;
    const LineNode* current = nullptr;
    forEachEncodedRun(doc.head, [&](const LineNode* line, const char* bytes, size_t length) {
        if (line != current) {
            current = line;
            lineOffset = start.offset;
        }
        const size_t taken = bytes == SAVED_LINE_BREAK ? reader->takeLineEnd() : reader->match(bytes, length);
        const size_t same = bytes == SAVED_LINE_BREAK ? (taken > 0 ? length : 0) : taken;
        start.offset += same;
        start.diskOffset += taken;
        if (same == length) return true;
        start.line = line;
        start.lineOffset = lineOffset;
        return false;
    });
    delete reader;
    return start;
}

// The longest end of the document's saved text that the file on disk ends with, within
// `documentRoom` bytes of the one and `diskRoom` bytes of the other (so that it never
// overlaps the unchanged start): its lengths in the document and on disk.
struct BodyEnd {
    uint64_t length = 0;
    uint64_t diskLength = 0;
};

BodyEnd unchangedEnd(FILE* disk, uint64_t diskSize, uint64_t documentRoom, uint64_t diskRoom) {
    auto* reader = new BackwardReader(disk, static_cast<int64_t>(diskSize));
    BodyEnd end;
    forEachEncodedRunBackwards(lastLine(), [&](const LineNode*, const char* bytes, size_t length) {
        if (bytes == SAVED_LINE_BREAK) {
            const size_t taken = documentRoom - end.length >= length ? reader->takeLineEnd(diskRoom - end.diskLength) : 0;
            end.length += taken > 0 ? length : 0;
            end.diskLength += taken;
            return taken > 0;
        }
        const size_t wanted = static_cast<size_t>(
            std::min<uint64_t>(length, std::min(documentRoom - end.length, diskRoom - end.diskLength)));
        const size_t same = reader->match(bytes + length - wanted, wanted);
        end.length += same;
        end.diskLength += same;
        return same == length;
    });
    delete reader;
    return end;
}

// ==== Writing ====

void writeHeader(FileWriter& writer, const RecoveryHeader& header) {
    char numbers[256];
    std::snprintf(numbers, sizeof numbers,
                  "disk-size=%" PRId64 "\ndisk-time=%" PRIu64 "\nkeep-head=%" PRId64 "\nkeep-tail=%" PRId64
                  "\nbody-size=%" PRId64 "\n",
                  header.disk.exists ? static_cast<int64_t>(header.disk.size) : int64_t{-1},
                  header.disk.lastWriteTime, header.keepHead, header.keepTail, header.bodySize);
    const std::string text = std::string(FIRST_LINE) + "\npath=" + header.path + "\nencoding=" + header.encoding +
                             "\nchanged=" + header.changedAt + "\n" + numbers + "\n";
    writeBytes(writer, text.data(), text.size());
}

// Writes `length` saved bytes from `start.offset` on.
void writeBody(FileWriter& writer, const BodyStart& start, uint64_t length) {
    uint64_t skip = start.offset - start.lineOffset;
    forEachEncodedRun(start.line ? start.line : doc.head, [&](const LineNode*, const char* bytes, size_t count) {
        if (skip >= count) {
            skip -= count;
            return true;
        }
        const size_t take = static_cast<size_t>(std::min<uint64_t>(count - skip, length));
        writeBytes(writer, bytes + skip, take);
        skip = 0;
        length -= take;
        return length > 0 && !writer.failed;
    });
}

// ==== Reading ====

bool parseNumber(const std::string& text, int64_t& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    value = parsed;
    return true;
}

// Reads "key=value" lines up to the empty line; false when the file ends first or a
// line is malformed.
bool readKeys(FILE* file, std::map<std::string, std::string>& keys) {
    char line[4096];
    if (!std::fgets(line, sizeof line, file) || std::string(line) != std::string(FIRST_LINE) + "\n") return false;
    while (std::fgets(line, sizeof line, file)) {
        std::string text(line);
        if (text.empty() || text.back() != '\n') return false;
        text.pop_back();
        if (text.empty()) return true;
        const size_t equals = text.find('=');
        if (equals == std::string::npos) return false;
        keys[text.substr(0, equals)] = text.substr(equals + 1);
    }
    return false;
}

bool headerFromKeys(const std::map<std::string, std::string>& keys, RecoveryHeader& header) {
    const char* required[] = {"path", "encoding", "changed", "disk-size", "disk-time", "keep-head", "keep-tail",
                              "body-size"};
    for (const char* key : required)
        if (keys.count(key) == 0) return false;
    int64_t diskSize = 0;
    header.path = keys.at("path");
    header.encoding = keys.at("encoding");
    header.changedAt = keys.at("changed");
    if (!parseNumber(keys.at("disk-size"), diskSize) || !parseNumber(keys.at("keep-head"), header.keepHead) ||
        !parseNumber(keys.at("keep-tail"), header.keepTail) || !parseNumber(keys.at("body-size"), header.bodySize))
        return false;
    const std::string& time = keys.at("disk-time");
    char* end = nullptr;
    header.disk.lastWriteTime = std::strtoull(time.c_str(), &end, 10);
    if (time.empty() || *end != '\0') return false;
    header.disk.exists = diskSize >= 0;
    header.disk.size = header.disk.exists ? static_cast<uint64_t>(diskSize) : 0;
    return true;
}

// The numbers describe a text that can be put together from the two files.
bool consistent(const RecoveryHeader& header, uint64_t recoverySize) {
    const int64_t diskSize = header.disk.exists ? static_cast<int64_t>(header.disk.size) : 0;
    return knownEncoding(header.encoding) && header.bodySize >= 0 && header.keepHead >= 0 &&
           header.keepHead <= diskSize && header.keepTail >= -1 && header.keepTail <= diskSize &&
           (header.keepTail < 0 || header.keepTail >= header.keepHead) &&
           static_cast<uint64_t>(header.bodyOffset) + static_cast<uint64_t>(header.bodySize) == recoverySize;
}

}  // namespace

std::string recoveryPathFor(const std::string& documentPath) {
    const std::string appData = platform::localAppDataFolder();
    if (appData.empty()) return "";
    char name[40];
    std::snprintf(name, sizeof name, "\\%016" PRIx64 "%s", pathHash(documentPath), RECOVERY_SUFFIX);
    return appData + RECOVERY_FOLDER + name;
}

namespace {
bool writeRecoveryCopy(const std::string& recoveryPath, const std::string& changedAt, uint64_t wholeCopyLimit,
                       uint64_t length);
}  // namespace

bool writeRecoveryFile(const std::string& recoveryPath, const std::string& changedAt, uint64_t wholeCopyLimit) {
    uint64_t length = 0;
    const FileEncoding encoding = documentEncoding;
    if (savedTextLength(length)) return writeRecoveryCopy(recoveryPath, changedAt, wholeCopyLimit, length);
    // A byte the document's encoding cannot write (Save refuses it and says where): the
    // copy keeps the text whole as the GBK bytes it holds, so none of it is lost.
    documentEncoding = FileEncoding::Gbk;
    savedTextLength(length);
    const bool written = writeRecoveryCopy(recoveryPath, changedAt, UINT64_MAX, length);
    documentEncoding = encoding;
    return written;
}

namespace {

bool writeRecoveryCopy(const std::string& recoveryPath, const std::string& changedAt, uint64_t wholeCopyLimit,
                       uint64_t length) {
    RecoveryHeader header;
    header.path = fileName;
    header.changedAt = changedAt;
    header.encoding = encodingName(documentEncoding);
    header.disk = platform::fileStamp(fileName);
    BodyStart start;
    BodyEnd end;
    FILE* disk = length > wholeCopyLimit && header.disk.exists ? platform::openFile(fileName, "rb") : nullptr;
    if (disk) {
        start = unchangedStart(disk);
        end = unchangedEnd(disk, header.disk.size, length - start.offset, header.disk.size - start.diskOffset);
        std::fclose(disk);
    }
    header.keepHead = static_cast<int64_t>(start.diskOffset);
    header.keepTail = end.diskLength > 0 ? static_cast<int64_t>(header.disk.size - end.diskLength) : -1;
    header.bodySize = static_cast<int64_t>(length - start.offset - end.length);
    // Made on the first write only: opening files leaves no folders behind.
    const std::string appData = platform::localAppDataFolder();
    platform::createFolder(appData + PROGRAM_FOLDER);
    platform::createFolder(appData + RECOVERY_FOLDER);
    FileWriter writer;
    if (!openFileWriter(writer, recoveryPath)) return false;
    writeHeader(writer, header);
    if (header.bodySize > 0) writeBody(writer, start, static_cast<uint64_t>(header.bodySize));
    return commitFileWriter(writer);
}

}  // namespace

RecoveryRead readRecoveryHeader(const std::string& recoveryPath, const std::string& documentPath,
                                RecoveryHeader& header) {
    if (!platform::fileStamp(recoveryPath).exists) return RecoveryRead::Missing;
    FILE* file = platform::openFile(recoveryPath, "rb");
    if (file == nullptr) return RecoveryRead::Unreadable;
    std::map<std::string, std::string> keys;
    bool usable = readKeys(file, keys) && headerFromKeys(keys, header);
    if (usable) header.bodyOffset = std::ftell(file);
    std::fclose(file);
    if (usable && !samePath(header.path, documentPath)) return RecoveryRead::Missing;
    usable = usable && header.bodyOffset > 0 && consistent(header, platform::fileStamp(recoveryPath).size);
    return usable ? RecoveryRead::Usable : RecoveryRead::Unreadable;
}

bool diskChangedSince(const RecoveryHeader& header) {
    const platform::FileStamp now = platform::fileStamp(header.path);
    if (now.exists != header.disk.exists) return true;
    return now.exists && (now.size != header.disk.size || now.lastWriteTime != header.disk.lastWriteTime);
}

std::vector<FilePiece> recoveredPieces(const std::string& recoveryPath, const RecoveryHeader& header) {
    const bool usesDisk = header.keepHead > 0 || header.keepTail >= 0;
    if (usesDisk && diskChangedSince(header)) return {};
    std::vector<FilePiece> pieces;
    if (header.keepHead > 0) pieces.push_back(FilePiece{header.path, 0, header.keepHead});
    pieces.push_back(FilePiece{recoveryPath, header.bodyOffset, header.bodySize});
    if (header.keepTail >= 0) pieces.push_back(FilePiece{header.path, header.keepTail, -1});
    return pieces;
}
