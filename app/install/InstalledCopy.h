#pragma once

#include <filesystem>
#include <optional>

// An installed copy of the clock: the data it reads but never writes (the
// default document, pictures, pages, weather cities) and its companion
// libraries, each in a folder of its own under the program's prefix.
class TInstalledCopy
{
public:
    TInstalledCopy(std::filesystem::path DataFolder, std::filesystem::path LibraryFolder);

    // The copy the program in ProgramFolder belongs to, found by the relative
    // paths of the install rules, so that any prefix works; none when the
    // program runs from a build tree.
    static std::optional<TInstalledCopy> Find(const std::filesystem::path& ProgramFolder);
    // The folder of the running program.
    static std::filesystem::path ProgramFolder();

    const std::filesystem::path& DataFolder() const { return FDataFolder; }
    const std::filesystem::path& LibraryFolder() const { return FLibraryFolder; }

private:
    std::filesystem::path FDataFolder;
    std::filesystem::path FLibraryFolder;
};
