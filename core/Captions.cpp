#include "Captions.h"

#include "EncoderCommand.h"

namespace sorvane {

std::u16string_view QualityCaption(std::int32_t level) {
    if (level <= 1) {
        return u"Highest quality, very slow";
    }
    if (level <= 3) {
        return u"Good quality, slow";
    }
    if (level <= 5) {
        return u"Medium quality";
    }
    if (level <= 7) {
        return u"Bad quality, fast";
    }
    return u"Poor quality, very fast";
}

std::u16string SpokenQuality(std::int32_t level) {
    return std::u16string(QualityCaption(level)) + u", level " + DecimalText(level);
}

std::optional<std::u16string> BitrateCaption(std::int32_t position) {
    if (position < 0 || position >= static_cast<std::int32_t>(BitrateTable.size())) {
        return std::nullopt;
    }
    // Built from the same table as the command, so the label names what the encoder gets.
    return DecimalText(BitrateTable[static_cast<std::size_t>(position)]) + u" kbps";
}

} // namespace sorvane
