#include "scene/GLQuadricObject.h"

#include "scene/GLDispatch.h"

#include <stdexcept>

namespace Scene {

void TGLQuadricObject::SetNormals(TNormalSmoothing Value)
{
    if (Value == FNormals)
        return;
    FNormals = Value;
    MarkGeometryChanged();
}

void TGLQuadricObject::SetNormalDirection(TNormalDirection Value)
{
    if (Value == FNormalDirection)
        return;
    FNormalDirection = Value;
    MarkGeometryChanged();
}

void TGLQuadricObject::SetupQuadricParams(GLUquadric* Quadric) const
{
    const TGLDispatch& Gl = GL();
    Gl.gluQuadricDrawStyle(Quadric, GLU_FILL);
    static constexpr GLenum NormalModes[] = {GLU_FLAT, GLU_SMOOTH, GLU_NONE};
    Gl.gluQuadricNormals(Quadric, NormalModes[FNormals]);
    SetNormalQuadricOrientation(Quadric);
    Gl.gluQuadricTexture(Quadric, GL_TRUE);
}

void TGLQuadricObject::SetNormalQuadricOrientation(GLUquadric* Quadric) const
{
    GL().gluQuadricOrientation(Quadric, FNormalDirection == ndOutside ? GLU_OUTSIDE : GLU_INSIDE);
}

void TGLQuadricObject::SetInvertedQuadricOrientation(GLUquadric* Quadric) const
{
    GL().gluQuadricOrientation(Quadric, FNormalDirection == ndOutside ? GLU_INSIDE : GLU_OUTSIDE);
}

TGLQuadricObject::TQuadric::TQuadric() : FQuadric(GL().gluNewQuadric())
{
    if (!FQuadric)
        throw std::bad_alloc();
}

TGLQuadricObject::TQuadric::~TQuadric()
{
    GL().gluDeleteQuadric(FQuadric);
}

} // namespace Scene
