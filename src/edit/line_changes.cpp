#include "edit/line_changes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "document/line_storage.h"
#include "document/memory.h"
#include "document/selection.h"

namespace {

// A fingerprint of a line's text and recorded flags: undo checks with it that a line still
// holds what the change left there before it swaps the line back.
uint64_t fingerprint(const char* text, uint32_t flags) {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        hash = (hash ^ *p) * 1099511628211ull;
    return (hash ^ (flags & LINE_IMAGE_FLAGS)) * 1099511628211ull;
}

uint64_t fingerprintOf(const LineNode* line) { return fingerprint(line->text, line->flags); }

bool differs(const LineChanges::Earlier& entry) {
    return entry.text != entry.line->text || (entry.flags & LINE_IMAGE_FLAGS) != (entry.line->flags & LINE_IMAGE_FLAGS);
}

// The document's lines at the images' indices (ascending), or an empty list when the
// document has fewer lines.
std::vector<LineNode*> linesAt(const LineImage* images, int count) {
    std::vector<LineNode*> lines;
    lines.reserve(static_cast<size_t>(count));
    LineNode* line = doc.head;
    int index = 0;
    for (int i = 0; i < count; ++i) {
        while (line && index < images[i].index) line = line->next, ++index;
        if (line == nullptr) return {};
        lines.push_back(line);
    }
    return lines;
}

// Which noted lines are still in the document, found in one walk over it.
std::vector<bool> notedLinesPresent(const LineChanges& changes) {
    std::vector<bool> present(changes.earlier.size(), false);
    if (changes.earlier.empty()) return present;
    for (const LineNode* line = doc.head; line; line = line->next) {
        const auto found = changes.noted.find(line);
        if (found != changes.noted.end()) present[found->second] = true;
    }
    return present;
}

}  // namespace

void beginLineChanges(LineChanges& changes) {
    changes = LineChanges{};
    changes.caretOffsetBefore = hasDocument() ? caretOffset() : 0;
}

void noteLineWas(LineChanges& changes, LineNode* line, const std::string& text, uint32_t flags) {
    if (!changes.noted.emplace(line, changes.earlier.size()).second) return;
    changes.earlier.push_back({line, text, flags});
}

void noteLineBefore(LineChanges& changes, LineNode* line) { noteLineWas(changes, line, line->text, line->flags); }

bool recordLineChanges(LineChanges& changes) {
    if (undoRing.replaying != 0) return false;
    std::vector<const LineChanges::Earlier*> changed;
    const std::vector<bool> present = notedLinesPresent(changes);
    for (size_t i = 0; i < changes.earlier.size(); ++i)
        if (present[i] && differs(changes.earlier[i])) changed.push_back(&changes.earlier[i]);
    if (changed.empty()) return false;
    auto* images = static_cast<LineImage*>(allocateOrExit(sizeof(LineImage) * changed.size()));
    for (size_t i = 0; i < changed.size(); ++i) {
        const LineChanges::Earlier& entry = *changed[i];
        images[i] = {lineIndex(entry.line), entry.flags & LINE_IMAGE_FLAGS,
                     copyBytesOrExit(entry.text.data(), entry.text.size()), fingerprintOf(entry.line)};
    }
    std::sort(images, images + changed.size(), [](const LineImage& a, const LineImage& b) { return a.index < b.index; });
    UndoRecord* record = pushUndo();
    record->kind = UNDO_LINES;
    record->offset = changes.caretOffsetBefore;
    record->offsetAfter = caretOffset();
    setLineImages(record, images, static_cast<int>(changed.size()));
    return true;
}

void revertLineChanges(LineChanges& changes) {
    const std::vector<bool> present = notedLinesPresent(changes);
    for (size_t i = 0; i < changes.earlier.size(); ++i) {
        const LineChanges::Earlier& entry = changes.earlier[i];
        if (!present[i] || !differs(entry)) continue;
        replaceLineText(entry.line, copyBytesOrExit(entry.text.data(), entry.text.size()));
        entry.line->flags = (entry.line->flags & ~LINE_IMAGE_FLAGS) | (entry.flags & LINE_IMAGE_FLAGS);
    }
    changes.earlier.clear();
    changes.noted.clear();
}

bool swapLineImages(UndoRecord* record, bool undoing) {
    LineImage* images = record->images;
    const std::vector<LineNode*> lines = linesAt(images, record->imageCount);
    if (lines.empty()) return false;
    for (int i = 0; i < record->imageCount; ++i)
        if (fingerprintOf(lines[static_cast<size_t>(i)]) != images[i].shownHash) return false;
    clearSelection();
    for (int i = 0; i < record->imageCount; ++i) {
        LineNode* line = lines[static_cast<size_t>(i)];
        LineImage& image = images[i];
        char* shown = line->text;
        const uint32_t shownFlags = line->flags & LINE_IMAGE_FLAGS;
        line->text = image.text;
        line->flags = (line->flags & ~LINE_IMAGE_FLAGS) | image.flags;
        image.text = shown;
        image.flags = shownFlags;
        image.shownHash = fingerprintOf(line);
    }
    doc.modified = 1;
    placeCaretAtOffset(undoing ? record->offset : record->offsetAfter);
    return true;
}
