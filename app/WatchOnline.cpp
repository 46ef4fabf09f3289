#include "WatchOnline.h"

#include "scene/GLHUDText.h"
#include "scene/GLPictureImage.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSprite.h"
#include "scene/GLTexture.h"
#include "services/AnsiText.h"
#include "services/HTTPConnection.h"
#include "settings/GlobePicture.h"
#include "Watch.h"

bool TWatchOnline::ConnectionAvailable()
{
    Platform::TServices& Services = FWindow.Services();
    return THTTPConnection(*Services.Libraries, *Services.Sound).getConnectionStatus();
}

void TWatchOnline::UpdateSysConf()
{
    FWindow.zt_UpdateSysConf();
}

void TWatchOnline::WeatherForecast()
{
    FWindow.zt_WeatherForecast();
}

bool TWatchOnline::SynchroniseTime()
{
    Platform::TServices& Services = FWindow.Services();
    return THTTPConnection(*Services.Libraries, *Services.Sound)
        .SincNetworkTime(FWindow.GMTSystem->TimeServer, FWindow.GMTSystem->Connection,
                         FWindow.IsUserAwaitingTimeSync());
}

void TWatchOnline::StopTimer()
{
    FWindow.KillTimer(TOnlineLoop::TimerId);
}

void TWatchOnline::ArmTimer()
{
    FWindow.zt_SetTimer(TOnlineLoop::TimerId, TOnlineLoop::Interval, "zt_SetSystemParams");
}

void TWatchOnline::ArmPopUpTimer(int Milliseconds)
{
    FWindow.zt_SetTimer(2, static_cast<unsigned>(Milliseconds), "zt_TimerPopUp");
}

void TWatchOnline::LiveUpdate()
{
    FWindow.zt_LiveUpdate();
}

std::uintptr_t TWatchOnline::ApplicationWindow()
{
    return FWindow.ApplicationWindow();
}

std::string TWatchOnline::Caption() const
{
    return FWindow.windowTitle().toStdString();
}

void TWatchOnline::SetCaption(const std::string& Caption)
{
    FWindow.setWindowTitle(QString::fromStdString(Caption));
}

void TWatchOnline::BeginChanges()
{
    FWindow.Globe->Cene().BeginChanges();
}

void TWatchOnline::EndChanges()
{
    FWindow.Globe->Cene().EndChanges();
}

void TWatchOnline::SetHUDText(const std::string& Text)
{
    FWindow.HUDText->SetText(ToAnsi(QString::fromStdString(Text)));
}

void TWatchOnline::SetWeatherPicture(const QImage& Picture)
{
    Scene::TGLPictureImage& Image = FWindow.Globe->WeatherPic->Material().Texture().Image();
    PassPictureThroughFile(
        Picture, *FWindow.Services().Files, "weather.bmp",
        [&Image](const std::string& File) { Image.LoadFromFile(File); },
        [this] { FWindow.Globe->ClearWeatherPicture(); });
}

void TWatchOnline::ResetFrameStats()
{
    FWindow.ScreenView->ResetFrameStats();
}
