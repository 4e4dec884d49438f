// Replacement templates: the expansion (substitution order, \ID, \ROW, \COL, braces and
// their limits) and the replacement in the document (removal rule, insertion, undo).
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "document/selection.h"
#include "document/undo_ring.h"
#include "search/find_state.h"
#include "search/replace_template.h"
#include "search/wildcard.h"
#include "support/test_document.h"
#include "view/active_window.h"

namespace {

class TemplateTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        freeCaptures();
        findState = FindState{};
        findState.findTextPointer = findState.findText;
        findState.replaceTextPointer = findState.replaceText;
    }
    void TearDown() override {
        freeCaptures();
        findState = FindState{};
        CoreTest::TearDown();
    }
};

void setTexts(const std::string& find, const std::string& replacement) {
    std::strncpy(findState.findText, find.c_str(), FIND_TEXT_SIZE - 1);
    std::strncpy(findState.replaceText, replacement.c_str(), FIND_TEXT_SIZE - 1);
}

std::string expand(const std::string& templ, int column = 0, bool* consumed = nullptr) {
    return expandTemplate(templ.c_str(), column, consumed);
}

void capture(int slot, const std::string& text) { storeCapture(slot, text.data(), static_cast<int>(text.size())); }

TEST_F(TemplateTest, ExpansionTable) {
    setDocument({"line"});
    capture(5, "\\N1");       // a captured token is expanded by a later row...
    capture(21, "7");
    capture(22, "5");
    capture(40, "X");
    capture(10, "b");
    capture(11, "a");
    capture(20, "\\~");        // ...but not by an earlier one
    capture(30, "");           // an empty capture removes its token
    capture(2, "(a)");
    capture(12, "中b}3");      // braces that come from a capture expand too
    struct {
        const char* templ;
        int column;
        const char* expected;
    } cases[] = {
        {"\\~", 0, "7"},
        {"\\N", 0, "\\~"},
        {"\\COL|\\C", 3, "3|X"},
        {"\\S1\\S\\*", 0, "abb"},
        {"\\N2/\\N1", 0, "5/7"},
        {"<\\M>", 0, "<>"},
        {"\\A\\%\\$\\;\\?", 0, "\\A\\%\\$\\;\\?"},  // absent slots and find-only tokens stay
        {"a\\tb", 0, "a\tb"},
        {"[\\()]", 0, "[(a)]"},
        {"{ab,}2", 0, "ab,ab,"},
        {"{x}0", 0, "{x}0"},
        {"{x}", 0, "{x}"},
        {"{{a}2}3", 0, "aaaaaa"},
        {"ab}2", 0, "bb"},              // no "{": the first character counts as the opening
        {"中文}2", 0, "文文"},          // ...a whole double-byte one
        {"\x81\x7D" "a}2", 0, "aa"},    // ...even when its second byte looks like "}"
        {"\\S2", 0, "bbb"},
        {"\\{x}2", 0, "{x{x"},          // an escaped brace opens nothing
        {"{\x81\x7D}2", 0, "\x81\x7D\x81\x7D"},  // a second byte "}" closes nothing
        {"{x}9999999999999999", 0, "{x}9999999999999999"},
        {"{}9999999999999999", 0, ""},
        {"{x}99999999999999999", 0, "{x}99999999999999999"},
        {"\\ROW:\\COL", 4, "1:4"},
    };
    for (const auto& c : cases) EXPECT_EQ(expand(c.templ, c.column), c.expected) << c.templ;
}

TEST_F(TemplateTest, IdCountsOnAndTakesDigits) {
    setDocument({"x"});
    EXPECT_EQ(expand("第\\ID条"), "第1条");
    EXPECT_EQ(expand("第\\ID条"), "第2条");
    EXPECT_EQ(expand("\\ID39-\\ID"), "39-40");
    EXPECT_EQ(findState.idCounter, 40);
    EXPECT_EQ(expand("\\ID"), "41");
    // A digit run too long for a number holds at the largest one; counting on stays there.
    EXPECT_EQ(expand("\\ID" + std::string(70, '9') + "|\\ID"), "2147483647|2147483647");
}

TEST_F(TemplateTest, ExpansionsStayBelowTheLimit) {
    setDocument({"x"});
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(expand("{ab}60000"), "{ab}60000");
    EXPECT_EQ(expand("{a}102399").size(), 102399u);
    EXPECT_EQ(expand("{a}102400"), "{a}102400");
    capture(5, std::string(200000, 'z'));
    EXPECT_EQ(expand("<\\~>"), "<\\~>");
    capture(5, std::string(60000, 'z'));
    EXPECT_EQ(expand("\\~\\~").size(), 60000u + 2);  // the second no longer fits
    EXPECT_EQ(expand(std::string(3000, '{') + "x" + std::string(3000, '}')).size(), 6001u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

// ---- Replacing in the document ----

// Finds from the caret and selects the match as the find driver does.
bool findAndSelect() {
    findState.found = 0;
    wildcardFind(false);
    if (!findState.found) return false;
    doc.caretLine = findState.matchStartLine;
    doc.caretCol = findState.matchStartCol;
    updateSelection();
    return true;
}

// The plain Right move of the driver after a replacement.
void moveRight() {
    clearSelection();
    const int length = static_cast<int>(std::strlen(doc.caretLine->text));
    if (doc.caretCol < length)
        doc.caretCol += (static_cast<unsigned char>(doc.caretLine->text[doc.caretCol]) >= 0x81 && doc.caretCol + 1 < length) ? 2 : 1;
    else if (doc.caretLine->next)
        doc.caretLine = doc.caretLine->next, doc.caretCol = 0;
}

int replaceAll(bool deferred) {
    int count = 0;
    for (bool first = true;; first = false) {
        if (!first && findState.replaceText[0] != '\0') moveRight();
        if (!findAndSelect()) break;
        if (deferred)
            replaceCurrentMatchDeferred();
        else
            replaceCurrentMatch();
        ++count;
    }
    return count;
}

TEST_F(TemplateTest, ReplaceInsertsThroughTheClipboardAndSelectsTheText) {
    setDocument({"2024年5月"});
    setTexts("\\N1年\\N2月", "\\N2/\\N1");
    ASSERT_TRUE(findAndSelect());
    replaceCurrentMatch();
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"5/2024"}));
    EXPECT_EQ(fake().clipboard, "5/2024");
    EXPECT_EQ(doc.selStartCol, 0);
    EXPECT_EQ(doc.selEndCol, 5);
    EXPECT_EQ(doc.caretCol, 5);

    setDocument({"xay"});
    setTexts("a", "1\\n2");
    ASSERT_TRUE(findAndSelect());
    replaceCurrentMatch();
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"x1", "2y"}));
}

// The kind of the oldest record in the undo ring.
int oldestRecordKind() {
    const UndoRecord* record = undoRing.newest;
    while (record->prev && record->prev->serial > 0 && record->prev->serial < record->serial) record = record->prev;
    return record->kind;
}

TEST_F(TemplateTest, RemovalRule) {
    struct {
        std::vector<std::string> lines;
        const char* find;
        const char* templ;
        std::vector<std::string> expected;
        int firstRecordKind;  // the undo record of the removal, or UNDO_PASTE when nothing was removed
    } cases[] = {
        {{"axb"}, "x", "y", {"ayb"}, UNDO_DELETE_CHAR},           // one byte: the Delete key
        {{"a中b"}, "中", "y", {"ayb"}, UNDO_DELETE_CHAR},         // one character
        {{"a中b"}, "\\C", "y", {"ayb"}, UNDO_DELETE_CHAR},        // a match of one character
        {{"axyb"}, "xy", "", {"ab"}, UNDO_DELETE_SELECTION},
        {{"ab", "cd"}, "\\n", "X", {"Xab", "Xcd"}, UNDO_PASTE},  // nothing to delete at a line start
        // A match that ends with a line break leaves the next line's first character alone.
        {{"xa", "by"}, "a\\n", "", {"x", "by"}, UNDO_DELETE_SELECTION},
    };
    for (const auto& c : cases) {
        setDocument(c.lines);
        resetUndo();
        setTexts(c.find, c.templ);
        ASSERT_TRUE(findAndSelect()) << c.find;
        replaceCurrentMatch();
        if (std::strcmp(c.find, "\\n") == 0) {  // and the next line start
            doc.caretLine = doc.head->next;
            doc.caretCol = 0;
            ASSERT_TRUE(findAndSelect());
            replaceCurrentMatch();
        }
        EXPECT_EQ(documentLines(), c.expected) << c.find;
        EXPECT_EQ(oldestRecordKind(), c.firstRecordKind) << c.find;
    }
}

TEST_F(TemplateTest, ReplaceAllCases) {
    struct {
        std::vector<std::string> lines;
        const char* find;
        const char* templ;
        std::vector<std::string> expected;
        int count;
    } cases[] = {
        // After a line-consuming substitution the caret goes to the line end.
        {{"a,b;c"}, "\\S", "(\\S)", {"a(,)b;c"}, 1},
        {{"ab", "", "cd"}, "\\~", "[\\~]", {"[ab]", "", "[cd]"}, 2},
        {{"x x x"}, "x", "第\\ID条", {"第1条 第2条 第3条"}, 3},
        {{"abab", "ab"}, "ab", "", {"", ""}, 3},
        {{"甲乙甲"}, "甲", "乙甲", {"乙甲乙乙甲"}, 2},
    };
    for (const auto& c : cases) {
        setDocument(c.lines);
        findState.idCounter = 0;
        setTexts(c.find, c.templ);
        EXPECT_EQ(replaceAll(false), c.count) << c.find;
        EXPECT_EQ(documentLines(), c.expected) << c.find;
    }
}

// The deferred replacement makes the same document, selection and undo records as the
// interactive one; only the clipboard is left to its caller.
TEST_F(TemplateTest, DeferredReplaceMatchesInteractiveReplace) {
    // Lines, caret, selection (ends and flags), undo records and the \ID counter.
    auto snapshot = []() {
        std::string s;
        for (LineNode* line = doc.head; line; line = line->next)
            s += std::string(line->text) + ((line->flags & LN_SELECTED) ? "|sel\n" : "\n");
        s += "caret " + std::to_string(lineIndex(doc.caretLine)) + ":" + std::to_string(doc.caretCol);
        if (doc.selStartLine)
            s += " selection " + std::to_string(lineIndex(doc.selStartLine)) + ":" + std::to_string(doc.selStartCol) +
                 "-" + std::to_string(lineIndex(doc.selEndLine)) + ":" + std::to_string(doc.selEndCol);
        s += " id " + std::to_string(findState.idCounter) + "\n";
        for (const UndoRecord* r = undoRing.newest; r && r->serial > 0; r = r->prev) {
            s += std::to_string(r->kind) + "@" + std::to_string(r->offset) + ":" + (r->text ? r->text : "") + "\n";
            if (!r->prev || r->prev->serial >= r->serial) break;
        }
        return s;
    };
    struct {
        std::vector<std::string> lines;
        const char* find;
        const char* templ;
    } cases[] = {
        {{"a,b;c", "x.y"}, "\\S", "(\\S)"},
        {{"中文中文", "中"}, "中", "\\ID\\n"},
        {{"xa", "by", "a"}, "a\\n", "<\\ROW:\\COL>"},
        {{"ab(cd", "ef)gh"}, "\\()", "[\\()]"},
        {{"ab", "cd"}, "\\n", "\t>"},
        {{"共12.50元 3元"}, "\\N元", "{\\N,}2"},
        {{"a b", "c"}, "^@", ""},
        {{"a\tb"}, "\\t", "\\t\\t"},
    };
    for (const auto& c : cases) {
        std::string results[2];
        for (int deferred = 0; deferred < 2; ++deferred) {
            setDocument(c.lines);
            resetUndo();
            findState.idCounter = 0;
            setTexts(c.find, c.templ);
            replaceAll(deferred == 1);
            results[deferred] = snapshot();
        }
        EXPECT_EQ(results[0], results[1]) << c.find << " -> " << c.templ;
    }
}

TEST_F(TemplateTest, BusyClipboardStillInsertsTheExpansion) {
    setDocument({"axb"});
    setTexts("x", "yz");
    fake().clipboard = "other";
    fake().clipboardHasText = true;
    fake().clipboardRefuses = true;
    ASSERT_TRUE(findAndSelect());
    replaceCurrentMatch();
    EXPECT_EQ(documentLines(), (std::vector<std::string>{"ayzb"}));
}

}  // namespace
