#include "blocks/scramble.h"

#include <cstring>
#include <utility>

#include "blocks/line_operations.h"
#include "blocks/selected_lines.h"
#include "document/document.h"
#include "platform/platform.h"
#include "view/title.h"

// Bytes from 0xA0 up mirror around 0xCF.8 and bytes 0x01-0x9D around 0x4F, so both
// ranges stay within themselves. The mirror of the lower range would send 0x9E to the
// terminating zero (cutting the line) and 0x9F to 0xFF (which comes back as 0xA0); the
// two are exchanged with each other instead, so every line comes back whole.
unsigned char scrambledByte(unsigned char byte) {
    if (byte >= 0xA0) return static_cast<unsigned char>(0x19F - byte);
    if (byte == 0x9E) return 0x9F;
    if (byte == 0x9F) return 0x9E;
    return static_cast<unsigned char>(0x9E - byte);
}

void scrambleBytes(char* text, int length) {
    const int half = length / 2;
    if (length % 2 == 0) {
        for (int i = 0; i < half; i += 2) std::swap(text[i], text[length - 1 - i]);
    } else {
        for (int i = 1; i < half; i += 2) std::swap(text[i], text[half + 1 + i]);
    }
    for (int i = 0; i < length; ++i)
        text[i] = static_cast<char>(scrambledByte(static_cast<unsigned char>(text[i])));
}

void toggleScramble() {
    bool scrambled = false;
    for (LineNode* line = doc.head; line; line = line->next) {
        if (!isSelectedOneLineParagraph(line)) continue;
        scrambleBytes(line->text, static_cast<int>(std::strlen(line->text)));
        scrambled = true;
    }
    if (scrambled) {
        doc.modified = 1;
        updateTitle();
    }
    platform::invalidateAll(false);
}
