// The loader takes runs of plain characters straight from its read buffer; the lines must
// be exactly those of the byte-by-byte rules, wherever a run stops: at control bytes, line
// ends, lone first bytes, dropped bytes between a first and a second byte, and the edge of
// the read buffer.
#include <random>
#include <string>
#include <vector>

#include "document/raw_lines.h"
#include "files/loader.h"
#include "support/test_document.h"

namespace {

using Lines = std::vector<std::string>;

int byteAt(const std::string& bytes, size_t at) { return static_cast<unsigned char>(bytes[at]); }

// The lines of a plain file, one byte at a time: Ctrl-Z ends the text, other control bytes
// (NUL too) are dropped before pairs are formed, tabs stay, RawLineReader decides the rest.
Lines linesByTheRules(const std::string& bytes) {
    Lines lines(1);
    RawLineReader reader;
    size_t at = 0;
    while (at < bytes.size()) {
        const int c = byteAt(bytes, at);
        if (c == 0x1A) break;
        if (isDroppedControlByte(c)) {
            ++at;
            continue;
        }
        size_t following = at + 1;
        while (following < bytes.size() && isDroppedControlByte(byteAt(bytes, following))) ++following;
        const int next = following < bytes.size() ? byteAt(bytes, following) : -1;
        at = following;
        switch (reader.roleOf(c, next)) {
            case RawByteRole::Pair:
                lines.back() += static_cast<char>(c);
                lines.back() += static_cast<char>(next);
                ++at;
                break;
            case RawByteRole::LineEnd: lines.emplace_back(); break;
            case RawByteRole::SkippedLineFeed: break;
            case RawByteRole::Single:
                if (c == 0x09 || c >= 0x20) lines.back() += static_cast<char>(c);
                break;
        }
    }
    return lines;
}

// Mostly text, with every byte that stops a run mixed in.
std::string randomFileBytes(std::mt19937& random, size_t size) {
    static const unsigned char stoppers[] = {0x0D, 0x0A, 0x0C, 0x8A, 0x8C, 0x8D, 0x00, 0x01, 0x1F,
                                             0x09, 0x7F, 0x80, 0xFF, 0x81, 0xFE, 0x3F, 0x40, 0x1A};
    std::string bytes;
    while (bytes.size() < size) {
        const unsigned pick = random() % 40;
        if (pick < 24) {  // a whole character
            bytes += static_cast<char>(0x81 + random() % 126);
            bytes += static_cast<char>(0x40 + random() % 191);
        } else if (pick < 36) {
            bytes += static_cast<char>(0x20 + random() % 0x60);
        } else if (pick < 39 || random() % 50 == 0) {  // Ctrl-Z, which ends the text, rarely
            const unsigned char stopper = stoppers[random() % (sizeof stoppers - 1)];
            bytes += static_cast<char>(stopper);
        } else {
            bytes += "\r\n";
        }
    }
    return bytes;
}

}  // namespace

TEST_F(CoreTest, LoadedLinesFollowTheByteRulesWhereverARunStops) {
    std::mt19937 random(917);
    std::vector<std::string> files;
    for (int k = 0; k < 60; ++k) files.push_back(randomFileBytes(random, 1 + random() % 3000));
    for (int k = 0; k < 6; ++k) files.push_back(randomFileBytes(random, 65536 * 2 + random() % 4000));
    // A pair, a pair split by a dropped byte, a CR LF and a lone first byte across the edge
    // of the 64 KB read buffer.
    for (const std::string edge : {"\xB0\xA1", "\xB0\x01\xA1", "\r\n", "\x8C\r"}) {
        for (size_t before = 65534; before <= 65536; ++before)
            files.push_back(std::string(before, 'a') + edge + "b\xB0\xA1" + std::string(70000, 'c'));
    }
    for (size_t k = 0; k < files.size(); ++k) {
        loadFile(writeTempFile("runs.txt", files[k]).c_str());
        ASSERT_EQ(documentLines(), linesByTheRules(files[k])) << "file " << k;
        ASSERT_EQ(documentInvariantViolation(), "") << "file " << k;
    }
}
