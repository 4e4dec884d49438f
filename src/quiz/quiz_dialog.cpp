// Opening and closing the quiz dialog, laying out the current question, and the dialog's
// commands and keys.
#include "quiz/quiz_dialog.h"

#include <climits>
#include <cstdio>

#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "quiz/quiz_controls.h"
#include "view/active_window.h"

namespace {

// ==== Layout of a question ====

constexpr const char* QUESTION_FACE = "微软雅黑";
constexpr int QUESTION_POINTS = 12;
constexpr int POINTS_PER_INCH = 72;
constexpr int PIXELS_PER_DISPLAY_LINE = 22;
constexpr int BYTES_PER_DISPLAY_LINE = 68;
constexpr int GAP_BELOW_QUESTION = 11;
constexpr int GAP_ABOVE_OPTION = 2;
constexpr int OPTION_EXTRA_HEIGHT = 11;
// Taller than any screen: heights and positions of huge texts stop here instead of
// running past the range of an int.
constexpr long long LARGEST_COORDINATE = 1 << 24;

// The substitutes a true/false question without its own options A and B shows.
const char* const TRUE_FALSE_OPTIONS[QUESTION_OPTION_COUNT] = {"A. 对", "B. 错"};

int clampCoordinate(long long value) {
    return static_cast<int>(value > LARGEST_COORDINATE ? LARGEST_COORDINATE : value);
}

long long textHeight(const char* text) {
    return static_cast<long long>(displayLineCount(text)) * PIXELS_PER_DISPLAY_LINE;
}

platform::FontRequest questionFont() {
    platform::FontRequest font;
    font.height = -(QUESTION_POINTS * platform::screenPixelsPerInchY() / POINTS_PER_INCH);
    font.faceName = QUESTION_FACE;
    return font;
}

const char* const* shownOptions(const Question& question) {
    if (question.type == TrueFalse && (question.options[0] == nullptr || question.options[1] == nullptr))
        return TRUE_FALSE_OPTIONS;
    return question.options;
}

void clearOptionBoxes() {
    for (int id = QUIZ_OPTION_A; id <= QUIZ_OPTION_I; ++id) platform::setQuizBoxTicked(id, false);
}

// The question text at the top, its height fitted to its display lines; returns its bottom.
long long placeQuestionText(const Question& question, const platform::FontRequest& font,
                            const platform::ControlRect& box) {
    platform::setQuizControlFont(QUIZ_QUESTION, font);
    const long long height = question.questionText != nullptr ? textHeight(question.questionText) : 0;
    platform::placeQuizControl(QUIZ_QUESTION, {box.left, box.top, box.width, clampCoordinate(height)});
    platform::setQuizControlText(QUIZ_QUESTION, question.questionText != nullptr ? question.questionText : "");
    return box.top + height;
}

// The option boxes stacked below the question, each as tall as its text; empty ones hidden.
void placeOptions(const Question& question, const platform::FontRequest& font, int left, long long y) {
    const char* const* options = shownOptions(question);
    for (int index = 0; index < QUESTION_OPTION_COUNT; ++index) {
        const int id = QUIZ_OPTION_A + index;
        platform::setQuizBoxTicked(id, false);
        if (options[index] == nullptr) {
            platform::showQuizControl(id, false);
            continue;
        }
        platform::showQuizControl(id, true);
        platform::setQuizControlFont(id, font);
        y += GAP_ABOVE_OPTION;
        const long long height = textHeight(options[index]) + OPTION_EXTRA_HEIGHT;
        const int width = platform::getQuizControlRect(id).width;
        platform::placeQuizControl(id, {left, clampCoordinate(y), width, clampCoordinate(height)});
        platform::setQuizControlText(id, options[index]);
        y += height;
    }
}

void showAnswerAndType(const QuizState& quiz, const Question& question) {
    platform::setQuizControlText(QUIZ_ANSWER, question.answer != nullptr ? question.answer : "");
    platform::setQuizControlText(QUIZ_EXPLANATION, question.explanation != nullptr ? question.explanation : "");
    platform::showQuizControl(QUIZ_ANSWER, quiz.answersHidden == 0);
    platform::showQuizControl(QUIZ_EXPLANATION, quiz.answersHidden == 0);
    platform::setQuizBoxTicked(QUIZ_SELECT_ALL, false);
    platform::enableQuizControl(QUIZ_SELECT_ALL, false);
    switch (question.type) {
        case MultipleChoice:
            platform::setQuizControlText(QUIZ_TYPE_LABEL, "【多项选择题】");
            platform::enableQuizControl(QUIZ_SELECT_ALL, true);
            break;
        case SingleChoice: platform::setQuizControlText(QUIZ_TYPE_LABEL, "【单项选择题】"); break;
        default: platform::setQuizControlText(QUIZ_TYPE_LABEL, "【判断题】"); break;
    }
}

int positionOf(const QuizState& quiz, const QuestionNode* target) {
    int position = 1;
    for (const QuestionNode* node = quiz.first; node != nullptr && node != target; node = node->next) ++position;
    return position;
}

void showPositionAndScore(const QuizState& quiz) {
    char text[64];
    std::snprintf(text, sizeof text, "%d", positionOf(quiz, quiz.current));
    platform::setQuizControlText(QUIZ_POSITION, text);
    std::snprintf(text, sizeof text, "答对%d次 / 共%d道题", quiz.correctCount, questionCount(quiz));
    platform::setQuizControlText(QUIZ_SCORE, text);
}

// ==== Moving through the list ====

void goNext(QuizState& quiz) { quiz.current = quiz.current->next != nullptr ? quiz.current->next : quiz.first; }
void goPrevious(QuizState& quiz) {
    quiz.current = quiz.current->previous != nullptr ? quiz.current->previous : quiz.last;
}
void goTenForward(QuizState& quiz) {
    for (int step = 0; step < 10 && quiz.current->next != nullptr; ++step) quiz.current = quiz.current->next;
}
void goTenBack(QuizState& quiz) {
    for (int step = 0; step < 10 && quiz.current->previous != nullptr; ++step) quiz.current = quiz.current->previous;
}

// Runs a move when there is a question to move from, then shows where it led.
void move(QuizState& quiz, void (*step)(QuizState&)) {
    if (quiz.current == nullptr) return;
    step(quiz);
    showQuestion(quiz);
}

// Each option box ticked when "全选" is, for a multiple-choice question's own options.
void tickFromSelectAll(const QuizState& quiz) {
    const bool all = platform::isQuizBoxTicked(QUIZ_SELECT_ALL);
    const Question* question = quiz.current != nullptr ? quiz.current->question : nullptr;
    const bool multiple = question != nullptr && question->type == MultipleChoice;
    for (int index = 0; index < QUESTION_OPTION_COUNT; ++index)
        platform::setQuizBoxTicked(QUIZ_OPTION_A + index, all && multiple && question->options[index] != nullptr);
}

void selectAll(QuizState& quiz) {
    tickFromSelectAll(quiz);
    if (checkAnswer(quiz)) quizCommand(QUIZ_NEXT);
}

void reloadForTypeBoxes(QuizState& quiz) {
    if (loadQuestionBank(quiz)) showQuestion(quiz);
}

// Enter: the field that has the focus decides what it confirms.
void confirmField(QuizState& quiz) {
    const int focus = platform::quizFocusControl();
    if (focus == QUIZ_POSITION) goToQuestionNumber(quiz);
    else if (focus == QUIZ_FILTER_TEXT) applyFilter(quiz);
}

bool currentIsMultipleChoice() {
    return quiz.current != nullptr && quiz.current->question->type == MultipleChoice;
}

void toggleBox(int id) { platform::setQuizBoxTicked(id, !platform::isQuizBoxTicked(id)); }

// The command a key of the quiz stands for, 0 for none (option letters are handled apart).
int commandOfKey(int key) {
    switch (key) {
        case VKEY_RETURN: return QUIZ_DEFAULT_COMMAND;
        case VKEY_END: case 'O': return QUIZ_LAST;
        case VKEY_HOME: case 'R': return QUIZ_FIRST;
        case VKEY_LEFT: case VKEY_UP: case 'J': return QUIZ_PREVIOUS;
        case VKEY_RIGHT: case VKEY_DOWN: case 'L': return QUIZ_NEXT;
        case VKEY_INSERT: return QUIZ_SHUFFLE;
        case 'M': return QUIZ_TEN_FORWARD;
        case 'T': return QUIZ_TEN_BACK;
        case 'U': return QUIZ_ANSWER_BUTTON;
        default: return 0;
    }
}

}  // namespace

// ==== Opening and closing ====

void openQuiz() {
    platform::hideCaret();
    platform::destroyCaret();
    if (platform::quizDialogExists()) {
        // One quiz at a time: the open one comes forward with its list and place kept.
        platform::bringQuizDialogForward();
        activeWindow = ACTIVE_QUIZ;
        return;
    }
    if (!platform::createQuizDialog()) return;
    activeWindow = ACTIVE_QUIZ;
    for (int box : {QUIZ_KEEP_TRUE_FALSE, QUIZ_KEEP_SINGLE, QUIZ_KEEP_MULTIPLE, QUIZ_SOUND})
        platform::setQuizBoxTicked(box, true);
    if (loadQuestionBank(quiz)) showQuestion(quiz);
    if (platform::quizDialogExists()) platform::showQuizDialog();
}

void closeQuizDialog(QuizState& quiz) {
    freeQuestionList(quiz);
    platform::destroyQuizDialog();
}

// ==== Showing a question ====

int displayLineCount(const char* text) {
    int lines = 0;
    int run = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\r' || run == BYTES_PER_DISPLAY_LINE) {
            ++lines;
            run = 0;
        } else {
            ++run;
        }
    }
    return run > 0 ? lines + 1 : lines;
}

void showQuestion(QuizState& quiz) {
    if (quiz.current == nullptr) return;
    const Question& question = *quiz.current->question;
    const platform::FontRequest font = questionFont();
    const platform::ControlRect box = platform::getQuizControlRect(QUIZ_QUESTION);
    const long long bottom = placeQuestionText(question, font, box);
    placeOptions(question, font, box.left, bottom + GAP_BELOW_QUESTION);
    showAnswerAndType(quiz, question);
    clearOptionBoxes();
    showPositionAndScore(quiz);
}

// ==== Commands and keys ====

void quizCommand(int commandId) {
    if (commandId >= QUIZ_OPTION_A && commandId <= QUIZ_OPTION_I) {
        answerWithOption(quiz, commandId - QUIZ_OPTION_A);
        return;
    }
    switch (commandId) {
        case QUIZ_NEXT: move(quiz, goNext); break;
        case QUIZ_PREVIOUS: move(quiz, goPrevious); break;
        case QUIZ_FIRST: move(quiz, [](QuizState& q) { q.current = q.first; }); break;
        case QUIZ_LAST: move(quiz, [](QuizState& q) { q.current = q.last; }); break;
        case QUIZ_TEN_FORWARD: move(quiz, goTenForward); break;
        case QUIZ_TEN_BACK: move(quiz, goTenBack); break;
        case QUIZ_SHUFFLE: move(quiz, shuffleQuestions); break;
        case QUIZ_ANSWER_BUTTON:
            quiz.answersHidden = quiz.answersHidden == 0 ? 1 : 0;
            showQuestion(quiz);
            break;
        case QUIZ_SELECT_ALL: selectAll(quiz); break;
        case QUIZ_KEEP_SINGLE: case QUIZ_KEEP_MULTIPLE: case QUIZ_KEEP_TRUE_FALSE: reloadForTypeBoxes(quiz); break;
        case QUIZ_SHORTCUTS: showShortcutHelp(); break;
        case QUIZ_COPY_BANK: copyBankToClipboard(quiz); break;
        case QUIZ_FILTER: applyFilter(quiz); break;
        case QUIZ_DEFAULT_COMMAND: confirmField(quiz); break;
        case QUIZ_CLOSE: closeQuizDialog(quiz); break;
        default: break;  // "声音" is its own switch; the fields' notifications need nothing
    }
}

void quizKey(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'I') {
        const int id = QUIZ_OPTION_A + (virtualKey - 'A');
        if (currentIsMultipleChoice()) toggleBox(id);
        quizCommand(id);
    } else if (virtualKey == 'K') {
        if (currentIsMultipleChoice()) toggleBox(QUIZ_SELECT_ALL);
        quizCommand(QUIZ_SELECT_ALL);
    } else if (virtualKey == 'Y') {
        toggleBox(QUIZ_SOUND);
    } else if (const int command = commandOfKey(virtualKey)) {
        quizCommand(command);
    }
}
