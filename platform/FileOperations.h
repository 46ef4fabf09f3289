#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>

namespace Platform {

// The system calls behind a durable save, one virtual each so that tests can
// make any of them fail. Each returns what the system call returns and leaves
// errno set on failure.
class TFileOperations
{
public:
    virtual ~TFileOperations() = default;

    virtual int Open(const char* Path, int Flags, mode_t Mode);
    // mkstemp: Template ends in XXXXXX and receives the name made.
    virtual int MakeTemporary(char* Template);
    virtual ssize_t Read(int File, void* Buffer, std::size_t Size);
    virtual ssize_t Write(int File, const void* Buffer, std::size_t Size);
    virtual int ChangeMode(int File, mode_t Mode);
    virtual int SyncFile(int File);
    virtual int SyncFolder(int Folder);
    virtual int Close(int File);
    virtual int Rename(const char* From, const char* To);
    virtual int Unlink(const char* Path);

    // The real calls.
    static TFileOperations& System();
};

// Creates Folder and its missing parents, each readable and writable by its
// owner alone; folders already there are left as they are. Throws
// std::runtime_error naming the folder that could not be made.
void MakePrivateFolders(const std::filesystem::path& Folder);

// Writes Bytes into a new file named TemporaryPrefix + ".tmp-XXXXXX" (beside
// Target) with exactly Mode, whatever the umask, flushes it and renames it over
// Target, so that a reader sees the old file or the whole new one. On failure
// the new file is removed and Fail is called with what failed ("create a
// temporary file for", "protect", "write", "flush", "close", "replace") and
// errno; Fail must throw.
void WriteFileDurably(TFileOperations& Operations, const std::string& Target,
                      const std::string& TemporaryPrefix, const std::string& Bytes, mode_t Mode,
                      const std::function<void(const char* What, int Error)>& Fail);

// Flushes the folder that holds Target, so that a rename into it survives a
// power cut. Fail as above, with "flush the folder of".
void SyncFolderOf(TFileOperations& Operations, const std::string& Target,
                  const std::function<void(const char* What, int Error)>& Fail);

} // namespace Platform
