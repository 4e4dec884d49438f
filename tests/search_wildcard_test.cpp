// The wildcard matcher: the token language, the line rules, captures, character
// boundaries, a randomized check against the document's bytes, and the scan against
// fresh attempts at every start.
#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "document/gbk.h"
#include "document/memory.h"
#include "document/selection.h"
#include "search/find_state.h"
#include "search/replace_template.h"
#include "search/wildcard.h"
#include "support/test_document.h"

namespace {

// Builds the document from `text`: "\n" ends a line with a hard return, "\r" with a soft one.
void setText(const std::string& text) {
    std::vector<std::string> lines(1);
    std::vector<bool> hard;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            hard.push_back(c == '\n');
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    setDocument(lines);
    int i = 0;
    for (LineNode* line = doc.head; line; line = line->next, ++i)
        if (i < static_cast<int>(hard.size()) && !hard[i]) line->flags &= ~LN_HARD_RETURN;
}

void setPattern(const std::string& pattern) {
    std::strncpy(findState.findText, pattern.c_str(), FIND_TEXT_SIZE - 1);
    findState.findTextPointer = findState.findText;
}

// The text of the last match from its start up to the anchor (a line break written "\n");
// "" when nothing was found, "<empty>" for a match of no bytes.
std::string matchedText() {
    if (!findState.found) return "";
    LineNode* line = findState.matchStartLine;
    int col = findState.matchStartCol;
    if (line == doc.anchorLine && col == doc.anchorCol && isLineStartPattern(findState.findText)) return "<empty>";
    std::string text;
    for (;;) {
        const int length = static_cast<int>(std::strlen(line->text));
        if (line == doc.anchorLine) {
            if (doc.anchorCol >= length) return text + std::string(line->text + col) + "\n";
            const int last = boundaryAtOrBefore(line->text, doc.anchorCol);
            return text + std::string(line->text + col, line->text + last + charLength(line->text, last));
        }
        text += std::string(line->text + col) + "\n";
        line = line->next;
        col = 0;
    }
}

std::string find(const std::string& text, const std::string& pattern, bool matchCase = false, int caretCol = 0) {
    setText(text);
    doc.caretCol = caretCol;
    setPattern(pattern);
    findState.found = 0;
    wildcardFind(matchCase);
    return matchedText();
}

std::string slot(int n) { return CaptureSlots[n].present ? CaptureSlots[n].text : "<absent>"; }

class WildcardTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        freeCaptures();
        findState = FindState{};
    }
    void TearDown() override {
        freeCaptures();
        findState = FindState{};
        CoreTest::TearDown();
    }
};

struct FindCase {
    const char* text;
    const char* pattern;
    bool matchCase;
    const char* expected;  // matched text, "" for none
    int slotNumber;        // -1: no slot checked
    const char* slotText;
};

TEST_F(WildcardTest, TokensAndLineRules) {
    const FindCase cases[] = {
        {"xABC aBc abc", "abc", false, "ABC", -1, ""},
        {"xABC aBc abc", "abc", true, "abc", -1, ""},
        {"共12.50元", "\\N1元", false, "12.50元", 21, "12.50"},
        {"1.2.3元", "\\N1元", false, "1.2.3元", 21, "1.2.3"},
        {"12.元", "\\N.", false, "12.", 20, "12"},
        // The run takes "123" whole; the literal "2" has nothing left: no backtracking. The
        // slot keeps what the last attempt (at "3") took.
        {"123", "\\N12", false, "", 21, "3"},
        {"abc", "\\~", false, "abc", 5, "abc"},
        {"x(a)b(c)", "\\()", false, "(a)", 2, "(a)"},
        {"(a)b", "\\()b", false, "", -1, ""},
        // A closing byte before any opening one stops the token where it stands.
        {"a)b(c)", "\\()", false, "(c)", 2, "(c)"},
        {"xa\nby", "a\\nb", false, "a\nb", -1, ""},
        {"xa\rby", "a\\nb", false, "", -1, ""},
        {"xa\rby", "ab", false, "a\nb", -1, ""},
        {"a\n\nb", "a\\n\\nb", false, "", -1, ""},
        {"a\n\nb", "a\\n\\n\\nb", false, "a\n\nb", -1, ""},
        {"ax\nq", "x\\?", false, "x", -1, ""},
        {"中b", "\\?b", false, "中b", -1, ""},
        {"中华人民的", "\\C1的", false, "", 41, "的"},
        {"a\\N5b", "\\N5", false, "\\N5", 25, "<absent>"},
        {"abc:", "\\@:", false, "abc:", 6, "abc"},
        {"abCD", "\\A", false, "CD", 7, "CD"},
        {"ABcd", "\\a", false, "cd", 8, "cd"},
        {"1 _foo9+", "\\M", false, "_foo9", 30, "_foo9"},
        {"第十二章", "\\&", false, "十二", 9, "十二"},
        {"Ⅻⅰ", "\\%", false, "Ⅻ", 0, "Ⅻ"},
        {"ⅳⅴ", "\\%", false, "ⅳⅴ", 0, "ⅳⅴ"},
        {"a \t x", "\\$x", false, " \t x", -1, ""},
        {"ab,.;c", "\\;", false, ",.;", -1, ""},
        {"x1bCd e", "^#^@^A^a^$", false, "1bCd ", -1, ""},
        {"a\tb", "\\t", false, "\t", -1, ""},
        {"xa\nb", "a\\n", false, "a\n", -1, ""},
        {"a(b\ncd)e", "\\()", false, "(b\ncd)", 2, "cd)"},
        // A closing byte that begins its line: the slot holds the last line the capture
        // took text from.
        {"(a\nbc\n)", "\\()", false, "(a\nbc\n)", 2, "bc)"},
        // Empty lines without a hard return are crossed, but "\?" and "\~" still act on
        // them, and the line-start rule on one that follows a hard return.
        {"1\r\r2", "\\~\\?\\N", false, "1\n\n2", 20, "2"},
        {"a\n\rb", "a\\n\\nb", false, "a\n\nb", -1, ""},
        // Only ideographs are Chinese characters: the numeral 〇 and full-width symbols are
        // not; GBK's extension areas are.
        {"〇，一", "\\C", false, "一", 40, "一"},
        {"，\x81\x40\xFE\x4F", "\\C", false, "\x81\x40\xFE\x4F", 40, "\x81\x40\xFE\x4F"},
        {"\xAA\xA1\xF8\xA1\xD7\xFA", "\\C", false, "", -1, ""},
        {"。\x81\x40", "\\*", false, "。\x81\x40", 10, "。\x81\x40"},
    };
    for (const FindCase& c : cases) {
        freeCaptures();
        EXPECT_EQ(find(c.text, c.pattern, c.matchCase), c.expected) << c.pattern << " in " << c.text;
        if (c.slotNumber >= 0) {
            EXPECT_EQ(slot(c.slotNumber), c.slotText) << c.pattern << " in " << c.text;
        }
    }
}

TEST_F(WildcardTest, LineStartPatternMatchesNothingAtLineStarts) {
    setText("\nab\ncd\ref");
    setPattern("\\n");
    std::vector<int> hits;
    for (;;) {
        findState.found = 0;
        wildcardFind(false);
        if (!findState.found) break;
        EXPECT_EQ(findState.matchStartCol, 0);
        EXPECT_EQ(doc.anchorLine, findState.matchStartLine);
        EXPECT_EQ(doc.anchorCol, 0);
        hits.push_back(lineIndex(findState.matchStartLine));
        doc.caretLine = findState.matchStartLine;
        doc.caretCol = 1;
    }
    // Not on the empty first line, not after the soft return.
    EXPECT_EQ(hits, (std::vector<int>{1, 2}));
}

TEST_F(WildcardTest, SymbolRunTakesLettersWhileShiftIsHeld) {
    EXPECT_EQ(find("，。abc", "\\S"), "，。");
    fake().keysDown.insert(0x10);
    EXPECT_EQ(find("，。abc", "\\S"), "，。abc");
}

TEST_F(WildcardTest, SecondBytesThatLookLikeAsciiAreNeverTakenForIt) {
    // 0x81 0x5D ends in "]", 0x81 0x5C in a backslash, 0x81 0x61 in "a".
    EXPECT_EQ(find("[\x81\x5D]", "\\[]"), "[\x81\x5D]");
    EXPECT_EQ(slot(3), "[\x81\x5D]");
    EXPECT_EQ(find("\x81\x5C\\", "\\"), "\\");
    EXPECT_EQ(findState.matchStartCol, 2);
    // Case is ignored for letters only, never for the second byte of a character.
    EXPECT_EQ(find("x\x81\x41", "x\x81\x61"), "");
    EXPECT_EQ(find("x\x81\x41", "X\x81\x41"), "x\x81\x41");
    EXPECT_EQ(find("x\x81\x61", "\x61"), "");
    // A caret on a second byte starts the search at the next character.
    EXPECT_EQ(find("中a", "\\?", false, 1), "a");
    EXPECT_EQ(find("abc", ""), "");  // an empty pattern finds nothing
}

TEST_F(WildcardTest, BracketCaptureHoldsBackslashesAndResetsAfterAnUnclosedOne) {
    EXPECT_EQ(find("(a\\b)", "\\()"), "(a\\b)");
    // An opening bracket never closed by the end of the document fails, and leaves no
    // open capture behind for the next search.
    EXPECT_EQ(find("(ab", "\\()"), "");
    EXPECT_EQ(slot(2), "(ab)");
    EXPECT_EQ(find("x)", "\\()"), "");
    EXPECT_EQ(find("(x)", "\\()"), "(x)");
}

TEST_F(WildcardTest, LongCapturesAreStoredWhole) {
    const std::string longRun(300000, '7');
    EXPECT_EQ(find("x" + longRun + "y", "\\N3y"), longRun + "y");
    EXPECT_EQ(slot(23), longRun);
}

// ---- Randomized: boundaries, reads within lines, and removal of exactly the matched bytes ----

std::string randomCharacter(std::mt19937& rng) {
    static const char* const singles[] = {"a", "Z", "_", "0", "7", ".", ",", "(", ")", "[", "]", "<", ">",
                                          "{", "}", "\\", "^", " ", "\t", "n", "N", "\x80", "\xFF"};
    static const char* const doubles[] = {"中", "的", "一", "十", "Ⅻ", "ⅰ", "，", "。", "〇",
                                          "\x81\x5C", "\x81\x5D", "\x81\x29", "\x81\x6E", "\xFE\x7D", "\xAA\xA1"};
    if (rng() % 3 == 0) return doubles[rng() % (sizeof(doubles) / sizeof(doubles[0]))];
    return singles[rng() % (sizeof(singles) / sizeof(singles[0]))];
}

// A pattern of tokens and of runs of the text's own characters, so that many match.
std::string randomPattern(std::mt19937& rng, const std::vector<std::string>& characters) {
    static const char* const tokens[] = {"\\t", "\\n", "\\~", "\\@", "\\A", "\\a", "\\&", "\\%", "\\C", "\\C1",
                                         "\\!", "\\M", "\\M2", "\\:", "\\N", "\\N1", "\\#", "\\S", "\\S3", "\\*",
                                         "\\<>", "\\()", "\\[]", "\\{}", "\\$", "\\;", "^$", "^#", "\\?", "^@",
                                         "^A", "^a", "\\", "^"};
    std::string pattern;
    const int parts = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < parts; ++i) {
        if (rng() % 2 || characters.empty()) {
            pattern += tokens[rng() % (sizeof(tokens) / sizeof(tokens[0]))];
        } else {
            size_t at = rng() % characters.size();
            for (int k = 1 + static_cast<int>(rng() % 3); k > 0 && at < characters.size(); --k) pattern += characters[at++];
        }
    }
    return pattern;
}

// Line texts joined without their breaks, and the offset of (line, col) in that.
std::string joinedText() {
    std::string text;
    for (const LineNode* line = doc.head; line; line = line->next) text += line->text;
    return text;
}
size_t joinedOffset(const LineNode* target, int col) {
    size_t offset = 0;
    for (const LineNode* line = doc.head; line != target; line = line->next) offset += std::strlen(line->text);
    return offset + static_cast<size_t>(col);
}

bool isBoundary(const char* text, int col) { return col <= static_cast<int>(std::strlen(text)) && !isInsideDoubleByte(text, col); }

TEST_F(WildcardTest, RandomPatternsMatchWholeCharactersAndEmptyReplaceRemovesExactlyThem) {
    std::mt19937 rng(20261207);
    findState.replaceTextPointer = findState.replaceText;  // an empty template
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        std::vector<std::string> characters;  // the text's characters, breaks included
        const int lines = 1 + static_cast<int>(rng() % 4);
        for (int l = 0; l < lines; ++l) {
            if (l > 0) characters.push_back((rng() % 3 == 0) ? "\r" : "\n");
            const int length = static_cast<int>(rng() % 9);
            for (int i = 0; i < length; ++i) characters.push_back(randomCharacter(rng));
        }
        for (const std::string& c : characters) text += c;
        setText(text);
        // Breaks in the pattern are written as the token.
        std::vector<std::string> patternCharacters;
        for (const std::string& c : characters) patternCharacters.push_back(c == "\r" ? "" : c == "\n" ? "\\n" : c);
        const std::string pattern = randomPattern(rng, patternCharacters);
        setPattern(pattern);
        freeCaptures();
        for (int guard = 0; guard < 100; ++guard) {
            findState.found = 0;
            wildcardFind(rng() % 2);
            if (!findState.found) break;
            LineNode* start = findState.matchStartLine;
            ASSERT_TRUE(isBoundary(start->text, findState.matchStartCol)) << pattern << " in " << text;
            const int anchorLength = static_cast<int>(std::strlen(doc.anchorLine->text));
            size_t end;  // exclusive, in joined text
            const bool empty = doc.anchorLine == start && doc.anchorCol == findState.matchStartCol &&
                               isLineStartPattern(pattern.c_str());
            if (empty) {
                end = joinedOffset(start, findState.matchStartCol);
            } else if (doc.anchorCol >= anchorLength) {
                end = joinedOffset(doc.anchorLine, anchorLength);  // ends with a line break
            } else {
                const int last = boundaryAtOrBefore(doc.anchorLine->text, doc.anchorCol);
                ASSERT_EQ(last + charLength(doc.anchorLine->text, last), doc.anchorCol + 1) << pattern << " in " << text;
                end = joinedOffset(doc.anchorLine, doc.anchorCol + 1);
            }
            const size_t begin = joinedOffset(start, findState.matchStartCol);
            ASSERT_LE(begin, end);
            std::string expected = joinedText();
            expected.erase(begin, end - begin);
            doc.caretLine = start;
            doc.caretCol = findState.matchStartCol;
            updateSelection();
            replaceCurrentMatchDeferred();
            ASSERT_EQ(joinedText(), expected) << pattern << " in " << text;
            ASSERT_EQ(documentInvariantViolation(), "") << pattern << " in " << text;
            if (empty) {  // a match of no bytes: step on, as replace-all does
                if (doc.caretCol < static_cast<int>(std::strlen(doc.caretLine->text)))
                    doc.caretCol = stepRight(doc.caretLine->text, doc.caretCol);
                else if (doc.caretLine->next)
                    doc.caretLine = doc.caretLine->next, doc.caretCol = 0;
                else
                    break;
            }
        }
    }
}

// ---- Differential: the scan against fresh attempts at every start in turn ----

// A search's match ("" for none) and the slots it stored, by number.
struct SearchOutcome {
    std::string match;
    std::map<int, std::string> slots;
};

SearchOutcome lastSearchOutcome() {
    SearchOutcome outcome;
    if (findState.found)
        outcome.match = std::to_string(lineIndex(findState.matchStartLine)) + ":" +
                        std::to_string(findState.matchStartCol) + " to " + std::to_string(lineIndex(doc.anchorLine)) +
                        ":" + std::to_string(doc.anchorCol);
    for (int n = 0; n < CAPTURE_SLOT_COUNT; ++n)
        if (CaptureSlots[n].present) outcome.slots[n] = CaptureSlots[n].text;
    return outcome;
}

std::string describe(const SearchOutcome& outcome) {
    std::string text = outcome.match.empty() ? "no match" : "match " + outcome.match;
    for (const auto& [n, captured] : outcome.slots) text += " | " + std::to_string(n) + "=" + captured;
    return text;
}

// Characters and tokens that make runs, bracket captures and empty soft lines likely.
const char* const runCharacters[] = {"1", ".", "a", "_", "\\", "(", ")", ",", "中", " ", "N", "Ⅻ", "ⅰ"};
const char* const runTokens[] = {"\\N", "\\N1", "\\C", "\\S", "\\M", "\\@", "\\;",
                                 "\\$", "\\()", "\\?", "\\~", "\\n", "\\", "\\%"};

// The scan carries what one attempt read into the next and skips starts inside a run; from
// every start it must end exactly as attempts made afresh at each start in turn would.
TEST_F(WildcardTest, TheScanEndsAsFreshAttemptsAtEveryStartInTurn) {
    std::mt19937 rng(5151);
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::string> characters;
        for (int l = 0, lines = 1 + static_cast<int>(rng() % 6); l < lines; ++l) {
            if (l > 0) characters.push_back(rng() % 2 ? "\r" : "\n");
            for (int length = static_cast<int>(rng() % 8); length > 0; --length) {
                const char* c = runCharacters[rng() % std::size(runCharacters)];
                characters.insert(characters.end(), rng() % 3 ? 1 : 1 + rng() % 5, c);
            }
        }
        std::string text, pattern;
        for (const std::string& c : characters) text += c;
        for (int part = 1 + static_cast<int>(rng() % 4); part > 0; --part) {
            const std::string c = characters.empty() ? "" : characters[rng() % characters.size()];
            const std::string token = runTokens[rng() % std::size(runTokens)];
            pattern += (rng() % 2 || c.empty()) ? token : c == "\r" ? "" : c == "\n" ? "\\n" : c;
        }
        setText(text);
        setPattern(pattern);
        const bool matchCase = rng() % 2;
        fake().keysDown.erase(0x10);
        if (rng() % 4 == 0) fake().keysDown.insert(0x10);  // Shift puts letters into \S runs
        std::vector<std::pair<LineNode*, int>> starts;
        for (LineNode* line = doc.head; line; line = line->next)
            for (int col = 0; line->text[col] != '\0'; col = stepRight(line->text, col))
                starts.emplace_back(line, col);
        // Fresh attempts from the last start back: from a start they end with its match, or
        // as from the next start with the slots that leaves written over the attempt's own.
        std::vector<SearchOutcome> fresh(starts.size() + 1);
        for (size_t i = starts.size(); i-- > 0;) {
            freeCaptures();
            findState.found = 0;
            const bool matched = wildcardAttemptAt(starts[i].first, starts[i].second, matchCase);
            fresh[i] = lastSearchOutcome();
            if (matched) continue;
            fresh[i].match = fresh[i + 1].match;
            for (const auto& [n, captured] : fresh[i + 1].slots) fresh[i].slots[n] = captured;
        }
        for (size_t i = 0; i < starts.size(); ++i) {
            freeCaptures();
            findState.found = 0;
            doc.caretLine = starts[i].first;
            doc.caretCol = starts[i].second;
            wildcardFind(matchCase);
            ASSERT_EQ(describe(lastSearchOutcome()), describe(fresh[i])) << pattern << " in " << text << " from " << i;
        }
    }
}

}  // namespace
