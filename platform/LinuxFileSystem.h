#pragma once

#include "FileSystem.h"

namespace Platform {

class TLinuxFileSystem : public TFileSystem
{
public:
    // True for anything but a folder, as a file test should be.
    bool FileExists(const std::string& Name) const override;
    bool DeleteFile(const std::string& Name) override;
    bool RenameFile(const std::string& From, const std::string& To) override;
};

} // namespace Platform
