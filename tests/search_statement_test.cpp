// The statement tidy-up: the per-line cleanup, single passes, a whole made-up statement,
// and the space/comma conversion.
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "files/loader.h"
#include "search/find_state.h"
#include "search/statement_tidy.h"
#include "support/test_document.h"
#include "view/view_state.h"

namespace {

using Lines = std::vector<std::string>;

// Runs the tidy-up, answering the two questions.
void tidy(int first, int second) {
    fake().messageBoxAnswers = {first, second};
    tidyStatement();
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == separator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

TEST(StatementCleanup, FieldsJoinsAndCuts) {
    struct Case { const char* line; const char* cleaned; };
    const Case cases[] = {
        {"a b c d e f g h", "a b c d e f g_h"},                   // spaces after the sixth join
        {"a b c d e f g 1", "a b c d e f g"},                     // a space before a digit cuts
        {"a b c d e f g /x", "a b c d e f g"},                    // ... and before a "/"
        {"a b c d e f g/x", "a b c d e f g"},                     // a "/" cuts at itself
        {"a b c d e f 13000000000999", "a b c d e f 13000000000"},  // a mobile number stays
        {"a b c d e f 12000000000999", "a b c d e f "},           // other long runs go
        {"a b c d e f 12345678901", "a b c d e f 12345678901"},   // eleven digits stay
        {"a b c d e f x12000000000999", "a b c d e f x"},
        {"a/b 1 2 3 4 5", "a/b 1 2 3 4 5"},                       // fewer than six spaces: whole
        {"甲 乙 丙 丁 戊 己 庚 辛", "甲 乙 丙 丁 戊 己 庚_辛"},      // characters pass whole
        {"a b c d e f \x81\x31" "12000000000999", "a b c d e f \x81\x31"},  // a second byte is no digit
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(cleanStatementLine(c.line), c.cleaned) << c.line;
}

TEST_F(CoreTest, DeclinedFirstQuestionChangesNothing) {
    setDocument({"2023-01-05 12:30:45", "支出"});
    tidy(platform::ANSWER_NO, platform::ANSWER_YES);
    EXPECT_EQ(documentLines(), (Lines{"2023-01-05 12:30:45", "支出"}));
    EXPECT_FALSE(doc.modified);
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].caption, "请确认:");
}

TEST_F(CoreTest, PassesDateTimeAndKindJoinTheLineAbove) {
    view.clientWidth = 800;  // paragraphs are merged by the word-wrap machinery
    setDocument({"xx", "2023-01-05 12:30:45", "支出 零钱"});
    tidy(platform::ANSWER_YES, platform::ANSWER_NO);  // keep the spaces
    // The date starts a paragraph (four spaces), the time gets a space on both sides, the
    // kind joins the line above it; indentation is stripped and the line cleaned.
    EXPECT_EQ(documentLines(), (Lines{"xx", "2023-01-05  12:30:45  支出 零钱"}));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(fake().messageBoxes.back().caption, "请确认易错且无法恢复的【危险操作】");
    // The find state lent to the passes is given back: no dialog was ever opened.
    EXPECT_EQ(findState.findTextPointer, nullptr);
    EXPECT_EQ(findState.replaceTextPointer, nullptr);
    EXPECT_EQ(findState.replaceMode, 0);
}

TEST_F(CoreTest, SpacesAndCommasByTheLineNumberState) {
    for (const bool numbers : {true, false}) {
        // 81 20 and 81 2C are characters whose second bytes look like a space and a comma.
        setDocument({"a b,c", "，d e", "\x81\x20 \x81,"});
        view.showLineNumbers = numbers ? 1 : 0;
        fake().messageBoxAnswers = {platform::ANSWER_YES};
        convertSpacesCommas();
        EXPECT_EQ(documentLines(), numbers ? (Lines{"a,b,c", "，d,e", "\x81\x20,\x81,"})
                                           : (Lines{"a b c", "，d e", "\x81\x20 \x81,"}));
        EXPECT_TRUE(doc.modified);
        EXPECT_EQ(fake().messageBoxes.back().text,
                  numbers ? "确定把全文中的 空格 换成 逗号 吗？" : "确定将全文中的 逗号 换成 空格 吗？");
    }
    setDocument({"a b"});
    fake().messageBoxAnswers = {platform::ANSWER_CANCEL};
    convertSpacesCommas();
    EXPECT_EQ(documentLines(), (Lines{"a b"}));
}

// The sample a user can try: every record becomes one line of seven comma-separated
// fields: date, time, type, kind, method, amount and counterparty.
TEST_F(CoreTest, WholeStatementBecomesOneRecordPerLine) {
    view.clientWidth = 800;
    view.clientHeight = 600;
    loadFile(KESH_SOURCE_DIR "/examples/statement.txt");
    ASSERT_TRUE(hasDocument());
    tidy(platform::ANSWER_YES, platform::ANSWER_YES);
    const Lines lines = documentLines();
    ASSERT_EQ(lines.size(), 21u);  // the heading paragraph and twenty records
    EXPECT_EQ(lines[0].rfind("微信支付交易明细证明兹证明：", 0), 0u);
    const std::regex date("\\d{4}-\\d\\d-\\d\\d"), time("\\d\\d:\\d\\d:\\d\\d"), amount("\\d+\\.\\d\\d");
    const std::regex method("零钱|零钱通|.*银行\\(\\d{4}\\)");
    Lines counterparties;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = splitAt(lines[i], ',');
        ASSERT_EQ(fields.size(), 7u) << lines[i];
        EXPECT_TRUE(std::regex_match(fields[0], date)) << lines[i];
        EXPECT_TRUE(std::regex_match(fields[1], time)) << lines[i];
        EXPECT_FALSE(fields[2].empty()) << lines[i];
        EXPECT_TRUE(fields[3] == "支出" || fields[3] == "收入" || fields[3] == "其他") << lines[i];
        EXPECT_TRUE(std::regex_match(fields[4], method)) << lines[i];
        EXPECT_TRUE(std::regex_match(fields[5], amount)) << lines[i];
        counterparties.push_back(fields[6]);
    }
    // Spaces inside the counterparty are joined with "_"; "~" and "发给" are gone; a "/"
    // and the order numbers behind are cut; a mobile number keeps its eleven digits.
    const Lines expected = {"全家便利店_东门店", "美团外卖", "13812345678", "张三", "零钱通",
                            "地铁_二号线_人民广场站", "李四", "西贝莜面村", "15900001111",
                            "京东_自营_旗舰店", "王五", "瑞幸咖啡", "零钱提现", "滴滴出行_快车",
                            "赵六", "中国移动_话费", "周末_聚餐_AA", "早餐店", "18800002222",
                            "优衣库_南京路店"};
    EXPECT_EQ(counterparties, expected);
}

}  // namespace
