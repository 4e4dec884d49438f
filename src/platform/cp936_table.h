// Code page 936 as Windows converts it, for builds that run without Windows' conversion:
// the native tests and kesh-batch on Linux. The table was written from Wine's conversion
// (scripts/make_cp936_table.sh), and the adapter tests compare it with the live one under
// Wine at every test run, so what runs on this table converts as kesh.exe does.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

namespace cp936_table {

// The UTF-16 unit of the single byte `lead` (trail < 0) or of the pair `lead` `trail`,
// or -1 when the bytes are no character of the code page.
inline int unitOf(int lead, int trail) {
    static const char* const ROWS[] = {
#include "platform/cp936_table.inc"
    };
    const char* digits;
    if (trail < 0) {
        if (lead < 0 || lead > 0xFF) return -1;
        digits = ROWS[0] + 2 + 4 * lead;
    } else {
        if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return -1;
        digits = ROWS[lead - 0x80] + 2 + 4 * (trail - 0x40);
    }
    if (digits[0] == '.') return -1;
    return static_cast<int>(std::strtol(std::string(digits, 4).c_str(), nullptr, 16));
}

// platform::codePage936ToUnit by the table.
inline bool toUnit(const char* bytes, int length, uint16_t& unit) {
    const int lead = static_cast<unsigned char>(bytes[0]);
    const int converted = length == 1   ? unitOf(lead, -1)
                          : length == 2 ? unitOf(lead, static_cast<unsigned char>(bytes[1]))
                                        : -1;
    if (converted < 0) return false;
    unit = static_cast<uint16_t>(converted);
    return true;
}

}  // namespace cp936_table
