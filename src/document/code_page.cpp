#include "document/code_page.h"

#include <vector>

#include "platform/platform.h"

namespace {

constexpr int FIRST_LEAD = 0x81;
constexpr int FIRST_TRAIL = 0x40;
constexpr uint16_t NONE = 0;  // U+0000 is only ever the single byte 0x00

struct CodePageTables {
    uint16_t singles[256] = {};
    std::vector<uint16_t> pairs;   // by (lead - 0x81) * TRAILS_PER_LEAD + trail - 0x40
    std::vector<uint16_t> codes;   // by code point (BMP): the code, NONE when absent
    bool zeroIsByteZero = false;
};

// Asks the system for every code of the page once.
CodePageTables buildTables() {
    CodePageTables tables;
    tables.pairs.assign((0xFF - FIRST_LEAD) * TRAILS_PER_LEAD, NONE);
    tables.codes.assign(0x10000, NONE);
    for (int byte = 0; byte < 256; ++byte) {
        const char single = static_cast<char>(byte);
        uint16_t unit = 0;
        if (!platform::codePage936ToUnit(&single, 1, unit)) continue;
        if (byte == 0) {
            tables.zeroIsByteZero = unit == 0;
            continue;
        }
        tables.singles[byte] = unit;
        tables.codes[unit] = static_cast<uint16_t>(byte);
    }
    for (int lead = FIRST_LEAD; lead <= 0xFE; ++lead) {
        for (int trail = FIRST_TRAIL; trail <= 0xFE; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            uint16_t unit = 0;
            if (!platform::codePage936ToUnit(pair, 2, unit) || unit == 0) continue;
            // Surrogate halves are no characters on their own.
            if (unit >= 0xD800 && unit <= 0xDFFF) continue;
            tables.pairs[(lead - FIRST_LEAD) * TRAILS_PER_LEAD + trail - FIRST_TRAIL] = unit;
            if (tables.codes[unit] == NONE) tables.codes[unit] = static_cast<uint16_t>(lead << 8 | trail);
        }
    }
    return tables;
}

const CodePageTables& tables() {
    static const CodePageTables built = buildTables();
    return built;
}

}  // namespace

int unicodeOfSingleByte(unsigned char byte) {
    if (byte == 0) return tables().zeroIsByteZero ? 0 : NO_CHARACTER;
    const uint16_t unit = tables().singles[byte];
    return unit == NONE ? NO_CHARACTER : unit;
}

int unicodeOfPair(unsigned char lead, unsigned char trail) {
    if (lead < FIRST_LEAD || lead > 0xFE || trail < FIRST_TRAIL || trail > 0xFE) return NO_CHARACTER;
    const uint16_t unit = tables().pairs[(lead - FIRST_LEAD) * TRAILS_PER_LEAD + trail - FIRST_TRAIL];
    return unit == NONE ? NO_CHARACTER : unit;
}

int gbkCodeOf(uint32_t codePoint) {
    if (codePoint == 0) return tables().zeroIsByteZero ? 0 : NO_CHARACTER;
    if (codePoint > 0xFFFF) return NO_CHARACTER;
    const uint16_t code = tables().codes[codePoint];
    return code == NONE ? NO_CHARACTER : code;
}

const uint16_t* pairUnitTable() { return tables().pairs.data(); }

const uint16_t* codeOfUnitTable() { return tables().codes.data(); }
