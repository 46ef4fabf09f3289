#pragma once

#include "platform/Registry.h"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Platform {

class TFakeRegistryKey;

// An in-memory registry for tests of the layers above. Key paths and value
// names compare without regard to letter case, as in the registry. Writes can
// be made to fail to exercise the callers' error paths.
class TFakeRegistry : public TRegistry
{
public:
    std::unique_ptr<TRegistryKey> CreateKey(const std::string& Path) override;
    std::unique_ptr<TRegistryKey> OpenKey(const std::string& Path) override;
    // All or nothing: a failing name fails the whole transaction.
    void Apply(const std::vector<TRegistryChange>& Changes) override;
    // Named after the store of a real one, numbered.
    std::string KeepCopy() override;
    int Transactions() const;
    // The values of every KeepCopy, in order.
    const std::vector<std::map<std::string, std::string>>& Copies() const { return FCopies; }

    // Direct access for arranging and checking a test.
    bool KeyExists(const std::string& Path) const;
    std::optional<TRegistryValue> Value(const std::string& Path, const std::string& Name) const;
    void SetValue(const std::string& Path, const std::string& Name, const TRegistryValue& Value);
    bool DeleteValue(const std::string& Path, const std::string& Name);
    // The value names of a key, in the spelling first stored.
    std::vector<std::string> ValueNames(const std::string& Path) const;

    // A SetValue or DeleteValue of this name (in any key) throws ERegistryError.
    void FailWritesOf(const std::string& Name);
    // Every SetValue and DeleteValue through a key throws ERegistryError.
    void SetFailAllWrites(bool Fail);
    // The names written through keys, in order (deletions too).
    std::vector<std::string> WrittenNames() const;

private:
    friend class TFakeRegistryKey;
    // A write through a key: Value null means delete, with the outcome in Deleted.
    void WriteThroughKey(const std::string& Path, const std::string& Name, const TRegistryValue* Value,
                         bool* Deleted);

    struct TStoredValue
    {
        std::string Name;
        TRegistryValue Value;
    };
    using TKey = std::map<std::string, TStoredValue>; // by folded name

    mutable std::mutex FLock;
    std::map<std::string, TKey> FKeys; // by folded path
    std::set<std::string> FFailingNames;
    bool FFailAll = false;
    std::vector<std::string> FWrittenNames;
    int FTransactions = 0;
    std::vector<std::map<std::string, std::string>> FCopies; // "path\\name" to the value's text
};

} // namespace Platform
