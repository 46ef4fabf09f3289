#include "scene/GLHUDText.h"

#include "scene/GLCustomBitmapFont.h"
#include "scene/GLDispatch.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <algorithm>

namespace Scene {

TGLHUDText::TGLHUDText() : FModulateColor(this, TVector{1, 1, 1, 1})
{
    FObjectStyle.Include(TGLObjectStyle::DirectDraw);
    FObjectStyle.Include(TGLObjectStyle::NoVisibilityCulling);
}

TGLHUDText::~TGLHUDText()
{
    if (FBitmapFont)
        FBitmapFont->UnRegisterUser(*this);
}

void TGLHUDText::SetBitmapFont(TGLCustomBitmapFont* Value)
{
    if (Value == FBitmapFont)
        return;
    if (FBitmapFont)
        FBitmapFont->UnRegisterUser(*this);
    FBitmapFont = Value;
    if (FBitmapFont)
        FBitmapFont->RegisterUser(*this);
    MarkGeometryChanged();
}

void TGLHUDText::BitmapFontDestroyed(TGLCustomBitmapFont& Font)
{
    if (&Font != FBitmapFont)
        return;
    FBitmapFont = nullptr;
    MarkGeometryChanged();
}

void TGLHUDText::SetText(std::string Value)
{
    if (Value == FText)
        return;
    FText = std::move(Value);
    MarkGeometryChanged();
}

void TGLHUDText::SetRotation(float Value)
{
    Store(FRotation, Value);
}

void TGLHUDText::SetAlignment(TAlignment Value)
{
    Store(FAlignment, Value);
}

void TGLHUDText::SetLayout(TGLTextLayout Value)
{
    Store(FLayout, Value);
}

void TGLHUDText::DestroyHandles()
{
    if (FBitmapFont)
        FBitmapFont->DestroyHandles();
    TGLImmaterialSceneObject::DestroyHandles();
}

void TGLHUDText::EmitGeometry(TRenderContextInfo& Context)
{
    if (!FBitmapFont || FText.empty())
        return;
    const TGLDispatch& Gl = GL();
    Context.StateCache->SetPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    // One unit is one window pixel (at 96 DPI), y upward from the anchor.
    const float Factor = static_cast<float>(Context.RenderDPI) / 96.0f;
    const float ViewportWidth = static_cast<float>(std::max(Context.ViewportWidth, 1));
    const float ViewportHeight = static_cast<float>(std::max(Context.ViewportHeight, 1));
    const TVector Anchor = Position().AsVector();
    const TVector Stretch = Scale().AsVector();
    Gl.glPushMatrix();
    // The projection of the pass before the camera's: the identity, as no
    // pass of this system picks.
    Gl.glLoadMatrixf(IdentityMatrix().Data());
    Gl.glScalef(2 / ViewportWidth, 2 / ViewportHeight, 1);
    Gl.glTranslatef(Factor * Anchor.X - ViewportWidth / 2, ViewportHeight / 2 - Factor * Anchor.Y, Anchor.Z);
    if (FRotation != 0)
        Gl.glRotatef(FRotation, 0, 0, 1);
    // Glyphs drawn at the screen's resolution go on the screen one to one.
    FBitmapFont->SetRasterScale(Factor);
    const float Glyphs = Factor / FBitmapFont->RasterScale();
    Gl.glScalef(Glyphs * Stretch.X, Glyphs * Stretch.Y, 1);
    Gl.glMatrixMode(GL_PROJECTION);
    Gl.glPushMatrix();
    Gl.glLoadIdentity();
    Gl.glMatrixMode(GL_MODELVIEW);
    Gl.glPushAttrib(GL_ENABLE_BIT);
    Gl.glDisable(GL_DEPTH_TEST);

    // Put the stacks back even when the font fails to build its atlas.
    struct TRestore
    {
        ~TRestore()
        {
            const TGLDispatch& Gl = GL();
            Gl.glPopAttrib();
            Gl.glMatrixMode(GL_PROJECTION);
            Gl.glPopMatrix();
            Gl.glMatrixMode(GL_MODELVIEW);
            Gl.glPopMatrix();
        }
    } Restore;
    FBitmapFont->RenderString(Context, FText, FAlignment, FLayout, FModulateColor.AsVector());
}

} // namespace Scene
