#include "platform/testing/TestLibraryLoader.h"

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>

TTestLibraryLoader::~TTestLibraryLoader()
{
    for (const auto& [Handle, Count] : FHeld)
        for (int Index = 0; Index < Count; ++Index)
            dlclose(Handle);
}

Platform::TLibraryHandle TTestLibraryLoader::Load(const std::string& FileName)
{
    const std::filesystem::path Path = std::filesystem::current_path() / FileName;
    if (!std::filesystem::is_regular_file(Path))
        return nullptr;
    void* Handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (Handle == nullptr)
        return nullptr;
    ++FLoads;
    ++FHeld[Handle];
    return Handle;
}

void* TTestLibraryLoader::Resolve(Platform::TLibraryHandle Library, const char* ExportName)
{
    return Library ? dlsym(Library, ExportName) : nullptr;
}

void TTestLibraryLoader::Release(Platform::TLibraryHandle Library)
{
    const auto Found = FHeld.find(Library);
    if (Found == FHeld.end()) {
        ADD_FAILURE() << "released a handle that is not held";
        return;
    }
    ++FReleases;
    if (--Found->second == 0)
        FHeld.erase(Found);
    dlclose(Library);
}
