#include "scene/GLCameraInvariantObject.h"

#include "scene/GLDispatch.h"
#include "scene/RenderContextInfo.h"

#include <cmath>

namespace Scene {

void TGLCameraInvariantObject::SetCamInvarianceMode(TGLCameraInvarianceMode Value)
{
    if (Value == FCamInvarianceMode)
        return;
    FCamInvarianceMode = Value;
    SignalChanged();
}

void TGLCameraInvariantObject::RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren)
{
    if (FCamInvarianceMode == cimNone) {
        TGLImmaterialSceneObject::RenderContent(Context, DrawSelf, DrawChildren);
        return;
    }
    const TGLDispatch& Gl = GL();
    Gl.glPushMatrix();
    if (FCamInvarianceMode == cimPosition) {
        // The view, moved to the camera, then this object's own transform:
        // the parents' transforms no longer count.
        const TMatrix AtCamera =
            MatrixMultiply(TranslationMatrix(Context.CameraPosition), Context.ModelViewMatrix);
        Gl.glLoadMatrixf(MatrixMultiply(LocalTransform(), AtCamera).Data());
    } else {
        // Keep the place and each axis' length, drop the turn.
        TMatrix Current;
        Gl.glGetFloatv(GL_MODELVIEW_MATRIX, Current.Data());
        const float Lengths[3] = {VectorLength(Current[0]), VectorLength(Current[1]),
                                  VectorLength(Current[2])};
        for (int Row = 0; Row < 3; ++Row) {
            Current[Row] = TVector{0, 0, 0, 0};
            Current[Row].Data()[Row] = Lengths[Row];
        }
        Gl.glLoadMatrixf(Current.Data());
    }
    try {
        TGLImmaterialSceneObject::RenderContent(Context, DrawSelf, DrawChildren);
    } catch (...) {
        Gl.glPopMatrix();
        throw;
    }
    Gl.glPopMatrix();
}

} // namespace Scene
