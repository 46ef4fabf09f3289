#include "scene/GLTexture.h"

#include "scene/GLBitmap32.h"
#include "scene/GLDispatch.h"
#include "scene/GLExtensions.h"
#include "scene/GLMaterial.h"
#include "scene/GLStateCache.h"
#include "scene/OpenGLError.h"
#include "scene/RenderContextInfo.h"

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#endif
#ifndef GL_TEXTURE_COMPRESSED_IMAGE_SIZE_ARB
#define GL_TEXTURE_COMPRESSED_IMAGE_SIZE_ARB 0x86A0
#endif

namespace Scene {
namespace {

GLint TextureModeToGLEnum(TGLTextureMode Mode)
{
    switch (Mode) {
    case tmModulate:
        return GL_MODULATE;
    case tmBlend:
        return GL_BLEND;
    case tmReplace:
        return GL_REPLACE;
    case tmDecal:
        break;
    }
    return GL_DECAL;
}

// Frees the converted pixels however the preparation ends.
struct TBitmapRelease
{
    TGLTextureImage& Image;
    ~TBitmapRelease() { Image.ReleaseBitmap32(); }
};

} // namespace

TGLTexture::TGLTexture(TGLUpdateAbleObject* Owner)
    : TGLUpdateAbleObject(Owner), FImage(std::make_unique<TGLPersistentImage>(this)),
      FEnvColor(this, TVector{0, 0, 0, 0})
{}

TGLTexture::~TGLTexture() = default;

template <typename T> void TGLTexture::StoreImage(T& Field, T Value)
{
    if (Value == Field)
        return;
    Field = Value;
    FChanges.Include(TGLTextureChange::Image);
    NotifyChange(this);
}

template <typename T> void TGLTexture::StoreParameter(T& Field, T Value)
{
    if (Value == Field)
        return;
    Field = Value;
    FChanges.Include(TGLTextureChange::Parameters);
    NotifyChange(this);
}

void TGLTexture::SetImageAlpha(TGLTextureImageAlpha Value)
{
    StoreImage(FImageAlpha, Value);
}

void TGLTexture::SetImageBrightness(float Value)
{
    StoreImage(FImageBrightness, Value);
}

void TGLTexture::SetImageGamma(float Value)
{
    StoreImage(FImageGamma, Value);
}

void TGLTexture::SetMagFilter(TGLMagFilter Value)
{
    StoreParameter(FMagFilter, Value);
}

void TGLTexture::SetMinFilter(TGLMinFilter Value)
{
    StoreParameter(FMinFilter, Value);
}

void TGLTexture::SetTextureMode(TGLTextureMode Value)
{
    StoreParameter(FTextureMode, Value);
}

void TGLTexture::SetTextureWrap(TGLTextureWrap Value)
{
    StoreParameter(FTextureWrap, Value);
}

void TGLTexture::SetTextureFormat(TGLTextureFormat Value)
{
    StoreParameter(FTextureFormat, Value);
}

void TGLTexture::SetCompression(TGLTextureCompression Value)
{
    StoreParameter(FCompression, Value);
}

void TGLTexture::SetFilteringQuality(TGLTextureFilteringQuality Value)
{
    StoreParameter(FFilteringQuality, Value);
}

void TGLTexture::SetMappingMode(TGLTextureMappingMode Value)
{
    if (Value == FMappingMode)
        return;
    FMappingMode = Value;
    NotifyChange(this);
}

void TGLTexture::SetNormalMapScale(float Value)
{
    if (Value == FNormalMapScale)
        return;
    FNormalMapScale = Value;
    NotifyChange(this);
}

void TGLTexture::SetDisabled(bool Value)
{
    if (Value == FDisabled)
        return;
    FDisabled = Value;
    if (auto* Material = dynamic_cast<TGLMaterial*>(Owner()))
        Material->NotifyTexMapChange();
    else
        NotifyChange(this);
}

void TGLTexture::NotifyChange(TGLUpdateAbleObject* Sender)
{
    if (Sender == FImage.get())
        FChanges.Include(TGLTextureChange::Image);
    else if (Sender == &FEnvColor)
        FChanges.Include(TGLTextureChange::Parameters);
    TGLUpdateAbleObject::NotifyChange(this);
}

// --- OpenGL side ---------------------------------------------------------------------

void TGLTexture::Apply(TRenderContextInfo& Context)
{
    TGLStateCache& Cache = *Context.StateCache;
    if (FDisabled) {
        Cache.Disable(stTexture2D);
        Cache.Disable(stTextureRect);
        return;
    }
    Cache.Enable(stTexture2D);
    GLuint Name = 0;
    try {
        Name = GetHandle();
    } catch (...) {
        // The build bound the object directly; keep the cache in step.
        if (FHandle.Handle() != 0)
            Cache.SetTexture(0, GL_TEXTURE_2D, FHandle.Handle());
        throw;
    }
    Cache.SetTexture(0, GL_TEXTURE_2D, Name);
    const TGLDispatch& Gl = GL();
    Gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, TextureModeToGLEnum(FTextureMode));
    Gl.glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, FEnvColor.Data());
}

void TGLTexture::UnApply(TRenderContextInfo& Context)
{
    if (FDisabled)
        return;
    TGLStateCache& Cache = *Context.StateCache;
    if (Cache.IsEnabled(stTexture2D))
        Cache.Disable(stTexture2D);
    else
        Cache.Disable(stTextureRect);
}

GLuint TGLTexture::GetHandle()
{
    if (FHandle.Handle() != 0 && FChanges.Empty())
        return FHandle.Handle();
    const GLuint Name = FHandle.AllocateHandle();
    GL().glBindTexture(GL_TEXTURE_2D, Name);
    const TGLExtensions Extensions = TGLExtensions::Read();
    PrepareParameters(Extensions);
    FChanges = {};
    PrepareImage(Extensions);
    return Name;
}

void TGLTexture::PrepareParameters(const TGLExtensions& Extensions)
{
    const TGLDispatch& Gl = GL();
    Gl.glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    Gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    Gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    Gl.glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    Gl.glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);

    const GLint Clamp = Extensions.EdgeClamp() ? GL_CLAMP_TO_EDGE : GL_CLAMP;
    const bool RepeatS = FTextureWrap == twBoth || FTextureWrap == twHorizontal;
    const bool RepeatT = FTextureWrap == twBoth || FTextureWrap == twVertical;
    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, RepeatS ? GL_REPEAT : Clamp);
    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, RepeatT ? GL_REPEAT : Clamp);

    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, MinFilterToGL(FMinFilter));
    Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, MagFilterToGL(FMagFilter));

    // A software rasteriser samples anisotropically at up to four times the
    // cost of the whole frame; there the texture is sampled isotropically.
    if (Extensions.Has("GL_EXT_texture_filter_anisotropic")) {
        const bool Anisotropic = FFilteringQuality == tfAnisotropic && !Extensions.SoftwareRasteriser();
        Gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, Anisotropic ? 2 : 1);
    }
}

void TGLTexture::PrepareImage(const TGLExtensions& Extensions)
{
    const TGLDispatch& Gl = GL();
    TBitmapRelease Release{*FImage};
    TGLBitmap32& Bitmap = FImage->GetBitmap32();
    if (Bitmap.Width() == 0 || Bitmap.Height() == 0) {
        // The object must not go on showing an earlier picture.
        if (FImageUploaded) {
            Gl.glTexImage2D(GL_TEXTURE_2D, 0, OpenGLTextureFormat(), 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                            nullptr);
            FImageUploaded = false;
            FRequiredMemorySize = -1;
        }
        return;
    }
    const GLint InternalFormat = OpenGLTextureFormat();
    Bitmap.ApplyImageAlpha(FImageAlpha);
    CheckOpenGLError();

    int Width = 0;
    int Height = 0;
    Bitmap.RegisterAsOpenGLTexture(FMinFilter, InternalFormat, Extensions.Has("GL_SGIS_generate_mipmap"),
                                   Width, Height);
    FImageUploaded = true;

    GLint Size = 0;
    Gl.glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE_ARB, &Size);
    FRequiredMemorySize = Gl.glGetError() == GL_NO_ERROR ? Size : -1;
    ClearOpenGLErrors();
}

GLint TGLTexture::OpenGLTextureFormat() const
{
    // Uploads are never compressed: no texture of the scene asks for it.
    switch (FTextureFormat) {
    case tfRGB:
        return GL_RGB8;
    case tfRGB16:
        return GL_RGB5;
    case tfRGBA16:
        return GL_RGBA4;
    case tfAlpha:
        return GL_ALPHA8;
    case tfLuminance:
        return GL_LUMINANCE8;
    case tfLuminanceAlpha:
        return GL_LUMINANCE8_ALPHA8;
    case tfIntensity:
        return GL_INTENSITY8;
    case tfDefault:
    case tfRGBA:
    case tfNormalMap:
    case tfRGBAFloat16:
    case tfRGBAFloat32:
        break;
    }
    return GL_RGBA8;
}

void TGLTexture::DestroyHandles()
{
    FHandle.DestroyHandle();
    FChanges = TGLTextureChanges{TGLTextureChange::Image, TGLTextureChange::Parameters};
    FRequiredMemorySize = -1;
    FImageUploaded = false;
}

} // namespace Scene
