// The question bank: numbered questions written as plain text in the open document,
// read into a list of question records that the quiz dialog drills the user on.
//
// A question line begins with its number, option lines with a capital letter A to I, the
// answer line holds "答案" and the letters of the right options (or "正确"/"错误",
// "对"/"错" for a true/false question, rewritten to A and B in the document itself), and
// an explanation line holds "解析". A second layout puts the right letters in parentheses
// in front of the numbered question: "(AC) 12.题目".
#pragma once

#include <cstdint>
#include <vector>

enum QuestionType : int32_t {
    TrueFalse = 0,
    SingleChoice = 1,
    MultipleChoice = 2,
};

constexpr int QUESTION_OPTION_COUNT = 9;  // options A to I

// One question. Every text is an owned heap string (malloc), or null when absent.
struct Question {
    QuestionType type = TrueFalse;               // set when the record is committed
    char* questionText = nullptr;                // starts with its number as written
    char* options[QUESTION_OPTION_COUNT] = {};   // whole option lines, letter included
    char* answer = nullptr;                      // the answer line, "答案:..."
    char* explanation = nullptr;                 // the explanation and its continuation lines
};

struct QuestionNode {
    Question* question;  // owned
    QuestionNode* next;
    QuestionNode* previous;
};

// Where continuation lines go while the lines are read.
constexpr int PARSE_BEFORE_FIRST = 111;  // dropped
constexpr int PARSE_QUESTION = 10;
constexpr int PARSE_EXPLANATION = 30;
// 0 to 8: in option A to I.

// The quiz's whole state; one global instance, `quiz`, lives for the whole run.
// Only process start sets `answersHidden` and `correctCount`: a load rebuilds the list alone.
struct QuizState {
    QuestionNode* first = nullptr;
    QuestionNode* last = nullptr;
    QuestionNode* current = nullptr;  // the question the dialog shows
    uint8_t answersHidden = 0;
    int32_t parseState = PARSE_BEFORE_FIRST;
    int32_t correctCount = 0;
};

extern QuizState quiz;

// Reads the bank from the whole document, after converting the document to half-width
// forms (which sets modified). True when at least one question was found; `current` is
// then `first`. Otherwise the quiz dialog has been closed and the reminder shown.
bool loadQuestionBank(QuizState& quiz);

// What a filtered load came to.
enum class FilterOutcome {
    Unchanged,  // empty filter text: the list is as it was
    Matched,    // the list holds the questions whose text contains the filter
    Reloaded,   // none did: the whole bank was loaded again
    NoBank,     // none did and the bank is empty: the dialog is closed
};
// Rebuilds the list from the questions whose question text contains `filterText`; when
// none does, loads the whole bank again. The document is not converted in this pass.
FilterOutcome filterQuestionBank(QuizState& quiz, const char* filterText);

// Closes a pending record: sets its type, throws it away when it lacks an answer or a
// question text or when its type's box in the dialog is cleared, puts line breaks before
// the enumerators ⒈ to ㈩, and appends it to the list as `current`. True when appended;
// the record is owned by the list then, freed otherwise.
bool commitQuestion(QuizState& quiz, Question* record);

// Frees every node, record and string; first, last and current become null.
void freeQuestionList(QuizState& quiz);

// Number of questions in the list.
int questionCount(const QuizState& quiz);

// The numbers (from 1) of the non-empty lines that the last reading of the document put
// into no listed question: dropped before the first question, repeated options, or parts
// of a record thrown away for lacking an answer or a question text.
const std::vector<int>& linesOutsideQuestions();

// Frees a record and its strings (null does nothing).
void freeQuestion(Question* record);

// Longest line the answer-word rewriting produces: a rewritten line that would reach
// this many bytes is left as it was.
constexpr int ANSWER_LINE_LIMIT = 102400;
