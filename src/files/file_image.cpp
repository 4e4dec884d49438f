#include "files/file_image.h"

#include <cstdio>
#include <limits>

#include "document/line_storage.h"
#include "platform/platform.h"

namespace {

constexpr size_t FIRST_GUESS = 1 << 20;
// Sizes above this are not believed (a directory reports the largest offset there is);
// a file that big still loads, growing its image as it is read.
constexpr long LARGEST_BELIEVED_SIZE = 1L << 30;

// The bytes from the stream's position to its end, as far as the stream can tell; a guess
// of a megabyte when it cannot (a device, a directory).
size_t expectedSize(FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return FIRST_GUESS;
    const long end = std::ftell(file);
    if (std::fseek(file, start, SEEK_SET) != 0) return FIRST_GUESS;
    if (end <= start || end - start > LARGEST_BELIEVED_SIZE) return FIRST_GUESS;
    return static_cast<size_t>(end - start);
}

// The image being filled: always room for one byte more than it holds, so that the read
// that meets the end of a file of the expected size needs no growth, and the terminator.
struct GrowingImage {
    char* bytes = nullptr;
    size_t size = 0, capacity = 0;
    int exitStatus;

    void reserve(size_t more) {
        if (capacity - size >= more + 2) return;
        capacity = size + more + 2;
        bytes = bytes ? resizeTextImage(bytes, capacity, exitStatus) : allocateTextImage(capacity, exitStatus);
    }

    // Appends up to `wanted` bytes of the stream (all of it for -1); false on a read error
    // or when the stream ends before `wanted`.
    bool append(FILE* file, int64_t wanted) {
        reserve(wanted >= 0 ? static_cast<size_t>(wanted) : expectedSize(file));
        int64_t left = wanted;
        while (left != 0) {
            if (capacity - size < 2) reserve(capacity / 2);
            size_t room = capacity - 1 - size;
            if (left > 0 && static_cast<uint64_t>(left) < room) room = static_cast<size_t>(left);
            const size_t read = std::fread(bytes + size, 1, room, file);
            size += read;
            if (left > 0) left -= static_cast<int64_t>(read);
            if (read == 0) break;
        }
        return !std::ferror(file) && left <= 0;
    }
};

// Opens a piece at its offset; null when it cannot be opened or reached (fseek takes a
// long, which is 32 bits on Windows: a farther offset is refused, not wrapped).
FILE* openPiece(const FilePiece& piece) {
    FILE* file = platform::openFile(piece.path, "rb");
    if (file == nullptr) return nullptr;
    const bool reachable = piece.offset <= std::numeric_limits<long>::max();
    if (!reachable || (piece.offset > 0 && std::fseek(file, static_cast<long>(piece.offset), SEEK_SET) != 0)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

}  // namespace

ImageRead readFileImage(const std::vector<FilePiece>& pieces, FileImage& image, int exitStatus) {
    GrowingImage growing;
    growing.exitStatus = exitStatus;
    ImageRead result = ImageRead::Read;
    for (size_t k = 0; k < pieces.size() && result == ImageRead::Read; ++k) {
        FILE* file = openPiece(pieces[k]);
        if (file == nullptr) {
            result = k == 0 ? ImageRead::CannotOpen : ImageRead::ReadError;
            break;
        }
        if (!growing.append(file, pieces[k].length)) result = ImageRead::ReadError;
        std::fclose(file);
    }
    if (result != ImageRead::Read) {
        freeTextImage(growing.bytes);
        return result;
    }
    growing.reserve(0);
    image.bytes = growing.bytes;
    image.size = growing.size;
    return result;
}
