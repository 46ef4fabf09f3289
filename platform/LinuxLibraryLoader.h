#pragma once

#include "LibraryLoader.h"

#include <string>

namespace Platform {

// Companion libraries through dlopen. A bare file name is taken from the
// current directory by its absolute path, since dlopen never searches there.
class TLinuxLibraryLoader : public TLibraryLoader
{
public:
    TLibraryHandle Load(const std::string& FileName) override;
    void* Resolve(TLibraryHandle Library, const char* ExportName) override;
    void Release(TLibraryHandle Library) override;

    // Why the last Load on this thread returned null, for diagnostics.
    static std::string LastError();
};

} // namespace Platform
