// Text lengths read sixteen bytes at a time, against the C library, for every start
// alignment, every terminator position near the block and span edges, and limits on
// either side of the terminator. Each text ends its own heap block, as a line's text does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "document/text_length.h"

TEST(TextLength, AgreesWithStrlenAndStrnlenAtEveryAlignment) {
    for (size_t offset = 0; offset < 64; ++offset) {
        for (size_t length = 0; length < 200; ++length) {
            char* block = static_cast<char*>(std::malloc(offset + length + 1));
            std::memset(block, 0, offset);  // NULs before the start must not count
            char* text = block + offset;
            std::memset(text, 0xB0, length);
            text[length] = '\0';
            ASSERT_EQ(textLength(text), length) << offset << " " << length;
            for (size_t limit : {size_t{0}, size_t{1}, length / 2, length, length + 1, length + 70})
                ASSERT_EQ(textLengthUpTo(text, limit), strnlen(text, limit)) << offset << " " << length << " " << limit;
            std::free(block);
        }
    }
    EXPECT_EQ(textLength(nullptr), 0u);
    EXPECT_EQ(textLengthUpTo(nullptr, 5), 0u);
}

TEST(TextLength, LongHeapTextWithHighBytes) {
    const size_t length = 3 * 1000 * 1000 + 7;
    char* text = static_cast<char*>(std::malloc(length + 1));
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(0x81 + i % 0x7E);  // no NUL among them
    text[length] = '\0';
    EXPECT_EQ(textLength(text), length);
    EXPECT_EQ(textLengthUpTo(text, length - 1), length - 1);
    EXPECT_EQ(textLengthUpTo(text, 2 * length), length);
    std::free(text);
}
