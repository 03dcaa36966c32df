#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvane::testing {

// Splits a full command line into argv the way Microsoft documents for its C runtime
// ("Parsing C++ command-line arguments"): the program name ends at a blank, or at the
// closing quote when it starts with one; later arguments honour quotes, backslash-escaped
// quotes, backslash pairs before a quote and a doubled quote inside a quoted part.
// Written independently of the program's own quoting, to check it.
std::vector<std::u16string> SplitWindowsCommandLine(std::u16string_view commandLine);

// Reports whether the text, read as arguments after a program name, ends inside a quote.
bool EndsInsideQuotes(std::u16string_view arguments);

} // namespace sorvane::testing
