#include "app/language/Translations.h"
#include "app/notification/EventNotices.h"
#include "app/window/TrayIcon.h"
#include "platform/testing/FakeNotifications.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

QString Translated(const char* Context, const char* Source)
{
    return QCoreApplication::translate(Context, Source);
}

class TEnvironmentLanguage
{
public:
    TEnvironmentLanguage(const char* Language, const char* Lang)
    {
        setenv("LANGUAGE", Language, 1);
        setenv("LC_ALL", Lang, 1);
    }
    ~TEnvironmentLanguage()
    {
        setenv("LANGUAGE", "", 1);
        setenv("LC_ALL", "C.UTF-8", 1);
    }
};

TEST(TranslationsTest, TheClockSpeaksPortugueseAndEnglishAndTheEnvironmentChooses)
{
    const std::vector<std::string> Offered = TTranslations::Offered();
    ASSERT_FALSE(Offered.empty());
    EXPECT_EQ(Offered.front(), "pt");
    EXPECT_NE(std::find(Offered.begin(), Offered.end(), "en"), Offered.end()) << "the English catalog ships";
    EXPECT_EQ(TTranslations::Chosen(), "pt") << "the C locale";
    {
        const TEnvironmentLanguage English("", "en_GB.UTF-8");
        EXPECT_EQ(TTranslations::Chosen(), "en");
    }
    {
        const TEnvironmentLanguage German("de_AT:de", "de_AT.UTF-8");
        EXPECT_EQ(TTranslations::Chosen(), "pt");
    }
}

TEST(TranslationsTest, InEnglishEveryPartOfTheClockSpeaksEnglishAndPortugueseComesBackAfter)
{
    Platform::TFakeNotifications Notifications;
    {
        const TTranslations English("en");
        EXPECT_EQ(Translated("Twatch", "&Sair"), QStringLiteral("&Quit"));
        EXPECT_EQ(Translated("TFrm_SetUp", "Calendário / Alarme"), QStringLiteral("Calendar / Alarm"));
        EXPECT_EQ(TTrayIcon::Tip(46000.5).section(QChar(13), 0, 0),
                  QStringLiteral("Zentavo has scheduled an event for"));
        TEventNotices Notices(Notifications, [] {}, {});
        Notices.AlarmRinging(46000.5);
        Notices.EventMissed(1, 46000.5);
        Notices.AlarmEnded();
    }
    ASSERT_EQ(Notifications.Shown().size(), 2u);
    EXPECT_EQ(Notifications.Shown()[0].Summary, "Alarm");
    ASSERT_EQ(Notifications.Shown()[0].Actions.size(), 1u);
    EXPECT_EQ(Notifications.Shown()[0].Actions[0].Label, "Stop");
    EXPECT_EQ(Notifications.Shown()[1].Summary, "Missed event");
    EXPECT_EQ(Notifications.Shown()[1].Body.rfind("Shut down: ", 0), 0u) << Notifications.Shown()[1].Body;

    EXPECT_EQ(Translated("Twatch", "&Sair"), QStringLiteral("&Sair")) << "the catalog left with its owner";
    const TTranslations Portuguese("pt");
    EXPECT_EQ(Translated("TFrm_SetUp", "Calendário / Alarme"), QStringLiteral("Calendário / Alarme"));
    // The toolkit's own buttons (file chooser, message boxes) speak it too.
    EXPECT_EQ(Translated("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
}

TEST(TranslationsTest, EveryTextOfTheDefaultDocumentHasItsEnglishAndAPublishersOwnStaysAsWritten)
{
    QFile File(QStringLiteral(ZENTAVO_SOURCE_DIR "/data/sysConf.xml"));
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    QDomDocument Document;
    ASSERT_TRUE(Document.setContent(&File));
    QStringList Texts;
    const std::function<void(const QDomElement&)> Collect = [&](const QDomElement& Element) {
        for (const char* Attribute : {"caption", "font"})
            if (const QString Text = Element.attribute(QString::fromLatin1(Attribute)); !Text.isEmpty())
                Texts << Text;
        for (QDomElement Child = Element.firstChildElement(); !Child.isNull();
             Child = Child.nextSiblingElement())
            Collect(Child);
    };
    Collect(Document.documentElement());
    ASSERT_GE(Texts.size(), 5);

    const TTranslations English("en");
    for (const QString& Text : Texts) {
        const QString Shown = DocumentText(Text);
        EXPECT_FALSE(Shown.isEmpty()) << Text.toStdString();
        EXPECT_NE(Shown, Text) << Text.toStdString() << " has no English";
    }
    EXPECT_EQ(DocumentText(std::string("Rádio da cidade")), QStringLiteral("Rádio da cidade"));
}

} // namespace
