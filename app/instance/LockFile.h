#pragma once

#include <string>

// An advisory lock on a file of the user's own, held until this object goes
// or the process ends, however it ends. Programs the clock starts do not
// inherit it.
class TLockFile
{
public:
    // Opens (creating, private) Path and its missing folders; throws std::runtime_error when it cannot.
    explicit TLockFile(const std::string& Path);
    ~TLockFile();
    TLockFile(const TLockFile&) = delete;
    TLockFile& operator=(const TLockFile&) = delete;

    // False when another process holds the lock.
    bool TryLock();
    // Waits for the lock.
    void Lock();

private:
    int FDescriptor = -1;
};
