#include "EncoderCommand.h"

#include "CommandLine.h"

namespace sorvane {

std::u16string DecimalText(std::int32_t value) {
    // Work in 64 bits so that the smallest 32-bit value can be negated.
    std::int64_t magnitude = value;
    const bool negative = magnitude < 0;
    if (negative) {
        magnitude = -magnitude;
    }
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        digits.insert(digits.begin(), u'-');
    }
    return digits;
}

std::u16string BuildEncoderCommand(const EncoderSettings& settings) {
    std::u16string command = kEncoderProgram;
    command += u' ';
    if (settings.Mode == EncoderMode::StandardMode) {
        command += u"-h";
    } else {
        if (settings.QualityEnabled) {
            command += u" -q ";
            command += DecimalText(settings.QualityLevel);
        }
        if (settings.BitrateEnabled) {
            command += u" -b ";
            // A position outside the table leaves " -b " on its own.
            if (settings.BitratePosition >= 0 &&
                settings.BitratePosition < static_cast<std::int32_t>(BitrateTable.size())) {
                command +=
                    DecimalText(BitrateTable[static_cast<std::size_t>(settings.BitratePosition)]);
            }
        }
        if (settings.FilteringDisabled) {
            command += u" -k";
        }
    }
    command += u' ';
    command += settings.ExtraOptions;
    command += u' ';
    command += QuoteArgument(settings.InputPath);
    command += u' ';
    command += QuoteArgument(settings.OutputPath);
    return command;
}

} // namespace sorvane
