#include "platform/testing/TestFileSystem.h"

#include <filesystem>

bool TTestFileSystem::FileExists(const std::string& Name) const
{
    return std::filesystem::is_regular_file(Name);
}

bool TTestFileSystem::DeleteFile(const std::string& Name)
{
    if (Undeletable.count(Name) != 0)
        return false;
    std::error_code Error;
    return std::filesystem::remove(Name, Error);
}

bool TTestFileSystem::RenameFile(const std::string& From, const std::string& To)
{
    std::error_code Error;
    if (std::filesystem::exists(To, Error))
        return false;
    std::filesystem::rename(From, To, Error);
    return !Error;
}
