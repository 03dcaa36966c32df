#include "FileNames.h"

#include <utility>

namespace sorvane {

std::optional<std::u16string> DeriveOutputPath(std::u16string_view inputPath) {
    if (inputPath.size() < 3) {
        return std::nullopt;
    }
    std::u16string output(inputPath.substr(0, inputPath.size() - 3));
    output += u"mp3";
    return output;
}

bool JobPaths::SetInputPath(std::u16string path) {
    input_ = std::move(path);
    std::optional<std::u16string> derived = DeriveOutputPath(input_);
    if (!derived) {
        return false;
    }
    output_ = std::move(*derived);
    return true;
}

void JobPaths::SetOutputPath(std::u16string path) {
    output_ = std::move(path);
}

} // namespace sorvane
