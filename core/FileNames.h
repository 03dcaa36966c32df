#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

// The output path for an input path: its last three UTF-16 units replaced by "mp3".
// Fails (empty optional) when the input has fewer than three units.
std::optional<std::u16string> DeriveOutputPath(std::u16string_view inputPath);

// The job's two paths, owned by the window.
class JobPaths {
  public:
    // Replaces the input path, then derives the output path from it. When the derivation
    // fails the new input path is kept, the output path keeps its old value, and false is
    // returned.
    bool SetInputPath(std::u16string path);
    void SetOutputPath(std::u16string path);

    const std::u16string& InputPath() const { return input_; }
    const std::u16string& OutputPath() const { return output_; }

  private:
    std::u16string input_;
    std::u16string output_;
};

} // namespace sorvane
