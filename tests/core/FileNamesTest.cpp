#include "FileNames.h"
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace sorvane {
namespace {

TEST(DeriveOutputPath, ReplacesTheLastThreeUnits) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"C:\\Music\\song.wav", u"C:\\Music\\song.mp3"},
        {u"C:\\Music\\song.flac", u"C:\\Music\\song.fmp3"},
        {u"abc", u"mp3"},
        {u"\"C:\\My Music\\a.wav\"", u"\"C:\\My Music\\a.wmp3"},
        {u"C:\\Музыка\\песня.wav", u"C:\\Музыка\\песня.mp3"},
        // A non-BMP letter is two UTF-16 units: only its trailing unit is replaced.
        {u"x\U0001F3B5ab", u"x\xD83Cmp3"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(DeriveOutputPath(input), expected);
    }
    for (const std::u16string tooShort : {u"", u"a", u"ab", u"\U0001F3B5"}) {
        EXPECT_EQ(DeriveOutputPath(tooShort), std::nullopt) << tooShort.size();
    }
}

TEST(JobPaths, ShortInputReplacesInputAndKeepsOutput) {
    for (const std::u16string tooShort : {u"", u"a", u"ab"}) {
        JobPaths paths;
        ASSERT_TRUE(paths.SetInputPath(u"C:\\first.wav"));
        EXPECT_FALSE(paths.SetInputPath(tooShort));
        EXPECT_EQ(paths.InputPath(), tooShort);
        EXPECT_EQ(paths.OutputPath(), u"C:\\first.mp3");
    }
}

TEST(JobPaths, NewInputReplacesChosenOutput) {
    JobPaths paths;
    EXPECT_TRUE(paths.InputPath().empty());
    EXPECT_TRUE(paths.OutputPath().empty());
    paths.SetOutputPath(u"D:\\chosen.mp3");
    EXPECT_EQ(paths.OutputPath(), u"D:\\chosen.mp3");
    EXPECT_TRUE(paths.InputPath().empty());
    ASSERT_TRUE(paths.SetInputPath(u"E:\\new.wav"));
    EXPECT_EQ(paths.InputPath(), u"E:\\new.wav");
    EXPECT_EQ(paths.OutputPath(), u"E:\\new.mp3");
}

TEST(StartupArgument, QuotedTextGivesTheFirstArgument) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"", u""},
        {u"C:\\My Music\\a.wav", u"C:\\My Music\\a.wav"},
        {u"C:\\a.wav \"x\"", u"C:\\a.wav \"x\""},
        {u"\"C:\\My Music\\a.wav\"", u"C:\\My Music\\a.wav"},
        {u"\"C:\\My Music\\a.wav\" -extra words", u"C:\\My Music\\a.wav"},
        {u"\"C:\\My Music\\a.wav\"tail more", u"C:\\My Music\\a.wavtail"},
        {u"\"unclosed path.wav", u"unclosed path.wav"},
        {u"\"\"", u""},
        {u"\"a\\\"b c\"", u"a\"b c"},
        {u"\"dir\\\\\" x", u"dir\\"},
        {u"\"a\"\"b\"", u"a\"b"},
    };
    for (const auto& [argument, expected] : cases) {
        EXPECT_EQ(InputPathFromStartupArgument(argument), expected);
    }
}

TEST(CommandLineTail, SkipsTheProgramNameAndBlanks) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"Sorvane.exe", u""},
        {u"Sorvane.exe   ", u""},
        {u"Sorvane.exe C:\\a.wav", u"C:\\a.wav"},
        {u"\"C:\\Program Files\\Sorvane.exe\"  \"C:\\x y.wav\"", u"\"C:\\x y.wav\""},
        {u"\"C:\\Pro gram\\S.exe\"C:\\a.wav", u"C:\\a.wav"},
        {u"\"unclosed", u""},
        {u"", u""},
        {u"S.exe\t\ta  b ", u"a  b "},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(CommandLineTail(line), expected);
    }
}

} // namespace
} // namespace sorvane
