#include "scene/GLCustomBitmapFont.h"

#include "scene/GLBitmap32.h"
#include "scene/GLBitmapFontUser.h"
#include "scene/GLDispatch.h"
#include "scene/GLExtensions.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace Scene {
namespace {

constexpr unsigned char CarriageReturn = 13;
constexpr unsigned char Space = 32;

// Nearest integer, exact halves to the even one.
int RoundHalfToEven(double Value)
{
    return static_cast<int>(std::nearbyint(Value));
}

// The picture drawn at the top-left of a power-of-two 24-bit bitmap (the
// rest black), alpha made by Mode with the font's own rules.
TGLBitmap32 GlyphBitmap(const TGlyphPicture& Picture, TGLTextureImageAlpha Mode)
{
    TGLBitmap32 Bitmap(RoundUpToPowerOfTwo(Picture.Width()), RoundUpToPowerOfTwo(Picture.Height()));
    for (int Row = 0; Row < Bitmap.Height(); ++Row) {
        const int Y = Bitmap.Height() - 1 - Row;
        for (int X = 0; X < Bitmap.Width(); ++X) {
            std::uint8_t* Out = Bitmap.Pixel(X, Row);
            if (Y < Picture.Height() && X < Picture.Width()) {
                const std::uint32_t Pixel = Picture.Pixel(X, Y);
                Out[0] = static_cast<std::uint8_t>(Pixel >> 16);
                Out[1] = static_cast<std::uint8_t>(Pixel >> 8);
                Out[2] = static_cast<std::uint8_t>(Pixel);
            }
            Out[3] = 255;
        }
    }
    switch (Mode) {
    case tiaDefault:
    case tiaTopLeftPointColorTransparent:
        // The key is the displayed top-left pixel: the first of the last row.
        Bitmap.MakeColorTransparent(0, Bitmap.Height() - 1);
        break;
    case tiaInverseLuminance:
    case tiaInverseLuminanceSqrt:
        break;
    default:
        Bitmap.ApplyImageAlpha(Mode);
        break;
    }
    return Bitmap;
}

} // namespace

TGLCustomBitmapFont::TGLCustomBitmapFont() : FRanges(this), FGlyphs(this) {}

TGLCustomBitmapFont::~TGLCustomBitmapFont()
{
    // A user may unregister while being told.
    const std::vector<TGLBitmapFontUser*> Users = std::move(FUsers);
    FUsers.clear();
    for (TGLBitmapFontUser* User : Users)
        User->BitmapFontDestroyed(*this);
}

// --- Properties ----------------------------------------------------------------------

template <typename T> void TGLCustomBitmapFont::StoreMetric(T& Field, T Value)
{
    if (Field == Value)
        return;
    Field = Value;
    InvalidateUsers();
}

void TGLCustomBitmapFont::SetCharacterWidth(int Value)
{
    StoreMetric(FCharacterWidth, std::max(Value, 1));
}

void TGLCustomBitmapFont::SetCharacterHeight(int Value)
{
    StoreMetric(FCharacterHeight, std::max(Value, 1));
}

void TGLCustomBitmapFont::SetHorizontalSpace(int Value)
{
    StoreMetric(FHorizontalSpace, std::max(Value, 0));
}

void TGLCustomBitmapFont::SetVerticalSpace(int Value)
{
    StoreMetric(FVerticalSpace, std::max(Value, 0));
}

void TGLCustomBitmapFont::SetHorizontalSpaceFix(int Value)
{
    StoreMetric(FHorizontalSpaceFix, Value);
}

void TGLCustomBitmapFont::SetMagFilter(TGLMagFilter Value)
{
    if (Value == FMagFilter)
        return;
    FMagFilter = Value;
    FTextureDirty = true;
    InvalidateUsers();
}

void TGLCustomBitmapFont::SetMinFilter(TGLMinFilter Value)
{
    if (Value == FMinFilter)
        return;
    FMinFilter = Value;
    FTextureDirty = true;
    InvalidateUsers();
}

void TGLCustomBitmapFont::SetGlyphAlpha(TGLTextureImageAlpha Value)
{
    if (Value == FGlyphAlpha)
        return;
    FGlyphAlpha = Value;
    FTextureDirty = true;
    InvalidateUsers();
}

void TGLCustomBitmapFont::NotifyChange(TGLUpdateAbleObject* Sender)
{
    if (Sender == &FGlyphs)
        FTextureDirty = true;
    InvalidateUsers();
}

// --- Metrics ------------------------------------------------------------------------

int TGLCustomBitmapFont::ScaledSpace(int Units) const
{
    return static_cast<int>(std::lround(Units * RasterScale()));
}

void TGLCustomBitmapFont::InvalidateUsers()
{
    FCharacterWidths.clear();
    FHasRectangle.reset();
    FRectanglesBuilt = false;
    MetricsInvalidated();
    // A user may unregister while being told.
    const std::vector<TGLBitmapFontUser*> Users = FUsers;
    for (TGLBitmapFontUser* User : Users)
        User->BitmapFontChanged();
}

void TGLCustomBitmapFont::BuildCharacterWidths()
{
    FCharacterWidths.assign(CharacterCodeCount, FCharacterWidth);
}

int TGLCustomBitmapFont::CharacterWidthOf(unsigned char Code)
{
    if (FCharacterWidths.empty())
        BuildCharacterWidths();
    return FCharacterWidths[Code];
}

bool TGLCustomBitmapFont::HasCharacter(unsigned char Code) const
{
    return FRanges.Contains(Code);
}

int TGLCustomBitmapFont::StringWidth(std::string_view Line)
{
    int Count = 0;
    int Sum = 0;
    for (const char Character : Line) {
        const auto Code = static_cast<unsigned char>(Character);
        if (Code != Space && (Code < Space || !HasCharacter(Code) || CharacterWidthOf(Code) <= 0))
            continue;
        ++Count;
        Sum += CharacterWidthOf(Code);
    }
    if (Count == 0)
        return 0;
    const int HorizontalSpace = ScaledSpace(FHorizontalSpace);
    return Count * (FHorizontalSpaceFix + HorizontalSpace) - HorizontalSpace + Sum;
}

const TGLCustomBitmapFont::TCharacterRectangle*
TGLCustomBitmapFont::CharacterRectangle(unsigned char Code) const
{
    return FHasRectangle[Code] ? &FCharacterRectangles[Code] : nullptr;
}

void TGLCustomBitmapFont::BuildCharacterRectangles()
{
    FHasRectangle.reset();
    FRectanglesBuilt = true;
    if (FGlyphs.Empty() || FTextureWidth <= 0 || FTextureHeight <= 0)
        return;
    const int Columns = std::max(FGlyphs.Width() / FCharacterWidth, 1);
    const float W = static_cast<float>(FTextureWidth);
    const float H = static_cast<float>(FTextureHeight);
    for (int Index = 0; Index < FRanges.Count(); ++Index) {
        const TBitmapFontRange& Range = FRanges.Items(Index);
        for (int Code = Range.StartASCII(); Code <= Range.StopASCII(); ++Code) {
            const int Glyph = Range.StartGlyphIdx() + Code - Range.StartASCII();
            const int X = (Glyph % Columns) * FCharacterWidth;
            const int Y = (Glyph / Columns) * FCharacterHeight;
            FCharacterRectangles[Code] = TCharacterRectangle{X / W, (H - Y) / H, (X + FCharacterWidth) / W,
                                                             (H - (Y + FCharacterHeight)) / H};
            FHasRectangle.set(Code);
        }
    }
}

// --- Users --------------------------------------------------------------------------

void TGLCustomBitmapFont::RegisterUser(TGLBitmapFontUser& User)
{
    if (std::find(FUsers.begin(), FUsers.end(), &User) == FUsers.end())
        FUsers.push_back(&User);
}

void TGLCustomBitmapFont::UnRegisterUser(TGLBitmapFontUser& User)
{
    std::erase(FUsers, &User);
}

// --- Texture ------------------------------------------------------------------------

void TGLCustomBitmapFont::DestroyHandles()
{
    if (FTextureHandle != 0)
        GL().glDeleteTextures(1, &FTextureHandle);
    FTextureHandle = 0;
    FRecreateTexture = false;
    FTextureDirty = true;
}

void TGLCustomBitmapFont::UploadGlyphs(TRenderContextInfo& Context)
{
    const TGLDispatch& Gl = GL();
    if (FRecreateTexture && FTextureHandle != 0) {
        Gl.glDeleteTextures(1, &FTextureHandle);
        FTextureHandle = 0;
        // The deleted name may come back; the cache must not take it as bound.
        Context.StateCache->ForgetTextureBindings();
    }
    FRecreateTexture = false;
    if (FTextureHandle == 0)
        Gl.glGenTextures(1, &FTextureHandle);
    Context.StateCache->SetTexture(0, GL_TEXTURE_2D, FTextureHandle);

    PrepareGlyphs();
    // Rows of RGBA bytes need no other unpack state than this.
    Gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    Gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    Gl.glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    Gl.glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (!FGlyphs.Empty()) {
        const TGLBitmap32 Glyphs = GlyphBitmap(FGlyphs, FGlyphAlpha);
        FTextureWidth = Glyphs.Width();
        FTextureHeight = Glyphs.Height();
        const bool GenerateMipmap =
            IsMipmapped(FMinFilter) && TGLExtensions::Read().Has("GL_SGIS_generate_mipmap");
        int UploadWidth = 0;
        int UploadHeight = 0;
        Glyphs.RegisterAsOpenGLTexture(FMinFilter, TextureFormat(), GenerateMipmap, UploadWidth,
                                       UploadHeight);
    }
    Gl.glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, MinFilterToGL(FMinFilter));
    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, MagFilterToGL(FMagFilter));
    FTextureDirty = false;
}

// --- Drawing ------------------------------------------------------------------------

void TGLCustomBitmapFont::RenderString(TRenderContextInfo& Context, std::string_view Text,
                                       TAlignment Alignment, TGLTextLayout Layout, const TVector& Color)
{
    if (Text.empty())
        return;
    if (!Context.StateCache)
        throw std::logic_error("TGLCustomBitmapFont::RenderString: the render pass has no state cache");
    if (FTextureDirty || FTextureHandle == 0)
        UploadGlyphs(Context);
    if (FGlyphs.Empty())
        return;
    if (!FRectanglesBuilt)
        BuildCharacterRectangles();

    auto LineStart = [&](std::string_view Rest) {
        const std::string_view Line = Rest.substr(0, Rest.find(static_cast<char>(CarriageReturn)));
        switch (Alignment) {
        case taLeftJustify:
            return 0;
        case taRightJustify:
            return -StringWidth(Line);
        case taCenter:
            return RoundHalfToEven(-StringWidth(Line) / 2.0);
        }
        return 0;
    };
    const int LineCount = 1 + static_cast<int>(std::count(Text.begin(), Text.end(), CarriageReturn));
    const int HorizontalSpace = ScaledSpace(FHorizontalSpace);
    const int VerticalSpace = ScaledSpace(FVerticalSpace);
    const int BlockHeight = LineCount * (FCharacterHeight + VerticalSpace) - VerticalSpace;
    int Top = 0;
    if (Layout == tlBottom)
        Top = BlockHeight;
    else if (Layout == tlCenter)
        Top = RoundHalfToEven(BlockHeight / 2.0);
    int Bottom = Top - FCharacterHeight;
    int X = LineStart(Text);

    const TGLDispatch& Gl = GL();
    Gl.glEnable(GL_TEXTURE_2D);
    Gl.glDisable(GL_LIGHTING);
    Gl.glEnable(GL_BLEND);
    Gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Context.StateCache->SetTexture(0, GL_TEXTURE_2D, FTextureHandle);
    Gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    Gl.glPushAttrib(GL_CURRENT_BIT);
    Gl.glColor4fv(Color.Data());
    Gl.glBegin(GL_QUADS);
    for (std::size_t At = 0; At < Text.size(); ++At) {
        const auto Code = static_cast<unsigned char>(Text[At]);
        if (Code == CarriageReturn) {
            X = LineStart(Text.substr(At + 1));
            Top -= FCharacterHeight + VerticalSpace;
            Bottom = Top - FCharacterHeight;
        } else if (Code == Space) {
            X += CharacterWidthOf(Space) + FHorizontalSpaceFix + HorizontalSpace;
        } else if (Code > Space) {
            const int Width = CharacterWidthOf(Code);
            const TCharacterRectangle* Rectangle = CharacterRectangle(Code);
            if (Width <= 0 || !Rectangle)
                continue; // outside every range: no quad, no advance
            const float Left = static_cast<float>(X);
            const float Right = static_cast<float>(X + Width);
            Gl.glTexCoord2f(Rectangle->Left, Rectangle->Top);
            Gl.glVertex2f(Left, static_cast<float>(Top));
            Gl.glTexCoord2f(Rectangle->Left, Rectangle->Bottom);
            Gl.glVertex2f(Left, static_cast<float>(Bottom));
            Gl.glTexCoord2f(Rectangle->Right, Rectangle->Bottom);
            Gl.glVertex2f(Right, static_cast<float>(Bottom));
            Gl.glTexCoord2f(Rectangle->Right, Rectangle->Top);
            Gl.glVertex2f(Right, static_cast<float>(Top));
            X += Width + HorizontalSpace;
        }
        // Other control codes (line feed included) are ignored.
    }
    Gl.glEnd();
    Gl.glPopAttrib();
    Context.StateCache->ForgetTextureBindings();
}

} // namespace Scene
