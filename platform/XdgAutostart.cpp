#include "XdgAutostart.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>
#include <unistd.h>

namespace Platform {

namespace {

// The escapes every string value of a desktop entry takes.
std::string EscapeValue(const std::string& Text)
{
    std::string Result;
    for (std::size_t Index = 0; Index < Text.size(); ++Index) {
        const char Character = Text[Index];
        switch (Character) {
        case '\\':
            Result += "\\\\";
            break;
        case '\n':
            Result += "\\n";
            break;
        case '\t':
            Result += "\\t";
            break;
        case '\r':
            Result += "\\r";
            break;
        case ' ':
            Result += Index == 0 ? "\\s" : " ";
            break;
        default:
            Result += Character;
        }
    }
    return Result;
}

// One argument of Exec: quoted when it holds a reserved character, and with
// every percent sign doubled, since a single one starts a field code.
std::string ExecArgument(const std::string& Argument)
{
    const bool NeedsQuotes =
        Argument.empty() || Argument.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string Result = NeedsQuotes ? "\"" : "";
    for (const char Character : Argument) {
        if (NeedsQuotes && (Character == '"' || Character == '`' || Character == '$' || Character == '\\'))
            Result += '\\';
        Result += Character;
        if (Character == '%')
            Result += '%';
    }
    return NeedsQuotes ? Result + "\"" : Result;
}

} // namespace

TXdgAutostart::TXdgAutostart() : TXdgAutostart(DefaultEntryPath()) {}

TXdgAutostart::TXdgAutostart(std::string EntryPath) : FEntryPath(std::move(EntryPath)) {}

std::string TXdgAutostart::DefaultEntryPath()
{
    const char* ConfigHome = std::getenv("XDG_CONFIG_HOME");
    if (ConfigHome != nullptr && ConfigHome[0] == '/')
        return std::string(ConfigHome) + "/autostart/zentavo-3d.desktop";
    const char* Home = std::getenv("HOME");
    if (Home == nullptr || Home[0] == '\0')
        throw std::runtime_error("cannot find the autostart folder: HOME is not set");
    return std::string(Home) + "/.config/autostart/zentavo-3d.desktop";
}

std::string TXdgAutostart::EntryText(const std::string& Executable, const std::string& WorkingFolder)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Zentavo 3D\n"
           "Exec=" +
           EscapeValue(ExecArgument(std::filesystem::absolute(Executable).string())) +
           "\n"
           "Path=" +
           EscapeValue(WorkingFolder) +
           "\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void TXdgAutostart::Enable(const std::string& Executable, const std::string& WorkingFolder)
{
    const QString Path = QString::fromStdString(FEntryPath);
    if (!QDir().mkpath(QFileInfo(Path).absolutePath()))
        throw std::runtime_error("cannot create the folder of " + FEntryPath);
    QSaveFile File(Path);
    const std::string Text = EntryText(Executable, WorkingFolder);
    if (!File.open(QIODevice::WriteOnly) || File.write(Text.data(), static_cast<qint64>(Text.size())) < 0 ||
        !File.commit())
        throw std::runtime_error("cannot write " + FEntryPath + ": " + File.errorString().toStdString());
}

void TXdgAutostart::Disable()
{
    if (::unlink(FEntryPath.c_str()) != 0 && errno != ENOENT)
        throw std::runtime_error("cannot remove " + FEntryPath + ": " + std::strerror(errno));
}

} // namespace Platform
