#pragma once

#include "platform/LibraryLoader.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// Libraries that exist only in the test: each file name maps to a table of
// exports (usually functions of the test itself). Counts loads and releases.
class TFakeLibraryLoader : public TLibraryLoader
{
public:
    using TExports = std::map<std::string, void*>;

    void AddLibrary(const std::string& FileName, TExports Exports);
    void RemoveLibrary(const std::string& FileName);

    TLibraryHandle Load(const std::string& FileName) override;
    void* Resolve(TLibraryHandle Library, const char* ExportName) override;
    void Release(TLibraryHandle Library) override;

    int LoadCount(const std::string& FileName) const;
    int ReleaseCount(const std::string& FileName) const;
    // Loads not yet released, over all libraries.
    int OpenCount() const;

private:
    struct TLibrary
    {
        std::string FileName;
        TExports Exports;
    };

    mutable std::mutex FLock;
    std::map<std::string, std::shared_ptr<TLibrary>> FLibraries;
    std::vector<std::shared_ptr<TLibrary>> FRetired; // replaced or removed, still valid as handles
    std::map<std::string, int> FLoads;
    std::map<std::string, int> FReleases;
};

} // namespace Platform
