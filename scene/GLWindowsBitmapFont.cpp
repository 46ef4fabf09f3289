#include "scene/GLWindowsBitmapFont.h"

#include "scene/BitmapFontError.h"
#include "scene/GlyphRasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace Scene {
namespace {

// Keeps the glyph picture's change notice detached for a scope.
class TNoticeSuspension
{
public:
    explicit TNoticeSuspension(TGlyphPicture& Picture) : FPicture(Picture) { FPicture.SuspendNotice(); }
    ~TNoticeSuspension() { FPicture.ResumeNotice(); }
    TNoticeSuspension(const TNoticeSuspension&) = delete;
    TNoticeSuspension& operator=(const TNoticeSuspension&) = delete;

private:
    TGlyphPicture& FPicture;
};

} // namespace

TGLWindowsBitmapFont::TGLWindowsBitmapFont() : FFont(this)
{
    Ranges().Add(32, 125);
    SetGlyphAlpha(tiaAlphaFromIntensity);
    BuildAtlas();
}

void TGLWindowsBitmapFont::NotifyChange(TGLUpdateAbleObject* Sender)
{
    if (Sender == &FFont)
        RecreateTexture();
    TGLCustomBitmapFont::NotifyChange(Sender);
}

void TGLWindowsBitmapFont::SetRasterScale(float Value)
{
    Value = std::clamp(Value, 1.0f, 4.0f);
    if (Value == FRasterScale)
        return;
    FRasterScale = Value;
    RecreateTexture();
    TGLCustomBitmapFont::NotifyChange(this);
}

int TGLWindowsBitmapFont::DistinctCharacterCount() const
{
    int Result = 0;
    for (int Code = 0; Code < CharacterCodeCount; ++Code)
        Result += Ranges().Contains(static_cast<unsigned char>(Code)) ? 1 : 0;
    return Result;
}

int TGLWindowsBitmapFont::PackedCharacterCount(int Width, int Height) const
{
    return Pack(Width, Height, nullptr);
}

int TGLWindowsBitmapFont::Pack(int Width, int Height, const TPlace& Place) const
{
    if (FCharacterWidths.size() != CharacterCodeCount || FCharacterHeight > Height)
        return 0;
    int X = 0;
    int Y = 0;
    int Count = 0;
    for (int Code = 0; Code < CharacterCodeCount; ++Code) {
        const int CharacterWidth = FCharacterWidths[Code];
        if (CharacterWidth <= 0)
            continue;
        const int CellWidth = CharacterWidth + 2;
        // A row goes on after a code whose successor has no width, so a later cell may not fit
        // where it must go: this atlas size cannot hold the characters.
        if (X + CellWidth > Width)
            return Count;
        if (Place)
            Place(static_cast<unsigned char>(Code),
                  TGlyphRectangle{X, Y, X + CellWidth, Y + FCharacterHeight});
        // Only the very next code is asked for room, even when it has no width.
        if (Code == 255 || X + CellWidth + FCharacterWidths[Code + 1] + 2 <= Width) {
            X += CellWidth;
        } else {
            X = 0;
            Y += FCharacterHeight;
            if (Y + FCharacterHeight > Height)
                return Count;
        }
        ++Count;
    }
    return Count;
}

void TGLWindowsBitmapFont::BuildAtlas()
{
    TGlyphRasteriser* Rasteriser = GlyphRasteriser();
    if (!Rasteriser)
        return;
    InvalidateUsers();
    TGlyphPicture& Glyphs = GlyphPicture();
    TNoticeSuspension Suspension(Glyphs);

    TFont White;
    White.Assign(FFont);
    White.SetColor(0xFFFFFF);
    if (FRasterScale != 1)
        White.SetHeight(static_cast<int>(std::lround(FFont.Height() * FRasterScale)));
    {
        const std::unique_ptr<TGlyphCanvas> Canvas = Rasteriser->CreateCanvas(Glyphs, White);
        FCharacterWidth =
            std::max({Canvas->TextWidth("M"), Canvas->TextWidth("W"), Canvas->TextWidth("_")}) + 2;
        FCharacterHeight = Canvas->TextHeight("\"_pI|,") + 2;
        if (FFont.Style().Contains(fsItalic)) {
            FHorizontalSpaceFix = -(FCharacterWidth / 3);
            FCharacterWidth += FCharacterWidth / 3;
        } else {
            FHorizontalSpaceFix = 0;
        }
        FCharacterWidths.assign(CharacterCodeCount, 0);
        for (int Index = 0; Index < Ranges().Count(); ++Index) {
            const TBitmapFontRange& Range = Ranges().Items(Index);
            for (int Code = Range.StartASCII(); Code <= Range.StopASCII(); ++Code)
                FCharacterWidths[Code] =
                    Canvas->TextWidth(std::string(1, static_cast<char>(Code))) - FHorizontalSpaceFix;
        }
    }

    const int Wanted = DistinctCharacterCount();
    int BestWidth = 0;
    int BestHeight = 0;
    for (int Height = MinimumAtlasSize; Height <= MaximumAtlasSize; Height *= 2) {
        for (int Width = MinimumAtlasSize; Width <= MaximumAtlasSize; Width *= 2) {
            if (Pack(Width, Height, nullptr) != Wanted)
                continue;
            const bool Better = BestWidth == 0 || Width * Height < BestWidth * BestHeight ||
                                (Width * Height == BestWidth * BestHeight &&
                                 std::abs(Width - Height) < std::abs(BestWidth - BestHeight));
            if (Better) {
                BestWidth = Width;
                BestHeight = Height;
            }
        }
    }
    if (BestWidth == 0 && FRasterScale != 1) {
        // Sharp glyphs are a nicety; glyphs at all are not.
        FRasterScale = 1;
        BuildAtlas();
        return;
    }
    if (BestWidth == 0) {
        FFont.SetSize(6);
        throw EBitmapFontError("Characters are too large or too many. Unable to create font texture.");
    }

    Glyphs.SetSize(BestWidth, BestHeight);
    Glyphs.Fill(0xFF000000u);
    FHasRectangle.reset();
    const std::unique_ptr<TGlyphCanvas> Canvas = Rasteriser->CreateCanvas(Glyphs, White);
    const float W = static_cast<float>(BestWidth);
    const float H = static_cast<float>(BestHeight);
    Pack(BestWidth, BestHeight, [&](unsigned char Code, const TGlyphRectangle& Cell) {
        FCharacterRectangles[Code] =
            TCharacterRectangle{(Cell.Left + 1.05f) / W, (H - (Cell.Top + 0.05f)) / H,
                                (Cell.Right - 1.05f) / W, (H - (Cell.Bottom - 0.05f)) / H};
        FHasRectangle.set(Code);
        Canvas->TextRect(Cell, Cell.Left + 1, Cell.Top + 1, std::string{static_cast<char>(Code), ' '});
    });
    FRectanglesBuilt = true;
}

} // namespace Scene
