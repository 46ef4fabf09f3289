#pragma once

#include "platform/LibraryLoader.h"

#include <exception>

// What every companion library binding shares: the library and export of the
// call in progress. A binding is made for one operation and dropped after it;
// it keeps no library loaded between operations (the web popup aside).
class TLibraryBinding
{
public:
    TLibraryBinding(const TLibraryBinding&) = delete;
    TLibraryBinding& operator=(const TLibraryBinding&) = delete;

    Platform::TLibraryHandle LibraryHandle() const { return FLibraryHandle; }
    void* EntryPoint() const { return FEntryPoint; }

protected:
    explicit TLibraryBinding(Platform::TLibraryLoader& Loader) : FLoader(Loader) {}
    // Releases a library still held, so that no error path leaks one.
    ~TLibraryBinding();

    // Loads FileName, resolves ExportName and, when both worked, hands the
    // export to Body, which calls it and copies what it returned. The library
    // is released in every case. Returns whether Body ran. An exception from
    // the export or from Body leaves as an ECompanionError after the release.
    template <typename TFunction, typename TBody>
    bool Call(const char* FileName, const char* ExportName, TBody&& Body)
    {
        Bind(FileName, ExportName);
        std::exception_ptr Failure;
        const bool Found = FEntryPoint != nullptr;
        if (Found) {
            try {
                Body(reinterpret_cast<TFunction*>(FEntryPoint));
            } catch (...) {
                Failure = std::current_exception();
            }
        }
        Unbind();
        if (Failure)
            Fail(FileName, ExportName, Failure);
        return Found;
    }

    // Loads the library and resolves the export, leaving both held; either
    // may come back null. A platform error while loading counts as missing.
    void Bind(const char* FileName, const char* ExportName);
    // Forgets the entry point and releases the library; false when none was held.
    bool Unbind();
    [[noreturn]] static void Fail(const char* FileName, const char* ExportName, std::exception_ptr Failure);

private:
    Platform::TLibraryLoader& FLoader;
    Platform::TLibraryHandle FLibraryHandle = nullptr;
    void* FEntryPoint = nullptr;
};
