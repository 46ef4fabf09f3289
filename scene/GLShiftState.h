#pragma once

#include "GLSceneTypes.h"

#include <cstdint>

namespace Scene {

enum TMouseButton : std::uint8_t
{
    mbLeft,
    mbRight,
    mbMiddle,
};

enum TShiftStateItem : std::uint8_t
{
    ssShift,
    ssAlt,
    ssCtrl,
    ssLeft,
    ssRight,
    ssMiddle,
    ssDouble,
};

// Keys held and mouse buttons down during a mouse event.
using TShiftState = TSet<TShiftStateItem>;

} // namespace Scene
