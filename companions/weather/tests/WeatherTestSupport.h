#pragma once

#include "zentavo_companion.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace WeatherTesting {

// The clock's side of a weather call: a window whose brush bitmap and
// caption record what the library did.
class TFakeWindow
{
public:
    TFakeWindow();

    ZTWindow* Object() { return &FWindow.Object; }
    // Null until the library set pixels.
    const QImage& Picture() const { return FPicture; }
    const std::optional<std::string>& Caption() const { return FCaption; }
    int SetPixelsCalls() const { return FSetPixelsCalls; }

private:
    struct TWindowBridge
    {
        ZTWindow Object;
        TFakeWindow* Owner;
    };
    struct TBitmapBridge
    {
        ZTBitmap Object;
        TFakeWindow* Owner;
    };
    static uint8_t SetCaption(ZTWindow* Self, const char* Caption);
    static ZTBitmap* BrushBitmap(ZTWindow* Self);
    static uint8_t LoadFromFile(ZTBitmap* Self, const char* FileName);
    static uint8_t SetPixels(ZTBitmap* Self, int32_t Width, int32_t Height, const uint32_t* Pixels);
    static int32_t Width(const ZTBitmap* Self);
    static int32_t Height(const ZTBitmap* Self);

    TWindowBridge FWindow;
    TBitmapBridge FBitmap;
    QImage FPicture;
    std::optional<std::string> FCaption;
    int FSetPixelsCalls = 0;
};

// A forecast element with the attributes given.
class TFakeElement
{
public:
    explicit TFakeElement(std::map<std::string, std::string> Attributes);
    ZTElement* Object() { return &FBridge.Object; }

private:
    struct TBridge
    {
        ZTElement Object;
        TFakeElement* Owner;
    };
    static int64_t Name(const ZTElement* Self, char* Buffer, size_t BufferSize);
    static int64_t Attribute(const ZTElement* Self, const char* Name, char* Buffer, size_t BufferSize);
    static int32_t ChildCount(const ZTElement* Self);
    static ZTElement* Child(const ZTElement* Self, int32_t Index);

    TBridge FBridge;
    std::map<std::string, std::string> FAttributes;
};

ZTUserConnection Connection(const std::string& ProxyServer = {}, const std::string& ProxyPort = {},
                            const std::string& ProxyUser = {}, const std::string& ProxyPass = {});

// One day of a made-up forecast: its lowest and highest temperature and its
// symbol at noon, local time at the place.
struct TMadeUpDay
{
    int Minimum;
    int Maximum;
    std::string NoonSymbol;
};

// A locationforecast answer for a place whose local time is UTC + Offset
// hours: the current hour with Symbol and Temperature, then Days days after
// today in three-hour steps, lowest at 03:00 and highest at 15:00.
std::string MadeUpForecast(const std::string& Symbol, double Temperature, int OffsetHours,
                           const std::vector<TMadeUpDay>& Days,
                           const QDateTime& Now = QDateTime::currentDateTimeUtc());
std::vector<TMadeUpDay> SixDays();

// "Tue, 08 Dec 2026 10:00:00 GMT"
std::string HttpDate(const QDateTime& Time);

} // namespace WeatherTesting
