#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

#include <string>

// The weather library's texts in the clock's language: the same choice, made
// from the same environment, as the clock's own. The texts are written in
// Portuguese; other languages come from the library's own catalogs, so the
// library stays whole wherever it is loaded.
class TWeatherLanguage
{
public:
    // The one for the language chosen now; made again when the choice changes.
    static const TWeatherLanguage& Current();

    explicit TWeatherLanguage(const std::string& Language);

    const std::string& Language() const { return FLanguage; }
    QString Text(const char* Context, const char* Source) const;
    // Names of days and months in that language.
    const QLocale& Locale() const { return FLocale; }

private:
    std::string FLanguage;
    QLocale FLocale;
    QTranslator FCatalog;
    bool FHasCatalog = false;
};
