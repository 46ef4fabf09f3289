#pragma once

#include "scene/GLCameraInvariantObject.h"
#include "scene/GLColor.h"

namespace Scene {

// An invisible grouping object whose transform its children share. It can
// show its cube as dotted edges, and can compile its whole subtree into one
// display list (Amalgamate).
class TGLDummyCube : public TGLCameraInvariantObject
{
public:
    TGLDummyCube();

    float CubeSize() const { return FCubeSize; }
    void SetCubeSize(float Value);
    TGLColor& EdgeColor() { return FEdgeColor; }
    const TGLColor& EdgeColor() const { return FEdgeColor; }
    bool VisibleAtRunTime() const { return FVisibleAtRunTime; }
    void SetVisibleAtRunTime(bool Value);
    bool Amalgamate() const { return FAmalgamate; }
    void SetAmalgamate(bool Value);

    TVector HalfExtents() const override;
    // The mean of the children's sort centres, or its own position without children.
    TVector SortCenter() override;
    void EmitGeometry(TRenderContextInfo& Context) override;
    void RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren) override;
    void DescendantChanged(TGLBaseSceneObject& Descendant) override;
    void NotifyChange(TGLUpdateAbleObject* Sender) override;
    void DestroyHandles() override;

private:
    float FCubeSize = 1;
    TGLColor FEdgeColor;
    bool FVisibleAtRunTime = false;
    bool FAmalgamate = false;
    // The amalgamated subtree.
    GLuint FGroupList = 0;
    bool FGroupListStale = true;
};

} // namespace Scene
