#pragma once

#include <string>

namespace Platform {

using TLibraryHandle = void*;

// Loads companion libraries by bare file name from the current directory.
class TLibraryLoader
{
public:
    virtual ~TLibraryLoader() = default;
    // Null when the file is missing, unsafe to load (writable by others) or fails to load.
    virtual TLibraryHandle Load(const std::string& FileName) = 0;
    // Null when the handle is null or the export is missing.
    virtual void* Resolve(TLibraryHandle Library, const char* ExportName) = 0;
    virtual void Release(TLibraryHandle Library) = 0;
};

// True when code in this file may be loaded: a regular file owned by the user
// or root, not writable by group or others, in a folder that is just as safe.
bool IsSafeToLoad(const std::string& Path);

} // namespace Platform
