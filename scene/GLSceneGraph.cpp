#include "scene/GLSceneGraph.h"

#include "scene/GLAbstractSceneBuffer.h"
#include "scene/RenderContextInfo.h"

#include <algorithm>
#include <stdexcept>

namespace Scene {

TGLScene::TGLScene()
    : FObjects(std::make_unique<TGLSceneRootObject>(*this, "ObjectRoot")),
      FCameras(std::make_unique<TGLSceneRootObject>(*this, "CameraRoot"))
{}

TGLScene::~TGLScene()
{
    FDestroying = true;
    for (TGLAbstractSceneBuffer* Buffer : std::vector<TGLAbstractSceneBuffer*>(FBuffers))
        Buffer->SceneDestroyed(*this);
    FCameras.reset();
    FObjects.reset();
}

TGLBaseSceneObject& TGLScene::AddObject(std::unique_ptr<TGLBaseSceneObject> Object)
{
    if (!Object)
        throw std::invalid_argument("TGLScene::AddObject: no object");
    TGLSceneRootObject& Root = Object->IsCamera() ? *FCameras : *FObjects;
    return Root.AddChild(std::move(Object));
}

namespace {

TGLBaseSceneObject* FindIn(TGLBaseSceneObject& Root, std::string_view Name)
{
    if (Root.Name() == Name)
        return &Root;
    return Root.FindChild(Name, true);
}

} // namespace

TGLBaseSceneObject* TGLScene::FindSceneObject(std::string_view Name) const
{
    if (TGLBaseSceneObject* Found = FindIn(*FObjects, Name))
        return Found;
    return FindIn(*FCameras, Name);
}

int TGLScene::LightSlotIndex(const TGLBaseSceneObject& Light) const
{
    const auto Slot = std::find(FLightSlots.begin(), FLightSlots.end(), &Light);
    return Slot == FLightSlots.end() ? -1 : static_cast<int>(Slot - FLightSlots.begin());
}

int TGLScene::AddLight(TGLBaseSceneObject& Light)
{
    if (const int Existing = LightSlotIndex(Light); Existing >= 0)
        return Existing;
    const auto Free = std::find(FLightSlots.begin(), FLightSlots.end(), nullptr);
    if (Free == FLightSlots.end())
        return -1;
    *Free = &Light;
    return static_cast<int>(Free - FLightSlots.begin());
}

void TGLScene::RemoveLight(TGLBaseSceneObject& Light)
{
    for (TGLBaseSceneObject*& Slot : FLightSlots)
        if (Slot == &Light)
            Slot = nullptr;
}

void TGLScene::AddBuffer(TGLAbstractSceneBuffer& Buffer)
{
    if (std::find(FBuffers.begin(), FBuffers.end(), &Buffer) == FBuffers.end())
        FBuffers.push_back(&Buffer);
}

void TGLScene::RemoveBuffer(TGLAbstractSceneBuffer& Buffer)
{
    std::erase(FBuffers, &Buffer);
    if (FCurrentBuffer == &Buffer)
        FCurrentBuffer = nullptr;
}

void TGLScene::SetObjectsSorting(TGLObjectsSorting Value)
{
    if (Value == osInherited)
        Value = osRenderBlendedLast;
    if (Value == FObjectsSorting)
        return;
    FObjectsSorting = Value;
    SignalChanged();
}

void TGLScene::SetVisibilityCulling(TGLVisibilityCulling Value)
{
    if (Value == vcInherited)
        Value = vcNone;
    if (Value == FVisibilityCulling)
        return;
    FVisibilityCulling = Value;
    SignalChanged();
}

void TGLScene::EndChanges()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        SignalChanged();
}

void TGLScene::SignalChanged()
{
    if (FUpdateCount > 0 || FLoading || FDestroying)
        return;
    // A buffer may unregister itself from its handler.
    for (TGLAbstractSceneBuffer* Buffer : std::vector<TGLAbstractSceneBuffer*>(FBuffers))
        Buffer->NotifyChange();
}

void TGLScene::EndLoading()
{
    if (!FLoading)
        return;
    FLoading = false;
    SignalChanged();
}

void TGLScene::RenderScene(TRenderContextInfo& Context)
{
    if (!Context.StateCache)
        throw std::logic_error("TGLScene::RenderScene: the render pass has no state cache");
    FCurrentBuffer = Context.Buffer;
    FCurrentObject = nullptr;
    Context.Scene = this;
    Context.ObjectsSorting = FObjectsSorting;
    Context.VisibilityCulling = FVisibilityCulling;
    FObjects->RenderObject(Context);
}

void TGLScene::DestroyHandles()
{
    FObjects->DestroyHandles();
    FCameras->DestroyHandles();
}

void TGLScene::ForgetObject(TGLBaseSceneObject& Object)
{
    RemoveLight(Object);
    if (FCurrentObject == &Object)
        FCurrentObject = nullptr;
}

} // namespace Scene
