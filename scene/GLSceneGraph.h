#pragma once

#include "scene/GLSceneRootObject.h"
#include "scene/GLSceneTypes.h"

#include <array>
#include <memory>
#include <string_view>
#include <vector>

namespace Scene {

class TGLAbstractSceneBuffer;
class TGLBaseSceneObject;
struct TRenderContextInfo;

// Owns the tree (two roots), the light slots, and tells the buffers that show
// it when something visible changed.
class TGLScene
{
public:
    static constexpr int LightSlotCount = 8;

    TGLScene();
    ~TGLScene();
    TGLScene(const TGLScene&) = delete;
    TGLScene& operator=(const TGLScene&) = delete;

    // "ObjectRoot": every object but the cameras.
    TGLSceneRootObject& Objects() { return *FObjects; }
    // "CameraRoot".
    TGLSceneRootObject& Cameras() { return *FCameras; }
    // Puts a camera under "CameraRoot", anything else under "ObjectRoot".
    TGLBaseSceneObject& AddObject(std::unique_ptr<TGLBaseSceneObject> Object);
    template <typename T, typename... TArguments> T& AddNewObject(TArguments&&... Arguments)
    {
        auto Object = std::make_unique<T>(std::forward<TArguments>(Arguments)...);
        T& Result = *Object;
        AddObject(std::move(Object));
        return Result;
    }
    // Searches both trees, depth first.
    TGLBaseSceneObject* FindSceneObject(std::string_view Name) const;

    // --- Lights ---------------------------------------------------------------
    // Slot i drives GL_LIGHT0 + i; empty slots are null.
    const std::array<TGLBaseSceneObject*, LightSlotCount>& LightSlots() const { return FLightSlots; }
    // The light's slot, or -1 when it has none (the scene had no free slot).
    int LightSlotIndex(const TGLBaseSceneObject& Light) const;
    // Called by the tree for every light that enters or leaves it.
    int AddLight(TGLBaseSceneObject& Light);
    void RemoveLight(TGLBaseSceneObject& Light);

    // --- Buffers --------------------------------------------------------------
    void AddBuffer(TGLAbstractSceneBuffer& Buffer);
    void RemoveBuffer(TGLAbstractSceneBuffer& Buffer);
    const std::vector<TGLAbstractSceneBuffer*>& Buffers() const { return FBuffers; }
    // The buffer of the current (or last) render.
    TGLAbstractSceneBuffer* CurrentBuffer() const { return FCurrentBuffer; }
    // The object whose material is being applied.
    TGLBaseSceneObject* CurrentObject() const { return FCurrentObject; }
    void SetCurrentObject(TGLBaseSceneObject* Object) { FCurrentObject = Object; }

    // --- Settings -------------------------------------------------------------
    TGLObjectsSorting ObjectsSorting() const { return FObjectsSorting; }
    // osInherited stores osRenderBlendedLast.
    void SetObjectsSorting(TGLObjectsSorting Value);
    TGLVisibilityCulling VisibilityCulling() const { return FVisibilityCulling; }
    // vcInherited stores vcNone.
    void SetVisibilityCulling(TGLVisibilityCulling Value);

    // --- Change notification ----------------------------------------------------
    void BeginChanges() { ++FUpdateCount; }
    // Back at 0 it forwards one change.
    void EndChanges();
    int ChangeCount() const { return FUpdateCount; }
    // Forwards to every buffer unless inside BeginChanges, loading or being destroyed.
    void SignalChanged();
    bool Loading() const { return FLoading; }
    void BeginLoading() { FLoading = true; }
    void EndLoading();
    bool Destroying() const { return FDestroying; }

    // --- Rendering --------------------------------------------------------------
    // Draws "ObjectRoot" with the pass; takes the sorting and culling modes
    // from the scene. The pass must carry a state cache.
    void RenderScene(TRenderContextInfo& Context);
    // The rendering context is going away.
    void DestroyHandles();

private:
    friend class TGLBaseSceneObject;
    // An object of this scene is being destroyed.
    void ForgetObject(TGLBaseSceneObject& Object);

    std::array<TGLBaseSceneObject*, LightSlotCount> FLightSlots{};
    std::vector<TGLAbstractSceneBuffer*> FBuffers;
    TGLAbstractSceneBuffer* FCurrentBuffer = nullptr;
    TGLBaseSceneObject* FCurrentObject = nullptr;
    TGLObjectsSorting FObjectsSorting = osRenderBlendedLast;
    TGLVisibilityCulling FVisibilityCulling = vcNone;
    int FUpdateCount = 0;
    bool FLoading = false;
    bool FDestroying = false;
    // Last, so the roots go first while the rest is still intact.
    std::unique_ptr<TGLSceneRootObject> FObjects;
    std::unique_ptr<TGLSceneRootObject> FCameras;
};

} // namespace Scene
