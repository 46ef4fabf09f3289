#include "LinuxLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <QString>
#include <QStringList>

namespace Platform {

std::optional<std::vector<std::string>> TLinuxLauncher::SplitCommandLine(const std::string& CommandLine)
{
    std::vector<std::string> Words;
    std::string Word;
    bool InWord = false;
    for (std::size_t Index = 0; Index < CommandLine.size(); ++Index) {
        const char Character = CommandLine[Index];
        if (Character == ' ' || Character == '\t' || Character == '\n') {
            if (InWord)
                Words.push_back(Word);
            Word.clear();
            InWord = false;
            continue;
        }
        InWord = true;
        if (Character == '\\') {
            if (++Index < CommandLine.size())
                Word += CommandLine[Index];
        } else if (Character == '\'') {
            const std::size_t End = CommandLine.find('\'', Index + 1);
            if (End == std::string::npos)
                return std::nullopt;
            Word.append(CommandLine, Index + 1, End - Index - 1);
            Index = End;
        } else if (Character == '"') {
            for (++Index;; ++Index) {
                if (Index >= CommandLine.size())
                    return std::nullopt;
                const char Inside = CommandLine[Index];
                if (Inside == '"')
                    break;
                if (Inside == '\\' && Index + 1 < CommandLine.size() &&
                    std::string_view("\"\\$`").find(CommandLine[Index + 1]) != std::string_view::npos)
                    Word += CommandLine[++Index];
                else
                    Word += Inside;
            }
        } else {
            Word += Character;
        }
    }
    if (InWord)
        Words.push_back(Word);
    return Words;
}

bool TLinuxLauncher::StartCommandLine(const std::string& CommandLine)
{
    // Nothing of the line reaches /bin/sh: ";", "$()" and the like stay plain text.
    const auto Words = SplitCommandLine(CommandLine);
    if (!Words || Words->empty())
        return false;
    QStringList Arguments;
    for (std::size_t Index = 1; Index < Words->size(); ++Index)
        Arguments.append(QString::fromStdString((*Words)[Index]));
    return QProcess::startDetached(QString::fromStdString(Words->front()), Arguments);
}

bool TLinuxLauncher::OpenUrl(const std::string& Url)
{
    const QUrl Address = QUrl::fromUserInput(QString::fromStdString(Url));
    return Address.isValid() && QDesktopServices::openUrl(Address);
}

} // namespace Platform
