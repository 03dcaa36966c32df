// Fuzzes the core's text rules with any UTF-16 text (two bytes a unit, lone surrogates too), in
// a buffer of its exact length: a quoted text reads back as itself, by the C runtime's rules.
#include "CommandLine.h"
#include "FileNames.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<char16_t> units;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    const std::u16string_view text(units.data(), units.size());
    const std::u16string quoted = sorvane::QuoteArgument(text);
    const bool plain = text.find_first_of(u" \t\"") == text.npos;
    const std::u16string_view tail = sorvane::CommandLineTail(text);
    const auto output = sorvane::DeriveOutputPath(text);
    if ((plain ? quoted != text
               : sorvane::InputPathFromStartupArgument(quoted + u" next") != text) ||
        tail.data() + tail.size() != text.data() + text.size() || tail.find_first_of(u" \t") == 0 ||
        output.has_value() != (text.size() >= 3) ||
        (output && *output != std::u16string(text.substr(0, text.size() - 3)) + u"mp3")) {
        std::abort(); // a rule is broken; libFuzzer keeps the input
    }
    return 0;
}
