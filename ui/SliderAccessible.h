#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace sorvane {

// The words the window shows beside a slider for a position; none to keep the system's value.
using SliderCaption = std::optional<std::u16string> (*)(std::int32_t position);

// Makes a screen reader announce the slider as a slider named by `label`, whose value is the
// slider's position in words. Undone when the slider is destroyed; false when it cannot be done.
bool SpeakSlider(HWND slider, HWND label, SliderCaption caption);

} // namespace sorvane
