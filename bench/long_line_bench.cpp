// The cost of one typed character (with the frame painted after it) inside a single line
// of 10 MB: at its start, in its middle and at its end, with word wrap off and on, beside
// the same on a short line. A keystroke should cost about the same wherever it lands.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "document/document.h"
#include "document/gbk.h"
#include "document/memory.h"
#include "document/undo_ring.h"
#include "edit/editing.h"
#include "edit/reflow.h"
#include "files/close_document.h"
#include "support/fake_platform.h"
#include "view/frame.h"
#include "view/layout.h"
#include "view/view_state.h"

namespace {

constexpr size_t LONG_LINE_BYTES = 10 * 1000 * 1000;

// Prose of Chinese characters, ASCII words and digits, as a pasted document might be.
std::string proseOf(size_t bytes) {
    const std::string piece = "第一章总则为了规范管理 The quick brown fox 12345，提高效率。";
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) text += piece;
    return text;
}

enum Where { START, MIDDLE, END };

// One line holding `bytes` of prose, wrapped when `wrap`, with the caret at `where`.
void loadLine(size_t bytes, bool wrap, Where where) {
    closeDocument();
    resetUndo();
    resetFakePlatform();
    view = ViewState{};
    view.clientWidth = 1280;
    view.clientHeight = 1000;
    initStyles();
    LineNode* line = appendLine();
    line->text = copyStringOrExit(proseOf(bytes).c_str());
    view.wrapMode = wrap ? 1 : 0;
    if (wrap) reflow(doc.head, true, true);
    LineNode* target = doc.head;
    int col = 0;
    if (where != START) {
        int rows = 0;
        for (LineNode* p = doc.head; p; p = p->next) ++rows;
        const int steps = where == MIDDLE ? rows / 2 : rows - 1;
        for (int i = 0; i < steps; ++i) target = target->next;
        const int length = static_cast<int>(std::strlen(target->text));
        col = where == MIDDLE ? length / 2 : length;
        if (where == MIDDLE && !wrap) col -= col % 2;  // the prose piece keeps pairs on even columns
        while (col > 0 && isInsideDoubleByte(target->text, col)) --col;
    }
    doc.caretLine = doc.topLine = target;
    doc.caretCol = col;
    doc.modified = 0;
}

void typeOneCharacter(benchmark::State& state, size_t bytes) {
    const bool wrap = state.range(1) != 0;
    loadLine(bytes, wrap, static_cast<Where>(state.range(0)));
    Frame frame;
    long typed = 0;
    for (auto _ : state) {
        typeChar('x', true);
        buildFrame(frame);
        benchmark::DoNotOptimize(frame.text.data());
        if (++typed % 256 == 0) {
            state.PauseTiming();
            resetFakePlatform();  // the fake keeps every request it was given
            state.ResumeTiming();
        }
    }
}

void typingInALongLine(benchmark::State& state) { typeOneCharacter(state, LONG_LINE_BYTES); }
void typingInAShortLine(benchmark::State& state) { typeOneCharacter(state, 2000); }

}  // namespace

// Arguments: where (0 start, 1 middle, 2 end), wrap (0 off, 1 on).
BENCHMARK(typingInAShortLine)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(typingInALongLine)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
