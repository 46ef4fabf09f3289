#pragma once

#include <cstdint>

namespace Scene {

// Horizontal placement of every line against the anchor.
enum TAlignment : std::uint8_t
{
    taLeftJustify,
    taRightJustify,
    taCenter,
};

// Vertical placement of the whole block against the anchor.
enum TGLTextLayout : std::uint8_t
{
    tlTop,
    tlCenter,
    tlBottom,
};

} // namespace Scene
