#pragma once

#include "scene/GLColor.h"
#include "scene/GLPersistentImage.h"
#include "scene/GLSceneTypes.h"
#include "scene/GLTextureHandle.h"
#include "scene/GLTextureTypes.h"
#include "scene/GLUpdateAbleObject.h"

#include <cstdint>
#include <GL/gl.h>
#include <memory>

namespace Scene {

class TGLExtensions;
struct TRenderContextInfo;

enum class TGLTextureChange : std::uint8_t
{
    Image,
    Parameters,
};

using TGLTextureChanges = TSet<TGLTextureChange>;

// A two-dimensional texture made from a picture. It turns the picture into
// an OpenGL texture object on its first apply and again after any change of
// the picture or of a parameter.
class TGLTexture : public TGLUpdateAbleObject
{
public:
    explicit TGLTexture(TGLUpdateAbleObject* Owner);
    ~TGLTexture() override;

    // Always a persistent (picture) image.
    TGLPersistentImage& Image() { return *FImage; }
    const TGLPersistentImage& Image() const { return *FImage; }

    // Each setter of a differing value marks the image changed...
    TGLTextureImageAlpha ImageAlpha() const { return FImageAlpha; }
    void SetImageAlpha(TGLTextureImageAlpha Value);
    float ImageBrightness() const { return FImageBrightness; }
    void SetImageBrightness(float Value);
    float ImageGamma() const { return FImageGamma; }
    void SetImageGamma(float Value);

    // ...or the parameters changed; either rebuilds the whole object.
    TGLMagFilter MagFilter() const { return FMagFilter; }
    void SetMagFilter(TGLMagFilter Value);
    TGLMinFilter MinFilter() const { return FMinFilter; }
    void SetMinFilter(TGLMinFilter Value);
    TGLTextureMode TextureMode() const { return FTextureMode; }
    void SetTextureMode(TGLTextureMode Value);
    TGLTextureWrap TextureWrap() const { return FTextureWrap; }
    void SetTextureWrap(TGLTextureWrap Value);
    TGLTextureFormat TextureFormat() const { return FTextureFormat; }
    void SetTextureFormat(TGLTextureFormat Value);
    TGLTextureCompression Compression() const { return FCompression; }
    void SetCompression(TGLTextureCompression Value);
    TGLTextureFilteringQuality FilteringQuality() const { return FFilteringQuality; }
    void SetFilteringQuality(TGLTextureFilteringQuality Value);
    TGLColor& EnvColor() { return FEnvColor; }
    const TGLColor& EnvColor() const { return FEnvColor; }

    // Stored only: coordinates always come from the geometry.
    TGLTextureMappingMode MappingMode() const { return FMappingMode; }
    void SetMappingMode(TGLTextureMappingMode Value);
    float NormalMapScale() const { return FNormalMapScale; }
    void SetNormalMapScale(float Value);

    bool Disabled() const { return FDisabled; }
    // A change tells the owning material's object that its texture mapping changed.
    void SetDisabled(bool Value);
    bool Enabled() const { return !FDisabled; }

    // --- OpenGL side ------------------------------------------------------------
    // Disabled: switches texturing off. Otherwise enables GL_TEXTURE_2D,
    // builds the object when needed, binds it on unit 0 and sets the
    // environment. Raises EOpenGLError when an error is pending at upload.
    void Apply(TRenderContextInfo& Context);
    void UnApply(TRenderContextInfo& Context);
    // The object's name (0 before the first build).
    GLuint Handle() const { return FHandle.Handle(); }
    // The object, built first when missing or stale.
    GLuint GetHandle();
    TGLTextureChanges Changes() const { return FChanges; }
    // Bytes the driver reported for the uploaded image, -1 when unknown.
    int RequiredMemorySize() const { return FRequiredMemorySize; }
    // Internal format used for uploads, from TextureFormat and Compression.
    GLint OpenGLTextureFormat() const;
    // The rendering context goes away.
    void DestroyHandles();

    void NotifyChange(TGLUpdateAbleObject* Sender) override;

private:
    template <typename T> void StoreImage(T& Field, T Value);
    template <typename T> void StoreParameter(T& Field, T Value);
    void PrepareParameters(const TGLExtensions& Extensions);
    void PrepareImage(const TGLExtensions& Extensions);

    TGLTextureHandle FHandle;
    std::unique_ptr<TGLPersistentImage> FImage;
    TGLTextureImageAlpha FImageAlpha = tiaDefault;
    float FImageBrightness = 1;
    float FImageGamma = 1;
    TGLMagFilter FMagFilter = maLinear;
    TGLMinFilter FMinFilter = miLinearMipmapLinear;
    TGLTextureMode FTextureMode = tmDecal;
    TGLTextureWrap FTextureWrap = twBoth;
    TGLTextureFormat FTextureFormat = tfDefault;
    TGLTextureCompression FCompression = tcDefault;
    TGLTextureFilteringQuality FFilteringQuality = tfIsotropic;
    TGLTextureMappingMode FMappingMode = tmmUser;
    TGLColor FEnvColor;
    bool FDisabled = true;
    float FNormalMapScale = 0.125f;
    TGLTextureChanges FChanges{TGLTextureChange::Image, TGLTextureChange::Parameters};
    int FRequiredMemorySize = -1;
    // The object holds an image from an earlier build.
    bool FImageUploaded = false;
};

} // namespace Scene
