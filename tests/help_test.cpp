// The help box, the About box and the transient message window.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/help_text.h"
#include "app/message_window.h"
#include "app/messages.h"
#include "support/test_document.h"

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

uint64_t fnv1a(const std::string& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

using HelpTest = CoreTest;

}  // namespace

// The expected size and hash were taken from the GBK encoding of the 28 published lines.
TEST_F(HelpTest, HelpTextHasTheTwentyEightLinesByteForByte) {
    const std::string text = HELP_TEXT;
    EXPECT_EQ(text.size(), 1332u);
    EXPECT_EQ(fnv1a(text), 0xab964aad22ddb9b2ull);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    const std::vector<std::string> lines = splitLines(text);
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[24], "");
    for (int n : {18, 24}) EXPECT_EQ(lines[n - 1].substr(0, 2), "\xA1\xA1") << n;  // full-width space
    EXPECT_EQ(lines[0].substr(0, 2), "\xA8\x80");                                 // the block mark
    EXPECT_EQ(lines[8], "\\C0(即\\!或\\C) \\C1...\\C9\t1组汉字");
}

TEST_F(HelpTest, HelpOpensWithAndWithoutADocument) {
    for (bool withDocument : {false, true}) {
        fake().messageBoxes.clear();
        if (withDocument) setDocument({"a"});
        dispatchCommand(CMD_HELP_TEXT, 0);
        ASSERT_EQ(fake().messageBoxes.size(), 1u) << withDocument;
        EXPECT_EQ(fake().messageBoxes[0].caption, "查找替换等操作说明");
        EXPECT_EQ(fake().messageBoxes[0].text, HELP_TEXT);
        EXPECT_EQ(fake().messageBoxes[0].flags, platform::BOX_OK);
    }
}

TEST_F(HelpTest, AboutOpensWithAndWithoutADocument) {
    dispatchCommand(CMD_ABOUT, 0);
    setDocument({"a"});
    dispatchCommand(CMD_ABOUT, 0);
    EXPECT_EQ(fake().aboutBoxes, 2);
}

TEST_F(HelpTest, MessageWindowFontHeightIgnoresTheSignOfThePointSize) {
    struct Case { int points; int pixelsPerInch; int height; };
    const Case cases[] = {
        {34, 96, -45},  {-34, 96, -45}, {20, 96, -26},   {-20, 96, -26}, {34, 144, -68},
        {1, 96, -1},    {0, 96, 0},     {INT_MIN, 96, -INT_MAX},         {INT_MAX, 72, -INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fontHeightForPoints(c.points, c.pixelsPerInch), c.height) << c.points << " at " << c.pixelsPerInch;
}

TEST_F(HelpTest, MessageWindowAsksForItalicWhiteTextAboveTheBottomStrip) {
    showMessageWindow(platform::DialogOwner::QuizDialog, "做对了 !", 0x006F0000, -34, 288);
    showMessageWindow(platform::DialogOwner::MainWindow, nullptr, 0, 34, 0);
    ASSERT_EQ(fake().messageWindows.size(), 2u);
    const platform::MessageWindowRequest& shown = fake().messageWindows[0];
    EXPECT_EQ(shown.owner, platform::DialogOwner::QuizDialog);
    EXPECT_EQ(shown.text, "做对了 !");
    EXPECT_EQ(shown.background, 0x006F0000u);
    EXPECT_EQ(shown.textColour, 0x00FFFFFFu);
    EXPECT_EQ(shown.font.height, -45);  // the fake screen has 96 pixels per inch
    EXPECT_EQ(shown.font.height, fake().messageWindows[1].font.height);
    EXPECT_TRUE(shown.font.italic);
    EXPECT_FALSE(shown.font.bold);
    EXPECT_EQ(shown.font.faceName, "微软雅黑");
    EXPECT_EQ(shown.bottomMargin, 33);
    EXPECT_EQ(shown.duration, 288u);
    EXPECT_EQ(fake().messageWindows[1].text, "");
}
