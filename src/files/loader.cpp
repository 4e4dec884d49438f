#include "files/loader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/virtual_keys.h"
#include "document/document.h"
#include "document/file_encoding.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "document/raw_lines.h"
#include "document/stand_ins.h"
#include "document/text.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"
#include "edit/reflow.h"
#include "files/close_document.h"
#include "files/file_image.h"
#include "files/image_lines.h"
#include "files/recovery.h"
#include "files/text_encoding.h"

namespace {

constexpr int END_OF_INPUT = -1;
constexpr int NO_LOOKAHEAD = -2;
constexpr long WORD_PROCESSOR_TEXT_START = 2560;
constexpr char WORD_PROCESSOR_SUFFIX[] = ".txt";

// ==== Word-processor text ====

// Buffered input of 16-bit units from the file, each converted to the ANSI code page;
// a unit's second output byte (if any) is the next fetch.
struct UnitSource {
    FILE* file = nullptr;
    bool failed = false;  // a read error, as opposed to the end of the file
    unsigned char buffer[65536];
    size_t filled = 0, next = 0;
    int pendingByte = END_OF_INPUT;
    int lookahead = NO_LOOKAHEAD;

    int rawByte() {
        if (next == filled) {
            filled = std::fread(buffer, 1, sizeof buffer, file);
            next = 0;
            if (filled == 0) {
                failed = failed || std::ferror(file);
                return END_OF_INPUT;
            }
        }
        return buffer[next++];
    }

    // The next byte, taken from the byte looked ahead at when there is one.
    int fetch() {
        if (lookahead != NO_LOOKAHEAD) {
            const int byte = lookahead;
            lookahead = NO_LOOKAHEAD;
            return byte;
        }
        return fetchUnit();
    }

    // The next byte without taking it: the loader asks whether a first byte has a second.
    int peek() {
        if (lookahead == NO_LOOKAHEAD) lookahead = fetchUnit();
        return lookahead;
    }

    // The next byte that will not be dropped, without taking it; the dropped bytes
    // before it are taken.
    int peekPastDropped() {
        while (isDropped(peek())) lookahead = NO_LOOKAHEAD;
        return lookahead;
    }

    // A control byte the loader drops (a NUL ends the text instead).
    static bool isDropped(int byte) { return isDroppedControlByte(byte) && byte != 0x00; }

    int fetchUnit() {
        if (pendingByte != END_OF_INPUT) {
            const int byte = pendingByte;
            pendingByte = END_OF_INPUT;
            return byte;
        }
        const int low = rawByte();
        const int high = low == END_OF_INPUT ? END_OF_INPUT : rawByte();
        if (high == END_OF_INPUT) return END_OF_INPUT;
        char converted[4];
        const int count = platform::utf16UnitToAnsi(static_cast<uint16_t>(low | (high << 8)), converted);
        if (count <= 0) return 0x00;  // an unconvertible unit ends the text
        if (count >= 2) pendingByte = static_cast<unsigned char>(converted[1]);
        return static_cast<unsigned char>(converted[0]);
    }
};

// The line being assembled; it grows as needed, so a long line is never cut.
struct LineBuffer {
    char* bytes = nullptr;
    size_t count = 0, capacity = 0;

    void append(int byte) {
        if (count == capacity) {
            capacity = capacity ? capacity * 2 : 256;
            char* grown = static_cast<char*>(std::realloc(bytes, capacity));
            if (grown == nullptr) std::exit(EXIT_STATUS_LOADER);
            bytes = grown;
        }
        bytes[count++] = static_cast<char>(byte);
    }
    ~LineBuffer() { std::free(bytes); }
};

// Appends the assembled line to the document (after `tail`) and empties the buffer.
LineNode* storeLine(LineBuffer& line, LineNode* tail) {
    LineNode* node = tail ? insertLineAfter(tail) : appendLine();
    node->text = storeLineText(line.bytes, line.count, EXIT_STATUS_LOADER);
    node->flags = LN_HARD_RETURN;
    line.count = 0;
    return node;
}

// Reads the text stream of a word-processor file into lines. NUL and Ctrl-Z end the
// text; the line then pending is stored, so the document always ends with the text after
// the last line end, empty or not. Characters and line ends follow RawLineReader; tabs
// become `tabReplacement`, other control bytes are dropped.
void readWordProcessorLines(UnitSource& source, char tabReplacement) {
    LineCarving carving(EXIT_STATUS_LOADER);
    LineBuffer line;
    LineNode* tail = nullptr;
    RawLineReader reader;
    for (;;) {
        const int c = source.fetch();
        if (c == END_OF_INPUT || c == 0x1A || c == 0x00) break;
        if (UnitSource::isDropped(c)) continue;
        // Only a first byte asks what follows it.
        const int next = isLeadByte(static_cast<unsigned char>(c)) ? source.peekPastDropped() : END_OF_INPUT;
        switch (reader.roleOf(c, next)) {
            case RawByteRole::Pair:
                line.append(c);
                line.append(source.fetch());
                break;
            case RawByteRole::LineEnd: tail = storeLine(line, tail); break;
            case RawByteRole::SkippedLineFeed: break;
            case RawByteRole::Single:
                if (c == 0x09)
                    line.append(tabReplacement);
                else if (c >= 0x20)
                    line.append(c);
                break;
        }
    }
    doc.caretLine = storeLine(line, tail);
}

bool readWordProcessorFile(FILE* file, char tabReplacement) {
    auto* source = new UnitSource;
    source->file = file;
    std::fseek(file, WORD_PROCESSOR_TEXT_START, SEEK_SET);
    readWordProcessorLines(*source, tabReplacement);
    const bool failed = source->failed;
    delete source;
    return !failed;
}

// ==== Plain files ====

enum class PlainRead { Loaded, ReadError, Refused };

// The message for a file whose encoding Kesh will not convert; the file is left alone.
std::string refusalMessage(const std::string& name, FileEncoding encoding, const DecodeOutcome& outcome,
                           size_t markLength) {
    std::string text = "不能打开文件 \"" + name + "\"：";
    if (outcome.problem == DecodeProblem::TooManyStandIns) {
        text += "其中 GBK 无法表示的字符（如表情符号、生僻字）种类太多，Kesh 最多能保留 " +
                std::to_string(standInCapacity()) + " 种。";
    } else {
        const bool utf16 = encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be;
        text += std::string("文件开头标明是 ") + (utf16 ? "UTF-16" : "UTF-8") + " 编码，但从第 " +
                std::to_string(markLength + outcome.problemAt + 1) + " 个字节起不是正确的 " +
                (utf16 ? "UTF-16" : "UTF-8") + "（被截断的字符或单独的代理项）。";
    }
    return text + "文件没有被改动。";
}

// Reads a plain file (or the pieces of a recovered text) whole, converts it to GBK when
// it is UTF-8 or UTF-16, and splits it into lines where its bytes lie.
PlainRead readPlainFile(const std::vector<FilePiece>& pieces, char tabReplacement) {
    FileImage image;
    if (readFileImage(pieces, image, EXIT_STATUS_LOADER) != ImageRead::Read) return PlainRead::ReadError;
    size_t markLength = 0;
    const FileEncoding encoding = detectEncoding(reinterpret_cast<unsigned char*>(image.bytes), image.size, markLength);
    size_t length = image.size - markLength;
    if (encoding != FileEncoding::Gbk) {
        const DecodeOutcome outcome = decodeToGbk(encoding, image.bytes + markLength, length);
        if (outcome.problem != DecodeProblem::None) {
            freeTextImage(image.bytes);
            forgetStandIns();
            platform::showMessageBox(refusalMessage(fileName, encoding, outcome, markLength), "出错消息",
                                     platform::BOX_OK | platform::BOX_ICON_ERROR);
            return PlainRead::Refused;
        }
        length = outcome.length;
        // UTF-8 Chinese shrinks by a third: give the rest back before the lines are made.
        if (markLength + length < image.size / 4 * 3)
            image.bytes = resizeTextImage(image.bytes, markLength + length + 1, EXIT_STATUS_LOADER);
    }
    openTextImage(image.bytes);
    splitImageIntoLines(image.bytes + markLength, length, tabReplacement);
    closeTextImage();
    documentEncoding = encoding;
    return PlainRead::Loaded;
}

// ==== Naming ====

bool endsWithWordProcessorExtension(const char* name) {
    const size_t length = std::strlen(name);
    if (length < 4) return false;
    const char* ext = name + length - 4;
    return ext[0] == '.' && (ext[1] | 0x20) == 'd' && (ext[2] | 0x20) == 'o' && (ext[3] | 0x20) == 'c';
}

// Removes one leading and one trailing double quote, as the command line delivers them.
std::string withoutQuotes(const char* path) {
    std::string name = path ? path : "";
    if (!name.empty() && name.front() == '"') name.erase(0, 1);
    if (!name.empty() && name.back() == '"') name.pop_back();
    return name;
}

void reportCannotOpen(const std::string& name) {
    platform::showMessageBox("不能打开文件 \"" + name + "\".", "出错消息", platform::BOX_OK);
}

void finishLoading(bool wordProcessor) {
    doc.modified = 0;
    doc.caretCol = 0;
    view.scrollX = 0;
    doc.topLine = doc.caretLine = doc.head;
    reflow(doc.head, true, true);
    // Wrapping splits lines through the editing operations, which mark the text changed;
    // the text is still the file's, so a freshly loaded document is not modified.
    doc.modified = 0;
    updateScrollBar();
    platform::createCaret(1, LINE_HEIGHT);
    platform::setCaretPosition(0, 0);
    platform::showCaret();
    if (wordProcessor) std::strcat(fileName, WORD_PROCESSOR_SUFFIX);
}

// Reads the pieces as one text (the file name's whole file, or a recovered text); false
// (with the message shown) on failure.
bool readFile(const std::vector<FilePiece>& pieces, bool wordProcessor) {
    const char tabReplacement = platform::isKeyDown(VKEY_SHIFT) ? ',' : '\t';
    PlainRead read = PlainRead::ReadError;
    if (wordProcessor) {
        FILE* file = platform::openFile(pieces.front().path, "rb");
        if (file != nullptr) {
            read = readWordProcessorFile(file, tabReplacement) ? PlainRead::Loaded : PlainRead::ReadError;
            std::fclose(file);
        }
    } else {
        read = readPlainFile(pieces, tabReplacement);
    }
    if (read == PlainRead::Loaded) return true;
    // A directory or a read error: a half-read document would be saved over the file. A
    // refused file: nothing of it may be saved over it either.
    const std::string name = fileName;
    closeDocument();
    setFileName(name.c_str());
    if (read == PlainRead::ReadError) reportCannotOpen(name);
    return false;
}

// Loads the file name's file, or the text recovered for it when the user asks for that.
void loadNamedFile(bool wordProcessor) {
    const std::string savedAs = std::string(fileName) + (wordProcessor ? WORD_PROCESSOR_SUFFIX : "");
    RestoreChoice restore = askToRestore(savedAs);
    if (!restore.pieces.empty()) {
        setFileName(savedAs.c_str());
        if (!readFile(restore.pieces, false)) return;
        finishLoading(false);
        doc.modified = 1;
        adoptRecovery(restore);
        return;
    }
    if (readFile({FilePiece{fileName, 0, -1}}, wordProcessor)) finishLoading(wordProcessor);
}

}  // namespace

void loadFile(const char* path) {
    closeDocument();
    doc.modified = 0;
    const std::string name = withoutQuotes(path);
    bool wordProcessor = false;
    if (!name.empty()) {
        std::string absolute;
        if (!platform::fullPath(name, absolute)) absolute = name;
        std::string trimmed = absolute;
        while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
        wordProcessor = endsWithWordProcessorExtension(trimmed.c_str());
        const size_t room = FILE_NAME_SIZE - 1 - (wordProcessor ? sizeof WORD_PROCESSOR_SUFFIX - 1 : 0);
        if (trimmed.size() > room) {
            // A name cut to fit the buffer would name another file, and a save would go there.
            reportCannotOpen(trimmed);
        } else {
            setFileName(trimmed.c_str());
            loadNamedFile(wordProcessor);
        }
    }
    platform::invalidateAll(false);
    updateTitle();
}

void loadWithDialog() {
    platform::FileDialogRequest request;
    request.title = "打开文件";
    request.filter = "Text(.txt)|*.txt|All Files(*.*)|*.*|";
    std::string chosen;
    if (!platform::chooseFile(request, chosen)) return;
    loadFile(chosen.c_str());
    updateTitle();
}
