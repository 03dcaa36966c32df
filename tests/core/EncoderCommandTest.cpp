#include "EncoderCommand.h"
#include "CommandLine.h"
#include "support/WindowsArgv.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace sorvane {
namespace {

EncoderSettings Custom() {
    EncoderSettings s;
    s.Mode = EncoderMode::CustomMode;
    s.InputPath = u"C:\\in.wav";
    s.OutputPath = u"C:\\out.mp3";
    return s;
}

struct CommandCase {
    const char* name;
    EncoderSettings settings;
    std::u16string expected;
};

TEST(BuildEncoderCommand, WritesFragmentsInOrder) {
    EncoderSettings standardWithChecks = Custom();
    standardWithChecks.Mode = EncoderMode::StandardMode;
    standardWithChecks.QualityEnabled = true;
    standardWithChecks.QualityLevel = 7;
    standardWithChecks.BitrateEnabled = true;
    standardWithChecks.FilteringDisabled = true;

    EncoderSettings full = Custom();
    full.QualityEnabled = true;
    full.QualityLevel = 2;
    full.BitrateEnabled = true;
    full.BitratePosition = 4;
    full.FilteringDisabled = true;
    full.ExtraOptions = u"--tt x";

    EncoderSettings quality0 = Custom();
    quality0.QualityEnabled = true;
    quality0.QualityLevel = 0;

    EncoderSettings bitrate0 = Custom();
    bitrate0.BitrateEnabled = true;
    bitrate0.BitratePosition = 0;

    EncoderSettings negative = Custom();
    negative.QualityEnabled = true;
    negative.QualityLevel = INT32_MIN;

    EncoderSettings emptyPaths = Custom();
    emptyPaths.InputPath.clear();
    emptyPaths.OutputPath.clear();

    const std::vector<CommandCase> cases = {
        {"standard",
         [] {
             auto s = Custom();
             s.Mode = EncoderMode::StandardMode;
             return s;
         }(),
         u"lame.exe -h  C:\\in.wav C:\\out.mp3"},
        {"standard ignores custom boxes", standardWithChecks,
         u"lame.exe -h  C:\\in.wav C:\\out.mp3"},
        {"custom, nothing enabled", Custom(), u"lame.exe   C:\\in.wav C:\\out.mp3"},
        {"custom, everything", full, u"lame.exe  -q 2 -b 128 -k --tt x C:\\in.wav C:\\out.mp3"},
        {"quality 0", quality0, u"lame.exe  -q 0  C:\\in.wav C:\\out.mp3"},
        {"bitrate only at 0", bitrate0, u"lame.exe  -b 32  C:\\in.wav C:\\out.mp3"},
        {"smallest level", negative, u"lame.exe  -q -2147483648  C:\\in.wav C:\\out.mp3"},
        {"empty paths keep their blanks", emptyPaths, u"lame.exe    "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildEncoderCommand(c.settings), c.expected) << c.name;
    }
}

TEST(BuildEncoderCommand, EveryBitratePosition) {
    const std::vector<std::pair<std::int32_t, std::u16string>> cases = {
        {-1, u""},   {0, u"32"},  {1, u"48"}, {2, u"64"},       {3, u"96"},
        {4, u"128"}, {5, u"160"}, {6, u""},   {INT32_MIN, u""}, {INT32_MAX, u""},
    };
    for (const auto& [position, kbps] : cases) {
        EncoderSettings s = Custom();
        s.BitrateEnabled = true;
        s.BitratePosition = position;
        EXPECT_EQ(BuildEncoderCommand(s), u"lame.exe  -b " + kbps + u"  C:\\in.wav C:\\out.mp3")
            << position;
    }
}

TEST(BuildEncoderCommand, ExtraOptionsGoInExactlyAsTyped) {
    EncoderSettings s = Custom();
    s.ExtraOptions = u" \"a b\"  & | < > ^ % ! \\\" ";
    EXPECT_EQ(BuildEncoderCommand(s),
              u"lame.exe   \"a b\"  & | < > ^ % ! \\\"  C:\\in.wav C:\\out.mp3");
}

// Paths that break naive quoting; each must come back as one argument, unchanged.
const std::vector<std::u16string> kTrickyPaths = {
    u"",
    u"C:\\My Music\\song.wav",
    u"C:\\Music\\song.wav",
    u"C:\\tab\there.wav",
    u"C:\\a\"b.wav",
    u"\"C:\\quoted.wav\"",
    u"C:\\dir with blank\\",
    u"C:\\dir\\\\",
    u"a\\\\\\\" b",
    u"a\\\\\\\\\"\" b",
    u"\\\\server\\share\\x y\\",
    u"  leading and trailing  ",
    u"\"",
    u" ",
    u"\\",
    u"C:\\Музыка\\песня.wav",
    u"C:\\音楽\\曲 1.wav",
    u"C:\\\U0001F3B5 music\\\U0001D11E.wav",
    u"C:\\עברית\\ملف.wav",
    u"a&b|c<d>e^f%g!h.wav",
};

TEST(BuildEncoderCommand, PathsSurviveTheWindowsSplit) {
    for (const auto& input : kTrickyPaths) {
        for (const auto& output : {std::u16string(u"D:\\out put\\x.mp3"), input}) {
            for (const auto& extra : {std::u16string(), std::u16string(u"-V 2 --tt \"A B\"")}) {
                EncoderSettings s = Custom();
                s.ExtraOptions = extra;
                s.InputPath = input;
                s.OutputPath = output;
                std::vector<std::u16string> argv =
                    testing::SplitWindowsCommandLine(BuildEncoderCommand(s));
                std::vector<std::u16string> expected = {u"lame.exe"};
                if (!extra.empty()) {
                    expected.insert(expected.end(), {u"-V", u"2", u"--tt", u"A B"});
                }
                // An empty path is written as nothing, so the split cannot see it.
                for (const auto* path : {&input, &output}) {
                    if (!path->empty()) {
                        expected.push_back(*path);
                    }
                }
                EXPECT_EQ(argv, expected) << BuildEncoderCommand(s).size();
            }
        }
    }
}

TEST(QuoteArgument, LeavesPlainTextAloneAndQuotesTheRest) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"", u""},
        {u"C:\\dir\\", u"C:\\dir\\"},
        {u"a\\\"b", u"\"a\\\\\\\"b\""},
        {u"C:\\My Music\\", u"\"C:\\My Music\\\\\""},
        {u"x y", u"\"x y\""},
        {u"\t", u"\"\t\""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(QuoteArgument(text), expected);
    }
}

} // namespace
} // namespace sorvane
