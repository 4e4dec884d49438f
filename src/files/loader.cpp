#include "files/loader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "platform/virtual_keys.h"
#include "document/document.h"
#include "document/gbk.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "document/raw_lines.h"
#include "document/text.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"
#include "edit/reflow.h"
#include "files/close_document.h"
#include "files/recovery.h"

namespace {

constexpr int END_OF_INPUT = -1;
constexpr int NO_LOOKAHEAD = -2;
constexpr long WORD_PROCESSOR_TEXT_START = 2560;
constexpr char WORD_PROCESSOR_SUFFIX[] = ".txt";

// ==== Byte sources ====

// Buffered byte input from the file, in plain mode one raw byte a fetch; in
// word-processor mode one 16-bit unit converted to the ANSI code page, whose second
// output byte (if any) is the next fetch.
struct ByteSource {
    std::vector<FilePiece> pieces;  // read one after another as one text
    size_t nextPiece = 0;
    FILE* file = nullptr;  // the piece being read, owned
    int64_t pieceLeft = -1;  // bytes still to read from it; -1: up to its end
    bool wordProcessor = false;
    bool failed = false;  // a read error, as opposed to the end of the file
    unsigned char buffer[65536];
    size_t filled = 0, next = 0;
    int pendingByte = END_OF_INPUT;
    int lookahead = NO_LOOKAHEAD;

    ~ByteSource() {
        if (file) std::fclose(file);
    }

    // Opens the next piece at its offset; false at the end of the pieces or when it cannot
    // be opened (a failure then).
    bool openNextPiece() {
        if (file) std::fclose(file);
        file = nullptr;
        if (nextPiece == pieces.size()) return false;
        const FilePiece& piece = pieces[nextPiece++];
        file = platform::openFile(piece.path, "rb");
        // fseek takes a long, which is 32 bits on Windows: a farther offset is refused, not wrapped.
        const bool reachable = piece.offset <= std::numeric_limits<long>::max();
        if (file == nullptr || !reachable ||
            (piece.offset > 0 && std::fseek(file, static_cast<long>(piece.offset), SEEK_SET) != 0)) {
            failed = true;
            return false;
        }
        pieceLeft = piece.length;
        return true;
    }

    int rawByte() {
        while (next == filled) {
            const size_t wanted = pieceLeft < 0 ? sizeof buffer : std::min<size_t>(sizeof buffer, pieceLeft);
            filled = file && wanted > 0 ? std::fread(buffer, 1, wanted, file) : 0;
            next = 0;
            if (filled > 0) {
                if (pieceLeft > 0) pieceLeft -= static_cast<int64_t>(filled);
                break;
            }
            // A piece that ends before its length is as much a failure as a read error.
            if (file && (std::ferror(file) || pieceLeft > 0)) failed = true;
            if (failed || !openNextPiece()) return END_OF_INPUT;
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

    // A control byte the loader drops (in word-processor mode a NUL ends the text instead).
    bool isDropped(int byte) const { return isDroppedControlByte(byte) && !(byte == 0x00 && wordProcessor); }

    int fetchUnit() {
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

// Takes the bytes that follow in the buffer as long as they need no decision: printable
// single bytes and whole pairs, appended as they are. Called after a character or a single
// byte, so no carriage return is pending; anything else (control bytes, line ends, a first
// byte whose second byte is not in the buffer or cannot be one, the end of the buffer) is
// left to the byte-by-byte loop. Plain mode only, and only with nothing looked ahead.
void appendPlainRun(ByteSource& source, LineBuffer& line) {
    if (source.wordProcessor || source.lookahead != NO_LOOKAHEAD) return;
    const unsigned char* bytes = source.buffer;
    const size_t end = source.filled;
    size_t at = source.next;
    while (at < end) {
        const unsigned char byte = bytes[at];
        if (byte >= 0x20 && !isLeadByte(byte)) {  // a printable single byte
            line.append(byte);
            ++at;
        } else if (isLeadByte(byte) && at + 1 < end && isTrailByte(bytes[at + 1])) {
            line.append(byte);
            line.append(bytes[at + 1]);
            at += 2;
        } else {
            break;
        }
    }
    source.next = at;
}

// Appends the assembled line to the document (after `tail`) and empties the buffer.
LineNode* storeLine(LineBuffer& line, LineNode* tail) {
    LineNode* node = tail ? insertLineAfter(tail) : appendLine();
    node->text = storeLineText(line.bytes, line.count, EXIT_STATUS_LOADER);
    node->flags = LN_HARD_RETURN;
    line.count = 0;
    return node;
}

// Reads the whole source into lines. NUL (in plain mode it is dropped instead) and
// Ctrl-Z end the text; the line then pending is stored, so the document always ends with
// the text after the last line end, empty or not. Characters and line ends follow
// RawLineReader; tabs become `tabReplacement`, other control bytes are dropped.
void readLines(ByteSource& source, char tabReplacement) {
    // Nodes and texts are carved from large blocks: two heap allocations a line would
    // add about half again to a file of short lines.
    LineCarving carving(EXIT_STATUS_LOADER);
    LineBuffer line;
    LineNode* tail = nullptr;
    RawLineReader reader;
    for (;;) {
        const int c = source.fetch();
        if (c == END_OF_INPUT || c == 0x1A || (c == 0x00 && source.wordProcessor)) break;
        // A NUL inside a plain file is dropped like the other control bytes, so the text
        // after it is still loaded (and a later save cannot lose it).
        if (source.isDropped(c)) continue;
        // Only a first byte asks what follows it.
        const int next = isLeadByte(static_cast<unsigned char>(c)) ? source.peekPastDropped() : END_OF_INPUT;
        switch (reader.roleOf(c, next)) {
            case RawByteRole::Pair:
                line.append(c);
                line.append(source.fetch());
                appendPlainRun(source, line);
                break;
            case RawByteRole::LineEnd: tail = storeLine(line, tail); break;
            case RawByteRole::SkippedLineFeed: break;
            case RawByteRole::Single:
                if (c == 0x09)
                    line.append(tabReplacement);
                else if (c >= 0x20)
                    line.append(c);
                appendPlainRun(source, line);
                break;
        }
    }
    doc.caretLine = storeLine(line, tail);
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
    auto* source = new ByteSource;
    source->pieces = pieces;
    source->wordProcessor = wordProcessor;
    if (!source->openNextPiece()) {
        delete source;
        reportCannotOpen(fileName);
        return false;
    }
    readLines(*source, tabReplacement);
    const bool failed = source->failed;
    delete source;
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
    const FilePiece whole{fileName, wordProcessor ? WORD_PROCESSOR_TEXT_START : 0, -1};
    if (readFile({whole}, wordProcessor)) finishLoading(wordProcessor);
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
