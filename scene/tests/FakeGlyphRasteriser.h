#pragma once

#include "scene/Font.h"
#include "scene/GlyphPicture.h"
#include "scene/GlyphRasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace Scene::Testing {

// A rasteriser with made-up metrics: every character is DefaultWidth pixels
// wide unless Widths says otherwise, every line LineHeight high. Drawing
// fills the first character's box in white (within the clip) and logs the
// call. Installed while it lives.
class TFakeGlyphRasteriser : public TGlyphRasteriser
{
public:
    struct TDrawCall
    {
        TGlyphRectangle Clip;
        int X = 0;
        int Y = 0;
        std::string Text;
    };

    TFakeGlyphRasteriser() : FPrevious(SetGlyphRasteriser(this)) {}
    ~TFakeGlyphRasteriser() override { SetGlyphRasteriser(FPrevious); }
    TFakeGlyphRasteriser(const TFakeGlyphRasteriser&) = delete;
    TFakeGlyphRasteriser& operator=(const TFakeGlyphRasteriser&) = delete;

    int Width(unsigned char Code) const
    {
        const auto Found = Widths.find(Code);
        return Scaled(Found == Widths.end() ? DefaultWidth : Found->second);
    }
    int Height() const { return Scaled(LineHeight); }
    // With ScaleWithFontHeight, a font of n times the default pixel height has n times the metrics.
    int Scaled(int Pixels) const
    {
        if (!ScaleWithFontHeight)
            return Pixels;
        return static_cast<int>(std::lround(Pixels * std::abs(LastFont.Height()) / 11.0));
    }

    std::unique_ptr<TGlyphCanvas> CreateCanvas(TGlyphPicture& Picture, const TFont& Font) override
    {
        LastFont.Assign(Font);
        ++CanvasCount;
        return std::make_unique<TCanvas>(*this, Picture);
    }

    int DefaultWidth = 5;
    int LineHeight = 10;
    bool ScaleWithFontHeight = false;
    std::map<unsigned char, int> Widths;
    std::vector<TDrawCall> Drawn;
    TFont LastFont;
    int CanvasCount = 0;

private:
    class TCanvas : public TGlyphCanvas
    {
    public:
        TCanvas(TFakeGlyphRasteriser& Owner, TGlyphPicture& Picture) : FOwner(Owner), FPicture(Picture) {}

        int TextWidth(std::string_view Text) override
        {
            int Result = 0;
            for (const char C : Text)
                Result += FOwner.Width(static_cast<unsigned char>(C));
            return Result;
        }
        int TextHeight(std::string_view) override { return FOwner.Height(); }
        void TextRect(const TGlyphRectangle& Clip, int X, int Y, std::string_view Text) override
        {
            FOwner.Drawn.push_back(TDrawCall{Clip, X, Y, std::string(Text)});
            const int Right = X + (Text.empty() ? 0 : FOwner.Width(static_cast<unsigned char>(Text[0])));
            for (int PY = std::max(Y, Clip.Top);
                 PY < std::min({Y + FOwner.Height(), Clip.Bottom, FPicture.Height()}); ++PY)
                for (int PX = std::max(X, Clip.Left); PX < std::min({Right, Clip.Right, FPicture.Width()});
                     ++PX)
                    FPicture.ScanLine(PY)[PX] = 0xFFFFFFFFu;
        }

    private:
        TFakeGlyphRasteriser& FOwner;
        TGlyphPicture& FPicture;
    };

    TGlyphRasteriser* FPrevious;
};

} // namespace Scene::Testing
