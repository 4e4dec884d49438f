// Sorting the line block by the caret column or by a data column.
#include "blocks/sorting.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "blocks/sort_order.h"
#include "document/document.h"
#include "document/gbk.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"

SortMethod sortMethod = SortMethod::Fast;

namespace {

bool isAsciiDigit(char byte) { return byte >= '0' && byte <= '9'; }

// The position after the last double-byte character that ends at or before `pos`: the
// bytes from there to `pos` are all single-byte characters, so a digit among them is a
// real digit and not the second byte of a character.
int singleBytesStart(const char* text, int pos) {
    int start = 0;
    for (int col = 0; col < pos && text[col] != '\0';) {
        const int width = charLength(text, col);
        col += width;
        if (width == 2) start = col;
    }
    return start;
}

}  // namespace

// ==== Reading numbers ====

bool isNumberAt(const char* text, int pos) {
    if (pos < 0) return false;
    if (isAsciiDigit(text[pos])) return true;
    return pos > 0 && text[pos] == '.' && isAsciiDigit(text[pos - 1]) && singleBytesStart(text, pos) <= pos - 1;
}

double numberAt(const char* text, int pos) {
    if (pos < 0) return 0;
    const int floor = singleBytesStart(text, pos);
    auto digitAt = [&](int k) { return k >= floor && isAsciiDigit(text[k]); };
    // Back to the start of the number: over digits, over a "." between digits, and from
    // a digit over a "." that follows a digit.
    int start = pos;
    while (start > floor) {
        const int k = start;
        const bool back = (digitAt(k) && digitAt(k - 1)) ||
                          (digitAt(k) && text[k - 1] == '.' && k - 2 >= floor && digitAt(k - 2)) ||
                          (text[k] == '.' && digitAt(k - 1) && isAsciiDigit(text[k + 1]));
        if (!back) break;
        --start;
    }
    if (text[start] == '.') return 0;
    int end = start;
    while (isAsciiDigit(text[end]) || text[end] == '.') ++end;
    if (end == start) return 0;
    // The number is read whole, however long: no fixed buffer cuts it.
    const std::string digits(text + start, static_cast<size_t>(end - start));
    return std::strtod(digits.c_str(), nullptr);
}

// ==== Separators and fields ====

char findSeparator(const char* text) {
    static const char PREFERENCE[] = {'\t', ',', ' ', ':', ';'};
    bool present[sizeof PREFERENCE] = {};
    for (int col = 0; text[col] != '\0'; col += charLength(text, col))
        for (size_t k = 0; k < sizeof PREFERENCE; ++k)
            if (text[col] == PREFERENCE[k]) present[k] = true;
    for (size_t k = 0; k < sizeof PREFERENCE; ++k)
        if (present[k]) return PREFERENCE[k];
    return '\0';
}

namespace {

// Start of field `n` (0-based) of `text` split at `separator`, counting only separators
// that are characters of their own; -1 when the text has fewer separators.
int fieldStart(const char* text, int n, char separator) {
    if (n == 0) return 0;
    int seen = 0;
    for (int col = 0; text[col] != '\0'; col += charLength(text, col))
        if (text[col] == separator && ++seen == n) return col + 1;
    return -1;
}

// Number of separators before column `end` of `text`.
int separatorsBefore(const char* text, int end, char separator) {
    int count = 0;
    for (int col = 0; col < end && text[col] != '\0'; col += charLength(text, col))
        if (text[col] == separator) ++count;
    return count;
}

// ==== The block and its keys ====

constexpr uint32_t MOVED_FLAGS = LN_HARD_RETURN | LN_STYLE;

// The lines of the block: the first selected line from the top and the selected lines
// that follow it directly.
std::vector<LineNode*> lineBlock() {
    std::vector<LineNode*> block;
    LineNode* line = doc.head;
    while (line && !(line->flags & LN_SELECTED)) line = line->next;
    for (; line && (line->flags & LN_SELECTED); line = line->next) block.push_back(line);
    return block;
}

// One line's contents as they move, with its key worked out once.
struct SortLine {
    char* text;
    uint32_t movedFlags;
    int length;
    int keyStart;  // -1: the line has no key
    bool isNumber;
    double value;
};

SortLine contentsOf(const LineNode* line) {
    return SortLine{line->text, line->flags & MOVED_FLAGS, static_cast<int>(std::strlen(line->text)), -1, false, 0};
}

bool hasKey(const SortLine& line) { return line.keyStart >= 0; }

// Text order: the bytes from the key start to the end of the line, as strcmp orders them.
int compareKeys(const SortLine& a, const SortLine& b) { return std::strcmp(a.text + a.keyStart, b.text + b.keyStart); }

// The decision rule of the selection sort for rows holding lines i and j: whether j
// takes i's row.
struct ExchangeRule {
    const std::vector<SortLine>& lines;
    bool descending;
    bool numbers;             // line numbers shown: keys that are numbers compare by value
    bool keylessByLength;     // keyless lines go longest first (else they keep their order)

    bool exchanges(int i, int j) const {
        const SortLine& a = lines[static_cast<size_t>(i)];
        const SortLine& b = lines[static_cast<size_t>(j)];
        if (!hasKey(a) && !hasKey(b)) return keylessByLength && b.length > a.length;
        if (!hasKey(a)) return false;
        if (!hasKey(b)) return true;
        if (numbers) {
            if (a.isNumber && b.isNumber) return descending ? !(b.value < a.value) : b.value < a.value;
            if (a.isNumber) return !descending;
            if (b.isNumber) return descending;
        }
        const int order = compareKeys(a, b);
        return descending ? order < 0 : order > 0;
    }

    // The same rule as an order: keyless lines first, then (ascending) text keys before
    // numbers or (descending) numbers before text keys.
    int rank(const SortLine& line) const {
        if (!hasKey(line)) return 0;
        const bool number = numbers && line.isNumber;
        return number == descending ? 1 : 2;
    }
    bool comparesByValue(const SortLine& line) const { return hasKey(line) && numbers && line.isNumber; }

    bool goesBefore(int i, int j) const {
        const SortLine& a = lines[static_cast<size_t>(i)];
        const SortLine& b = lines[static_cast<size_t>(j)];
        const int rankA = rank(a), rankB = rank(b);
        if (rankA != rankB) return rankA < rankB;
        if (!hasKey(a)) return keylessByLength && a.length > b.length;
        if (comparesByValue(a)) return descending ? a.value > b.value : a.value < b.value;
        const int order = compareKeys(a, b);
        return descending ? order > 0 : order < 0;
    }
    // Equal numbers exchange in a descending sort (the rule asks "not smaller").
    bool equalsExchange(int i) const { return descending && comparesByValue(lines[static_cast<size_t>(i)]); }

    std::vector<int> order() const {
        const int n = static_cast<int>(lines.size());
        if (sortMethod == SortMethod::PlainSelection)
            return selectionSortOrder(n, [this](int i, int j) { return exchanges(i, j); });
        return exchangeSortOrder(
            n, [this](int i, int j) { return goesBefore(i, j); }, [this](int i) { return equalsExchange(i); });
    }
};

// Writes the sorted contents back onto the block's rows, which keep their selection and
// bookmark bits, and ends the command.
void putBack(const std::vector<LineNode*>& block, const std::vector<SortLine>& lines, const std::vector<int>& order) {
    for (size_t row = 0; row < block.size(); ++row) {
        const SortLine& moved = lines[static_cast<size_t>(order[row])];
        block[row]->text = moved.text;
        block[row]->flags = (block[row]->flags & ~MOVED_FLAGS) | moved.movedFlags;
    }
    doc.modified = 1;
    updateTitle();
    ensureCaretVisible();
}

// With no line selected there is nothing to sort; the command still ends as a sort does.
void endWithoutBlock() {
    doc.modified = 1;
    updateTitle();
    ensureCaretVisible();
}

bool shiftIsDown() { return platform::isKeyDown(VKEY_SHIFT); }

}  // namespace

// ==== The two sorts ====

void sortByCaretColumn() {
    if (!hasDocument()) return;
    const bool descending = shiftIsDown();
    const bool numbers = view.showLineNumbers != 0;
    const std::vector<LineNode*> block = lineBlock();
    if (block.empty()) return endWithoutBlock();
    const int col = doc.caretCol < 0 ? 0 : doc.caretCol;
    std::vector<SortLine> lines;
    for (const LineNode* row : block) {
        SortLine line = contentsOf(row);
        if (line.length > col) {
            line.keyStart = boundaryAtOrBefore(line.text, col);
            line.isNumber = numbers && isNumberAt(line.text, line.keyStart);
            if (line.isNumber) line.value = numberAt(line.text, line.keyStart);
        }
        lines.push_back(line);
    }
    putBack(block, lines, ExchangeRule{lines, descending, numbers, true}.order());
}

void sortByDataColumn() {
    if (!hasDocument() || doc.caretLine == nullptr) return;
    const char separator = findSeparator(doc.caretLine->text);
    if (separator == '\0') return;
    const bool descending = shiftIsDown();
    const bool numbers = view.showLineNumbers != 0;
    const std::vector<LineNode*> block = lineBlock();
    if (block.empty()) return endWithoutBlock();
    const int field = separatorsBefore(doc.caretLine->text, doc.caretCol, separator);
    std::vector<SortLine> lines;
    for (const LineNode* row : block) {
        SortLine line = contentsOf(row);
        line.keyStart = fieldStart(line.text, field, separator);
        // Here only a digit begins a number; a leading "." does not.
        line.isNumber = numbers && hasKey(line) && isAsciiDigit(line.text[line.keyStart]);
        if (line.isNumber) line.value = numberAt(line.text, line.keyStart);
        lines.push_back(line);
    }
    putBack(block, lines, ExchangeRule{lines, descending, numbers, false}.order());
}
