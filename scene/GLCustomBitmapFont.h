#pragma once

#include "scene/BitmapFontRanges.h"
#include "scene/GLTextTypes.h"
#include "scene/GLTextureTypes.h"
#include "scene/GLUpdateAbleComponent.h"
#include "scene/GlyphPicture.h"
#include "scene/VectorGeometry.h"

#include <array>
#include <bitset>
#include <GL/gl.h>
#include <string_view>
#include <vector>

namespace Scene {

class TGLBitmapFontUser;
struct TRenderContextInfo;

// A font whose characters are textured quads cut from one picture, the glyph
// atlas. This base takes the atlas as a grid of character cells (ranges
// placed by StartGlyphIdx); TGLWindowsBitmapFont renders its own atlas from a
// platform font. The font is shared by the scene objects that draw with it
// (its users) and tells them when its metrics change.
class TGLCustomBitmapFont : public TGLUpdateAbleComponent
{
public:
    static constexpr int CharacterCodeCount = 256;

    // Texture coordinates of one character: left and right s, top and bottom t.
    struct TCharacterRectangle
    {
        float Left = 0;
        float Top = 0;
        float Right = 0;
        float Bottom = 0;
    };

    TGLCustomBitmapFont();
    ~TGLCustomBitmapFont() override;

    TBitmapFontRanges& Ranges() { return FRanges; }
    const TBitmapFontRanges& Ranges() const { return FRanges; }
    TGlyphPicture& GlyphPicture() { return FGlyphs; }
    const TGlyphPicture& GlyphPicture() const { return FGlyphs; }

    // Nominal cell size in pixels; below 1 becomes 1.
    int CharacterWidth() const { return FCharacterWidth; }
    void SetCharacterWidth(int Value);
    int CharacterHeight() const { return FCharacterHeight; }
    // Glyph pixels per unit of text: a font drawn for a scaled screen is
    // rasterised at the screen's resolution. Metrics are in glyph pixels;
    // the spaces set in units are scaled with it.
    virtual float RasterScale() const { return 1; }
    // Fonts that cannot render their glyphs again keep 1.
    virtual void SetRasterScale(float Value) { (void)Value; }
    void SetCharacterHeight(int Value);
    // Pixels between characters and between lines; negative becomes 0.
    int HorizontalSpace() const { return FHorizontalSpace; }
    void SetHorizontalSpace(int Value);
    int VerticalSpace() const { return FVerticalSpace; }
    void SetVerticalSpace(int Value);
    // Italic correction, 0 or negative: added to the advance of a space and,
    // once per character, to string widths.
    int HorizontalSpaceFix() const { return FHorizontalSpaceFix; }
    void SetHorizontalSpaceFix(int Value);

    TGLMagFilter MagFilter() const { return FMagFilter; }
    void SetMagFilter(TGLMagFilter Value);
    TGLMinFilter MinFilter() const { return FMinFilter; }
    void SetMinFilter(TGLMinFilter Value);
    // How the atlas's alpha is made from its colours.
    TGLTextureImageAlpha GlyphAlpha() const { return FGlyphAlpha; }
    void SetGlyphAlpha(TGLTextureImageAlpha Value);

    // The width of one character; all equal to CharacterWidth until an atlas
    // build measures them.
    int CharacterWidthOf(unsigned char Code);
    // The width of one line of text. Codes the drawing skips (control codes,
    // codes outside every range) take no space.
    int StringWidth(std::string_view Line);
    // True when Code lies in a range (then it is drawn when its width is above 0).
    bool HasCharacter(unsigned char Code) const;
    // Null until the rectangles are built (they are dropped by every user notice).
    const TCharacterRectangle* CharacterRectangle(unsigned char Code) const;

    // Size of the atlas image last uploaded.
    int TextureWidth() const { return FTextureWidth; }
    int TextureHeight() const { return FTextureHeight; }
    GLuint TextureHandle() const { return FTextureHandle; }
    bool TextureDirty() const { return FTextureDirty; }

    void RegisterUser(TGLBitmapFontUser& User);
    void UnRegisterUser(TGLBitmapFontUser& User);
    int UserCount() const { return static_cast<int>(FUsers.size()); }

    // Draws Text with y upward, anchored at the origin: lines separated by
    // carriage returns, each placed by Alignment, the block by Layout, in
    // Color (alpha times the atlas's alpha). Uploads the atlas first when it
    // is stale. Leaves GL_TEXTURE_2D and GL_BLEND on and GL_LIGHTING off; the
    // caller saves the enable bits around it.
    void RenderString(TRenderContextInfo& Context, std::string_view Text, TAlignment Alignment,
                      TGLTextLayout Layout, const TVector& Color);

    // The rendering context is going away: delete the atlas texture so the
    // next drawing makes it again.
    void DestroyHandles();

    void NotifyChange(TGLUpdateAbleObject* Sender) override;

protected:
    int ScaledSpace(int Units) const;

    // Internal format of the atlas texture.
    virtual GLint TextureFormat() const { return GL_RGBA; }
    // Called by the upload before the picture is converted.
    virtual void PrepareGlyphs() {}
    // Called after every user notice.
    virtual void MetricsInvalidated() {}
    // The grid cells of the ranges, for the texture size last uploaded.
    virtual void BuildCharacterRectangles();

    // Resets the widths, drops the rectangles and tells every user.
    void InvalidateUsers();
    // The texture object is replaced at the next upload (the context may
    // not be current now).
    void RecreateTexture()
    {
        FRecreateTexture = true;
        FTextureDirty = true;
    }

    // The atlas build fills these directly.
    std::vector<int> FCharacterWidths; // empty: not built
    std::array<TCharacterRectangle, CharacterCodeCount> FCharacterRectangles{};
    std::bitset<CharacterCodeCount> FHasRectangle;
    bool FRectanglesBuilt = false;
    int FCharacterWidth = 16;
    int FCharacterHeight = 16;
    int FHorizontalSpaceFix = 0;
    bool FTextureDirty = true;

private:
    void UploadGlyphs(TRenderContextInfo& Context);
    void BuildCharacterWidths();
    template <typename T> void StoreMetric(T& Field, T Value);

    TBitmapFontRanges FRanges;
    TGlyphPicture FGlyphs;
    int FHorizontalSpace = 1;
    int FVerticalSpace = 1;
    TGLMagFilter FMagFilter = maLinear;
    TGLMinFilter FMinFilter = miLinear;
    TGLTextureImageAlpha FGlyphAlpha = tiaDefault;
    int FTextureWidth = 0;
    int FTextureHeight = 0;
    GLuint FTextureHandle = 0;
    bool FRecreateTexture = false;
    std::vector<TGLBitmapFontUser*> FUsers;
};

} // namespace Scene
