#include "scene/GLDummyCube.h"

#include "scene/GLDispatch.h"

#include <cmath>

namespace Scene {
namespace {

// Lists cannot be compiled inside another one: make the subtree's own lists first.
void CompileGeometryLists(TGLBaseSceneObject& Object, TRenderContextInfo& Context)
{
    for (int I = 0; I < Object.Count(); ++I) {
        TGLBaseSceneObject& Child = Object.Child(I);
        if (!Child.ObjectStyle().Contains(TGLObjectStyle::DirectDraw))
            Child.GeometryList(Context);
        CompileGeometryLists(Child, Context);
    }
}

} // namespace

TGLDummyCube::TGLDummyCube() : FEdgeColor(this, TVector{1, 1, 1, 1})
{
    FObjectStyle.Include(TGLObjectStyle::DirectDraw);
}

void TGLDummyCube::SetCubeSize(float Value)
{
    if (Value == FCubeSize)
        return;
    FCubeSize = Value;
    FGroupListStale = true;
    MarkGeometryChanged();
}

void TGLDummyCube::SetVisibleAtRunTime(bool Value)
{
    if (Value == FVisibleAtRunTime)
        return;
    FVisibleAtRunTime = Value;
    FGroupListStale = true;
    MarkGeometryChanged();
}

void TGLDummyCube::SetAmalgamate(bool Value)
{
    if (Value == FAmalgamate)
        return;
    FAmalgamate = Value;
    FGroupListStale = true;
    SignalChanged();
}

TVector TGLDummyCube::HalfExtents() const
{
    const float Half = std::fabs(FCubeSize) * 0.5f;
    return TVector{Half, Half, Half, 0};
}

TVector TGLDummyCube::SortCenter()
{
    if (Count() == 0)
        return TGLCameraInvariantObject::SortCenter();
    TVector Sum{0, 0, 0, 1};
    for (int I = 0; I < Count(); ++I)
        Sum = VectorAdd(Sum, Child(I).SortCenter());
    return VectorScale(Sum, 1.0f / static_cast<float>(Count()));
}

void TGLDummyCube::EmitGeometry(TRenderContextInfo& Context)
{
    (void)Context;
    if (!FVisibleAtRunTime)
        return;
    const TGLDispatch& Gl = GL();
    const float H = FCubeSize * 0.5f;
    // The attribute stack puts every switch back, so the state cache stays right.
    Gl.glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    Gl.glDisable(GL_LIGHTING);
    Gl.glDisable(GL_TEXTURE_2D);
    Gl.glEnable(GL_LINE_STIPPLE);
    Gl.glLineStipple(1, 0xCCCC);
    Gl.glLineWidth(1);
    Gl.glEnable(GL_BLEND);
    Gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Gl.glColor4fv(FEdgeColor.Data());
    Gl.glBegin(GL_LINES);
    for (int Axis = 0; Axis < 3; ++Axis)
        for (float A : {-H, H})
            for (float B : {-H, H}) {
                // Four edges parallel to each axis.
                float From[3];
                float To[3];
                From[Axis] = -H;
                To[Axis] = H;
                From[(Axis + 1) % 3] = To[(Axis + 1) % 3] = A;
                From[(Axis + 2) % 3] = To[(Axis + 2) % 3] = B;
                Gl.glVertex3f(From[0], From[1], From[2]);
                Gl.glVertex3f(To[0], To[1], To[2]);
            }
    Gl.glEnd();
    Gl.glPopAttrib();
}

void TGLDummyCube::RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren)
{
    if (!FAmalgamate || CamInvarianceMode() != cimNone) {
        TGLCameraInvariantObject::RenderContent(Context, DrawSelf, DrawChildren);
        return;
    }
    const TGLDispatch& Gl = GL();
    if (FGroupList == 0 || FGroupListStale) {
        if (FGroupList == 0)
            FGroupList = Gl.glGenLists(1);
        if (FGroupList == 0) {
            TGLCameraInvariantObject::RenderContent(Context, DrawSelf, DrawChildren);
            return;
        }
        CompileGeometryLists(*this, Context);
        FGroupListStale = false;
        Gl.glNewList(FGroupList, GL_COMPILE);
        try {
            // The whole subtree, whatever culling would say now: the list is
            // replayed from every point of view.
            EmitGeometry(Context);
            RenderChildRange(0, Count() - 1, Context);
        } catch (...) {
            Gl.glEndList();
            FGroupListStale = true;
            throw;
        }
        Gl.glEndList();
    }
    Gl.glCallList(FGroupList);
}

void TGLDummyCube::DescendantChanged(TGLBaseSceneObject& Descendant)
{
    (void)Descendant;
    FGroupListStale = true;
}

void TGLDummyCube::NotifyChange(TGLUpdateAbleObject* Sender)
{
    if (Sender == &FEdgeColor) {
        FGroupListStale = true;
        MarkGeometryChanged();
        return;
    }
    TGLCameraInvariantObject::NotifyChange(Sender);
}

void TGLDummyCube::DestroyHandles()
{
    if (FGroupList != 0) {
        GL().glDeleteLists(FGroupList, 1);
        FGroupList = 0;
    }
    FGroupListStale = true;
    TGLCameraInvariantObject::DestroyHandles();
}

} // namespace Scene
