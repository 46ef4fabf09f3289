#pragma once

#include "scene/GLSceneObject.h"

#include <cstdint>
#include <GL/glu.h>

namespace Scene {

enum TNormalSmoothing : std::uint8_t
{
    nsFlat,
    nsSmooth,
    nsNone,
};

enum TNormalDirection : std::uint8_t
{
    ndInside,
    ndOutside,
};

// Base of the meshes drawn with (or like) GLU quadrics.
class TGLQuadricObject : public TGLSceneObject
{
public:
    TNormalSmoothing Normals() const { return FNormals; }
    void SetNormals(TNormalSmoothing Value);
    TNormalDirection NormalDirection() const { return FNormalDirection; }
    void SetNormalDirection(TNormalDirection Value);

protected:
    // Fill style, normals, orientation and generated texture coordinates.
    void SetupQuadricParams(GLUquadric* Quadric) const;
    void SetNormalQuadricOrientation(GLUquadric* Quadric) const;
    // For disks that close the underside.
    void SetInvertedQuadricOrientation(GLUquadric* Quadric) const;

    // A quadric made for one compilation and deleted after it.
    class TQuadric
    {
    public:
        TQuadric();
        ~TQuadric();
        TQuadric(const TQuadric&) = delete;
        TQuadric& operator=(const TQuadric&) = delete;
        GLUquadric* Get() const { return FQuadric; }

    private:
        GLUquadric* FQuadric;
    };

private:
    TNormalSmoothing FNormals = nsSmooth;
    TNormalDirection FNormalDirection = ndOutside;
};

} // namespace Scene
