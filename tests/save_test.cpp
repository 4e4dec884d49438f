// Saving, Save As, the save question, New, and what a failed write leaves on disk.
#include <filesystem>
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "files/loader.h"
#include "files/new_file.h"
#include "files/save.h"
#include "support/test_document.h"

namespace {

using Lines = std::vector<std::string>;

const std::string ORIGINAL = "the user's file\r\nsecond line\r\n";

class SaveTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        std::filesystem::remove_all(testFolder());
        folder = testFolder();
        fake().workingDirectory = folder;
    }
    // A document of these lines named after doc.txt, a file that holds ORIGINAL.
    std::string openNamed(const Lines& lines, int modified) {
        const std::string path = writeTempFile("doc.txt", ORIGINAL);
        setDocument(lines);
        setFileName(path.c_str());
        doc.modified = modified;
        fake().titles.clear();
        return path;
    }
    size_t filesInFolder() {
        const auto entries = std::filesystem::directory_iterator(folder);
        return static_cast<size_t>(std::distance(begin(entries), end(entries)));
    }
    void expectCannotSaveMessage(const std::string& name) {
        ASSERT_EQ(fake().messageBoxes.size(), 1u);
        EXPECT_EQ(fake().messageBoxes[0].text, "注意！不能保存 \"" + name + "\" !");
        EXPECT_EQ(fake().messageBoxes[0].caption, "存盘失败");
        EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_OK);
    }
    std::string folder;
};

}  // namespace

// ==== Save ====

TEST_F(SaveTest, WritesEachLineWithCrLfOnlyAfterHardReturns) {
    struct Case {
        Lines lines;
        std::vector<uint32_t> flags;  // per line; empty: all hard returns
        std::string bytes;
    };
    const Case cases[] = {
        {{"a", "b"}, {}, "a\r\nb\r\n"},
        {{"abc ", "def ", "gh"}, {0, 0, LN_HARD_RETURN}, "abc def gh\r\n"},  // a wrapped paragraph
        {{"ab", "cd", "ef"}, {0, LN_HARD_RETURN, LN_HARD_RETURN}, "abcd\r\nef\r\n"},
        {{"a", ""}, {}, "a\r\n"},            // the empty last line is the file's final break
        {{"a", "", ""}, {}, "a\r\n\r\n"},
        {{""}, {}, ""},
        {{"ab", ""}, {0, LN_HARD_RETURN}, "ab\r\n"},  // after a soft return it is a real break
        {{"中\t\x80\x7F"}, {}, "中\t\x80\x7F\r\n"},
    };
    for (const Case& c : cases) {
        const std::string path = openNamed(c.lines, 1);
        for (size_t i = 0; i < c.flags.size(); ++i) lineAt(static_cast<int>(i))->flags = c.flags[i];
        dispatchCommand(CMD_SAVE, 0);
        EXPECT_EQ(readFileBytes(path), c.bytes) << c.bytes;
        EXPECT_FALSE(doc.modified);
        EXPECT_EQ(fake().titles, Lines{path + " - Kesh"});
    }
    EXPECT_TRUE(fake().messageBoxes.empty());
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(SaveTest, LoadingAndSavingAgainKeepsTheFileAsItWas) {
    for (const std::string bytes : {"x\r\ny\r\n", "x\r\n\r\n", "\r\n", "", "x\r\ny"}) {
        const std::string path = writeTempFile("round.txt", bytes);
        loadFile(path.c_str());
        dispatchCommand(CMD_SAVE, 0);
        const std::string once = readFileBytes(path);
        // Only a missing final line break is added, and only once.
        EXPECT_EQ(once, bytes.empty() || bytes.back() == '\n' ? bytes : bytes + "\r\n");
        loadFile(path.c_str());
        dispatchCommand(CMD_SAVE, 0);
        EXPECT_EQ(readFileBytes(path), once);
    }
}

TEST_F(SaveTest, AFailedSaveLeavesTheFileAsItWasAndTheDocumentModified) {
    struct Case {
        const char* name;
        long writableBytes;  // of the 13 to write
        bool flushFails, replaceFails;
    };
    const Case cases[] = {
        {"disk full at once", 0, false, false},
        {"disk full half-way", 5, false, false},
        {"disk full one byte short", 12, false, false},
        {"flush to disk fails", -1, true, false},
        {"the final move fails", -1, false, true},
        {"room for every byte", 13, false, false},  // succeeds
    };
    for (const Case& c : cases) {
        resetCore();
        const std::string path = openNamed({"new text", "x"}, 1);
        fake().writableBytes = c.writableBytes;
        fake().flushToDiskFails = c.flushFails;
        fake().replaceFileFails = c.replaceFails;
        dispatchCommand(CMD_SAVE, 0);
        const bool saved = c.writableBytes == 13;
        EXPECT_EQ(readFileBytes(path), saved ? "new text\r\nx\r\n" : ORIGINAL) << c.name;
        EXPECT_EQ(static_cast<bool>(doc.modified), !saved) << c.name;
        EXPECT_EQ(fake().title, (saved ? "" : " * ") + path + " - Kesh") << c.name;
        if (!saved) expectCannotSaveMessage(path);
        EXPECT_EQ(filesInFolder(), 1u) << c.name << ": a temporary file was left behind";
    }
}

// ==== Save As ====

TEST_F(SaveTest, SaveAsProposesTheNameAfterTheLastBackslashPlusTxt) {
    const char* const cases[][2] = {
        {"C:\\dir\\a.txt", "a.txt.txt"}, {"C:\\a", "a.txt"}, {"C:\\dir\\", ".txt"}, {"/no/backslash", ".txt"}};
    for (const auto& c : cases) {
        openNamed({"a"}, 1);
        setFileName(c[0]);
        fake().fileDialogs.clear();
        dispatchCommand(CMD_SAVE_AS, 0);  // the fake dialog is cancelled: nothing changes
        ASSERT_EQ(fake().fileDialogs.size(), 1u);
        const platform::FileDialogRequest& dialog = fake().fileDialogs[0];
        EXPECT_EQ(dialog.initialName, c[1]) << c[0];
        EXPECT_EQ(dialog.title, "指定另存文件名");
        EXPECT_EQ(dialog.filter, "Text(.txt)|*.txt|All Files(*.*)|*.*|");
        EXPECT_TRUE(dialog.hideReadOnly);
        EXPECT_EQ(std::string(fileName), c[0]);
        EXPECT_TRUE(doc.modified && fake().titles.empty());
    }
}

TEST_F(SaveTest, SaveAsTakesTheChosenNameWithoutQuotesMadeAbsolute) {
    const char* const cases[][2] = {{"\"quoted.txt\"", "quoted.txt"}, {"\"half", "half"}, {"plain.txt", "plain.txt"}};
    for (const auto& c : cases) {
        openNamed({"a", "b"}, 1);
        fake().fileDialogAnswers = {c[0]};
        dispatchCommand(CMD_SAVE_AS, 0);
        const std::string expected = folder + "/" + c[1];
        EXPECT_EQ(std::string(fileName), expected) << c[0];
        EXPECT_EQ(readFileBytes(expected), "a\r\nb\r\n") << c[0];
        EXPECT_FALSE(doc.modified);
        EXPECT_EQ(fake().title, expected + " - Kesh");
    }
}

TEST_F(SaveTest, SaveAsKeepsTheNewNameWhenWritingFailsButNeverCutsOne) {
    openNamed({"a"}, 1);
    const std::string unwritable = folder + "/missing/b.txt";
    fake().fileDialogAnswers = {unwritable};
    dispatchCommand(CMD_SAVE_AS, 0);
    EXPECT_EQ(std::string(fileName), unwritable);
    expectCannotSaveMessage(unwritable);
    EXPECT_EQ(fake().title, " * " + unwritable + " - Kesh");

    fake().messageBoxes.clear();
    const std::string tooLong = folder + "/" + std::string(300, 'n');
    fake().fileDialogAnswers = {tooLong};
    dispatchCommand(CMD_SAVE_AS, 0);
    EXPECT_EQ(std::string(fileName), unwritable);
    expectCannotSaveMessage(tooLong);
}

// ==== The save question ====

TEST_F(SaveTest, TheSaveQuestion) {
    struct Case {
        const char* name;
        int modified;
        std::vector<int> answers;  // to the question, then to any later box
        long writableBytes;
        bool goOn, saved;
    };
    const Case cases[] = {
        {"not modified", 0, {}, -1, true, false},
        {"Yes", 1, {platform::ANSWER_YES}, -1, true, true},
        {"No", 1, {platform::ANSWER_NO}, -1, true, false},
        {"Cancel", 1, {platform::ANSWER_CANCEL}, -1, false, false},
        {"Yes, but the save fails", 1, {platform::ANSWER_YES, platform::ANSWER_OK}, 3, false, false},
    };
    for (const Case& c : cases) {
        resetCore();
        const std::string path = openNamed({"edited"}, c.modified);
        fake().messageBoxAnswers.assign(c.answers.begin(), c.answers.end());
        fake().writableBytes = c.writableBytes;
        EXPECT_EQ(askToSave(), c.goOn) << c.name;
        EXPECT_EQ(readFileBytes(path), c.saved ? "edited\r\n" : ORIGINAL) << c.name;
        ASSERT_EQ(fake().messageBoxes.size(), c.answers.size()) << c.name;
        if (c.answers.empty()) continue;
        EXPECT_EQ(fake().messageBoxes[0].text, "保存修改到 \"" + path + "\"?");
        EXPECT_EQ(fake().messageBoxes[0].caption, "将退出编辑！！ 请确认：");
        EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_YES_NO_CANCEL);
    }
}

// ==== New ====

TEST_F(SaveTest, NewFileNamesComeFromTheLocalTime) {
    fake().time = {2022, 12, 5, 9, 30, 7};
    EXPECT_EQ(newFileName(), "Kesh20221205_093007.txt");
    fake().time = {999, 10, 31, 23, 59, 59};
    EXPECT_EQ(newFileName(), "Kesh 9991031_235959.txt");
}

TEST_F(SaveTest, NewCreatesACtrlZFileAndLoadsItAsOneEmptyLine) {
    fake().time = {2022, 12, 5, 9, 30, 7};
    dispatchCommand(CMD_NEW, 0);
    const std::string path = folder + "/Kesh20221205_093007.txt";
    EXPECT_EQ(readFileBytes(path), "\x1A");
    EXPECT_EQ(documentLines(), Lines{""});
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(fake().title, path + " - Kesh");
}

TEST_F(SaveTest, NewInTheSameSecondNeverEmptiesTheFileOfThatName) {
    const std::string path = writeTempFile("Kesh20261207_083005.txt", "typed in the same second");
    dispatchCommand(CMD_NEW, 0);
    EXPECT_EQ(readFileBytes(path), "typed in the same second");
    EXPECT_EQ(documentLines(), Lines{"typed in the same second"});
    EXPECT_EQ(std::string(fileName), path);
}

TEST_F(SaveTest, NewThatCannotCreateItsFileSaysSoAndLeavesNoDocument) {
    fake().workingDirectory = folder + "/missing";
    for (int answer : {platform::ANSWER_YES, platform::ANSWER_NO, platform::ANSWER_CANCEL}) {
        setDocument({"old"});
        fake().messageBoxes.clear();
        fake().messageBoxAnswers = {answer};
        dispatchCommand(CMD_NEW, 0);
        EXPECT_FALSE(hasDocument());
        ASSERT_EQ(fake().messageBoxes.size(), 1u);
        EXPECT_EQ(fake().messageBoxes[0].text, " 建立新文件 \"Kesh20261207_083005.txt\" 失败！");
        EXPECT_EQ(fake().messageBoxes[0].caption, "错误提示");
        EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_YES_NO_CANCEL);
    }
}
