#pragma once

#include <filesystem>

class TInstalledCopy;

// The user's own working folder: the clock runs in it, keeps its document
// there and stages updates of its companion libraries there.
class TWorkingFolder
{
public:
    explicit TWorkingFolder(std::filesystem::path Path);

    // ${ZENTAVO_WORKDIR:-${XDG_DATA_HOME:-$HOME/.local/share}/zentavo-3d}
    static std::filesystem::path DefaultPath();
    const std::filesystem::path& Path() const { return FPath; }

    // Creates the folder, private, when it is missing, and fills in from Copy
    // what it lacks. The user's own files stay: the document once there, and
    // any other file or library newer than the installed one. Libraries are
    // links to the installed ones, so that an upgraded package reaches them;
    // a staged update replaces the link with a file of the user's own.
    // Throws std::runtime_error when the folder cannot be made or filled.
    void Prepare(const TInstalledCopy& Copy) const;

    // Makes the folder the process's current directory; throws std::runtime_error.
    void Enter() const;

private:
    std::filesystem::path FPath;
};
