#include "scene/GLSphere.h"

#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::Primitives;
using Scene::Testing::TGLPrimitive;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

namespace {

class Sphere : public ::testing::Test
{
protected:
    Sphere()
    {
        Scene.AddBuffer(Buffer);
        Context.StateCache = &Cache;
    }

    // The calls compiled into the sphere's display list.
    std::vector<Scene::Testing::TGLCall> Compile(TGLSphere& Object)
    {
        Recorder.Clear();
        const GLuint List = Object.GeometryList(Context);
        return Recorder.ListCalls(List);
    }

    std::vector<TGLPrimitive> Strips(TGLSphere& Object)
    {
        std::vector<TGLPrimitive> Result;
        for (TGLPrimitive& P : Primitives(Compile(Object)))
            if (P.Mode == GL_TRIANGLE_STRIP)
                Result.push_back(std::move(P));
        return Result;
    }

    TGLRecorder Recorder;
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    TGLStateCache Cache;
    TRenderContextInfo Context;
};

float Latitude(const TVector& P)
{
    return std::asin(std::clamp(P.Y, -1.0f, 1.0f)) * 180.0f / Pi;
}

// Counter-clockwise seen from the side the normal points to.
bool FacesAlong(const TVector& A, const TVector& B, const TVector& C, const TVector& Outward)
{
    return VectorDotProduct(VectorCrossProduct(VectorSubtract(B, A), VectorSubtract(C, A)), Outward) > 0;
}

} // namespace

TEST_F(Sphere, Defaults)
{
    TGLSphere S;
    EXPECT_EQ(S.Radius(), 0.5f);
    EXPECT_EQ(S.Slices(), 16);
    EXPECT_EQ(S.Stacks(), 16);
    EXPECT_EQ(S.Top(), 90);
    EXPECT_EQ(S.Bottom(), -90);
    EXPECT_EQ(S.Start(), 0);
    EXPECT_EQ(S.Stop(), 360);
    EXPECT_EQ(S.TopCap(), ctNone);
    EXPECT_EQ(S.BottomCap(), ctNone);
    EXPECT_EQ(S.Normals(), nsSmooth);
    EXPECT_EQ(S.NormalDirection(), ndOutside);
    EXPECT_EQ(S.Material().BlendingMode(), bmOpaque);
    EXPECT_FALSE(S.ObjectStyle().Contains(TGLObjectStyle::DirectDraw));
}

TEST_F(Sphere, EarthIs120StripsOf242VerticesWithTheWholeTexture)
{
    TGLSphere& Earth = Scene.AddNewObject<TGLSphere>();
    Earth.SetRadius(1.5f);
    Earth.SetSlices(120);
    Earth.SetStacks(120);
    const auto Calls = Compile(Earth);
    ASSERT_FALSE(Calls.empty());
    EXPECT_EQ(Calls.front().Name, "glPushAttrib");
    EXPECT_EQ(Calls.front().Args[0], GL_POLYGON_BIT);
    const auto Scale = std::find_if(Calls.begin(), Calls.end(), [](auto& C) { return C.Name == "glScalef"; });
    ASSERT_NE(Scale, Calls.end());
    EXPECT_EQ(Scale->Args, (std::vector<double>{1.5, 1.5, 1.5}));
    EXPECT_EQ(Calls.back().Name, "glPopAttrib");

    const auto Strips = Primitives(Calls);
    ASSERT_EQ(Strips.size(), 120u);
    std::size_t Triangles = 0;
    for (const TGLPrimitive& Strip : Strips) {
        ASSERT_EQ(Strip.Mode, GLenum(GL_TRIANGLE_STRIP));
        ASSERT_EQ(Strip.Vertices.size(), 242u);
        Triangles += Strip.Vertices.size() - 2;
    }
    EXPECT_EQ(Triangles, 28800u);
    const auto& First = Strips.front().Vertices;
    const auto& Last = Strips.back().Vertices;
    EXPECT_TRUE(VectorNear(First[0].Position, TVector{0, 1, 0, 1}));
    EXPECT_EQ(First[0].TexCoord, (TVector{0, 1, 0, 1}));
    EXPECT_FLOAT_EQ(First[1].TexCoord.Y, 1.0f - 1.0f / 120.0f);
    EXPECT_TRUE(VectorNear(Last[241].Position, TVector{0, -1, 0, 1}));
    EXPECT_FLOAT_EQ(Last[241].TexCoord.X, 1);
    EXPECT_FLOAT_EQ(Last[241].TexCoord.Y, 0);
    // Longitude 0 on +Z, growing toward +X.
    const auto& Equator = Strips[60].Vertices;
    EXPECT_TRUE(VectorNear(Equator[0].Position, TVector{0, 0, 1, 1}));
    EXPECT_TRUE(VectorNear(Equator[60].Position, TVector{1, 0, 0, 1}, 2e-5f));
    EXPECT_FLOAT_EQ(Equator[60].TexCoord.X, 0.25f);
}

TEST_F(Sphere, EveryNormalIsItsVertexAndTrianglesFaceOutward)
{
    TGLSphere& Ball = Scene.AddNewObject<TGLSphere>();
    const auto All = Strips(Ball);
    ASSERT_EQ(All.size(), 16u);
    for (const TGLPrimitive& Strip : All)
        for (const auto& V : Strip.Vertices)
            EXPECT_TRUE(VectorNear(V.Normal, TVector{V.Position.X, V.Position.Y, V.Position.Z, 0}));
    const auto& Middle = All[8].Vertices;
    EXPECT_TRUE(FacesAlong(Middle[0].Position, Middle[1].Position, Middle[2].Position, Middle[0].Normal));
}

TEST_F(Sphere, NorthernDomeCarriesTheWholeTexture)
{
    TGLSphere& Horas = Scene.AddNewObject<TGLSphere>();
    Horas.SetRadius(1.6f);
    Horas.SetBottom(2);
    const auto Calls = Compile(Horas);
    const auto Shapes = Primitives(Calls);
    ASSERT_EQ(Shapes.size(), 16u); // strips only: no cap with ctNone
    for (const TGLPrimitive& Strip : Shapes) {
        EXPECT_EQ(Strip.Mode, GLenum(GL_TRIANGLE_STRIP));
        EXPECT_EQ(Strip.Vertices.size(), 34u);
    }
    const auto& Top = Shapes.front().Vertices.front();
    const auto& Bottom = Shapes.back().Vertices.back();
    EXPECT_NEAR(Latitude(Top.Position), 90, 1e-3);
    EXPECT_FLOAT_EQ(Top.TexCoord.Y, 1);
    EXPECT_NEAR(Latitude(Bottom.Position), 2, 1e-3);
    EXPECT_FLOAT_EQ(Bottom.TexCoord.Y, 0);
    EXPECT_FLOAT_EQ(Bottom.TexCoord.X, 1);
}

TEST_F(Sphere, SouthernDomeStartsItsTextureAtMinusTwo)
{
    TGLSphere& Minutos = Scene.AddNewObject<TGLSphere>();
    Minutos.SetTop(-2);
    Minutos.SetBottom(-90);
    const auto Shapes = Primitives(Compile(Minutos));
    ASSERT_EQ(Shapes.size(), 16u);
    const auto& Top = Shapes.front().Vertices.front();
    const auto& Bottom = Shapes.back().Vertices.back();
    EXPECT_NEAR(Latitude(Top.Position), -2, 1e-3);
    EXPECT_FLOAT_EQ(Top.TexCoord.Y, 1);
    EXPECT_NEAR(Latitude(Bottom.Position), -90, 1e-2);
    EXPECT_FLOAT_EQ(Bottom.TexCoord.Y, 0);
    // Strips step evenly by 88/16 degrees.
    EXPECT_NEAR(Latitude(Shapes[1].Vertices[0].Position), -2 - 88.0f / 16.0f, 1e-3);
}

TEST_F(Sphere, InsideNormalsAreNegatedAndTheWindingInvertedForTheCallOnly)
{
    TGLSphere& Ball = Scene.AddNewObject<TGLSphere>();
    Ball.SetNormalDirection(ndInside);
    const auto Calls = Compile(Ball);
    ASSERT_GE(Calls.size(), 2u);
    EXPECT_EQ(Calls[0].Name, "glPushAttrib");
    EXPECT_EQ(Calls[1].Name, "glFrontFace");
    EXPECT_EQ(Calls[1].Args[0], GL_CW);
    EXPECT_EQ(Calls.back().Name, "glPopAttrib");
    for (const TGLPrimitive& Strip : Primitives(Calls))
        for (const auto& V : Strip.Vertices)
            EXPECT_TRUE(VectorNear(V.Normal, TVector{-V.Position.X, -V.Position.Y, -V.Position.Z, 0}));
}

TEST_F(Sphere, CountsBelowOneBecomeOneAndUnchangedValuesDoNotRecompile)
{
    TGLSphere& Ball = Scene.AddNewObject<TGLSphere>();
    Ball.SetSlices(0);
    Ball.SetStacks(-4);
    EXPECT_EQ(Ball.Slices(), 1);
    EXPECT_EQ(Ball.Stacks(), 1);
    const auto Shapes = Primitives(Compile(Ball));
    ASSERT_EQ(Shapes.size(), 1u);
    EXPECT_EQ(Shapes[0].Vertices.size(), 4u);

    const int Before = Buffer.Changes;
    Ball.SetSlices(1);
    Ball.SetRadius(0.5f);
    Ball.SetTop(90);
    Ball.SetTopCap(ctNone);
    EXPECT_EQ(Ball.ChangeFlags() & TChangeFlags::Geometry, 0);
    EXPECT_EQ(Buffer.Changes, Before);
    Ball.SetRadius(2);
    EXPECT_NE(Ball.ChangeFlags() & TChangeFlags::Geometry, 0);
    EXPECT_EQ(Buffer.Changes, Before + 1);
}

TEST_F(Sphere, AnglesAreClampedToTheirRanges)
{
    TGLSphere Ball;
    Ball.SetTop(120);
    Ball.SetBottom(-300);
    Ball.SetStart(-10);
    Ball.SetStop(400);
    EXPECT_EQ(Ball.Top(), 90);
    EXPECT_EQ(Ball.Bottom(), -90);
    EXPECT_EQ(Ball.Start(), 0);
    EXPECT_EQ(Ball.Stop(), 360);
}

TEST_F(Sphere, StartEqualToStopGivesAZeroWidthSphere)
{
    TGLSphere& Sliver = Scene.AddNewObject<TGLSphere>();
    Sliver.SetStart(90);
    Sliver.SetStop(90);
    const auto Shapes = Primitives(Compile(Sliver));
    ASSERT_EQ(Shapes.size(), 16u);
    for (const auto& V : Shapes[5].Vertices)
        EXPECT_NEAR(V.Position.Z, 0, 1e-6); // every column on longitude 90 (+X)
}

TEST_F(Sphere, FlatCapsCloseABandOnThePoleAxis)
{
    TGLSphere& Band = Scene.AddNewObject<TGLSphere>();
    Band.SetTop(60);
    Band.SetBottom(-30);
    Band.SetTopCap(ctFlat);
    Band.SetBottomCap(ctFlat);
    const auto Shapes = Primitives(Compile(Band));
    ASSERT_EQ(Shapes.size(), 18u);
    const TGLPrimitive& TopCap = Shapes.front();
    const TGLPrimitive& BottomCap = Shapes.back();
    ASSERT_EQ(TopCap.Mode, GLenum(GL_TRIANGLE_FAN));
    ASSERT_EQ(BottomCap.Mode, GLenum(GL_TRIANGLE_FAN));
    EXPECT_EQ(TopCap.Vertices.size(), 18u);
    EXPECT_TRUE(VectorNear(TopCap.Vertices[0].Position, TVector{0, std::sin(Pi / 3), 0, 1}));
    EXPECT_TRUE(VectorNear(BottomCap.Vertices[0].Position, TVector{0, -0.5f, 0, 1}));
    for (const auto& V : TopCap.Vertices) {
        EXPECT_NEAR(V.Position.Y, std::sin(Pi / 3), 1e-6);
        EXPECT_EQ(V.Normal, (TVector{0, 1, 0, 0}));
    }
    EXPECT_TRUE(FacesAlong(TopCap.Vertices[0].Position, TopCap.Vertices[1].Position,
                           TopCap.Vertices[2].Position, TVector{0, 1, 0, 0}));
    EXPECT_TRUE(FacesAlong(BottomCap.Vertices[0].Position, BottomCap.Vertices[1].Position,
                           BottomCap.Vertices[2].Position, TVector{0, -1, 0, 0}));
}

TEST_F(Sphere, CenterCapsAreFansFromTheCentre)
{
    TGLSphere& Wedge = Scene.AddNewObject<TGLSphere>();
    Wedge.SetTop(45);
    Wedge.SetTopCap(ctCenter);
    Wedge.SetBottomCap(ctCenter); // Bottom is -90: nothing to close
    const auto Shapes = Primitives(Compile(Wedge));
    ASSERT_EQ(Shapes.size(), 17u);
    const TGLPrimitive& Cap = Shapes.front();
    EXPECT_EQ(Cap.Vertices[0].Position, (TVector{0, 0, 0, 1}));
    // The cone's normals are perpendicular to its rays and point away from the body.
    for (std::size_t I = 1; I < Cap.Vertices.size(); ++I) {
        const auto& V = Cap.Vertices[I];
        EXPECT_NEAR(VectorDotProduct(V.Normal, V.Position), 0, 1e-6);
        EXPECT_NEAR(VectorLength(V.Normal), 1, 1e-5);
        EXPECT_GT(V.Normal.Y, 0);
    }
    EXPECT_TRUE(FacesAlong(Cap.Vertices[0].Position, Cap.Vertices[1].Position, Cap.Vertices[2].Position,
                           TVector{0, 1, 0, 0}));
}
