#include "globe/GlobeScene.h"
#include "GLRecorder.h"
#include "scene/GLMaterial.h"
#include "scene/GLSceneBuffer.h"
#include "scene/GLTexture.h"
#include "TestRenderingContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <typeinfo>

using namespace Scene;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TTestDeviceContext;

namespace {

class GlobeSceneTest : public testing::Test
{
protected:
    TGlobeScene Globe;
};

struct TNode
{
    const char* Name;
    const char* Parent;
    int Index;
    std::function<bool(const TGLBaseSceneObject&)> IsOfClass;
};

template <typename T> bool Is(const TGLBaseSceneObject& Object)
{
    return typeid(Object) == typeid(T);
}

TGLBaseSceneObject& Find(TGLScene& Scene, const std::string& Name)
{
    for (TGLBaseSceneObject* Root : {static_cast<TGLBaseSceneObject*>(&Scene.Objects()),
                                     static_cast<TGLBaseSceneObject*>(&Scene.Cameras())})
        if (TGLBaseSceneObject* Found = Root->FindChild(Name, true))
            return *Found;
    throw std::runtime_error("no object " + Name);
}

void ExpectVector(const TVector& Actual, float X, float Y, float Z, float W, const std::string& What)
{
    EXPECT_FLOAT_EQ(Actual.X, X) << What;
    EXPECT_FLOAT_EQ(Actual.Y, Y) << What;
    EXPECT_FLOAT_EQ(Actual.Z, Z) << What;
    EXPECT_FLOAT_EQ(Actual.W, W) << What;
}

void ExpectColor(const TGLColor& Actual, float R, float G, float B, float A, const std::string& What)
{
    ExpectVector(Actual.AsVector(), R, G, B, A, What);
}

} // namespace

TEST_F(GlobeSceneTest, TheTreeHasEveryObjectInItsPlace)
{
    const TNode Tree[] = {
        {"Planetarium", "ObjectRoot", 0, Is<TGLDummyCube>},
        {"Axis", "Planetarium", 0, Is<TGLCylinder>},
        {"TimePoint", "Axis", 0, Is<TGLArrowLine>},
        {"Earth", "Axis", 1, Is<TGLSphere>},
        {"Minutos", "Axis", 2, Is<TGLSphere>},
        {"Horas", "Axis", 3, Is<TGLSphere>},
        {"Sum", "Horas", 0, Is<TGLLightSource>},
        {"Sum_1", "Sum", 0, Is<TGLLightSource>},
        {"WeatherPic", "ObjectRoot", 1, Is<TGLSprite>},
        {"HUDText", "ObjectRoot", 2, Is<TGLHUDText>},
        {"Camera_1", "CameraRoot", 0, Is<TGLCamera>},
    };
    TGLScene& Scene = Globe.Cene();
    EXPECT_EQ(Scene.Objects().Count(), 3);
    EXPECT_EQ(Scene.Cameras().Count(), 1);
    for (const TNode& Node : Tree) {
        TGLBaseSceneObject& Object = Find(Scene, Node.Name);
        EXPECT_TRUE(Node.IsOfClass(Object)) << Node.Name << " is a " << typeid(Object).name();
        ASSERT_NE(Object.Parent(), nullptr) << Node.Name;
        EXPECT_EQ(Object.Parent()->Name(), Node.Parent) << Node.Name;
        EXPECT_EQ(Object.Parent()->IndexOfChild(Object), Node.Index) << Node.Name;
    }
    EXPECT_EQ(Scene.LightSlotIndex(*Globe.Sum), 0);
    EXPECT_EQ(Scene.LightSlotIndex(*Globe.Sum_1), 1);
    EXPECT_EQ(Scene.ObjectsSorting(), osRenderBlendedLast);
    EXPECT_EQ(Scene.VisibilityCulling(), vcNone);
}

TEST_F(GlobeSceneTest, OrientationsAreStoredAsDesigned)
{
    struct TPlacementCheck
    {
        TGLBaseSceneObject* Object;
        TVector Direction, Up, Position;
    };
    const TPlacementCheck Checks[] = {
        {Globe.Planetarium, {0, -5.96047e-08f, 1, 0}, {-2.98023e-08f, 1, -3.3418e-08f, 0}, {0, 0, 0, 1}},
        {Globe.Axis, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}},
        {Globe.TimePoint, {5.96046e-08f, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0.015f, 1}},
        {Globe.Earth, {-2.98023e-08f, 5.96047e-08f, 1, 0}, {3.60823e-15f, 1, -5.96047e-08f, 0}, {0, 0, 0, 1}},
        {Globe.Minutos, {-2.98023e-08f, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}},
        {Globe.Horas, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}},
        {Globe.Sum, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, -1000, 1}},
        {Globe.WeatherPic, {0, 0, 1, 0}, {0, 1, 0, 0}, {1.1f, -0.45f, -2, 1}},
        {Globe.HUDText, {0, 0, 1, 0}, {0, 1, 0, 0}, {5, 255, 0, 1}},
        {Globe.Camera_1, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, -10, 1}},
    };
    for (const TPlacementCheck& Check : Checks) {
        const std::string& Name = Check.Object->Name();
        const TVector& D = Check.Direction;
        const TVector& U = Check.Up;
        const TVector& P = Check.Position;
        ExpectVector(Check.Object->Direction().AsVector(), D.X, D.Y, D.Z, D.W, Name + " Direction");
        ExpectVector(Check.Object->Up().AsVector(), U.X, U.Y, U.Z, U.W, Name + " Up");
        ExpectVector(Check.Object->Position().AsVector(), P.X, P.Y, P.Z, P.W, Name + " Position");
    }
    ExpectVector(Globe.WeatherPic->Scale().AsVector(), 0.6f, 0.6f, 0.6f, 0, "WeatherPic Scale");
    EXPECT_EQ(Globe.Camera_1->TargetObject(), Globe.Planetarium);
}

TEST_F(GlobeSceneTest, MeshesHaveTheirDesignedShapes)
{
    const struct
    {
        TGLSphere* Sphere;
        float Radius;
        int Slices, Stacks, Top, Bottom;
    } Spheres[] = {{Globe.Earth, 1.5f, 120, 120, 90, -90},
                   {Globe.Minutos, 1.6f, 16, 16, -2, -90},
                   {Globe.Horas, 1.6f, 16, 16, 90, 2}};
    for (const auto& Expected : Spheres) {
        const TGLSphere& Sphere = *Expected.Sphere;
        EXPECT_FLOAT_EQ(Sphere.Radius(), Expected.Radius) << Sphere.Name();
        EXPECT_EQ(Sphere.Slices(), Expected.Slices) << Sphere.Name();
        EXPECT_EQ(Sphere.Stacks(), Expected.Stacks) << Sphere.Name();
        EXPECT_EQ(Sphere.Top(), Expected.Top) << Sphere.Name();
        EXPECT_EQ(Sphere.Bottom(), Expected.Bottom) << Sphere.Name();
        EXPECT_EQ(Sphere.Start(), 0) << Sphere.Name();
        EXPECT_EQ(Sphere.Stop(), 360) << Sphere.Name();
    }
    EXPECT_FLOAT_EQ(Globe.Axis->Height(), 3.5f);
    EXPECT_FLOAT_EQ(Globe.Axis->BottomRadius(), 0.05f);
    EXPECT_FLOAT_EQ(Globe.Axis->TopRadius(), 0.05f);
    EXPECT_EQ(Globe.Axis->Alignment(), caCenter);
    EXPECT_FLOAT_EQ(Globe.TimePoint->Height(), 3.12f);
    EXPECT_EQ(Globe.TimePoint->Parts(), TArrowLineParts{alTopArrow});
    EXPECT_FLOAT_EQ(Globe.TimePoint->TopArrowHeadHeight(), 0.3f);
    EXPECT_FLOAT_EQ(Globe.TimePoint->TopArrowHeadRadius(), 0.07f);
    EXPECT_EQ(Globe.TimePoint->Loops(), 5);
    EXPECT_FLOAT_EQ(Globe.Planetarium->CubeSize(), 3.35f);
    EXPECT_FALSE(Globe.Planetarium->VisibleAtRunTime());
    EXPECT_FLOAT_EQ(Globe.Camera_1->DepthOfView(), 240);
    EXPECT_FLOAT_EQ(Globe.Camera_1->FocalLength(), 119.99996f);
    EXPECT_EQ(Globe.HUDText->Text(), "Zentavo 3D Desktop");
    ExpectColor(Globe.HUDText->ModulateColor(), 1, 0.25f, 0, 1, "HUDText ModulateColor");
    EXPECT_EQ(Globe.HUDText->BitmapFont(), &Globe.WinBMP_Font());
    EXPECT_EQ(Globe.WinBMP_Font().Font().Name(), "Trebuchet MS");
    EXPECT_EQ(Globe.WinBMP_Font().Font().Height(), -11);
    EXPECT_EQ(Globe.WinBMP_Font().Ranges().CharacterCount(), 224);
    EXPECT_EQ(Globe.Sum->LightStyle(), lsParallel);
    EXPECT_EQ(Globe.Sum_1->LightStyle(), lsParallel);
    ExpectColor(Globe.Sum->Specular(), 0.05f, 0.05f, 0.05f, 0, "Sum Specular");
    ExpectColor(Globe.Sum_1->Specular(), 0, 0, 0, 1, "Sum_1 Specular");
}

TEST_F(GlobeSceneTest, MaterialsAndTexturesAreDressedAsDesigned)
{
    const TGLMaterial& Earth = Globe.Earth->Material();
    ExpectColor(Earth.FrontProperties().Ambient(), 0, 0, 0.016f, 1, "Earth Ambient");
    ExpectColor(Earth.FrontProperties().Diffuse(), 1, 1, 1, 0, "Earth Diffuse");
    ExpectColor(Earth.FrontProperties().Emission(), 0.239f, 0.239f, 0.239f, 0.484f, "Earth Emission");
    ExpectColor(Earth.FrontProperties().Specular(), 0.302f, 0.310f, 0.310f, 0.27f, "Earth Specular");
    EXPECT_EQ(Earth.BlendingMode(), bmOpaque);
    EXPECT_EQ(Earth.FaceCulling(), fcCull);
    ExpectColor(Globe.Axis->Material().FrontProperties().Diffuse(), 1, 1, 1, 0.579f, "Axis Diffuse");
    EXPECT_EQ(Globe.Axis->Material().BlendingMode(), bmTransparency);
    EXPECT_FALSE(Globe.Axis->Material().HasTexture());
    ExpectColor(Globe.TimePoint->Material().FrontProperties().Emission(), 0.729f, 0.580f, 0, 1,
                "TimePoint Emission");
    ExpectColor(Globe.Horas->Material().FrontProperties().Emission(), 1, 1, 0.976f, 1, "Horas Emission");
    ExpectColor(Globe.Minutos->Material().FrontProperties().Diffuse(), 0.976f, 0.992f, 0.992f, 0.563f,
                "Minutos Diffuse");

    const struct
    {
        TGLBaseSceneObject* Object;
        TGLTextureImageAlpha Alpha;
        TGLMagFilter Mag;
        TGLMinFilter Min;
        TGLTextureMode Mode;
        TGLTextureWrap Wrap;
        TGLTextureFilteringQuality Quality;
        int PictureWidth;
    } Textures[] = {
        {Globe.Earth, tiaSuperBlackTransparent, maLinear, miLinear, tmModulate, twHorizontal, tfIsotropic,
         85},
        {Globe.Minutos, tiaLuminance, maNearest, miNearest, tmModulate, twBoth, tfAnisotropic, 85},
        {Globe.Horas, tiaLuminance, maNearest, miNearest, tmModulate, twBoth, tfAnisotropic, 0},
        {Globe.WeatherPic, tiaTopLeftPointColorTransparent, maNearest, miLinear, tmReplace, twBoth,
         tfIsotropic, 1},
    };
    for (const auto& Expected : Textures) {
        auto& Material = dynamic_cast<TGLCustomSceneObject&>(*Expected.Object).Material();
        const TGLTexture& Texture = Material.Texture();
        const std::string& Name = Expected.Object->Name();
        EXPECT_FALSE(Texture.Disabled()) << Name;
        EXPECT_EQ(Texture.ImageAlpha(), Expected.Alpha) << Name;
        EXPECT_EQ(Texture.MagFilter(), Expected.Mag) << Name;
        EXPECT_EQ(Texture.MinFilter(), Expected.Min) << Name;
        EXPECT_EQ(Texture.TextureMode(), Expected.Mode) << Name;
        EXPECT_EQ(Texture.TextureWrap(), Expected.Wrap) << Name;
        EXPECT_EQ(Texture.FilteringQuality(), Expected.Quality) << Name;
        EXPECT_EQ(Texture.Image().Picture().Width(), Expected.PictureWidth) << Name;
    }
    const TGLPicture& Placeholder = Globe.Earth->Material().Texture().Image().Picture();
    EXPECT_EQ(Placeholder.Height(), 81);
    EXPECT_EQ(Placeholder.Graphic()->BitsPerPixel(), 1);
    const TGLPicture& Weather = Globe.WeatherPic->Material().Texture().Image().Picture();
    ASSERT_NE(Weather.Graphic(), nullptr);
    EXPECT_EQ(Weather.Graphic()->BitsPerPixel(), 24);
    const std::uint8_t* Pixel = Weather.Graphic()->ScanLine(0); // blue, green, red
    EXPECT_EQ(Pixel[0], 255);
    EXPECT_EQ(Pixel[1], 128);
    EXPECT_EQ(Pixel[2], 0);
}

namespace {

// Notes which object is being drawn at each draw call of a frame.
class TDrawOrder
{
public:
    explicit TDrawOrder(TGlobeScene& Globe) : FGlobe(Globe)
    {
        Active = this;
        FTable = Recorder.Table();
        FCallList = FTable.glCallList;
        FBegin = FTable.glBegin;
        FColor = FTable.glColor4fv;
        FTable.glCallList = [](GLuint List) {
            Active->Note();
            Active->FCallList(List);
        };
        FTable.glBegin = [](GLenum Mode) {
            Active->Note();
            Active->FBegin(Mode);
        };
        // The heads-up text is no material object: its modulate colour tells it.
        FTable.glColor4fv = [](const GLfloat* Color) {
            if (Color[0] == 1 && Color[1] == 0.25f && Color[2] == 0 && Color[3] == 1)
                Active->Add("HUDText");
            Active->FColor(Color);
        };
        SetGLDispatch(&FTable);
    }
    ~TDrawOrder() { SetGLDispatch(&Recorder.Table()); }

    std::vector<std::string> Objects;
    TGLRecorder Recorder;

private:
    void Note()
    {
        const TGLBaseSceneObject* Current = FGlobe.Cene().CurrentObject();
        if (Current != nullptr && Current != FLast) {
            Add(Current->Name());
            FLast = Current;
        }
    }
    void Add(const std::string& Name)
    {
        if (Objects.empty() || Objects.back() != Name)
            Objects.push_back(Name);
    }

    static inline TDrawOrder* Active = nullptr;
    TGlobeScene& FGlobe;
    TGLDispatch FTable;
    decltype(TGLDispatch::glCallList) FCallList;
    decltype(TGLDispatch::glBegin) FBegin;
    decltype(TGLDispatch::glColor4fv) FColor;
    const TGLBaseSceneObject* FLast = nullptr;
};

} // namespace

TEST_F(GlobeSceneTest, AFrameDrawsOpaqueObjectsFirstThenTheDomesTheTextAndTheWeatherLast)
{
    TDrawOrder Order(Globe);
    TTestDeviceContext Device;
    TGLSceneBuffer Buffer;
    Buffer.SetCamera(Globe.Camera_1);
    Buffer.ResizeViewport(328, 344);
    Buffer.CreateRenderingContext(Device);
    for (int Frame = 0; Frame < 2; ++Frame) {
        Order.Objects.clear();
        Buffer.RenderFrame();
        // Equal distances keep list order, so the later dome, Horas, comes first.
        EXPECT_EQ(Order.Objects, (std::vector<std::string>{"Axis", "TimePoint", "Earth", "Horas", "Minutos",
                                                           "HUDText", "WeatherPic"}))
            << "frame " << Frame;
    }
}
