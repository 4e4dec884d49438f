// The regular-expression engine against hostile expressions and long lines: one find of
// each hostile expression on a 100 KB line of "a" (alone, and ending in the bytes the
// expressions need), one find on a single 10 MB
// line, and every matching line of "/[0-9]{11}/g" and of two literals over a whole
// document side by side with grep -c on the same file.
// Usage: regex_bench [megabytes of the document] (default 100; about 10,000 lines per MB).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <random>
#include <string>

#include <sys/resource.h>

#include "document/document.h"
#include "document/memory.h"
#include "document/undo_ring.h"
#include "files/close_document.h"
#include "search/find_state.h"
#include "search/regex.h"
#include "support/fake_platform.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs a shell command; returns its wall-clock seconds, sets `output` to the number it
// prints and `processor` to the processor seconds its children used (the machine may be
// shared).
double timeCommand(const std::string& command, long& output, double& processor) {
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    const auto start = std::chrono::steady_clock::now();
    output = -1;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        if (std::fscanf(pipe, "%ld", &output) != 1) output = -1;
        pclose(pipe);
    }
    const double seconds = secondsSince(start);
    getrusage(RUSAGE_CHILDREN, &after);
    auto total = [](const rusage& usage) {
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    processor = total(after) - total(before);
    return seconds;
}

// The document as lines of the given texts, caret at the start.
void loadLines(const std::vector<std::string>& lines) {
    closeDocument();
    resetUndo();
    LineNode* last = nullptr;
    for (const std::string& text : lines) {
        last = last ? insertLineAfter(last) : appendLine();
        last->text = copyBytesOrExit(text.data(), text.size());
    }
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
}

double processorSecondsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// Times one regexFind from the document's start: wall-clock and processor seconds (the
// machine may be shared, so the processor time is the steadier figure).
double timeFind(const char* expression, bool& found, double& processor) {
    doc.caretLine = doc.head;
    doc.caretCol = 0;
    findState.found = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t processorStart = std::clock();
    regexFind(expression);
    processor = processorSecondsSince(processorStart);
    const double seconds = secondsSince(start);
    found = findState.found != 0;
    return seconds;
}

// Lines of about 100 bytes of Chinese text, words and digit runs of 3 to 12 digits; an
// 11-digit run on about one line in 50.
std::vector<std::string> makeDocument(int lineCount, std::string& bytes) {
    static const char* const words[] = {"的", "是", "在", "有", "人", "电话", "，", "。", "abc", " ", "号码"};
    std::mt19937 rng(11);
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(lineCount));
    for (int i = 0; i < lineCount; ++i) {
        std::string line;
        while (line.size() < 98) {
            if (rng() % 8 == 0) {
                const int digits = rng() % 50 == 0 ? 11 : 3 + static_cast<int>(rng() % 7);
                for (int d = 0; d < digits; ++d) line += static_cast<char>('0' + rng() % 10);
                line += words[rng() % 4];
            } else {
                line += words[rng() % (sizeof words / sizeof *words)];
            }
        }
        bytes += line + "\r\n";
        lines.push_back(std::move(line));
    }
    return lines;
}

// Finds every line that holds a match of `expression`, one find each from the start of the
// line after the last match, as grep -c counts lines.
double timeEveryMatchingLine(const char* expression, int& matches, double& processor) {
    matches = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t processorStart = std::clock();
    doc.caretLine = doc.head;
    doc.caretCol = 0;
    for (;;) {
        findState.found = 0;
        regexFind(expression);
        if (!findState.found) break;
        ++matches;
        if (findState.matchStartLine->next == nullptr) break;
        doc.caretLine = findState.matchStartLine->next;
        doc.caretCol = 0;
    }
    processor = processorSecondsSince(processorStart);
    return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 100;
    resetFakePlatform();
    initUndo();

    const char* const hostile[] = {"/a*a*a*a*a*c/g", "/.*.*.*.*=/g",    "/(a|b|a)*c/g",   "/(a*)*b/g",
                                   "/a+a+a+a+a+a+b/g", "/(aa|a)*c/g",  "/a{1,30000}a{1,30000}c/g",
                                   "/\\w*\\w*\\w*\\w*$x/g", "/[^b]*[^b]*[^b]*b/g", "/(.*a){10}c/g"};
    // Without its required bytes a line is passed over at once; with them at its end every
    // start before them is tried.
    for (const char* tail : {"", "=bxc"}) {
        std::printf("One find on a 100 KB line of \"a\"%s%s:\n", *tail ? " ending in " : " (no match)", tail);
        loadLines({std::string(100 * 1000, 'a') + tail});
        for (const char* expression : hostile) {
            bool found = false;
            double processor = 0;
            const double seconds = timeFind(expression, found, processor);
            std::printf("  %-28s %8.1f ms (processor %.1f ms)%s\n", expression, seconds * 1e3, processor * 1e3,
                        found ? "  (found)" : "");
        }
    }

    std::printf("One find on a single 10 MB line:\n");
    std::string longLine(10 * 1000 * 1000, 'a');
    longLine += "c";
    loadLines({longLine});
    for (const char* expression : {"/a*a*c/g", "/.*.*=/g", "/[0-9]{11}/g", "/xyz/g"}) {
        bool found = false;
        double processor = 0;
        const double seconds = timeFind(expression, found, processor);
        std::printf("  %-28s %8.1f ms (processor %.1f ms)  %s\n", expression, seconds * 1e3, processor * 1e3,
                    found ? "found" : "not found");
    }

    std::string bytes;
    loadLines(makeDocument(megabytes * 10000, bytes));
    const std::string path = "/tmp/kesh_regex_bench.txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    std::printf("Every matching line over a %.1f MB document (%d lines), one find each, beside grep -c:\n",
                bytes.size() / 1e6, megabytes * 10000);
    struct Case {
        const char* expression;
        std::string grep;
    };
    // The literals are words of the generated text, in this file's bytes. grep reads bytes
    // (LC_ALL=C) as the engine does, and its output goes to a pipe: with its output on
    // /dev/null it would stop at the first match.
    const Case cases[] = {{"/[0-9]{11}/g", "LC_ALL=C grep -cE '[0-9]{11}' "},
                          {"/电话号码/g", "LC_ALL=C grep -c '电话号码' "},
                          {"/abc的/g", "LC_ALL=C grep -c 'abc的' "}};
    for (const Case& c : cases) {
        double processor = 0, grepProcessor = 0;
        int matches = 0;
        const double seconds = timeEveryMatchingLine(c.expression, matches, processor);
        long grepLines = 0;
        const double grepSeconds = timeCommand(c.grep + path, grepLines, grepProcessor);
        std::printf("  %-16s %6d lines in %.3f s (processor %.3f s); grep %ld lines in %.3f s (processor %.3f s)\n",
                    c.expression, matches, seconds, processor, grepLines, grepSeconds, grepProcessor);
    }
    std::remove(path.c_str());
    closeDocument();
    return 0;
}
