#include "GlobeScene.h"

#include "scene/GLBitmapGraphic.h"
#include "scene/GLPictureImage.h"
#include "scene/GLTexture.h"
#include "scene/qt/GLSceneViewer.h"
#include "scene/qt/QtGlyphRasteriser.h"
#include "scene/qt/QtPictureGraphic.h"
#include "scene/qt/QtPictureLoader.h"
#include "scene/WindowsColor.h"

#include <QImage>

using namespace Scene;

namespace {

// The designed orientations carry the rounding of the tool that made them
// (-5.96047e-08 and the like); they are stored as they are and act as 0.
struct TPlacement
{
    TVector Direction{0, 0, 1, 0};
    TVector Up{0, 1, 0, 0};
    TVector Position{0, 0, 0, 1};
};

// Places an object as its stored form does: the vectors taken as they are,
// without the re-orthogonalising a live assignment runs.
void Place(TGLBaseSceneObject& Object, const TPlacement& Placement)
{
    Object.BeginLoading();
    Object.Direction().SetVector(Placement.Direction);
    Object.Up().SetVector(Placement.Up);
    Object.Position().SetVector(Placement.Position);
    Object.EndLoading();
}

// The stand-in picture of the Earth and the minute dome until start-up
// brings the real ones: 1 bit per pixel, black and white, 85 x 81.
std::unique_ptr<TGLGraphic> MonochromePlaceholder()
{
    QImage Picture(85, 81, QImage::Format_Mono);
    Picture.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    Picture.fill(1);
    return std::make_unique<TQtPictureGraphic>(Picture, 1);
}

template <typename TObject> TObject& Add(TGLBaseSceneObject& Parent, const char* Name)
{
    auto Object = std::make_unique<TObject>();
    Object->SetName(Name);
    return static_cast<TObject&>(Parent.AddChild(std::move(Object)));
}

TGLDummyCube& AddPlanetarium(TGLBaseSceneObject& Root)
{
    auto& Planetarium = Add<TGLDummyCube>(Root, "Planetarium");
    Place(Planetarium, {{0, -5.96047e-08f, 1, 0}, {-2.98023e-08f, 1, -3.3418e-08f, 0}, {0, 0, 0, 1}});
    Planetarium.SetCubeSize(3.35f);
    Planetarium.EdgeColor().SetColor(0, 0, 0, 1);
    Planetarium.SetVisibleAtRunTime(false);
    return Planetarium;
}

TGLCylinder& AddAxis(TGLBaseSceneObject& Planetarium)
{
    auto& Axis = Add<TGLCylinder>(Planetarium, "Axis");
    Place(Axis, {{0, 0, 1, 0}});
    Axis.SetBottomRadius(0.05f);
    Axis.SetTopRadius(0.05f);
    Axis.SetHeight(3.5f);
    Axis.Material().FrontProperties().Diffuse().SetColor(1, 1, 1, 0.579f);
    Axis.Material().SetBlendingMode(bmTransparency);
    return Axis;
}

TGLArrowLine& AddTimePoint(TGLBaseSceneObject& Axis)
{
    auto& TimePoint = Add<TGLArrowLine>(Axis, "TimePoint");
    Place(TimePoint, {{5.96046e-08f, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0.015f, 1}});
    TimePoint.SetBottomRadius(0.03f);
    TimePoint.SetTopRadius(0.03f);
    TimePoint.SetHeight(3.12f);
    TimePoint.SetLoops(5);
    TimePoint.SetParts({alTopArrow});
    TimePoint.SetTopArrowHeadHeight(0.3f);
    TimePoint.SetTopArrowHeadRadius(0.07f);
    TimePoint.SetBottomArrowHeadHeight(0.5f);
    TimePoint.SetBottomArrowHeadRadius(0.2f);
    TimePoint.SetHeadStackingStyle(ahssStacked);
    TimePoint.SetSlices(16);
    TimePoint.SetStacks(4);
    TimePoint.Material().FrontProperties().Emission().SetColor(0.729f, 0.580f, 0, 1); // RGB(186, 148, 0)
    return TimePoint;
}

TGLSphere& AddEarth(TGLBaseSceneObject& Axis)
{
    auto& Earth = Add<TGLSphere>(Axis, "Earth");
    Place(Earth, {{-2.98023e-08f, 5.96047e-08f, 1, 0}, {3.60823e-15f, 1, -5.96047e-08f, 0}});
    Earth.SetRadius(1.5f);
    Earth.SetSlices(120);
    Earth.SetStacks(120);
    TGLMaterial& Material = Earth.Material();
    Material.FrontProperties().Ambient().SetColor(0, 0, 0.016f, 1);
    Material.FrontProperties().Diffuse().SetColor(1, 1, 1, 0);
    Material.FrontProperties().Emission().SetColor(0.239f, 0.239f, 0.239f, 0.484f);
    Material.FrontProperties().Specular().SetColor(0.302f, 0.310f, 0.310f, 0.27f);
    Material.SetBlendingMode(bmOpaque);
    Material.SetFaceCulling(fcCull);
    TGLTexture& Texture = Material.Texture();
    Texture.SetImageAlpha(tiaSuperBlackTransparent);
    Texture.SetMinFilter(miLinear);
    Texture.SetTextureMode(tmModulate);
    Texture.SetTextureWrap(twHorizontal);
    Texture.Image().Picture().SetGraphic(MonochromePlaceholder());
    Texture.SetDisabled(false);
    return Earth;
}

// The two domes share their look: translucent, lit by their own glow, the
// dial picture's brightness as its opacity.
void DressDome(TGLSphere& Dome)
{
    TGLMaterial& Material = Dome.Material();
    Material.SetBlendingMode(bmTransparency);
    Material.SetFaceCulling(fcNoCull);
    TGLTexture& Texture = Material.Texture();
    Texture.SetImageAlpha(tiaLuminance);
    Texture.SetMagFilter(maNearest);
    Texture.SetMinFilter(miNearest);
    Texture.SetTextureMode(tmModulate);
    Texture.SetFilteringQuality(tfAnisotropic);
    Texture.SetDisabled(false);
}

TGLSphere& AddMinutos(TGLBaseSceneObject& Axis)
{
    auto& Minutos = Add<TGLSphere>(Axis, "Minutos");
    Place(Minutos, {{-2.98023e-08f, 0, -1, 0}, {0, 1, 0, 0}});
    Minutos.SetRadius(1.6f);
    Minutos.SetTop(-2);
    Minutos.SetBottom(-90);
    Minutos.SetSlices(16);
    Minutos.SetStacks(16);
    TGLFaceProperties& Front = Minutos.Material().FrontProperties();
    Front.Ambient().SetColor(0, 0, 0, 1);
    Front.Diffuse().SetColor(0.976f, 0.992f, 0.992f, 0.563f);
    Front.Emission().SetColor(1, 1, 0.969f, 0.968f);
    Front.Specular().SetColor(0.008f, 0, 0, 0.984f);
    DressDome(Minutos);
    Minutos.Material().Texture().Image().Picture().SetGraphic(MonochromePlaceholder());
    return Minutos;
}

TGLSphere& AddHoras(TGLBaseSceneObject& Axis)
{
    auto& Horas = Add<TGLSphere>(Axis, "Horas");
    Place(Horas, {{0, 0, -1, 0}});
    Horas.SetRadius(1.6f);
    Horas.SetTop(90);
    Horas.SetBottom(2);
    Horas.SetSlices(16);
    Horas.SetStacks(16);
    TGLFaceProperties& Front = Horas.Material().FrontProperties();
    Front.Diffuse().SetColor(1, 1, 1, 0.397f);
    Front.Emission().SetColor(1, 1, 0.976f, 1);
    Front.Specular().SetColor(1, 1, 1, 0);
    DressDome(Horas);
    return Horas;
}

TGLLightSource& AddSum(TGLBaseSceneObject& Horas)
{
    auto& Sum = Add<TGLLightSource>(Horas, "Sum");
    Place(Sum, {{0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, -1000, 1}});
    Sum.SetLightStyle(lsParallel);
    Sum.SetConstAttenuation(1);
    Sum.SetSpotCutOff(180);
    Sum.Specular().SetColor(0.05f, 0.05f, 0.05f, 0);
    return Sum;
}

TGLLightSource& AddSum_1(TGLBaseSceneObject& Sum)
{
    // Shines from the same direction as its parent and doubles the sunlight.
    auto& Sum_1 = Add<TGLLightSource>(Sum, "Sum_1");
    Sum_1.SetLightStyle(lsParallel);
    Sum_1.SetConstAttenuation(1);
    Sum_1.SetSpotCutOff(180);
    return Sum_1;
}

// Its only pixel is the keyed colour, so the sprite shows nothing until a weather picture comes.
void SetBlankPicture(TGLTexture& Texture)
{
    auto Placeholder = std::make_unique<TGLBitmapGraphic>(1, 1, 24);
    Placeholder->SetPixel(0, 0, 0, 128, 255);
    Texture.Image().Picture().SetGraphic(std::move(Placeholder));
}

TGLSprite& AddWeatherPic(TGLBaseSceneObject& Root)
{
    auto& WeatherPic = Add<TGLSprite>(Root, "WeatherPic");
    Place(WeatherPic, {{0, 0, 1, 0}, {0, 1, 0, 0}, {1.1f, -0.45f, -2, 1}});
    WeatherPic.Scale().SetVector(TVector{0.6f, 0.6f, 0.6f, 0});
    WeatherPic.SetWidth(1);
    WeatherPic.SetHeight(1);
    WeatherPic.SetNoZWrite(false);
    WeatherPic.SetMirrorU(false);
    WeatherPic.SetMirrorV(false);
    WeatherPic.SetObjectsSorting(osNone);
    WeatherPic.SetVisibilityCulling(vcNone);
    TGLMaterial& Material = WeatherPic.Material();
    Material.BackProperties().Ambient().SetColor(0, 0, 0, 1);
    Material.SetBlendingMode(bmTransparency);
    Material.SetFaceCulling(fcCull);
    TGLTexture& Texture = Material.Texture();
    Texture.SetImageAlpha(tiaTopLeftPointColorTransparent);
    Texture.SetMagFilter(maNearest);
    Texture.SetMinFilter(miLinear);
    Texture.SetTextureMode(tmReplace);
    Texture.EnvColor().SetColor(1, 1, 1, 1);
    SetBlankPicture(Texture);
    Texture.SetDisabled(false);
    return WeatherPic;
}

TGLHUDText& AddHUDText(TGLBaseSceneObject& Root, TGLWindowsBitmapFont& Font)
{
    auto& HUDText = Add<TGLHUDText>(Root, "HUDText");
    Place(HUDText, {{0, 0, 1, 0}, {0, 1, 0, 0}, {5, 255, 0, 1}});
    HUDText.SetBitmapFont(&Font);
    HUDText.SetText("Zentavo 3D Desktop");
    HUDText.SetAlignment(taLeftJustify);
    HUDText.SetLayout(tlTop);
    HUDText.ModulateColor().SetColor(1, 0.25f, 0, 1);
    return HUDText;
}

std::unique_ptr<TGLWindowsBitmapFont> MakeWinBMP_Font()
{
    auto Font = std::make_unique<TGLWindowsBitmapFont>();
    TFont Face;
    Face.SetName("Trebuchet MS");
    Face.SetStyle({fsBold});
    Face.SetHeight(-11);
    Face.SetCharset(TFont::AnsiCharset);
    Face.SetColor(0); // black; glyphs are drawn white whatever it says
    Font->SetFont(Face);
    Font->SetMagFilter(maNearest);
    Font->Ranges().Clear();
    Font->Ranges().Add(' ', static_cast<unsigned char>(0xFF), 0);
    return Font;
}

TGLCamera& AddCamera_1(TGLScene& Cene, TGLBaseSceneObject& Target)
{
    auto Camera = std::make_unique<TGLCamera>();
    Camera->SetName("Camera_1");
    auto& Camera_1 = static_cast<TGLCamera&>(Cene.AddObject(std::move(Camera)));
    Place(Camera_1, {{0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, -10, 1}});
    Camera_1.SetTargetObject(&Target);
    Camera_1.SetDepthOfView(240);
    Camera_1.SetFocalLength(119.99996f);
    Camera_1.SetCameraStyle(csPerspective);
    return Camera_1;
}

// Pictures and glyphs come from the toolkit; the scene layer only asks for them.
void InstallSceneAdapters()
{
    static TQtGlyphRasteriser Rasteriser;
    static const bool Installed = [] {
        InstallQtPictureLoader();
        SetGlyphRasteriser(&Rasteriser);
        return true;
    }();
    (void)Installed;
}

} // namespace

TGlobeScene::TGlobeScene()
    : FWinBMP_Font((InstallSceneAdapters(), MakeWinBMP_Font())), FCene(std::make_unique<TGLScene>())
{
    TGLScene& Scene = *FCene;
    Scene.BeginLoading();
    TGLBaseSceneObject& Root = Scene.Objects();
    Planetarium = &AddPlanetarium(Root);
    Axis = &AddAxis(*Planetarium);
    TimePoint = &AddTimePoint(*Axis);
    Earth = &AddEarth(*Axis);
    Minutos = &AddMinutos(*Axis);
    Horas = &AddHoras(*Axis);
    Sum = &AddSum(*Horas);
    Sum_1 = &AddSum_1(*Sum);
    WeatherPic = &AddWeatherPic(Root);
    HUDText = &AddHUDText(Root, *FWinBMP_Font);
    Camera_1 = &AddCamera_1(Scene, *Planetarium);
    Scene.EndLoading();
}

TGlobeScene::~TGlobeScene() = default;

void TGlobeScene::ConfigureViewer(TGLSceneViewer& ScreenView)
{
    ScreenView.SetCamera(Camera_1);
    TGLSceneBuffer& Buffer = ScreenView.Buffer();
    Buffer.SetBackgroundColor(clSkyBlue);
    Buffer.SetContextOptions({roDoubleBuffer, roRenderToWindow, roStereo, roDestinationAlpha});
    Buffer.SetShadeModel(smSmooth);
    TGLFogEnvironment& Fog = Buffer.FogEnvironment();
    Fog.FogColor().SetColor(0.914f, 0.914f, 0.914f, 1);
    Fog.SetFogStart(10);
    Fog.SetFogEnd(1000);
    Fog.SetFogDistance(fdEyeRadial);
}

void TGlobeScene::ClearWeatherPicture()
{
    SetBlankPicture(WeatherPic->Material().Texture());
}
