// The quiz's work on the list: judging an answer, shuffling, going to a number,
// filtering, copying the bank and the shortcut help.
#include <cctype>
#include <climits>
#include <string>
#include <utility>

#include "document/gbk.h"
#include "platform/platform.h"
#include "quiz/quiz_controls.h"
#include "quiz/quiz_dialog.h"

ShuffleGenerator shuffleGenerator;

namespace {

// The short messages of the quiz, shown on the message window.
struct Flash {
    const char* text;
    uint32_t background;  // 0x00BBGGRR
    int points;
    unsigned milliseconds;
};
constexpr Flash RIGHT_ANSWER = {"做对了 !", 0x000063, 63, 288};
constexpr Flash NO_SUCH_QUESTION = {"查无此句 !", 0x6F0000, 34, 812};
constexpr Flash BANK_COPIED = {"成功复制到剪贴板.", 0x004D00, 28, 1567};

// The message window's look: white italic "微软雅黑", centred above a 33-pixel strip.
constexpr uint32_t FLASH_TEXT_COLOUR = 0xFFFFFF;
constexpr const char* FLASH_FACE = "微软雅黑";
constexpr int FLASH_BOTTOM_STRIP = 33;
constexpr int POINTS_PER_INCH = 72;

// Longest texts read from the position and filter fields.
constexpr int POSITION_FIELD_BYTES = 87;
constexpr int FILTER_FIELD_BYTES = 187;

constexpr const char* SHORTCUT_HELP_CAPTION = "[快捷键]使用说明";
constexpr const char* SHORTCUT_HELP =
    "[A].....[G]选择 A-G\t\t[F1]...[F5]选择 A-E\n\n[K]全选/不选 A-G\n\n"
    "[Insert]打乱\t[Home][R]首题\t[PageUp]向前10题\n\t\t[End][O]末题\t[PageDown]向后10题\n\n"
    "\t\t[↑]向前1题\n[←]向前一题\t[↓]向后1题\t[→]向后1题\n\n"
    "\t\t[T]向前10题\n[J]向前一题\t[M]向后10题\t[L]向后1题\n\n[Y]声音开关\t[U]答案开关\n";

// Shows a short message on the message window owned by the quiz dialog; returns once it
// has closed.
void flash(const Flash& message) {
    platform::MessageWindowRequest request;
    request.owner = platform::DialogOwner::QuizDialog;
    request.text = message.text;
    request.background = message.background;
    request.textColour = FLASH_TEXT_COLOUR;
    request.font.height = -(message.points * platform::screenPixelsPerInchY() / POINTS_PER_INCH);
    request.font.italic = true;
    request.font.faceName = FLASH_FACE;
    request.bottomMargin = FLASH_BOTTOM_STRIP;
    request.duration = message.milliseconds;
    platform::showMessageWindow(request);
}

// How often each letter A to I stands in the answer as a character of its own.
void countAnswerLetters(const char* answer, int counts[QUESTION_OPTION_COUNT]) {
    for (int index = 0; index < QUESTION_OPTION_COUNT; ++index) counts[index] = 0;
    if (answer == nullptr) return;
    for (int pos = 0; answer[pos] != '\0'; pos += charLength(answer, pos))
        if (charLength(answer, pos) == 1 && answer[pos] >= 'A' && answer[pos] <= 'I') ++counts[answer[pos] - 'A'];
}

// The node `steps` places before the last one.
QuestionNode* stepsBeforeLast(const QuizState& quiz, int steps) {
    QuestionNode* node = quiz.last;
    for (int step = 0; step < steps && node->previous != nullptr; ++step) node = node->previous;
    return node;
}

// The leading decimal digits of a field (after any blanks) as a number, 0 when there are
// none; a number too large for an int counts as the largest one.
int leadingNumber(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    long long number = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        number = number * 10 + (text[pos] - '0');
        if (number > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(number);
}

void appendLine(std::string& text, const char* line) {
    text += "\r\n";
    text += line;
}

}  // namespace

// ==== Judging ====

bool checkAnswer(QuizState& quiz) {
    if (quiz.current == nullptr) return false;
    int counts[QUESTION_OPTION_COUNT];
    countAnswerLetters(quiz.current->question->answer, counts);
    bool right = true;
    for (int index = 0; index < QUESTION_OPTION_COUNT; ++index) {
        const int tick = platform::isQuizBoxTicked(QUIZ_OPTION_A + index) ? 1 : 0;
        if (tick != counts[index]) right = false;
    }
    const bool sound = platform::isQuizBoxTicked(QUIZ_SOUND);
    if (right) {
        if (quiz.correctCount < INT32_MAX) ++quiz.correctCount;
        if (sound) platform::playSound(SOUND_RIGHT_ANSWER);
        flash(RIGHT_ANSWER);
    } else if (sound) {
        platform::playSound(SOUND_WRONG_ANSWER);
    }
    platform::focusQuizControl(QUIZ_NEXT);
    return right;
}

void answerWithOption(QuizState& quiz, int index) {
    if (quiz.current == nullptr || index < 0 || index >= QUESTION_OPTION_COUNT) return;
    if (quiz.current->question->type != MultipleChoice) {
        for (int other = 0; other < QUESTION_OPTION_COUNT; ++other)
            platform::setQuizBoxTicked(QUIZ_OPTION_A + other, other == index);
    }
    if (checkAnswer(quiz)) quizCommand(QUIZ_NEXT);
}

// ==== Shuffling ====

int nextShuffleNumber(ShuffleGenerator& generator) {
    generator.state = generator.state * 214013u + 2531011u;
    return static_cast<int>((generator.state >> 16) & 0x7FFF);
}

void shuffleQuestions(QuizState& quiz) {
    const int count = questionCount(quiz);
    if (count == 0) return;
    for (QuestionNode* node = quiz.first; node != nullptr; node = node->next) {
        QuestionNode* other = stepsBeforeLast(quiz, nextShuffleNumber(shuffleGenerator) % count);
        std::swap(node->question, other->question);
    }
    quiz.current = quiz.first;
}

// ==== Going to a number, filtering ====

void goToQuestionNumber(QuizState& quiz) {
    if (quiz.first == nullptr) return;
    const int wanted = leadingNumber(platform::getQuizControlText(QUIZ_POSITION, POSITION_FIELD_BYTES));
    quiz.current = quiz.first;
    for (int position = 1; quiz.current->next != nullptr && position < wanted; ++position)
        quiz.current = quiz.current->next;
    showQuestion(quiz);
}

void applyFilter(QuizState& quiz) {
    const std::string filterText = platform::getQuizControlText(QUIZ_FILTER_TEXT, FILTER_FIELD_BYTES);
    switch (filterQuestionBank(quiz, filterText.c_str())) {
        case FilterOutcome::Matched: showQuestion(quiz); break;
        case FilterOutcome::Reloaded:
            showQuestion(quiz);
            flash(NO_SUCH_QUESTION);
            break;
        default: break;
    }
}

// ==== Copying the bank ====

// One block per question, each line led by CR LF, so the text starts with a line break
// and no empty line stands between questions. Built in one growing string: a question or
// a bank of any size is copied whole.
std::string bankText(const QuizState& quiz) {
    std::string text;
    for (const QuestionNode* node = quiz.first; node != nullptr; node = node->next) {
        const Question& question = *node->question;
        appendLine(text, question.questionText);
        for (const char* option : question.options)
            if (option != nullptr) appendLine(text, option);
        appendLine(text, question.answer);
        if (question.explanation != nullptr) appendLine(text, question.explanation);
    }
    return text;
}

void copyBankToClipboard(QuizState& quiz) {
    if (!platform::setClipboardText(bankText(quiz))) return;
    flash(BANK_COPIED);
}

void showShortcutHelp() {
    platform::showOwnedMessageBox(platform::DialogOwner::QuizDialog, SHORTCUT_HELP, SHORTCUT_HELP_CAPTION,
                                  platform::BOX_OK);
}
