#include "WorkingFolder.h"

#include "InstalledCopy.h"
#include "platform/FileOperations.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The document the clock replaces on every refresh: once the user has one, it is theirs.
constexpr const char* DocumentName = "sysConf.xml";

[[noreturn]] void Fail(const std::string& What, const fs::path& Path, const std::string& Why)
{
    throw std::runtime_error("cannot " + What + " " + Path.string() + ": " + Why);
}

// Libraries are refused from a folder others may write to.
void CloseToOthers(const fs::path& Folder)
{
    struct stat Status
    {
    };
    if (::stat(Folder.c_str(), &Status) != 0)
        Fail("open the folder", Folder, std::strerror(errno));
    constexpr mode_t WritableByOthers = S_IWGRP | S_IWOTH;
    if (Status.st_uid == ::geteuid() && (Status.st_mode & WritableByOthers) != 0 &&
        ::chmod(Folder.c_str(), Status.st_mode & 07777 & ~WritableByOthers) != 0)
        Fail("protect the folder", Folder, std::strerror(errno));
}

bool IsOlder(const fs::path& Target, const fs::path& Source)
{
    std::error_code Error;
    const fs::file_time_type TargetTime = fs::last_write_time(Target, Error);
    if (Error)
        return false;
    const fs::file_time_type SourceTime = fs::last_write_time(Source, Error);
    return !Error && TargetTime < SourceTime;
}

// A copy with the installed file's time, so that a later package's file is
// newer and the user's own change is not; put in place whole or not at all.
void CopyInstalled(const fs::path& Source, const fs::path& Target, fs::perms Mode)
{
    const fs::path Partial = Target.string() + ".partial-" + std::to_string(::getpid());
    std::error_code Error;
    fs::copy_file(Source, Partial, fs::copy_options::overwrite_existing, Error);
    if (!Error)
        fs::permissions(Partial, Mode, Error);
    if (!Error)
        fs::last_write_time(Partial, fs::last_write_time(Source), Error);
    if (!Error)
        fs::rename(Partial, Target, Error);
    if (Error) {
        std::error_code Ignored;
        fs::remove(Partial, Ignored);
        Fail("copy", Source, Error.message());
    }
}

void FillData(const fs::path& DataFolder, const fs::path& Working)
{
    std::error_code Error;
    for (fs::recursive_directory_iterator Entry(DataFolder, Error), End; !Error && Entry != End;
         Entry.increment(Error)) {
        const fs::path Relative = fs::relative(Entry->path(), DataFolder);
        const fs::path Target = Working / Relative;
        if (Entry->is_directory()) {
            Platform::MakePrivateFolders(Target);
            continue;
        }
        if (!Entry->is_regular_file())
            continue;
        const fs::file_status Status = fs::symlink_status(Target);
        if (!fs::exists(Status)) {
            const bool Document = Relative == DocumentName;
            CopyInstalled(Entry->path(), Target,
                          Document ? fs::perms::owner_read | fs::perms::owner_write
                                   : fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                         fs::perms::others_read);
        } else if (fs::is_regular_file(Status) && Relative != DocumentName &&
                   IsOlder(Target, Entry->path())) {
            CopyInstalled(Entry->path(), Target, fs::status(Target).permissions());
        }
    }
    if (Error)
        Fail("read", DataFolder, Error.message());
}

void LinkLibrary(const fs::path& Source, const fs::path& Target)
{
    std::error_code Error;
    const fs::file_status Status = fs::symlink_status(Target, Error);
    if (fs::is_symlink(Status)) {
        if (fs::read_symlink(Target, Error) == Source)
            return;
    } else if (fs::exists(Status)) {
        // A file of the user's own, staged by an update: it stays until the package brings a newer one.
        if (!fs::is_regular_file(Status) || !IsOlder(Target, Source))
            return;
    }
    const fs::path Partial = Target.string() + ".partial-" + std::to_string(::getpid());
    fs::remove(Partial, Error);
    fs::create_symlink(Source, Partial, Error);
    if (!Error)
        fs::rename(Partial, Target, Error);
    if (Error) {
        std::error_code Ignored;
        fs::remove(Partial, Ignored);
        Fail("link", Target, Error.message());
    }
}

void LinkLibraries(const fs::path& LibraryFolder, const fs::path& Working)
{
    std::error_code Error;
    for (fs::directory_iterator Entry(LibraryFolder, Error), End; !Error && Entry != End;
         Entry.increment(Error))
        if (Entry->path().extension() == ".so" && Entry->is_regular_file())
            LinkLibrary(Entry->path(), Working / Entry->path().filename());
}

} // namespace

TWorkingFolder::TWorkingFolder(fs::path Path) : FPath(std::move(Path)) {}

fs::path TWorkingFolder::DefaultPath()
{
    if (const char* Folder = std::getenv("ZENTAVO_WORKDIR"); Folder != nullptr && Folder[0] == '/')
        return Folder;
    if (const char* DataHome = std::getenv("XDG_DATA_HOME"); DataHome != nullptr && DataHome[0] == '/')
        return fs::path(DataHome) / "zentavo-3d";
    const char* Home = std::getenv("HOME");
    if (Home == nullptr || Home[0] != '/')
        throw std::runtime_error("cannot find the working folder: HOME is not set");
    return fs::path(Home) / ".local/share/zentavo-3d";
}

void TWorkingFolder::Prepare(const TInstalledCopy& Copy) const
{
    Platform::MakePrivateFolders(FPath);
    CloseToOthers(FPath);
    FillData(Copy.DataFolder(), FPath);
    LinkLibraries(Copy.LibraryFolder(), FPath);
}

void TWorkingFolder::Enter() const
{
    std::error_code Error;
    fs::current_path(FPath, Error);
    if (Error)
        Fail("enter", FPath, Error.message());
}
