#include "document/gbk.h"

#include <cstring>

bool isInsideDoubleByte(const char* text, int pos) {
    if (text == nullptr || pos <= 0) return false;
    bool trailNext = false;
    for (int i = 0; i < pos && text[i] != '\0'; ++i)
        trailNext = !trailNext && isLeadByte(text[i]);
    return trailNext;
}

int stepRight(const char* text, int col) {
    const int length = static_cast<int>(std::strlen(text));
    if (col < length && isLeadByte(text[col]) && length - col >= 2) return col + 2;
    return col + 1;
}

int stepLeft(const char* text, int col) {
    int left = col - 1;
    if (isInsideDoubleByte(text, left)) --left;
    return left;
}

int charLength(const char* text, int pos) {
    return (isLeadByte(text[pos]) && text[pos + 1] != '\0') ? 2 : 1;
}
