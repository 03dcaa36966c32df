#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

// Words for a quality level; every integer has one.
std::u16string_view QualityCaption(std::int32_t level);

// What a screen reader says of the quality slider at a level: its words and, as two levels
// share their words, the level itself, which is the number the encoder gets.
std::u16string SpokenQuality(std::int32_t level);

// "<kbps> kbps" for a bitrate position 0..5; an empty optional (leave the label as it is)
// for any other position.
std::optional<std::u16string> BitrateCaption(std::int32_t position);

} // namespace sorvane
