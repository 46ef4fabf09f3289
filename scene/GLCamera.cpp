#include "scene/GLCamera.h"

#include "scene/GLDispatch.h"
#include "scene/GLSceneBuffer.h"

#include <algorithm>
#include <cmath>

namespace Scene {
namespace {

// Keeps the far plane just inside infinity so nothing is clipped by rounding.
constexpr double InfiniteEpsilon = 2.4e-7;

TVector AsDirection(TVector V)
{
    V.W = 0;
    return V;
}

// Up made perpendicular to the (normalised) direction.
TVector PerpendicularUp(const TVector& Up, const TVector& Direction)
{
    const TVector U = AsDirection(Up);
    TVector Result = VectorSubtract(U, VectorScale(Direction, VectorDotProduct(U, Direction)));
    Result.W = 0;
    return VectorNormalize(Result);
}

} // namespace

TGLCamera::TGLCamera()
{
    Direction().SetRaw(TVector{0, 0, -1, 0});
    Up().SetRaw(TVector{0, 1, 0, 0});
}

TGLCamera::~TGLCamera()
{
    if (FTargetObject)
        FTargetObject->RemoveFreeNotification(*this);
    for (TGLSceneBuffer* Buffer : std::vector<TGLSceneBuffer*>(FBuffers))
        Buffer->CameraDestroyed(*this);
}

void TGLCamera::Changed()
{
    if (!Loading())
        MarkTransformChanged();
}

void TGLCamera::SetDepthOfView(float Value)
{
    if (Value == FDepthOfView)
        return;
    FDepthOfView = Value;
    Changed();
}

void TGLCamera::SetFocalLength(float Value)
{
    if (!(Value > 0))
        Value = 1;
    if (Value == FFocalLength)
        return;
    FFocalLength = Value;
    Changed();
}

void TGLCamera::SetSceneScale(float Value)
{
    if (Value == FSceneScale)
        return;
    FSceneScale = Value;
    Changed();
}

void TGLCamera::SetNearPlaneBias(float Value)
{
    if (Value == FNearPlaneBias)
        return;
    FNearPlaneBias = Value;
    Changed();
}

void TGLCamera::SetCameraStyle(TGLCameraStyle Value)
{
    if (Value == FCameraStyle)
        return;
    FCameraStyle = Value;
    Changed();
}

void TGLCamera::SetTargetObject(TGLBaseSceneObject* Value)
{
    if (Value == FTargetObject || Value == this)
        return;
    if (FTargetObject)
        FTargetObject->RemoveFreeNotification(*this);
    FTargetObject = Value;
    if (FTargetObject)
        FTargetObject->AddFreeNotification(*this);
    Changed();
}

void TGLCamera::ObjectDestroyed(TGLBaseSceneObject& Object)
{
    if (&Object != FTargetObject)
        return;
    FTargetObject = nullptr;
    Changed();
}

void TGLCamera::AddBuffer(TGLSceneBuffer& Buffer)
{
    if (std::find(FBuffers.begin(), FBuffers.end(), &Buffer) == FBuffers.end())
        FBuffers.push_back(&Buffer);
}

void TGLCamera::RemoveBuffer(TGLSceneBuffer& Buffer)
{
    std::erase(FBuffers, &Buffer);
}

void TGLCamera::ApplyProjection(const TGLViewport& Viewport, int Width, int Height, int DPI)
{
    if (Width < 1 || Height < 1)
        return;
    const TGLDispatch& Gl = GL();
    const double W = Width;
    const double H = Height;
    if (FCameraStyle == csOrtho2D) {
        Gl.gluOrtho2D(0, W, 0, H);
        FNearDistance = -1;
        FViewportRadius = static_cast<float>(std::hypot(W, H) / 2);
        return;
    }
    if (FCameraStyle == csCustom) {
        FViewportRadius = static_cast<float>(std::hypot(W, H) / 2);
        if (FOnCustomPerspective)
            FOnCustomPerspective(Viewport, Width, Height, DPI, FViewportRadius);
        return;
    }
    const double M = std::max(W, H);
    double RatioX;
    double RatioY;
    if (FCameraStyle == csOrthogonal) {
        RatioX = 100.0 * FNearPlaneBias / (W * FFocalLength * FSceneScale);
        RatioY = 100.0 * FNearPlaneBias / (H * FFocalLength * FSceneScale);
    } else {
        RatioX = FNearPlaneBias / (W * FSceneScale);
        RatioY = FNearPlaneBias / (H * FSceneScale);
    }
    const double L = Viewport.Left;
    const double T = Viewport.Top;
    const double Right = W * (2.0 * Viewport.Width + 2.0 * L - W) * RatioX / (2.0 * M);
    const double Left = -W * (W - 2.0 * L) * RatioX / (2.0 * M);
    const double Top = H * (2.0 * Viewport.Height + 2.0 * T - H) * RatioY / (2.0 * M);
    const double Bottom = -H * (H - 2.0 * T) * RatioY / (2.0 * M);
    const double Near = FFocalLength * 2.0 * DPI / (25.4 * M) * FNearPlaneBias;
    const double Far = Near + FDepthOfView;
    FNearDistance = static_cast<float>(Near);

    switch (FCameraStyle) {
    case csOrthogonal:
        Gl.glOrtho(Left, Right, Bottom, Top, Near, Far);
        break;
    case csInfinitePerspective: {
        TMatrix P;
        P[0] = TVector{float(2 * Near / (Right - Left)), 0, 0, 0};
        P[1] = TVector{0, float(2 * Near / (Top - Bottom)), 0, 0};
        P[2] = TVector{float((Right + Left) / (Right - Left)), float((Top + Bottom) / (Top - Bottom)),
                       float(InfiniteEpsilon - 1), -1};
        P[3] = TVector{0, 0, float((InfiniteEpsilon - 2) * Near), 0};
        Gl.glMultMatrixf(P.Data());
        break;
    }
    default:
        Gl.glFrustum(Left, Right, Bottom, Top, Near, Far);
        break;
    }
    FViewportRadius = static_cast<float>(std::hypot(Right, Top) / Near);
}

void TGLCamera::ApplyView()
{
    const TVector Eye = WorldPosition();
    TVector Center;
    TVector UpVector;
    if (FTargetObject) {
        Center = FTargetObject->WorldPosition();
        FLastDirection = VectorNormalize(AsDirection(VectorSubtract(Center, Eye)));
        // The stored Up, not turned by any parent.
        UpVector = AsDirection(Up().AsVector());
    } else {
        TGLBaseSceneObject* Holder = Parent();
        const TMatrix Parent = Holder && !Holder->IsSceneRoot() ? Holder->WorldTransform() : IdentityMatrix();
        const TVector Forward = VectorTransform(AsDirection(Direction().AsVector()), Parent);
        UpVector = VectorTransform(AsDirection(Up().AsVector()), Parent);
        Center = VectorAdd(Eye, Forward);
        FLastDirection = VectorNormalize(AsDirection(Forward));
    }
    FLastUp = PerpendicularUp(UpVector, FLastDirection);
    GL().gluLookAt(Eye.X, Eye.Y, Eye.Z, Center.X, Center.Y, Center.Z, UpVector.X, UpVector.Y, UpVector.Z);
}

float TGLCamera::FieldOfView(float Dimension) const
{
    if (FFocalLength == 0)
        return 0;
    return 2.0f * std::atan((Dimension / 2.0f) / FFocalLength) * (180.0f / Pi);
}

void TGLCamera::SetFieldOfView(float Degrees, float Dimension)
{
    const float Value = Dimension / (2.0f * std::tan(DegreesToRadians(Degrees) / 2.0f));
    // 0 degrees would ask for an infinite lens.
    if (std::isfinite(Value))
        SetFocalLength(Value);
}

void TGLCamera::RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren)
{
    (void)DrawSelf;
    // A camera shows nothing of its own.
    TGLBaseSceneObject::RenderContent(Context, false, DrawChildren);
}

} // namespace Scene
