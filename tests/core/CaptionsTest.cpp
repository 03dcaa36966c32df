#include "Captions.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace sorvane {
namespace {

TEST(QualityCaption, BandsAtEveryLimit) {
    const std::u16string_view highest = u"Highest quality, very slow";
    const std::u16string_view good = u"Good quality, slow";
    const std::u16string_view medium = u"Medium quality";
    const std::u16string_view bad = u"Bad quality, fast";
    const std::u16string_view poor = u"Poor quality, very fast";
    const std::vector<std::pair<std::int32_t, std::u16string_view>> cases = {
        {INT32_MIN, highest}, {-1, highest},     {0, highest}, {1, highest}, {2, good}, {3, good},
        {4, medium},          {5, medium},       {6, bad},     {7, bad},     {8, poor}, {9, poor},
        {10, poor},           {INT32_MAX, poor},
    };
    for (const auto& [level, caption] : cases) {
        EXPECT_EQ(QualityCaption(level), caption) << level;
    }
}

TEST(BitrateCaption, TableInsideAndNoChangeOutside) {
    const std::vector<std::pair<std::int32_t, std::optional<std::u16string>>> cases = {
        {INT32_MIN, std::nullopt}, {-1, std::nullopt},        {0, u"32 kbps"},  {1, u"48 kbps"},
        {2, u"64 kbps"},           {3, u"96 kbps"},           {4, u"128 kbps"}, {5, u"160 kbps"},
        {6, std::nullopt},         {INT32_MAX, std::nullopt},
    };
    for (const auto& [position, caption] : cases) {
        EXPECT_EQ(BitrateCaption(position), caption) << position;
    }
    // "No change" is not an empty text.
    EXPECT_NE(BitrateCaption(6), std::optional<std::u16string>(u""));
}

} // namespace
} // namespace sorvane
