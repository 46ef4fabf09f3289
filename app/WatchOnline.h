#pragma once

#include "online/ConfigRefresh.h"
#include "online/OnlineLoop.h"
#include "online/ServicesMenu.h"
#include "online/WeatherView.h"
#include "services/CompanionWindow.h"

class Twatch;

// The online services' view of the main window: its timers, its caption and
// canvas brush as the companions see them, and the globe's weather sprite
// and heads-up line.
class TWatchOnline : public TOnlineActions,
                     public TConfigRefreshActions,
                     public TWeatherView,
                     public TServicesMenuActions,
                     public TCompanionWindow
{
public:
    explicit TWatchOnline(Twatch& Window) : FWindow(Window) {}

    // The online loop.
    bool ConnectionAvailable() override;
    void UpdateSysConf() override;
    void WeatherForecast() override;
    bool SynchroniseTime() override;
    void StopTimer() override;
    void ArmTimer() override;

    // The document's refresh.
    void ArmPopUpTimer(int Milliseconds) override;
    void LiveUpdate() override;

    // The weather step.
    TCompanionWindow& CompanionWindow() override { return *this; }
    std::uintptr_t ApplicationWindow() override;
    void AttachBrush(QImage* Bitmap) override { FBrush = Bitmap; }
    std::string Caption() const override;
    void BeginChanges() override;
    void EndChanges() override;
    void SetHUDText(const std::string& Text) override;
    void SetWeatherPicture(const QImage& Picture) override;
    void ResetFrameStats() override;

    // The services menu.
    void ArmOnlineTimer() override { ArmTimer(); }

    // The window as the companions see it.
    void SetCaption(const std::string& Caption) override;
    QImage* BrushBitmap() override { return FBrush; }

private:
    Twatch& FWindow;
    QImage* FBrush = nullptr;
};
