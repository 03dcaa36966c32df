// Fuzzes the core's text rules (see CoreProperties.h) with any UTF-16 text, read from the
// input two bytes a unit, least significant first; lone surrogates included.
#include "core/CoreProperties.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    }
    if (const char* broken = sorvane::BrokenRule(text)) {
        std::fprintf(stderr, "rule broken: %s\n", broken);
        std::abort(); // libFuzzer keeps the input
    }
    return 0;
}
