// The one character rule, against a plain forward reading of the bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "document/gbk.h"

namespace {

// Reference: read from byte 0; a first byte takes the byte after it.
bool insideByForwardReading(const std::string& text, int pos) {
    bool trailNext = false;
    for (int i = 0; i < pos && i < static_cast<int>(text.size()); ++i)
        trailNext = !trailNext && isLeadByte(text[static_cast<size_t>(i)]);
    return trailNext;
}

TEST(GbkRule, BackwardParityAgreesWithForwardReadingEverywhere) {
    std::mt19937 random(936);
    // Mostly first-byte values, so long ambiguous runs occur; ASCII and trail-only bytes
    // ("@", "\\", 0x80) and 0xFF break them.
    const unsigned char alphabet[] = {0x81, 0xA1, 0xB0, 0xD6, 0xFE, 0x40, 0x5C, 0x7E, 0x80, 0xFF, 'a', ' '};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            const bool lead = random() % 4 != 0;
            text += static_cast<char>(lead ? alphabet[random() % 5] : alphabet[5 + random() % 7]);
        }
        for (int pos = 0; pos <= length + 1; ++pos)
            ASSERT_EQ(isInsideDoubleByte(text.c_str(), pos), insideByForwardReading(text, pos))
                << "round " << round << " pos " << pos;
    }
}

TEST(GbkRule, StepsAndLengthsKeepWholeCharacters) {
    // 學 is 8C 57: a first byte below 0xA1 with an ASCII-looking second byte.
    const char* text = "a\x8C\x57\xB0\x8A" "b\xD6";
    const int boundaries[] = {0, 1, 3, 5, 6, 7};
    int col = 0;
    for (size_t i = 1; i < sizeof boundaries / sizeof boundaries[0]; ++i) {
        col = stepRight(text, col);
        EXPECT_EQ(col, boundaries[i]);
        EXPECT_EQ(stepLeft(text, col), boundaries[i - 1]);
    }
    EXPECT_EQ(charLength(text, 1), 2);
    EXPECT_EQ(charLength(text, 6), 1);  // a lone first byte at the end stands alone
    EXPECT_EQ(boundaryAtOrBefore(text, 2), 1);
    EXPECT_FALSE(isLeadByte(static_cast<unsigned char>(0x80)));
    EXPECT_FALSE(isLeadByte(static_cast<unsigned char>(0xFF)));
}

}  // namespace
