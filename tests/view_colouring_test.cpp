// Syntax colouring: tokens, words and keywords, comments and strings across lines, the
// Chinese markers, and the comment depths remembered between paints.
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "support/test_document.h"
#include "view/colour_tables.h"
#include "view/colouring.h"
#include "view/comment_memo.h"
#include "view/view_state.h"

namespace {

// The colours of a map as one hex digit per byte, terminator left out.
std::string coloursOf(const ColourMap& map) {
    std::string digits;
    for (size_t i = 0; i + 1 < map.size(); ++i) digits += "0123456789abcdef"[map[i] & 0x0F];
    return digits;
}

// Colours `lines` as one pass from the first line and returns the colours of each.
std::vector<std::string> colourDocument(const std::vector<std::string>& lines, int firstPainted = 0) {
    setDocument(lines);
    startColouringPass();
    std::vector<std::string> colours;
    ColourMap map;
    for (LineNode* line = lineAt(firstPainted); line; line = line->next) {
        colourLine(line, map);
        colours.push_back(coloursOf(map));
    }
    return colours;
}

struct LineCase {
    const char* text;
    const char* colours;
};

}  // namespace

TEST_F(CoreTest, ColourLineGivesEachTokenWordAndCharacterItsColour) {
    const LineCase cases[] = {
        {"x->y", "7667"},  // "->" is one token, tried before "-"
        {"x-y", "7b7"},
        {"a<b", "7b7"},
        {"if (n > 10) return;", "ee8c78b8ffc8eeeeeee"},
        {"#include <stdio.h>", "cccccccc8b77777b7b"},
        {"#foo a#b", "77778777"},  // '#' starts and continues words
        {"x1y 2z", "7778f7"},      // digits continue a word but start none
        {"s = \"a;b\";", "78b866666e"},
        {"\"a\\\"b\" c", "66666687"},  // an escaped quote does not end the string
        {"\"a\\\\\" c", "6666687"},    // after an escaped backslash the quote does
        {"a // b /* c", "78aaaaaaaaa"},
        {"a[i]|b&c?d:e{}'\\'", "73732727d7d7ddded"},
        {"一是好", "bbbb88"},      // a marker at the start of a line
        {"工作一是", "88888888"},  // directly after a Chinese character it is a phrase
        {"(一要)", "caaaac"},
        {"中x", "887"},
        {"學一是", "888888"},      // 學 (8C 57) is a Chinese character too
        {"學abc", "88777"},        // its second byte "W" is no letter before abc
        {"\"\x81\x5C\" x", "666687"},  // nor is 5C a backslash before the quote
        {"皧一是", "888888"},
        {"，一是", "88bbbb"},      // after punctuation the marker stands
    };
    for (const LineCase& c : cases) EXPECT_EQ(colourDocument({c.text})[0], c.colours) << c.text;
}

TEST_F(CoreTest, KeywordsTakeTheColourOfTheirGroup) {
    const LineCase cases[] = {
        {"#define", "c"}, {"__int64", "d"}, {"nullptr", "5"}, {"sizeof", "6"}, {"while", "e"},
        {"public", "b"},  {"HWND", "9"},    {"xor_eq", "9"},  {"Null", "7"},   {"whiles", "7"},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(colourDocument({c.text})[0], std::string(std::string(c.text).size(), c.colours[0])) << c.text;
}

TEST_F(CoreTest, BlockCommentsCarryAcrossLinesAlsoWhenOnlyALaterLineIsPainted) {
    EXPECT_EQ(colourDocument({"a/*b", "c*/d"}), (std::vector<std::string>{"7aaa", "aaa7"}));
    EXPECT_EQ(colourDocument({"a/*b", "c*/d"}, 1), (std::vector<std::string>{"aaa7"}));
    EXPECT_EQ(colourDocument({"/*", "x", "\"/*\" */ y"}, 2), (std::vector<std::string>{"aaaaaaa87"}));
    EXPECT_EQ(colourDocument({"\"/*\" x", "y"}, 1), (std::vector<std::string>{"7"}));    // inside a string
    EXPECT_EQ(colourDocument({"// /*", "y"}, 1), (std::vector<std::string>{"7"}));       // inside a line comment
    EXPECT_EQ(colourDocument({"/*/ x", "y */ z"}, 1), (std::vector<std::string>{"aaaa87"}));  // "/*/" stays open
}

TEST_F(CoreTest, WordWrapTurnsColouringOff) {
    view.wrapMode = 1;
    EXPECT_EQ(colourDocument({"if (/*"}), (std::vector<std::string>{"888888"}));
}

TEST(ColourTablesTest, TablesHoldEveryEntryOnce) {
    std::map<int, int> perColour;
    std::set<std::string> words;
    for (const ColourKeyword& keyword : KeywordTable) {
        ++perColour[keyword.colour];
        words.insert(keyword.word);
        EXPECT_EQ(keywordColour(keyword.word, static_cast<int>(std::string(keyword.word).size())), keyword.colour);
    }
    EXPECT_EQ(words.size(), 388u);
    EXPECT_EQ(perColour, (std::map<int, int>{{5, 15}, {6, 6}, {9, 277}, {11, 6}, {12, 15}, {13, 54}, {14, 15}}));
    for (const ColourToken& token : TokenTable) EXPECT_EQ(std::string(token.text).size(), static_cast<size_t>(token.length));
    EXPECT_EQ(keywordColour("Null", 4), -1);  // exact case
}

// The fast scan that finds the depth above the window must end every line exactly where
// colouring it ends, on any mix of the bytes that matter.
TEST_F(CoreTest, CommentScanAgreesWithColouringOnRandomLines) {
    // Second bytes that look like "\\", "*", "/" or a quote belong to their characters.
    const std::vector<std::string> pieces = {"/", "*", "\"", "\\", "a", " ", "中", "\xA0", "-", ">", "'", "1",
                                             "\x81\x5C", "\xB0*", "\x8C/", "\x95\"", "\x8C\x57"};
    std::mt19937 random(7);
    ColourMap map;
    for (int trial = 0; trial < 3000; ++trial) {
        std::string text;
        const int length = static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
        const int depth = static_cast<int>(random() % 2);
        setDocument({text});
        colouring = ColouringState{depth, 0, 1};
        colourLine(doc.head, map);
        ASSERT_EQ(colouring.commentDepth != 0, commentDepthAfter(text.c_str(), depth) != 0) << text << " from " << depth;
        for (int pos = 0; pos < static_cast<int>(text.size()); pos += charLength(text.c_str(), pos))
            if (charLength(text.c_str(), pos) == 2) ASSERT_EQ(map[pos], map[pos + 1]) << text << " at " << pos;
    }
}

// Replaces a line's text the way a block command does, without the editing operations.
static void assignText(LineNode* line, const char* text) {
    replaceLineText(line, copyStringOrExit(text));
}

TEST_F(CoreTest, RememberedCommentDepthsFollowEveryChangeThatSetsModified) {
    setDocument({"a", "b", "c", "d"});
    EXPECT_EQ(commentDepthAtStart(lineAt(3)), 0);
    assignText(lineAt(0), "/*");  // far above the window
    doc.modified = 1;
    EXPECT_EQ(commentDepthAtStart(lineAt(3)), 1);
    std::swap(lineAt(0)->text, lineAt(3)->text);  // a sort exchanges line contents
    doc.modified = 1;
    EXPECT_EQ(commentDepthAtStart(lineAt(3)), 0);
    EXPECT_EQ(commentMemoViolation(), "");

    // A change that leaves modified alone is the one thing that can outdate the depths;
    // the invariant check that runs after every test names it.
    assignText(lineAt(1), "/*");
    EXPECT_NE(commentMemoViolation(), "");
    doc.modified = 1;
    EXPECT_EQ(commentMemoViolation(), "");
    EXPECT_EQ(commentDepthAtStart(lineAt(3)), 1);
}

// Far below what is remembered, the depth is taken from the nearest line above that
// settles it by itself; it must agree with scanning every line from the first.
TEST_F(CoreTest, DepthFoundFromNearbyLinesAgreesWithAFullScan) {
    const std::vector<std::string> rare = {"/* a", "b */", "\"/*\"", "// /*", "*/ /*", "*/"};
    std::mt19937 random(11);
    std::vector<std::string> lines;
    for (int i = 0; i < 9000; ++i) lines.push_back(random() % 400 == 0 ? rare[random() % rare.size()] : "x");
    setDocument(lines);
    std::vector<int> expected = {0};
    for (const std::string& text : lines) expected.push_back(commentDepthAfter(text.c_str(), expected.back()));
    for (int trial = 0; trial < 60; ++trial) {
        const int index = static_cast<int>(random() % lines.size());
        if (trial % 2 == 0) doc.modified = 1;  // forget what was remembered
        ASSERT_EQ(commentDepthAtStart(lineAt(index)), expected[static_cast<size_t>(index)]) << "line " << index;
    }
}
