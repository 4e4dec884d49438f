#include "document/stand_ins.h"

#include <unordered_map>
#include <vector>

#include "document/code_page.h"
#include "document/gbk.h"

namespace {

// The code page's private codes, in code order.
const std::vector<uint16_t>& privateCodes() {
    static const std::vector<uint16_t> codes = [] {
        std::vector<uint16_t> found;
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const int unit = unicodeOfPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
                if (unit >= 0xE000 && unit <= 0xF8FF) found.push_back(static_cast<uint16_t>(lead << 8 | trail));
            }
        return found;
    }();
    return codes;
}

// The stand-ins given so far, by code point; and what each private code is used for.
std::unordered_map<uint32_t, uint16_t> codeOfCharacter;
std::vector<uint32_t> characterOfCode;  // by code: the real character of a stand-in, else 0
std::vector<bool> usedAsItself;          // by code: a private character of the text holds it
size_t nextPrivateCode = 0;              // where the search for a free code goes on

void prepareTables() {
    if (characterOfCode.empty()) {
        characterOfCode.assign(0x10000, 0);
        usedAsItself.assign(0x10000, false);
    }
}

}  // namespace

int standInFor(uint32_t codePoint) {
    const auto known = codeOfCharacter.find(codePoint);
    if (known != codeOfCharacter.end()) return known->second;
    prepareTables();
    const std::vector<uint16_t>& codes = privateCodes();
    while (nextPrivateCode < codes.size() && usedAsItself[codes[nextPrivateCode]]) ++nextPrivateCode;
    if (nextPrivateCode == codes.size()) return -1;
    const uint16_t code = codes[nextPrivateCode++];
    codeOfCharacter.emplace(codePoint, code);
    characterOfCode[code] = codePoint;
    return code;
}

uint32_t characterOfStandIn(unsigned char lead, unsigned char trail) {
    if (characterOfCode.empty()) return 0;
    return characterOfCode[lead << 8 | trail];
}

bool hasStandIns() { return !codeOfCharacter.empty(); }

int standInCapacity() { return static_cast<int>(privateCodes().size()); }

void forgetStandIns() {
    codeOfCharacter.clear();
    characterOfCode.clear();
    usedAsItself.clear();
    nextPrivateCode = 0;
}

int textCodeOf(uint32_t codePoint) {
    if (codePoint < 0x80) return static_cast<int>(codePoint);
    const auto known = codeOfCharacter.find(codePoint);
    if (known != codeOfCharacter.end()) return known->second;
    const int code = gbkCodeOf(codePoint);
    if (code == NO_CHARACTER) return standInFor(codePoint);
    if (codePoint >= 0xE000 && codePoint <= 0xF8FF) {
        // A private character keeps its own code unless a stand-in holds it already;
        // once it holds it, no stand-in may take it.
        prepareTables();
        if (characterOfCode[code] != 0) return standInFor(codePoint);
        usedAsItself[code] = true;
    }
    return code;
}

int characterAt(const unsigned char* text, size_t at, size_t size, size_t& length) {
    const unsigned char byte = text[at];
    if (isLeadByte(byte) && at + 1 < size) {
        length = 2;
        const uint32_t real = characterOfStandIn(byte, text[at + 1]);
        return real != 0 ? static_cast<int>(real) : unicodeOfPair(byte, text[at + 1]);
    }
    length = 1;
    return byte < 0x80 ? byte : unicodeOfSingleByte(byte);
}
