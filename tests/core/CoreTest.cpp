// The core's rules as tables: captions, the encoder command, file names, the program search.
#include "Captions.h"
#include "EncoderCommand.h"
#include "FileNames.h"
#include "ProgramSearch.h"

#include <gtest/gtest.h>

#include <climits>

namespace sorvane {
namespace {

constexpr EncoderMode S = EncoderMode::StandardMode;
constexpr EncoderMode C = EncoderMode::CustomMode;

TEST(Core, Captions) {
    const std::u16string_view best = u"Highest quality, very slow", good = u"Good quality, slow",
                              medium = u"Medium quality", bad = u"Bad quality, fast",
                              poor = u"Poor quality, very fast";
    const std::pair<std::int32_t, std::u16string_view> quality[] = {
        {INT32_MIN, best}, {0, best}, {1, best}, {2, good}, {3, good}, {4, medium},
        {5, medium},       {6, bad},  {7, bad},  {8, poor}, {9, poor}, {INT32_MAX, poor}};
    for (const auto& [level, caption] : quality) {
        EXPECT_EQ(QualityCaption(level), caption) << level;
    }
    const std::pair<std::int32_t, std::optional<std::u16string>> bitrate[] = {
        {INT32_MIN, std::nullopt}, {-1, std::nullopt},       {0, u"32 kbps"},  {1, u"48 kbps"},
        {2, u"64 kbps"},           {3, u"96 kbps"},          {4, u"128 kbps"}, {5, u"160 kbps"},
        {6, std::nullopt},         {INT32_MAX, std::nullopt}};
    for (const auto& [position, caption] : bitrate) {
        EXPECT_EQ(BitrateCaption(position), caption) << position;
    }
}

// Paths go in quotes when they must: a quote escaped, a backslash run before a quote doubled.
TEST(Core, EncoderCommand) {
    const std::u16string in = u"C:\\in.wav", out = u"C:\\out.mp3", typed = u" \"a b\"  & | ^ \\\" ";
    const std::pair<EncoderSettings, std::u16string_view> cases[] = {
        {{S, false, 0, false, 0, false, u"", in, out}, u"lame.exe -h  C:\\in.wav C:\\out.mp3"},
        {{S, true, 7, true, 4, true, u"", in, out}, u"lame.exe -h  C:\\in.wav C:\\out.mp3"},
        {{C, false, 0, false, 0, false, u"", in, out}, u"lame.exe   C:\\in.wav C:\\out.mp3"},
        {{C, true, 2, true, 4, true, u"--tt x", in, out},
         u"lame.exe  -q 2 -b 128 -k --tt x C:\\in.wav C:\\out.mp3"},
        {{C, true, 0, false, 4, false, u"", in, out}, u"lame.exe  -q 0  C:\\in.wav C:\\out.mp3"},
        {{C, false, 3, true, 0, false, u"", in, out}, u"lame.exe  -b 32  C:\\in.wav C:\\out.mp3"},
        {{C, true, INT32_MIN, true, 5, false, u"", in, out},
         u"lame.exe  -q -2147483648 -b 160  C:\\in.wav C:\\out.mp3"},
        {{C, true, 9, true, -1, false, u"", in, out},
         u"lame.exe  -q 9 -b   C:\\in.wav C:\\out.mp3"},
        {{C, false, 0, true, 6, false, u"", in, out}, u"lame.exe  -b   C:\\in.wav C:\\out.mp3"},
        {{S, false, 0, false, 0, false, u"", u"", u""}, u"lame.exe -h   "},
        {{S, false, 0, false, 0, false, typed, in, out},
         u"lame.exe -h  \"a b\"  & | ^ \\\"  C:\\in.wav C:\\out.mp3"},
        {{S, false, 0, false, 0, false, u"", u"C:\\My Music\\a.wav", u"C:\\a\\\\\"b\\"},
         u"lame.exe -h  \"C:\\My Music\\a.wav\" \"C:\\a\\\\\\\\\\\"b\\\\\""},
    };
    for (const auto& [settings, expected] : cases) {
        EXPECT_EQ(BuildEncoderCommand(settings), expected);
    }
}

TEST(Core, FileNames) {
    const std::pair<std::u16string, std::optional<std::u16string>> derived[] = {
        {u"C:\\Music\\song.wav", u"C:\\Music\\song.mp3"},
        {u"C:\\Music\\song.flac", u"C:\\Music\\song.fmp3"},
        {u"\"C:\\My Music\\a.wav\"", u"\"C:\\My Music\\a.wmp3"},
        {u"abc", u"mp3"},
        {u"ab", std::nullopt}};
    for (const auto& [input, output] : derived) {
        EXPECT_EQ(DeriveOutputPath(input), output);
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
    const std::pair<std::u16string_view, std::u16string_view> shims[] = {
        {u"path = C:\\apps\\lame.exe", u"C:\\apps\\lame.exe"},
        {u"\uFEFFargs = -x\r\npath=\"C:\\Program Files\\lame.exe\"  \r\n",
         u"C:\\Program Files\\lame.exe"},
        {u"mypath = C:\\a.exe\npath = lame.exe", u""}};
    for (const auto& [shim, target] : shims) {
        EXPECT_EQ(ShimTarget(shim), target);
    }
}

} // namespace
} // namespace sorvane
