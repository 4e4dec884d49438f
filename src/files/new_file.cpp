#include "files/new_file.h"

#include <cstdio>

#include "files/loader.h"
#include "platform/platform.h"

namespace {

// The loader stops at a Ctrl-Z, so this one byte loads as a document of one empty line.
constexpr char END_OF_TEXT = 0x1A;

bool fileExists(const std::string& path) {
    FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

bool createEmptyTextFile(const std::string& path) {
    FILE* file = platform::openFile(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fputc(END_OF_TEXT, file) != EOF;
    return (std::fclose(file) == 0) && written;
}

}  // namespace

std::string newFileName() {
    const platform::LocalTime now = platform::localTime();
    char name[96];
    std::snprintf(name, sizeof name, "Kesh%4d%02d%02d_%02d%02d%02d.txt", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    return name;
}

void createNewFile() {
    const std::string name = newFileName();
    std::string path;
    if (!platform::fullPath(name, path)) path = name;
    // Two New commands in one second make the same name; the second must not empty a
    // file that the first one's user may have filled and saved in the meantime.
    if (!fileExists(path) && !createEmptyTextFile(path)) {
        platform::showMessageBox(" 建立新文件 \"" + name + "\" 失败！", "错误提示", platform::BOX_YES_NO_CANCEL);
        return;
    }
    loadFile(path.c_str());
}
