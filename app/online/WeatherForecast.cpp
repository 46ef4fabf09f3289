#include "WeatherForecast.h"

#include "services/AddOn.h"
#include "services/RSSWeather.h"
#include "services/WeatherChannel.h"
#include "state/GMT_System.h"
#include "WeatherView.h"

#include <QImage>

TWeatherForecast::TWeatherForecast(TGMT_System& System, Platform::TLibraryLoader& Libraries, TRSSWeather& Weather,
                                   TWeatherView& View)
    : FSystem(System), FLibraries(Libraries), FWeather(Weather), FView(View)
{}

std::string TWeatherForecast::WeatherCode(const std::vector<std::string>& Provinces, const std::string& City)
{
    std::string Code;
    if (!City.empty()) {
        for (const std::string& Entry : Provinces) {
            if (Entry.find(City) == std::string::npos)
                continue;
            const std::string::size_type Bar = Entry.find('|');
            Code = Bar == std::string::npos ? Entry : Entry.substr(Bar + 1);
            break;
        }
    }
    return Code.empty() ? City : Code;
}

void TWeatherForecast::Run()
{
    const std::string Code = WeatherCode(getProvinces(FLibraries), FSystem.UF);
    const TUserConnection Connection = FSystem.Connection;
    TWeatherChannel Binding(FLibraries);
    // The library leaves its text in the caption; a caption it did not touch is
    // only the window's own name, which is no line for the user.
    const std::string CaptionBefore = FView.Caption();
    QImage Brush;
    FView.AttachBrush(&Brush);
    bool Changing = false;
    try {
        FSystem.WeatherOk = Binding.getWeatherInfo(FView.CompanionWindow(), FView.ApplicationWindow(), Code,
                                                   Connection, FWeather);
        // One redraw for the text and the picture together.
        FView.BeginChanges();
        Changing = true;
        if (const std::string Caption = FView.Caption(); Caption != CaptionBefore)
            FView.SetHUDText(Caption);
        FView.SetWeatherPicture(Brush);
        FView.ResetFrameStats();
        Changing = false;
        FView.EndChanges();
    } catch (...) {
        // Seen only on the status page.
        FSystem.WeatherOk = false;
        if (Changing)
            FView.EndChanges();
    }
    FView.AttachBrush(nullptr);
}
