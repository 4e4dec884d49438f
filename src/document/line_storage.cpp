#include "document/line_storage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/document.h"
#include "document/memory.h"

// Under AddressSanitizer every carved piece is fenced like a heap allocation: the free
// space of a block and each released piece are poisoned, and a poisoned red zone follows
// every piece, so reading a released line, running past a text's end into the next piece
// or releasing a piece twice is reported as it would be for malloc's own memory.
#if defined(__SANITIZE_ADDRESS__)
#define KESH_FENCED_PIECES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESH_FENCED_PIECES 1
#endif
#endif

#ifdef KESH_FENCED_PIECES
#include <sanitizer/asan_interface.h>
#endif

namespace {

constexpr size_t FIRST_BLOCK_SIZE = 64 * 1024;
constexpr size_t LARGEST_BLOCK_SIZE = 4 * 1024 * 1024;
// A text longer than this gets an allocation of its own: the rest of a block that cannot
// hold the next piece is lost until the block goes, so pieces stay small beside blocks.
constexpr size_t LARGEST_CARVED_TEXT = 16 * 1024;
constexpr size_t NODE_ALIGNMENT = alignof(LineNode) < 8 ? 8 : alignof(LineNode);

#ifdef KESH_FENCED_PIECES
constexpr size_t RED_ZONE = 8;
constexpr size_t TEXT_ALIGNMENT = 8;  // the poisoning granularity
#else
constexpr size_t RED_ZONE = 0;
constexpr size_t TEXT_ALIGNMENT = 1;
#endif

// Each block begins with its header; the pieces follow it.
struct BlockHeader {
    size_t size;   // of the whole block, header included
    size_t live;   // pieces carved and not yet released
    bool inPlace;  // a text image: its pieces lie side by side without fences
};
constexpr size_t HEADER_SIZE = (sizeof(BlockHeader) + 15) / 16 * 16;

// The live blocks, in address order, for telling a carved piece from a heap allocation.
std::vector<char*> blockStarts;

// The block pieces are carved from: null outside a carving (and before its first piece).
// Texts are carved upwards from its start and nodes downwards from its end, so neither
// needs padding for the other's alignment; the block is full where the two meet.
char* openBlock = nullptr;
size_t openLow = 0;   // the first free byte above the texts (offset from the block start)
size_t openHigh = 0;  // the lowest byte taken by a node
size_t nextBlockSize = FIRST_BLOCK_SIZE;
bool carving = false;
char* openImage = nullptr;  // the block of the text image texts are taken from, or null
int carvingExitStatus = EXIT_STATUS_CORE;

BlockHeader* headerOf(char* block) { return reinterpret_cast<BlockHeader*>(block); }

void poison(const void* piece, size_t size) {
#ifdef KESH_FENCED_PIECES
    ASAN_POISON_MEMORY_REGION(piece, size);
#else
    (void)piece;
    (void)size;
#endif
}

void unpoison(const void* piece, size_t size) {
#ifdef KESH_FENCED_PIECES
    ASAN_UNPOISON_MEMORY_REGION(piece, size);
#else
    (void)piece;
    (void)size;
#endif
}

// The start of the live block that holds `piece`, or null.
char* blockHolding(const void* piece) {
    const auto address = reinterpret_cast<uintptr_t>(piece);
    auto after = std::upper_bound(blockStarts.begin(), blockStarts.end(), address,
                                  [](uintptr_t a, char* start) { return a < reinterpret_cast<uintptr_t>(start); });
    if (after == blockStarts.begin()) return nullptr;
    char* start = *(after - 1);
    return address < reinterpret_cast<uintptr_t>(start) + headerOf(start)->size ? start : nullptr;
}

void insertBlockStart(char* block) {
    blockStarts.insert(std::upper_bound(blockStarts.begin(), blockStarts.end(), block,
                                        [](char* a, char* b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); }),
                       block);
}

void freeBlock(char* block) {
    unpoison(block, headerOf(block)->size);
    blockStarts.erase(std::lower_bound(blockStarts.begin(), blockStarts.end(), block,
                                       [](char* a, char* b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); }));
    std::free(block);
}

// Ends carving from the open block; a block whose pieces are all gone goes at once.
void closeOpenBlock() {
    if (openBlock && headerOf(openBlock)->live == 0) freeBlock(openBlock);
    openBlock = nullptr;
    openLow = openHigh = 0;
}

// Starts a new open block with room for at least `needed` bytes after its header.
void startBlock(size_t needed) {
    closeOpenBlock();
    size_t size = nextBlockSize;
    while (size < HEADER_SIZE + needed) size *= 2;
    if (nextBlockSize < LARGEST_BLOCK_SIZE) nextBlockSize *= 2;
    char* block = static_cast<char*>(allocateOrExit(size, carvingExitStatus));
    *headerOf(block) = BlockHeader{size, 0, false};
    poison(block + HEADER_SIZE, size - HEADER_SIZE);
    insertBlockStart(block);
    openBlock = block;
    openLow = HEADER_SIZE;
    openHigh = size;
}

size_t roundUp(size_t value, size_t alignment) { return (value + alignment - 1) / alignment * alignment; }
size_t roundDown(size_t value, size_t alignment) { return value / alignment * alignment; }

// Where a piece of `size` bytes (and its red zone) goes in the open block, from the bottom
// or from the top; 0 when it does not fit.
size_t placeInOpenBlock(size_t size, size_t alignment, bool fromTop) {
    if (openBlock == nullptr) return 0;
    const size_t span = size + RED_ZONE;
    if (fromTop) {
        if (openHigh < span) return 0;
        const size_t at = roundDown(openHigh - span, alignment);
        return at >= openLow ? at : 0;
    }
    const size_t at = roundUp(openLow, alignment);
    return at + span <= openHigh ? at : 0;
}

// `size` bytes aligned to `alignment`, carved from the open block (a new one when it is
// full): texts from the bottom, nodes from the top.
void* carve(size_t size, size_t alignment, bool fromTop) {
    size_t at = placeInOpenBlock(size, alignment, fromTop);
    if (at == 0) {
        startBlock(size + RED_ZONE + alignment);
        at = placeInOpenBlock(size, alignment, fromTop);
    }
    if (fromTop)
        openHigh = at;
    else
        openLow = at + size + RED_ZONE;
    ++headerOf(openBlock)->live;
    unpoison(openBlock + at, size);
    return openBlock + at;
}

// Releases a carved piece, fencing its first `size` bytes: false when `piece` is not carved.
bool releasePiece(void* piece, size_t size) {
    char* block = blockHolding(piece);
    if (block == nullptr) return false;
#ifdef KESH_FENCED_PIECES
    // A piece released before is poisoned: reading it makes the sanitizer report the
    // second release where it happens.
    if (__asan_address_is_poisoned(piece)) (void)*static_cast<volatile char*>(piece);
#endif
    if (!headerOf(block)->inPlace) poison(piece, size);
    if (--headerOf(block)->live == 0 && block != openBlock && block != openImage) freeBlock(block);
    return true;
}

}  // namespace

LineCarving::LineCarving(int exitStatus) : outermost_(!carving) {
    if (!outermost_) return;
    carving = true;
    carvingExitStatus = exitStatus;
    nextBlockSize = FIRST_BLOCK_SIZE;
}

LineCarving::~LineCarving() {
    if (!outermost_) return;
    closeOpenBlock();
    carving = false;
    carvingExitStatus = EXIT_STATUS_CORE;
}

LineNode* allocateLineNodeMemory() {
    if (carving) return static_cast<LineNode*>(carve(sizeof(LineNode), NODE_ALIGNMENT, true));
    return static_cast<LineNode*>(allocateOrExit(sizeof(LineNode)));
}

char* storeLineText(const char* bytes, size_t length, int exitStatus) {
    if (!carving || length > LARGEST_CARVED_TEXT) return copyBytesOrExit(bytes, length, exitStatus);
    char* text = static_cast<char*>(carve(length + 1, TEXT_ALIGNMENT, false));
    if (length > 0) std::memcpy(text, bytes, length);
    text[length] = '\0';
    return text;
}

void releaseLineText(char* text) {
    if (text == nullptr) return;
    // A text is only ever shortened in place, so its bytes up to the terminator lie
    // inside its piece; with the alignment and red zone the rounded length does too.
#ifdef KESH_FENCED_PIECES
    const size_t fenced = roundUp(std::strlen(text) + 1, TEXT_ALIGNMENT);
#else
    const size_t fenced = 0;
#endif
    if (!releasePiece(text, fenced)) std::free(text);
}

void replaceLineText(LineNode* line, char* text) {
    char* old = line->text;
    line->text = text;
    releaseLineText(old);
}

void releaseLineNode(LineNode* line) {
    if (line == nullptr) return;
    if (!releasePiece(line, sizeof(LineNode))) std::free(line);
}

char* detachLineText(char* text) {
    if (text == nullptr || !isCarvedPiece(text)) return text;
    char* copy = copyStringOrExit(text);
    releaseLineText(text);
    return copy;
}

char* allocateTextImage(size_t capacity, int exitStatus) {
    return static_cast<char*>(allocateOrExit(HEADER_SIZE + capacity, exitStatus)) + HEADER_SIZE;
}

char* resizeTextImage(char* image, size_t capacity, int exitStatus) {
    void* resized = std::realloc(image - HEADER_SIZE, HEADER_SIZE + capacity);
    if (resized == nullptr) std::exit(exitStatus);
    return static_cast<char*>(resized) + HEADER_SIZE;
}

void freeTextImage(char* image) {
    if (image != nullptr) std::free(image - HEADER_SIZE);
}

void openTextImage(char* image) {
    closeTextImage();
    char* block = image - HEADER_SIZE;
    // The size is not asked of the heap: the image reaches at least to its last text.
    *headerOf(block) = BlockHeader{HEADER_SIZE + 1, 0, true};
    openImage = block;
    insertBlockStart(block);
}

char* takeTextInPlace(char* start, size_t length, int exitStatus) {
#ifdef KESH_FENCED_PIECES
    return storeLineText(start, length, exitStatus);
#else
    (void)exitStatus;
    start[length] = '\0';
    BlockHeader* header = headerOf(openImage);
    header->size = static_cast<size_t>(start + length + 1 - openImage);
    ++header->live;
    return start;
#endif
}

void closeTextImage() {
    if (openImage == nullptr) return;
    char* block = openImage;
    openImage = nullptr;
    if (headerOf(block)->live == 0) freeBlock(block);
}

bool isCarvedPiece(const void* piece) { return piece != nullptr && blockHolding(piece) != nullptr; }

size_t carvedBlockCount() { return blockStarts.size(); }
