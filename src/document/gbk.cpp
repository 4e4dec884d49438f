#include "document/gbk.h"

#include <cstring>

namespace {

// Walks bytes 0 .. pos-1 with a "next byte is a trail byte" flag for the given rule.
bool insideDoubleByteUnder(const char* text, int pos, unsigned char leadThreshold) {
    if (text == nullptr || pos <= 0) return false;
    bool trailNext = false;
    for (int i = 0; i < pos && text[i] != '\0'; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        trailNext = !trailNext && byte >= leadThreshold;
    }
    return trailNext;
}

}  // namespace

bool isInsideDoubleByte(const char* text, int pos) {
    return insideDoubleByteUnder(text, pos, 0xA1);
}

bool isInsideDisplayDoubleByte(const char* text, int pos) {
    return insideDoubleByteUnder(text, pos, 0xA0);
}

int stepRight(const char* text, int col) {
    const int length = static_cast<int>(std::strlen(text));
    if (col < length && isEditingLeadByte(static_cast<unsigned char>(text[col])) && length - col >= 2)
        return col + 2;
    return col + 1;
}

int stepLeft(const char* text, int col) {
    int left = col - 1;
    if (isInsideDoubleByte(text, left)) --left;
    return left;
}

int displayCharLength(const char* text, int pos) {
    const unsigned char byte = static_cast<unsigned char>(text[pos]);
    return (isDisplayLeadByte(byte) && text[pos + 1] != '\0') ? 2 : 1;
}
