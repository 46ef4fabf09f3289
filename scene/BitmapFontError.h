#pragma once

#include <stdexcept>

namespace Scene {

// A bitmap font could not build its glyph texture.
class EBitmapFontError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace Scene
