#include "files/file_image.h"

#include "document/line_storage.h"

namespace {

constexpr size_t FIRST_GUESS = 1 << 20;
// Sizes above this are not believed (a directory reports the largest offset there is);
// a file that big still loads, growing its image as it is read.
constexpr long LARGEST_BELIEVED_SIZE = 1L << 30;

// The bytes left in the file, as far as the stream can tell; a guess of a megabyte when it
// cannot (a device, a directory).
size_t expectedSize(FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return FIRST_GUESS;
    const long end = std::ftell(file);
    if (std::fseek(file, start, SEEK_SET) != 0) return FIRST_GUESS;
    if (end <= start || end - start > LARGEST_BELIEVED_SIZE) return FIRST_GUESS;
    return static_cast<size_t>(end - start);
}

}  // namespace

bool readFileImage(FILE* file, FileImage& image, int exitStatus) {
    // Room for the whole file, its terminator and one byte more, so that the read which
    // meets the end of a file of the expected size needs no growth.
    size_t capacity = expectedSize(file) + 2;
    char* bytes = allocateTextImage(capacity, exitStatus);
    size_t size = 0;
    for (;;) {
        if (capacity - size < 2) {
            capacity += capacity / 2;
            bytes = resizeTextImage(bytes, capacity, exitStatus);
        }
        const size_t read = std::fread(bytes + size, 1, capacity - 1 - size, file);
        size += read;
        if (read == 0) break;
    }
    if (std::ferror(file)) {
        freeTextImage(bytes);
        return false;
    }
    image.bytes = bytes;
    image.size = size;
    return true;
}
