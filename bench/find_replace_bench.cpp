// Replace All and a failing find over a large generated GBK document, each timed beside the
// stream tool that does the same work on the same file: sed for the replace-all, grep -c
// for the find of a word that does not occur. The one undo step of the replace-all is
// timed too (undo, then redo), with the memory its record keeps.
//
// Usage: find_replace_bench [megabytes]   (default 100; the file goes to $TMPDIR or /tmp)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "document/document.h"
#include "document/memory.h"
#include "document/undo_ring.h"
#include "edit/undo_redo.h"
#include "files/close_document.h"
#include "search/find_replace.h"
#include "search/wildcard.h"
#include "support/fake_platform.h"
#include "view/active_window.h"
#include "view/view_state.h"

namespace {

const char* const WORD = "人民";     // occurs on every other line
const char* const NEW_WORD = "公民";
const char* const ABSENT = "无有";   // occurs nowhere

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// About `megabytes` MB of lines of about 100 bytes, CR LF ended; every other line holds
// the word once. Returns the number of occurrences.
long writeDocument(const std::string& path, long megabytes) {
    // Lines of 98 and 102 bytes: about ten thousand lines per megabyte.
    std::string plain = "第一章 总则 The quick brown fox jumps over the lazy dog, 0123456789 中华文化.";
    plain.resize(96, '.');
    plain += "\r\n";
    std::string withWord = plain;
    withWord.insert(13, WORD);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::exit(1);
    long written = 0, occurrences = 0;
    for (long i = 0; written < megabytes * 1000 * 1000; ++i) {
        const std::string& line = i % 2 ? plain : withWord;
        std::fwrite(line.data(), 1, line.size(), file);
        written += static_cast<long>(line.size());
        occurrences += i % 2 ? 0 : 1;
    }
    std::fclose(file);
    return occurrences;
}

// The file's lines as the document, caret at its start (what loading leaves).
void loadDocument(const std::string& path) {
    closeDocument();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) std::exit(1);
    char buffer[4096];
    LineNode* last = nullptr;
    while (std::fgets(buffer, sizeof buffer, file)) {
        size_t length = std::strlen(buffer);
        while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r')) --length;
        last = last ? insertLineAfter(last) : appendLine();
        last->text = copyBytesOrExit(buffer, length);
    }
    std::fclose(file);
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
    doc.modified = 0;
}

double timeCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    return secondsSince(start);
}

// Bytes the newest record keeps: the packed records and where each begins (malloc's own
// overhead left out).
size_t bytesKeptByNewestRecord() {
    const UndoRecord* record = undoRing.newest;
    const int count = record->memberCount;
    if (count == 0) return 0;
    UndoRecord last;
    readGroupMember(record, count - 1, last);
    const size_t lastSize = 16 + (last.text ? std::strlen(last.text) : 0) + sizeof(int) * last.lineEndCount;
    return record->memberStarts[count - 1] + lastSize + sizeof(size_t) * static_cast<size_t>(count);
}

// The Replace dialog as it stands open with these texts.
void openReplaceDialogWith(const char* findText, const char* templ) {
    findState = FindState{};
    openReplaceDialog();
    std::strcpy(findState.findText, findText);
    std::strcpy(findState.replaceText, templ);
    fake().findDialogReport = platform::FindDialogReport{REPLACE_DIALOG_FLAGS, findText, templ};
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 100;
    const char* folder = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    const std::string path = std::string(folder) + "/kesh_find_replace_bench.txt";
    const std::string script = std::string(folder) + "/kesh_find_replace_bench.sed";
    const long occurrences = writeDocument(path, megabytes);
    FILE* sedScript = std::fopen(script.c_str(), "wb");
    std::fprintf(sedScript, "s/%s/%s/g\n", WORD, NEW_WORD);
    std::fclose(sedScript);
    view.clientWidth = 800;
    view.clientHeight = 600;
    initUndo();

    loadDocument(path);
    std::printf("document: %ld MB, %d lines, %ld occurrences of the word\n", megabytes, lineCount(), occurrences);

    // ---- Replace All beside sed ----
    openReplaceDialogWith(WORD, NEW_WORD);
    fake().findDialogReport.flags = FIND_DIALOG_FLAGS | FR_REPLACEALL;  // the button's bit alone
    auto start = std::chrono::steady_clock::now();
    onFindReplace();
    const double replaceAll = secondsSince(start);
    const double sed = timeCommand("LC_ALL=C sed -f '" + script + "' '" + path + "' > /dev/null");
    std::printf("replace all: %.3f s   sed: %.3f s   ratio %.2f   (%s)\n", replaceAll, sed, replaceAll / sed,
                fake().messageBoxes.empty() ? "no message" : fake().messageBoxes.back().text.c_str());

    // ---- Its one undo step ----
    const size_t kept = bytesKeptByNewestRecord();
    std::printf("undo keeps %.1f MB in %d records for %ld replacements (%.1f MB of changed lines)\n", kept / 1e6,
                undoRing.newest->memberCount, occurrences, occurrences * 102 / 1e6);
    start = std::chrono::steady_clock::now();
    undo();
    const double undoTime = secondsSince(start);
    start = std::chrono::steady_clock::now();
    redo();
    std::printf("undo: %.3f s   redo: %.3f s\n", undoTime, secondsSince(start));

    // ---- A find of an absent word beside grep -c ----
    doc.caretLine = doc.head;
    doc.caretCol = 0;
    std::strcpy(findState.findText, ABSENT);
    findState.replaceMode = 1;  // no message box: only the search is timed
    start = std::chrono::steady_clock::now();
    const bool found = findNext(false);
    const double find = secondsSince(start);
    const std::string grepCommand = std::string("LC_ALL=C grep -c '") + ABSENT + "' '" + path + "' > /dev/null";
    const double grep = timeCommand(grepCommand + " || true");
    std::printf("failing find: %.3f s (%s)   grep -c: %.3f s   ratio %.2f\n", find, found ? "found!" : "not found",
                grep, find / grep);

    closeDocument();
    std::remove(path.c_str());
    std::remove(script.c_str());
    return 0;
}
