// The quiz dialog's behaviour: it shows one question of the bank at a time, judges the
// ticked options at once with a sound and a short message, counts right answers, and
// moves through the list by buttons and single-key shortcuts. The Win32 dialog itself
// only shows what these operations put into its controls and hands them its commands
// and keys.
#pragma once

#include <cstdint>
#include <string>

#include "quiz/question_bank.h"

// Command 32808: opens the quiz dialog over the open document, or brings the open one
// forward. Hides and destroys the editor's caret first.
void openQuiz();
// Frees the list and destroys the dialog (its close box).
void closeQuizDialog(QuizState& quiz);

// A command of the quiz dialog: a control's ID, 1 for Enter, 2 for the close box.
void quizCommand(int commandId);
// A key the message loop hands to the quiz dialog (virtual-key code).
void quizKey(int virtualKey);

// Lays out and fills the dialog for `current`; nothing happens when there is none.
void showQuestion(QuizState& quiz);
// Number of display lines the dialog gives a text: a line ends at a carriage return and
// after 68 bytes.
int displayLineCount(const char* text);

// Judges the ticked options against `current`'s answer letters, counts a right answer,
// plays the sound when "声音" is ticked, and moves the focus to "下一题".
bool checkAnswer(QuizState& quiz);
// Option button `index` (0 to 8) was clicked or its key pressed.
void answerWithOption(QuizState& quiz, int index);

// Reorders the list with the quiz's own generator; `current` becomes the first question.
void shuffleQuestions(QuizState& quiz);
// Goes to the question whose 1-based position the position field holds.
void goToQuestionNumber(QuizState& quiz);
// Keeps only the questions holding the filter field's text.
void applyFilter(QuizState& quiz);
// Puts the whole list, in its present order, on the clipboard as text.
void copyBankToClipboard(QuizState& quiz);
// The bank as copyBankToClipboard puts it on the clipboard.
std::string bankText(const QuizState& quiz);
void showShortcutHelp();

// The shuffle's pseudo-random numbers: the classic C library generator, never seeded,
// so the orders come out the same in every run and on every platform.
struct ShuffleGenerator {
    uint32_t state = 1;
};
extern ShuffleGenerator shuffleGenerator;
// The next number, 0 to 32767.
int nextShuffleNumber(ShuffleGenerator& generator);
