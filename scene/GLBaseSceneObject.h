#pragma once

#include "scene/GLCoordinates.h"
#include "scene/GLCoordinatesUpdateAbleComponent.h"
#include "scene/GLSceneTypes.h"
#include "scene/VectorGeometry.h"

#include <cstdint>
#include <GL/gl.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Scene {

class TGLScene;
struct TRenderContextInfo;

// Bits of ChangeFlags().
struct TChangeFlags
{
    static constexpr std::uint8_t LocalTransform = 1 << 0;
    static constexpr std::uint8_t WorldTransform = 1 << 1;
    static constexpr std::uint8_t InverseWorldTransform = 1 << 2;
    // The display list must be recompiled.
    static constexpr std::uint8_t Geometry = 1 << 3;
    static constexpr std::uint8_t All = 0x0F;
};

// A node of the scene tree: a position, orientation and scale relative to its
// parent, turned lazily into matrices, and the owner of its children. Every
// visible change ends in SignalChanged, which reaches the scene's buffers.
// Single-threaded: the tree belongs to the window's thread.
class TGLBaseSceneObject : public TGLCoordinatesUpdateAbleComponent
{
public:
    TGLBaseSceneObject();
    ~TGLBaseSceneObject() override;

    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }

    // --- Tree -------------------------------------------------------------
    TGLBaseSceneObject* Parent() const { return FParent; }
    TGLScene* Scene() const { return FScene; }
    int Count() const { return static_cast<int>(FChildren.size()); }
    TGLBaseSceneObject& Child(int Index) const;
    int IndexOfChild(const TGLBaseSceneObject& Object) const;
    // Index in the parent's list, -1 without a parent.
    int Index() const;
    // Moves the object within its parent's list (clamped to the list).
    void SetIndex(int NewIndex);

    // Takes ownership and appends. Returns the child.
    TGLBaseSceneObject& AddChild(std::unique_ptr<TGLBaseSceneObject> Child);
    // Moves an object that belongs to another parent (or this one) to the end
    // of this list. Throws std::logic_error for an object without a parent
    // (nobody in the tree owns it) or one that would become its own ancestor.
    TGLBaseSceneObject& AddChild(TGLBaseSceneObject& Child);
    TGLBaseSceneObject& InsertChild(int Index, std::unique_ptr<TGLBaseSceneObject> Child);
    TGLBaseSceneObject& InsertChild(int Index, TGLBaseSceneObject& Child);
    template <typename T, typename... TArguments> T& AddNewChild(TArguments&&... Arguments)
    {
        auto Child = std::make_unique<T>(std::forward<TArguments>(Arguments)...);
        T& Result = *Child;
        AddChild(std::move(Child));
        return Result;
    }
    // Takes the child out and hands it back. With KeepChildren its own
    // children stay in this object's list instead of leaving with it.
    std::unique_ptr<TGLBaseSceneObject> RemoveChild(TGLBaseSceneObject& Child, bool KeepChildren);
    void DeleteChildren();
    TGLBaseSceneObject* FindChild(std::string_view Name, bool Recursive) const;
    bool IsAncestorOf(const TGLBaseSceneObject& Object) const;

    // --- Properties ---------------------------------------------------------
    TGLObjectStyles ObjectStyle() const { return FObjectStyle; }
    void SetObjectStyle(TGLObjectStyles Value) { FObjectStyle = Value; }

    TGLCoordinates& Position() { return FPosition; }
    const TGLCoordinates& Position() const { return FPosition; }
    TGLCoordinates& Direction() { return FDirection; }
    const TGLCoordinates& Direction() const { return FDirection; }
    TGLCoordinates& Up() { return FUp; }
    const TGLCoordinates& Up() const { return FUp; }
    TGLCoordinates& Scale() { return FScale; }
    const TGLCoordinates& Scale() const { return FScale; }
    void SetPosition(const TVector& Value) { FPosition.SetVector(Value); }
    // A whole vector with x, y and z all 0 is ignored.
    void SetDirection(const TVector& Value);
    void SetUp(const TVector& Value);
    void SetScale(const TVector& Value) { FScale.SetVector(Value); }

    // Degrees, normalised to -180..180. Setting one turns Up and Direction by
    // the difference from the stored angle: Turn about Up, Pitch about
    // Direction x Up, Roll about Direction.
    float TurnAngle() const { return FRotation.Y; }
    float PitchAngle() const { return FRotation.X; }
    float RollAngle() const { return FRotation.Z; }
    void SetTurnAngle(float Value);
    void SetPitchAngle(float Value);
    void SetRollAngle(float Value);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool ShowAxes() const { return FShowAxes; }
    void SetShowAxes(bool Value);
    TGLObjectsSorting ObjectsSorting() const { return FObjectsSorting; }
    void SetObjectsSorting(TGLObjectsSorting Value);
    TGLVisibilityCulling VisibilityCulling() const { return FVisibilityCulling; }
    void SetVisibilityCulling(TGLVisibilityCulling Value);

    bool Calculating() const { return FCalculating; }
    std::uint8_t ChangeFlags() const { return FChangeFlags; }
    int UpdateCount() const { return FUpdateCount; }

    // --- Transforms ---------------------------------------------------------
    // Each is rebuilt on read when its stale bit is set.
    const TMatrix& LocalTransform();
    const TMatrix& WorldTransform();
    const TMatrix& InverseWorldTransform();
    TVector WorldPosition();
    // Up x Direction.
    TVector SideVector() const;
    // Number of matrix rebuilds (local, world, inverse) since start.
    static std::uint64_t TransformRebuildCount();

    void MarkTransformChanged();
    void MarkGeometryChanged();

    // --- Loading from the stored form ----------------------------------------
    // While loading, angle setters only store and nothing signals; Direction
    // and Up are taken as stored.
    bool Loading() const { return FLoading; }
    void BeginLoading() { FLoading = true; }
    void EndLoading();

    // --- Virtual operations, in slot order ------------------------------------
    virtual void SignalChanged();
    void CoordinateChanged(TGLCoordinates& Sender) override;
    virtual bool IsBlended() const { return false; }
    // The compiled display list, compiled first when missing or stale.
    virtual GLuint GeometryList(TRenderContextInfo& Context);
    virtual TVector SortCenter();
    virtual TVector HalfExtents() const { return TVector{0.5f, 0.5f, 0.5f, 0}; }
    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    virtual void EmitGeometry(TRenderContextInfo& Context) { (void)Context; }
    virtual void RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren);
    virtual void RenderChildRange(int First, int Last, TRenderContextInfo& Context);

    // Hooks for the classes that plug into the scene.
    // A light occupies one of the scene's LightSlots while it is in the tree.
    virtual bool IsLightSource() const { return false; }
    // A camera added through TGLScene::AddObject goes under "CameraRoot".
    virtual bool IsCamera() const { return false; }
    virtual bool IsSceneRoot() const { return false; }
    // The rendering context is going away: forget the OpenGL objects of the
    // subtree so they are made again in the next context.
    virtual void DestroyHandles();
    // Called on every ancestor when a descendant signals a change.
    virtual void DescendantChanged(TGLBaseSceneObject& Descendant) { (void)Descendant; }

    // Watcher's ObjectDestroyed runs when this object is destroyed (a camera
    // watches its target), unless it stopped watching first.
    void AddFreeNotification(TGLBaseSceneObject& Watcher);
    void RemoveFreeNotification(TGLBaseSceneObject& Watcher);
    virtual void ObjectDestroyed(TGLBaseSceneObject& Object) { (void)Object; }

    // Owned objects (materials, colours) report here.
    void NotifyChange(TGLUpdateAbleObject* Sender) override;

    // Draws this object and its subtree with the pass's culling and sorting.
    void RenderObject(TRenderContextInfo& Context);

    // The world-space box of this object and its descendants.
    void SubtreeBoundingBox(TVector& Minimum, TVector& Maximum);

protected:
    // Display-list or direct emission of the object's own geometry.
    void DrawGeometry(TRenderContextInfo& Context);
    GLuint GeometryListHandle() const { return FGeometryList; }
    void SetScene(TGLScene* Scene);

    TGLObjectStyles FObjectStyle;

private:
    friend class TGLScene;

    void Attach(int Index, TGLBaseSceneObject& Child, std::unique_ptr<TGLBaseSceneObject> Owned);
    std::unique_ptr<TGLBaseSceneObject> Detach(TGLBaseSceneObject& Child);
    void RegisterLights();
    void UnregisterLights();
    void RebuildLocalTransform();
    void MarkWorldTransformsStale();
    void TurnBy(float StoredAngle, float NewAngle, const TVector& Axis);
    void DirectionChanged();
    void UpChanged();
    bool DrawsSelf(const TRenderContextInfo& Context);
    void BoxCorners(TVector& Minimum, TVector& Maximum, bool& Empty);
    void DrawAxes(TRenderContextInfo& Context);

    struct TWorldMatrices
    {
        TMatrix World;
        TMatrix InverseWorld;
    };

    std::string FName;
    std::unique_ptr<TWorldMatrices> FWorldMatrices;
    TMatrix FLocalTransform = IdentityMatrix();
    GLuint FGeometryList = 0;
    TGLCoordinates FPosition;
    TGLCoordinates FDirection;
    TGLCoordinates FUp;
    TGLCoordinates FScale;
    std::uint8_t FChangeFlags = TChangeFlags::All;
    TGLBaseSceneObject* FParent = nullptr;
    TGLScene* FScene = nullptr;
    std::vector<std::unique_ptr<TGLBaseSceneObject>> FChildren;
    bool FVisible = true;
    int FUpdateCount = 0;
    bool FShowAxes = false;
    TVector FRotation;
    bool FCalculating = false;
    TGLObjectsSorting FObjectsSorting = osInherited;
    TGLVisibilityCulling FVisibilityCulling = vcInherited;
    bool FLoading = false;
    std::vector<TGLBaseSceneObject*> FFreeNotifications;
};

} // namespace Scene
