#pragma once

#include <string>

namespace Platform {

// The few file operations the clock needs. Relative names are taken from the
// current directory (the clock's working folder).
class TFileSystem
{
public:
    virtual ~TFileSystem() = default;
    virtual bool FileExists(const std::string& Name) const = 0;
    virtual bool DeleteFile(const std::string& Name) = 0;
    // Fails when the target exists.
    virtual bool RenameFile(const std::string& From, const std::string& To) = 0;
};

} // namespace Platform
