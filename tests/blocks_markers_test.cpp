// Splitting paragraphs at numbering markers, and marking paragraphs by indentation.
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/dispatcher.h"
#include "blocks/markers.h"
#include "document/gbk.h"
#include "document/marker_chars.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "edit/line_edits.h"
#include "edit/undo_redo.h"
#include "support/test_document.h"
#include "view/layout.h"
#include "view/view_state.h"

namespace {

using Lines = std::vector<std::string>;

class MarkersTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        view.clientWidth = 800;
        view.clientHeight = 600;
    }
};

// The undo records from the oldest kept to the newest, as (kind, offset, text).
std::vector<std::tuple<int, int, std::string>> undoRecords() {
    std::vector<std::tuple<int, int, std::string>> records;
    const UndoRecord* record = undoRing.newest;
    for (int k = 0; k < UNDO_RING_SIZE && record && record->kind != UNDO_EMPTY; ++k, record = record->prev)
        records.insert(records.begin(), {record->kind, record->offset, record->text ? record->text : ""});
    return records;
}

// ==== The commands on single lines ====

struct SplitCase {
    int command;
    std::string line;
    Lines expected;
};

const SplitCase SPLIT_CASES[] = {
    {32795, "一、甲二、乙", {"一、甲", "二、乙"}},
    {32795, "一、甲二、乙三", {"一、甲", "二、乙三"}},
    {32795, "甲十二、乙", {"甲", "十二、乙"}},               // a run of numerals is one marker
    {32795, "一二三", {"一二三"}},                           // no suffix: no break
    {32795, "一", {"一"}},                                   // a marker that fills the line
    {32795, "　　二、乙", {"　　", "二、乙"}},               // indentation stays behind
    {32797, "a3.14b3．c3、d", {"a3.14b", "3．c", "3、d"}},   // only "." keeps decimals
    {32797, "  1.x", {"  ", "1.x"}},
    {32797, "12.5%", {"12.5%"}},
    {32797, "a\x81" "1.x", {"a\x81" "1.x"}},                 // that 1 is a second byte
    {32796, "甲(二)乙（三）丙(四）丁（五)", {"甲", "(二)乙", "（三）丙", "(四）丁", "（五)"}},
    {32798, "x(1)y（22）", {"x", "(1)y", "（22）"}},
    {32799, "工作一是学习二是实践", {"工作", "一是学习", "二是实践"}},
    {32805, "See USA. Then", {"See ", "USA. Then"}},         // any capitals before "."
    {32805, "xA.B.", {"x", "A.", "B."}},
    {32805, "x\x81" "A.", {"x\x81" "A."}},                   // that A is a second byte
    {32816, "Xa、bb.", {"X", "a、", "bb."}},
    {32823, "甲、乙、", {"甲、", "乙、"}},
    {32824, "aⅠ.bⅡ．", {"a", "Ⅰ.b", "Ⅱ．"}},
    {32825, "aⅰ、bⅱ.", {"a", "ⅰ、b", "ⅱ."}},
    {32826, "甲㈠乙㈡", {"甲", "㈠乙", "㈡"}},
    {32827, "a⒈b⒉", {"a", "⒈b", "⒉"}},
    {32828, "a⑴b⑵", {"a", "⑴b", "⑵"}},
    {32829, "甲①乙②", {"甲", "①乙", "②"}},
    {32829, "①", {"①"}},
    {32830, "xΑ.yΒ、", {"x", "Α.y", "Β、"}},
    {32831, "xα．yβ.", {"x", "α．y", "β."}},
    {32800, "总则第一章内容第二章", {"总则", "第一章内容", "第二章"}},
    {32800, "第一", {"第一"}},
    {32802, "第一条甲第二条", {"第一条甲", "第二条"}},
    {32803, "a第1章b第12章", {"a", "第1章b", "第12章"}},
    {32804, "a第1条b第2章", {"a", "第1条b第2章"}},
    {32794, "一、甲(二)乙3.丙（4）丁5、戊", {"一、甲", "(二)乙", "3.丙", "（4）丁", "5、戊"}},
    // Every pass of each command: the mixed parentheses, "．" and "、" as well.
    {32794, "甲(二）乙（三)丙4．丁(5）戊（6)", {"甲", "(二）乙", "（三)丙", "4．丁", "(5）戊", "（6)"}},
    {32798, "x(1）y（2)z(3)", {"x", "(1）y", "（2)z", "(3)"}},
    {32805, "xA、yB．", {"x", "A、y", "B．"}},
    {32816, "Xa．", {"X", "a．"}},
    {32823, "x甲.y乙．", {"x", "甲.y", "乙．"}},
    {32824, "aⅢ、", {"a", "Ⅲ、"}},
    {32825, "aⅲ．", {"a", "ⅲ．"}},
    {32830, "xΓ．", {"x", "Γ．"}},
    {32831, "xγ、", {"x", "γ、"}},
    {32801, "a一、b", {"a一、b"}},                            // not a splitting command
};

TEST_F(MarkersTest, EachCommandBreaksBeforeItsMarkersOnly) {
    for (const SplitCase& c : SPLIT_CASES) {
        setDocument({c.line});
        dispatchCommand(c.command, 0);
        EXPECT_EQ(documentLines(), c.expected) << c.command << " on " << c.line;
        EXPECT_EQ(doc.modified != 0, c.expected.size() > 1) << c.command << " on " << c.line;
        // The caret ends at the end of the document.
        if (c.command == 32801) continue;
        EXPECT_EQ(doc.caretLine, lastLine()) << c.command << " on " << c.line;
        EXPECT_EQ(doc.caretCol, static_cast<int>(std::strlen(lastLine()->text)));
    }
}

TEST_F(MarkersTest, RunningACommandAgainChangesNothing) {
    setDocument({"一、甲二、乙三、丙"});
    dispatchCommand(32795, 0);
    const Lines once = documentLines();
    const auto records = undoRecords();
    dispatchCommand(32795, 0);
    EXPECT_EQ(documentLines(), once);
    EXPECT_EQ(undoRecords(), records);
}

TEST_F(MarkersTest, NewLinesTakeStyleAndReturnButTheBookmarkStaysOnTheFirst) {
    setDocument({"a1.b2.c", "next"});
    LineNode* first = doc.head;
    first->flags = LN_BOOKMARK | (3u << LN_STYLE_SHIFT);  // ends with a soft return
    dispatchCommand(32797, 0);
    ASSERT_EQ(documentLines(), (Lines{"a", "1.b", "2.c", "next"}));
    EXPECT_EQ(lineAt(0)->flags, LN_BOOKMARK | LN_HARD_RETURN | (3u << LN_STYLE_SHIFT));
    EXPECT_EQ(lineAt(1)->flags, LN_HARD_RETURN | (3u << LN_STYLE_SHIFT));
    EXPECT_EQ(lineAt(2)->flags, 3u << LN_STYLE_SHIFT);  // the soft return stays at the end
}

TEST_F(MarkersTest, TheSplitsOfOneCommandAreUndoneAndRedoneAsOneStep) {
    setDocument({"前一、甲二、乙", "后"});
    dispatchCommand(32795, 0);
    ASSERT_EQ(documentLines(), (Lines{"前", "一、甲", "二、乙", "后"}));
    ASSERT_EQ(undoRing.newest->kind, UNDO_GROUP);
    ASSERT_EQ(undoRing.newest->memberCount, 2);
    UndoRecord member;
    readGroupMember(undoRing.newest, 0, member);
    EXPECT_EQ(member.kind, UNDO_SPLIT);
    EXPECT_STREQ(member.text, "一");
    readGroupMember(undoRing.newest, 1, member);
    EXPECT_EQ(member.offset, 10);
    undo();
    EXPECT_EQ(documentLines(), (Lines{"前一、甲二、乙", "后"}));
    EXPECT_EQ(doc.caretLine, doc.head);  // where the command found it
    EXPECT_EQ(doc.caretCol, 0);
    redo();
    EXPECT_EQ(documentLines(), (Lines{"前", "一、甲", "二、乙", "后"}));
    EXPECT_EQ(doc.caretLine, lastLine());  // at the end, where the command left it
    EXPECT_EQ(doc.caretCol, 2);
}

// ==== One pass against splitting one marker at a time ====

bool isInKind(MarkerKind kind, const char* at) {
    switch (kind) {
        case MarkerKind::Digits: return *at >= '0' && *at <= '9';
        case MarkerKind::UpperLetters: return *at >= 'A' && *at <= 'Z';
        case MarkerKind::LowerLetters: return *at >= 'a' && *at <= 'z';
        case MarkerKind::ChineseNumerals: return isMarkerChar(0, at);
        default: return isMarkerChar(static_cast<int>(kind) - 10, at);
    }
}

// The pass as the user would do it by hand: scan, press Enter (without indentation)
// before a marker, go on from the start of the new line.
void splitOneAtATime(const std::string& prefix, MarkerKind kind, const std::string& suffix) {
    const bool single = kind == MarkerKind::Digits || kind == MarkerKind::UpperLetters || kind == MarkerKind::LowerLetters;
    for (LineNode* line = doc.head; line; line = line->next) {
        int col = 0;
        while (line->text[col] != '\0') {
            const char* text = line->text;
            const int length = static_cast<int>(std::strlen(text));
            if (isInsideDoubleByte(text, col) || std::strncmp(text + col, prefix.c_str(), prefix.size()) != 0) {
                ++col;
                continue;
            }
            const int start = col + static_cast<int>(prefix.size());
            int end = start;
            while (end < length && isInKind(kind, text + end)) end += single ? 1 : 2;
            if (end == start) {
                ++col;
            } else if (col == 0) {
                col = std::min(end + 1, length);
            } else if (std::strncmp(text + end, suffix.c_str(), suffix.size()) != 0 ||
                       (kind == MarkerKind::Digits && suffix == "." && text[end + 1] >= '0' && text[end + 1] <= '9')) {
                ++col;
            } else {
                doc.caretLine = line;
                doc.caretCol = col;
                splitCaretLine(true, false, false);
                line = doc.caretLine;
                col = 0;
            }
        }
    }
}

struct DocumentState {
    Lines lines;
    std::vector<uint32_t> flags;
    std::vector<int> references;  // anchor and selection ends as line index and column
    std::vector<std::tuple<int, int, std::string>> records;
    bool operator==(const DocumentState& other) const {
        return lines == other.lines && flags == other.flags && references == other.references &&
               records == other.records;
    }
};

DocumentState stateNow() {
    DocumentState state{documentLines(), {}, {}, undoRecords()};
    for (const LineNode* line = doc.head; line; line = line->next) state.flags.push_back(line->flags);
    for (const LineNode* line : {doc.anchorLine, doc.selStartLine, doc.selEndLine})
        state.references.push_back(line ? lineIndex(line) : -1);
    state.references.insert(state.references.end(), {doc.anchorCol, doc.selStartCol, doc.selEndCol});
    return state;
}

TEST_F(MarkersTest, OnePassLeavesWhatSplittingOneMarkerAtATimeLeaves) {
    const char* const PIECES[] = {"一", "十", "、", "是", "(", ")", "（", "）", "1", "2", ".", "．", "A", "b", "Ⅱ",
                                  "①", "第", "章", "x", " ", "\x81" "1", "\x81" "A", "甲", "中"};
    const std::tuple<const char*, MarkerKind, const char*> PASSES[] = {
        {"", MarkerKind::ChineseNumerals, "、"}, {"（", MarkerKind::ChineseNumerals, ")"},
        {"", MarkerKind::Digits, "."},          {"(", MarkerKind::Digits, "）"},
        {"", MarkerKind::UpperLetters, "."},    {"", MarkerKind::RomanUpper, "．"},
        {"", MarkerKind::CircledNumbers, ""},   {"第", MarkerKind::ChineseNumerals, "章"},
        {"", MarkerKind::Stems, ""},
    };
    std::mt19937 random(13);
    for (int round = 0; round < 400; ++round) {
        Lines lines(1 + random() % 4);
        for (std::string& line : lines)
            for (int k = static_cast<int>(random() % 14); k > 0; --k) line += PIECES[random() % std::size(PIECES)];
        const auto& [prefix, kind, suffix] = PASSES[random() % std::size(PASSES)];
        const int anchorLine = static_cast<int>(random() % lines.size());
        const int caretLine = static_cast<int>(random() % lines.size());
        auto prepare = [&] {
            resetCore();
            view.clientWidth = 800;
            view.clientHeight = 600;
            setDocument(lines);
            doc.anchorLine = lineAt(anchorLine);
            doc.anchorCol = boundaryAtOrBefore(doc.anchorLine->text, static_cast<int>(random() % (lines[anchorLine].size() + 1)));
            doc.caretLine = lineAt(caretLine);
            doc.caretCol = boundaryAtOrBefore(doc.caretLine->text, static_cast<int>(random() % (lines[caretLine].size() + 1)));
            updateSelection();
        };
        const auto seed = random();
        random.seed(seed);
        prepare();
        splitOneAtATime(prefix, kind, suffix);
        ensureCaretVisible();
        const DocumentState expected = stateNow();
        random.seed(seed);
        prepare();
        splitAtMarkers(prefix, kind, suffix);
        std::string shown;
        for (const std::string& line : lines) shown += line + " | ";
        ASSERT_TRUE(stateNow() == expected) << "round " << round << " prefix " << prefix << " kind "
                                            << static_cast<int>(kind) << " suffix " << suffix << ": " << shown;
        EXPECT_EQ(documentInvariantViolation(), "");
    }
}

TEST_F(MarkersTest, AThousandAndMoreSplitsKeepTheNewestThousandRecords) {
    std::string line = "x";
    for (int k = 0; k < 1200; ++k) line += "①a";
    setDocument({line});
    splitAtMarkers("", MarkerKind::CircledNumbers, "");
    EXPECT_EQ(lineCount(), 1201);
    const auto records = undoRecords();
    ASSERT_EQ(records.size(), 1000u);
    // The k-th split (from 0) stands at column 1 + 3k of the line, after k breaks.
    EXPECT_EQ(records.back(), std::make_tuple(UNDO_SPLIT, 1 + 1 + 3 * 1199 + 1199, std::string("①")));
    EXPECT_EQ(records.front(), std::make_tuple(UNDO_SPLIT, 1 + 1 + 3 * 200 + 200, std::string("①")));
}

// ==== Paragraphs by indentation ====

TEST_F(MarkersTest, IndentedLinesBeginParagraphsAndAllOthersContinueTheLineAbove) {
    setDocument({"　　甲", "乙乙", "ab", "    x", "\tyyy", "z"});
    for (LineNode* line = doc.head; line; line = line->next) line->flags = 0;
    doc.caretLine = lineAt(3);
    markIndentedParagraphs();
    // Each line's return says whether the line after it is indented; the last keeps its own.
    const std::vector<uint32_t> expected = {0, 0, LN_HARD_RETURN, 0, 0, 0};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(lineAt(k)->flags, expected[k]) << k;
    EXPECT_EQ(doc.caretLine, doc.head);
    EXPECT_EQ(doc.topLine, doc.head);
    EXPECT_TRUE(doc.modified);
}

TEST_F(MarkersTest, TheIndentationCommandShowsTheParagraphsWrapped) {
    setDocument({"　　甲", "乙乙", "ab", "    x", "\tyyy", "z"});
    dispatchCommand(32792, 0);
    EXPECT_EQ(documentLines(), (Lines{"　　甲乙乙ab", "    x\tyyyz"}));
    EXPECT_EQ(view.wrapMode, 1);
    EXPECT_TRUE(fake().menuChecks[32818]);
    EXPECT_EQ(doc.caretLine, doc.head);
    EXPECT_EQ(doc.caretCol, 0);
}

TEST_F(MarkersTest, MarkingLinesThatAlreadyAreParagraphsIsNoChange) {
    setDocument({"一", "　　二", "    三"});
    markIndentedParagraphs();
    EXPECT_FALSE(doc.modified);
}

}  // namespace
