#include "WeatherReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QTimeZone>

#include <cmath>
#include <map>

namespace {

struct TStep
{
    QDateTime Time;
    double Temperature;
    QString Symbol1;
    QString Symbol6;
    QString Symbol12;

    QString ShortSymbol() const
    {
        return !Symbol1.isEmpty() ? Symbol1 : !Symbol6.isEmpty() ? Symbol6 : Symbol12;
    }
    QString LongSymbol() const
    {
        return !Symbol6.isEmpty() ? Symbol6 : !Symbol12.isEmpty() ? Symbol12 : Symbol1;
    }
};

QString SymbolOf(const QJsonObject& Data, const char* Period)
{
    return Data.value(QLatin1String(Period))
        .toObject()
        .value(QLatin1String("summary"))
        .toObject()
        .value(QLatin1String("symbol_code"))
        .toString();
}

} // namespace

QString TemperatureText(double Celsius)
{
    const long Rounded = std::lround(Celsius);
    return QString::number(Rounded == 0 ? 0 : Rounded);
}

std::optional<TWeatherReport> TWeatherReport::Parse(const QByteArray& Json, double Longitude,
                                                    const QDateTime& Now)
{
    QJsonParseError Error;
    const QJsonDocument Document = QJsonDocument::fromJson(Json, &Error);
    if (Error.error != QJsonParseError::NoError || !Document.isObject())
        return std::nullopt;
    const QJsonArray Series = Document.object()
                                  .value(QLatin1String("properties"))
                                  .toObject()
                                  .value(QLatin1String("timeseries"))
                                  .toArray();

    QList<TStep> Steps;
    for (const QJsonValue& Value : Series) {
        const QJsonObject Entry = Value.toObject();
        QDateTime Time = QDateTime::fromString(Entry.value(QLatin1String("time")).toString(), Qt::ISODate);
        const QJsonObject Data = Entry.value(QLatin1String("data")).toObject();
        const QJsonValue Temperature = Data.value(QLatin1String("instant"))
                                           .toObject()
                                           .value(QLatin1String("details"))
                                           .toObject()
                                           .value(QLatin1String("air_temperature"));
        if (!Time.isValid() || !Temperature.isDouble() || !std::isfinite(Temperature.toDouble()) ||
            std::fabs(Temperature.toDouble()) > 100.0)
            continue;
        Time = Time.toUTC();
        Steps.append({Time, Temperature.toDouble(), SymbolOf(Data, "next_1_hours"),
                      SymbolOf(Data, "next_6_hours"), SymbolOf(Data, "next_12_hours")});
    }
    if (Steps.isEmpty())
        return std::nullopt;

    // "Now" is the last step that has begun, or the first one when none has.
    qsizetype Current = 0;
    for (qsizetype Index = 0; Index < Steps.size(); ++Index)
        if (Steps[Index].Time <= Now && !Steps[Index].ShortSymbol().isEmpty())
            Current = Index;
    TWeatherReport Report;
    Report.Time = Steps[Current].Time;
    Report.Temperature = Steps[Current].Temperature;
    Report.SymbolCode = Steps[Current].ShortSymbol();
    if (Report.SymbolCode.isEmpty())
        return std::nullopt;
    // A forecast that ended long ago is no current weather.
    if (Steps.last().Time < Now.addSecs(-3 * 3600))
        return std::nullopt;

    const qint64 Offset = static_cast<qint64>(std::lround(Longitude / 15.0)) * 3600;
    const QDate Today = Now.addSecs(Offset).date();
    struct TAccumulated
    {
        TDay Day;
        qint64 MiddayDistance = -1;
    };
    std::map<QDate, TAccumulated> Days;
    for (const TStep& Step : Steps) {
        const QDateTime Local = Step.Time.addSecs(Offset);
        const QDate Date = Local.date();
        if (Date <= Today)
            continue;
        auto [Position, Inserted] = Days.try_emplace(Date);
        TAccumulated& Accumulated = Position->second;
        if (Inserted) {
            Accumulated.Day.Date = Date;
            Accumulated.Day.Minimum = Accumulated.Day.Maximum = Step.Temperature;
        }
        Accumulated.Day.Minimum = std::min(Accumulated.Day.Minimum, Step.Temperature);
        Accumulated.Day.Maximum = std::max(Accumulated.Day.Maximum, Step.Temperature);
        // The day's picture is the one of the step nearest to noon that has one.
        const QString Symbol = Step.LongSymbol();
        const qint64 Distance = std::llabs(Local.time().secsTo(QTime(12, 0)));
        if (!Symbol.isEmpty() && (Accumulated.MiddayDistance < 0 || Distance < Accumulated.MiddayDistance)) {
            Accumulated.Day.SymbolCode = Symbol;
            Accumulated.MiddayDistance = Distance;
        }
    }
    for (const auto& [Date, Accumulated] : Days)
        if (!Accumulated.Day.SymbolCode.isEmpty())
            Report.Days.append(Accumulated.Day);
    return Report;
}
