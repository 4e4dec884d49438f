// Every line-block command that rewrites or copies text keeps double-byte characters
// whole, also those whose second byte looks like a blank, a digit, a letter or a
// separator. (The scrambling is an encoding of bytes, not of characters, and stays out.)
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "blocks/line_operations.h"
#include "blocks/markers.h"
#include "blocks/sorting.h"
#include "blocks/statistics.h"
#include "document/gbk.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

// Second bytes that a byte-wise loop would take for white space, digits, letters,
// separators or braces, and two ordinary ones.
const char ASCII_LOOKING_SECONDS[] = " \t05aZz,.:;}\\\xA1\xD0";
const char* const SINGLE_PIECES[] = {" ", "\t", "  ", "7", "2.5", "a", "Q", ",", ":", ";", "一、",
                                     "(1)", "3.", "\xA1\xA1", "\xA3\xC1", "\xA3\xB1"};

std::string randomLine(std::mt19937& random) {
    std::string line;
    const int pieces = static_cast<int>(random() % 10);
    for (int k = 0; k < pieces; ++k) {
        if (random() % 2) {
            line += static_cast<char>(0x81 + random() % 0x7E);
            line += ASCII_LOOKING_SECONDS[random() % (sizeof ASCII_LOOKING_SECONDS - 1)];
        } else {
            line += SINGLE_PIECES[random() % (sizeof SINGLE_PIECES / sizeof SINGLE_PIECES[0])];
        }
    }
    return line;
}

// The double-byte characters of `lines`, sorted, without the full-width spaces (first
// byte A1) and forms (A3) that indentation and the width command add or narrow on
// purpose; `brokenEnd` tells whether a line ends in a first byte alone.
std::vector<std::string> doubleByteCharacters(const Lines& lines, bool& brokenEnd) {
    std::vector<std::string> characters;
    brokenEnd = false;
    for (const std::string& line : lines) {
        const char* text = line.c_str();
        for (int pos = 0; text[pos] != '\0'; pos += charLength(text, pos)) {
            if (charLength(text, pos) == 2) {
                const unsigned char first = static_cast<unsigned char>(text[pos]);
                if (first != 0xA1 && first != 0xA3) characters.push_back(line.substr(static_cast<size_t>(pos), 2));
            } else if (isLeadByte(text[pos])) {
                brokenEnd = true;
            }
        }
    }
    std::sort(characters.begin(), characters.end());
    return characters;
}

Lines clipboardLines() {
    Lines lines(1);
    const std::string& text = fake().clipboard;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (text.compare(pos, 2, "\r\n") == 0) {
            lines.emplace_back();
            ++pos;
        } else {
            lines.back() += text[pos];
        }
    }
    return lines;
}

std::string hexOf(const Lines& lines) {
    std::string shown;
    for (const std::string& line : lines) {
        for (const char byte : line) {
            char piece[4];
            std::snprintf(piece, sizeof piece, "%02X ", static_cast<unsigned char>(byte));
            shown += piece;
        }
        shown += "| ";
    }
    return shown;
}

struct BlockCommand {
    const char* name;
    void (*run)();
    bool copies;  // reads back the clipboard instead of the document
};

const BlockCommand COMMANDS[] = {
    {"normaliseIndent", normaliseIndent, false},
    {"stripIndent", stripIndent, false},
    {"deleteBlankLines", deleteBlankLines, false},
    {"narrowColumnGap", narrowColumnGap, false},
    {"widenColumnGap", widenColumnGap, false},
    {"toLowerCase", toLowerCase, false},
    {"toUpperCase", toUpperCase, false},
    {"fullToHalfWidth", fullToHalfWidth, false},
    {"sortByCaretColumn", sortByCaretColumn, false},
    {"sortByDataColumn", sortByDataColumn, false},
    {"splitAtMarkers", [] { splitAtMarkers(32794); }, false},
    {"copyDataColumn", copyDataColumn, true},
};

class BlockCharactersTest : public EditingTest {};

}  // namespace

TEST_F(BlockCharactersTest, EveryCommandLeavesDoubleByteCharactersWhole) {
    std::mt19937 random(936);
    for (int round = 0; round < 300; ++round) {
        Lines lines(1 + random() % 5);
        for (std::string& line : lines) line = randomLine(random);
        const int caretLine = static_cast<int>(random() % lines.size());
        const int caretCol = lines[caretLine].empty() ? 0 : static_cast<int>(random() % lines[caretLine].size());
        bool brokenBefore = false;
        const std::vector<std::string> before = doubleByteCharacters(lines, brokenBefore);
        for (const BlockCommand& command : COMMANDS) {
            setDocument(lines);
            const int last = static_cast<int>(lines.size()) - 1;
            selectSpan(0, 0, last, static_cast<int>(lines[last].size()));
            putCaret(caretLine, boundaryAtOrBefore(lines[caretLine].c_str(), caretCol));
            command.run();
            const Lines after = command.copies ? clipboardLines() : documentLines();
            bool brokenAfter = false;
            const std::vector<std::string> characters = doubleByteCharacters(after, brokenAfter);
            EXPECT_FALSE(brokenAfter) << command.name << ": " << hexOf(lines) << "-> " << hexOf(after);
            if (command.copies)
                EXPECT_TRUE(std::includes(before.begin(), before.end(), characters.begin(), characters.end()))
                    << command.name << ": " << hexOf(lines) << "-> " << hexOf(after);
            else
                EXPECT_EQ(characters, before) << command.name << ": " << hexOf(lines) << "-> " << hexOf(after);
            ASSERT_EQ(documentInvariantViolation(), "") << command.name;
        }
    }
}
