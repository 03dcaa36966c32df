// The core's rules as tables: the encoder command, the folders searched for a program. The rest
// is fuzzed or checked where the window shows it and the encoder receives it.
#include "EncoderCommand.h"
#include "ProgramSearch.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

constexpr EncoderMode S = EncoderMode::StandardMode;

// Paths go in quotes when they must: a quote escaped, a backslash run before a quote doubled.
TEST(Core, EncoderCommand) {
    const std::u16string in = u"C:\\in.wav", out = u"C:\\out.mp3", typed = u" \"a b\"  & | ^ \\\" ";
    const std::pair<EncoderSettings, std::u16string_view> cases[] = {
        {{S, true, 7, true, 4, true, u"", in, out}, u"lame.exe -h  C:\\in.wav C:\\out.mp3"},
        {{EncoderMode::CustomMode, true, 9, true, 5, false, u"", in, out},
         u"lame.exe  -q 9 -b 160  C:\\in.wav C:\\out.mp3"},
        {{S, false, 0, false, 0, false, typed, in, out},
         u"lame.exe -h  \"a b\"  & | ^ \\\"  C:\\in.wav C:\\out.mp3"},
        {{S, false, 0, false, 0, false, u"", u"C:\\My Music\\a.wav", u"C:\\a\\\\\"b\\"},
         u"lame.exe -h  \"C:\\My Music\\a.wav\" \"C:\\a\\\\\\\\\\\"b\\\\\""},
    };
    for (const auto& [settings, expected] : cases) {
        EXPECT_EQ(BuildEncoderCommand(settings), expected);
    }
}

// PATH as cmd.exe reads it: quotes off (a semicolon inside them kept), only full paths kept.
TEST(Core, ProgramSearch) {
    const std::pair<std::u16string_view, std::vector<std::u16string>> paths[] = {
        {u"C:\\A;;\"C:\\x;y\";D:/b/;\\\\server\\share",
         {u"C:\\A\\", u"C:\\x;y\\", u"D:/b/", u"\\\\server\\share\\"}},
        {u".;bin;\\bin;C:;C:bin;\"\";", {}}};
    for (const auto& [path, folders] : paths) {
        EXPECT_EQ(SearchFolders({}, path), folders);
    }
}

} // namespace
} // namespace sorvane
