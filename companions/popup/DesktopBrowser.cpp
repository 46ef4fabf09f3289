#include "DesktopBrowser.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

bool OpenInDesktopBrowser(const QUrl& Link)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
        QDesktopServices::openUrl(Link))
        return true;
    const QString Address = QString::fromUtf8(Link.toEncoded());
    const QString Opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!Opener.isEmpty() && QProcess::startDetached(Opener, {Address}))
        return true;
    const QString Browser = qEnvironmentVariable("BROWSER");
    return !Browser.isEmpty() && QProcess::startDetached(Browser, {Address});
}
