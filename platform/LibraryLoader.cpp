#include "LibraryLoader.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

bool IsOwnedSafely(const struct stat& Status)
{
    const bool Owner = Status.st_uid == ::geteuid() || Status.st_uid == 0;
    return Owner && (Status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string FolderOf(const std::string& Path)
{
    const std::size_t Slash = Path.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

bool IsSafeFolder(const std::string& Folder)
{
    struct stat Status
    {
    };
    return ::stat(Folder.c_str(), &Status) == 0 && S_ISDIR(Status.st_mode) && IsOwnedSafely(Status);
}

} // namespace

bool IsSafeToLoad(const std::string& Path)
{
    // The folder holding the name matters as much as the file: whoever can write
    // there can put another file (or link) in its place.
    if (Path.empty() || !IsSafeFolder(FolderOf(Path)))
        return false;
    char* Resolved = ::realpath(Path.c_str(), nullptr);
    if (Resolved == nullptr)
        return false;
    const std::string Target(Resolved);
    std::free(Resolved);
    struct stat Status
    {
    };
    return ::stat(Target.c_str(), &Status) == 0 && S_ISREG(Status.st_mode) && IsOwnedSafely(Status) &&
           IsSafeFolder(FolderOf(Target));
}

} // namespace Platform
