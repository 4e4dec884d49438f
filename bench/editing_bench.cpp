// The cost of typing one character at the end of a long document, of pasting 10 MB of
// text with 200,000 line breaks, and of undoing that paste. Each is measured at more than
// one size, so the figures show how the cost grows with the document.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "edit/clipboard.h"
#include "document/document.h"
#include "edit/editing.h"
#include "document/memory.h"
#include "edit/undo_redo.h"
#include "document/undo_ring.h"
#include "support/fake_platform.h"
#include "view/view_state.h"
#include "files/close_document.h"

namespace {

const char* const LINE_TEXT = "第一章 总则 The quick brown fox, 12345.";

// A fresh document of `lines` lines with the caret at the end of the last one.
void loadLines(int lines) {
    closeDocument();
    resetUndo();
    resetFakePlatform();
    view = ViewState{};
    view.clientWidth = 800;
    view.clientHeight = 600;
    LineNode* last = nullptr;
    for (int i = 0; i < lines; ++i) {
        last = last ? insertLineAfter(last) : appendLine();
        last->text = copyStringOrExit(LINE_TEXT);
    }
    doc.caretLine = last;
    doc.topLine = last;
    doc.caretCol = static_cast<int>(std::strlen(LINE_TEXT));
    doc.modified = 0;
}

// Clipboard text of `breaks` lines of 50 bytes, each ended by CR LF.
std::string clipboardText(int breaks) {
    std::string line = "粘贴的文本 pasted text with some words, 0123456789..";
    line.resize(48, '.');
    std::string text;
    text.reserve(static_cast<size_t>(breaks) * 50);
    for (int i = 0; i < breaks; ++i) text += line + "\r\n";
    return text;
}

void typingAtTheEnd(benchmark::State& state) {
    loadLines(static_cast<int>(state.range(0)));
    long typed = 0;
    for (auto _ : state) {
        typeChar('x', true);
        if (++typed % 64 == 0) {
            // Keep the line short, so the figure is about the document, not one long line;
            // and the fake keeps every caption, so let it forget them.
            state.PauseTiming();
            doc.caretLine->text[std::strlen(LINE_TEXT)] = '\0';
            doc.caretCol = static_cast<int>(std::strlen(LINE_TEXT));
            doc.modified = 1;
            keepLineStartsAbove(doc.caretLine);
            fake().titles.clear();
            state.ResumeTiming();
        }
    }
    state.SetLabel(std::to_string(state.range(0)) + " lines");
}

// A fresh 1,000-line document with `text` waiting on the clipboard.
void loadWithClipboard(const std::string& text) {
    loadLines(1000);
    fake().clipboard = text;
    fake().clipboardHasText = true;
}

void pasting(benchmark::State& state) {
    const int breaks = static_cast<int>(state.range(0));
    const std::string text = clipboardText(breaks);
    for (auto _ : state) {
        state.PauseTiming();
        loadWithClipboard(text);
        state.ResumeTiming();
        pasteClipboard();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.SetLabel(std::to_string(text.size() / 1000000.0).substr(0, 4) + " MB, " + std::to_string(lineCount()) + " lines after");
}

void undoingAPaste(benchmark::State& state) {
    const int breaks = static_cast<int>(state.range(0));
    const std::string text = clipboardText(breaks);
    for (auto _ : state) {
        state.PauseTiming();
        loadWithClipboard(text);
        pasteClipboard();
        state.ResumeTiming();
        undo();
    }
    state.SetLabel(std::to_string(lineCount()) + " lines after");
}

}  // namespace

BENCHMARK(typingAtTheEnd)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(pasting)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(undoingAPaste)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
