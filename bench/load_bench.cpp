// Loading a 100 MB GBK prose file (1 M lines of about 100 bytes, CR LF): the time of
// loadFile and the peak memory of the process that loads it, beside vim opening the same
// file in GBK, appending a line and writing a copy; then the same text in UTF-8 (about
// 140 MB), loaded and saved back as UTF-8, beside the GBK figures. Each figure is the best
// of three runs, each run in a fresh child process so that its peak memory is its own.
//
// Usage: load_bench [folder]   (default: the system's temporary folder)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "document/document.h"
#include "document/file_encoding.h"
#include "document/memory.h"
#include "files/close_document.h"
#include "files/loader.h"
#include "files/save.h"
#include "support/fake_platform.h"

namespace {

constexpr int LINES = 1000 * 1000;
constexpr int RUNS = 3;

// Writes LINES lines of prose: Chinese characters with ASCII words and digits between
// them, 92 to 112 bytes a line (about 100 with the line end), each ended by CR LF.
void writeProse(const std::string& path) {
    const std::string chinese = "第一章总则为了规范管理提高效率根据有关规定结合本单位实际情况制定本办法";
    const std::string words[] = {" The quick brown fox ", " 12345 ", "，", "。", " jumps over ", "（一）"};
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::string line;
    unsigned seed = 12345;
    for (int n = 0; n < LINES; ++n) {
        const size_t target = 92 + (n * 7) % 21;
        line.clear();
        while (line.size() < target) {
            seed = seed * 1103515245u + 12345u;
            const size_t at = ((seed >> 8) % (chinese.size() / 2)) * 2;
            const size_t count = 2 * (1 + (seed >> 20) % 6);
            line.append(chinese, at, count);
            if ((seed >> 16) % 3 == 0) line += words[(seed >> 4) % 6];
        }
        // Cut back to the target on a character boundary: pairs stay whole.
        size_t cut = 0;
        for (size_t k = 0; k < line.size();) {
            const size_t width = static_cast<unsigned char>(line[k]) >= 0x81 ? 2 : 1;
            if (k + width > target) break;
            k += width;
            cut = k;
        }
        line.resize(cut);
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), file);
    }
    std::fclose(file);
}

// A figure of /proc/self/status in kB ("VmHWM", "VmRSS").
long statusKilobytes(const char* key) {
    FILE* file = std::fopen("/proc/self/status", "r");
    if (file == nullptr) return -1;
    char row[256];
    long value = -1;
    const size_t keyLength = std::strlen(key);
    while (std::fgets(row, sizeof row, file))
        if (std::strncmp(row, key, keyLength) == 0 && row[keyLength] == ':') value = std::atol(row + keyLength + 1);
    std::fclose(file);
    return value;
}

// Processor time (user and system) of this process so far, in seconds.
double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
    double loadSeconds = 0;
    double loadProcessorSeconds = 0;  // less disturbed than the wall clock on a busy machine
    double saveSeconds = 0;
    long baseKb = 0;    // resident before loading
    long loadPeakKb = 0;  // peak resident once loaded
    long peakKb = 0;      // peak resident while loading and saving
    long closedKb = 0;  // resident after the document was closed again
    int lines = 0;
};

// Loads `path`, appends a line, writes the document to `copy` and closes it; in the
// calling (child) process.
Figures loadOnce(const std::string& path, const std::string& copy) {
    Figures figures;
    resetFakePlatform();
    figures.baseKb = statusKilobytes("VmRSS");
    const double processorStart = processorSeconds();
    const auto start = std::chrono::steady_clock::now();
    loadFile(path.c_str());
    const auto loaded = std::chrono::steady_clock::now();
    figures.loadProcessorSeconds = processorSeconds() - processorStart;
    figures.loadPeakKb = statusKilobytes("VmHWM");
    figures.lines = lineCount();
    LineNode* added = insertLineAfter(lastLine());
    added->text = copyStringOrExit("appended");
    doc.modified = 1;
    setFileName(copy.c_str());
    const auto saveStart = std::chrono::steady_clock::now();
    saveDocument();
    const auto saved = std::chrono::steady_clock::now();
    figures.peakKb = statusKilobytes("VmHWM");
    closeDocument();
    figures.closedKb = statusKilobytes("VmRSS");
    figures.loadSeconds = std::chrono::duration<double>(loaded - start).count();
    figures.saveSeconds = std::chrono::duration<double>(saved - saveStart).count();
    return figures;
}

// Runs loadOnce in a fresh child process and reads its figures back through a pipe.
bool loadInChild(const std::string& path, const std::string& copy, Figures& figures) {
    int ends[2];
    if (pipe(ends) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const Figures measured = loadOnce(path, copy);
        const ssize_t written = write(ends[1], &measured, sizeof measured);
        _exit(written == static_cast<ssize_t>(sizeof measured) ? 0 : 1);
    }
    close(ends[1]);
    const ssize_t got = read(ends[0], &figures, sizeof figures);
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got == static_cast<ssize_t>(sizeof figures) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One vim run under /usr/bin/time -v: open in GBK, append a line, write a copy.
bool runVim(const std::string& path, const std::string& copy, double& seconds, long& peakKb) {
    const std::string report = copy + ".time";
    const std::string command = "/usr/bin/time -v -o '" + report +
                                "' vim -u NONE -i NONE -N -es --cmd 'set enc=utf-8 fencs=cp936 ffs=dos nofixeol' "
                                "-c 'call append(line(\"$\"), \"appended\")' -c 'w! " +
                                copy + "' -c 'q!' '" + path + "' </dev/null >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    (void)status;  // vim -es exits non-zero after some harmless messages; the report counts
    FILE* file = std::fopen(report.c_str(), "r");
    if (file == nullptr) return false;
    char row[512];
    peakKb = -1;
    while (std::fgets(row, sizeof row, file)) {
        const char* key = "Maximum resident set size (kbytes):";
        const char* found = std::strstr(row, key);
        if (found) peakKb = std::atol(found + std::strlen(key));
    }
    std::fclose(file);
    std::remove(report.c_str());
    return peakKb > 0;
}

bool haveProgram(const char* path) { return access(path, X_OK) == 0; }

// Kilobytes (of 1024 bytes, as the kernel counts them) in megabytes of 10^6 bytes.
double megabytesOf(long kilobytes) { return kilobytes * 1024.0 / 1e6; }

// The best of RUNS child runs on `path`, each printed.
bool bestOfRuns(const std::string& path, const std::string& copy, double megabytes, Figures& best) {
    bool haveBest = false;
    for (int run = 0; run < RUNS; ++run) {
        Figures figures;
        if (!loadInChild(path, copy, figures)) {
            std::printf("kesh run %d failed\n", run + 1);
            return false;
        }
        std::printf("kesh run %d: load %.3f s (processor %.3f s), save %.3f s, peak %.1f MB loaded, %.1f MB saved (%.1f MB before loading), %.1f MB after closing, %d lines\n",
                    run + 1, figures.loadSeconds, figures.loadProcessorSeconds, figures.saveSeconds, megabytesOf(figures.loadPeakKb), megabytesOf(figures.peakKb),
                    megabytesOf(figures.baseKb), megabytesOf(figures.closedKb), figures.lines);
        if (!haveBest || figures.loadSeconds < best.loadSeconds) best.loadSeconds = figures.loadSeconds;
        if (!haveBest || figures.loadProcessorSeconds < best.loadProcessorSeconds)
            best.loadProcessorSeconds = figures.loadProcessorSeconds;
        if (!haveBest || figures.saveSeconds < best.saveSeconds) best.saveSeconds = figures.saveSeconds;
        if (!haveBest || figures.peakKb < best.peakKb) best.peakKb = figures.peakKb;
        haveBest = true;
    }
    std::printf("kesh best of %d: load %.3f s (processor %.3f s, %.0f MB/s), load+save %.3f s, peak %.1f MB = %.2f x the file\n",
                RUNS, best.loadSeconds, best.loadProcessorSeconds, megabytes / best.loadSeconds,
                best.loadSeconds + best.saveSeconds, megabytesOf(best.peakKb), megabytesOf(best.peakKb) / megabytes);
    return true;
}

// Writes the GBK file `path` again as UTF-8 to `utf8Path`, through the editor's own save.
void writeAsUtf8(const std::string& path, const std::string& utf8Path) {
    resetFakePlatform();
    loadFile(path.c_str());
    documentEncoding = FileEncoding::Utf8;
    setFileName(utf8Path.c_str());
    saveDocument();
    closeDocument();
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "kesh_load_bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "prose.txt").string();
    const std::string copy = (folder / "prose_copy.txt").string();
    writeProse(path);
    const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::printf("file: %s, %.1f MB, %d lines, CR LF\n", path.c_str(), megabytes, LINES);

    Figures best;
    if (!bestOfRuns(path, copy, megabytes, best)) return 1;

    if (!haveProgram("/usr/bin/vim") || !haveProgram("/usr/bin/time")) {
        std::printf("vim: skipped (/usr/bin/vim or /usr/bin/time missing)\n");
    } else {
        double bestSeconds = 0;
        long bestKb = 0;
        for (int run = 0; run < RUNS; ++run) {
            double seconds = 0;
            long peakKb = 0;
            if (!runVim(path, copy, seconds, peakKb)) {
                std::printf("vim run %d: no report\n", run + 1);
                continue;
            }
            std::printf("vim run %d: open+append+write %.3f s, peak %.1f MB\n", run + 1, seconds, megabytesOf(peakKb));
            if (bestSeconds == 0 || seconds < bestSeconds) bestSeconds = seconds;
            if (bestKb == 0 || peakKb < bestKb) bestKb = peakKb;
        }
        if (bestKb > 0)
            std::printf("vim best of %d: open+append+write %.3f s, peak %.1f MB = %.2f x the file\n", RUNS,
                        bestSeconds, megabytesOf(bestKb), megabytesOf(bestKb) / megabytes);
    }
    const std::string utf8Path = (folder / "prose_utf8.txt").string();
    writeAsUtf8(path, utf8Path);
    const double utf8Megabytes = static_cast<double>(std::filesystem::file_size(utf8Path)) / 1e6;
    std::printf("the same text in UTF-8: %.1f MB\n", utf8Megabytes);
    Figures utf8;
    if (!bestOfRuns(utf8Path, copy, utf8Megabytes, utf8)) return 1;
    std::printf("UTF-8 beside GBK: load+save %.2f x, peak %.2f x\n",
                (utf8.loadSeconds + utf8.saveSeconds) / (best.loadSeconds + best.saveSeconds),
                static_cast<double>(utf8.peakKb) / best.peakKb);
    std::remove(utf8Path.c_str());
    std::remove(copy.c_str());
    std::remove(path.c_str());
    return 0;
}
