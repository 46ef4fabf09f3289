#include "LinuxFileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace Platform {

namespace fs = std::filesystem;

bool TLinuxFileSystem::FileExists(const std::string& Name) const
{
    std::error_code Error;
    const fs::file_status Status = fs::status(Name, Error);
    return !Error && fs::exists(Status) && !fs::is_directory(Status);
}

bool TLinuxFileSystem::DeleteFile(const std::string& Name)
{
    std::error_code Error;
    if (fs::is_directory(fs::symlink_status(Name, Error)))
        return false;
    return ::unlink(Name.c_str()) == 0;
}

bool TLinuxFileSystem::RenameFile(const std::string& From, const std::string& To)
{
    // The check for an existing target and the rename are one step, or another
    // program could slip a file in between.
    if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: a hard link fails when the target exists.
    if (::link(From.c_str(), To.c_str()) == 0) {
        ::unlink(From.c_str());
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return false;
    std::error_code Error;
    if (fs::exists(fs::symlink_status(To, Error)))
        return false;
    return ::rename(From.c_str(), To.c_str()) == 0;
}

} // namespace Platform
