#include "files/file_writer.h"

#include <cstring>

#include "platform/platform.h"

namespace {

// Beside the target, so that the final move stays on one volume and is a rename.
constexpr char TEMPORARY_SUFFIX[] = ".kesh-save";

void discardTemporary(FileWriter& writer) {
    if (writer.stream) std::fclose(writer.stream);
    writer.stream = nullptr;
    platform::removeFile(writer.temporary);
}

}  // namespace

bool openFileWriter(FileWriter& writer, const std::string& target) {
    writer = FileWriter{};
    writer.target = target;
    if (target.empty()) return false;
    writer.temporary = target + TEMPORARY_SUFFIX;
    writer.stream = platform::openFile(writer.temporary, "wb");
    return writer.stream != nullptr;
}

bool writeBytes(FileWriter& writer, const char* bytes, size_t length) {
    if (writer.failed || writer.stream == nullptr) return false;
    if (length > 0 && (std::fwrite(bytes, 1, length, writer.stream) != length || std::ferror(writer.stream)))
        writer.failed = true;
    return !writer.failed;
}

bool writeText(FileWriter& writer, const char* text) { return writeBytes(writer, text, std::strlen(text)); }

bool commitFileWriter(FileWriter& writer) {
    if (writer.stream == nullptr) return false;
    if (writer.failed || !platform::flushToDisk(writer.stream) || std::ferror(writer.stream)) {
        discardTemporary(writer);
        return false;
    }
    const bool closed = std::fclose(writer.stream) == 0;
    writer.stream = nullptr;
    if (!closed || !platform::replaceFile(writer.temporary, writer.target)) {
        discardTemporary(writer);
        return false;
    }
    return true;
}

void discardFileWriter(FileWriter& writer) {
    if (writer.stream) discardTemporary(writer);
}
