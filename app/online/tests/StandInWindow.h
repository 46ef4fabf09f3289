#pragma once

#include "app/online/ConfigRefresh.h"
#include "app/online/OnlineLoop.h"
#include "app/online/ServicesMenu.h"
#include "app/online/WeatherForecast.h"
#include "app/online/WeatherView.h"
#include "platform/testing/FakeServices.h"
#include "platform/testing/TestLibraryLoader.h"
#include "services/CompanionWindow.h"
#include "services/ConfigDocument.h"
#include "services/HTTPConnection.h"
#include "services/RSSWeather.h"
#include "services/tests/CompanionFakes.h"
#include "state/GMT_System.h"

#include <map>
#include <QImage>
#include <stdexcept>
#include <string>
#include <vector>

// The main window as the online services see it, without a widget: the
// companions are the stand-ins of the current folder, the timers a map, the
// scene a list of what was done to it.
class TStandInWindow : public TOnlineActions,
                       public TConfigRefreshActions,
                       public TWeatherView,
                       public TServicesMenuActions,
                       public TCompanionWindow
{
public:
    TStandInWindow() : System(FakeServices.Clock)
    {
        FakeServices.Services().Libraries = &Libraries;
        FakeServices.Services().Sound = &Sound;
    }

    Platform::TServices& Services() { return FakeServices.Services(); }

    void RunLoop() { TOnlineLoop(System, *this).Run(); }
    TServicesMenu Menu() { return TServicesMenu(Document, System, Services(), *this); }
    // What closing the setup dialog does to the online tasks.
    void CloseSetUp()
    {
        System.WeatherOk = false;
        System.TimeSyncOk = false;
        RunLoop();
    }

    bool ConnectionAvailable() override { return THTTPConnection(Libraries, Sound).getConnectionStatus(); }
    void UpdateSysConf() override { TConfigRefresh(Document, System, Libraries, Sound, *this).Run(); }
    void WeatherForecast() override { TWeatherForecast(System, Libraries, Weather, *this).Run(); }
    bool SynchroniseTime() override
    {
        return THTTPConnection(Libraries, Sound).SincNetworkTime(System.TimeServer, System.Connection, false);
    }
    void StopTimer() override { Timers.erase(1); }
    void ArmTimer() override { Timers[1] = TOnlineLoop::Interval; }
    void ArmPopUpTimer(int Milliseconds) override { Timers[2] = Milliseconds; }
    void LiveUpdate() override { RunLiveUpdate(Document, System, Libraries); }

    TCompanionWindow& CompanionWindow() override { return *this; }
    std::uintptr_t ApplicationWindow() override { return 4242; }
    void AttachBrush(QImage* Bitmap) override
    {
        Scene.push_back(Bitmap ? "attach" : "detach");
        Brush = Bitmap;
    }
    std::string Caption() const override { return WindowCaption; }
    void BeginChanges() override
    {
        Scene.push_back("begin");
        ++ChangeCount;
    }
    void EndChanges() override
    {
        Scene.push_back("end");
        --ChangeCount;
    }
    void SetHUDText(const std::string& Text) override
    {
        Scene.push_back("text " + Text);
        HUDText = Text;
    }
    void SetWeatherPicture(const QImage& Value) override
    {
        Scene.push_back("picture");
        if (PictureFails)
            throw std::runtime_error("cannot load weather.bmp");
        Picture = Value;
    }
    void ResetFrameStats() override { Scene.push_back("reset"); }
    void ArmOnlineTimer() override { ArmTimer(); }
    void SetCaption(const std::string& Value) override { WindowCaption = Value; }
    QImage* BrushBitmap() override { return Brush; }

    Platform::TFakeServices FakeServices;
    TTestLibraryLoader Libraries;
    TRecordingSound Sound;
    TGMT_System System;
    TConfigDocument Document;
    TRSSWeather Weather;
    std::map<unsigned, int> Timers;
    std::vector<std::string> Scene;
    int ChangeCount = 0;
    std::string WindowCaption = "watch";
    std::string HUDText;
    QImage Picture;
    QImage* Brush = nullptr;
    bool PictureFails = false;
};
