#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// Writes text as one argument that the Windows C runtime splits back to exactly this text.
// Text without a blank, tab or double quote (the empty text too) is returned unchanged;
// anything else is wrapped in double quotes, with each inner quote escaped by a backslash
// and every backslash run that ends at a quote doubled.
std::u16string QuoteArgument(std::u16string_view text);

// The part of a process's full command line that follows the program name, with the
// blanks before it skipped: the program's own start-up argument text.
std::u16string_view CommandLineTail(std::u16string_view commandLine);

// Turns the start-up argument text into the input path. Windows quotes a dropped or
// "Open with" file whose path has a blank, so text that begins with a double quote is read
// as the first argument by the C runtime's rules (quotes removed, anything after it ignored).
// Any other text is the path as it stands, so an unquoted path with blanks still works.
std::u16string InputPathFromStartupArgument(std::u16string_view argument);

} // namespace sorvane
