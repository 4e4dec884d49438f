// Any bytes load as a document whose invariants hold, and what Save writes loads again
// and saves again to exactly the same bytes, whatever encoding the file is read in.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "document/document.h"
#include "document/file_encoding.h"
#include "files/loader.h"
#include "files/save.h"
#include "fuzz_support.h"

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    require(file != nullptr, "the scratch file can be written");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Saves the open document under `path` and returns the bytes written.
std::string saveAs(const std::string& path) {
    setFileName(path.c_str());
    saveDocument();
    require(!doc.modified, "the document saves");
    return readFile(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    freshCore();
    const std::string original = scratchPath("loaded.txt");
    writeFile(original, std::string(reinterpret_cast<const char*>(data), size));
    loadFile(original.c_str());
    requireInvariants();
    if (!hasDocument()) return 0;
    const FileEncoding firstEncoding = documentEncoding;
    const std::string saved = saveAs(scratchPath("saved.txt"));

    loadFile(scratchPath("saved.txt").c_str());
    requireInvariants();
    // GBK bytes that happen to begin with a byte-order mark are read in that encoding when
    // they load again (as any such file is): refused when they break it, and their line
    // breaks are then other characters. Every other saved file loads and saves unchanged.
    const bool marked = saved.rfind("\xEF\xBB\xBF", 0) == 0 || saved.rfind("\xFF\xFE", 0) == 0 ||
                        saved.rfind("\xFE\xFF", 0) == 0;
    if (marked && firstEncoding == FileEncoding::Gbk) return 0;
    require(hasDocument(), "the saved file loads");
    require(saveAs(scratchPath("again.txt")) == saved, "the saved file loads and saves to the same bytes");
    return 0;
}
