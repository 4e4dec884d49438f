// Any bytes load as a document whose invariants hold, and what Save writes loads again
// into exactly the same lines.
#include <cstdio>

#include "document/document.h"
#include "files/loader.h"
#include "fuzz_support.h"

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    require(file != nullptr, "the scratch file can be written");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    freshCore();
    const std::string original = scratchPath("loaded.txt");
    writeFile(original, std::string(reinterpret_cast<const char*>(data), size));
    loadFile(original.c_str());
    requireInvariants();
    if (!hasDocument()) return 0;
    const std::string saved = savedBytes();

    const std::string again = scratchPath("saved.txt");
    writeFile(again, saved);
    loadFile(again.c_str());
    requireInvariants();
    require(hasDocument(), "the saved file loads");
    require(savedBytes() == saved, "loading the saved file gives the same lines");
    return 0;
}
