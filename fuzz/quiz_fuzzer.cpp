// Any document read as a question bank: the parser ends, the document's invariants hold,
// and the bank's copy text and a filtered reload can be made from whatever it found.
#include "document/document.h"
#include "fuzz_support.h"
#include "quiz/question_bank.h"
#include "quiz/quiz_dialog.h"
#include "support/test_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    freshCore();
    const std::string filter = input.bytes(8);
    setDocument(linesOf(input.rest()));
    if (loadQuestionBank(quiz)) {
        requireInvariants();
        const std::string copied = bankText(quiz);
        require(questionCount(quiz) > 0, "a loaded bank holds a question");
        (void)copied;
        if (filter.find('\0') == std::string::npos) filterQuestionBank(quiz, filter.c_str());
    }
    requireInvariants();
    freeQuestionList(quiz);
    return 0;
}
