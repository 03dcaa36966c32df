#pragma once

// What the core's text rules keep for any text, shared by the unit tests (for awkward texts)
// and the fuzz target (for any). The quoting and the reading of a quoted start-up argument
// follow the C runtime's rules from either side, so each must undo the other.
#include "CommandLine.h"
#include "FileNames.h"

#include <string>
#include <vector>

namespace sorvane {

// The first rule broken for this text, or null. The text is read from a buffer of exactly
// its length, so that AddressSanitizer stops any read past its end.
inline const char* BrokenRule(std::u16string_view text) {
    const std::vector<char16_t> copy(text.begin(), text.end());
    const std::u16string_view exact(copy.data(), copy.size());
    const std::u16string quoted = QuoteArgument(exact);
    if (quoted[0] == u'"' ? InputPathFromStartupArgument(quoted + u" next") != text
                          : quoted != text || text.find_first_of(u" \t\"") != text.npos) {
        return "a quoted text reads back as itself, and a plain one is left alone";
    }
    const std::u16string_view tail = CommandLineTail(exact);
    if (tail.data() + tail.size() != copy.data() + copy.size() || tail.find_first_of(u" \t") == 0) {
        return "the tail of a command line is its end, with no blank in front";
    }
    if (DeriveOutputPath(exact) !=
        (text.size() < 3
             ? std::nullopt
             : std::optional(std::u16string(text.substr(0, text.size() - 3)) + u"mp3"))) {
        return "the output path has mp3 in place of the last three units";
    }
    return nullptr;
}

} // namespace sorvane
