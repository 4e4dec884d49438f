#include "files/loader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/messages.h"
#include "document/document.h"
#include "document/memory.h"
#include "document/text.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"

namespace {

constexpr int END_OF_INPUT = -1;
constexpr long WORD_PROCESSOR_TEXT_START = 2560;
constexpr char WORD_PROCESSOR_SUFFIX[] = ".txt";

// ==== Byte sources ====

// Buffered byte input from the file, in plain mode one raw byte a fetch; in
// word-processor mode one 16-bit unit converted to the ANSI code page, whose second
// output byte (if any) is the next fetch.
struct ByteSource {
    FILE* file = nullptr;
    bool wordProcessor = false;
    bool failed = false;  // a read error, as opposed to the end of the file
    unsigned char buffer[65536];
    size_t filled = 0, next = 0;
    int pendingByte = END_OF_INPUT;

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

    int fetch() {
        if (!wordProcessor) return rawByte();
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

// ==== Line assembly ====

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
    node->text = copyBytesOrExit(line.bytes, line.count, EXIT_STATUS_LOADER);
    node->flags = LN_HARD_RETURN;
    line.count = 0;
    return node;
}

// Runs the byte state machine over the whole source.
void readLines(ByteSource& source, char tabReplacement) {
    LineBuffer line;
    LineNode* tail = nullptr;
    bool trail = false;  // the next byte is the second byte of a double-byte character
    bool ended = false;
    int c = source.fetch();
    while (!ended) {
        if (c == END_OF_INPUT || c == 0x1A || (c == 0x00 && source.wordProcessor)) {
            ended = true;
            c = 0x0D;
        } else if (c == 0x00) {
            // A NUL inside a plain file is dropped like the other control bytes, so the
            // text after it is still loaded (and a later save cannot lose it).
            c = source.fetch();
            continue;
        }
        if (c == 0x8A) {
            if (trail) {
                line.append(c);
                c = source.fetch();
                continue;
            }
            c = 0x0A;
        }
        if (!trail && (c == 0x8D || c == 0x8C || c == 0x0C)) c = 0x0D;
        if (!trail && c >= 0x80 && c <= 0x9F) {
            line.append(c);
            const int second = source.fetch();
            if (second == END_OF_INPUT || second == 0x00) {
                c = second;  // the text ends (or drops the NUL) as it would anyway
                continue;
            }
            line.append(second);
            c = source.fetch();
            continue;
        }
        if (c == 0x0A) {
            if (line.count == 0) {
                c = source.fetch();
                continue;
            }
            c = 0x0D;
        }
        if (c == 0x0D) {
            tail = storeLine(line, tail);
            if (!ended) c = source.fetch();
            continue;
        }
        if (c == 0x09) {
            line.append(tabReplacement);
        } else if (c >= 0x20) {
            if (c <= 0x7E)
                trail = false;
            else if (c > 0xA0)
                trail = !trail;
            line.append(c);
        }
        c = source.fetch();
    }
    doc.caretLine = tail;
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

// Opens, reads and closes the named file; false (with the message shown) on failure.
bool readFile(bool wordProcessor) {
    FILE* file = platform::openFile(fileName, "rb");
    if (file == nullptr) {
        reportCannotOpen(fileName);
        return false;
    }
    const char tabReplacement = platform::isKeyDown(VKEY_SHIFT) ? ',' : '\t';
    auto* source = new ByteSource;
    source->file = file;
    source->wordProcessor = wordProcessor;
    if (wordProcessor) std::fseek(file, WORD_PROCESSOR_TEXT_START, SEEK_SET);
    readLines(*source, tabReplacement);
    const bool failed = source->failed;
    delete source;
    std::fclose(file);
    if (failed) {
        // A directory or a read error: a half-read document would be saved over the file.
        const std::string name = fileName;
        closeDocument();
        setFileName(name.c_str());
        reportCannotOpen(name);
        return false;
    }
    return true;
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
            if (readFile(wordProcessor)) finishLoading(wordProcessor);
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
