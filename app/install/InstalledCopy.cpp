#include "InstalledCopy.h"

TInstalledCopy::TInstalledCopy(std::filesystem::path DataFolder, std::filesystem::path LibraryFolder)
    : FDataFolder(std::move(DataFolder)), FLibraryFolder(std::move(LibraryFolder))
{}

std::optional<TInstalledCopy> TInstalledCopy::Find(const std::filesystem::path& ProgramFolder)
{
    std::error_code Error;
    const std::filesystem::path Data =
        std::filesystem::weakly_canonical(ProgramFolder / ZENTAVO_DATA_FROM_PROGRAM, Error);
    if (Error || !std::filesystem::is_regular_file(Data / "sysConf.xml", Error))
        return std::nullopt;
    const std::filesystem::path Libraries =
        std::filesystem::weakly_canonical(ProgramFolder / ZENTAVO_LIBRARIES_FROM_PROGRAM, Error);
    if (Error)
        return std::nullopt;
    return TInstalledCopy(Data, Libraries);
}

std::filesystem::path TInstalledCopy::ProgramFolder()
{
    std::error_code Error;
    const std::filesystem::path Program = std::filesystem::read_symlink("/proc/self/exe", Error);
    return Error ? std::filesystem::path() : Program.parent_path();
}
