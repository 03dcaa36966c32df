// Fuzzes the encoder command line: whatever the window holds, lame.exe must receive the
// option words, the extra options split as typed, and the two paths as whole arguments.

#include "CommandLine.h"
#include "EncoderCommand.h"
#include "FuzzInput.h"
#include "support/WindowsArgv.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sorvane::fuzz {
namespace {

using Words = std::vector<std::u16string>;

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// The arguments a program receives when the text follows its name on the command line.
Words SplitArguments(std::u16string_view text) {
    Words words = testing::SplitWindowsCommandLine(u"p " + std::u16string(text));
    words.erase(words.begin());
    return words;
}

// The option words for the settings, worked out from the encoder's documented switches:
// standard mode asks for "-h"; custom mode for "-q N", "-b KBPS" (a bare "-b" when the
// slider position is off the table) and "-k", each only when its box is ticked.
Words ExpectedOptionWords(const EncoderSettings& s) {
    if (s.Mode == EncoderMode::StandardMode) {
        return {u"-h"};
    }
    Words words;
    if (s.QualityEnabled) {
        words.push_back(u"-q");
        words.push_back(Ascii(std::to_string(s.QualityLevel)));
    }
    if (s.BitrateEnabled) {
        words.push_back(u"-b");
        static const char16_t* const kbps[] = {u"32", u"48", u"64", u"96", u"128", u"160"};
        if (s.BitratePosition >= 0 && s.BitratePosition < 6) {
            words.push_back(kbps[static_cast<std::size_t>(s.BitratePosition)]);
        }
    }
    if (s.FilteringDisabled) {
        words.push_back(u"-k");
    }
    return words;
}

void CheckSame(const Words& got, const Words& expected, const char* what) {
    if (got != expected) {
        PrintWords("expected", expected);
        PrintWords("got", got);
        Fail(what, __FILE__, __LINE__);
    }
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Any text written by QuoteArgument comes back alone and unchanged; the empty text is
// written as nothing, so it comes back as no argument at all.
void CheckQuoting(const std::u16string& text) {
    const std::u16string quoted = QuoteArgument(text);
    SORVANE_CHECK(!testing::EndsInsideQuotes(quoted));
    const Words expected = text.empty() ? Words{} : Words{text};
    CheckSame(SplitArguments(quoted), expected, "QuoteArgument text splits back to itself");
    if (!quoted.empty() && quoted[0] == u'"') {
        // The start-up argument of a dropped file is quoted the same way.
        if (InputPathFromStartupArgument(quoted) != text) {
            PrintText("text", text);
            PrintText("quoted", quoted);
            PrintText("read back", InputPathFromStartupArgument(quoted));
            Fail("InputPathFromStartupArgument(QuoteArgument(x)) == x", __FILE__, __LINE__);
        }
    }
}

} // namespace
} // namespace sorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sorvane;
    using namespace sorvane::fuzz;

    FuzzInput in(data, size);
    EncoderSettings s;
    const std::uint8_t flags = in.Byte();
    s.Mode = (flags & 1) != 0 ? EncoderMode::CustomMode : EncoderMode::StandardMode;
    s.QualityEnabled = (flags & 2) != 0;
    s.BitrateEnabled = (flags & 4) != 0;
    s.FilteringDisabled = (flags & 8) != 0;
    s.QualityLevel = in.Int32();
    s.BitratePosition = in.Int32();
    s.ExtraOptions = in.Text();
    s.InputPath = in.Text();
    s.OutputPath = in.Text();

    const std::u16string command = BuildEncoderCommand(s);
    SORVANE_CHECK(StartsWith(command, u"lame.exe "));
    // The extra options go in exactly as typed, followed by the two paths as QuoteArgument
    // writes them.
    SORVANE_CHECK(EndsWith(command, u" " + s.ExtraOptions + u" " + QuoteArgument(s.InputPath) +
                                        u" " + QuoteArgument(s.OutputPath)));

    const Words argv = testing::SplitWindowsCommandLine(command);
    const Words options = ExpectedOptionWords(s);

    // The program name and the option words come before anything typed, so they always
    // reach lame.exe whole.
    Words head = {u"lame.exe"};
    head.insert(head.end(), options.begin(), options.end());
    const std::size_t headSize = argv.size() < head.size() ? argv.size() : head.size();
    CheckSame(Words(argv.begin(), argv.begin() + static_cast<std::ptrdiff_t>(headSize)), head,
              "program name and option words come first");

    // Extra options that leave a quote open swallow the paths that follow; that is what the
    // user typed. Otherwise the blank written after them ends their last word: a backslash
    // run at their end is followed by that blank, never by the quote a quoted path starts
    // with, so it stays literal and cannot escape anything.
    if (!testing::EndsInsideQuotes(s.ExtraOptions)) {
        Words expected = head;
        const Words extra = SplitArguments(s.ExtraOptions);
        expected.insert(expected.end(), extra.begin(), extra.end());
        // An empty path is written as nothing, so the split cannot see it.
        for (const auto* path : {&s.InputPath, &s.OutputPath}) {
            if (!path->empty()) {
                expected.push_back(*path);
            }
        }
        if (argv != expected) {
            PrintText("command", command);
        }
        CheckSame(argv, expected, "command splits into program, options, extra words, paths");
    }

    CheckQuoting(s.ExtraOptions);
    CheckQuoting(s.InputPath);
    CheckQuoting(s.OutputPath);
    return 0;
}
