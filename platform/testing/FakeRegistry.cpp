#include "platform/testing/FakeRegistry.h"

#include <QString>
#include <QStringList>

namespace Platform {

namespace {

std::string Fold(const std::string& Text)
{
    return QString::fromStdString(Text).toCaseFolded().toStdString();
}

std::string FoldPath(const std::string& Path)
{
    std::string Result;
    for (const QString& Part : QString::fromStdString(Path).split('\\', Qt::SkipEmptyParts)) {
        if (!Result.empty())
            Result += '\\';
        Result += Part.toCaseFolded().toStdString();
    }
    return Result;
}

} // namespace

class TFakeRegistryKey : public TRegistryKey
{
public:
    TFakeRegistryKey(TFakeRegistry& Registry, std::string Path) : FRegistry(Registry), FPath(std::move(Path))
    {}

    std::optional<TRegistryValue> QueryValue(const std::string& Name) const override
    {
        return FRegistry.Value(FPath, Name);
    }
    void SetValue(const std::string& Name, const TRegistryValue& Value) override
    {
        FRegistry.WriteThroughKey(FPath, Name, &Value, nullptr);
    }
    bool DeleteValue(const std::string& Name) override
    {
        bool Deleted = false;
        FRegistry.WriteThroughKey(FPath, Name, nullptr, &Deleted);
        return Deleted;
    }

private:
    TFakeRegistry& FRegistry;
    std::string FPath;
};

std::unique_ptr<TRegistryKey> TFakeRegistry::CreateKey(const std::string& Path)
{
    {
        std::lock_guard Guard(FLock);
        FKeys[FoldPath(Path)];
    }
    return std::make_unique<TFakeRegistryKey>(*this, Path);
}

std::unique_ptr<TRegistryKey> TFakeRegistry::OpenKey(const std::string& Path)
{
    if (!KeyExists(Path))
        return nullptr;
    return std::make_unique<TFakeRegistryKey>(*this, Path);
}

bool TFakeRegistry::KeyExists(const std::string& Path) const
{
    const std::string Folded = FoldPath(Path);
    std::lock_guard Guard(FLock);
    for (const auto& [KeyPath, Values] : FKeys)
        if (KeyPath == Folded || KeyPath.rfind(Folded + "\\", 0) == 0)
            return true;
    return false;
}

std::optional<TRegistryValue> TFakeRegistry::Value(const std::string& Path, const std::string& Name) const
{
    std::lock_guard Guard(FLock);
    const auto Key = FKeys.find(FoldPath(Path));
    if (Key == FKeys.end())
        return std::nullopt;
    const auto Found = Key->second.find(Fold(Name));
    if (Found == Key->second.end())
        return std::nullopt;
    return Found->second.Value;
}

void TFakeRegistry::SetValue(const std::string& Path, const std::string& Name, const TRegistryValue& Value)
{
    std::lock_guard Guard(FLock);
    auto& Stored = FKeys[FoldPath(Path)][Fold(Name)];
    if (Stored.Name.empty())
        Stored.Name = Name;
    Stored.Value = Value;
}

bool TFakeRegistry::DeleteValue(const std::string& Path, const std::string& Name)
{
    std::lock_guard Guard(FLock);
    const auto Key = FKeys.find(FoldPath(Path));
    return Key != FKeys.end() && Key->second.erase(Fold(Name)) > 0;
}

std::vector<std::string> TFakeRegistry::ValueNames(const std::string& Path) const
{
    std::lock_guard Guard(FLock);
    std::vector<std::string> Names;
    const auto Key = FKeys.find(FoldPath(Path));
    if (Key != FKeys.end())
        for (const auto& [Folded, Stored] : Key->second)
            Names.push_back(Stored.Name);
    return Names;
}

void TFakeRegistry::Apply(const std::vector<TRegistryChange>& Changes)
{
    std::lock_guard Guard(FLock);
    for (const TRegistryChange& Item : Changes)
        if (FFailAll || FFailingNames.count(Fold(Item.Name)) > 0)
            throw ERegistryError("cannot write the value \"" + Item.Name + "\" (made to fail by the test)");
    ++FTransactions;
    for (const TRegistryChange& Item : Changes) {
        FWrittenNames.push_back(Item.Name);
        auto& Key = FKeys[FoldPath(Item.Path)];
        if (!Item.Value) {
            Key.erase(Fold(Item.Name));
            continue;
        }
        auto& Stored = Key[Fold(Item.Name)];
        if (Stored.Name.empty())
            Stored.Name = Item.Name;
        Stored.Value = *Item.Value;
    }
}

std::string TFakeRegistry::KeepCopy()
{
    std::lock_guard Guard(FLock);
    std::map<std::string, std::string> Copy;
    for (const auto& [Path, Values] : FKeys)
        for (const auto& [Folded, Stored] : Values)
            Copy[Path + "\\" + Stored.Name] = Stored.Value.AsText();
    FCopies.push_back(std::move(Copy));
    return "registry.reg.corrupt-" + std::to_string(FCopies.size());
}

int TFakeRegistry::Transactions() const
{
    std::lock_guard Guard(FLock);
    return FTransactions;
}

void TFakeRegistry::FailWritesOf(const std::string& Name)
{
    std::lock_guard Guard(FLock);
    FFailingNames.insert(Fold(Name));
}

void TFakeRegistry::SetFailAllWrites(bool Fail)
{
    std::lock_guard Guard(FLock);
    FFailAll = Fail;
}

std::vector<std::string> TFakeRegistry::WrittenNames() const
{
    std::lock_guard Guard(FLock);
    return FWrittenNames;
}

void TFakeRegistry::WriteThroughKey(const std::string& Path, const std::string& Name,
                                    const TRegistryValue* Value, bool* Deleted)
{
    {
        std::lock_guard Guard(FLock);
        if (FFailAll || FFailingNames.count(Fold(Name)) > 0)
            throw ERegistryError("cannot write the value \"" + Name + "\" (made to fail by the test)");
        FWrittenNames.push_back(Name);
    }
    if (Value != nullptr)
        SetValue(Path, Name, *Value);
    else
        *Deleted = DeleteValue(Path, Name);
}

} // namespace Platform
