#include "WeatherTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cstring>

namespace WeatherTesting {

namespace {

void SetShortText(ZTShortText& Text, const std::string& Value)
{
    std::memset(&Text, 0, sizeof Text);
    Text.Length = static_cast<uint8_t>(Value.size());
    std::memcpy(Text.Characters, Value.data(), Value.size());
}

QJsonObject Step(const QDateTime& Time, double Temperature, const QString& Symbol1, const QString& Symbol6)
{
    QJsonObject Details{{QStringLiteral("air_temperature"), Temperature}};
    QJsonObject Data{{QStringLiteral("instant"), QJsonObject{{QStringLiteral("details"), Details}}}};
    auto Summary = [](const QString& Symbol) {
        return QJsonObject{{QStringLiteral("summary"), QJsonObject{{QStringLiteral("symbol_code"), Symbol}}}};
    };
    if (!Symbol1.isEmpty())
        Data.insert(QStringLiteral("next_1_hours"), Summary(Symbol1));
    if (!Symbol6.isEmpty())
        Data.insert(QStringLiteral("next_6_hours"), Summary(Symbol6));
    return QJsonObject{{QStringLiteral("time"), Time.toString(Qt::ISODate)}, {QStringLiteral("data"), Data}};
}

} // namespace

TFakeWindow::TFakeWindow() : FWindow{{nullptr}, this}, FBitmap{{nullptr}, this}
{
    static const ZTWindowMethods Window = {sizeof(ZTWindowMethods), &SetCaption, &BrushBitmap};
    static const ZTBitmapMethods Bitmap = {sizeof(ZTBitmapMethods), &LoadFromFile, &SetPixels, &Width,
                                           &Height};
    FWindow.Object.Methods = &Window;
    FBitmap.Object.Methods = &Bitmap;
}

uint8_t TFakeWindow::SetCaption(ZTWindow* Self, const char* Caption)
{
    reinterpret_cast<TWindowBridge*>(Self)->Owner->FCaption = std::string(Caption);
    return 1;
}

ZTBitmap* TFakeWindow::BrushBitmap(ZTWindow* Self)
{
    return &reinterpret_cast<TWindowBridge*>(Self)->Owner->FBitmap.Object;
}

uint8_t TFakeWindow::LoadFromFile(ZTBitmap*, const char*)
{
    return 0;
}

uint8_t TFakeWindow::SetPixels(ZTBitmap* Self, int32_t Width, int32_t Height, const uint32_t* Pixels)
{
    TFakeWindow* Owner = reinterpret_cast<TBitmapBridge*>(Self)->Owner;
    ++Owner->FSetPixelsCalls;
    if (Width < 0 || Height < 0 || (Width * Height > 0 && Pixels == nullptr))
        return 0;
    QImage Picture(Width, Height, QImage::Format_ARGB32);
    for (int Y = 0; Y < Height; ++Y)
        std::memcpy(Picture.scanLine(Y), Pixels + static_cast<size_t>(Y) * Width,
                    static_cast<size_t>(Width) * 4);
    Owner->FPicture = Picture;
    return 1;
}

int32_t TFakeWindow::Width(const ZTBitmap* Self)
{
    return reinterpret_cast<const TBitmapBridge*>(Self)->Owner->FPicture.width();
}

int32_t TFakeWindow::Height(const ZTBitmap* Self)
{
    return reinterpret_cast<const TBitmapBridge*>(Self)->Owner->FPicture.height();
}

TFakeElement::TFakeElement(std::map<std::string, std::string> Attributes)
    : FBridge{{nullptr}, this}, FAttributes(std::move(Attributes))
{
    static const ZTElementMethods Methods = {sizeof(ZTElementMethods), &Name, &Attribute, &ChildCount,
                                             &Child};
    FBridge.Object.Methods = &Methods;
}

int64_t TFakeElement::Name(const ZTElement*, char* Buffer, size_t BufferSize)
{
    if (BufferSize > 0)
        std::snprintf(Buffer, BufferSize, "forecast");
    return 8;
}

int64_t TFakeElement::Attribute(const ZTElement* Self, const char* Name, char* Buffer, size_t BufferSize)
{
    const auto& Attributes = reinterpret_cast<const TBridge*>(Self)->Owner->FAttributes;
    const auto Found = Attributes.find(Name);
    const std::string Value = Found == Attributes.end() ? std::string() : Found->second;
    if (BufferSize > 0)
        std::snprintf(Buffer, BufferSize, "%s", Value.c_str());
    return Found == Attributes.end() ? -1 : static_cast<int64_t>(Value.size());
}

int32_t TFakeElement::ChildCount(const ZTElement*)
{
    return 0;
}

ZTElement* TFakeElement::Child(const ZTElement*, int32_t)
{
    return nullptr;
}

ZTUserConnection Connection(const std::string& ProxyServer, const std::string& ProxyPort,
                            const std::string& ProxyUser, const std::string& ProxyPass)
{
    ZTUserConnection Record;
    std::memset(&Record, 0, sizeof Record);
    SetShortText(Record.ProxyServer, ProxyServer);
    SetShortText(Record.ProxyPort, ProxyPort);
    SetShortText(Record.ProxyUser, ProxyUser);
    SetShortText(Record.ProxyPass, ProxyPass);
    return Record;
}

std::string MadeUpForecast(const std::string& Symbol, double Temperature, int OffsetHours,
                           const std::vector<TMadeUpDay>& Days, const QDateTime& Now)
{
    QJsonArray Series;
    QDateTime Hour = Now;
    Hour.setTime(QTime(Now.time().hour(), 0));
    Series.append(Step(Hour, Temperature, QString::fromStdString(Symbol), QString::fromStdString(Symbol)));
    const QDate Today = Now.addSecs(OffsetHours * 3600).date();
    for (int Day = 0; Day < static_cast<int>(Days.size()); ++Day) {
        const QDate Date = Today.addDays(Day + 1);
        for (int LocalHour = 0; LocalHour < 24; LocalHour += 3) {
            const QDateTime Utc = QDateTime(Date, QTime(LocalHour, 0), Qt::UTC).addSecs(-OffsetHours * 3600);
            const TMadeUpDay& Made = Days[Day];
            double Value = (Made.Minimum + Made.Maximum) / 2.0;
            if (LocalHour == 3)
                Value = Made.Minimum;
            if (LocalHour == 15)
                Value = Made.Maximum;
            const QString Noon = QString::fromStdString(Made.NoonSymbol);
            Series.append(Step(Utc, Value, QString(), LocalHour == 12 ? Noon : QStringLiteral("cloudy")));
        }
    }
    const QJsonObject Root{
        {QStringLiteral("type"), QStringLiteral("Feature")},
        {QStringLiteral("properties"), QJsonObject{{QStringLiteral("timeseries"), Series}}}};
    return QJsonDocument(Root).toJson(QJsonDocument::Compact).toStdString();
}

std::vector<TMadeUpDay> SixDays()
{
    return {{18, 27, "rain"}, {17, 29, "partlycloudy_day"}, {16, 30, "clearsky_day"},
            {-2, 5, "snow"},  {12, 21, "fair_day"},         {10, 20, "fog"}};
}

std::string HttpDate(const QDateTime& Time)
{
    return QLocale::c()
        .toString(Time.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toStdString();
}

} // namespace WeatherTesting
