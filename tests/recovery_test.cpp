// The recovery copy rebuilds the exact text, survives a write cut short, and is offered,
// kept and removed when the user expects.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "files/close_document.h"
#include "files/loader.h"
#include "files/new_file.h"
#include "files/recovery.h"
#include "files/recovery_file.h"
#include "files/saved_text.h"
#include "document/file_encoding.h"
#include "document/gbk.h"
#include "files/save.h"
#include "platform/virtual_keys.h"
#include "support/editing_driver.h"

namespace {

std::string savedText() {
    std::string text;
    forEachSavedRun(doc.head, [&](const LineNode*, const char* bytes, size_t length) {
        text.append(bytes, length);
        return true;
    });
    return text;
}

class RecoveryTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        std::filesystem::remove_all(testFolder());
        fake().localAppData = testFolder() + "/appdata";
        writeFile("\r\n");
        loadFile(path.c_str());
    }
    void writeFile(const std::string& lineEnd, FileEncoding encoding = FileEncoding::Gbk) {
        std::string text;
        for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + std::string(i % 7 ? 20 : 90, 'w') + " 中文" + lineEnd;
        path = writeTempFile("doc.txt", text);
        if (encoding == FileEncoding::Gbk) return;
        loadFile(path.c_str());  // the same text written again in the other encoding
        documentEncoding = encoding;
        saveDocument();
    }
    // Random typing, line breaks and deletions at random places.
    void editRandomly(std::mt19937& random, int steps) {
        for (int i = 0; i < steps; ++i) {
            const int line = static_cast<int>(random() % lineCount());
            const char* text = lineAt(line)->text;
            putCaret(line, boundaryAtOrBefore(text, static_cast<int>(random() % (std::strlen(text) + 1))));
            switch (random() % 4) {
                case 0: typeBytes(random() % 3 ? "w" : "中"); break;
                case 1: press(VKEY_RETURN); break;
                case 2: press(VKEY_DELETE); break;
                default: press(VKEY_BACK); break;
            }
        }
    }
    // Kesh is killed and started again on the file; returns the text loaded.
    std::string crashAndReopen(int answer) {
        const std::string kept = readFileBytes(copy());
        closeDocument();
        if (kept != "<missing>") std::ofstream(copy(), std::ios::binary) << kept;
        fake().messageBoxAnswers = {answer};
        fake().messageBoxes.clear();
        loadFile(path.c_str());
        return savedText();
    }
    std::string copy() { return recoveryPathFor(path); }
    std::string path;
};

}  // namespace

TEST_F(RecoveryTest, RebuildsTheExactTextWholeOrAsChangesAgainstTheDisk) {
    std::mt19937 random(7);
    const struct {
        uint64_t wholeCopyLimit;
        const char* lineEnd;
        FileEncoding encoding;
    } kinds[] = {{0, "\r\n", FileEncoding::Gbk},        {0, "\n", FileEncoding::Gbk},
                 {WHOLE_COPY_LIMIT, "\n", FileEncoding::Gbk}, {0, "\r\n", FileEncoding::Utf8},
                 {0, "\r\n", FileEncoding::Utf8WithMark},  {0, "\r\n", FileEncoding::Utf16Le}};
    for (const auto& [wholeCopyLimit, lineEnd, encoding] : kinds) {
        writeFile(lineEnd, encoding);  // changes are kept against a file of either kind of line ends
        for (int round = 0; round < 30; ++round) {
            loadFile(path.c_str());
            editRandomly(random, 1 + round % 4 * (round % 5));  // one edit often: the copy is then smallest
            const std::string expected = savedText();
            ASSERT_TRUE(writeRecoveryFile(copy(), "2026-12-07 08:30:05", wholeCopyLimit));
            if (wholeCopyLimit == 0 && round == 0) {  // one edit: only the bytes around it are kept
                EXPECT_LT(std::filesystem::file_size(copy()), 400u);
            }
            EXPECT_TRUE(crashAndReopen(platform::ANSWER_YES) == expected) << round;
            EXPECT_EQ(documentEncoding, encoding);
            EXPECT_TRUE(doc.modified);
            ASSERT_EQ(fake().messageBoxes.size(), 1u);
            EXPECT_EQ(fake().messageBoxes[0].caption, "恢复未保存的修改");
            EXPECT_NE(fake().messageBoxes[0].text.find("2026-12-07 08:30:05"), std::string::npos);
        }
    }
}

TEST_F(RecoveryTest, AWriteCutShortLeavesThePreviousCopyWhole) {
    std::mt19937 random(3);
    editRandomly(random, 5);
    const std::string previous = savedText();
    writeRecoveryNow();
    editRandomly(random, 5);
    for (const uint64_t wholeCopyLimit : {uint64_t{0}, WHOLE_COPY_LIMIT}) {
        ASSERT_TRUE(writeRecoveryFile(copy() + ".size", "t", wholeCopyLimit));
        const long size = static_cast<long>(std::filesystem::file_size(copy() + ".size"));
        for (const long writable : {0L, 10L, size / 2, size - 1}) {
            fake().writableBytes = writable;
            EXPECT_FALSE(writeRecoveryFile(copy(), "t", wholeCopyLimit)) << writable;
            fake().writableBytes = -1;
        }
    }
    for (bool FakePlatform::*fault : {&FakePlatform::flushToDiskFails, &FakePlatform::replaceFileFails}) {
        fake().*fault = true;
        EXPECT_FALSE(writeRecoveryFile(copy(), "t"));
        fake().*fault = false;
    }
    EXPECT_FALSE(std::filesystem::exists(copy() + ".kesh-save"));
    EXPECT_TRUE(crashAndReopen(platform::ANSWER_YES) == previous);
}

TEST_F(RecoveryTest, TheIdleTimerWritesAndSaveCloseAndNoRemove) {
    typeBytes("abc");
    EXPECT_EQ(fake().timers[RECOVERY_TIMER_ID], RECOVERY_IDLE_MILLISECONDS);
    handleMessage(MSG_TIMER, RECOVERY_TIMER_ID, 0);
    ASSERT_TRUE(std::filesystem::exists(copy()));
    dispatchCommand(CMD_SAVE, 0);
    EXPECT_FALSE(std::filesystem::exists(copy()));

    typeBytes("d");
    handleMessage(MSG_TIMER, RECOVERY_TIMER_ID, 0);
    fake().messageBoxAnswers = {platform::ANSWER_NO};  // do not save
    dispatchCommand(CMD_CLOSE, 0);
    EXPECT_FALSE(std::filesystem::exists(copy()));

    const std::string onDisk = readFileBytes(path);
    loadFile(path.c_str());
    typeBytes("e");
    handleMessage(MSG_TIMER, RECOVERY_TIMER_ID, 0);
    EXPECT_TRUE(crashAndReopen(platform::ANSWER_NO) == onDisk);
    EXPECT_FALSE(doc.modified);
    EXPECT_FALSE(std::filesystem::exists(copy()));
}

TEST_F(RecoveryTest, ACopyThatCannotBeUsedIsReportedAndKept) {
    typeBytes("abc");
    writeRecoveryNow();
    const std::string whole = readFileBytes(copy()), cut = whole.substr(0, whole.size() - 1);
    std::ofstream(copy(), std::ios::binary) << cut;
    const std::string onDisk = readFileBytes(path);
    EXPECT_TRUE(crashAndReopen(platform::ANSWER_YES) == onDisk);
    EXPECT_FALSE(doc.modified);
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_OK | platform::BOX_ICON_WARNING);
    EXPECT_EQ(readFileBytes(copy()), cut);

    typeBytes("xyz");  // a copy of changes only, whose file on disk then changes
    ASSERT_TRUE(writeRecoveryFile(copy(), "t", 0));
    writeTempFile("doc.txt", onDisk + "more\r\n");
    crashAndReopen(platform::ANSWER_YES);
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_OK | platform::BOX_ICON_WARNING);
    EXPECT_TRUE(std::filesystem::exists(copy()));

    typeBytes("w");  // a whole copy survives the change, and the question says so
    writeRecoveryNow();
    const std::string expected = savedText();
    writeTempFile("doc.txt", onDisk);
    EXPECT_TRUE(crashAndReopen(platform::ANSWER_YES) == expected);
    EXPECT_NE(fake().messageBoxes[0].text.find("磁盘上的文件在此之后已被修改"), std::string::npos);
}

TEST_F(RecoveryTest, ANewDocumentHasItsCopyFromTheStart) {
    fake().workingDirectory = testFolder();
    dispatchCommand(CMD_NEW, 0);
    path = fileName;
    typeBytes("new text");
    handleMessage(MSG_TIMER, RECOVERY_TIMER_ID, 0);
    const std::string typed = savedText();
    EXPECT_TRUE(crashAndReopen(platform::ANSWER_YES) == typed);
    fake().messageBoxAnswers = {platform::ANSWER_NO};
    dispatchCommand(CMD_NEW, 0);  // New (not saving) removes the copy of the document before
    EXPECT_FALSE(std::filesystem::exists(recoveryPathFor(path)));
}
