#include "Translations.h"

#include "platform/UserLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

const QString CatalogFolder = QStringLiteral(":/i18n");
const QString CatalogPrefix = QStringLiteral("zentavo-3d_");

// The default document's texts, so that the catalog holds them; a test keeps
// this list and data/sysConf.xml alike.
[[maybe_unused]] constexpr const char* ShippedDocumentTexts[] = {
    QT_TRANSLATE_NOOP("ShippedDocument", "Canal do tempo"),
    QT_TRANSLATE_NOOP("ShippedDocument", "Previsão do tempo"),
    QT_TRANSLATE_NOOP("ShippedDocument", "Ajuda do Zentavo 3D"),
    QT_TRANSLATE_NOOP("ShippedDocument", "Hora certa no mundo"),
    QT_TRANSLATE_NOOP("ShippedDocument", "Dia e noite no mapa"),
    QT_TRANSLATE_NOOP("ShippedDocument", "Sobre o Zentavo 3D"),
};

} // namespace

std::vector<std::string> TTranslations::Offered()
{
    std::vector<std::string> Languages{Platform::SourceLanguage};
    const QStringList Catalogs =
        QDir(CatalogFolder).entryList({CatalogPrefix + QStringLiteral("*.qm")}, QDir::Files);
    for (const QString& Catalog : Catalogs)
        Languages.push_back(Catalog.mid(CatalogPrefix.size()).chopped(3).toStdString());
    return Languages;
}

std::string TTranslations::Chosen()
{
    return Platform::ChosenLanguage(Offered());
}

TTranslations::TTranslations(const std::string& Language) : FLanguage(Language)
{
    const QString Name = QString::fromStdString(Language);
    if (Language != Platform::SourceLanguage) {
        auto Clock = std::make_unique<QTranslator>();
        if (Clock->load(CatalogPrefix + Name, CatalogFolder) &&
            QCoreApplication::installTranslator(Clock.get()))
            FClock = std::move(Clock);
    }
    // The toolkit's own texts (file chooser, edit menus) where the system has them.
    auto Toolkit = std::make_unique<QTranslator>();
    const QLocale Locale(Language == Platform::SourceLanguage ? QStringLiteral("pt_BR") : Name);
    if (Toolkit->load(Locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(Toolkit.get()))
        FToolkit = std::move(Toolkit);
}

TTranslations::~TTranslations()
{
    for (const auto* Translator : {&FClock, &FToolkit})
        if (*Translator)
            QCoreApplication::removeTranslator(Translator->get());
}

QString DocumentText(const QString& Text)
{
    return DocumentText(Text.toStdString());
}

QString DocumentText(const std::string& Text)
{
    return QCoreApplication::translate("ShippedDocument", Text.c_str());
}
