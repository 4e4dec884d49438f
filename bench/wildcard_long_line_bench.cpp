// The wildcard matcher on one long line where every start position begins the same long
// run or bracket capture: failing finds of "\N元" over digits, "\C元" over Chinese
// characters and "\()" over opening brackets, each beside `grep -c` on the same bytes.
// Usage: wildcard_long_line_bench [scale] (default 1: lines of 1 and 10 MB; 0.01 times
// every line a hundredth as long).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "document/document.h"
#include "document/memory.h"
#include "document/undo_ring.h"
#include "files/close_document.h"
#include "search/find_state.h"
#include "search/wildcard.h"
#include "support/fake_platform.h"
#include "view/view_state.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs `command` and returns its seconds; its first output line goes to *output.
double timeCommand(const std::string& command, std::string* output) {
    const auto start = std::chrono::steady_clock::now();
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[64] = "";
    if (pipe == nullptr || std::fgets(buffer, sizeof buffer, pipe) == nullptr) std::strcpy(buffer, "?");
    if (pipe) pclose(pipe);
    const double seconds = secondsSince(start);
    *output = std::string(buffer, std::strcspn(buffer, "\n"));
    return seconds;
}

// `bytes` bytes of `unit` repeated (whole units only).
std::string repeated(const std::string& unit, size_t bytes) {
    std::string text;
    text.reserve(bytes);
    while (text.size() + unit.size() <= bytes) text += unit;
    return text;
}

// The document becomes the one line `text`, caret at its start.
void loadLine(const std::string& text) {
    closeDocument();
    resetUndo();
    LineNode* line = appendLine();
    line->text = copyBytesOrExit(text.data(), text.size());
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
    doc.modified = 0;
}

// Times a find of `pattern` in the line `text` and `grep -c` of `grepPattern` (a shell
// word, C locale) in a file of the same bytes.
void compare(const char* label, const std::string& text, const char* pattern, const std::string& grepPattern) {
    const std::string path = "/tmp/kesh_wildcard_long_line_bench.txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fwrite("\r\n", 1, 2, file);
    std::fclose(file);
    loadLine(text);
    std::strcpy(findState.findText, pattern);
    findState.findTextPointer = findState.findText;
    findState.found = 0;
    const auto start = std::chrono::steady_clock::now();
    wildcardFind(false);
    const double findSeconds = secondsSince(start);
    std::string count;
    const double grepSeconds = timeCommand("LC_ALL=C grep -c " + grepPattern + " " + path, &count);
    const double megabytes = text.size() / 1e6;
    std::printf("%-30s %6.2f MB: find %.4f s (%.4f s per MB, %s); grep -c: %.4f s (%s)\n", label, megabytes,
                findSeconds, findSeconds / megabytes, findState.found ? "found" : "not found", grepSeconds,
                count.c_str());
    std::remove(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const size_t megabyte = static_cast<size_t>(1e6 * scale);
    resetFakePlatform();
    initUndo();
    view = ViewState{};
    view.clientWidth = 800;
    view.clientHeight = 600;
    const std::string yuan = "$(printf '\\324\\252')";  // "元" in GBK, for the shell
    // The labels are ASCII, so the figures read the same in any terminal.
    compare("\\N<yuan> over digits", repeated("0123456789", megabyte), "\\N元", "\"[0-9]" + yuan + "\"");
    compare("\\N<yuan> over digits", repeated("0123456789", 10 * megabyte), "\\N元", "\"[0-9]" + yuan + "\"");
    compare("\\C<yuan> over Chinese", repeated("中文字符", 10 * megabyte), "\\C元", "\"" + yuan + "\"");
    compare("\\() over \"(\"", repeated("(", megabyte), "\\()", "')'");
    return 0;
}
