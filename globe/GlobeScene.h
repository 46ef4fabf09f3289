#pragma once

#include "scene/GLArrowLine.h"
#include "scene/GLCamera.h"
#include "scene/GLCylinder.h"
#include "scene/GLDummyCube.h"
#include "scene/GLHUDText.h"
#include "scene/GLLightSource.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSphere.h"
#include "scene/GLSprite.h"
#include "scene/GLWindowsBitmapFont.h"

#include <memory>

namespace Scene {
class TGLSceneViewer;
}

// The one scene the clock shows: the globe on its polar axis, the hour and
// minute domes with the sun, the time-point arrow, the weather picture, the
// heads-up line and the camera, with every designed property value.
// The objects belong to the scene's tree; the members only point at them.
class TGlobeScene
{
public:
    TGlobeScene();
    ~TGlobeScene();
    TGlobeScene(const TGlobeScene&) = delete;
    TGlobeScene& operator=(const TGlobeScene&) = delete;

    Scene::TGLScene& Cene() { return *FCene; }
    Scene::TGLWindowsBitmapFont& WinBMP_Font() { return *FWinBMP_Font; }

    // Sets up the viewer that shows this scene: camera, background, context
    // options, shade model and fog environment.
    void ConfigureViewer(Scene::TGLSceneViewer& ScreenView);
    // The weather sprite shows nothing again.
    void ClearWeatherPicture();

    Scene::TGLDummyCube* Planetarium = nullptr;
    Scene::TGLCylinder* Axis = nullptr;
    Scene::TGLArrowLine* TimePoint = nullptr;
    Scene::TGLSphere* Earth = nullptr;
    Scene::TGLSphere* Minutos = nullptr;
    Scene::TGLSphere* Horas = nullptr;
    Scene::TGLLightSource* Sum = nullptr;
    Scene::TGLLightSource* Sum_1 = nullptr;
    Scene::TGLSprite* WeatherPic = nullptr;
    Scene::TGLHUDText* HUDText = nullptr;
    Scene::TGLCamera* Camera_1 = nullptr;

private:
    // The font outlives the scene: the heads-up text draws with it until the end.
    std::unique_ptr<Scene::TGLWindowsBitmapFont> FWinBMP_Font;
    std::unique_ptr<Scene::TGLScene> FCene;
};
