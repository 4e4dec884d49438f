#include "support/test_document.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

#include "view/active_window.h"
#include "app/key_bindings.h"
#include "app/line_commands.h"
#include "app/recorder.h"
#include "document/line_storage.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "view/comment_memo.h"
#include "view/view_state.h"
#include "files/close_document.h"
#include "search/find_state.h"
#include "search/wildcard.h"

void resetCore() {
    closeDocument();
    freeDeletedLineBuffer();
    freeSequence();
    recorder = Recorder{};
    freeKeyBindingTable();
    freeUndo();
    initUndo();
    view = ViewState{};
    findState = FindState{};
    freeCaptures();
    activeWindow = ACTIVE_MAIN;
    resetFakePlatform();
}

namespace {

// The lines of a new document, carved from blocks as loading does, or each on the heap.
void buildDocument(const std::vector<std::string>& lines, bool carved) {
    closeDocument();
    {
        // Laid out as loading lays out a file: nodes and texts carved from blocks, so a
        // free or realloc of a line's text outside the line storage is reported here.
        std::unique_ptr<LineCarving> carving;
        if (carved) carving = std::make_unique<LineCarving>(EXIT_STATUS_LOADER);
        for (const std::string& text : lines)
            appendLine()->text = storeLineText(text.data(), text.size(), EXIT_STATUS_LOADER);
        if (lines.empty()) appendLine()->text = storeLineText("", 0, EXIT_STATUS_LOADER);
    }
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
    doc.modified = 0;
    // Remembered from the start, so the invariant check sees any change to the lines
    // that does not set modified.
    rememberAllCommentDepths();
}

}  // namespace

void setDocument(const std::vector<std::string>& lines) { buildDocument(lines, true); }

void setDocumentOnHeap(const std::vector<std::string>& lines) { buildDocument(lines, false); }

void selectOnFirstLine(int anchorCol, int caretCol) {
    doc.caretLine = doc.anchorLine = doc.head;
    doc.anchorCol = anchorCol;
    doc.caretCol = caretCol;
    updateSelection();
}

std::vector<std::string> documentLines() {
    std::vector<std::string> lines;
    for (const LineNode* line = doc.head; line; line = line->next) lines.emplace_back(line->text);
    return lines;
}

LineNode* lineAt(int index) {
    LineNode* line = doc.head;
    while (line && index-- > 0) line = line->next;
    return line;
}

std::string documentInvariantViolation() {
    if (doc.head == nullptr) {
        if (doc.caretLine || doc.topLine || doc.anchorLine || doc.selStartLine || doc.selEndLine)
            return "a reference outlives the document";
        return "";
    }
    if (doc.head->prev != nullptr) return "head has a predecessor";
    std::set<const LineNode*> lines;
    for (const LineNode* line = doc.head; line; line = line->next) {
        if (line->text == nullptr) return "a line without text";
        if (line->next && line->next->prev != line) return "broken prev link";
        if ((line->flags & ~(LN_HARD_RETURN | LN_SELECTED | LN_BOOKMARK | LN_STYLE)) != 0) return "unknown flag bits";
        lines.insert(line);
    }
    auto inList = [&](const LineNode* line) { return line == nullptr || lines.count(line) != 0; };
    if (!inList(doc.caretLine) || doc.caretLine == nullptr) return "caretLine outside the list";
    if (!inList(doc.topLine) || doc.topLine == nullptr) return "topLine outside the list";
    if (!inList(doc.anchorLine)) return "anchorLine outside the list";
    if (!inList(doc.selStartLine)) return "selStartLine outside the list";
    if (!inList(doc.selEndLine)) return "selEndLine outside the list";
    if (const char* positions = rememberedPositionsViolation()) return positions;
    return commentMemoViolation();
}

std::string testFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "kesh_tests" /
                                   (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::string writeTempFile(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = std::filesystem::path(testFolder()) / name;
    FILE* file = std::fopen(path.string().c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path.string();
}

std::string readFileBytes(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return "<missing>";
    std::string bytes;
    char chunk[4096];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, count);
    std::fclose(file);
    return bytes;
}
