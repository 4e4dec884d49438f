// Every block command that rewrites or copies lines keeps double-byte characters whole,
// also those whose second byte looks like a blank, a digit, a letter or a separator.
#include <algorithm>
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

// The double-byte characters of `text`, sorted, less the full-width spaces and forms
// (first bytes A1, A3) that indentation and the width command add or narrow on purpose.
// A first byte left alone before a line break pairs with the break, which no input holds;
// one alone at the very end shows as "?".
std::vector<std::string> pairsOf(const std::string& text) {
    std::vector<std::string> pairs;
    for (size_t pos = 0; pos < text.size(); pos += static_cast<size_t>(charLength(text.c_str(), static_cast<int>(pos))))
        if (pos + 1 < text.size() && isLeadByte(text[pos]) && (static_cast<unsigned char>(text[pos]) & 0xFD) != 0xA1)
            pairs.push_back(text.substr(pos, 2));
        else if (isLeadByte(text[pos]) && pos + 1 == text.size())
            pairs.push_back("?");
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

}  // namespace

TEST_F(EditingTest, BlockCommandsKeepDoubleByteCharactersWhole) {
    void (*const commands[])() = {normaliseIndent,  stripIndent,      deleteBlankLines,  narrowColumnGap,
                                  widenColumnGap,   toLowerCase,      toUpperCase,       fullToHalfWidth,
                                  sortByCaretColumn, sortByDataColumn, [] { splitAtMarkers(32794); }, copyDataColumn};
    const char* const pieces[] = {" ", "\t", "7", "2.5", "a", ",", ":", "一、", "(1)", "　", "Ａ"};
    const char seconds[] = " \t05aZ,.:;}\\\xD0";  // second bytes that look like ASCII, and one that does not
    std::mt19937 random(936);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines(1 + random() % 4);
        for (std::string& line : lines)
            for (int k = static_cast<int>(random() % 10); k > 0; --k)
                line += random() % 2 ? std::string(pieces[random() % (sizeof pieces / sizeof pieces[0])])
                                     : std::string{static_cast<char>(0x81 + random() % 0x7E), seconds[random() % (sizeof seconds - 1)]};
        std::string whole;
        for (const std::string& line : lines) whole += line + "\n";
        for (auto command : commands) {
            setDocument(lines);
            selectSpan(0, 0, static_cast<int>(lines.size()) - 1, static_cast<int>(lines.back().size()));
            const int row = static_cast<int>(random() % lines.size());
            putCaret(row, boundaryAtOrBefore(lines[row].c_str(), static_cast<int>(random() % (lines[row].size() + 1))));
            command();
            std::string after = command == copyDataColumn ? fake().clipboard : "";  // fields and CR LF
            if (command != copyDataColumn)
                for (const std::string& line : documentLines()) after += line + "\n";
            const auto before = pairsOf(whole), now = pairsOf(after);
            EXPECT_TRUE(std::includes(before.begin(), before.end(), now.begin(), now.end()) &&
                        (command == copyDataColumn || now == before))
                << "round " << round << ": " << ::testing::PrintToString(lines) << " -> " << ::testing::PrintToString(after);
        }
    }
}
