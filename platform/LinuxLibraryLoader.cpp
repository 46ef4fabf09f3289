#include "LinuxLibraryLoader.h"

#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace Platform {

namespace {
thread_local std::string LastLoadError;
}

TLibraryHandle TLinuxLibraryLoader::Load(const std::string& FileName)
{
    LastLoadError.clear();
    if (FileName.empty()) {
        LastLoadError = "no file name";
        return nullptr;
    }
    std::error_code Error;
    const std::filesystem::path Path = std::filesystem::absolute(FileName, Error);
    if (Error) {
        LastLoadError = FileName + ": " + Error.message();
        return nullptr;
    }
    if (!IsSafeToLoad(Path.string())) {
        LastLoadError = Path.string() + ": missing, or writable by others";
        return nullptr;
    }
    void* Library = ::dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (Library == nullptr) {
        const char* Message = ::dlerror();
        LastLoadError = Message != nullptr ? Message : Path.string() + ": cannot be loaded";
    }
    return Library;
}

void* TLinuxLibraryLoader::Resolve(TLibraryHandle Library, const char* ExportName)
{
    if (Library == nullptr || ExportName == nullptr)
        return nullptr;
    return ::dlsym(Library, ExportName);
}

void TLinuxLibraryLoader::Release(TLibraryHandle Library)
{
    if (Library != nullptr)
        ::dlclose(Library);
}

std::string TLinuxLibraryLoader::LastError()
{
    return LastLoadError;
}

} // namespace Platform
