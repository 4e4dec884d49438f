// Export as a web page: the header, the spans of the colour runs, entities, kept spaces,
// line ends, and the page becoming the document's file name.
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "support/test_document.h"
#include "view/view_state.h"

namespace {

using Lines = std::vector<std::string>;

const char HEADER_AFTER_TITLE[] =
    "(Kesh导出)</title>\n"
    "<style type=\"text/css\">\n"
    "<!--\n"
    ".p0{font-family:宋体;font-size:14pt;color:#ddd;background-color : #000;}\n"
    ".c0{color:#000;}\n.c1{color:#0000a6;}\n.c2{color:#9000ff;}\n.c3{color:#00c0c0;}\n"
    ".c4{color:#d00000;}\n.c5{color:#973b00;}\n.c6{color:#b0b000;}\n.c7{color:#ccc;}\n"
    ".c8{color:#ddd;}\n.c9{color:#ff7373;}\n.ca{color:#0f0;}\n.cb{color:#0ff;}\n"
    ".cc{color:#f00;}\n.cd{color:#f0f;}\n.ce{color:#ff0;}\n.cf{color:#fff;}\n"
    "-->\n"
    "</style></head><body  class=\"p0\">\n";

const char PAGE_START[] =
    "<!DOCTYPE html><html lang=\"zh-CN\"><meta http-equiv=Content-Type content=\"text/html; charset=gb2312\">\n"
    "<title>";

const char PAGE_END[] = "</body></html>";

class ExportTest : public CoreTest {
protected:
    std::string folder() { return testFolder(); }
    // Exports the document to page.htm in the test's folder and returns the page's body,
    // the part between the header and the closing tag (checked on the way).
    std::string exportBody() {
        const std::string page = folder() + "/page.htm";
        fake().fileDialogAnswers = {page};
        dispatchCommand(CMD_EXPORT_PAGE, 0);
        const std::string bytes = readFileBytes(page);
        const std::string header = PAGE_START + page + HEADER_AFTER_TITLE;
        EXPECT_EQ(bytes.substr(0, header.size()), header);
        EXPECT_GE(bytes.size(), header.size() + sizeof PAGE_END - 1);
        EXPECT_EQ(bytes.substr(bytes.size() - (sizeof PAGE_END - 1)), PAGE_END);
        if (bytes.size() < header.size() + sizeof PAGE_END - 1) return "<short page>";
        return bytes.substr(header.size(), bytes.size() - header.size() - (sizeof PAGE_END - 1));
    }
};

}  // namespace

TEST_F(ExportTest, EachColourRunIsOneSpan) {
    struct Case {
        const char* line;
        const char* body;
    };
    const Case cases[] = {
        {"a<b", "<span class=\"c7\">a</span><span class=\"cb\">&lt;</span><span class=\"c7\">b</span><br />\r\n"},
        {"x->y", "<span class=\"c7\">x</span><span class=\"c6\">-&gt;</span><span class=\"c7\">y</span><br />\r\n"},
        {"if (1)", "<span class=\"ce\">if</span> <span class=\"cc\">(</span><span class=\"cf\">1</span>"
                   "<span class=\"cc\">)</span><br />\r\n"},
        {"12", "<span class=\"cf\">12</span><br />\r\n"},
        {"中文", "中文<br />\r\n"},
        {"a  // c", "<span class=\"c7\">a</span> &nbsp;<span class=\"ca\">// c</span><br />\r\n"},
        {"", "<br />\r\n"},
    };
    for (const Case& c : cases) {
        setDocument({c.line});
        EXPECT_EQ(exportBody(), c.body) << c.line;
    }
}

TEST_F(ExportTest, UnderWordWrapThereAreNoSpans) {
    view.wrapMode = 1;
    struct Case {
        const char* line;
        const char* body;
    };
    const Case cases[] = {
        {"a<b", "a&lt;b<br />\r\n"},
        {"a   b", "a &nbsp;&nbsp;b<br />\r\n"},
        {" ", " <br />\r\n"},
        {"\t\t", "&emsp;&emsp;<br />\r\n"},
        {"<>&\"'$%", "&lt;&gt;&amp;&quot;&apos;&#36;&#37;<br />\r\n"},
        {" \t ", " &emsp; <br />\r\n"},
        {"中 文", "中 文<br />\r\n"},
    };
    for (const Case& c : cases) {
        setDocument({c.line});
        EXPECT_EQ(exportBody(), c.body) << c.line;
    }
}

TEST_F(ExportTest, OnlyHardReturnsBecomeLineBreaks) {
    view.wrapMode = 1;
    setDocument({"soft ", "hard", ""});
    lineAt(0)->flags = 0;
    EXPECT_EQ(exportBody(), "soft \r\nhard<br />\r\n<br />\r\n");
}

TEST_F(ExportTest, ThePageBecomesTheFileNameAndUnsavedEditsStillCountAsUnsaved) {
    setDocument({"text"});
    setFileName("C:\\notes\\a.txt");
    doc.modified = 1;
    fake().workingDirectory = folder();
    fake().fileDialogAnswers = {"\"a.txt.htm\""};
    dispatchCommand(CMD_EXPORT_PAGE, 0);
    ASSERT_EQ(fake().fileDialogs.size(), 1u);
    EXPECT_EQ(fake().fileDialogs[0].initialName, "a.txt.htm");
    EXPECT_EQ(fake().fileDialogs[0].title, "指定另存文件名");
    EXPECT_EQ(fake().fileDialogs[0].filter, "HTM(.htm)|*.htm|HTML(.html)|*.html|");
    const std::string page = folder() + "/a.txt.htm";
    EXPECT_EQ(std::string(fileName), page);
    // The title is the path as typed, without its quotes.
    EXPECT_EQ(readFileBytes(page).find("<title>a.txt.htm(Kesh导出)</title>\n") != std::string::npos, true);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(fake().title, " * " + page + " - Kesh");
}

TEST_F(ExportTest, CancelChangesNothing) {
    setDocument({"text"});
    setFileName("C:\\a.txt");
    fake().titles.clear();
    dispatchCommand(CMD_EXPORT_PAGE, 0);
    EXPECT_EQ(std::string(fileName), "C:\\a.txt");
    EXPECT_TRUE(fake().titles.empty());
}

TEST_F(ExportTest, AFailedExportLeavesAnExistingFileAlone) {
    const std::string page = writeTempFile("old.htm", "old page");
    setDocument({"a", "b"});
    fake().writableBytes = 100;  // less than the header
    fake().fileDialogAnswers = {page};
    dispatchCommand(CMD_EXPORT_PAGE, 0);
    EXPECT_EQ(readFileBytes(page), "old page");
    EXPECT_EQ(std::string(fileName), page);
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake().messageBoxes[0].text, "注意！不能保存 \"" + page + "\" !");
    EXPECT_EQ(fake().messageBoxes[0].caption, "存盘失败");
}
