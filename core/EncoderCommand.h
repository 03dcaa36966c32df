#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sorvane {

enum class EncoderMode { StandardMode, CustomMode };

// The encoder's program, the first word of every encoder command.
inline constexpr char16_t kEncoderProgram[] = u"lame.exe";

// Constant bitrate in kbps for each position of the bitrate slider.
inline constexpr std::array<std::int32_t, 6> BitrateTable{32, 48, 64, 96, 128, 160};

// The encoder choices read from the window at the moment of launch.
struct EncoderSettings {
    EncoderMode Mode = EncoderMode::StandardMode;
    bool QualityEnabled = false;
    std::int32_t QualityLevel = 0;
    bool BitrateEnabled = false;
    std::int32_t BitratePosition = 0;
    bool FilteringDisabled = false;
    std::u16string ExtraOptions;
    std::u16string InputPath;
    std::u16string OutputPath;
};

// Decimal text of a signed integer: no blank, no plus sign.
std::u16string DecimalText(std::int32_t value);

// The complete command line that starts lame.exe with these settings. The two paths are
// written as single arguments (see QuoteArgument); the extra options go in exactly as typed.
std::u16string BuildEncoderCommand(const EncoderSettings& settings);

} // namespace sorvane
