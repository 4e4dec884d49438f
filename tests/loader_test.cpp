// Loading files: the byte state machine, names, word-processor mode and failures.
#include "files/loader.h"

#include <string>
#include <vector>

#include "app/messages.h"
#include "document/paste_text.h"
#include "support/test_document.h"
#include "view/view_state.h"

namespace {

using Lines = std::vector<std::string>;

Lines loadBytes(const std::string& bytes, const std::string& name = "t.txt") {
    loadFile(writeTempFile(name, bytes).c_str());
    return documentLines();
}

// 16-bit little-endian text placed at byte 2560, as a word-processor file stores it.
std::string wordProcessorFile(const std::u16string& text) {
    std::string bytes(2560, '\x01');
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace

TEST_F(CoreTest, LineBreaksOfEveryKind) {
    struct Case { std::string bytes; Lines lines; };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"a\nb", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},        // every LF of an LF-only file ends a line
        {"\n\na\n", {"", "", "a", ""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\n\nb", {"a", "", "b"}},      // only the LF right after the CR is dropped
        {"a\n\rb", {"a", "", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\x0C" "b", {"a", "b"}},          // form feed ends a line
        {"a\x0C\nb", {"a", "b"}},          // and takes an LF after it, as CR does
        {"a\x8D" "1\x8C", {"a", "1", ""}}, // 0x8D/0x8C before a byte that is no second byte
        {"a\x8D\nb", {"a", "b"}},
        {"a\x8A" "1", {"a", "1"}},          // 0x8A there acts as LF
        {"a\r\x8A" "1", {"a", "1"}},
        {"", {""}},
        {"\x1A", {""}},
        {"abc", {"abc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(loadBytes(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST_F(CoreTest, DoubleByteCharactersAreStoredWhole) {
    struct Case { std::string bytes; Lines lines; };
    const Case cases[] = {
        // 學 8C 57, 對 8C A6, 夾 8A 41, 皧 B0 8A, 們 82 C7: first or second bytes that
        // elsewhere end lines, and a parity that the bytes after them must keep.
        {"\x8C\x57\x8C\xA6\x8A\x41\r\nx", {"\x8C\x57\x8C\xA6\x8A\x41", "x"}},
        {"\xB0\x8A\x82\xC7" "ab\xB0\x8D\r\n", {"\xB0\x8A\x82\xC7" "ab\xB0\x8D", ""}},
        {"\x8D\x40\x8C\x5C" "n", {"\x8D\x40\x8C\x5C" "n"}},
        {"a\x8D" "b\x8C" "c", {"a\x8D" "b\x8C" "c"}},  // 0x8D b and 0x8C c are characters
        {"\xD6\xD0\x0C" "a", {"\xD6\xD0", "a"}},     // after a whole character 0x0C breaks
        {"\xFE\xFE\x81\x40\x80\xFF", {"\xFE\xFE\x81\x40\x80\xFF"}},
        // A first byte before a byte that cannot be a second byte stays alone, and the
        // byte after it is read as it would be anywhere: nothing is lost, and no second
        // byte is owed across a line end.
        {"\x81\x0D" "x", {"\x81", "x"}},
        {"\x9F\x0A", {"\x9F", ""}},
        {"\xB0\r\n\xD6\xD0", {"\xB0", "\xD6\xD0"}},
        {"\xB0\t\xD6\xD0", {"\xB0\t\xD6\xD0"}},
        {"\xB0 \xB0\x7F\xB0\xFF", {"\xB0 \xB0\x7F\xB0\xFF"}},
        {"\x81", {"\x81"}},                               // a first byte at the very end
    };
    for (const Case& c : cases) EXPECT_EQ(loadBytes(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST_F(CoreTest, ControlBytesAreDroppedAndCtrlZEndsTheText) {
    EXPECT_EQ(loadBytes("a\x01\x1F" "b\x7F"), Lines{"ab\x7F"});
    EXPECT_EQ(loadBytes("ab\x1A" "cd\r\nef"), Lines{"ab"});
}

TEST_F(CoreTest, NulInsideAPlainFileIsDroppedAndTheRestStillLoads) {
    EXPECT_EQ(loadBytes(std::string("ab\0cd\r\nef", 9)), (Lines{"abcd", "ef"}));
    EXPECT_EQ(loadBytes(std::string("\x81\0x", 3)), Lines{"\x81x"});
}

TEST_F(CoreTest, VeryLongLinesAreKeptWhole) {
    std::string longLine(150000, 'x');
    longLine[102399] = '\xD6';
    longLine[102400] = '\xD0';
    const Lines lines = loadBytes(longLine + "\r\nend");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], longLine);
    EXPECT_EQ(lines[1], "end");
}

TEST_F(CoreTest, TabsBecomeCommasWhileShiftIsHeld) {
    EXPECT_EQ(loadBytes("a\tb"), Lines{"a\tb"});
    fake().keysDown.insert(VKEY_SHIFT);
    EXPECT_EQ(loadBytes("a\tb"), Lines{"a,b"});
}

TEST_F(CoreTest, LoadedDocumentStartsAtItsFirstLineUnmodified) {
    const std::string path = writeTempFile("a.txt", "one\r\ntwo");
    loadFile(path.c_str());
    EXPECT_EQ(doc.caretLine, doc.head);
    EXPECT_EQ(doc.topLine, doc.head);
    EXPECT_EQ(doc.caretCol, 0);
    EXPECT_EQ(doc.modified, 0);
    EXPECT_TRUE(fake().caretVisible);
    EXPECT_EQ(fake().caretWidth, 1);
    EXPECT_EQ(fake().caretHeight, 24);
    EXPECT_EQ(fake().caretX, 0);
    EXPECT_EQ(fake().caretY, 0);
    EXPECT_EQ(std::string(fileName), path);
    EXPECT_EQ(fake().title, path + " - Kesh");
    EXPECT_TRUE(fake().messageBoxes.empty());

    // With word wrap on, the soft breaks made while loading do not count as changes.
    view.wrapMode = 1;
    view.clientWidth = 300;
    view.clientHeight = 240;
    std::string paragraph;
    for (int i = 0; i < 60; ++i) paragraph += "中 ";
    const std::string wrapped = writeTempFile("wrap.txt", paragraph + "\r\nend");
    loadFile(wrapped.c_str());
    EXPECT_GT(documentLines().size(), 2u);
    EXPECT_EQ(doc.modified, 0);
    EXPECT_EQ(fake().title, wrapped + " - Kesh");
}

TEST_F(CoreTest, QuotesAreStrippedAndRelativeNamesMadeAbsolute) {
    const std::string path = writeTempFile("my file.txt", "x");
    loadFile(("\"" + path + "\"").c_str());
    EXPECT_EQ(documentLines(), Lines{"x"});
    EXPECT_EQ(std::string(fileName), path);

    fake().workingDirectory = "/nowhere";
    loadFile("rel.txt");
    EXPECT_EQ(std::string(fileName), "/nowhere/rel.txt");
}

TEST_F(CoreTest, EmptyCommandLineLeavesNoDocument) {
    loadFile("");
    EXPECT_FALSE(hasDocument());
    EXPECT_EQ(fake().title, "(无文件) - Kesh");
    loadFile("\"\"");
    EXPECT_FALSE(hasDocument());
    EXPECT_TRUE(fake().messageBoxes.empty());
}

TEST_F(CoreTest, AFileThatCannotBeOpenedIsReportedAndLeavesNoDocument) {
    setDocument({"old"});
    const std::string missing = "/no/such/dir/missing.txt";
    loadFile(missing.c_str());
    EXPECT_FALSE(hasDocument());
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].text, "不能打开文件 \"" + missing + "\".");
    EXPECT_EQ(fake().messageBoxes[0].caption, "出错消息");
    EXPECT_EQ(fake().messageBoxes[0].flags, 0u);
    EXPECT_EQ(fake().title, missing + " - Kesh");  // the caption names the file that failed

    // Two names on one command line are taken as one path.
    loadFile("\"/tmp/a.txt\" \"/tmp/b.txt\"");
    EXPECT_FALSE(hasDocument());
    EXPECT_EQ(fake().messageBoxes.size(), 2u);
}

TEST_F(CoreTest, ADirectoryIsReportedLikeAMissingFile) {
    const std::string path = writeTempFile("f.txt", "x");
    const std::string folder = path.substr(0, path.rfind('/'));
    loadFile(folder.c_str());
    EXPECT_FALSE(hasDocument());
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].caption, "出错消息");
}

TEST_F(CoreTest, ANameTooLongForTheBufferIsNotCutToAnotherName) {
    const std::string path = "/" + std::string(300, 'd') + "/f.txt";
    loadFile(path.c_str());
    EXPECT_FALSE(hasDocument());
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].text, "不能打开文件 \"" + path + "\".");
    EXPECT_EQ(fileName[0], '\0');
}

TEST_F(CoreTest, WordProcessorFilesAreReadAsSixteenBitTextAndSavedAsText) {
    const std::string path = writeTempFile("notes.DOC", wordProcessorFile(u"ab\r\x4E2D\x6587\r"));
    loadFile(path.c_str());
    EXPECT_EQ(documentLines(), (Lines{"ab", "\xD6\xD0\xCE\xC4", ""}));
    EXPECT_EQ(std::string(fileName), path + ".txt");
    EXPECT_EQ(fake().title, path + ".txt - Kesh");
}

TEST_F(CoreTest, WordProcessorTextEndsAtAnUnconvertibleUnitOrNul) {
    loadFile(writeTempFile("a.doc", wordProcessorFile(u"ab\xFFFF" "cd")).c_str());
    EXPECT_EQ(documentLines(), Lines{"ab"});
    loadFile(writeTempFile("b.doc", wordProcessorFile(std::u16string(u"xy\0zz", 5))).c_str());
    EXPECT_EQ(documentLines(), Lines{"xy"});
    loadFile(writeTempFile("c.doc", std::string(100, 'a')).c_str());  // shorter than 2560 bytes
    EXPECT_EQ(documentLines(), Lines{""});
}

TEST_F(CoreTest, OpenDialogLoadsTheChosenFileOrNothing) {
    loadWithDialog();
    ASSERT_EQ(fake().fileDialogs.size(), 1u);
    EXPECT_EQ(fake().fileDialogs[0].title, "打开文件");
    EXPECT_EQ(fake().fileDialogs[0].filter, "Text(.txt)|*.txt|All Files(*.*)|*.*|");
    EXPECT_FALSE(hasDocument());

    fake().fileDialogAnswers.push_back(writeTempFile("pick.txt", "picked"));
    loadWithDialog();
    EXPECT_EQ(documentLines(), Lines{"picked"});
}

// A dropped control byte between a first byte and the next is dropped before pairs are
// formed, so the lines read what a reload of the saved file reads (found by fuzzing: a
// lone first byte kept as a single byte re-paired on reload and made 0x8C a line end).
TEST_F(CoreTest, DroppedBytesAreGoneBeforePairsAreFormed) {
    const std::string bytes("\xD1\xA7\x00\xA7\x00\xA7\xC9\xDA\x8C\x0A\xA7\xC9", 12);
    const Lines lines = {"\xD1\xA7\xA7\xA7\xC9\xDA", "\xA7\xC9"};
    EXPECT_EQ(loadBytes(bytes), lines);
    EXPECT_EQ(loadBytes("\xD1\xA7\xA7\xA7\xC9\xDA\r\n\xA7\xC9"), lines);  // the saved file
    EXPECT_EQ(clipboardPieces(bytes, false), lines);
}
