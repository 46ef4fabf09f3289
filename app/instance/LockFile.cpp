#include "LockFile.h"

#include "platform/FileOperations.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {} // namespace

TLockFile::TLockFile(const std::string& Path)
{
    Platform::MakePrivateFolders(std::filesystem::path(Path).parent_path());
    // No link is followed: nobody else may point our lock at a file of theirs.
    FDescriptor = ::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (FDescriptor < 0)
        throw std::runtime_error("cannot open " + Path + ": " + std::strerror(errno));
}

TLockFile::~TLockFile()
{
    ::close(FDescriptor);
}

bool TLockFile::TryLock()
{
    while (::flock(FDescriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return false;
        if (errno != EINTR)
            throw std::runtime_error(std::string("cannot lock: ") + std::strerror(errno));
    }
    return true;
}

void TLockFile::Lock()
{
    while (::flock(FDescriptor, LOCK_EX) != 0)
        if (errno != EINTR)
            throw std::runtime_error(std::string("cannot lock: ") + std::strerror(errno));
}
