#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace Platform {
class TLibraryLoader;
}
class THostPopupMenu;

// The tray icon, shown through the pictures library while an event is armed.
class TTrayIcon
{
public:
    TTrayIcon(Platform::TLibraryLoader& Libraries, THostPopupMenu& Menu);

    // RemoveFirst sends a remove request before anything else; then the icon
    // is shown with the event in its tip when Waiting, removed otherwise.
    void Refresh(std::uintptr_t ApplicationWindow, bool RemoveFirst, bool Waiting, double DateTime);

    // "Zentavo agendou um evento para", a carriage return, the event.
    static QString Tip(double DateTime, const QLocale& Locale = QLocale());
    // The locale's short date, a blank and its long time; midnight shows the date only.
    static QString EventDateTimeText(double DateTime, const QLocale& Locale = QLocale());

private:
    Platform::TLibraryLoader& FLibraries;
    THostPopupMenu& FMenu;
};
