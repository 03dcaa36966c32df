// Fuzzes the file-name rules: the output name derived from an input name, the pair of
// paths the window keeps, and the reading of the program's own start-up arguments.
// Texts are copied into heap buffers of exactly their length, so that AddressSanitizer
// stops the run on any read past their end.

#include "CommandLine.h"
#include "FileNames.h"
#include "FuzzInput.h"
#include "support/WindowsArgv.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::fuzz {
namespace {

class ExactText {
  public:
    explicit ExactText(const std::u16string& text)
        : size_(text.size()), units_(new char16_t[text.size()]) {
        std::copy(text.begin(), text.end(), units_.get());
    }
    std::u16string_view View() const { return {units_.get(), size_}; }
    const char16_t* Begin() const { return units_.get(); }
    const char16_t* End() const { return units_.get() + size_; }

  private:
    std::size_t size_;
    std::unique_ptr<char16_t[]> units_;
};

std::vector<std::u16string> SplitArguments(std::u16string_view text) {
    std::vector<std::u16string> words =
        testing::SplitWindowsCommandLine(u"p " + std::u16string(text));
    words.erase(words.begin());
    return words;
}

void CheckDerive(const std::u16string& text) {
    const ExactText exact(text);
    const std::optional<std::u16string> derived = DeriveOutputPath(exact.View());
    if (text.size() < 3) {
        SORVANE_CHECK(!derived.has_value());
        return;
    }
    SORVANE_CHECK(derived.has_value());
    SORVANE_CHECK(*derived == text.substr(0, text.size() - 3) + u"mp3");
}

void CheckTail(const std::u16string& text) {
    const ExactText exact(text);
    const std::u16string_view tail = CommandLineTail(exact.View());
    // A view of the end of the very same text, not a copy.
    SORVANE_CHECK(tail.size() <= text.size());
    SORVANE_CHECK(tail.data() + tail.size() == exact.End());
    SORVANE_CHECK(tail == std::u16string_view(text).substr(text.size() - tail.size()));
    // The blanks before the arguments are skipped.
    SORVANE_CHECK(tail.empty() || (tail[0] != u' ' && tail[0] != u'\t'));
    // The C runtime gives the program the same arguments from the tail as from the whole line.
    std::vector<std::u16string> whole = testing::SplitWindowsCommandLine(text);
    whole.erase(whole.begin());
    if (whole != SplitArguments(tail)) {
        PrintText("command line", text);
        PrintText("tail", tail);
        Fail("the tail holds the same arguments as the command line", __FILE__, __LINE__);
    }
}

void CheckStartupArgument(const std::u16string& text) {
    const ExactText exact(text);
    const std::u16string path = InputPathFromStartupArgument(exact.View());
    if (text.empty() || text[0] != u'"') {
        SORVANE_CHECK(path == text);
        return;
    }
    // Text that starts with a quote is read as its first argument.
    const std::vector<std::u16string> words = SplitArguments(text);
    SORVANE_CHECK(!words.empty());
    if (path != words[0]) {
        PrintText("argument", text);
        PrintText("expected", words[0]);
        PrintText("got", path);
        Fail("a quoted start-up argument gives its first argument", __FILE__, __LINE__);
    }
}

} // namespace
} // namespace sorvane::fuzz

// The input is a list of steps, each a step byte and a text: bit 0 of the step byte picks
// SetOutputPath over SetInputPath. Every text also goes through the pure functions.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sorvane;
    using namespace sorvane::fuzz;

    FuzzInput in(data, size);
    JobPaths paths;
    std::u16string input;
    std::u16string output;
    SORVANE_CHECK(paths.InputPath().empty() && paths.OutputPath().empty());
    while (!in.Empty()) {
        const std::uint8_t step = in.Byte();
        const std::u16string text = in.Text();
        if ((step & 1) != 0) {
            paths.SetOutputPath(text);
            output = text;
        } else {
            const bool derived = paths.SetInputPath(text);
            // The new input is always kept; the output follows it only when it can be
            // derived, else the old output stays.
            SORVANE_CHECK(derived == (text.size() >= 3));
            input = text;
            if (derived) {
                output = text.substr(0, text.size() - 3) + u"mp3";
            }
        }
        SORVANE_CHECK(paths.InputPath() == input);
        SORVANE_CHECK(paths.OutputPath() == output);

        CheckDerive(text);
        CheckTail(text);
        CheckStartupArgument(text);
    }
    return 0;
}
