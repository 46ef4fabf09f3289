#include "VersionRecord.h"

#include "UpdateOffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Updates {

namespace {

std::string DefaultFolder()
{
    const char* State = std::getenv("XDG_STATE_HOME");
    if (State != nullptr && State[0] == '/')
        return std::string(State) + "/zentavo-3d/live-update";
    const char* Home = std::getenv("HOME");
    if (Home == nullptr || Home[0] == '\0')
        return {};
    return std::string(Home) + "/.local/state/zentavo-3d/live-update";
}

bool IsDigit(char Character)
{
    return Character >= '0' && Character <= '9';
}

// The next run of digits or of other characters, separators included.
std::string_view NextRun(std::string_view& Text)
{
    std::size_t Length = 1;
    while (Length < Text.size() && IsDigit(Text[Length]) == IsDigit(Text[0]))
        ++Length;
    const std::string_view Run = Text.substr(0, Length);
    Text.remove_prefix(Length);
    return Run;
}

int CompareNumbers(std::string_view Left, std::string_view Right)
{
    while (Left.size() > 1 && Left[0] == '0')
        Left.remove_prefix(1);
    while (Right.size() > 1 && Right[0] == '0')
        Right.remove_prefix(1);
    if (Left.size() != Right.size())
        return Left.size() < Right.size() ? -1 : 1;
    return Left.compare(Right);
}

bool WriteAll(int Descriptor, const std::string& Contents)
{
    std::size_t Done = 0;
    while (Done < Contents.size()) {
        const ssize_t Written = ::write(Descriptor, Contents.data() + Done, Contents.size() - Done);
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written <= 0)
            return false;
        Done += static_cast<std::size_t>(Written);
    }
    return true;
}

} // namespace

TVersionRecord::TVersionRecord() : FFolder(DefaultFolder()) {}

TVersionRecord::TVersionRecord(std::string Folder) : FFolder(std::move(Folder)) {}

std::optional<TVersionRecord::TStaged> TVersionRecord::Last(const std::string& Name) const
{
    if (FFolder.empty())
        return std::nullopt;
    std::ifstream File(FFolder + "/" + Name);
    std::string Version, Hash;
    TStaged Staged;
    if (!std::getline(File, Version) || !std::getline(File, Hash) || Version.empty() ||
        !ReadHex(Hash, Staged.Sha256.data(), Staged.Sha256.size()))
        return std::nullopt;
    Staged.Version = Version;
    return Staged;
}

bool TVersionRecord::Remember(const std::string& Name, const TStaged& Staged) const
{
    if (FFolder.empty())
        return false;
    std::error_code Error;
    std::filesystem::create_directories(FFolder, Error);
    if (Error)
        return false;
    const std::string Target = FFolder + "/" + Name;
    const std::string Temporary = Target + ".new-" + std::to_string(::getpid());
    const int File = ::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (File < 0)
        return false;
    const bool Written =
        WriteAll(File, Staged.Version + "\n" + HexText(Staged.Sha256.data(), Staged.Sha256.size()) + "\n") &&
        ::fsync(File) == 0;
    if (::close(File) != 0 || !Written || std::rename(Temporary.c_str(), Target.c_str()) != 0) {
        std::remove(Temporary.c_str());
        return false;
    }
    const int Folder = ::open(FFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Folder >= 0) {
        ::fsync(Folder);
        ::close(Folder);
    }
    return true;
}

bool TVersionRecord::MayStage(const std::optional<TStaged>& Last, std::string_view Version,
                              const std::array<std::uint8_t, 32>& Sha256)
{
    if (!Last)
        return true;
    const int Order = CompareVersions(Version, Last->Version);
    return Order > 0 || (Order == 0 && Sha256 == Last->Sha256);
}

int TVersionRecord::CompareVersions(std::string_view Left, std::string_view Right)
{
    while (!Left.empty() && !Right.empty()) {
        const std::string_view LeftRun = NextRun(Left);
        const std::string_view RightRun = NextRun(Right);
        int Order = 0;
        if (IsDigit(LeftRun[0]) && IsDigit(RightRun[0]))
            Order = CompareNumbers(LeftRun, RightRun);
        else
            Order = LeftRun.compare(RightRun);
        if (Order != 0)
            return Order < 0 ? -1 : 1;
    }
    if (Left.empty() && Right.empty())
        return 0;
    return Left.empty() ? -1 : 1;
}

} // namespace Updates
