#include "platform/testing/FakeLibraryLoader.h"

namespace Platform {

void TFakeLibraryLoader::AddLibrary(const std::string& FileName, TExports Exports)
{
    std::lock_guard Guard(FLock);
    auto Library = std::make_shared<TLibrary>();
    Library->FileName = FileName;
    Library->Exports = std::move(Exports);
    auto& Slot = FLibraries[FileName];
    if (Slot)
        FRetired.push_back(Slot);
    Slot = std::move(Library);
}

void TFakeLibraryLoader::RemoveLibrary(const std::string& FileName)
{
    std::lock_guard Guard(FLock);
    const auto Found = FLibraries.find(FileName);
    if (Found != FLibraries.end()) {
        FRetired.push_back(Found->second);
        FLibraries.erase(Found);
    }
}

TLibraryHandle TFakeLibraryLoader::Load(const std::string& FileName)
{
    std::lock_guard Guard(FLock);
    const auto Found = FLibraries.find(FileName);
    if (Found == FLibraries.end())
        return nullptr;
    ++FLoads[FileName];
    return Found->second.get();
}

void* TFakeLibraryLoader::Resolve(TLibraryHandle Library, const char* ExportName)
{
    if (Library == nullptr || ExportName == nullptr)
        return nullptr;
    std::lock_guard Guard(FLock);
    const auto& Exports = static_cast<TLibrary*>(Library)->Exports;
    const auto Found = Exports.find(ExportName);
    return Found == Exports.end() ? nullptr : Found->second;
}

void TFakeLibraryLoader::Release(TLibraryHandle Library)
{
    if (Library == nullptr)
        return;
    std::lock_guard Guard(FLock);
    ++FReleases[static_cast<TLibrary*>(Library)->FileName];
}

int TFakeLibraryLoader::LoadCount(const std::string& FileName) const
{
    std::lock_guard Guard(FLock);
    const auto Found = FLoads.find(FileName);
    return Found == FLoads.end() ? 0 : Found->second;
}

int TFakeLibraryLoader::ReleaseCount(const std::string& FileName) const
{
    std::lock_guard Guard(FLock);
    const auto Found = FReleases.find(FileName);
    return Found == FReleases.end() ? 0 : Found->second;
}

int TFakeLibraryLoader::OpenCount() const
{
    std::lock_guard Guard(FLock);
    int Open = 0;
    for (const auto& [Name, Count] : FLoads)
        Open += Count;
    for (const auto& [Name, Count] : FReleases)
        Open -= Count;
    return Open;
}

} // namespace Platform
