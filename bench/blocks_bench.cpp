// The whole-document block commands on a 100 MB document of ordinary lines: the
// statistics count and the full-width to half-width conversion, each one pass; and paste
// as hexadecimal of the largest clipboard text into a 100 KB paragraph with word wrap on.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "blocks/line_operations.h"
#include "blocks/statistics.h"
#include "document/document.h"
#include "document/memory.h"
#include "document/undo_ring.h"
#include "edit/reflow.h"
#include "files/close_document.h"
#include "support/fake_platform.h"
#include "view/view_state.h"

namespace {

// 64 bytes with Chinese, full-width forms, letters, digits and white space.
const char* const LINE_TEXT = "答案：Ａ．第一章 总则（１２３） The quick brown fox,\t12345.";

// No document, no history, an 800 x 600 window.
void startAfresh() {
    closeDocument();
    resetUndo();
    resetFakePlatform();
    view = ViewState{};
    view.clientWidth = 800;
    view.clientHeight = 600;
}

// A fresh document of about `megabytes` MB of LINE_TEXT lines.
void loadDocument(int megabytes) {
    startAfresh();
    const long lines = static_cast<long>(megabytes) * 1024 * 1024 / (std::strlen(LINE_TEXT) + 2);
    LineNode* last = nullptr;
    for (long i = 0; i < lines; ++i) {
        last = last ? insertLineAfter(last) : appendLine();
        last->text = copyStringOrExit(LINE_TEXT);
    }
    doc.caretLine = doc.topLine = doc.head;
    doc.caretCol = 0;
    doc.modified = 0;
}

void BM_Statistics(benchmark::State& state) {
    loadDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(countStatistics().characters);
    state.SetBytesProcessed(state.iterations() * state.range(0) * 1024 * 1024);
}
BENCHMARK(BM_Statistics)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FullToHalfWidth(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        loadDocument(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        fullToHalfWidth();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * 1024 * 1024);
}
BENCHMARK(BM_FullToHalfWidth)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// Paste as hexadecimal types its text a character at a time; with word wrap on each
// character re-wraps the rest of the paragraph it lands in.
void BM_PasteAsHexIntoAWrappedParagraph(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        startAfresh();
        view.wrapMode = 1;
        appendLine()->text = copyStringOrExit(std::string(static_cast<size_t>(state.range(0)) * 1024, 'a').c_str());
        doc.caretLine = doc.topLine = doc.head;
        reflow(doc.head, true, true);
        doc.caretLine = doc.head;
        doc.caretCol = 0;
        fake().clipboard = std::string(HEX_PASTE_MAX_BYTES, 'A');
        fake().clipboardHasText = true;
        state.ResumeTiming();
        pasteAsHex();
    }
}
BENCHMARK(BM_PasteAsHexIntoAWrappedParagraph)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
