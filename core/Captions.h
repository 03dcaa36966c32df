#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

// Words for a quality level; every integer has one.
std::u16string_view QualityCaption(std::int32_t level);

// "<kbps> kbps" for a bitrate position 0..5; an empty optional (leave the label as it is)
// for any other position.
std::optional<std::u16string> BitrateCaption(std::int32_t position);

} // namespace sorvane
