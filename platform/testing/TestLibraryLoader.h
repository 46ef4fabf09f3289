#pragma once

#include "platform/LibraryLoader.h"

#include <map>
#include <string>

// Loads libraries by absolute path from the current directory, as the
// program's loader does, and counts what it did.
class TTestLibraryLoader : public Platform::TLibraryLoader
{
public:
    ~TTestLibraryLoader() override;
    Platform::TLibraryHandle Load(const std::string& FileName) override;
    void* Resolve(Platform::TLibraryHandle Library, const char* ExportName) override;
    void Release(Platform::TLibraryHandle Library) override;

    int Loads() const { return FLoads; }
    int Releases() const { return FReleases; }
    // Handles loaded and not yet released.
    int Held() const { return static_cast<int>(FHeld.size()); }

private:
    int FLoads = 0;
    int FReleases = 0;
    std::map<Platform::TLibraryHandle, int> FHeld;
};
