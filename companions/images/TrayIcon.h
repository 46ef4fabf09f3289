#pragma once

#include "zentavo_companion.h"

#include <QObject>
#include <QString>

class QSystemTrayIcon;

// The clock's tray icon. It outlives the call that showed it, so while it is
// shown it holds a reference to this library of its own.
class TTrayIcon : public QObject
{
public:
    // Both run on the application's thread, whichever thread asked.
    static void Show(int Identifier, ZTPopupMenu* Menu, const QString& IconName, const QString& ToolTip);
    static void Remove(int Identifier);

private:
    TTrayIcon(int Identifier, ZTPopupMenu* Menu, const QString& IconName, const QString& ToolTip);
    ~TTrayIcon() override;
    void Update(ZTPopupMenu* Menu, const QString& IconName, const QString& ToolTip);
    void OnActivated(int Reason);

    int FIdentifier;
    ZTPopupMenu* FMenu = nullptr;
    QSystemTrayIcon* FIcon = nullptr;
    void* FSelfReference = nullptr;
};
