#include "scene/GLBaseSceneObject.h"

#include "scene/GLColor.h"
#include "scene/GLDispatch.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Scene {
namespace {

std::uint64_t GTransformRebuildCount = 0;

constexpr std::uint8_t WorldBits = TChangeFlags::WorldTransform | TChangeFlags::InverseWorldTransform;

bool IsZero(const TVector& V)
{
    return V.X == 0 && V.Y == 0 && V.Z == 0;
}

TVector AsDirection(TVector V)
{
    V.W = 0;
    return V;
}

// Direction x Up, or, when they are (nearly) parallel, (0, 0, 1) x Up and
// then (1, 0, 0) x Up.
TVector SideWithFallBacks(const TVector& Direction, const TVector& Up)
{
    TVector Side = VectorCrossProduct(Direction, Up);
    if (VectorLength(Side) < 1e-5f) {
        Side = VectorCrossProduct(TVector{0, 0, 1, 0}, Up);
        if (VectorLength(Side) < 1e-5f)
            Side = VectorCrossProduct(TVector{1, 0, 0, 0}, Up);
    }
    return Side;
}

struct TSortEntry
{
    float Key;
    TGLBaseSceneObject* Object;
};

// Quicksort with the middle element as pivot; a range of exactly two entries
// is exchanged only when the second key is strictly smaller, so two equal
// keys keep their order.
void SortEntries(std::vector<TSortEntry>& Entries, int Left, int Right)
{
    while (Left < Right) {
        if (Right - Left == 1) {
            if (Entries[Right].Key < Entries[Left].Key)
                std::swap(Entries[Left], Entries[Right]);
            return;
        }
        int I = Left;
        int J = Right;
        const float Pivot = Entries[(Left + Right) / 2].Key;
        do {
            while (Entries[I].Key < Pivot)
                ++I;
            while (Entries[J].Key > Pivot)
                --J;
            if (I <= J) {
                std::swap(Entries[I], Entries[J]);
                ++I;
                --J;
            }
        } while (I <= J);
        if (Left < J)
            SortEntries(Entries, Left, J);
        Left = I;
    }
}

template <typename T> class TRestore
{
public:
    explicit TRestore(T& Variable) : FVariable(Variable), FSaved(Variable) {}
    ~TRestore() { FVariable = FSaved; }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FVariable;
    T FSaved;
};

} // namespace

TGLBaseSceneObject::TGLBaseSceneObject()
    : FPosition(this, TVector{0, 0, 0, 1}, TGLCoordinatesStyle::Point),
      FDirection(this, TVector{0, 0, 1, 0}, TGLCoordinatesStyle::Direction),
      FUp(this, TVector{0, 1, 0, 0}, TGLCoordinatesStyle::Direction),
      FScale(this, TVector{1, 1, 1, 0}, TGLCoordinatesStyle::Direction)
{}

TGLBaseSceneObject::~TGLBaseSceneObject()
{
    // First, so the watchers see the object's address while it is still known.
    for (TGLBaseSceneObject* Watcher : std::vector<TGLBaseSceneObject*>(std::move(FFreeNotifications)))
        Watcher->ObjectDestroyed(*this);
    // Children go first, while this object is intact; they have no parent to
    // leave any more.
    std::vector<std::unique_ptr<TGLBaseSceneObject>> Children = std::move(FChildren);
    FChildren.clear();
    for (auto& Child : Children)
        Child->FParent = nullptr;
    Children.clear();
    if (FScene)
        FScene->ForgetObject(*this);
    if (FGeometryList != 0)
        GL().glDeleteLists(FGeometryList, 1);
}

void TGLBaseSceneObject::AddFreeNotification(TGLBaseSceneObject& Watcher)
{
    if (std::find(FFreeNotifications.begin(), FFreeNotifications.end(), &Watcher) == FFreeNotifications.end())
        FFreeNotifications.push_back(&Watcher);
}

void TGLBaseSceneObject::RemoveFreeNotification(TGLBaseSceneObject& Watcher)
{
    std::erase(FFreeNotifications, &Watcher);
}

// --- Tree ---------------------------------------------------------------------

TGLBaseSceneObject& TGLBaseSceneObject::Child(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("TGLBaseSceneObject::Child: index out of range");
    return *FChildren[Index];
}

int TGLBaseSceneObject::IndexOfChild(const TGLBaseSceneObject& Object) const
{
    for (int I = 0; I < Count(); ++I)
        if (FChildren[I].get() == &Object)
            return I;
    return -1;
}

int TGLBaseSceneObject::Index() const
{
    return FParent ? FParent->IndexOfChild(*this) : -1;
}

void TGLBaseSceneObject::SetIndex(int NewIndex)
{
    if (!FParent)
        return;
    auto& Siblings = FParent->FChildren;
    const int Old = Index();
    NewIndex = std::clamp(NewIndex, 0, static_cast<int>(Siblings.size()) - 1);
    if (NewIndex == Old)
        return;
    if (FScene)
        FScene->BeginChanges();
    std::unique_ptr<TGLBaseSceneObject> Self = std::move(Siblings[Old]);
    Siblings.erase(Siblings.begin() + Old);
    Siblings.insert(Siblings.begin() + NewIndex, std::move(Self));
    if (FScene)
        FScene->EndChanges();
}

bool TGLBaseSceneObject::IsAncestorOf(const TGLBaseSceneObject& Object) const
{
    for (const TGLBaseSceneObject* P = Object.FParent; P; P = P->FParent)
        if (P == this)
            return true;
    return false;
}

TGLBaseSceneObject& TGLBaseSceneObject::AddChild(std::unique_ptr<TGLBaseSceneObject> Child)
{
    if (!Child)
        throw std::invalid_argument("TGLBaseSceneObject::AddChild: no child");
    TGLBaseSceneObject& Result = *Child;
    Attach(Count(), Result, std::move(Child));
    MarkTransformChanged();
    return Result;
}

TGLBaseSceneObject& TGLBaseSceneObject::AddChild(TGLBaseSceneObject& Child)
{
    Attach(Count(), Child, nullptr);
    MarkTransformChanged();
    return Child;
}

TGLBaseSceneObject& TGLBaseSceneObject::InsertChild(int Index, std::unique_ptr<TGLBaseSceneObject> Child)
{
    if (!Child)
        throw std::invalid_argument("TGLBaseSceneObject::InsertChild: no child");
    TGLBaseSceneObject& Result = *Child;
    Attach(Index, Result, std::move(Child));
    return Result;
}

TGLBaseSceneObject& TGLBaseSceneObject::InsertChild(int Index, TGLBaseSceneObject& Child)
{
    Attach(Index, Child, nullptr);
    return Child;
}

void TGLBaseSceneObject::Attach(int Index, TGLBaseSceneObject& Child,
                                std::unique_ptr<TGLBaseSceneObject> Owned)
{
    if (&Child == this || Child.IsAncestorOf(*this))
        throw std::logic_error("TGLBaseSceneObject: an object cannot become its own descendant");
    if (Child.IsSceneRoot())
        throw std::logic_error("TGLBaseSceneObject: a scene root cannot become a child");
    std::unique_ptr<TGLBaseSceneObject> Holder;
    if (Owned) {
        if (Child.FParent)
            throw std::logic_error("TGLBaseSceneObject: the child already belongs to a parent");
        Holder = std::move(Owned);
    } else {
        TGLBaseSceneObject* OldParent = Child.FParent;
        if (!OldParent)
            throw std::logic_error(
                "TGLBaseSceneObject: an object without a parent must be handed over owned");
        Holder = OldParent->Detach(Child);
        if (OldParent->FScene != FScene)
            OldParent->SignalChanged();
    }
    Index = std::clamp(Index, 0, Count());
    Child.FParent = this;
    FChildren.insert(FChildren.begin() + Index, std::move(Holder));
    Child.SetScene(FScene);
    Child.RegisterLights();
    Child.MarkTransformChanged();
    // A fresh child has its local transform stale already, so the mark above
    // may stop before signalling; the new object must still be drawn.
    SignalChanged();
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::Detach(TGLBaseSceneObject& Child)
{
    const int Position = IndexOfChild(Child);
    if (Position < 0)
        throw std::invalid_argument("TGLBaseSceneObject: not a child of this object");
    Child.UnregisterLights();
    if (FScene)
        if (TGLBaseSceneObject* Current = FScene->CurrentObject();
            Current && (Current == &Child || Child.IsAncestorOf(*Current)))
            FScene->SetCurrentObject(nullptr);
    std::unique_ptr<TGLBaseSceneObject> Holder = std::move(FChildren[Position]);
    FChildren.erase(FChildren.begin() + Position);
    Child.FParent = nullptr;
    Child.SetScene(nullptr);
    return Holder;
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::RemoveChild(TGLBaseSceneObject& Child,
                                                                    bool KeepChildren)
{
    std::unique_ptr<TGLBaseSceneObject> Holder = Detach(Child);
    if (KeepChildren) {
        TGLScene* Scene = FScene;
        if (Scene)
            Scene->BeginChanges();
        BeginUpdate();
        while (Holder->Count() > 0) {
            TGLBaseSceneObject& GrandChild = *Holder->FChildren.front();
            AddChild(Holder->Detach(GrandChild));
        }
        EndUpdate();
        if (Scene)
            Scene->EndChanges();
    } else {
        SignalChanged();
    }
    return Holder;
}

void TGLBaseSceneObject::DeleteChildren()
{
    if (FChildren.empty())
        return;
    for (auto& Child : FChildren)
        Child->UnregisterLights();
    std::vector<std::unique_ptr<TGLBaseSceneObject>> Children = std::move(FChildren);
    FChildren.clear();
    for (auto& Child : Children)
        Child->FParent = nullptr;
    Children.clear();
    SignalChanged();
}

TGLBaseSceneObject* TGLBaseSceneObject::FindChild(std::string_view Name, bool Recursive) const
{
    for (const auto& Child : FChildren)
        if (Child->FName == Name)
            return Child.get();
    if (Recursive)
        for (const auto& Child : FChildren)
            if (TGLBaseSceneObject* Found = Child->FindChild(Name, true))
                return Found;
    return nullptr;
}

void TGLBaseSceneObject::SetScene(TGLScene* Scene)
{
    FScene = Scene;
    for (auto& Child : FChildren)
        Child->SetScene(Scene);
}

void TGLBaseSceneObject::RegisterLights()
{
    if (!FScene)
        return;
    if (IsLightSource())
        FScene->AddLight(*this);
    for (auto& Child : FChildren)
        Child->RegisterLights();
}

void TGLBaseSceneObject::UnregisterLights()
{
    if (!FScene)
        return;
    if (IsLightSource())
        FScene->RemoveLight(*this);
    for (auto& Child : FChildren)
        Child->UnregisterLights();
}

// --- Properties -----------------------------------------------------------------

void TGLBaseSceneObject::SetDirection(const TVector& Value)
{
    if (IsZero(Value))
        return;
    FDirection.SetVector(Value);
}

void TGLBaseSceneObject::SetUp(const TVector& Value)
{
    if (IsZero(Value))
        return;
    FUp.SetVector(Value);
}

void TGLBaseSceneObject::TurnBy(float StoredAngle, float NewAngle, const TVector& Axis)
{
    FCalculating = true;
    const float Theta = (StoredAngle - NewAngle) * (Pi / 180.0f);
    const TMatrix Rotation = CreateRotationMatrix(VectorNormalize(AsDirection(Axis)), Theta);
    FUp.SetVector(VectorNormalize(VectorTransform(FUp.AsVector(), Rotation)));
    FDirection.SetVector(VectorNormalize(VectorTransform(FDirection.AsVector(), Rotation)));
    MarkTransformChanged();
    FCalculating = false;
}

void TGLBaseSceneObject::SetTurnAngle(float Value)
{
    // -225 is the 135 already stored: a whole turn would only add rounding, and a frame.
    if (NormaliseDegrees(Value) == FRotation.Y)
        return;
    if (!FLoading)
        TurnBy(FRotation.Y, Value, FUp.AsVector());
    FRotation.Y = NormaliseDegrees(Value);
}

void TGLBaseSceneObject::SetPitchAngle(float Value)
{
    // -225 is the 135 already stored: a whole turn would only add rounding, and a frame.
    if (NormaliseDegrees(Value) == FRotation.X)
        return;
    if (!FLoading)
        TurnBy(FRotation.X, Value, VectorCrossProduct(FDirection.AsVector(), FUp.AsVector()));
    FRotation.X = NormaliseDegrees(Value);
}

void TGLBaseSceneObject::SetRollAngle(float Value)
{
    // -225 is the 135 already stored: a whole turn would only add rounding, and a frame.
    if (NormaliseDegrees(Value) == FRotation.Z)
        return;
    if (!FLoading)
        TurnBy(FRotation.Z, Value, FDirection.AsVector());
    FRotation.Z = NormaliseDegrees(Value);
}

void TGLBaseSceneObject::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    SignalChanged();
}

void TGLBaseSceneObject::SetShowAxes(bool Value)
{
    if (Value == FShowAxes)
        return;
    FShowAxes = Value;
    SignalChanged();
}

void TGLBaseSceneObject::SetObjectsSorting(TGLObjectsSorting Value)
{
    if (Value == FObjectsSorting)
        return;
    FObjectsSorting = Value;
    SignalChanged();
}

void TGLBaseSceneObject::SetVisibilityCulling(TGLVisibilityCulling Value)
{
    if (Value == FVisibilityCulling)
        return;
    FVisibilityCulling = Value;
    SignalChanged();
}

void TGLBaseSceneObject::CoordinateChanged(TGLCoordinates& Sender)
{
    if (FCalculating)
        return;
    if (!FLoading) {
        FCalculating = true;
        if (&Sender == &FDirection)
            DirectionChanged();
        else if (&Sender == &FUp)
            UpChanged();
        FCalculating = false;
    }
    MarkTransformChanged();
}

void TGLBaseSceneObject::DirectionChanged()
{
    TVector Direction = AsDirection(FDirection.AsVector());
    if (IsZero(Direction))
        Direction = TVector{0, 0, 1, 0};
    Direction = VectorNormalize(Direction);
    FDirection.SetVector(Direction);
    const TVector Side = SideWithFallBacks(Direction, FUp.AsVector());
    FUp.SetVector(VectorNormalize(VectorCrossProduct(Side, Direction)));
}

void TGLBaseSceneObject::UpChanged()
{
    TVector Up = AsDirection(FUp.AsVector());
    if (IsZero(Up))
        Up = TVector{0, 1, 0, 0};
    Up = VectorNormalize(Up);
    FUp.SetVector(Up);
    const TVector Side = SideWithFallBacks(FDirection.AsVector(), Up);
    FDirection.SetVector(VectorNormalize(VectorCrossProduct(Up, Side)));
}

void TGLBaseSceneObject::EndLoading()
{
    FLoading = false;
    FPosition.SetW(1);
}

// --- Transforms -------------------------------------------------------------------

std::uint64_t TGLBaseSceneObject::TransformRebuildCount()
{
    return GTransformRebuildCount;
}

TVector TGLBaseSceneObject::SideVector() const
{
    return VectorCrossProduct(FUp.AsVector(), FDirection.AsVector());
}

void TGLBaseSceneObject::RebuildLocalTransform()
{
    const TVector& S = FScale.AsVector();
    const TVector Side = SideVector();
    const TVector& Up = FUp.AsVector();
    const TVector& Direction = FDirection.AsVector();
    const TVector& Position = FPosition.AsVector();
    FLocalTransform[0] = TVector{Side.X * S.X, Side.Y * S.X, Side.Z * S.X, 0};
    FLocalTransform[1] = TVector{Up.X * S.Y, Up.Y * S.Y, Up.Z * S.Y, 0};
    FLocalTransform[2] = TVector{Direction.X * S.Z, Direction.Y * S.Z, Direction.Z * S.Z, 0};
    FLocalTransform[3] = TVector{Position.X, Position.Y, Position.Z, 1};
    FChangeFlags = static_cast<std::uint8_t>((FChangeFlags & ~TChangeFlags::LocalTransform) | WorldBits);
    ++GTransformRebuildCount;
}

const TMatrix& TGLBaseSceneObject::LocalTransform()
{
    if (FChangeFlags & TChangeFlags::LocalTransform)
        RebuildLocalTransform();
    return FLocalTransform;
}

const TMatrix& TGLBaseSceneObject::WorldTransform()
{
    if (!FWorldMatrices) {
        FWorldMatrices = std::make_unique<TWorldMatrices>();
        FChangeFlags |= WorldBits;
    }
    if (FChangeFlags & TChangeFlags::WorldTransform) {
        const TMatrix& Local = LocalTransform();
        if (!FParent || FParent->IsSceneRoot())
            FWorldMatrices->World = Local;
        else
            FWorldMatrices->World = MatrixMultiply(Local, FParent->WorldTransform());
        FChangeFlags = static_cast<std::uint8_t>((FChangeFlags & ~TChangeFlags::WorldTransform) |
                                                 TChangeFlags::InverseWorldTransform);
        ++GTransformRebuildCount;
    }
    return FWorldMatrices->World;
}

const TMatrix& TGLBaseSceneObject::InverseWorldTransform()
{
    if (!FWorldMatrices) {
        FWorldMatrices = std::make_unique<TWorldMatrices>();
        FChangeFlags |= WorldBits;
    }
    if (FChangeFlags & TChangeFlags::InverseWorldTransform) {
        const TVector& S = FScale.AsVector();
        if (S.X == 1 && S.Y == 1 && S.Z == 1) {
            TMatrix Inverse = RigidInverse(LocalTransform());
            if (FParent && !FParent->IsSceneRoot())
                Inverse = MatrixMultiply(FParent->InverseWorldTransform(), Inverse);
            FWorldMatrices->InverseWorld = Inverse;
        } else {
            FWorldMatrices->InverseWorld = InvertMatrix(WorldTransform());
        }
        FChangeFlags &= static_cast<std::uint8_t>(~TChangeFlags::InverseWorldTransform);
        ++GTransformRebuildCount;
    }
    return FWorldMatrices->InverseWorld;
}

TVector TGLBaseSceneObject::WorldPosition()
{
    const TVector& Origin = WorldTransform()[3];
    return TVector{Origin.X, Origin.Y, Origin.Z, 1};
}

void TGLBaseSceneObject::MarkWorldTransformsStale()
{
    FChangeFlags |= WorldBits;
    for (auto& Child : FChildren)
        if ((Child->FChangeFlags & WorldBits) != WorldBits)
            Child->MarkWorldTransformsStale();
}

void TGLBaseSceneObject::MarkTransformChanged()
{
    if (FChangeFlags & TChangeFlags::LocalTransform)
        return;
    FChangeFlags |= TChangeFlags::LocalTransform;
    MarkWorldTransformsStale();
    if (!FLoading)
        SignalChanged();
}

void TGLBaseSceneObject::MarkGeometryChanged()
{
    if (!(FChangeFlags & TChangeFlags::Geometry)) {
        FChangeFlags |= TChangeFlags::Geometry;
        SignalChanged();
    } else if (FObjectStyle.Contains(TGLObjectStyle::DirectDraw)) {
        SignalChanged();
    }
}

// --- Change signal -----------------------------------------------------------------

void TGLBaseSceneObject::SignalChanged()
{
    if (FUpdateCount > 0 || FLoading)
        return;
    for (TGLBaseSceneObject* Ancestor = FParent; Ancestor; Ancestor = Ancestor->FParent)
        Ancestor->DescendantChanged(*this);
    if (FScene)
        FScene->SignalChanged();
}

void TGLBaseSceneObject::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        SignalChanged();
}

void TGLBaseSceneObject::NotifyChange(TGLUpdateAbleObject* Sender)
{
    // An own colour may be compiled into the display list.
    if (dynamic_cast<TGLColor*>(Sender))
        MarkGeometryChanged();
    else
        SignalChanged();
}

void TGLBaseSceneObject::DestroyHandles()
{
    if (FGeometryList != 0) {
        GL().glDeleteLists(FGeometryList, 1);
        FGeometryList = 0;
    }
    FChangeFlags |= TChangeFlags::Geometry;
    for (auto& Child : FChildren)
        Child->DestroyHandles();
}

// --- Geometry ------------------------------------------------------------------------

GLuint TGLBaseSceneObject::GeometryList(TRenderContextInfo& Context)
{
    if (FGeometryList == 0 || (FChangeFlags & TChangeFlags::Geometry)) {
        FChangeFlags &= static_cast<std::uint8_t>(~TChangeFlags::Geometry);
        if (FGeometryList == 0)
            FGeometryList = GL().glGenLists(1);
        if (FGeometryList == 0)
            return 0;
        GL().glNewList(FGeometryList, GL_COMPILE);
        try {
            EmitGeometry(Context);
        } catch (...) {
            GL().glEndList();
            FChangeFlags |= TChangeFlags::Geometry;
            throw;
        }
        GL().glEndList();
    }
    return FGeometryList;
}

void TGLBaseSceneObject::DrawGeometry(TRenderContextInfo& Context)
{
    if (FObjectStyle.Contains(TGLObjectStyle::DirectDraw)) {
        EmitGeometry(Context);
        return;
    }
    if (const GLuint List = GeometryList(Context); List != 0)
        GL().glCallList(List);
    else
        EmitGeometry(Context); // no list could be made (no context): draw directly
}

TVector TGLBaseSceneObject::SortCenter()
{
    return WorldPosition();
}

// --- Traversal ------------------------------------------------------------------------

bool TGLBaseSceneObject::DrawsSelf(const TRenderContextInfo& Context)
{
    if (FObjectStyle.Contains(TGLObjectStyle::NoVisibilityCulling))
        return true;
    const TMatrix& World = WorldTransform();
    const TVector Extents = HalfExtents();
    const float X = VectorLength(World[0]) * Extents.X;
    const float Y = VectorLength(World[1]) * Extents.Y;
    const float Z = VectorLength(World[2]) * Extents.Z;
    return IsSphereInFrustum(WorldPosition(), std::sqrt(X * X + Y * Y + Z * Z), Context.Frustum);
}

void TGLBaseSceneObject::BoxCorners(TVector& Minimum, TVector& Maximum, bool& Empty)
{
    const TMatrix& World = WorldTransform();
    const TVector Extents = HalfExtents();
    const TVector& Center = World[3];
    // Half size of the transformed box along each world axis.
    const float E[3] = {Extents.X, Extents.Y, Extents.Z};
    float Half[3] = {0, 0, 0};
    for (int Row = 0; Row < 3; ++Row) {
        Half[0] += std::fabs(World[Row].X) * std::fabs(E[Row]);
        Half[1] += std::fabs(World[Row].Y) * std::fabs(E[Row]);
        Half[2] += std::fabs(World[Row].Z) * std::fabs(E[Row]);
    }
    const TVector Low{Center.X - Half[0], Center.Y - Half[1], Center.Z - Half[2], 1};
    const TVector High{Center.X + Half[0], Center.Y + Half[1], Center.Z + Half[2], 1};
    if (Empty) {
        Minimum = Low;
        Maximum = High;
        Empty = false;
    } else {
        Minimum =
            TVector{std::min(Minimum.X, Low.X), std::min(Minimum.Y, Low.Y), std::min(Minimum.Z, Low.Z), 1};
        Maximum =
            TVector{std::max(Maximum.X, High.X), std::max(Maximum.Y, High.Y), std::max(Maximum.Z, High.Z), 1};
    }
    for (auto& Child : FChildren)
        Child->BoxCorners(Minimum, Maximum, Empty);
}

void TGLBaseSceneObject::SubtreeBoundingBox(TVector& Minimum, TVector& Maximum)
{
    bool Empty = true;
    BoxCorners(Minimum, Maximum, Empty);
}

void TGLBaseSceneObject::RenderObject(TRenderContextInfo& Context)
{
    bool DrawSelf = true;
    bool DrawChildren = !FChildren.empty();
    if (Context.VisibilityCulling == vcObjectBased) {
        DrawSelf = DrawsSelf(Context);
    } else if (Context.VisibilityCulling == vcHierarchical) {
        if (!FObjectStyle.Contains(TGLObjectStyle::NoVisibilityCulling)) {
            TVector Minimum;
            TVector Maximum;
            SubtreeBoundingBox(Minimum, Maximum);
            DrawSelf = IsBoxInFrustum(Minimum, Maximum, Context.Frustum);
        }
        DrawChildren = DrawChildren && DrawSelf;
    }
    if (!DrawSelf && !DrawChildren)
        return;

    struct TMatrixScope
    {
        TMatrixScope() { GL().glPushMatrix(); }
        ~TMatrixScope() { GL().glPopMatrix(); }
    } MatrixScope;
    GL().glMultMatrixf(LocalTransform().Data());
    if (DrawSelf && FShowAxes)
        DrawAxes(Context);
    if (FObjectStyle.Contains(TGLObjectStyle::IgnoreDepthBuffer)) {
        // Restores what was there rather than forcing the test on, so a
        // buffer without depth testing keeps it off for later objects.
        TGLStateCache& States = *Context.StateCache;
        struct TDepthScope
        {
            TGLStateCache& States;
            bool WasOn;
            ~TDepthScope() { States.SetEnabled(stDepthTest, WasOn); }
        } DepthScope{States, States.IsEnabled(stDepthTest)};
        States.Disable(stDepthTest);
        RenderContent(Context, DrawSelf, DrawChildren);
    } else {
        RenderContent(Context, DrawSelf, DrawChildren);
    }
}

void TGLBaseSceneObject::DrawAxes(TRenderContextInfo& Context)
{
    const TGLDispatch& Gl = GL();
    const float L = Context.CameraDepthOfView;
    // The attribute stack puts every switch back, so the state cache stays right.
    Gl.glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    Gl.glDisable(GL_LIGHTING);
    Gl.glDisable(GL_TEXTURE_2D);
    Gl.glEnable(GL_LINE_STIPPLE);
    Gl.glLineStipple(1, 0xCCCC);
    Gl.glLineWidth(1);
    Gl.glBegin(GL_LINES);
    for (int Axis = 0; Axis < 3; ++Axis) {
        const float Unit[3] = {Axis == 0 ? 1.0f : 0.0f, Axis == 1 ? 1.0f : 0.0f, Axis == 2 ? 1.0f : 0.0f};
        Gl.glColor3f(Unit[0] * 0.5f, Unit[1] * 0.5f, Unit[2] * 0.5f);
        Gl.glVertex3f(0, 0, 0);
        Gl.glVertex3f(-L * Unit[0], -L * Unit[1], -L * Unit[2]);
        Gl.glColor3f(Unit[0], Unit[1], Unit[2]);
        Gl.glVertex3f(0, 0, 0);
        Gl.glVertex3f(L * Unit[0], L * Unit[1], L * Unit[2]);
    }
    Gl.glEnd();
    Gl.glPopAttrib();
}

void TGLBaseSceneObject::RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren)
{
    if (DrawSelf)
        DrawGeometry(Context);
    if (DrawChildren)
        RenderChildRange(0, Count() - 1, Context);
}

void TGLBaseSceneObject::RenderChildRange(int First, int Last, TRenderContextInfo& Context)
{
    if (FChildren.empty())
        return;
    First = std::max(First, 0);
    Last = std::min(Last, Count() - 1);
    if (First > Last)
        return;
    TRestore<TGLVisibilityCulling> CullingScope(Context.VisibilityCulling);
    if (FVisibilityCulling != vcInherited)
        Context.VisibilityCulling = FVisibilityCulling;
    if (First == Last) {
        TGLBaseSceneObject& Only = *FChildren[First];
        if (Only.FVisible)
            Only.RenderObject(Context);
        return;
    }
    TRestore<TGLObjectsSorting> SortingScope(Context.ObjectsSorting);
    if (FObjectsSorting != osInherited)
        Context.ObjectsSorting = FObjectsSorting;

    const TGLObjectsSorting Sorting = Context.ObjectsSorting;
    if (Sorting != osRenderBlendedLast && Sorting != osRenderFarthestFirst &&
        Sorting != osRenderNearestFirst) {
        for (int I = First; I <= Last; ++I)
            if (FChildren[I]->FVisible)
                FChildren[I]->RenderObject(Context);
        return;
    }
    std::vector<TSortEntry> Deferred;
    for (int I = First; I <= Last; ++I) {
        TGLBaseSceneObject& Object = *FChildren[I];
        if (!Object.FVisible)
            continue;
        if (Sorting == osRenderBlendedLast && !Object.IsBlended()) {
            Object.RenderObject(Context);
            continue;
        }
        Deferred.push_back(
            TSortEntry{VectorDistance2(Context.CameraPosition, Object.SortCenter()) + 1, &Object});
    }
    if (Deferred.empty())
        return;
    SortEntries(Deferred, 0, static_cast<int>(Deferred.size()) - 1);
    if (Sorting == osRenderNearestFirst) {
        for (const TSortEntry& Entry : Deferred)
            Entry.Object->RenderObject(Context);
    } else {
        for (auto Entry = Deferred.rbegin(); Entry != Deferred.rend(); ++Entry)
            Entry->Object->RenderObject(Context);
    }
}

} // namespace Scene
