#include "scene/BitmapFontRange.h"

#include <algorithm>

namespace Scene {

void TBitmapFontRange::SetStartASCII(unsigned char Value)
{
    if (Value == FStartASCII)
        return;
    FStartASCII = Value;
    FStopASCII = std::max(FStopASCII, Value);
    NotifyChange(this);
}

void TBitmapFontRange::SetStopASCII(unsigned char Value)
{
    if (Value == FStopASCII)
        return;
    FStopASCII = Value;
    FStartASCII = std::min(FStartASCII, Value);
    NotifyChange(this);
}

void TBitmapFontRange::SetStartGlyphIdx(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FStartGlyphIdx)
        return;
    FStartGlyphIdx = Value;
    NotifyChange(this);
}

} // namespace Scene
