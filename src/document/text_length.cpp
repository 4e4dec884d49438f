#include "document/text_length.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__)

// The scans read whole aligned 16-byte blocks. Such a block never crosses a page, so the
// bytes read around the text (before its start, after its terminator) are always mapped,
// but they may lie outside its allocation: the address sanitizer is told to let them be.
#if defined(__clang__) || defined(__GNUC__)
#define READS_WHOLE_BLOCKS __attribute__((no_sanitize_address))
#else
#define READS_WHOLE_BLOCKS
#endif

namespace {

constexpr uintptr_t BLOCK = 16;
constexpr uintptr_t SPAN = 4 * BLOCK;  // read at once where it is aligned: it never crosses a page either

// Bit i set for each byte i of the aligned block at `block` that is NUL.
READS_WHOLE_BLOCKS unsigned zeroBytesOf(const char* block) {
    const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
}

// True when one of the four blocks of the aligned span at `block` holds a NUL.
READS_WHOLE_BLOCKS bool spanHoldsZero(const char* block) {
    const __m128i* p = reinterpret_cast<const __m128i*>(block);
    const __m128i lowest = _mm_min_epu8(_mm_min_epu8(_mm_load_si128(p), _mm_load_si128(p + 1)),
                                        _mm_min_epu8(_mm_load_si128(p + 2), _mm_load_si128(p + 3)));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(lowest, _mm_setzero_si128())) != 0;
}

// Offset of the first NUL at or after `text`, looking no further than the block that
// holds text + limit - 1 (limit >= 1); `limit` when none is found there.
size_t zeroOffset(const char* text, size_t limit) {
    const char* block = reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(text) & ~(BLOCK - 1));
    const size_t skipped = static_cast<size_t>(text - block);
    // The first block's bytes before the text are not part of it.
    unsigned zeros = zeroBytesOf(block) >> skipped;
    if (zeros != 0) return static_cast<size_t>(__builtin_ctz(zeros));
    size_t scanned = BLOCK - skipped;  // bytes of the text behind `block + BLOCK`
    block += BLOCK;
    while (scanned < limit) {
        const bool spanStart = (reinterpret_cast<uintptr_t>(block) & (SPAN - 1)) == 0;
        if (spanStart && limit - scanned > SPAN && !spanHoldsZero(block)) {
            block += SPAN;
            scanned += SPAN;
            continue;
        }
        zeros = zeroBytesOf(block);
        if (zeros != 0) return scanned + static_cast<size_t>(__builtin_ctz(zeros));
        block += BLOCK;
        scanned += BLOCK;
    }
    return limit;
}

}  // namespace

size_t textLength(const char* text) { return text ? zeroOffset(text, SIZE_MAX) : 0; }

size_t textLengthUpTo(const char* text, size_t limit) {
    if (text == nullptr || limit == 0) return 0;
    const size_t length = zeroOffset(text, limit);
    return length < limit ? length : limit;
}

#else

size_t textLength(const char* text) { return text ? std::strlen(text) : 0; }

size_t textLengthUpTo(const char* text, size_t limit) {
    size_t length = 0;
    while (text && length < limit && text[length] != '\0') ++length;
    return length;
}

#endif
