// The console's files and character conversion on POSIX systems: real files through
// stdio, fsync and rename, and iconv between GBK and the locale's character set.
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/console.h"
#include "platform/cp936_table.h"
#include "platform/platform.h"

namespace {

// A name with a NUL inside would be cut there by the system and name another file.
bool isUsableName(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

// `text` converted from one character set to another; `fallback` when iconv cannot
// convert it (an unknown set, or bytes that are not text in `from`).
const iconv_t NO_CONVERTER = reinterpret_cast<iconv_t>(-1);

// Each converter is opened once and kept for the run (find converts every match), and
// closed at the end.
struct Converters {
    std::map<std::string, iconv_t> open;
    iconv_t get(const char* to, const char* from) {
        const std::string key = std::string(to) + "<" + from;
        auto found = open.find(key);
        if (found == open.end()) found = open.emplace(key, iconv_open(to, from)).first;
        return found->second;
    }
    ~Converters() {
        for (auto& entry : open)
            if (entry.second != NO_CONVERTER) iconv_close(entry.second);
    }
};

std::string convert(const std::string& text, const char* to, const char* from, const std::string& fallback) {
    static Converters converters;
    iconv_t converter = converters.get(to, from);
    if (converter == NO_CONVERTER) return fallback;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* at = &out[0];
    size_t outLeft = out.size();
    if (iconv(converter, &in, &inLeft, &at, &outLeft) == static_cast<size_t>(-1)) return fallback;
    out.resize(out.size() - outLeft);
    return out;
}

// The locale's character set when it is not GBK itself, for the conversions; null when
// bytes should pass unchanged.
const char* terminalCharset() {
    static const char* charset = [] {
        std::setlocale(LC_CTYPE, "");
        const char* name = nl_langinfo(CODESET);
        const bool passThrough = name == nullptr || std::strcmp(name, "ANSI_X3.4-1968") == 0 ||
                                 std::strcmp(name, "GBK") == 0 || std::strcmp(name, "GB18030") == 0;
        return passThrough ? static_cast<const char*>(nullptr) : name;
    }();
    return charset;
}

}  // namespace

namespace console {

void prepareStandardStreams() {}

// File names are bytes here: they are passed on as they were given.
std::vector<Argument> arguments(int argc, char** argv) {
    std::vector<Argument> all;
    const char* charset = terminalCharset();
    for (int i = 1; i < argc; ++i)
        all.push_back({charset ? convert(argv[i], "GBK", charset, argv[i]) : std::string(argv[i]), argv[i]});
    return all;
}

std::string forTerminal(const std::string& gbk) {
    const char* charset = terminalCharset();
    return charset ? convert(gbk, charset, "GBK", gbk) : gbk;
}

std::string makeScratchFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/kesh-batch.XXXXXX";
    const int descriptor = mkstemp(&name[0]);
    if (descriptor < 0) return "";
    close(descriptor);
    return name;
}

}  // namespace console

namespace platform {

// Names are passed to the system as they are: on these systems a name is its bytes.
FILE* openFile(const std::string& path, const char* mode) {
    return mode && isUsableName(path) ? std::fopen(path.c_str(), mode) : nullptr;
}

bool flushToDisk(FILE* file) { return file != nullptr && std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool replaceFile(const std::string& temporary, const std::string& target) {
    return isUsableName(temporary) && isUsableName(target) && std::rename(temporary.c_str(), target.c_str()) == 0;
}

bool removeFile(const std::string& path) { return isUsableName(path) && std::remove(path.c_str()) == 0; }

bool fullPath(const std::string& path, std::string& absolute) {
    if (!isUsableName(path)) return false;
    if (path[0] == '/') {
        absolute = path;
        return true;
    }
    char folder[PATH_MAX];
    if (getcwd(folder, sizeof folder) == nullptr) return false;
    absolute = std::string(folder) + "/" + path;
    return true;
}

bool chooseFile(const FileDialogRequest&, std::string&) { return false; }

FileStamp fileStamp(const std::string& path) {
    FileStamp stamp;
    struct stat status {};
    if (!isUsableName(path) || stat(path.c_str(), &status) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<uint64_t>(status.st_size);
    stamp.lastWriteTime = static_cast<uint64_t>(status.st_mtime);
    return stamp;
}

std::string localAppDataFolder() { return ""; }

bool createFolder(const std::string& path) {
    struct stat status {};
    return isUsableName(path) && (mkdir(path.c_str(), 0777) == 0 || (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)));
}

// A UTF-16 unit of a 16-bit text file as GBK; 0 when GBK has no form for it.
int utf16UnitToAnsi(uint16_t unit, char out[4]) {
    const char units[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    const std::string gbk = convert(std::string(units, 2), "GBK", "UTF-16LE", "");
    if (gbk.empty() || gbk.size() > 4) return 0;
    std::memcpy(out, gbk.data(), gbk.size());
    return static_cast<int>(gbk.size());
}

bool codePage936ToUnit(const char* bytes, int length, uint16_t& unit) { return cp936_table::toUnit(bytes, length, unit); }

}  // namespace platform
