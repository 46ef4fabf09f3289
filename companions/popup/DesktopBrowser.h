#pragma once

#include <QUrl>

// Opens an address in the desktop's default browser: through Qt's desktop
// services, or, where the display has none (offscreen, minimal), through
// xdg-open and then $BROWSER. False when nothing could be started.
bool OpenInDesktopBrowser(const QUrl& Link);
