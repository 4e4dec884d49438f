#include "quiz/question_bank.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "blocks/line_operations.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/memory.h"
#include "document/line_storage.h"
#include "document/text.h"
#include "edit/line_changes.h"
#include "platform/platform.h"
#include "quiz/quiz_controls.h"
#include "quiz/quiz_dialog.h"
#include "view/title.h"

QuizState quiz;

namespace {

// Shown when the document holds no question of the ticked types.
constexpr const char* BANK_REMINDER =
    "请确认在此文本中，存在规范题库：（类似如下）\n\n26.题目......\nA.选项\nB.选项\nC.选项\nD.选项\n"
    "......\n答案：AC\n解析：(可有可无)......";
constexpr const char* BANK_REMINDER_CAPTION = "退出做题";

// The enumerators ⒈ to ⒛, ⑴ to ⒇, ① to ⑩ and ㈠ to ㈩ that start a new display line.
constexpr unsigned FIRST_ENUMERATOR = 0xA2B1;
constexpr unsigned LAST_ENUMERATOR = 0xA2EE;

// ==== Reading one line ====

bool isAsciiSpace(char byte) { return std::isspace(static_cast<unsigned char>(byte)) != 0; }
bool isAsciiDigit(char byte) { return byte >= '0' && byte <= '9'; }
bool isCapital(char byte) { return byte >= 'A' && byte <= 'Z'; }
bool isOptionLetter(char byte) { return byte >= 'A' && byte <= 'I'; }
bool isFullWidthSpace(const char* text, int pos) {
    return static_cast<unsigned char>(text[pos]) == 0xA1 && static_cast<unsigned char>(text[pos + 1]) == 0xA1;
}

// Position of the first byte that is not part of a blank (white space or a full-width space).
int leadPosition(const char* text) {
    int pos = 0;
    for (;;) {
        if (isAsciiSpace(text[pos])) ++pos;
        else if (isFullWidthSpace(text, pos)) pos += 2;
        else return pos;
    }
}

char leadByte(const char* text) { return text[leadPosition(text)]; }

// The byte after the lead byte, skipping ASCII white space; the second byte when the lead
// byte begins a double-byte character.
char followByte(const char* text) {
    int pos = leadPosition(text);
    if (text[pos] == '\0') return '\0';
    if (charLength(text, pos) == 2) return text[pos + 1];
    ++pos;
    while (isAsciiSpace(text[pos])) ++pos;
    return text[pos];
}

// Leftmost occurrence of `piece` that starts on a character boundary, or -1.
int findText(const char* text, const char* piece) {
    const size_t length = std::strlen(piece);
    for (int pos = 0; text[pos] != '\0'; pos += charLength(text, pos))
        if (std::strncmp(text + pos, piece, length) == 0) return pos;
    return -1;
}

bool contains(const char* text, const char* piece) { return findText(text, piece) >= 0; }

// True when a single-byte character of `text` passes `test`.
bool holdsByte(const char* text, bool (*test)(char)) {
    for (int pos = 0; text[pos] != '\0'; pos += charLength(text, pos))
        if (charLength(text, pos) == 1 && test(text[pos])) return true;
    return false;
}

// ==== Records ====

Question* newQuestion() { return new (allocateOrExit(sizeof(Question))) Question{}; }

char* strippedCopy(const char* text) {
    char* copy = copyStringOrExit(text);
    stripLeadingBlanks(copy);
    return copy;
}

void replaceField(char*& field, char* value) {
    std::free(field);
    field = value;
}

// Adds `text` to the end of `field` with no separator (a null field becomes a copy).
void appendTo(char*& field, const char* text) { field = insertText(field, -1, text); }

// Every boundary-aligned occurrence of `word` in `text` replaced by `letter`.
std::string replaceWord(const std::string& text, const char* word, const char* letter) {
    std::string result;
    result.reserve(text.size());
    const size_t length = std::strlen(word);
    const char* bytes = text.c_str();
    for (size_t pos = 0; pos < text.size();) {
        if (text.compare(pos, length, word) == 0) {
            result += letter;
            pos += length;
        } else {
            const size_t step = static_cast<size_t>(charLength(bytes, static_cast<int>(pos)));
            result.append(bytes + pos, step);
            pos += step;
        }
    }
    return result;
}

// A column on a line whose text just changed, kept inside it and on a boundary.
void keepColumnInLine(const LineNode* line, const LineNode* on, int& col) {
    if (on != line) return;
    const int length = static_cast<int>(std::strlen(line->text));
    if (col > length) col = length;
    col = boundaryAtOrBefore(line->text, col);
}

// Rewrites the answer words of an answer line in the document: "正确" and "对" become A,
// "错误" and "错" become B, noting the line in `changes`. Lines too long for the
// rewriting are left as they are.
void rewriteAnswerWords(LineNode* line, LineChanges& changes) {
    if (std::strlen(line->text) >= static_cast<size_t>(ANSWER_LINE_LIMIT)) return;
    std::string text = replaceWord(line->text, "正确", "A");
    text = replaceWord(text, "错误", "B");
    text = replaceWord(text, "对", "A");
    text = replaceWord(text, "错", "B");
    if (text == line->text || text.size() >= static_cast<size_t>(ANSWER_LINE_LIMIT)) return;
    noteLineBefore(changes, line);
    replaceLineText(line, copyBytesOrExit(text.data(), text.size()));
    doc.modified = 1;
    keepColumnInLine(line, doc.caretLine, doc.caretCol);
    keepColumnInLine(line, doc.anchorLine, doc.anchorCol);
    keepColumnInLine(line, doc.selStartLine, doc.selStartCol);
    keepColumnInLine(line, doc.selEndLine, doc.selEndCol);
    platform::invalidateAll(false);
}

// "(AC) 12.题目": the answer letters in parentheses in front of the numbered question.
void takeParenthesisedAnswer(QuizState& quiz, Question& pending, const char* text) {
    const int close = findText(text, ")");
    if (close < 0) return;
    char* letters = copyBytesOrExit(text, static_cast<size_t>(close) + 1);
    stripLeadingBlanks(letters);
    replaceField(pending.answer, insertText(letters, 0, "答案:"));
    replaceField(pending.questionText, copyStringOrExit(text + close + 1));
    quiz.parseState = PARSE_QUESTION;
}

// A line that none of the other rules claims goes where the last classified line went;
// false when it goes nowhere (before the first question).
bool continueField(QuizState& quiz, Question& pending, const char* text) {
    const int state = quiz.parseState;
    if (state >= 0 && state < QUESTION_OPTION_COUNT) {
        appendTo(pending.options[state], text);
    } else if (state == PARSE_QUESTION) {
        appendTo(pending.questionText, text);
    } else if (state != PARSE_BEFORE_FIRST) {
        appendTo(pending.explanation, text);
        quiz.parseState = PARSE_EXPLANATION;
    } else {
        return false;
    }
    return true;
}

// Puts one non-empty line into the pending record; the first rule that applies wins.
// False when the line was dropped instead.
bool classifyLine(QuizState& quiz, Question& pending, LineNode* line, LineChanges& changes) {
    const char* text = line->text;
    const char lead = leadByte(text);
    if (isAsciiDigit(lead)) {
        replaceField(pending.questionText, copyStringOrExit(text));
        quiz.parseState = PARSE_QUESTION;
    } else if (isOptionLetter(lead)) {
        const int option = lead - 'A';
        if (pending.options[option] != nullptr) return false;
        pending.options[option] = strippedCopy(text);
        quiz.parseState = option;
    } else if (contains(text, "解析")) {
        replaceField(pending.explanation, copyStringOrExit(text));
        quiz.parseState = PARSE_EXPLANATION;
    } else if (contains(text, "答案") && pending.answer == nullptr) {
        rewriteAnswerWords(line, changes);
        pending.answer = strippedCopy(line->text);
    } else if (pending.questionText == nullptr && pending.answer == nullptr && lead == '(' &&
               isCapital(followByte(text)) && holdsByte(text, isAsciiSpace)) {
        takeParenthesisedAnswer(quiz, pending, text);
    } else {
        return continueField(quiz, pending, text);
    }
    return true;
}

// A line that begins the next question of the parenthesised layout.
bool startsParenthesisedQuestion(const Question& pending, const char* text) {
    return pending.questionText != nullptr && pending.answer != nullptr && leadByte(text) == '(' &&
           isCapital(followByte(text)) && holdsByte(text, isAsciiDigit);
}

// ==== Committing ====

QuestionType typeOf(const Question& record) {
    int letters = 0;
    const char* answer = record.answer;
    for (int pos = 0; answer[pos] != '\0'; pos += charLength(answer, pos))
        if (charLength(answer, pos) == 1 && isOptionLetter(answer[pos])) ++letters;
    if (letters > 1) return MultipleChoice;
    return record.options[2] != nullptr ? SingleChoice : TrueFalse;
}

int typeBoxOf(QuestionType type) {
    switch (type) {
        case MultipleChoice: return QUIZ_KEEP_MULTIPLE;
        case SingleChoice: return QUIZ_KEEP_SINGLE;
        default: return QUIZ_KEEP_TRUE_FALSE;
    }
}

// "\r\n" before the first occurrence of each enumerator, so each numbered item of the
// question starts a display line of its own.
void breakBeforeEnumerators(char*& text) {
    for (unsigned code = FIRST_ENUMERATOR; code <= LAST_ENUMERATOR; ++code) {
        const char enumerator[3] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), '\0'};
        const int pos = findText(text, enumerator);
        if (pos >= 0) text = insertText(text, pos, "\r\n");
    }
}

void appendNode(QuizState& quiz, Question* record) {
    auto* node = new (allocateOrExit(sizeof(QuestionNode))) QuestionNode{record, nullptr, quiz.last};
    if (quiz.last != nullptr) quiz.last->next = node;
    else quiz.first = node;
    quiz.last = node;
    quiz.current = node;
}

bool matchesFilter(const Question& record, const char* filterText) {
    return record.questionText != nullptr && contains(record.questionText, filterText);
}

// A pending record is committed when it has an answer and, with a filter, a question
// text holding the filter.
bool isWanted(const Question& pending, const char* filterText) {
    return pending.answer != nullptr && (filterText == nullptr || matchesFilter(pending, filterText));
}

// The line numbers of the last reading that went into no question, and those of the
// pending record, which join them when the record is not committed.
std::vector<int> unplacedLines, pendingLines;

// Commits or frees the pending record; returns the next, empty one.
Question* closePending(QuizState& quiz, Question* pending, const char* filterText) {
    bool committed = false;
    if (isWanted(*pending, filterText)) committed = commitQuestion(quiz, pending);
    else freeQuestion(pending);
    if (!committed) unplacedLines.insert(unplacedLines.end(), pendingLines.begin(), pendingLines.end());
    pendingLines.clear();
    return newQuestion();
}

// Reads every line of the document into the list; with a filter text, only the questions
// whose text holds it are kept. A question ends where the next numbered line follows its
// answer, or where the next parenthesised answer follows a whole question.
void readQuestions(QuizState& quiz, const char* filterText, LineChanges& changes) {
    unplacedLines.clear();
    pendingLines.clear();
    Question* pending = newQuestion();
    int number = 0;
    for (LineNode* line = doc.head; line != nullptr; line = line->next) {
        const char* text = line->text;
        ++number;
        if (isAsciiDigit(leadByte(text)) && pending->answer != nullptr) pending = closePending(quiz, pending, filterText);
        if (startsParenthesisedQuestion(*pending, text)) pending = closePending(quiz, pending, filterText);
        if (text[0] == '\0') continue;
        (classifyLine(quiz, *pending, line, changes) ? pendingLines : unplacedLines).push_back(number);
    }
    freeQuestion(closePending(quiz, pending, filterText));
}

void startOver(QuizState& quiz) {
    quiz.parseState = PARSE_BEFORE_FIRST;
    freeQuestionList(quiz);
}

}  // namespace

// ==== The list ====

const std::vector<int>& linesOutsideQuestions() { return unplacedLines; }

void freeQuestion(Question* record) {
    if (record == nullptr) return;
    std::free(record->questionText);
    for (char* option : record->options) std::free(option);
    std::free(record->answer);
    std::free(record->explanation);
    std::free(record);
}

void freeQuestionList(QuizState& quiz) {
    for (QuestionNode* node = quiz.first; node != nullptr;) {
        QuestionNode* next = node->next;
        freeQuestion(node->question);
        std::free(node);
        node = next;
    }
    quiz.first = quiz.last = quiz.current = nullptr;
}

int questionCount(const QuizState& quiz) {
    int count = 0;
    for (const QuestionNode* node = quiz.first; node != nullptr; node = node->next) ++count;
    return count;
}

bool commitQuestion(QuizState& quiz, Question* record) {
    if (record->answer == nullptr || record->questionText == nullptr) {
        freeQuestion(record);
        return false;
    }
    record->type = typeOf(*record);
    if (!platform::isQuizBoxTicked(typeBoxOf(record->type))) {
        freeQuestion(record);
        return false;
    }
    breakBeforeEnumerators(record->questionText);
    appendNode(quiz, record);
    return true;
}

// ==== Loading ====

bool loadQuestionBank(QuizState& quiz) {
    startOver(quiz);
    // The document in half-width forms, as the menu's full-to-half-width command leaves
    // it, with the answer words rewritten: one step for undo, or, when the document holds
    // no question, none at all, and the document stays as it was.
    const int wasModified = doc.modified;
    LineChanges changes;
    beginLineChanges(changes);
    if (hasDocument()) narrowFullWidthFormsEverywhere(changes);
    readQuestions(quiz, nullptr, changes);
    if (quiz.first == nullptr) {
        if (!changes.earlier.empty()) {
            revertLineChanges(changes);
            doc.modified = wasModified;
            platform::invalidateAll(false);
        }
        updateTitle();
        closeQuizDialog(quiz);
        platform::showOwnedMessageBox(platform::DialogOwner::QuizDialog, BANK_REMINDER, BANK_REMINDER_CAPTION,
                                      platform::BOX_OK);
        return false;
    }
    recordLineChanges(changes);
    if (hasDocument()) doc.modified = 1;
    updateTitle();
    quiz.current = quiz.first;
    return true;
}

FilterOutcome filterQuestionBank(QuizState& quiz, const char* filterText) {
    if (filterText == nullptr || filterText[0] == '\0') return FilterOutcome::Unchanged;
    startOver(quiz);
    LineChanges changes;
    beginLineChanges(changes);
    readQuestions(quiz, filterText, changes);
    recordLineChanges(changes);
    if (quiz.first != nullptr) {
        quiz.current = quiz.first;
        return FilterOutcome::Matched;
    }
    return loadQuestionBank(quiz) ? FilterOutcome::Reloaded : FilterOutcome::NoBank;
}
