#include "TrayIcon.h"

#include "services/PictureLibrary.h"

#include <QDateTime>

#include <cmath>

TTrayIcon::TTrayIcon(Platform::TLibraryLoader& Libraries, THostPopupMenu& Menu)
    : FLibraries(Libraries), FMenu(Menu)
{}

void TTrayIcon::Refresh(std::uintptr_t ApplicationWindow, bool RemoveFirst, bool Waiting, double DateTime)
{
    TPictureLibrary Pictures(FLibraries);
    const auto Remove = [&] {
        Pictures.SetTaskBarIcon(ApplicationWindow, TPictureLibrary::TaskIconIdentifier,
                                TPictureLibrary::RemoveIcon, nullptr, "CLOCK", "");
    };
    if (RemoveFirst)
        Remove();
    if (Waiting)
        Pictures.SetTaskBarIcon(ApplicationWindow, TPictureLibrary::TaskIconIdentifier,
                                TPictureLibrary::ShowIcon, &FMenu, "CLOCK", Tip(DateTime).toStdString());
    else
        Remove();
}

QString TTrayIcon::Tip(double DateTime, const QLocale& Locale)
{
    return QStringLiteral("Zentavo agendou um evento para") + QChar(13) + EventDateTimeText(DateTime, Locale);
}

QString TTrayIcon::EventDateTimeText(double DateTime, const QLocale& Locale)
{
    const QDateTime Moment = QDateTime(QDate(1899, 12, 30), QTime(0, 0))
                                 .addMSecs(static_cast<qint64>(std::llround(DateTime * 86400000.0)));
    QString Text = Locale.toString(Moment.date(), QLocale::ShortFormat);
    if (Moment.time() != QTime(0, 0)) {
        // The long time format may name the zone; the tip shows the clock time only.
        QString Format = Locale.timeFormat(QLocale::LongFormat);
        Format.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
        Text += QLatin1Char(' ') + Locale.toString(Moment.time(), Format.trimmed());
    }
    return Text;
}
