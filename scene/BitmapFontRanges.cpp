#include "scene/BitmapFontRanges.h"

#include <algorithm>
#include <stdexcept>

namespace Scene {

TBitmapFontRange& TBitmapFontRanges::Add()
{
    FItems.push_back(std::make_unique<TBitmapFontRange>(this));
    NotifyChange(this);
    return *FItems.back();
}

TBitmapFontRange& TBitmapFontRanges::Add(unsigned char Start, unsigned char Stop, int StartGlyphIdx)
{
    FItems.push_back(std::make_unique<TBitmapFontRange>(this));
    TBitmapFontRange& Range = *FItems.back();
    ++FSilent;
    Range.SetStopASCII(std::max(Start, Stop));
    Range.SetStartASCII(Start);
    Range.SetStartGlyphIdx(StartGlyphIdx);
    --FSilent;
    NotifyChange(this);
    return Range;
}

void TBitmapFontRanges::NotifyChange(TGLUpdateAbleObject* Sender)
{
    if (FSilent == 0)
        TGLUpdateAbleObject::NotifyChange(Sender);
}

void TBitmapFontRanges::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("TBitmapFontRanges::Delete: no such range");
    FItems.erase(FItems.begin() + Index);
    NotifyChange(this);
}

void TBitmapFontRanges::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    NotifyChange(this);
}

int TBitmapFontRanges::CharacterCount() const
{
    int Result = 0;
    for (const auto& Range : FItems)
        Result += Range->CharacterCount();
    return Result;
}

bool TBitmapFontRanges::Contains(unsigned char Code) const
{
    for (const auto& Range : FItems)
        if (Range->Contains(Code))
            return true;
    return false;
}

} // namespace Scene
