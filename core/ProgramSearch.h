#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

// The folders to look for a program in, each with a trailing backslash: `folders`, then the
// entries of a PATH value as cmd.exe reads them. An entry ends at a semicolon outside double
// quotes and its quotes are taken off, so "C:\A;B" is the one folder C:\A;B. Only full paths
// are kept, from a drive's root or a network share: an empty entry, or one such as ".", "bin"
// or "\bin", depends on the current folder or drive, where a program of the same name could
// have been planted beside the files the user opened.
std::vector<std::u16string> SearchFolders(std::vector<std::u16string> folders,
                                          std::u16string_view path);

// The program that a Scoop shim starts, from the text of the .shim file beside it: its
// "path = " line's value, with or without quotes. Empty when that is no full path.
std::u16string ShimTarget(std::u16string_view shim);

} // namespace sorvane
