#include "TrayIcon.h"

#include "services/PictureLibrary.h"
#include "state/DateTimeText.h"

#include <QCoreApplication>

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
    return QCoreApplication::translate("TTrayIcon", "Zentavo agendou um evento para") + QChar(13) +
           EventDateTimeText(DateTime, Locale);
}

QString TTrayIcon::EventDateTimeText(double DateTime, const QLocale& Locale)
{
    return DateTimeText(DateTime, Locale);
}
