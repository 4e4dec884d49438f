// The quiz dialog's behaviour through the seam: opening, moving through the list, judging,
// scores and hidden answers that outlive the dialog, shuffling, filtering, copying.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/virtual_keys.h"
#include "quiz/question_bank.h"
#include "quiz/quiz_controls.h"
#include "quiz/quiz_dialog.h"
#include "support/test_document.h"

namespace {

// Five numbered true/false questions "1.q" to "5.q" with answer A.
std::vector<std::string> bankOfFive() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 5; ++n) {
        lines.push_back(std::to_string(n) + ".q");
        lines.push_back("答案:A");
    }
    return lines;
}

class QuizSessionTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        freeQuestionList(quiz);
        quiz = QuizState{};
        shuffleGenerator = ShuffleGenerator{};
    }
    void TearDown() override {
        freeQuestionList(quiz);
        CoreTest::TearDown();
    }
    void open(const std::vector<std::string>& lines) {
        setDocument(lines);
        openQuiz();
    }
    FakeQuizControl& control(int id) { return fake().quizControls[id]; }
    std::string text(int id) { return control(id).text; }
    bool ticked(int id) { return control(id).ticked; }
    int position() { return std::stoi(text(QUIZ_POSITION)); }
    void goTo(int n) {
        control(QUIZ_POSITION).text = std::to_string(n);
        fake().quizFocus = QUIZ_POSITION;
        quizKey(VKEY_RETURN);
    }
};

TEST_F(QuizSessionTest, OpeningTicksTheBoxesAndShowsTheFirstQuestion) {
    open({"1.题目", "A.甲", "B.乙", "C.丙", "答案:B", "解析:因为"});
    EXPECT_TRUE(fake().quizOpen && fake().quizVisible);
    for (int box : {QUIZ_KEEP_SINGLE, QUIZ_KEEP_MULTIPLE, QUIZ_KEEP_TRUE_FALSE, QUIZ_SOUND}) EXPECT_TRUE(ticked(box));
    EXPECT_EQ(text(QUIZ_QUESTION), "1.题目");
    EXPECT_EQ(text(QUIZ_TYPE_LABEL), "【单项选择题】");
    EXPECT_EQ(text(QUIZ_ANSWER), "答案:B");
    EXPECT_EQ(text(QUIZ_EXPLANATION), "解析:因为");
    EXPECT_EQ(text(QUIZ_POSITION), "1");
    EXPECT_EQ(text(QUIZ_SCORE), "答对0次 / 共1道题");
    EXPECT_FALSE(control(QUIZ_SELECT_ALL).enabled);
    for (int id = QUIZ_OPTION_A; id <= QUIZ_OPTION_I; ++id) EXPECT_EQ(control(id).visible, id <= QUIZ_OPTION_A + 2);
}

TEST_F(QuizSessionTest, LayoutGivesEachText22PixelsPerDisplayLine) {
    struct Case { std::string text; int lines; };
    const Case cases[] = {
        {"", 0}, {"a", 1}, {std::string(68, 'x'), 1}, {std::string(69, 'x'), 1}, {std::string(70, 'x'), 2},
        {"ab\rcd", 2}, {"ab\r\n", 2}, {std::string(140, 'x'), 3},
    };
    for (const Case& c : cases) EXPECT_EQ(displayLineCount(c.text.c_str()), c.lines) << c.text.size();

    // The fake's question box starts at (11, 26), 573 wide.
    open({"1." + std::string(138, 'q'), "A.x", "B." + std::string(100, 'y'), "答案:A"});
    EXPECT_EQ(control(QUIZ_QUESTION).rect.height, 66);
    EXPECT_EQ(control(QUIZ_QUESTION).font.height, -16);
    EXPECT_EQ(control(QUIZ_QUESTION).font.faceName, "微软雅黑");
    const platform::ControlRect a = control(QUIZ_OPTION_A).rect, b = control((QUIZ_OPTION_A + 1)).rect;
    EXPECT_EQ(std::vector<int>({a.left, a.top, a.width, a.height}), std::vector<int>({11, 26 + 66 + 11 + 2, 573, 33}));
    EXPECT_EQ(std::vector<int>({b.left, b.top, b.height}), std::vector<int>({11, a.top + 33 + 2, 55}));
}

TEST_F(QuizSessionTest, TrueFalseWithoutOptionsOffersRightAndWrong) {
    open({"1.地球是圆的", "答案:正确"});
    EXPECT_EQ(text(QUIZ_OPTION_A), "A. 对");
    EXPECT_EQ(text((QUIZ_OPTION_A + 1)), "B. 错");
    EXPECT_FALSE(control((QUIZ_OPTION_A + 2)).visible);
    EXPECT_EQ(text(QUIZ_TYPE_LABEL), "【判断题】");
    quizCommand(QUIZ_OPTION_A);
    EXPECT_EQ(quiz.correctCount, 1);
}

TEST_F(QuizSessionTest, NavigationWrapsAroundAndTenStepsStopAtTheEnds) {
    struct Case { int from; int command; int to; };
    const Case cases[] = {
        {5, QUIZ_NEXT, 1},        {1, QUIZ_PREVIOUS, 5},   {3, QUIZ_TEN_FORWARD, 5}, {2, QUIZ_TEN_BACK, 1},
        {1, QUIZ_TEN_FORWARD, 5}, {4, QUIZ_FIRST, 1},      {2, QUIZ_LAST, 5},        {3, QUIZ_NEXT, 4},
        {3, QUIZ_PREVIOUS, 2},
    };
    open(bankOfFive());
    for (const Case& c : cases) {
        goTo(c.from);
        ASSERT_EQ(position(), c.from);
        quizCommand(c.command);
        EXPECT_EQ(position(), c.to) << c.from << " command " << c.command;
        EXPECT_EQ(text(QUIZ_QUESTION), std::to_string(c.to) + ".q");
    }
    // The same moves from the keys.
    const std::pair<int, int> keys[] = {{VKEY_END, 5}, {'R', 1}, {VKEY_LEFT, 5}, {'L', 1}, {'M', 5}, {'T', 1},
                                        {VKEY_DOWN, 2}, {VKEY_UP, 1}, {'O', 5}, {VKEY_HOME, 1}, {'J', 5}};
    for (const auto& [key, to] : keys) {
        quizKey(key);
        EXPECT_EQ(position(), to) << "key " << key;
    }
}

TEST_F(QuizSessionTest, GoingToANumberStaysInsideTheList) {
    open(bankOfFive());
    const std::pair<const char*, int> cases[] = {{"0", 1}, {"1", 1}, {"3", 3}, {"99", 5}, {"", 1},
                                                 {"2x", 2}, {"99999999999999999999", 5}};
    for (const auto& [typed, to] : cases) {
        quizCommand(QUIZ_LAST);
        control(QUIZ_POSITION).text = typed;
        fake().quizFocus = QUIZ_POSITION;
        quizCommand(QUIZ_DEFAULT_COMMAND);
        EXPECT_EQ(position(), to) << typed;
    }
    // Enter anywhere but the two fields does nothing.
    control(QUIZ_POSITION).text = "1";
    fake().quizFocus = QUIZ_NEXT;
    quizKey(VKEY_RETURN);
    EXPECT_STREQ(quiz.current->question->questionText, "5.q");
}

TEST_F(QuizSessionTest, SingleChoiceTakesOneTickAndMovesOnWhenRight) {
    open({"1.甲", "A.x", "B.y", "C.z", "D.w", "答案:B", "2.乙", "答案:A"});
    quizCommand(QUIZ_OPTION_A);
    EXPECT_TRUE(ticked(QUIZ_OPTION_A));
    EXPECT_EQ(fake().sounds, std::vector<int>{SOUND_WRONG_ANSWER});
    EXPECT_EQ(position(), 1);
    EXPECT_EQ(fake().quizFocus, QUIZ_NEXT);
    quizKey('E');  // the hidden box of option E
    EXPECT_TRUE(ticked((QUIZ_OPTION_A + 4))) << "ticked, and judged wrong";
    EXPECT_FALSE(ticked(QUIZ_OPTION_A));
    EXPECT_EQ(quiz.correctCount, 0);
    quizCommand((QUIZ_OPTION_A + 1));
    EXPECT_EQ(quiz.correctCount, 1);
    EXPECT_EQ(fake().sounds.back(), SOUND_RIGHT_ANSWER);
    ASSERT_EQ(fake().messageWindows.size(), 1u);
    const platform::MessageWindowRequest& shown = fake().messageWindows[0];
    EXPECT_EQ(shown.text, "做对了 !");
    EXPECT_EQ(shown.background, 0x000063u);  // RGB(99, 0, 0)
    EXPECT_EQ(shown.font.height, -84);       // 63 points
    EXPECT_EQ(shown.duration, 288u);
    EXPECT_EQ(shown.owner, platform::DialogOwner::QuizDialog);
    EXPECT_EQ(position(), 2);
    EXPECT_FALSE(ticked((QUIZ_OPTION_A + 1)));
    EXPECT_EQ(text(QUIZ_SCORE), "答对1次 / 共2道题");
}

TEST_F(QuizSessionTest, JudgingComparesTicksWithAnswerLetters) {
    struct Case { const char* answer; std::vector<int> ticks; bool right; };
    const Case cases[] = {
        {"答案:AC", {0}, false},       {"答案:AC", {0, 2}, true},     {"答案:AC", {0, 1, 2}, false},
        {"答案:AA", {0}, false},       {"答案:AA", {}, false},        // a letter twice never matches
        {"答案:见书", {}, true},        {"答案:见书", {3}, false},
        {"答案:B\x81\x41", {1}, true},  // a second byte is no letter
    };
    for (const Case& c : cases) {
        setDocument({"1.q", "A.x", "B.y", "C.z", "D.w", c.answer});
        openQuiz();
        for (int index : c.ticks) control(QUIZ_OPTION_A + index).ticked = true;
        EXPECT_EQ(checkAnswer(quiz), c.right) << c.answer << " with " << c.ticks.size() << " ticks";
        quizCommand(QUIZ_CLOSE);
    }
}

TEST_F(QuizSessionTest, MultipleChoiceIsJudgedAfterEveryClick) {
    open({"1.多", "A.x", "B.y", "C.z", "答案:AC", "2.next", "答案:A"});
    quizKey('A');  // the key ticks the box, the click is judged
    EXPECT_TRUE(ticked(QUIZ_OPTION_A));
    EXPECT_EQ(quiz.correctCount, 0);
    quizKey('C');
    EXPECT_EQ(quiz.correctCount, 1);
    EXPECT_EQ(position(), 2);

    // "全选" ticks every option of a multiple-choice question.
    setDocument({"1.多", "A.x", "B.y", "答案:AB"});
    quizCommand(QUIZ_KEEP_SINGLE);  // a type box reloads the bank
    EXPECT_TRUE(control(QUIZ_SELECT_ALL).enabled);
    quizKey('K');
    EXPECT_EQ(quiz.correctCount, 2);
}

TEST_F(QuizSessionTest, SoundOffPlaysNothing) {
    open({"1.q", "A.x", "B.y", "答案:A"});
    quizKey('Y');
    EXPECT_FALSE(ticked(QUIZ_SOUND));
    quizCommand((QUIZ_OPTION_A + 1));
    quizCommand(QUIZ_OPTION_A);
    EXPECT_TRUE(fake().sounds.empty());
    EXPECT_EQ(quiz.correctCount, 1);
}

TEST_F(QuizSessionTest, HiddenAnswersAndTheScoreOutliveReloadsAndTheDialog) {
    open({"1.q", "答案:A", "2.r", "答案:A"});
    quizKey('U');
    EXPECT_FALSE(control(QUIZ_ANSWER).visible);
    EXPECT_FALSE(control(QUIZ_EXPLANATION).visible);
    quizCommand(QUIZ_OPTION_A);
    quizCommand(QUIZ_KEEP_SINGLE);
    EXPECT_EQ(text(QUIZ_SCORE), "答对1次 / 共2道题");
    EXPECT_FALSE(control(QUIZ_ANSWER).visible);

    quizCommand(QUIZ_CLOSE);
    EXPECT_FALSE(fake().quizOpen);
    EXPECT_EQ(quiz.first, nullptr);  // closing frees the list
    openQuiz();
    EXPECT_EQ(fake().quizDialogsCreated, 2);
    EXPECT_FALSE(control(QUIZ_ANSWER).visible);
    EXPECT_EQ(text(QUIZ_SCORE), "答对1次 / 共2道题");
    quizCommand(QUIZ_ANSWER_BUTTON);
    EXPECT_TRUE(control(QUIZ_ANSWER).visible);
}

TEST_F(QuizSessionTest, OpeningAgainBringsTheOpenQuizForward) {
    open(bankOfFive());
    goTo(3);
    openQuiz();
    EXPECT_EQ(fake().quizDialogsCreated, 1);
    EXPECT_EQ(fake().quizBroughtForward, 1);
    EXPECT_EQ(position(), 3);
}

TEST_F(QuizSessionTest, ClearingEveryTypeBoxClosesTheQuizWithTheReminder) {
    open(bankOfFive());
    for (int box : {QUIZ_KEEP_SINGLE, QUIZ_KEEP_MULTIPLE, QUIZ_KEEP_TRUE_FALSE}) {
        control(box).ticked = false;
        quizCommand(box);
    }
    EXPECT_FALSE(fake().quizOpen);
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].caption, "退出做题");
}

TEST_F(QuizSessionTest, ShuffleFollowsTheClassicGenerator) {
    ShuffleGenerator generator;
    std::vector<int> numbers;
    for (int i = 0; i < 5; ++i) numbers.push_back(nextShuffleNumber(generator));
    EXPECT_EQ(numbers, (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    open(bankOfFive());
    goTo(4);
    quizKey(VKEY_INSERT);
    std::vector<std::string> order;
    for (const QuestionNode* node = quiz.first; node != nullptr; node = node->next)
        order.push_back(node->question->questionText);
    EXPECT_EQ(order, (std::vector<std::string>{"1.q", "3.q", "4.q", "5.q", "2.q"}));
    EXPECT_EQ(position(), 1);
}

TEST_F(QuizSessionTest, FilterKeepsMatchesOrBringsTheWholeBankBack) {
    open({"1.苹果", "答案:A", "2.香蕉", "答案:A", "3.苹果派", "答案:A"});
    control(QUIZ_FILTER_TEXT).text = "苹果";
    fake().quizFocus = QUIZ_FILTER_TEXT;
    quizKey(VKEY_RETURN);
    EXPECT_EQ(text(QUIZ_SCORE), "答对0次 / 共2道题");
    EXPECT_TRUE(fake().messageWindows.empty());

    control(QUIZ_FILTER_TEXT).text = "西瓜";
    quizCommand(QUIZ_FILTER);
    EXPECT_EQ(text(QUIZ_SCORE), "答对0次 / 共3道题");
    ASSERT_EQ(fake().messageWindows.size(), 1u);
    EXPECT_EQ(fake().messageWindows[0].text, "查无此句 !");
    EXPECT_EQ(fake().messageWindows[0].background, 0x6F0000u);  // RGB(0, 0, 111)
    EXPECT_EQ(fake().messageWindows[0].duration, 812u);

    control(QUIZ_FILTER_TEXT).text = "";
    quizCommand(QUIZ_FILTER);
    EXPECT_EQ(fake().messageWindows.size(), 1u);
    EXPECT_EQ(text(QUIZ_SCORE), "答对0次 / 共3道题");
}

TEST_F(QuizSessionTest, CopiedBankStartsWithALineBreakAndHasNoEmptyLines) {
    open({"1.甲①一②二", "A.x", "B.y", "C.z", "答案:B", "解析:略", "2.乙", "答案:正确"});
    quizCommand(QUIZ_COPY_BANK);
    EXPECT_EQ(fake().clipboard,
              "\r\n1.甲\r\n①一\r\n②二\r\nA.x\r\nB.y\r\nC.z\r\n答案:B\r\n解析:略"
              "\r\n2.乙\r\n答案:A");
    ASSERT_EQ(fake().messageWindows.size(), 1u);
    EXPECT_EQ(fake().messageWindows[0].text, "成功复制到剪贴板.");
    EXPECT_EQ(fake().messageWindows[0].background, 0x004D00u);  // RGB(0, 77, 0)
    EXPECT_EQ(fake().messageWindows[0].duration, 1567u);

    fake().clipboardRefuses = true;
    quizCommand(QUIZ_COPY_BANK);
    EXPECT_EQ(fake().messageWindows.size(), 1u);  // nothing copied, nothing said
}

TEST_F(QuizSessionTest, ABankOfAnySizeIsCopiedWhole) {
    // A question longer than any fixed work buffer, among many small ones.
    std::vector<std::string> lines = {"1." + std::string(150000, 'q'), "答案:A"};
    for (int n = 2; n <= 3000; ++n) {
        lines.push_back(std::to_string(n) + "." + std::string(60, 'r'));
        lines.push_back("答案:A");
    }
    setDocument(lines);
    openQuiz();
    quizCommand(QUIZ_COPY_BANK);
    size_t expected = 0;
    for (const std::string& line : lines) expected += 2 + line.size();
    EXPECT_EQ(fake().clipboard.size(), expected);
    const std::string tail = "\r\n" + lines.back();
    EXPECT_EQ(fake().clipboard.substr(fake().clipboard.size() - tail.size()), tail);
}

TEST_F(QuizSessionTest, ShortcutHelpIsShownOverTheQuiz) {
    open(bankOfFive());
    quizCommand(QUIZ_SHORTCUTS);
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].caption, "[快捷键]使用说明");
    EXPECT_TRUE(fake().messageBoxes[0].ownedByQuizDialog);
    EXPECT_EQ(fake().messageBoxes[0].text,
              "[A].....[G]选择 A-G\t\t[F1]...[F5]选择 A-E\n\n[K]全选/不选 A-G\n\n[Insert]打乱\t[Home][R]首题\t"
              "[PageUp]向前10题\n\t\t[End][O]末题\t[PageDown]向后10题\n\n\t\t[↑]向前1题\n[←]向前一题\t[↓]向后1题\t"
              "[→]向后1题\n\n\t\t[T]向前10题\n[J]向前一题\t[M]向后10题\t[L]向后1题\n\n[Y]声音开关\t[U]答案开关\n");
}

}  // namespace
