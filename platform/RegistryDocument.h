#pragma once

#include "Registry.h"

#include <optional>
#include <string>
#include <vector>

namespace Platform {

// The text form of a registry export, held so that one value can change while
// every other line of the file keeps its exact bytes. Key paths are full paths
// with their root ("HKEY_CURRENT_USER\\Software\\..."); keys and value names
// compare without regard to letter case, as the registry compares them.
class TRegistryDocument
{
public:
    static constexpr const char* HeaderLine = "Windows Registry Editor Version 5.00";

    // An empty document: just the header line.
    TRegistryDocument();

    // Reads what can be read. Lines that cannot be understood are left out and
    // make IsComplete() false; everything else is still served.
    static TRegistryDocument Parse(const std::string& Text);

    std::string Text() const;
    bool IsComplete() const { return FComplete; }

    // True when the key has a section of its own or one below it.
    bool KeyExists(const std::string& Path) const;
    std::optional<TRegistryValue> Value(const std::string& Path, const std::string& Name) const;

    // Each returns false when the document did not change.
    bool AddKey(const std::string& Path);
    bool SetValue(const std::string& Path, const std::string& Name, const TRegistryValue& Value);
    bool DeleteValue(const std::string& Path, const std::string& Name);

    // One value line (or several, for long hex data), ending with LineEnd.
    static std::string FormatValue(const std::string& Name, const TRegistryValue& Value,
                                   const std::string& LineEnd = "\n");

private:
    struct TEntry
    {
        std::string Raw; // as in the file, line ends included
        bool IsValue = false;
        std::string Name;
        std::string FoldedName;
        TRegistryValue Value;
    };

    struct TSection
    {
        bool IsKey = false; // false: the lines before the first key, or a section we only keep
        std::string Path;
        std::string FoldedPath;
        std::string Header; // the raw header line; empty for the lines before the first key
        std::vector<TEntry> Entries;
    };

    TEntry* FindValue(const std::string& FoldedPath, const std::string& FoldedName);
    TSection& AppendKeySection(const std::string& Path);
    void EndWithBlankLine();

    std::string FByteOrderMark;
    std::string FLineEnd = "\n";
    std::vector<TSection> FSections;
    bool FComplete = true;
};

} // namespace Platform
