#include "document/paste_text.h"

namespace {

// What one clipboard byte does to the pieces.
enum class ByteRole { Copy, Comma, Drop, BreakCr, BreakLf, EndOfText, BreakTwo, CopyTwo };

// The role of `text[i]`, given whether it stands as the second byte of a character.
ByteRole roleOf(const std::string& text, size_t i, bool secondByte, bool tabsAsCommas) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == 0x1A) return ByteRole::EndOfText;
    if (byte == 0x8A) return secondByte ? ByteRole::Copy : ByteRole::BreakLf;
    if (!secondByte) {
        if (byte == 0x0C || byte == 0x8C || byte == 0x8D) return ByteRole::BreakCr;
        if (byte == '\\' && i + 1 < text.size() && text[i + 1] == 'n') return ByteRole::BreakTwo;
        if (byte >= 0x80 && byte <= 0x9F) return ByteRole::CopyTwo;
    }
    if (byte == '\n') return ByteRole::BreakLf;
    if (byte == '\r') return ByteRole::BreakCr;
    if (byte == '\t') return tabsAsCommas ? ByteRole::Comma : ByteRole::Copy;
    if (byte < 0x20) return ByteRole::Drop;
    return ByteRole::Copy;
}

}  // namespace

std::vector<std::string> clipboardPieces(const std::string& text, bool tabsAsCommas, std::string* recorded) {
    std::vector<std::string> pieces(1);
    if (recorded) *recorded = text;
    // True when the byte under examination is the second byte of a character whose first
    // byte is above 0xA0. Whatever its value, that byte ends the character.
    bool secondByte = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        const ByteRole role = roleOf(text, i, secondByte, tabsAsCommas);
        secondByte = !secondByte && byte > 0xA0;
        std::string& piece = pieces.back();
        switch (role) {
            case ByteRole::Copy: piece += static_cast<char>(byte); break;
            case ByteRole::Comma:
                piece += ',';
                if (recorded) (*recorded)[i] = ',';
                break;
            case ByteRole::Drop: break;
            case ByteRole::BreakCr: pieces.emplace_back(); break;
            case ByteRole::BreakLf:
                if (!piece.empty()) pieces.emplace_back();
                break;
            case ByteRole::EndOfText:
                pieces.emplace_back();
                return pieces;
            case ByteRole::BreakTwo:
                ++i;
                pieces.emplace_back();
                break;
            case ByteRole::CopyTwo:
                piece += static_cast<char>(byte);
                if (i + 1 < text.size()) piece += text[++i];
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
