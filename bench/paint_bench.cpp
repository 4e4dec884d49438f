// The cost of laying out one frame of a C source file of a million lines, with word wrap
// off, near its start and near its end; and the first frame after a change, when the
// comment depth above the window is found again (in C from the nearest comment above,
// in prose, where nothing settles it, from the first line).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "document/document.h"
#include "document/memory.h"
#include "view/frame.h"
#include "view/layout.h"
#include "view/view_state.h"
#include "files/close_document.h"

namespace {

constexpr int LINE_COUNT = 1000000;

// A stretch of C with block comments that open and close on other lines.
const char* const SOURCE[] = {
    "#include <stdio.h>",
    "/* Counts the words of a file.",
    "   Written for the benchmark. */",
    "static int countWords(FILE* file) {",
    "    int count = 0, inWord = 0;  // state",
    "    for (int c = fgetc(file); c != EOF; c = fgetc(file)) {",
    "        if (c == ' ' || c == '\\n') inWord = 0;",
    "        else if (!inWord) { inWord = 1; ++count; }",
    "    }",
    "    return count; /* words */",
    "}",
    "const char* name = \"中文 /* not a comment */\";",
};

// Prose: no line settles the comment depth, so after a change every line above the
// window is scanned once.
const char* const PROSE[] = {
    "第一章 总则",
    "为了规范管理，提高效率，根据有关规定，结合实际情况，制定本办法。",
    "本办法适用于全体人员。 This line has no comment marks at all.",
};

enum class Text { C, Prose };
Text loaded = Text::C;

template <size_t N>
void fill(const char* const (&pieces)[N]) {
    for (int i = 0; i < LINE_COUNT; ++i) {
        LineNode* line = appendLine();
        line->text = copyStringOrExit(pieces[static_cast<size_t>(i) % N]);
    }
}

void loadMillionLines(Text text = Text::C) {
    if (doc.head != nullptr && loaded == text) return;
    if (doc.head != nullptr) closeDocument();
    loaded = text;
    if (text == Text::C)
        fill(SOURCE);
    else
        fill(PROSE);
    doc.caretLine = doc.topLine = doc.head;
    initStyles();
    view.clientWidth = 1280;
    view.clientHeight = 1000;
}

LineNode* lineNumber(int index) {
    LineNode* line = doc.head;
    while (index-- > 0 && line->next) line = line->next;
    return line;
}

// One frame with the window's top at the given line.
void measureFrameAt(benchmark::State& state, Text text) {
    loadMillionLines(text);
    doc.topLine = lineNumber(static_cast<int>(state.range(0)));
    Frame frame;
    buildFrame(frame);  // the depths above the window are found once
    for (auto _ : state) {
        buildFrame(frame);
        benchmark::DoNotOptimize(frame.text.data());
    }
    state.counters["runs"] = static_cast<double>(frame.text.size());
}

void frameAt(benchmark::State& state) { measureFrameAt(state, Text::C); }
void proseFrameAt(benchmark::State& state) { measureFrameAt(state, Text::Prose); }

// The first frame after the window's top line changed, reported as every edit reports
// its change: the depths above it stay known; those below it are found again. (The cost
// of the edit itself is measured in editing_bench.)
void measureFrameAfterChange(benchmark::State& state, Text text) {
    loadMillionLines(text);
    doc.topLine = lineNumber(static_cast<int>(state.range(0)));
    Frame frame;
    buildFrame(frame);
    for (auto _ : state) {
        doc.topLine->text[0] ^= 1;  // one ASCII letter for another
        doc.modified = 1;
        keepLineStartsAbove(doc.topLine);
        buildFrame(frame);
        benchmark::DoNotOptimize(frame.text.data());
    }
    state.counters["runs"] = static_cast<double>(frame.text.size());
    size_t chars = 0;
    for (const TextRun& run : frame.text) chars += run.advances.size();
    state.counters["chars"] = static_cast<double>(chars);
    state.counters["gutter"] = static_cast<double>(frame.gutter.size());
}

void frameAfterChange(benchmark::State& state) { measureFrameAfterChange(state, Text::C); }
void proseFrameAfterChange(benchmark::State& state) { measureFrameAfterChange(state, Text::Prose); }

}  // namespace

BENCHMARK(frameAt)->Arg(10)->Arg(LINE_COUNT - 42)->Unit(benchmark::kMicrosecond);
BENCHMARK(proseFrameAt)->Arg(10)->Arg(LINE_COUNT - 42)->Unit(benchmark::kMicrosecond);
BENCHMARK(frameAfterChange)->Arg(10)->Arg(LINE_COUNT - 42)->Unit(benchmark::kMicrosecond);
BENCHMARK(proseFrameAfterChange)->Arg(10)->Arg(LINE_COUNT - 42)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
