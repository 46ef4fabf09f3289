#pragma once

#include "FileOperations.h"
#include "Registry.h"
#include "RegistryDocument.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Platform {

// The registry of the current user kept in one text file in the form of a
// registry export. Every change is written through at once: under an exclusive
// lock the file is read again, just that change is applied and the result
// replaces the file atomically and durably, so concurrent programs never lose
// each other's values and keys this program does not know are kept.
class TFileRegistry : public TRegistry
{
public:
    static constexpr const char* Root = "HKEY_CURRENT_USER";

    // The store of the current user, DefaultStorePath().
    TFileRegistry();
    explicit TFileRegistry(std::string StorePath, TFileOperations& Operations = TFileOperations::System());

    // ${XDG_CONFIG_HOME:-$HOME/.config}/zentavo-3d/registry.reg
    static std::string DefaultStorePath();
    const std::string& StorePath() const { return FStorePath; }

    std::unique_ptr<TRegistryKey> CreateKey(const std::string& Path) override;
    std::unique_ptr<TRegistryKey> OpenKey(const std::string& Path) override;
    // One lock, one read, one durable write, whatever the number of changes.
    void Apply(const std::vector<TRegistryChange>& Changes) override;
    std::string KeepCopy() override;
    // Temporary files left by a save that never finished (the process was
    // killed); the first change of a run removes them.
    std::vector<std::string> LeftoverFiles() const;

    // What the keys do; Path is relative to the root, as for CreateKey.
    std::optional<TRegistryValue> QueryValue(const std::string& Path, const std::string& Name) const;
    void SetValue(const std::string& Path, const std::string& Name, const TRegistryValue& Value);
    bool DeleteValue(const std::string& Path, const std::string& Name);

private:
    struct TStoreContents
    {
        bool Exists = false;
        std::string Bytes;
    };

    TStoreContents ReadStore() const;
    TRegistryDocument LoadDocument() const;
    // Runs Edit on the current file under the lock and saves when it changed something.
    bool Change(const std::function<bool(TRegistryDocument&)>& Edit);
    void PrepareFolder() const;
    void WriteDurably(const std::string& Target, const std::string& Bytes) const;
    std::string KeepCorruptCopy(const std::string& Bytes) const;
    void RemoveLeftovers();

    std::string FStorePath;
    std::string FFolder;
    TFileOperations& FOperations;
    bool FLeftoversRemoved = false;
};

} // namespace Platform
