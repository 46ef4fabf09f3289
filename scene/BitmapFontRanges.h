#pragma once

#include "scene/BitmapFontRange.h"

#include <memory>
#include <vector>

namespace Scene {

// The font's ranges, in order. Adding, deleting or changing a range notifies
// the owner (the font).
class TBitmapFontRanges : public TGLUpdateAbleObject
{
public:
    explicit TBitmapFontRanges(TGLUpdateAbleObject* Owner = nullptr) : TGLUpdateAbleObject(Owner) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    TBitmapFontRange& Items(int Index) { return *FItems.at(static_cast<std::size_t>(Index)); }
    const TBitmapFontRange& Items(int Index) const { return *FItems.at(static_cast<std::size_t>(Index)); }
    TBitmapFontRange& operator[](int Index) { return Items(Index); }

    TBitmapFontRange& Add();
    // A range from Start to Stop (Stop below Start is raised to Start).
    TBitmapFontRange& Add(unsigned char Start, unsigned char Stop, int StartGlyphIdx = 0);
    void Delete(int Index);
    void Clear();

    // Sum of the ranges' character counts (a code in two ranges counts twice).
    int CharacterCount() const;
    bool Contains(unsigned char Code) const;

    void NotifyChange(TGLUpdateAbleObject* Sender) override;

private:
    int FSilent = 0;
    std::vector<std::unique_ptr<TBitmapFontRange>> FItems;
};

} // namespace Scene
