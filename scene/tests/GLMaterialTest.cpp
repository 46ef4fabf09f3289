#include "scene/GLMaterial.h"

#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneObject.h"
#include "scene/GLStateCache.h"
#include "scene/GLTexture.h"
#include "scene/GLTextureEx.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

namespace {

class Material : public ::testing::Test
{
protected:
    Material()
    {
        Pass.StateCache = &Cache;
        Cache.Reset();
        Recorder.Clear();
    }

    // Apply and un-apply as the traversal does, recording only their calls.
    void Draw(TGLMaterial& M)
    {
        Recorder.Clear();
        M.Apply(Pass);
        M.UnApply(Pass);
    }

    std::vector<TGLCall> MaterialCalls(GLenum Face) const
    {
        std::vector<TGLCall> Result;
        for (const TGLCall& Call : Recorder.Calls())
            if ((Call.Name == "glMaterialfv" || Call.Name == "glMateriali") && Call.Args[0] == Face)
                Result.push_back(Call);
        return Result;
    }

    std::size_t CountCalls(std::string_view Name, GLenum Argument) const
    {
        std::size_t Result = 0;
        for (const TGLCall& Call : Recorder.CallsNamed(Name))
            Result += Call.Args[0] == Argument;
        return Result;
    }

    TGLRecorder Recorder;
    TGLStateCache Cache;
    TRenderContextInfo Pass;
    TGLSceneObject Object;
    TGLMaterial& M = Object.Material();
};

TVector Args(const TGLCall& Call, std::size_t First)
{
    return TVector{float(Call.Args[First]), float(Call.Args[First + 1]), float(Call.Args[First + 2]),
                   float(Call.Args[First + 3])};
}

} // namespace

TEST_F(Material, DefaultsOfEveryProperty)
{
    const TGLFaceProperties& Front = M.FrontProperties();
    EXPECT_TRUE(VectorNear(Front.Ambient().AsVector(), TVector{0.2f, 0.2f, 0.2f, 1}, 0));
    EXPECT_TRUE(VectorNear(Front.Diffuse().AsVector(), TVector{0.8f, 0.8f, 0.8f, 1}, 0));
    EXPECT_TRUE(VectorNear(Front.Emission().AsVector(), TVector{0, 0, 0, 1}, 0));
    EXPECT_TRUE(VectorNear(Front.Specular().AsVector(), TVector{0, 0, 0, 1}, 0));
    EXPECT_EQ(Front.Shininess(), 0);
    EXPECT_EQ(Front.PolygonMode(), pmFill);
    EXPECT_EQ(M.BlendingMode(), bmOpaque);
    EXPECT_TRUE(M.MaterialOptions().Empty());
    EXPECT_EQ(M.FaceCulling(), fcBufferDefault);
    EXPECT_TRUE(M.MaterialLibrary().empty());
    EXPECT_TRUE(M.LibMaterialName().empty());
    EXPECT_EQ(M.TextureEx().Count(), 0);

    EXPECT_FALSE(M.HasBackProperties());
    EXPECT_TRUE(VectorNear(M.BackProperties().Diffuse().AsVector(), TVector{0.8f, 0.8f, 0.8f, 1}, 0));
    EXPECT_TRUE(M.HasBackProperties());

    EXPECT_FALSE(M.HasTexture());
    EXPECT_TRUE(M.Texture().Disabled());
    EXPECT_TRUE(M.HasTexture());
    // The last value of each enumeration, in stored order.
    EXPECT_EQ(int(bmModulate), 5);
    EXPECT_EQ(int(fcNoCull), 2);
    EXPECT_EQ(int(moNoLighting), 1);
    EXPECT_EQ(int(pmPoints), 2);
}

TEST_F(Material, ShininessStaysWithin0To128)
{
    M.FrontProperties().SetShininess(200);
    EXPECT_EQ(M.FrontProperties().Shininess(), 128);
    M.FrontProperties().SetShininess(-3);
    EXPECT_EQ(M.FrontProperties().Shininess(), 0);
}

TEST_F(Material, LitFrontColoursGoOutInOrderThroughTheCache)
{
    Cache.Enable(stLighting);
    M.FrontProperties().Emission().SetColor(0.239f, 0.239f, 0.239f, 0.484f);
    M.FrontProperties().Diffuse().SetColor(1, 1, 1, 0.5f);
    M.FrontProperties().SetShininess(10);
    Draw(M);
    const auto Front = MaterialCalls(GL_FRONT);
    ASSERT_EQ(Front.size(), 5u);
    EXPECT_EQ(Front[0].Name, "glMateriali");
    EXPECT_EQ(Front[0].Args[1], GL_SHININESS);
    EXPECT_EQ(Front[0].Args[2], 10);
    const GLenum Names[] = {GL_EMISSION, GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR};
    for (int I = 0; I < 4; ++I)
        EXPECT_EQ(Front[I + 1].Args[1], Names[I]);
    EXPECT_TRUE(VectorNear(Args(Front[1], 2), TVector{0.239f, 0.239f, 0.239f, 0.484f}));
    EXPECT_TRUE(VectorNear(Args(Front[3], 2), TVector{1, 1, 1, 0.5f}));
    EXPECT_EQ(Recorder.Count("glColor4fv"), 0u);
    ASSERT_EQ(Recorder.Count("glPolygonMode"), 1u);
    EXPECT_EQ(Recorder.CallsNamed("glPolygonMode")[0].Args, (std::vector<double>{GL_FRONT, GL_FILL}));
}

TEST_F(Material, RepeatedStateIsNotSentAgain)
{
    Cache.Enable(stLighting);
    Cache.Enable(stCullFace);
    Draw(M);
    EXPECT_FALSE(Recorder.Calls().empty());
    Draw(M);
    EXPECT_TRUE(Recorder.Calls().empty()) << Recorder.Names().front();

    // A second material that differs only in its diffuse colour sends just that.
    TGLSceneObject Other;
    Other.Material().FrontProperties().Diffuse().SetColor(0.1f, 0.2f, 0.3f, 1);
    Draw(Other.Material());
    ASSERT_EQ(Recorder.Calls().size(), 1u);
    EXPECT_EQ(Recorder.Calls()[0].Name, "glMaterialfv");
    EXPECT_EQ(Recorder.Calls()[0].Args[1], GL_DIFFUSE);
}

TEST_F(Material, WithoutLightingTheFrontDiffuseIsTheColour)
{
    M.FrontProperties().Diffuse().SetColor(1, 1, 1, 0.579f);
    M.FrontProperties().SetPolygonMode(pmLines);
    Cache.Enable(stCullFace);
    Draw(M);
    ASSERT_EQ(Recorder.Count("glColor4fv"), 1u);
    EXPECT_TRUE(VectorNear(Args(Recorder.CallsNamed("glColor4fv")[0], 0), TVector{1, 1, 1, 0.579f}));
    EXPECT_TRUE(MaterialCalls(GL_FRONT).empty());
    EXPECT_EQ(Recorder.CallsNamed("glPolygonMode")[0].Args, (std::vector<double>{GL_FRONT, GL_LINE}));
}

struct TCullingCase
{
    bool CullOn;
    TFaceCulling Mode;
    bool BufferSwitch;
    bool CullAfter;
    bool BackSent;
};

TEST_F(Material, FaceCullingDecisionTable)
{
    const TCullingCase Cases[] = {
        {true, fcBufferDefault, true, true, false},  {true, fcBufferDefault, false, false, true},
        {true, fcCull, true, true, false},           {true, fcCull, false, true, false},
        {true, fcNoCull, true, false, true},         {true, fcNoCull, false, false, true},
        {false, fcBufferDefault, true, true, false}, {false, fcBufferDefault, false, false, true},
        {false, fcCull, true, true, false},          {false, fcCull, false, true, false},
        {false, fcNoCull, true, false, true},        {false, fcNoCull, false, false, true},
    };
    for (const TCullingCase& Case : Cases) {
        SCOPED_TRACE(::testing::Message() << "cull " << Case.CullOn << " mode " << int(Case.Mode)
                                          << " switch " << Case.BufferSwitch);
        TGLStateCache FreshCache;
        Pass.StateCache = &FreshCache;
        FreshCache.Reset();
        FreshCache.SetEnabled(stCullFace, Case.CullOn);
        Recorder.SetEnabled(GL_CULL_FACE, Case.CullOn);
        Pass.FaceCulling = Case.BufferSwitch;
        TGLSceneObject Subject;
        Subject.Material().SetFaceCulling(Case.Mode);
        Draw(Subject.Material());
        EXPECT_EQ(FreshCache.IsEnabled(stCullFace), Case.CullAfter);
        EXPECT_EQ(Recorder.IsEnabled(GL_CULL_FACE), Case.CullAfter);
        const bool Changed = Case.CullOn != Case.CullAfter;
        EXPECT_EQ(CountCalls("glEnable", GL_CULL_FACE) + CountCalls("glDisable", GL_CULL_FACE),
                  Changed ? 1u : 0u);
        EXPECT_EQ(!MaterialCalls(GL_BACK).empty(), Case.BackSent);
        EXPECT_EQ(Subject.Material().HasBackProperties(), Case.BackSent);
    }
}

TEST_F(Material, UnsetBackPropertiesSendTheDefaultsEvenUnlit)
{
    M.SetFaceCulling(fcNoCull);
    Draw(M);
    const auto Back = MaterialCalls(GL_BACK);
    // Shininess 0 equals what the reset left, so only the four colours go.
    ASSERT_EQ(Back.size(), 4u);
    EXPECT_EQ(Back[0].Args[1], GL_EMISSION);
    EXPECT_TRUE(VectorNear(Args(Back[0], 2), TVector{0, 0, 0, 1}));
    EXPECT_EQ(Back[1].Args[1], GL_AMBIENT);
    EXPECT_TRUE(VectorNear(Args(Back[1], 2), TVector{0.2f, 0.2f, 0.2f, 1}));
    EXPECT_EQ(Back[2].Args[1], GL_DIFFUSE);
    EXPECT_TRUE(VectorNear(Args(Back[2], 2), TVector{0.8f, 0.8f, 0.8f, 1}));
    EXPECT_EQ(Back[3].Args[1], GL_SPECULAR);
    EXPECT_TRUE(VectorNear(Args(Back[3], 2), TVector{0, 0, 0, 1}));
    EXPECT_EQ(Recorder.Count("glColor4fv"), 1u); // the front, unlit
}

struct TBlendingCase
{
    TBlendingMode Mode;
    bool Blend;
    bool AlphaTest;
    std::vector<double> BlendFunc;
    std::vector<double> AlphaFunc;
};

TEST_F(Material, BlendingTable)
{
    const TBlendingCase Cases[] = {
        {bmOpaque, false, false, {}, {}},
        {bmTransparency, true, true, {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}, {}},
        {bmAdditive, true, true, {GL_SRC_ALPHA, GL_ONE}, {}},
        {bmAlphaTest50, false, true, {}, {GL_GEQUAL, 0.5}},
        {bmAlphaTest100, false, true, {}, {GL_GEQUAL, 1.0}},
        {bmModulate, true, true, {GL_DST_COLOR, GL_ZERO}, {}},
    };
    // Start from the opposite of every expectation so each switch is visible.
    for (const TBlendingCase& Case : Cases) {
        SCOPED_TRACE(int(Case.Mode));
        Cache.SetEnabled(stBlend, !Case.Blend);
        Cache.SetEnabled(stAlphaTest, !Case.AlphaTest);
        M.SetBlendingMode(Case.Mode);
        Recorder.Clear();
        M.Apply(Pass);
        EXPECT_EQ(Recorder.IsEnabled(GL_BLEND), Case.Blend);
        EXPECT_EQ(Recorder.IsEnabled(GL_ALPHA_TEST), Case.AlphaTest);
        const auto BlendFuncs = Recorder.CallsNamed("glBlendFunc");
        EXPECT_EQ(BlendFuncs.empty() ? std::vector<double>{} : BlendFuncs[0].Args, Case.BlendFunc);
        const auto AlphaFuncs = Recorder.CallsNamed("glAlphaFunc");
        EXPECT_EQ(AlphaFuncs.empty() ? std::vector<double>{} : AlphaFuncs[0].Args, Case.AlphaFunc);
        EXPECT_EQ(M.Blended(), Case.Blend);

        // Only the alpha-test modes put the frame's alpha function back.
        Recorder.Clear();
        EXPECT_FALSE(M.UnApply(Pass));
        const auto Restored = Recorder.CallsNamed("glAlphaFunc");
        if (Case.AlphaFunc.empty()) {
            EXPECT_TRUE(Restored.empty());
        } else {
            ASSERT_EQ(Restored.size(), 1u);
            EXPECT_EQ(Restored[0].Args, (std::vector<double>{GL_GREATER, 0}));
        }
    }
}

TEST_F(Material, NoLightingSwitchesLightingOffOnceAndBack)
{
    M.SetMaterialOptions({moNoLighting});
    Cache.Enable(stLighting);
    Recorder.Clear();
    M.Apply(Pass);
    EXPECT_FALSE(Cache.IsEnabled(stLighting));
    EXPECT_EQ(Pass.LightingDisabledCounter, 1);
    EXPECT_EQ(Recorder.Count("glColor4fv"), 1u); // drawn unlit
    M.UnApply(Pass);
    EXPECT_TRUE(Cache.IsEnabled(stLighting));
    EXPECT_EQ(Pass.LightingDisabledCounter, 0);

    // With lighting already off nothing is counted, and nothing is switched on.
    Cache.Disable(stLighting);
    M.Apply(Pass);
    M.UnApply(Pass);
    EXPECT_FALSE(Cache.IsEnabled(stLighting));
    EXPECT_EQ(Pass.LightingDisabledCounter, 0);
}

TEST_F(Material, IgnoreFogCountsInTheFogCounter)
{
    M.SetMaterialOptions({moIgnoreFog});
    Cache.Enable(stFog);
    Pass.FogDisabledCounter = 1; // an enclosing material switched it off already
    M.Apply(Pass);
    EXPECT_FALSE(Cache.IsEnabled(stFog));
    EXPECT_EQ(Pass.FogDisabledCounter, 2);
    M.UnApply(Pass);
    EXPECT_EQ(Pass.FogDisabledCounter, 1);
    EXPECT_FALSE(Cache.IsEnabled(stFog));
}

TEST_F(Material, TextureStateIsLeftAloneUntilTheTextureIsRead)
{
    Cache.Enable(stTexture2D);
    Draw(M);
    EXPECT_TRUE(Cache.IsEnabled(stTexture2D));

    M.Texture(); // a disabled texture now exists
    Draw(M);
    EXPECT_FALSE(Cache.IsEnabled(stTexture2D));
    EXPECT_EQ(CountCalls("glDisable", GL_TEXTURE_2D), 1u);
}

TEST_F(Material, ChangesReachTheScene)
{
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    Scene.AddBuffer(Buffer);
    TGLSceneObject& Owner = Scene.AddNewObject<TGLSceneObject>();
    TGLMaterial& Mat = Owner.Material();
    int Expected = Buffer.Changes;
    Mat.FrontProperties().Diffuse().SetRed(0.5f);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Mat.BackProperties().SetShininess(5);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Mat.SetFaceCulling(fcCull);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Mat.SetMaterialOptions({moNoLighting});
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Mat.Texture().SetTextureMode(tmModulate);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Mat.SetFaceCulling(fcCull);
    EXPECT_EQ(Buffer.Changes, Expected);
    // A material colour is not part of the compiled geometry.
    Owner.GeometryList(Pass);
    Mat.FrontProperties().Emission().SetGreen(1);
    EXPECT_EQ(Owner.ChangeFlags() & TChangeFlags::Geometry, 0);
}

TEST_F(Material, SwitchingTheTextureMarksTheGeometryStale)
{
    TGLScene Scene;
    TGLSceneObject& Owner = Scene.AddNewObject<TGLSceneObject>();
    Owner.GeometryList(Pass);
    ASSERT_EQ(Owner.ChangeFlags() & TChangeFlags::Geometry, 0);
    Owner.Material().Texture().SetDisabled(false);
    EXPECT_NE(Owner.ChangeFlags() & TChangeFlags::Geometry, 0);
}

TEST_F(Material, TheTraversalAppliesBeforeTheGeometryAndContextLossDropsTheTexture)
{
    TGLScene Scene;
    TGLSceneObject& Owner = Scene.AddNewObject<TGLSceneObject>();
    Owner.Material().FrontProperties().Diffuse().SetColor(0, 1, 0, 1);
    TGLTexture& Texture = Owner.Material().Texture();
    Texture.SetDisabled(false);
    Recorder.Clear();
    Scene.RenderScene(Pass);
    const auto Names = Recorder.Names();
    const auto Colour = std::find(Names.begin(), Names.end(), "glColor4fv");
    const auto List = std::find(Names.begin(), Names.end(), "glCallList");
    ASSERT_NE(Colour, Names.end());
    ASSERT_NE(List, Names.end());
    EXPECT_LT(Colour, List);
    EXPECT_GT(std::count(List, Names.end(), "glDisable"), 0); // the texture's un-apply
    const GLuint Name = Texture.Handle();
    ASSERT_NE(Name, 0u);
    EXPECT_TRUE(Texture.Changes().Empty());

    Recorder.Clear();
    Scene.DestroyHandles();
    const auto Deleted = Recorder.CallsNamed("glDeleteTextures");
    ASSERT_EQ(Deleted.size(), 1u);
    EXPECT_EQ(Deleted[0].Args, (std::vector<double>{1, double(Name)}));
    EXPECT_EQ(Texture.Handle(), 0u);
    EXPECT_EQ(Texture.RequiredMemorySize(), -1);
    EXPECT_TRUE(Texture.Changes().Contains(TGLTextureChange::Image));
    EXPECT_TRUE(Texture.Changes().Contains(TGLTextureChange::Parameters));
}

TEST_F(Material, LibraryAndExtraTextureUnitsAreStored)
{
    M.SetMaterialLibrary("MatLib");
    M.SetLibMaterialName("Stone");
    TGLTextureExItem& Item = M.TextureEx().Add();
    Item.SetTextureIndex(1);
    Item.SetTextureScale(TVector{2, 2, 1, 0});
    EXPECT_EQ(M.MaterialLibrary(), "MatLib");
    EXPECT_EQ(M.LibMaterialName(), "Stone");
    EXPECT_EQ(M.TextureEx().Item(0).TextureIndex(), 1);
    EXPECT_TRUE(VectorNear(M.TextureEx().Item(0).TextureOffset(), TVector{0, 0, 0, 0}, 0));
    EXPECT_TRUE(M.TextureEx().Item(0).Texture().Disabled());
    // Never applied: a material with extra units draws like one without.
    Draw(M);
    EXPECT_EQ(Recorder.Count("glBindTexture"), 0u);
}
