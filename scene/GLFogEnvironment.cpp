#include "scene/GLFogEnvironment.h"

#include "scene/GLDispatch.h"

#ifndef GL_FOG_DISTANCE_MODE_NV
#define GL_FOG_DISTANCE_MODE_NV 0x855A
#define GL_EYE_RADIAL_NV 0x855B
#define GL_EYE_PLANE_ABSOLUTE_NV 0x855C
#endif

namespace Scene {

TGLFogEnvironment::TGLFogEnvironment(TGLUpdateAbleObject* Owner)
    : TGLUpdateAbleObject(Owner), FFogColor(this, TVector{0, 0, 0, 1})
{}

void TGLFogEnvironment::Apply(bool FogDistanceAvailable) const
{
    const TGLDispatch& Gl = GL();
    static constexpr GLint Modes[] = {GL_LINEAR, GL_EXP, GL_EXP2};
    Gl.glFogi(GL_FOG_MODE, Modes[FFogMode]);
    Gl.glFogfv(GL_FOG_COLOR, FFogColor.Data());
    Gl.glFogf(GL_FOG_START, FFogStart);
    Gl.glFogf(GL_FOG_END, FFogEnd);
    if (FogDistanceAvailable && FFogDistance != fdDefault)
        Gl.glFogi(GL_FOG_DISTANCE_MODE_NV,
                  FFogDistance == fdEyeRadial ? GL_EYE_RADIAL_NV : GL_EYE_PLANE_ABSOLUTE_NV);
}

} // namespace Scene
