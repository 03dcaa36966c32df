#pragma once

#include <windows.h>

#include <oleacc.h>

#include <cstdint>
#include <optional>
#include <string>

namespace sorvane {

// The words the window shows beside a slider for a position; none to keep the system's value.
using SliderCaption = std::optional<std::u16string> (*)(std::int32_t position);

// What a screen reader is told of a control where the system's own answer says too little.
// The name is the texts of the windows in `name`, read when asked, with a blank between them;
// a role or value left at 0 or null is the system's own.
struct Spoken {
    HWND name[2] = {};
    LONG role = 0;
    SliderCaption value = nullptr; // a slider's position in words
};

// Makes a screen reader announce the control as `spoken` says. Undone when the control is
// destroyed; false when it cannot be done.
bool SpeakAs(HWND control, const Spoken& spoken);

} // namespace sorvane
