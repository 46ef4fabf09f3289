#pragma once

#include "platform/FileSystem.h"

#include <set>
#include <string>

// Files of the current directory through std::filesystem; names in
// Undeletable refuse to be deleted, as a file in use would.
class TTestFileSystem : public Platform::TFileSystem
{
public:
    bool FileExists(const std::string& Name) const override;
    bool DeleteFile(const std::string& Name) override;
    bool RenameFile(const std::string& From, const std::string& To) override;

    std::set<std::string> Undeletable;
};
