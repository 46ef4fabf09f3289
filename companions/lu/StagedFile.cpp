#include "StagedFile.h"

#include <sodium.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace Updates {

namespace {

// Larger than any library we would install; a bigger file is not hashed.
constexpr off_t LargestFile = 256 << 20;

class TFileDescriptor
{
public:
    explicit TFileDescriptor(int Descriptor) : FDescriptor(Descriptor) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return FDescriptor; }
    bool IsOpen() const { return FDescriptor >= 0; }
    bool Close()
    {
        if (FDescriptor < 0)
            return true;
        const int Result = ::close(FDescriptor);
        FDescriptor = -1;
        return Result == 0;
    }

private:
    int FDescriptor;
};

bool WriteAll(int Descriptor, std::string_view Contents)
{
    while (!Contents.empty()) {
        const ssize_t Written = ::write(Descriptor, Contents.data(), Contents.size());
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written <= 0)
            return false;
        Contents.remove_prefix(static_cast<std::size_t>(Written));
    }
    return true;
}

// A name no one else picks: the process id and fresh random bytes.
std::string TemporaryName(const std::string& FileName)
{
    std::uint8_t Random[8];
    randombytes_buf(Random, sizeof Random);
    char Suffix[2 * sizeof Random + 1];
    sodium_bin2hex(Suffix, sizeof Suffix, Random, sizeof Random);
    return "." + FileName + "." + std::to_string(::getpid()) + "." + Suffix;
}

} // namespace

std::array<std::uint8_t, 32> Sha256(std::string_view Contents)
{
    std::array<std::uint8_t, 32> Hash{};
    crypto_hash_sha256(Hash.data(), reinterpret_cast<const unsigned char*>(Contents.data()), Contents.size());
    return Hash;
}

std::optional<std::array<std::uint8_t, 32>> FileSha256(const std::string& FileName)
{
    TFileDescriptor File(::open(FileName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat Status
    {
    };
    if (!File.IsOpen() || ::fstat(File.Get(), &Status) != 0 || !S_ISREG(Status.st_mode) ||
        Status.st_size > LargestFile)
        return std::nullopt;
    crypto_hash_sha256_state State;
    crypto_hash_sha256_init(&State);
    unsigned char Buffer[1 << 16];
    for (;;) {
        const ssize_t Read = ::read(File.Get(), Buffer, sizeof Buffer);
        if (Read < 0 && errno == EINTR)
            continue;
        if (Read < 0)
            return std::nullopt;
        if (Read == 0)
            break;
        crypto_hash_sha256_update(&State, Buffer, static_cast<unsigned long long>(Read));
    }
    std::array<std::uint8_t, 32> Hash{};
    crypto_hash_sha256_final(&State, Hash.data());
    return Hash;
}

bool StageFile(const std::string& FileName, std::string_view Contents)
{
    TFileDescriptor Folder(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!Folder.IsOpen())
        return false;
    // Only a regular file of ours may be replaced; a link (even a dangling
    // one) or anything else at the name is left as it is.
    struct stat Status
    {
    };
    if (::fstatat(Folder.Get(), FileName.c_str(), &Status, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(Status.st_mode))
            return false;
    } else if (errno != ENOENT) {
        return false;
    }

    const std::string Temporary = TemporaryName(FileName);
    TFileDescriptor File(::openat(Folder.Get(), Temporary.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!File.IsOpen())
        return false;
    // The umask may have taken bits away, never given any; fchmod makes it exact.
    const bool Written =
        ::fchmod(File.Get(), 0600) == 0 && WriteAll(File.Get(), Contents) && ::fsync(File.Get()) == 0;
    const bool Closed = File.Close();
    // rename() replaces a link at the name rather than following it, so a
    // link put there since the check above cannot redirect the write.
    if (!Written || !Closed ||
        ::renameat(Folder.Get(), Temporary.c_str(), Folder.Get(), FileName.c_str()) != 0) {
        ::unlinkat(Folder.Get(), Temporary.c_str(), 0);
        return false;
    }
    // The rename is durable only once the folder is; a staged file that may
    // not survive a crash is not kept either.
    if (::fsync(Folder.Get()) != 0) {
        ::unlinkat(Folder.Get(), FileName.c_str(), 0);
        return false;
    }
    return true;
}

} // namespace Updates
