#include "view/comment_memo.h"

#include <cstdint>
#include <vector>

#include "view/colouring.h"

namespace {

struct CommentMemo {
    uint64_t changeCount = 0;      // documentChangeCount when the depths were found
    const LineNode* head = nullptr;
    std::vector<unsigned char> depthAtStart;  // entry i: depth at the start of line i
    const LineNode* lastKnown = nullptr;      // the line of the last entry; null: not looked up
};

CommentMemo memo;

bool memoIsCurrent() {
    return memo.head == doc.head && memo.changeCount == documentChangeCount && !memo.depthAtStart.empty();
}

void startMemo() {
    memo.changeCount = documentChangeCount;
    memo.head = doc.head;
    memo.depthAtStart.assign(1, 0);
    memo.lastKnown = doc.head;
}

// Brings the memo up to date with the lines: after changes that all lie at or below one
// line, the depths down to that line still hold and only those below are dropped, so the
// first paint after typing at line 1,000,000 does not rescan the lines above it.
void refreshMemo() {
    if (memoIsCurrent()) return;
    const int firstTouched = memo.head == doc.head ? firstLineTouchedSince(memo.changeCount) : 0;
    if (firstTouched <= 0 || memo.depthAtStart.empty()) {
        startMemo();
        return;
    }
    const size_t keep = static_cast<size_t>(firstTouched) + 1;
    if (keep < memo.depthAtStart.size()) {
        memo.depthAtStart.resize(keep);
        memo.lastKnown = nullptr;
    }
    memo.changeCount = documentChangeCount;
}

// Finds the line of the memo's last entry when it is not known, walking back from `line`
// (index `index`, at or below that entry) or forward from the first line.
void findLastKnown(const LineNode* line, size_t index) {
    if (memo.lastKnown) return;
    const size_t last = memo.depthAtStart.size() - 1;
    if (line == nullptr || index < last) {
        line = doc.head;
        index = 0;
    }
    for (; line && index > last; --index) line = line->prev;
    for (; line && index < last; ++index) line = line->next;
    memo.lastKnown = line;
}

// Extends the memo until it holds line `index` (or the document ends).
void extendMemoTo(size_t index) {
    while (memo.depthAtStart.size() <= index && memo.lastKnown && memo.lastKnown->next) {
        memo.depthAtStart.push_back(
            static_cast<unsigned char>(commentDepthAfter(memo.lastKnown->text, memo.depthAtStart.back())));
        memo.lastKnown = memo.lastKnown->next;
    }
}

// How far up from a line a settling line is looked for before the memo is extended
// down to it instead.
constexpr int MAX_LOOKBACK = 2000;

// A line settles the depth when it ends at the same depth whatever depth it starts at,
// as one holding "*/" or an unclosed "/*" does.
bool settlesDepth(const LineNode* line) { return commentDepthAfter(line->text, 0) == commentDepthAfter(line->text, 1); }

// The depth at the start of `line` found from the nearest settling line above it (or from
// the first line), without the lines further up; false when none is near enough.
bool depthFromSettlingLine(const LineNode* line, int& depth) {
    const LineNode* settling = line->prev;
    for (int steps = 0; settling && !settlesDepth(settling); settling = settling->prev)
        if (++steps > MAX_LOOKBACK) return false;
    depth = settling ? commentDepthAfter(settling->text, 0) : 0;
    for (const LineNode* next = settling ? settling->next : doc.head; next != line; next = next->next)
        depth = commentDepthAfter(next->text, depth);
    return true;
}

}  // namespace

int commentDepthAtStart(const LineNode* line) {
    if (line == nullptr || doc.head == nullptr) return 0;
    refreshMemo();
    const size_t index = static_cast<size_t>(lineIndex(line));
    if (index < memo.depthAtStart.size()) return memo.depthAtStart[index];
    // Far below what is remembered, the lines just above usually settle the question;
    // the memo then grows only when they do not.
    int depth = 0;
    if (index >= memo.depthAtStart.size() + MAX_LOOKBACK && depthFromSettlingLine(line, depth)) return depth;
    findLastKnown(line, index);
    extendMemoTo(index);
    return index < memo.depthAtStart.size() ? memo.depthAtStart[index] : 0;
}

void rememberAllCommentDepths() {
    if (doc.head == nullptr) return;
    refreshMemo();
    findLastKnown(nullptr, 0);
    extendMemoTo(SIZE_MAX);
}

std::string commentMemoViolation() {
    refreshMemo();
    if (!memoIsCurrent()) return "";
    int depth = 0;
    const LineNode* line = doc.head;
    for (size_t i = 0; i < memo.depthAtStart.size(); ++i, line = line->next) {
        if (line == nullptr) return "comment depths are remembered for lines that no longer exist";
        if (memo.depthAtStart[i] != depth)
            return "the remembered comment depth of line " + std::to_string(i) +
                   " is stale: a line changed without setting modified";
        depth = commentDepthAfter(line->text, depth);
    }
    return "";
}
