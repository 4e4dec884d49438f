// The cost of splitting at numbering markers (one 10 MB line with 100,000 markers, and a
// 100 MB document of ordinary lines) and of sorting 10,000 and 100,000 selected lines,
// with the fast order and with the plain selection sort it stands for.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "blocks/markers.h"
#include "blocks/sorting.h"
#include "document/document.h"
#include "document/memory.h"
#include "document/selection.h"
#include "document/undo_ring.h"
#include "files/close_document.h"
#include "support/fake_platform.h"
#include "view/view_state.h"

namespace {

// A fresh document holding `lines`, caret at the top.
template <class NextLine>
void loadDocument(int lines, NextLine nextLine) {
    closeDocument();
    resetUndo();
    resetFakePlatform();
    view = ViewState{};
    view.clientWidth = 800;
    view.clientHeight = 600;
    LineNode* last = nullptr;
    for (int i = 0; i < lines; ++i) {
        last = last ? insertLineAfter(last) : appendLine();
        const std::string text = nextLine(i);
        last->text = copyBytesOrExit(text.data(), text.size());
    }
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
    doc.modified = 0;
}

// One line of `markers` items, each "一、" followed by 96 bytes of text.
std::string markedLine(int markers) {
    std::string item = "一、第一章 总则 The quick brown fox jumps over the lazy dog, 12345 67890 ";
    item.resize(100, 'x');
    std::string line;
    line.reserve(static_cast<size_t>(markers) * item.size());
    for (int i = 0; i < markers; ++i) line += item;
    return line;
}

void splittingOneLongLine(benchmark::State& state) {
    const std::string line = markedLine(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        loadDocument(1, [&](int) { return line; });
        state.ResumeTiming();
        splitAtMarkers("", MarkerKind::ChineseNumerals, "、");
    }
    state.counters["lines"] = lineCount();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
}
BENCHMARK(splittingOneLongLine)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

// A 100 MB document of 50-byte lines, one in ten with a marker inside: the command with
// one pass (Ctrl+1) and the one with twelve (Ctrl+P).
void splittingAHundredMegabytes(benchmark::State& state) {
    const int lines = 2'000'000;
    for (auto _ : state) {
        state.PauseTiming();
        loadDocument(lines, [](int i) {
            std::string text = i % 10 == 0 ? "正文的一行 ordinary text（三）与下文 3.14 以及 12"
                                            : "正文的一行 ordinary text, 3.14 and some more words";
            text.resize(50, '.');
            return text;
        });
        state.ResumeTiming();
        splitAtMarkers(static_cast<int>(state.range(0)));
    }
    state.counters["lines"] = lineCount();
}
BENCHMARK(splittingAHundredMegabytes)->Arg(32795)->Arg(32794)->Unit(benchmark::kMillisecond)->Iterations(1);

// `lines` selected lines whose keys repeat often: numbers below 1000, or short words.
void loadSortBlock(int lines, bool numbers) {
    std::mt19937 random(5);
    loadDocument(lines, [&](int) {
        const unsigned value = random() % 1000;
        return numbers ? std::to_string(value) + ",row" : "w" + std::to_string(value % 97) + " text";
    });
    doc.anchorLine = lastLine();
    doc.anchorCol = 0;
    updateSelection();
    doc.caretLine = doc.head;
    doc.caretCol = 0;
}

// Arguments: lines, 1 for numeric keys, 1 for the plain selection sort.
void sortingByCaretColumn(benchmark::State& state) {
    sortMethod = state.range(2) ? SortMethod::PlainSelection : SortMethod::Fast;
    for (auto _ : state) {
        state.PauseTiming();
        loadSortBlock(static_cast<int>(state.range(0)), state.range(1) != 0);
        state.ResumeTiming();
        sortByCaretColumn();
    }
    sortMethod = SortMethod::Fast;
}
BENCHMARK(sortingByCaretColumn)
    ->Args({10000, 1, 0})->Args({100000, 1, 0})->Args({10000, 0, 0})->Args({100000, 0, 0})
    ->Args({10000, 1, 1})->Args({10000, 0, 1})->Args({30000, 1, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(1);

void sortingByDataColumn(benchmark::State& state) {
    sortMethod = state.range(2) ? SortMethod::PlainSelection : SortMethod::Fast;
    for (auto _ : state) {
        state.PauseTiming();
        loadSortBlock(static_cast<int>(state.range(0)), state.range(1) != 0);
        state.ResumeTiming();
        sortByDataColumn();
    }
    sortMethod = SortMethod::Fast;
}
BENCHMARK(sortingByDataColumn)
    ->Args({10000, 1, 0})->Args({100000, 1, 0})->Args({10000, 1, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
