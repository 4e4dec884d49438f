// Files in UTF-8 and UTF-16: which files are read as which, every character of the code
// page and characters it lacks coming back from a load and a save, edits that keep what
// they do not touch, stand-ins through the clipboard, and files that are refused.
#include <random>
#include <string>
#include <vector>

#include "document/stand_ins.h"
#include "edit/clipboard.h"
#include "edit/editing.h"
#include "files/loader.h"
#include "files/save.h"
#include "files/text_encoding.h"
#include "support/test_document.h"

namespace {

using Text = std::vector<std::u32string>;  // lines of code points

// The file of these lines, each ended by CR LF, in `encoding`, written independently of
// the editor's own encoder.
std::string fileBytes(const Text& lines, FileEncoding encoding) {
    std::string out = encoding == FileEncoding::Utf8WithMark ? "\xEF\xBB\xBF"
                      : encoding == FileEncoding::Utf16Le    ? "\xFF\xFE"
                      : encoding == FileEncoding::Utf16Be    ? "\xFE\xFF"
                                                             : "";
    auto unit = [&](uint32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u);
        out += encoding == FileEncoding::Utf16Be ? hi : lo;
        out += encoding == FileEncoding::Utf16Be ? lo : hi;
    };
    auto put = [&](char32_t c) {
        if (encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be) {
            if (c < 0x10000) return unit(c);
            unit(0xD800 + ((c - 0x10000) >> 10));
            return unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        if (c < 0x80) return void(out += static_cast<char>(c));
        const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        out += static_cast<char>((extra == 1 ? 0xC0 : extra == 2 ? 0xE0 : 0xF0) | c >> (6 * extra));
        for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | (c >> (6 * k) & 0x3F));
    };
    for (const std::u32string& line : lines) {
        for (char32_t c : line) put(c);
        put('\r');
        put('\n');
    }
    return out;
}

// Every character of code page 936 but the control bytes and most private ones (each
// private character the file uses is a code no stand-in can take), then characters it
// lacks: an emoji, CJK extension B, Hangul, Thai, U+FEFF inside a line, plane 16.
Text everyCharacter() {
    std::u32string all;
    int privateKept = 0;
    for (int byte = 0x20; byte < 0x100; ++byte) {
        const char single = static_cast<char>(byte);
        uint16_t unit;
        if (platform::codePage936ToUnit(&single, 1, unit)) all += unit;
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            uint16_t unit;
            if (!platform::codePage936ToUnit(pair, 2, unit)) continue;
            if (unit >= 0xE000 && unit <= 0xF8FF && ++privateKept > 100) continue;
            all += unit;
        }
    all += U"\U0001F600\U00020000\uAC00\u0E01\uFEFF\U0010FFFD";
    Text lines;
    for (size_t at = 0; at < all.size(); at += 61) lines.push_back(all.substr(at, 61));
    return lines;
}

const FileEncoding UNICODE_ENCODINGS[] = {FileEncoding::Utf8, FileEncoding::Utf8WithMark, FileEncoding::Utf16Le,
                                          FileEncoding::Utf16Be};

class EncodingTest : public CoreTest {
protected:
    std::string load(const std::string& bytes) {
        const std::string path = writeTempFile("file.txt", bytes);
        loadFile(path.c_str());
        return path;
    }
};

}  // namespace

TEST(Encodings, AFileIsUnicodeOnlyByItsMarkOrWhenAllOfItIsWellFormedUtf8) {
    const struct {
        std::string bytes;
        FileEncoding expected;
    } cases[] = {
        {"plain ASCII only\r\n", FileEncoding::Gbk},
        {"\xD6\xD0\xCE\xC4", FileEncoding::Gbk},                      // 中文 in GBK
        {"\xE4\xB8\xAD\xE6\x96\x87", FileEncoding::Utf8},             // 中文 in UTF-8
        {"abc \xC2\xBC", FileEncoding::Utf8},                         // 录 in GBK is also ¼ in UTF-8
        {"\xC0\x80", FileEncoding::Gbk},                              // an overlong form
        {"\xED\xA0\x80", FileEncoding::Gbk},                          // a surrogate
        {"\xF4\x90\x80\x80", FileEncoding::Gbk},                      // beyond U+10FFFF
        {"\xE4\xB8", FileEncoding::Gbk},                              // cut short
        {"\xEF\xBB\xBF", FileEncoding::Utf8WithMark},
        {"\xFF\xFE", FileEncoding::Utf16Le},
        {"\xFE\xFFx", FileEncoding::Utf16Be},
    };
    for (const auto& c : cases) {
        size_t mark = 0;
        EXPECT_EQ(detectEncoding(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), mark), c.expected)
            << c.bytes;
    }
}

TEST_F(EncodingTest, EveryCharacterComesBackAndEditsKeepWhatTheyDoNotTouch) {
    const char* const TAGS[] = {" [UTF-8] - Kesh", " [UTF-8 BOM] - Kesh", " [UTF-16 LE] - Kesh", " [UTF-16 BE] - Kesh"};
    std::mt19937 random(936);
    for (int e = 0; e < 4; ++e) {
        const FileEncoding encoding = UNICODE_ENCODINGS[e];
        SCOPED_TRACE(TAGS[e]);
        resetCore();
        Text model = everyCharacter();
        const std::string path = load(fileBytes(model, encoding));
        EXPECT_EQ(fake().title, path + TAGS[e]);
        saveDocument();
        ASSERT_EQ(readFileBytes(path), fileBytes(model, encoding));

        for (int edit = 0; edit < 40; ++edit) {
            const int index = static_cast<int>(random() % model.size());
            doc.caretLine = lineAt(index);
            doc.caretCol = 0;
            switch (random() % 3) {
                case 0:  // type a letter and 改
                    typeChar('x', true);
                    insertCharCode(0xB8C4);
                    model[index] = U"x改" + model[index];
                    break;
                case 1:  // delete the first character, a stand-in too
                    if (model[index].empty()) break;
                    deleteForward(true);
                    model[index].erase(0, 1);
                    break;
                case 2:  // a line break before the line
                    typeChar('\r', true);
                    model.insert(model.begin() + index, U"");
                    break;
            }
        }
        saveDocument();
        EXPECT_EQ(readFileBytes(path), fileBytes(model, encoding));
        EXPECT_EQ(doc.modified, 0);
    }
}

TEST_F(EncodingTest, GbkFilesLoadAndSaveByteForByteWithoutATag) {
    const std::string path = load("\xD6\xD0\xCE\xC4 GBK\r\n\xC2\xBC\xC8\xA1\r\n");
    EXPECT_EQ(fake().title, path + " - Kesh");
    saveDocument();
    EXPECT_EQ(readFileBytes(path), "\xD6\xD0\xCE\xC4 GBK\r\n\xC2\xBC\xC8\xA1\r\n");
}

TEST_F(EncodingTest, StandInsAreShownAsMarksAndCopiedAndPastedAsThemselves) {
    load(fileBytes({U"a\U0001F600b"}, FileEncoding::Utf8));
    const std::string line = documentLines()[0];
    ASSERT_EQ(line.size(), 4u);
    EXPECT_EQ(characterOfStandIn(line[1], line[2]), 0x1F600u);
    selectAll();
    copySelection();
    EXPECT_EQ(fake().clipboardUnicode.substr(0, 5), u"a\U0001F600b\r");

    fake().clipboard = "?";
    fake().clipboardUnicode = u"\U00020000z";
    fake().clipboardHasUnicode = true;
    doc.caretLine = doc.head;
    doc.caretCol = 0;
    pasteClipboard();
    saveDocument();
    EXPECT_EQ(readFileBytes(fileName), fileBytes({U"\U00020000za\U0001F600b"}, FileEncoding::Utf8));
}

TEST_F(EncodingTest, BrokenFilesAreRefusedAndLeftAlone) {
    std::u32string many;
    for (char32_t c = 0x20000; many.size() <= static_cast<size_t>(standInCapacity()); ++c) many += c;
    const struct {
        std::string bytes, message;
    } cases[] = {
        {"\xEF\xBB\xBF" "ab\xE4\xB8", "文件开头标明是 UTF-8 编码，但从第 6 个字节起不是正确的 UTF-8"},
        {std::string("\xFF\xFE" "a\0\0\xD8" "b\0", 8), "文件开头标明是 UTF-16 编码，但从第 5 个字节起不是正确的 UTF-16"},
        {std::string("\xFE\xFF\0a\0", 5), "从第 5 个字节起不是正确的 UTF-16"},
        {fileBytes({many}, FileEncoding::Utf8), "种类太多"},
    };
    for (const auto& c : cases) {
        resetCore();
        const std::string path = load(c.bytes);
        EXPECT_FALSE(hasDocument());
        ASSERT_EQ(fake().messageBoxes.size(), 1u);
        EXPECT_NE(fake().messageBoxes[0].text.find(c.message), std::string::npos) << fake().messageBoxes[0].text;
        EXPECT_NE(fake().messageBoxes[0].text.find("文件没有被改动"), std::string::npos);
        EXPECT_EQ(readFileBytes(path), c.bytes);
    }
}

TEST_F(EncodingTest, ASaveThatCannotWriteAByteSaysWhereAndLeavesTheFile) {
    const std::string original = fileBytes({U"\u4E2D\u6587", U"ab"}, FileEncoding::Utf16Le);
    const std::string path = load(original);
    doc.caretLine = lineAt(1);
    doc.caretCol = 1;
    typeChar('\xFF', true);
    saveDocument();
    ASSERT_EQ(fake().messageBoxes.size(), 1u);
    EXPECT_NE(fake().messageBoxes[0].text.find("第 2 行第 2 列的字节 FF 不是 GBK 字符"), std::string::npos);
    EXPECT_EQ(readFileBytes(path), original);
    EXPECT_EQ(doc.modified, 1);
}
