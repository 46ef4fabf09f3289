#include "scene/GLLightSource.h"

#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLCamera.h"
#include "scene/GLDummyCube.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneBuffer.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

namespace {

// A camera at (0, 0, -10) looking along +Z, and a buffer that loads the
// lights of its scene as a frame does.
class Lights : public ::testing::Test
{
protected:
    Lights()
    {
        Camera.SetPosition(TVector{0, 0, -10, 1});
        Camera.SetDirection(TVector{0, 0, 1, 0});
        Buffer.SetCamera(&Camera);
    }

    void LoadLights(int MaxLights = 8)
    {
        Recorder.Clear();
        Buffer.PrepareMatrices();
        View = Recorder.ModelView();
        const std::size_t Depth = Recorder.ModelViewDepth();
        Buffer.SetupLights(MaxLights);
        EXPECT_EQ(Recorder.ModelViewDepth(), Depth);
        EXPECT_TRUE(Scene::Testing::MatrixNear(Recorder.ModelView(), View));
    }

    // The light's GL_POSITION in eye space, as OpenGL stores it.
    TVector EyePosition(GLenum Light) const
    {
        for (const TGLCall& Call : Recorder.CallsNamed("glLightfv"))
            if (Call.Args[0] == Light && Call.Args[1] == GL_POSITION) {
                const TVector Value{float(Call.Args[2]), float(Call.Args[3]), float(Call.Args[4]),
                                    float(Call.Args[5])};
                return VectorTransform(Value, Call.ModelView);
            }
        ADD_FAILURE() << "no GL_POSITION for light " << Light - GL_LIGHT0;
        return TVector{};
    }

    std::vector<double> LightValue(GLenum Light, GLenum Name) const
    {
        for (const TGLCall& Call : Recorder.Calls())
            if ((Call.Name == "glLightfv" || Call.Name == "glLightf") && Call.Args[0] == Light &&
                Call.Args[1] == Name)
                return std::vector<double>(Call.Args.begin() + 2, Call.Args.end());
        return {};
    }

    bool Called(const char* Name, GLenum Argument) const
    {
        for (const TGLCall& Call : Recorder.CallsNamed(Name))
            if (Call.Args[0] == Argument)
                return true;
        return false;
    }

    TGLRecorder Recorder;
    TGLScene Scene;
    TGLCamera& Camera = Scene.AddNewObject<TGLCamera>();
    TGLSceneBuffer Buffer;
    TMatrix View;
};

} // namespace

TEST(LightSource, DefaultsOfTheStoredDesign)
{
    TGLLightSource Light;
    EXPECT_EQ(Light.Ambient().AsVector(), (TVector{0, 0, 0, 1}));
    EXPECT_EQ(Light.Diffuse().AsVector(), (TVector{1, 1, 1, 1}));
    EXPECT_EQ(Light.Specular().AsVector(), (TVector{0, 0, 0, 1}));
    EXPECT_EQ(Light.ConstAttenuation(), 1);
    EXPECT_EQ(Light.LinearAttenuation(), 0);
    EXPECT_EQ(Light.QuadraticAttenuation(), 0);
    EXPECT_EQ(Light.Position().AsVector(), (TVector{0, 0, 0, 1}));
    EXPECT_EQ(Light.LightStyle(), lsSpot);
    EXPECT_TRUE(Light.Shining());
    EXPECT_EQ(Light.SpotCutOff(), 180);
    EXPECT_EQ(Light.SpotDirection().AsVector(), (TVector{0, 0, -1, 0}));
    EXPECT_EQ(Light.SpotExponent(), 0);
}

TEST(LightSource, TakesASlotAndEveryChangeRepaints)
{
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    Scene.AddBuffer(Buffer);
    TGLLightSource& Light = Scene.AddNewObject<TGLLightSource>();
    EXPECT_EQ(Scene.LightSlotIndex(Light), 0);
    const auto Changes = [&](auto Change) {
        const int Before = Buffer.Changes;
        Change();
        return Buffer.Changes - Before;
    };
    EXPECT_EQ(Changes([&] { Light.Diffuse().SetColor(1, 0, 0); }), 1);
    EXPECT_EQ(Changes([&] { Light.Diffuse().SetColor(1, 0, 0); }), 0);
    EXPECT_EQ(Changes([&] { Light.SpotDirection().SetVector(1, 0, 0); }), 1);
    EXPECT_EQ(Changes([&] { Light.SetLightStyle(lsParallel); }), 1);
    EXPECT_EQ(Changes([&] { Light.SetShining(false); }), 1);
    EXPECT_EQ(Changes([&] { Light.SetSpotCutOff(180); }), 0);
    EXPECT_EQ(Changes([&] { Light.SetQuadraticAttenuation(0.5f); }), 1);
    // The spot direction is not part of the transform.
    EXPECT_EQ(Light.Direction().AsVector(), (TVector{0, 0, 1, 0}));
}

TEST_F(Lights, AParallelLightTurnsWithItsParent)
{
    TGLDummyCube& Holder = Scene.AddNewObject<TGLDummyCube>();
    TGLLightSource& Sun = Holder.AddNewChild<TGLLightSource>();
    Sun.SetLightStyle(lsParallel);
    Sun.SetPosition(TVector{0, 0, -1000, 1}); // plays no part

    LoadLights();
    const TVector Unturned = EyePosition(GL_LIGHT0);
    EXPECT_EQ(Unturned.W, 0);
    // Camera looks along +Z from -Z: the light's -Z points back at the viewer.
    EXPECT_TRUE(VectorNear(Unturned, TVector{0, 0, 1, 0}, 1e-5f));

    Holder.SetTurnAngle(90);
    LoadLights();
    const TVector Turned = EyePosition(GL_LIGHT0);
    EXPECT_NEAR(VectorDotProduct(Turned, Unturned), 0, 1e-5);
    EXPECT_NEAR(VectorLength(Turned), 1, 1e-5);
    const TVector World = VectorTransform(TVector{0, 0, -1, 0}, Sun.WorldTransform());
    EXPECT_TRUE(VectorNear(Turned, VectorTransform(World, View), 1e-5f));
    EXPECT_NEAR(std::fabs(World.X), 1, 1e-5);
}

TEST_F(Lights, AChildOfAParallelLightShinesTheSameWay)
{
    TGLDummyCube& Holder = Scene.AddNewObject<TGLDummyCube>();
    TGLLightSource& Sun = Holder.AddNewChild<TGLLightSource>();
    Sun.SetLightStyle(lsParallel);
    TGLLightSource& Second = Sun.AddNewChild<TGLLightSource>();
    Second.SetLightStyle(lsParallel);
    Holder.SetTurnAngle(30);
    Sun.SetTurnAngle(15);
    LoadLights();
    EXPECT_TRUE(VectorNear(EyePosition(GL_LIGHT0), EyePosition(GL_LIGHT1), 1e-5f));
}

TEST_F(Lights, AnOmniLightSitsAtItsPositionInItsParentsSpace)
{
    TGLDummyCube& Holder = Scene.AddNewObject<TGLDummyCube>();
    Holder.SetPosition(TVector{5, 0, 0, 1});
    Holder.SetTurnAngle(90);
    TGLLightSource& Lamp = Holder.AddNewChild<TGLLightSource>();
    Lamp.SetLightStyle(lsOmni);
    Lamp.SetPosition(TVector{1, 2, 3, 1});
    Lamp.SetSpotCutOff(20); // ignored for this style
    LoadLights();
    const TVector Expected =
        VectorTransform(VectorTransform(TVector{1, 2, 3, 1}, Holder.WorldTransform()), View);
    const TVector Eye = EyePosition(GL_LIGHT0);
    EXPECT_TRUE(VectorNear(Eye, Expected, 1e-4f));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_CUTOFF), std::vector<double>{180});
    EXPECT_TRUE(LightValue(GL_LIGHT0, GL_SPOT_DIRECTION).empty());

    // Its own turn does not move it.
    Lamp.SetTurnAngle(45);
    LoadLights();
    EXPECT_TRUE(VectorNear(EyePosition(GL_LIGHT0), Expected, 1e-4f));
}

TEST_F(Lights, ColoursAttenuationAndSpotCone)
{
    TGLLightSource& Spot = Scene.AddNewObject<TGLLightSource>();
    Spot.Ambient().SetColor(0.1f, 0.2f, 0.3f, 1);
    Spot.Specular().SetColor(0.05f, 0.05f, 0.05f, 0);
    Spot.SetLinearAttenuation(0.25f);
    LoadLights();
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_AMBIENT), (std::vector<double>{0.1f, 0.2f, 0.3f, 1}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_DIFFUSE), (std::vector<double>{1, 1, 1, 1}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPECULAR), (std::vector<double>{0.05f, 0.05f, 0.05f, 0}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_CONSTANT_ATTENUATION), std::vector<double>{1});
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_LINEAR_ATTENUATION), std::vector<double>{0.25});
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_QUADRATIC_ATTENUATION), std::vector<double>{0});
    // A spot of 180 degrees is no cone: no direction sent.
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_CUTOFF), std::vector<double>{180});
    EXPECT_TRUE(LightValue(GL_LIGHT0, GL_SPOT_DIRECTION).empty());

    Spot.SetSpotCutOff(30);
    Spot.SetSpotExponent(4);
    Spot.SpotDirection().SetVector(0, -1, 0);
    LoadLights();
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_CUTOFF), std::vector<double>{30});
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_EXPONENT), std::vector<double>{4});
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_DIRECTION), (std::vector<double>{0, -1, 0}));
}

TEST_F(Lights, EmptySlotsAndDarkLightsAreSwitchedOff)
{
    Scene.AddNewObject<TGLLightSource>();
    TGLLightSource& Dark = Scene.AddNewObject<TGLLightSource>();
    Dark.SetShining(false);
    LoadLights();
    EXPECT_TRUE(Called("glEnable", GL_LIGHT0));
    EXPECT_TRUE(Called("glDisable", GL_LIGHT1));
    EXPECT_FALSE(Called("glEnable", GL_LIGHT1));
    EXPECT_TRUE(LightValue(GL_LIGHT1, GL_DIFFUSE).empty());
    for (GLenum Light = GL_LIGHT2; Light <= GL_LIGHT7; ++Light)
        EXPECT_TRUE(Called("glDisable", Light));
}

TEST_F(Lights, ANinthLightGetsNoSlotAndNeverShines)
{
    TGLLightSource* All[9];
    for (int I = 0; I < 9; ++I) {
        All[I] = &Scene.AddNewObject<TGLLightSource>();
        All[I]->Diffuse().SetColor(float(I + 1) / 10, 0, 0);
    }
    EXPECT_EQ(Scene.LightSlotIndex(*All[8]), -1);
    LoadLights(10);
    for (GLenum Light = GL_LIGHT0; Light <= GL_LIGHT7; ++Light)
        EXPECT_TRUE(Called("glEnable", Light));
    for (const TGLCall& Call : Recorder.CallsNamed("glLightfv")) {
        if (Call.Args[1] == GL_DIFFUSE) {
            EXPECT_NE(float(Call.Args[2]), 0.9f) << "the ninth light was sent";
        }
    }
    // Beyond the scene's eight slots the driver's lights are switched off.
    EXPECT_TRUE(Called("glDisable", GL_LIGHT0 + 8));
    EXPECT_TRUE(Called("glDisable", GL_LIGHT0 + 9));
    EXPECT_FALSE(Called("glEnable", GL_LIGHT0 + 8));

    // A driver with fewer lights gets only those.
    LoadLights(4);
    EXPECT_TRUE(Called("glEnable", GL_LIGHT3));
    EXPECT_FALSE(Called("glEnable", GL_LIGHT4));
    EXPECT_FALSE(Called("glDisable", GL_LIGHT4));
}
