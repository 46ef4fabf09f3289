#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace Zentavo::Testing {

inline std::string ReadFile(const std::string& Path)
{
    std::ifstream Stream(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(Stream), {});
}

// Makes the folders on the way as needed.
inline void WriteFile(const std::string& Path, const std::string& Contents)
{
    const std::filesystem::path Parent = std::filesystem::path(Path).parent_path();
    if (!Parent.empty())
        std::filesystem::create_directories(Parent);
    std::ofstream(Path, std::ios::binary) << Contents;
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderListing(const std::string& Folder)
{
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder))
        Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

// The permission bits of a file or folder.
inline unsigned Mode(const std::string& Path)
{
    struct stat Status
    {
    };
    EXPECT_EQ(::stat(Path.c_str(), &Status), 0) << Path;
    return Status.st_mode & 07777;
}

// A umask for the length of a scope.
class TUmask
{
public:
    explicit TUmask(mode_t Mask) : FPrevious(::umask(Mask)) {}
    ~TUmask() { ::umask(FPrevious); }
    TUmask(const TUmask&) = delete;
    TUmask& operator=(const TUmask&) = delete;

private:
    mode_t FPrevious;
};

} // namespace Zentavo::Testing
