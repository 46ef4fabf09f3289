#include "ClockFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

TClockFolder::TClockFolder(const std::string& Folder)
    : WorkingFolder(Folder + "/work"), ConfigHome(Folder + "/config")
{
    std::filesystem::create_directories(WorkingFolder + "/pictures");
    std::filesystem::create_directories(ConfigHome + "/zentavo-3d");
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", WorkingFolder + "/sysConf.xml");
    std::filesystem::copy_file(ZENTAVO_IMAGES_LIBRARY, WorkingFolder + "/images.so");
    std::filesystem::copy(ZENTAVO_SOURCE_DIR "/data/pictures", WorkingFolder + "/pictures");
}

void TClockFolder::WriteStore(std::optional<int> Top, std::optional<int> Left) const
{
    std::ofstream Store(StorePath());
    Store << "Windows Registry Editor Version 5.00\r\n\r\n"
          << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n";
    if (Top)
        Store << "\"Top\"=\"" << *Top << "\"\r\n";
    if (Left)
        Store << "\"Left\"=\"" << *Left << "\"\r\n";
    // Angles 0, the designed zoom, an event date; doubles as little-endian bytes.
    Store << "\"Pitch\"=hex:00,00,00,00,00,00,00,00\r\n"
          << "\"Roll\"=hex:00,00,00,00,00,00,00,00\r\n"
          << "\"Turn\"=hex:00,00,00,00,00,00,00,00\r\n"
          << "\"FocalLength\"=hex:b9,53,3a,58,ff,ff,5d,40\r\n"
          << "\"DateTime\"=hex:00,00,00,00,10,76,e6,40\r\n"
          << "\"RunOnce\"=\"0\"\r\n";
}

std::optional<int> TClockFolder::Stored(const std::string& Name) const
{
    std::ifstream Store(StorePath());
    const std::string Text(std::istreambuf_iterator<char>(Store), {});
    std::smatch Match;
    if (!std::regex_search(Text, Match, std::regex("\"" + Name + "\"=\"(-?[0-9]+)\"")))
        return std::nullopt;
    return std::stoi(Match[1]);
}
