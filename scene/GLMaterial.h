#pragma once

#include "scene/GLFaceProperties.h"
#include "scene/GLSceneTypes.h"
#include "scene/GLUpdateAbleObject.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Scene {

class TGLTexture;
class TGLTextureEx;
struct TRenderContextInfo;

enum TBlendingMode : std::uint8_t
{
    bmOpaque,
    bmTransparency,
    bmAdditive,
    bmAlphaTest50,
    bmAlphaTest100,
    bmModulate,
};

enum TMaterialOption : std::uint8_t
{
    moIgnoreFog,
    moNoLighting,
};

using TMaterialOptions = TSet<TMaterialOption>;

enum TFaceCulling : std::uint8_t
{
    fcBufferDefault,
    fcCull,
    fcNoCull,
};

// The look of a scene object: the colours of its faces, how it blends with
// what lies behind it, whether its back faces are culled, and optionally a
// texture. Any change notifies the owning object.
class TGLMaterial : public TGLUpdateAbleObject
{
public:
    explicit TGLMaterial(TGLUpdateAbleObject* Owner);
    ~TGLMaterial() override;

    TGLFaceProperties& FrontProperties() { return FFrontProperties; }
    const TGLFaceProperties& FrontProperties() const { return FFrontProperties; }
    // Made with the defaults on first read.
    TGLFaceProperties& BackProperties();
    bool HasBackProperties() const { return FBackProperties != nullptr; }

    TBlendingMode BlendingMode() const { return FBlendingMode; }
    void SetBlendingMode(TBlendingMode Value);
    TMaterialOptions MaterialOptions() const { return FMaterialOptions; }
    void SetMaterialOptions(TMaterialOptions Value);
    TFaceCulling FaceCulling() const { return FFaceCulling; }
    void SetFaceCulling(TFaceCulling Value);

    // A disabled texture is made on first read; a material whose texture was
    // never read leaves the texture state alone.
    TGLTexture& Texture();
    bool HasTexture() const { return FTexture != nullptr; }

    // Library materials and extra texture units: stored, never applied.
    const std::string& MaterialLibrary() const { return FMaterialLibrary; }
    void SetMaterialLibrary(std::string Value);
    const std::string& LibMaterialName() const { return FLibMaterialName; }
    void SetLibMaterialName(std::string Value);
    TGLTextureEx& TextureEx();

    // Drawn after the opaque objects of its level.
    bool Blended() const
    {
        return FBlendingMode == bmTransparency || FBlendingMode == bmAdditive || FBlendingMode == bmModulate;
    }

    // Sets up the OpenGL state for the owner's geometry, through the pass's
    // state cache.
    void Apply(TRenderContextInfo& Context);
    // Undoes what later objects must not inherit. True would ask for one
    // more geometry pass; these materials never do.
    bool UnApply(TRenderContextInfo& Context);

    // The texture was switched on or off: the owner's texture coordinates
    // may be compiled into its geometry.
    void NotifyTexMapChange();
    // The rendering context goes away.
    void DestroyHandles();

private:
    void ApplyFaceCulling(TRenderContextInfo& Context);
    void ApplyBlending(TRenderContextInfo& Context);

    TGLFaceProperties FFrontProperties;
    std::unique_ptr<TGLFaceProperties> FBackProperties;
    std::unique_ptr<TGLTexture> FTexture;
    std::unique_ptr<TGLTextureEx> FTextureEx;
    TBlendingMode FBlendingMode = bmOpaque;
    TMaterialOptions FMaterialOptions;
    TFaceCulling FFaceCulling = fcBufferDefault;
    std::string FMaterialLibrary;
    std::string FLibMaterialName;
};

} // namespace Scene
