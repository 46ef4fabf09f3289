#pragma once

#include "scene/GLColor.h"
#include "scene/GLUpdateAbleObject.h"

#include <cstdint>
#include <GL/gl.h>

namespace Scene {

class TGLStateCache;

enum TPolygonMode : std::uint8_t
{
    pmFill,
    pmLines,
    pmPoints,
};

// The look of one face side: the colours it reflects and emits, its
// shininess and how its polygons are drawn.
class TGLFaceProperties : public TGLUpdateAbleObject
{
public:
    static constexpr int MaxShininess = 128;

    explicit TGLFaceProperties(TGLUpdateAbleObject* Owner);

    TGLColor& Ambient() { return FAmbient; }
    const TGLColor& Ambient() const { return FAmbient; }
    TGLColor& Diffuse() { return FDiffuse; }
    const TGLColor& Diffuse() const { return FDiffuse; }
    TGLColor& Emission() { return FEmission; }
    const TGLColor& Emission() const { return FEmission; }
    TGLColor& Specular() { return FSpecular; }
    const TGLColor& Specular() const { return FSpecular; }

    int Shininess() const { return FShininess; }
    // Clamped to 0..128.
    void SetShininess(int Value);
    TPolygonMode PolygonMode() const { return FPolygonMode; }
    void SetPolygonMode(TPolygonMode Value);

    void Assign(const TGLFaceProperties& Source);

    // Sends the colours to Face (GL_FRONT or GL_BACK) as material colours and
    // sets its polygon mode, both through the cache.
    void Apply(TGLStateCache& Cache, GLenum Face) const;

    static GLenum PolygonModeToGLEnum(TPolygonMode Mode);

private:
    TGLColor FAmbient;
    TGLColor FDiffuse;
    TGLColor FEmission;
    TGLColor FSpecular;
    int FShininess = 0;
    TPolygonMode FPolygonMode = pmFill;
};

} // namespace Scene
