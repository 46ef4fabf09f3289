#include "scene/GLLightSource.h"

#include "scene/GLDispatch.h"

namespace Scene {

TGLLightSource::TGLLightSource()
    : FAmbient(this, TVector{0, 0, 0, 1}), FDiffuse(this, TVector{1, 1, 1, 1}),
      FSpecular(this, TVector{0, 0, 0, 1}),
      FSpotDirection(this, TVector{0, 0, -1, 0}, TGLCoordinatesStyle::Direction)
{}

void TGLLightSource::LoadLight(GLenum Light)
{
    const TGLDispatch& Gl = GL();
    LocalTransform();
    if (FLightStyle == lsParallel) {
        // A directional light: w = 0, turned by the light's own transform.
        Gl.glMultMatrixf(WorldTransform().Data());
        TVector Direction = FSpotDirection.AsVector();
        Direction.W = 0;
        Gl.glLightfv(Light, GL_POSITION, Direction.Data());
    } else {
        if (TGLBaseSceneObject* Holder = Parent(); Holder && !Holder->IsSceneRoot())
            Gl.glMultMatrixf(Holder->WorldTransform().Data());
        TVector Place = Position().AsVector();
        Place.W = 1;
        Gl.glLightfv(Light, GL_POSITION, Place.Data());
    }
    Gl.glLightfv(Light, GL_AMBIENT, FAmbient.Data());
    Gl.glLightfv(Light, GL_DIFFUSE, FDiffuse.Data());
    Gl.glLightfv(Light, GL_SPECULAR, FSpecular.Data());
    if (FLightStyle == lsSpot) {
        if (FSpotCutOff != 180) {
            Gl.glLightfv(Light, GL_SPOT_DIRECTION, FSpotDirection.AsVector().Data());
            Gl.glLightf(Light, GL_SPOT_EXPONENT, FSpotExponent);
        }
        Gl.glLightf(Light, GL_SPOT_CUTOFF, FSpotCutOff);
    } else {
        Gl.glLightf(Light, GL_SPOT_CUTOFF, 180);
    }
    Gl.glLightf(Light, GL_CONSTANT_ATTENUATION, FConstAttenuation);
    Gl.glLightf(Light, GL_LINEAR_ATTENUATION, FLinearAttenuation);
    Gl.glLightf(Light, GL_QUADRATIC_ATTENUATION, FQuadraticAttenuation);
}

void TGLLightSource::RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren)
{
    (void)DrawSelf;
    TGLBaseSceneObject::RenderContent(Context, false, DrawChildren);
}

void TGLLightSource::CoordinateChanged(TGLCoordinates& Sender)
{
    // The spot direction is no part of the object's transform.
    if (&Sender == &FSpotDirection)
        SignalChanged();
    else
        TGLBaseSceneObject::CoordinateChanged(Sender);
}

void TGLLightSource::NotifyChange(TGLUpdateAbleObject* Sender)
{
    (void)Sender;
    // Its colours are read at every frame, never compiled.
    SignalChanged();
}

} // namespace Scene
