#pragma once

#include <optional>
#include <string>

// What the run command prepares for the clock, in a test's folder: the
// working folder with the default document, the pictures companion and its
// pictures, and a settings store with the values an installer seeds.
struct TClockFolder
{
    // Makes Folder/work and Folder/config/zentavo-3d.
    explicit TClockFolder(const std::string& Folder);

    // The store, with the window's place when one is given.
    void WriteStore(std::optional<int> Top = std::nullopt, std::optional<int> Left = std::nullopt) const;
    std::string StorePath() const { return ConfigHome + "/zentavo-3d/registry.reg"; }
    // A stored whole number, or nothing.
    std::optional<int> Stored(const std::string& Name) const;

    std::string WorkingFolder;
    std::string ConfigHome;
};
