#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "document/document.h"
#include "support/fake_platform.h"
#include "support/test_document.h"
#include "view/view_state.h"

unsigned FuzzInput::below(unsigned limit) {
    if (limit == 0 || used_ >= size_) return 0;
    unsigned value = data_[used_++];
    if (limit > 256 && used_ < size_) value = value << 8 | data_[used_++];
    return value % limit;
}

std::string FuzzInput::bytes(size_t maxLength) {
    const size_t length = below(static_cast<unsigned>(maxLength + 1));
    const size_t available = size_ - used_;
    const size_t taken = length < available ? length : available;
    std::string out(reinterpret_cast<const char*>(data_ + used_), taken);
    used_ += taken;
    return out;
}

std::string FuzzInput::rest() {
    std::string out(reinterpret_cast<const char*>(data_ + used_), size_ - used_);
    used_ = size_;
    return out;
}

void freshCore() {
    resetCore();
    view.clientWidth = fake().clientWidth;
    view.clientHeight = fake().clientHeight;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\0')
            lines.back() += c;
    }
    return lines;
}

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

void requireInvariants() {
    const std::string violation = documentInvariantViolation();
    if (violation.empty()) return;
    std::fprintf(stderr, "invariant failed: %s\n", violation.c_str());
    std::abort();
}

std::string savedBytes() {
    std::string out;
    for (const LineNode* line = doc.head; line; line = line->next) {
        out += line->text ? line->text : "";
        const bool finalBreak = line->next == nullptr && (!line->text || !line->text[0]) &&
                                (line->prev == nullptr || (line->prev->flags & LN_HARD_RETURN));
        if ((line->flags & LN_HARD_RETURN) && !finalBreak) out += "\r\n";
    }
    return out;
}

std::string scratchPath(const char* name) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kesh_fuzz_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}
