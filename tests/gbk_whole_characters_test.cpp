// Every double-byte character of code page 936 stays whole: through loading and saving,
// through paste and copy, through typing it as two WM_CHAR messages and undoing that,
// and through the export as a web page.
#include <random>
#include <string>
#include <vector>

#include "app/messages.h"
#include "document/gbk.h"
#include "document/paste_text.h"
#include "document/undo_ring.h"
#include "files/loader.h"
#include "files/save.h"
#include "files/text_encoding.h"
#include "support/editing_driver.h"

namespace {

using Lines = std::vector<std::string>;

// ASCII bytes that would do harm if a second byte were taken for them, or a first byte
// for one of them.
const char ASCII_MIX[] = "\\n[]{}\"'/*<>&%$Wa@1 \t";

// A text of every pair of a first byte 0x81-0xFE and a second byte 0x40-0x7E or
// 0x80-0xFE (all the double-byte characters of code page 936 and the unassigned pairs
// around them), one line per first byte, with ASCII and tabs between some of them, a
// character at the start and the end of every line, and CR LF line ends.
std::string everyDoubleByteCharacter() {
    std::string text;
    int mix = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
            if (trail % 7 == 0) text += ASCII_MIX[mix++ % (sizeof ASCII_MIX - 1)];
        }
        text += "\r\n";
    }
    return text;
}

Lines loadBytes(const std::string& bytes) {
    loadFile(writeTempFile("gbk.txt", bytes).c_str());
    return documentLines();
}

}  // namespace

TEST_F(CoreTest, EveryDoubleByteCharacterLoadsAndSavesByteForByte) {
    const std::string bytes = everyDoubleByteCharacter();
    for (const int wrap : {0, 1}) {
        view.wrapMode = wrap;  // wrapped lines are written back as one
        view.clientWidth = 800;
        view.clientHeight = 600;
        const std::string path = writeTempFile("every.txt", bytes);
        loadFile(path.c_str());
        if (!wrap) ASSERT_EQ(lineCount(), 0xFE - 0x81 + 2);  // one per first byte, and the empty last one
        doc.modified = 1;
        saveDocument();
        ASSERT_EQ(readFileBytes(path), bytes) << "wrap " << wrap;
    }
}

TEST_F(EditingTest, EveryDoubleByteCharacterPastesAndCopiesByteForByte) {
    std::string text = everyDoubleByteCharacter();
    text.resize(text.size() - 2);  // the pasted text ends on a character, which stays selected
    setDocument({""});
    setClipboard(text);
    pressCtrl('V');
    EXPECT_EQ(lineCount(), 0xFE - 0x81 + 1);
    EXPECT_EQ(copiedText(), text);
}

// The loader and the paste conversion cut any bytes into the same lines (apart from the
// paste's own backslash-n rule and the loader's end at NUL and Ctrl-Z).
TEST_F(CoreTest, LoaderAndPasteCutRandomBytesAlike) {
    std::mt19937 random(936);
    const unsigned char interesting[] = {0x0A, 0x0D, 0x0C, 0x8A, 0x8C, 0x8D, 0x80, 0x81, 0xA0, 0xB0, 0xFE, 0xFF,
                                         0x40, 0x7E, 0x7F, 0x5C, 0x57, 0x09, 0x20, 0x01};
    for (int trial = 0; trial < 400; ++trial) {
        std::string bytes;
        const int length = static_cast<int>(random() % 16);
        for (int i = 0; i < length; ++i)
            bytes += static_cast<char>(random() % 3 ? interesting[random() % sizeof interesting] : 1 + random() % 255);
        for (char& byte : bytes)
            if (byte == 0x1A || byte == 'n') byte = 'm';
        // Bytes that are well-formed UTF-8, or begin with a byte-order mark, make a UTF file.
        size_t mark = 0;
        if (detectEncoding(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), mark) != FileEncoding::Gbk)
            continue;
        ASSERT_EQ(loadBytes(bytes), clipboardPieces(bytes, false)) << testing::PrintToString(bytes);
    }
}

// ==== A character typed as two WM_CHAR messages ====

TEST_F(EditingTest, UndoOfACharacterTypedInTwoHalvesTakesBothBytes) {
    struct Case {
        const char* name;
        std::string line;
        int col;
        std::string typed;
        std::string afterTyping;
    };
    const Case cases[] = {
        {"between letters", "ab", 1, "\xD6\xD0", "a\xD6\xD0" "b"},
        {"at the end", "ab", 2, "\x8C\x57", "ab\x8C\x57"},
        {"before a character", "\xB0\x8A", 0, "\x82\xC7", "\x82\xC7\xB0\x8A"},
        {"two characters", "x", 1, "\xD6\xD0\xCE\xC4", "x\xD6\xD0\xCE\xC4"},
    };
    for (const Case& c : cases) {
        resetUndo();
        setDocument({c.line});
        putCaret(0, c.col);
        typeBytes(c.typed);
        ASSERT_EQ(documentLines(), Lines{c.afterTyping}) << c.name;
        EXPECT_EQ(caretAt(), std::make_pair(0, c.col + static_cast<int>(c.typed.size()))) << c.name;
        for (size_t i = 0; i < c.typed.size() / 2; ++i) pressCtrl('Z');
        EXPECT_EQ(documentLines(), Lines{c.line}) << c.name;
        for (size_t i = 0; i < c.typed.size() / 2; ++i) pressCtrl('Y');
        EXPECT_EQ(documentLines(), Lines{c.afterTyping}) << c.name;
    }
}

TEST_F(EditingTest, AFirstByteTypedAloneIsUndoneAlone) {
    setDocument({"ab"});
    putCaret(0, 1);
    typeBytes("\xD6");
    pressCtrl('Z');
    EXPECT_EQ(documentLines(), Lines{"ab"});
    // After an undo the next byte is an edit of its own, never joined to an older record.
    typeBytes("x");
    pressCtrl('Z');
    EXPECT_EQ(documentLines(), Lines{"ab"});
}

// ==== The export ====

// The page written for lines of every kind of character holds each character's two
// bytes side by side: no tag and no entity ever stands between them.
TEST_F(EditingTest, ExportedPageNeverSplitsACharacter) {
    std::mt19937 random(4);
    const std::vector<std::string> pieces = {"\"", "/", "*", "<", "a", "if", " ", "\\", "x",
                                             "\x95\x72", "\x8C\x57", "\x81\x5C", "\xB0\x8A", "\xD6\xD0",
                                             "\xB0<", "\xB0&"};
    Lines lines(40);
    for (std::string& line : lines)
        for (int i = 0; i < 10; ++i) line += pieces[random() % pieces.size()];
    setDocument(lines);
    const std::string page = testFolder() + "/page.htm";
    fake().fileDialogAnswers = {page};
    dispatchCommand(CMD_EXPORT_PAGE, 0);
    const std::string bytes = readFileBytes(page);
    const size_t body = bytes.find("<body");
    ASSERT_NE(body, std::string::npos);
    // Read the page back: drop tags, turn entities into their bytes; every tag and every
    // line end must come at a character boundary of the text read so far.
    Lines readBack(1);
    for (size_t i = bytes.find('\n', body) + 1; i < bytes.size();) {
        std::string& text = readBack.back();
        const bool atBoundary = !isInsideDoubleByte(text.c_str(), static_cast<int>(text.size()));
        if (bytes[i] == '<' || bytes[i] == '\r') ASSERT_TRUE(atBoundary) << "line " << readBack.size() << ": " << text;
        if (bytes[i] == '<') {
            i = bytes.find('>', i) + 1;
        } else if (bytes.compare(i, 2, "\r\n") == 0) {
            readBack.emplace_back();
            i += 2;
        } else if (bytes[i] == '&') {
            const size_t end = bytes.find(';', i);
            const std::string entity = bytes.substr(i, end + 1 - i);
            text += entity == "&lt;" ? "<" : entity == "&amp;" ? "&" : entity == "&quot;" ? "\"" : entity == "&nbsp;" ? " " : "?";
            i = end + 1;
        } else {
            text += bytes[i++];
        }
    }
    readBack.pop_back();  // after the last line's CR LF comes only the closing tag
    EXPECT_EQ(readBack, lines);
}
