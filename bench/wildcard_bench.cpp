// The wildcard matcher at document scale: a find that fails over the whole document,
// side by side with `grep -c` on the same bytes, and a replace-all of a two-character
// word made of wildcard finds and deferred replacements, side by side with `sed`.
// Usage: wildcard_bench [megabytes] (default 100; about 10,000 lines per megabyte).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "document/document.h"
#include "document/memory.h"
#include "document/undo_ring.h"
#include "files/close_document.h"
#include "search/find_state.h"
#include "search/replace_template.h"
#include "search/wildcard.h"
#include "support/fake_platform.h"
#include "view/view_state.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double timeCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "(%s did not succeed)\n", command.c_str());
    return secondsSince(start);
}

// Lines of about 100 bytes: common characters, some ASCII, and the word "中国" on about
// every second line.
std::string makeText(int lines) {
    static const char* const words[] = {"的", "是", "在", "有", "人", "这", "个", "们", "来", "到",
                                        "时", "大", "地", "为", "子", "说", "生", "国", "年", "着",
                                        "，", "。", "abc", " 12", "、", "中"};
    std::mt19937 rng(7);
    std::string text;
    text.reserve(static_cast<size_t>(lines) * 104);
    for (int i = 0; i < lines; ++i) {
        std::string line;
        const bool withWord = rng() % 2 == 0;
        const size_t wordAt = rng() % 90;
        while (line.size() < 98) {
            if (withWord && line.size() >= wordAt && line.find("中国") == std::string::npos) line += "中国";
            line += words[rng() % (sizeof(words) / sizeof(words[0]))];
        }
        text += line + "\r\n";
    }
    return text;
}

void loadText(const std::string& text) {
    closeDocument();
    resetUndo();
    LineNode* last = nullptr;
    size_t from = 0;
    while (from < text.size()) {
        const size_t end = text.find("\r\n", from);
        last = last ? insertLineAfter(last) : appendLine();
        last->text = copyBytesOrExit(text.data() + from, end - from);
        from = end + 2;
    }
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
    doc.modified = 0;
}

void setPattern(const char* find, const char* templ) {
    std::strcpy(findState.findText, find);
    std::strcpy(findState.replaceText, templ);
    findState.findTextPointer = findState.findText;
    findState.replaceTextPointer = findState.replaceText;
}

// Selects the match just found on its line (the matches here never cross a line).
void selectMatch() {
    doc.caretLine = findState.matchStartLine;
    doc.caretCol = findState.matchStartCol;
    doc.caretLine->flags |= LN_SELECTED;
    doc.selStartLine = doc.selEndLine = doc.caretLine;
    doc.selStartCol = doc.caretCol;
    doc.selEndCol = doc.anchorCol;
}

void moveRight() {
    const int length = static_cast<int>(std::strlen(doc.caretLine->text));
    if (doc.caretCol < length)
        doc.caretCol += (static_cast<unsigned char>(doc.caretLine->text[doc.caretCol]) >= 0x81) ? 2 : 1;
    else if (doc.caretLine->next)
        doc.caretLine = doc.caretLine->next, doc.caretCol = 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 100;
    const int lines = megabytes * 10000;
    resetFakePlatform();
    initUndo();
    view = ViewState{};
    view.clientWidth = 800;
    view.clientHeight = 600;

    const std::string text = makeText(lines);
    const std::string path = "/tmp/kesh_wildcard_bench.txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    loadText(text);
    std::printf("document: %d lines, %.1f MB\n", lines, text.size() / 1e6);

    // A failing find: "马达" does not occur.
    setPattern("马达", "");
    auto start = std::chrono::steady_clock::now();
    findState.found = 0;
    wildcardFind(false);
    const double findSeconds = secondsSince(start);
    const double grepSeconds = timeCommand("LC_ALL=C grep -c \"$(printf '\\302\\355\\264\\357')\" " + path + " > /dev/null");
    std::printf("failing find: %.3f s; grep -c: %.3f s; ratio %.2f\n", findSeconds, grepSeconds,
                findSeconds / grepSeconds);

    // Replace all "中国" by "华夏".
    setPattern("中国", "华夏");
    int count = 0;
    start = std::chrono::steady_clock::now();
    for (bool first = true;; first = false) {
        if (!first) moveRight();
        findState.found = 0;
        wildcardFind(false);
        if (!findState.found) break;
        selectMatch();
        replaceCurrentMatchDeferred();
        ++count;
    }
    const double replaceSeconds = secondsSince(start);
    const double sedSeconds =
        timeCommand("LC_ALL=C sed \"s/$(printf '\\326\\320\\271\\372')/$(printf '\\273\\252\\317\\304')/g\" " + path + " > /dev/null");
    std::printf("replace all (%d matches): %.3f s; sed: %.3f s; ratio %.2f\n", count, replaceSeconds, sedSeconds,
                replaceSeconds / sedSeconds);
    std::remove(path.c_str());
    return 0;
}
