// kesh-batch against the window: the same cases run through the console program and
// through the core as the window drives it give the same bytes; bad input and a failed
// write change no file.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "document/selection.h"
#include "files/loader.h"
#include "files/save.h"
#include "platform/virtual_keys.h"
#include "search/find_replace.h"
#include "support/test_document.h"
#include "view/view_state.h"

namespace {

using Strings = std::vector<std::string>;

struct BatchRun {
    int status = -1;
    std::string out, err;
};

// Runs kesh-batch in the C locale (arguments and messages pass as GBK bytes), with at
// most `fileSizeLimit` bytes per written file when that is positive.
BatchRun runBatch(const Strings& arguments, long fileSizeLimit = 0) {
    const std::string out = testFolder() + "/stdout", err = testFolder() + "/stderr";
    const pid_t child = fork();
    if (child == 0) {
        setenv("LC_ALL", "C", 1);
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<char*> argv{const_cast<char*>(KESH_BATCH_EXE)};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(KESH_BATCH_EXE, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFileBytes(out), readFileBytes(err)};
}

std::string crlfText(const Strings& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// ==== The window's steps ====

void replaceAllInWindow(const char* findText, const char* templ, uint32_t extraFlags = 0) {
    dispatchCommand(CMD_REPLACE, 0);
    fake().findDialogReport = {FIND_DIALOG_FLAGS | FR_REPLACEALL | extraFlags, findText, templ};
    onFindReplace();
}

// The lines selected from the end of the last one back to the caret at (0, col).
void sortInWindow(int command, int caretCol, bool descending) {
    doc.anchorLine = lastLine()->prev;
    doc.anchorCol = static_cast<int>(std::strlen(doc.anchorLine->text));
    doc.caretLine = doc.head;
    doc.caretCol = caretCol;
    updateSelection();
    if (descending) fake().keysDown.insert(VKEY_SHIFT);
    dispatchCommand(command, 0);
    fake().keysDown.clear();
}

struct SameBytesCase {
    Strings arguments;  // before the file
    Strings lines;
    std::function<void()> inWindow;
};

const SameBytesCase SAME_BYTES_CASES[] = {
    {{"replace", "\\N1年\\N2月", "\\N2/\\N1"}, {"2024年5月", "x 1999年12月"},
     [] { replaceAllInWindow("\\N1年\\N2月", "\\N2/\\N1"); }},
    {{"replace", "\\S", "(\\S)"}, {"a,b;c", "d.e"}, [] { replaceAllInWindow("\\S", "(\\S)"); }},
    {{"replace", "/z*/g", "-"}, {"ab"}, [] { replaceAllInWindow("/z*/g", "-"); }},
    {{"replace", "第\\N条", "\\ID"}, {"第1条 第2条", "第3条"}, [] { replaceAllInWindow("第\\N条", "\\ID"); }},
    {{"replace", "\\n", "> "}, {"ab", "cd"}, [] { replaceAllInWindow("\\n", "> "); }},
    {{"replace", "--match-case", "ab", "x"}, {"Ab ab AB"}, [] { replaceAllInWindow("ab", "x", FR_MATCHCASE); }},
    {{"split", "ctrl-1"}, {"一、甲二、乙"}, [] { dispatchCommand(32795, 0); }},
    {{"split", "一是"}, {"工作一是学习二是实践"}, [] { dispatchCommand(32799, 0); }},
    {{"split", "Ctrl+P"}, {"一、甲(二)乙3.丙（4）丁5、戊"}, [] { dispatchCommand(32794, 0); }},
    {{"split", "按行首缩进分段"}, {"　　段一", "续行", "    段二", "尾"}, [] { dispatchCommand(CMD_SPLIT_BY_INDENT, 0); }},
    {{"sort", "--field", "2", "--descending"}, {"b,10,x", "a,9,y", "c,100,z", "d,9,w"},
     [] { sortInWindow(CMD_SORT_DATA_COLUMN, 2, true); }},
    {{"sort", "--column", "3"}, {"x 30", "y 4", "z", "w 100"}, [] { sortInWindow(CMD_SORT_CARET_COLUMN, 2, false); }},
};

class BatchTest : public CoreTest {};

TEST_F(BatchTest, EachCaseGivesTheBytesTheWindowSaves) {
    for (const SameBytesCase& c : SAME_BYTES_CASES) {
        resetCore();
        view.clientWidth = 800;
        view.clientHeight = 600;
        const std::string input = writeTempFile("input.txt", crlfText(c.lines));
        loadFile(input.c_str());
        c.inWindow();
        setFileName((testFolder() + "/window.txt").c_str());
        saveDocument();
        Strings arguments = c.arguments;
        arguments.insert(arguments.end(), {"-o", testFolder() + "/batch.txt", input});
        const BatchRun run = runBatch(arguments);
        EXPECT_EQ(run.status, 0) << c.arguments[1] << run.err;
        EXPECT_EQ(readFileBytes(testFolder() + "/batch.txt"), readFileBytes(testFolder() + "/window.txt")) << c.arguments[1];
    }
}

TEST_F(BatchTest, TheStatementSampleBecomesTheWindowsCommaSeparatedRecords) {
    view.clientWidth = 800;
    view.clientHeight = 600;
    const std::string sample = KESH_SOURCE_DIR "/examples/statement.txt";
    loadFile(sample.c_str());
    fake().messageBoxAnswers = {platform::ANSWER_YES, platform::ANSWER_YES};
    dispatchCommand(CMD_TIDY_STATEMENT, 0);
    setFileName((testFolder() + "/window.txt").c_str());
    saveDocument();
    const BatchRun run = runBatch({"tidy-statement", "-o", "-", sample});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, readFileBytes(testFolder() + "/window.txt"));
}

// Find lists what pressing Find next again and again selects, and -c counts it.
TEST_F(BatchTest, FindListsTheMatchesFindNextStopsAt) {
    const Strings lines = {"x人民a人民", "人民人民", "", "b人"};
    for (const char* findText : {"人民", "/[a-z]民*/g", "民\\n"}) {
        resetCore();
        loadFile(writeTempFile("input.txt", crlfText(lines)).c_str());
        dispatchCommand(CMD_FIND, 0);
        std::string expected;
        int count = 0;
        for (;;) {
            fake().findDialogReport = {FIND_DIALOG_FLAGS | FR_FINDNEXT, findText, ""};
            if (onFindReplace() != SearchOutcome::Found) break;
            expected += std::to_string(lineIndex(doc.caretLine) + 1) + ":" + std::to_string(doc.caretCol + 1) + ":";
            ++count;
        }
        std::string listed;
        const BatchRun run = runBatch({"find", findText, testFolder() + "/input.txt"});
        for (size_t at = 0; at < run.out.size(); at = run.out.find('\n', at) + 1) {
            const size_t second = run.out.find(':', run.out.find(':', at) + 1);
            listed += run.out.substr(at, second + 1 - at);
        }
        EXPECT_EQ(listed, expected) << findText;
        EXPECT_EQ(runBatch({"find", "-c", findText, testFolder() + "/input.txt"}).out, std::to_string(count) + "\n");
    }
}

// The bank is read by the quiz's own reader and left unchanged on the disk.
TEST_F(BatchTest, QuizCountsTheTypesAndNamesTheLinesOfNoQuestion) {
    const std::string bank = crlfText({"题库说明", "1. 天是蓝的。", "答案：正确", "2. 选出颜色", "A. 红", "B. 车", "C. 船",
                                       "答案：A", "3. 选出数字", "A. 1", "B. 2", "C. 字", "答案：AB", "4. 无答案的题", "A. 甲"});
    const std::string path = writeTempFile("bank.txt", bank);
    const BatchRun run = runBatch({"quiz", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, path + ": 3 questions: 1 single choice, 1 multiple choice, 1 true/false; "
                              "lines in no question: 1, 14-15\n");
    EXPECT_EQ(readFileBytes(path), bank);
}

TEST_F(BatchTest, BadInputOrAFailedWriteLeavesTheFilesAsTheyWere) {
    const std::string big = writeTempFile("big.txt", std::string(9000, 'a') + "\r\n");
    const std::string small = writeTempFile("small.txt", "a\r\n");
    // A malformed expression is reported with the window's words before any file is read.
    BatchRun run = runBatch({"replace", "/a(/g", "b", small, big});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(malformedExpressionMessage("/a(/g", RegexProblem::UnbalancedBrackets)), std::string::npos);
    EXPECT_EQ(readFileBytes(small), "a\r\n");
    // No file may grow past 10000 bytes: the temporary of the big file fails half-way.
    run = runBatch({"replace", "a", "bb", big, small, testFolder() + "/missing.txt"}, 10000);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readFileBytes(big), std::string(9000, 'a') + "\r\n");
    EXPECT_EQ(readFileBytes(small), "bb\r\n");  // the others are still done
    EXPECT_NE(run.err.find("不能保存"), std::string::npos);
    EXPECT_NE(run.err.find("不能打开文件"), std::string::npos);
    EXPECT_EQ(readFileBytes(testFolder() + "/big.txt.kesh-save"), "<missing>");
}

}  // namespace
