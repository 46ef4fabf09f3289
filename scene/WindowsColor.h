#pragma once

#include <cstdint>

namespace Scene {

// A colour as the stored design writes it: 0x00BBGGRR, or a system colour
// (high byte 0xFF, the low byte the system colour's index).
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
// RGB(166, 202, 240): the globe's background and the window's colour key.
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clBtnFace = 0xFF00000F;

// System colours become the values of a default desktop; others stay.
constexpr TColor ColorToRGB(TColor Color)
{
    if ((Color & 0xFF000000) != 0xFF000000)
        return Color & 0x00FFFFFF;
    switch (Color & 0xFF) {
    case 5: // window
        return 0xFFFFFF;
    case 8:  // window text
    case 18: // button text
        return 0x000000;
    case 15: // button face
    default:
        return 0xF0F0F0;
    }
}

} // namespace Scene
