#include "Record.h"
#include "services/zentavo_companion.h"

#include <string.h>

ZT_EXPORT ZTWeatherChannelFunction WeatherChannel;
ZT_EXPORT ZTGetWeatherInfoFunction getWeatherInfo;

int32_t WeatherChannel(ZTWindow* MainWindow, ZTElement* Forecast)
{
    const ZTElementMethods* Methods = Forecast->Methods;
    char Name[32];
    char Small[4];
    char Font[128];
    Methods->Name(Forecast, Name, sizeof Name);
    const int64_t Length = Methods->Attribute(Forecast, "font", NULL, 0);
    Methods->Attribute(Forecast, "font", Small, sizeof Small);
    Methods->Attribute(Forecast, "font", Font, sizeof Font);
    char Nothing[8];
    const int64_t Missing = Methods->Attribute(Forecast, "nothing", Nothing, sizeof Nothing);
    ZtLog("WeatherChannel window=%s %s font=%s length=%lld small=%s missing=%lld",
          MainWindow ? "yes" : "null", Name, Font, (long long)Length, Small, (long long)Missing);
    const int32_t Count = Methods->ChildCount(Forecast);
    for (int32_t Index = 0; Index < Count; ++Index) {
        ZTElement* Child = Methods->Child(Forecast, Index);
        Child->Methods->Name(Child, Name, sizeof Name);
        ZtLog("child %s", Name);
    }
    return 7;
}

/* Draws a 4 x 4 picture whose bottom-left pixel is the background colour and
   leaves its weather text as the caption. */
uint8_t getWeatherInfo(ZTWindow* MainWindow, uintptr_t ApplicationWindow, const char* WeatherCode,
                       ZTUserConnection Connection, ZTRSSWeather** Weather)
{
    ZtSaveBytes("getWeatherInfo.record", &Connection, sizeof Connection);
    ZtLog("getWeatherInfo window=%lu code=%s length=%lu", (unsigned long)ApplicationWindow, WeatherCode,
          (unsigned long)strlen(WeatherCode));
    char Answer[16];
    if (ZtScriptAnswer("getWeatherInfo", Answer, sizeof Answer) && strcmp(Answer, "fail") == 0)
        return 0;
    ZtLog("SetCaption %d", MainWindow->Methods->SetCaption(MainWindow, "C\xc3\xa9u limpo 25\xc2\xb0"));
    ZTBitmap* Brush = MainWindow->Methods->BrushBitmap(MainWindow);
    if (Brush != NULL) {
        uint32_t Pixels[16];
        for (int Index = 0; Index < 16; ++Index)
            Pixels[Index] = 0xFFFFCC00u;
        Pixels[12] = 0xFF0000FFu;
        Brush->Methods->SetPixels(Brush, 4, 4, Pixels);
        ZtLog("brush %dx%d", (int)Brush->Methods->Width(Brush), (int)Brush->Methods->Height(Brush));
    } else {
        ZtLog("no brush");
    }
    strcpy((*Weather)->Condition.Text[0], "clear");
    (*Weather)->ForecastCount = 1;
    strcpy((*Weather)->Forecasts[0].Text[5], "rain");
    return 1;
}
