#include "LibraryBinding.h"

#include "CompanionError.h"

#include <string>

TLibraryBinding::~TLibraryBinding()
{
    try {
        Unbind();
    } catch (...) {
        // A destructor must not throw; the handle is gone either way.
    }
}

void TLibraryBinding::Bind(const char* FileName, const char* ExportName)
{
    Unbind();
    try {
        FLibraryHandle = FLoader.Load(FileName);
        FEntryPoint = FLibraryHandle ? FLoader.Resolve(FLibraryHandle, ExportName) : nullptr;
    } catch (...) {
        FEntryPoint = nullptr;
    }
}

bool TLibraryBinding::Unbind()
{
    FEntryPoint = nullptr;
    if (FLibraryHandle == nullptr)
        return false;
    const Platform::TLibraryHandle Handle = FLibraryHandle;
    FLibraryHandle = nullptr;
    FLoader.Release(Handle);
    return true;
}

void TLibraryBinding::Fail(const char* FileName, const char* ExportName, std::exception_ptr Failure)
{
    std::string Reason = "unknown error";
    try {
        std::rethrow_exception(Failure);
    } catch (const std::exception& Error) {
        Reason = Error.what();
    } catch (...) {
    }
    throw ECompanionError(std::string(ExportName) + " of " + FileName + " failed: " + Reason);
}
