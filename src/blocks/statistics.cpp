#include "blocks/statistics.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "blocks/selected_lines.h"
#include "blocks/sorting.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/selection.h"
#include "document/text.h"
#include "edit/clipboard.h"
#include "platform/platform.h"

namespace {

bool isFullWidthSpace(const char* at) {
    return static_cast<unsigned char>(at[0]) == 0xA1 && static_cast<unsigned char>(at[1]) == 0xA1;
}

bool isDigitByte(char byte) { return byte >= '0' && byte <= '9'; }

bool isLetterByte(char byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

// Adds the characters of one line to the counters (half-width is summed at the end).
void countLine(const char* text, TextStatistics& counts) {
    for (int i = 0; text[i] != '\0';) {
        const int length = charLength(text, i);
        ++counts.characters;
        if (length == 2) {
            if (isFullWidthSpace(text + i)) ++counts.spaces;
            else ++counts.chinese;
        } else if (isWhiteSpaceByte(text[i])) {
            ++counts.spaces;
        } else if (isDigitByte(text[i])) {
            ++counts.digits;
        } else if (isLetterByte(text[i])) {
            ++counts.letters;
        } else {
            ++counts.halfWidth;  // the other single bytes for now
        }
        i += length;
    }
}

// A number goes on over digits and dots; anything else, the line's end too, ends it.
bool continuesNumber(char byte) { return isDigitByte(byte) || byte == '.'; }

}  // namespace

// ==== Statistics ====

TextStatistics countStatistics() {
    TextStatistics counts;
    for (const LineNode* line = doc.head; line; line = line->next) {
        ++counts.lines;
        countLine(line->text, counts);
    }
    counts.halfWidth += counts.digits + counts.letters;
    return counts;
}

std::string statisticsReport(const TextStatistics& counts) {
    char report[2048];
    std::snprintf(report, sizeof report,
                  "行数:\t%lld,\n字数:\t%lld,\n中文:\t%lld,\n半角:\t%lld,\n英文:\t%lld,\n数字:\t%lld,\n空格:\t%lld。",
                  counts.lines, counts.characters, counts.chinese, counts.halfWidth, counts.letters,
                  counts.digits, counts.spaces);
    return report;
}

void showStatistics() {
    platform::showMessageBox(statisticsReport(countStatistics()), "统计结果", platform::BOX_OK);
}

// ==== Sum of the selected numbers ====

NumberSum sumSelectedNumbers() {
    NumberSum total;
    std::string number;
    for (const LineNode* line = doc.head; line; line = line->next) {
        if (!(line->flags & LN_SELECTED)) continue;
        const char* text = line->text;
        for (int i = 0; text[i] != '\0'; i += charLength(text, i)) {
            const char byte = text[i];
            // Only the selected bytes are collected, but a number ends where its digits
            // end, selected or not. A second byte is stepped over, never read as a digit.
            if (isSelectedAt(line, i) && (isDigitByte(byte) || (byte == '.' && !number.empty()))) number += byte;
            if (!number.empty() && !continuesNumber(text[i + 1])) {
                total.sum += std::atof(number.c_str());
                ++total.count;
                number.clear();
            }
        }
    }
    return total;
}

std::string sumReport(const NumberSum& total) {
    const char* format = " 共%d个数字, 累加和：%.2f ";
    const int length = std::snprintf(nullptr, 0, format, total.count, total.sum);
    std::string report(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(&report[0], report.size(), format, total.count, total.sum);
    report.resize(static_cast<size_t>(length));
    return report;
}

void sumNumbers() {
    // A clipboard that refuses the report would have its old content pasted instead.
    if (putTextOnClipboard(sumReport(sumSelectedNumbers()).c_str())) pasteClipboard();
}

// ==== Data column ====

std::string dataColumnText() {
    const char* caretText = doc.caretLine->text;
    const char separator = findSeparator(caretText);
    snapSelection();
    int field = 0;
    if (separator != '\0') {
        // Counted character by character: a second byte equal to the separator is none.
        const int before = static_cast<int>(std::strlen(caretText));
        for (int i = 0; i < doc.caretCol && i < before; i += charLength(caretText, i))
            if (caretText[i] == separator) ++field;
    }
    std::string column;
    for (const LineNode* line = doc.head; line; line = line->next) {
        if (!(line->flags & LN_SELECTED)) continue;
        int start = 0, end = 0;
        if (findField(field, separator, line->text, &start, &end) >= 0) column.append(line->text + start, end - start);
        column += "\r\n";
    }
    return column;
}

void copyDataColumn() {
    if (doc.caretLine == nullptr) return;
    putTextOnClipboard(dataColumnText().c_str());
}
