#include "document/paste_text.h"

#include "document/raw_lines.h"

std::vector<std::string> clipboardPieces(const std::string& text, bool tabsAsCommas, std::string* recorded) {
    std::vector<std::string> pieces(1);
    if (recorded) *recorded = text;
    RawLineReader reader;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == 0x1A) {  // ends the line and the text
            pieces.emplace_back();
            return pieces;
        }
        if (isDroppedControlByte(byte)) continue;
        // The byte after this one, passing over bytes that will be dropped.
        size_t after = i + 1;
        while (after < text.size() && isDroppedControlByte(static_cast<unsigned char>(text[after]))) ++after;
        const int next = after < text.size() ? static_cast<unsigned char>(text[after]) : -1;
        switch (reader.roleOf(byte, next)) {
            case RawByteRole::Pair:
                pieces.back() += text[i];
                pieces.back() += text[after];
                i = after;
                break;
            case RawByteRole::LineEnd: pieces.emplace_back(); break;
            case RawByteRole::SkippedLineFeed: break;
            case RawByteRole::Single:
                if (byte == '\\' && next == 'n') {
                    ++i;
                    pieces.emplace_back();
                    reader.endedLineAsCarriageReturn();
                } else if (byte == '\t' && tabsAsCommas) {
                    pieces.back() += ',';
                    if (recorded) (*recorded)[i] = ',';
                } else if (byte == '\t' || byte >= 0x20) {
                    pieces.back() += static_cast<char>(byte);
                }
                break;
        }
    }
    return pieces;
}

std::vector<std::string> literalPieces(const std::string& text) {
    std::vector<std::string> pieces(1);
    size_t start = 0;
    for (size_t found = text.find("\r\n"); found != std::string::npos; found = text.find("\r\n", start)) {
        pieces.back().assign(text, start, found - start);
        pieces.emplace_back();
        start = found + 2;
    }
    pieces.back().assign(text, start, std::string::npos);
    return pieces;
}
