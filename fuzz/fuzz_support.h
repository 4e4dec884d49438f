// What every fuzz target shares: reading choices from the fuzzer's bytes, a clean core,
// the document's invariants, and failing loudly when a property does not hold.
// Fuzz target sources stay ASCII: GBK text is written as \x escapes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Takes numbers and byte strings off the front of the fuzzer's input.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return used_ >= size_; }
    // A number from 0 to limit - 1 (0 when the input is used up or limit is 0).
    unsigned below(unsigned limit);
    // Up to `maxLength` bytes (the length is read first).
    std::string bytes(size_t maxLength);
    // Everything not yet taken.
    std::string rest();

private:
    const uint8_t* data_;
    size_t size_;
    size_t used_ = 0;
};

// A clean core: no document, a fresh fake platform, default view and window size.
void freshCore();
// Lines of `text` cut at "\n", each with a hard return; at least one line.
std::vector<std::string> linesOf(const std::string& text);
// Prints `what` and aborts when `holds` is false, so the fuzzer keeps the input.
void require(bool holds, const char* what);
// Aborts with the violation when the document's invariants do not hold.
void requireInvariants();
// The bytes Save would write (every line, CR LF after hard returns but the final one).
std::string savedBytes();
// A path for scratch files of this process.
std::string scratchPath(const char* name);
