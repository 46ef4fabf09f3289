#include "WeatherLanguage.h"

#include "UserLanguage.h"

#include <QDir>

#include <memory>

namespace {

const QString CatalogFolder = QStringLiteral(":/weather/i18n");
const QString CatalogPrefix = QStringLiteral("weather_");

std::vector<std::string> OfferedLanguages()
{
    std::vector<std::string> Languages{Platform::SourceLanguage};
    for (const QString& Catalog :
         QDir(CatalogFolder).entryList({CatalogPrefix + QStringLiteral("*.qm")}, QDir::Files))
        Languages.push_back(Catalog.mid(CatalogPrefix.size()).chopped(3).toStdString());
    return Languages;
}

} // namespace

const TWeatherLanguage& TWeatherLanguage::Current()
{
    // Released with the library; the clock loads it for each call.
    static std::unique_ptr<TWeatherLanguage> Current;
    const std::string Language = Platform::ChosenLanguage(OfferedLanguages());
    if (!Current || Current->Language() != Language)
        Current = std::make_unique<TWeatherLanguage>(Language);
    return *Current;
}

TWeatherLanguage::TWeatherLanguage(const std::string& Language)
    : FLanguage(Language),
      FLocale(Language == Platform::SourceLanguage ? QLocale(QLocale::Portuguese, QLocale::Brazil)
                                                   : QLocale(QString::fromStdString(Language)))
{
    if (Language != Platform::SourceLanguage)
        FHasCatalog = FCatalog.load(CatalogPrefix + QString::fromStdString(Language), CatalogFolder);
}

QString TWeatherLanguage::Text(const char* Context, const char* Source) const
{
    if (FHasCatalog) {
        const QString Translated = FCatalog.translate(Context, Source);
        if (!Translated.isEmpty())
            return Translated;
    }
    return QString::fromUtf8(Source);
}
