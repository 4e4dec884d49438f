#include "batch/file_jobs.h"

#include <cstdio>

#include "document/document.h"
#include "files/loader.h"
#include "files/save.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace {

// The whole content of a file; false when it cannot be read.
bool readBytes(const std::string& path, std::string& bytes) {
    FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

// Copies a file to standard output; false when a read or write failed.
bool copyToStandardOutput(const std::string& path) {
    FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    size_t got;
    bool ok = true;
    while (ok && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) ok = std::fwrite(buffer, 1, got, stdout) == got;
    ok = ok && !std::ferror(file) && std::fflush(stdout) == 0;
    std::fclose(file);
    return ok;
}

// Saves the document to `path` as Save does (the document takes the name, as after
// Save As); false when the save failed.
bool saveTo(const std::string& path) {
    if (path.size() >= static_cast<size_t>(FILE_NAME_SIZE)) {
        reportCannotSave(path);
        return false;
    }
    setFileName(path.c_str());
    doc.modified = 1;
    saveDocument();
    return doc.modified == 0;
}

// Saves the document into a scratch file and hands its name to `use`; the scratch file
// is removed afterwards. Empty name: no scratch file could be made.
template <class Use>
WriteOutcome throughScratchFile(Use use) {
    const std::string scratch = console::makeScratchFile();
    if (scratch.empty()) {
        reportCannotSave("");
        return WriteOutcome::Failed;
    }
    const WriteOutcome outcome = saveTo(scratch) ? use(scratch) : WriteOutcome::Failed;
    platform::removeFile(scratch);
    return outcome;
}

}  // namespace

bool openDocument(const std::string& path) {
    loadFile(path.c_str());
    return hasDocument();
}

WriteOutcome writeResult(const BatchRequest& request, const std::string& path) {
    if (request.dryRun) {
        return throughScratchFile([&](const std::string& scratch) {
            std::string before, after;
            const bool same = readBytes(path, before) && readBytes(scratch, after) && before == after;
            return same ? WriteOutcome::WouldStay : WriteOutcome::WouldChange;
        });
    }
    if (request.output == "-") {
        return throughScratchFile([](const std::string& scratch) {
            return copyToStandardOutput(scratch) ? WriteOutcome::Written : WriteOutcome::Failed;
        });
    }
    if (!request.output.empty()) {
        std::string absolute;
        if (!platform::fullPath(request.output, absolute)) absolute = request.output;
        return saveTo(absolute) ? WriteOutcome::Written : WriteOutcome::Failed;
    }
    if (!doc.modified) return WriteOutcome::Unchanged;
    return saveTo(fileName) ? WriteOutcome::Written : WriteOutcome::Failed;
}

const char* describe(WriteOutcome outcome) {
    switch (outcome) {
        case WriteOutcome::Written: return "written";
        case WriteOutcome::Unchanged: return "unchanged";
        case WriteOutcome::WouldChange: return "would change";
        case WriteOutcome::WouldStay: return "would stay as it is";
        case WriteOutcome::Failed: return "not written";
    }
    return "";
}
