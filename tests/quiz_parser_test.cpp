// The question-bank parser: how document lines become question records, what it writes
// back into the document, and the filtered load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "quiz/question_bank.h"
#include "quiz/quiz_controls.h"
#include "quiz/quiz_dialog.h"
#include "support/test_document.h"

namespace {

class QuizParserTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        freeQuestionList(quiz);
        quiz = QuizState{};
        platform::createQuizDialog();
        for (int box : {QUIZ_KEEP_SINGLE, QUIZ_KEEP_MULTIPLE, QUIZ_KEEP_TRUE_FALSE})
            platform::setQuizBoxTicked(box, true);
    }
    void TearDown() override {
        freeQuestionList(quiz);
        CoreTest::TearDown();
    }
};

// The list as one line per question: type, question text, options, "=" answer and
// "#" explanation.
std::string listed(const QuizState& state) {
    std::string text;
    for (const QuestionNode* node = state.first; node != nullptr; node = node->next) {
        const Question& q = *node->question;
        if (!text.empty()) text += " || ";
        text += std::to_string(q.type) + " Q:" + q.questionText;
        for (const char* option : q.options)
            if (option != nullptr) text += std::string(" ") + option;
        text += std::string(" =") + q.answer;
        if (q.explanation != nullptr) text += std::string(" #") + q.explanation;
    }
    return text;
}

struct ParseCase {
    const char* name;
    std::vector<std::string> lines;
    std::string expected;                 // listed(quiz); empty: no question, the reminder is shown
    std::vector<std::string> afterwards;  // the document afterwards; empty: as given
};

TEST_F(QuizParserTest, LinesBecomeQuestionRecords) {
    const ParseCase cases[] = {
        {"single choice", {"1.题目", "A.甲", "B.乙", "C.丙", "答案:B"}, "1 Q:1.题目 A.甲 B.乙 C.丙 =答案:B", {}},
        {"multiple choice", {"2.题", "A.x", "B.y", "C.z", "答案:AC"}, "2 Q:2.题 A.x B.y C.z =答案:AC", {}},
        {"only A and B is true/false", {"3.题", "A.是", "B.否", "答案:A"}, "0 Q:3.题 A.是 B.否 =答案:A", {}},
        {"full-width forms are read as half-width", {"２０．题", "Ａ．甲", "Ｂ．乙", "Ｃ．丙", "答案：Ｃ"},
         "1 Q:20.题 A.甲 B.乙 C.丙 =答案:C", {"20.题", "A.甲", "B.乙", "C.丙", "答案:C"}},
        {"正确 is rewritten in the document", {"4.地球是圆的", "  答案:正确"}, "0 Q:4.地球是圆的 =答案:A",
         {"4.地球是圆的", "  答案:A"}},
        {"错误 and 错 become B, 对 becomes A", {"5.a", "答案:错误", "6.b", "答案:错", "7.c", "答案:对"},
         "0 Q:5.a =答案:B || 0 Q:6.b =答案:B || 0 Q:7.c =答案:A", {"5.a", "答案:B", "6.b", "答案:B", "7.c", "答案:A"}},
        {"正确 on a question line stays; an earlier 答案 line wins",
         {"8.正确的说法是", "参考答案在后", "答案:B"}, "0 Q:8.正确的说法是答案:B =参考答案在后", {}},
        {"a repeated option letter is ignored", {"9.题", "A.一", "A.二", "B.三", "C.四", "答案:A"},
         "1 Q:9.题 A.一 B.三 C.四 =答案:A", {}},
        {"two question lines join without a separator", {"10.上半", "下半", "A.x", "B.y", "答案:A"},
         "0 Q:10.上半下半 A.x B.y =答案:A", {}},
        {"a line of blanks goes to the option above it", {"11.题", "A.x", "   ", "B.y", "答案:B"},
         "0 Q:11.题 A.x    B.y =答案:B", {}},
        {"empty lines change nothing", {"12.题", "", "A.x", "", "B.y", "", "答案:A", ""}, "0 Q:12.题 A.x B.y =答案:A",
         {}},
        {"line breaks before the first ① and the ②", {"13.①甲①乙②丙", "答案:A"}, "0 Q:13.\r\n①甲①乙\r\n②丙 =答案:A", {}},
        {"parenthesised answers, closed by the next one",
         {"(AC) 14.题目", "A.x", "B.y", "C.z", "(B) 15.另", "A.p", "B.q", "C.r"},
         "2 Q: 14.题目 A.x B.y C.z =答案:(AC) || 1 Q: 15.另 A.p B.q C.r =答案:(B)", {}},
        {"a parenthesised line without white space is a continuation", {"16.甲", "答案:A", "(B)17.乙", "答案:B"},
         "0 Q:16.甲 =答案:A || 0 Q:(B)17.乙 =答案:B", {}},
        {"解析 with 答案 is an explanation", {"18.题", "A.x", "B.y", "答案与解析:见书", "答案:A"},
         "0 Q:18.题 A.x B.y =答案:A #答案与解析:见书", {}},
        {"J to Z are no options", {"19.题", "A.x", "J.y", "答案:A", "解析:略", "K.续"}, "0 Q:19.题 A.xJ.y =答案:A #解析:略K.续",
         {}},
        {"text above the first question is dropped", {"第一章 标题", "20.题", "答案:A"}, "0 Q:20.题 =答案:A", {}},
        {"a question without an answer merges with the next", {"21.甲", "A.x", "22.乙", "B.y", "答案:B"},
         "0 Q:22.乙 A.x B.y =答案:B", {}},
        {"an answer without a question is dropped", {"答案:A", "23.题", "答案:B"}, "0 Q:23.题 =答案:B", {}},
        {"second bytes are no answer letters", {"24.题", "A.x", "B.y", "C.z", "答案:B\x81\x41"},
         "1 Q:24.题 A.x B.y C.z =答案:B\x81\x41", {}},
        {"no answer line, no question", {"25.题", "A.x", "B.y"}, "", {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        setDocument(c.lines);
        fake().messageBoxes.clear();
        const bool loaded = loadQuestionBank(quiz);
        EXPECT_EQ(listed(quiz), c.expected);
        EXPECT_EQ(loaded, !c.expected.empty());
        EXPECT_EQ(fake().messageBoxes.size(), c.expected.empty() ? 1u : 0u);
        EXPECT_EQ(documentLines(), c.afterwards.empty() ? c.lines : c.afterwards);
        if (loaded) {
            EXPECT_EQ(quiz.current, quiz.first);
        }
        if (!loaded) platform::createQuizDialog();  // the reminder closed it
        for (int box : {QUIZ_KEEP_SINGLE, QUIZ_KEEP_MULTIPLE, QUIZ_KEEP_TRUE_FALSE})
            platform::setQuizBoxTicked(box, true);
    }
}

TEST_F(QuizParserTest, NoQuestionClosesTheDialogAndShowsTheReminder) {
    setDocument({"只是一段文字", "没有题目"});
    EXPECT_FALSE(loadQuestionBank(quiz));
    EXPECT_FALSE(fake().quizOpen);
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].caption, "退出做题");
    EXPECT_EQ(fake().messageBoxes[0].text,
              "请确认在此文本中，存在规范题库：（类似如下）\n\n26.题目......\nA.选项\nB.选项\nC.选项\nD.选项\n"
              "......\n答案：AC\n解析：(可有可无)......");
    EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_OK);
    EXPECT_EQ(quiz.first, nullptr);
}

TEST_F(QuizParserTest, ConversionMarksTheDocumentModified) {
    setDocument({"1.题", "答案:A"});
    loadQuestionBank(quiz);
    EXPECT_TRUE(doc.modified);
    EXPECT_NE(fake().title.find('*'), std::string::npos);
}

TEST_F(QuizParserTest, TypeBoxesKeepOnlyTheirTypes) {
    const std::vector<std::string> bank = {"1.判", "答案:A", "2.单", "A.x", "B.y", "C.z", "答案:B",
                                           "3.多", "A.x", "B.y", "C.z", "答案:AB"};
    struct Case { bool single, multiple, trueFalse; const char* kept; };
    const Case cases[] = {
        {true, true, true, "1.判 2.单 3.多"}, {true, false, false, "2.单"},
        {false, true, false, "3.多"},         {false, false, true, "1.判"},
        {true, true, false, "2.单 3.多"},     {false, false, false, ""},
    };
    for (const Case& c : cases) {
        setDocument(bank);
        platform::createQuizDialog();
        platform::setQuizBoxTicked(QUIZ_KEEP_SINGLE, c.single);
        platform::setQuizBoxTicked(QUIZ_KEEP_MULTIPLE, c.multiple);
        platform::setQuizBoxTicked(QUIZ_KEEP_TRUE_FALSE, c.trueFalse);
        loadQuestionBank(quiz);
        std::string kept;
        for (const QuestionNode* node = quiz.first; node != nullptr; node = node->next)
            kept += (kept.empty() ? "" : " ") + std::string(node->question->questionText);
        EXPECT_EQ(kept, c.kept);
    }
}

TEST_F(QuizParserTest, AnswerWordsOfOverlongLinesStayAsTheyAre) {
    for (size_t length : {size_t(ANSWER_LINE_LIMIT) - 1, size_t(ANSWER_LINE_LIMIT), size_t(ANSWER_LINE_LIMIT) + 3}) {
        const std::string head = "答案:正确";
        const std::string line = head + std::string(length - head.size(), 'x');
        setDocument({"1.题", line});
        doc.caretLine = lineAt(1);
        doc.caretCol = static_cast<int>(line.size());
        ASSERT_TRUE(loadQuestionBank(quiz));
        const bool rewritten = length < size_t(ANSWER_LINE_LIMIT);
        const std::string expected = rewritten ? "答案:A" + line.substr(head.size()) : line;
        EXPECT_EQ(documentLines()[1], expected) << length;
        EXPECT_EQ(std::string(quiz.first->question->answer), expected);
        EXPECT_LE(doc.caretCol, static_cast<int>(expected.size()));  // the caret stays inside its line
    }
}

// ==== The filtered load ====

TEST_F(QuizParserTest, FilterKeepsQuestionsWhoseTextHoldsTheFilter) {
    const std::vector<std::string> bank = {"1.甲①乙", "A.苹果", "答案:A", "2.丙ａ", "答案:B", "3.丁", "解析:苹果",
                                           "答案:A"};
    struct Case { const char* filter; FilterOutcome outcome; const char* kept; };
    const Case cases[] = {
        {"甲①", FilterOutcome::Matched, "1.甲\r\n①乙"},      // tested before the line breaks go in
        {"丙ａ", FilterOutcome::Matched, "2.丙ａ"},           // the document is not converted first
        {"苹果", FilterOutcome::Reloaded, "1.甲\r\n①乙 2.丙a 3.丁"},  // options and explanations do not count
        {"", FilterOutcome::Unchanged, "3.丁"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        setDocument(bank);
        // The list before the filter: only the last question.
        filterQuestionBank(quiz, "丁");
        doc.modified = 0;
        EXPECT_EQ(filterQuestionBank(quiz, c.filter), c.outcome);
        std::string kept;
        for (const QuestionNode* node = quiz.first; node != nullptr; node = node->next)
            kept += (kept.empty() ? "" : " ") + std::string(node->question->questionText);
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(quiz.current, quiz.first);
    }
}

TEST_F(QuizParserTest, FilterFindsQuestionsOfTheParenthesisedLayout) {
    setDocument({"(A) 1.甲", "A.x", "B.y", "(B) 2.乙", "A.p", "B.q"});
    EXPECT_EQ(filterQuestionBank(quiz, "乙"), FilterOutcome::Matched);
    EXPECT_EQ(listed(quiz), "0 Q: 2.乙 A.p B.q =答案:(B)");
}

TEST_F(QuizParserTest, FilterOverAnEmptyBankClosesTheDialog) {
    setDocument({"没有题目"});
    EXPECT_EQ(filterQuestionBank(quiz, "甲"), FilterOutcome::NoBank);
    EXPECT_FALSE(fake().quizOpen);
    EXPECT_EQ(fake().messageBoxes.size(), 1u);
}

}  // namespace
