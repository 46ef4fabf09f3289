#include "scene/GLStateCache.h"

#include "GLRecorder.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLRecorder;

namespace {

class StateCache : public ::testing::Test
{
protected:
    TGLRecorder Recorder;
    TGLStateCache Cache;
};

const TVector Emission{0.1f, 0.2f, 0.3f, 1};
const TVector Ambient{0.2f, 0.2f, 0.2f, 1};
const TVector Diffuse{0.8f, 0.7f, 0.6f, 1};
const TVector Specular{0, 0, 0, 1};

std::vector<double> Values(GLenum Face, GLenum Name, const TVector& V)
{
    return {double(Face), double(Name), V.X, V.Y, V.Z, V.W};
}

} // namespace

TEST_F(StateCache, CapabilitiesMapInTheirOrder)
{
    EXPECT_EQ(TGLStateCache::StateToGLEnum(stAlphaTest), GLenum(GL_ALPHA_TEST));
    EXPECT_EQ(TGLStateCache::StateToGLEnum(stCullFace), GLenum(GL_CULL_FACE));
    EXPECT_EQ(TGLStateCache::StateToGLEnum(stLighting), GLenum(GL_LIGHTING));
    EXPECT_EQ(TGLStateCache::StateToGLEnum(stLogicOp), GLenum(GL_COLOR_LOGIC_OP));
    EXPECT_EQ(TGLStateCache::StateToGLEnum(stTexture2D), GLenum(GL_TEXTURE_2D));
    EXPECT_EQ(TGLStateCache::StateToGLEnum(stTextureRect), GLenum(0x84F5));
}

TEST_F(StateCache, RepeatedSwitchesMakeNoCall)
{
    Cache.Enable(stBlend);
    Cache.Enable(stBlend);
    Cache.Disable(stFog);
    Cache.SetEnabled(stBlend, true);
    EXPECT_EQ(Recorder.Count("glEnable"), 1u);
    EXPECT_EQ(Recorder.Count("glDisable"), 0u);
    Cache.Disable(stBlend);
    EXPECT_EQ(Recorder.Count("glDisable"), 1u);
    EXPECT_FALSE(Recorder.IsEnabled(GL_BLEND));
}

TEST_F(StateCache, DitherStartsOnLikeTheContext)
{
    EXPECT_TRUE(Cache.IsEnabled(stDither));
    Cache.Disable(stDither);
    ASSERT_EQ(Recorder.Count("glDisable"), 1u);
    EXPECT_EQ(Recorder.CallsNamed("glDisable")[0].Args[0], GL_DITHER);
}

TEST_F(StateCache, MaterialColorsGoOutInOrderAndOnlyWhenChanged)
{
    Cache.SetMaterialColors(GL_FRONT, Emission, Ambient, Diffuse, Specular, 10);
    ASSERT_EQ(Recorder.Calls().size(), 5u);
    EXPECT_EQ(Recorder.Calls()[0].Name, "glMateriali");
    EXPECT_EQ(Recorder.Calls()[0].Args, (std::vector<double>{GL_FRONT, GL_SHININESS, 10}));
    EXPECT_EQ(Recorder.Calls()[1].Args, Values(GL_FRONT, GL_EMISSION, Emission));
    EXPECT_EQ(Recorder.Calls()[2].Args, Values(GL_FRONT, GL_AMBIENT, Ambient));
    EXPECT_EQ(Recorder.Calls()[3].Args, Values(GL_FRONT, GL_DIFFUSE, Diffuse));
    EXPECT_EQ(Recorder.Calls()[4].Args, Values(GL_FRONT, GL_SPECULAR, Specular));

    Recorder.Clear();
    Cache.SetMaterialColors(GL_FRONT, Emission, Ambient, Diffuse, Specular, 10);
    EXPECT_TRUE(Recorder.Calls().empty());
    const TVector Red{1, 0, 0, 1};
    Cache.SetMaterialColors(GL_FRONT, Emission, Ambient, Red, Specular, 10);
    ASSERT_EQ(Recorder.Calls().size(), 1u);
    EXPECT_EQ(Recorder.Calls()[0].Args, Values(GL_FRONT, GL_DIFFUSE, Red));

    // The back face is remembered apart.
    Recorder.Clear();
    Cache.SetMaterialColors(GL_BACK, Emission, Ambient, Diffuse, Specular, 0);
    EXPECT_EQ(Recorder.Count("glMaterialfv"), 4u);
    EXPECT_EQ(Recorder.Count("glMateriali"), 0u);
}

TEST_F(StateCache, AlphaChannelResendsTheLastDiffuseColor)
{
    Cache.SetMaterialColors(GL_FRONT, Emission, Ambient, Diffuse, Specular, 0);
    Recorder.Clear();
    Cache.SetMaterialAlphaChannel(GL_FRONT, 0.25f);
    Cache.SetMaterialAlphaChannel(GL_FRONT, 0.25f);
    ASSERT_EQ(Recorder.Calls().size(), 1u);
    EXPECT_EQ(Recorder.Calls()[0].Args, Values(GL_FRONT, GL_DIFFUSE, TVector{0.8f, 0.7f, 0.6f, 0.25f}));
    EXPECT_EQ(Cache.MaterialDiffuse(GL_FRONT).W, 0.25f);
}

TEST_F(StateCache, PolygonModeAndFrontFaceOnlyOnChange)
{
    Cache.SetPolygonMode(GL_FRONT, GL_FILL);
    Cache.SetPolygonMode(GL_FRONT, GL_FILL);
    Cache.SetPolygonMode(GL_BACK, GL_FILL);
    EXPECT_EQ(Recorder.Count("glPolygonMode"), 2u);
    Cache.SetPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    EXPECT_EQ(Recorder.Count("glPolygonMode"), 2u);
    Cache.SetFrontFace(GL_CCW);
    EXPECT_EQ(Recorder.Count("glFrontFace"), 0u);
    Cache.SetFrontFace(GL_CW);
    EXPECT_EQ(Recorder.Count("glFrontFace"), 1u);
}

TEST_F(StateCache, TexturesAreBoundPerUnitOnlyOnChange)
{
    Cache.SetTexture(0, GL_TEXTURE_2D, 5);
    Cache.SetTexture(0, GL_TEXTURE_2D, 5);
    EXPECT_EQ(Recorder.Count("glBindTexture"), 1u);
    Cache.SetTexture(2, GL_TEXTURE_2D, 5);
    EXPECT_EQ(Recorder.Count("glBindTexture"), 2u);
    const auto Units = Recorder.CallsNamed("glActiveTexture");
    ASSERT_EQ(Units.size(), 2u);
    EXPECT_EQ(Units[0].Args[0], GL_TEXTURE0 + 2);
    EXPECT_EQ(Units[1].Args[0], GL_TEXTURE0);
}

TEST_F(StateCache, ResetSendsTheDefaultMaterialAndForgetsWhatWasSent)
{
    Cache.SetMaterialColors(GL_FRONT, Emission, Ambient, Diffuse, Specular, 4);
    Cache.SetPolygonMode(GL_FRONT, GL_LINE);
    Cache.SetTexture(0, GL_TEXTURE_2D, 9);
    Cache.SetFrontFace(GL_CW);
    Recorder.Clear();
    Cache.Reset();
    EXPECT_EQ(Recorder.CallsNamed("glMaterialfv").size(), 4u);
    EXPECT_EQ(Recorder.CallsNamed("glMateriali")[0].Args,
              (std::vector<double>{GL_FRONT_AND_BACK, GL_SHININESS, 0}));
    EXPECT_EQ(Recorder.CallsNamed("glFrontFace")[0].Args[0], GL_CCW);
    EXPECT_EQ(Cache.Texture(0), TGLStateCache::UnknownTexture);

    Recorder.Clear();
    Cache.SetMaterialColors(GL_FRONT, Emission, Ambient, Diffuse, Specular, 4);
    EXPECT_EQ(Recorder.Count("glMaterialfv"), 4u);
    Cache.SetPolygonMode(GL_FRONT, GL_LINE);
    EXPECT_EQ(Recorder.Count("glPolygonMode"), 1u);
    Cache.SetTexture(0, GL_TEXTURE_2D, 9);
    EXPECT_EQ(Recorder.Count("glBindTexture"), 1u);
}
