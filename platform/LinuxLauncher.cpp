#include "LinuxLauncher.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace Platform {

bool TLinuxLauncher::StartCommandLine(const std::string& CommandLine)
{
    // Nothing of the line reaches /bin/sh: ";", "$()" and the like stay plain text.
    QStringList Words = QProcess::splitCommand(QString::fromStdString(CommandLine));
    if (Words.isEmpty())
        return false;
    const QString Program = Words.takeFirst();
    return QProcess::startDetached(Program, Words);
}

} // namespace Platform
