// kesh-batch: Kesh's find and replace, splitting, sorting, statement tidy-up and question
// bank reading over files from the command line, through the editor's own code.
#include <cstdio>
#include <string>

#include "batch/batch_commands.h"
#include "batch/console_platform.h"
#include "batch/file_jobs.h"
#include "batch/options.h"
#include "files/close_document.h"
#include "files/recovery.h"
#include "platform/console.h"

namespace {

constexpr int EXIT_ALL_DONE = 0;
constexpr int EXIT_SOME_FAILED = 1;
constexpr int EXIT_USAGE = 2;

void printError(const std::string& gbk) { std::fprintf(stderr, "kesh-batch: %s\n", console::forTerminal(gbk).c_str()); }

// The message boxes the core showed for this file: the informing and error boxes are
// printed; the questions were answered by the command and need no mention.
void printMessages(const std::string& path) {
    for (const ConsoleBox& box : consoleBoxes())
        if ((box.flags & 0xF) == platform::BOX_OK)
            std::fprintf(stderr, "kesh-batch: %s: %s\n", path.c_str(), console::forTerminal(box.text).c_str());
    consoleBoxes().clear();
}

// Runs the command over one file and reports it on `report`; false when it failed.
bool processFile(const BatchRequest& request, const std::string& path, FILE* report) {
    bool done = openDocument(path);
    if (done) {
        const std::string label = request.files.size() > 1 ? path : "";
        const CommandOutcome outcome = runCommand(request, label, stdout);
        std::string line = outcome.summary;
        done = !outcome.failed;
        if (done && commandEditsDocument(request.command)) {
            const WriteOutcome written = writeResult(request, path);
            done = written != WriteOutcome::Failed;
            line += std::string(line.empty() ? "" : ", ") + describe(written);
        }
        if (!line.empty()) std::fprintf(report, "%s: %s\n", path.c_str(), console::forTerminal(line).c_str());
    }
    printMessages(path);
    closeDocument();
    return done;
}

}  // namespace

int main(int argc, char** argv) {
    console::prepareStandardStreams();
    BatchRequest request;
    bool help = false;
    std::string problem;
    if (!parseArguments(console::arguments(argc, argv), request, help, problem)) {
        printError(problem);
        std::fprintf(stderr, "Try 'kesh-batch --help'.\n");
        return EXIT_USAGE;
    }
    if (help) {
        std::fputs(usageText(), stdout);
        return EXIT_ALL_DONE;
    }
    startConsoleCore();
    turnOffRecovery();
    std::string warning;
    problem = checkRequestTexts(request, warning);
    if (!warning.empty()) printError(warning);
    if (!problem.empty()) {
        printError(problem);
        return EXIT_USAGE;
    }
    // The reports share standard output with find's matches, unless the result goes there.
    FILE* report = request.output == "-" ? stderr : stdout;
    bool allDone = true;
    for (const std::string& path : request.files) allDone = processFile(request, path, report) && allDone;
    return allDone ? EXIT_ALL_DONE : EXIT_SOME_FAILED;
}
