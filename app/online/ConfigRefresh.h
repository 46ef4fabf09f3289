#pragma once

#include <string>

class TConfigDocument;
class TGMT_System;

namespace Platform {
class TLibraryLoader;
class TSound;
} // namespace Platform

// What a refresh of the configuration document does to the window.
class TConfigRefreshActions
{
public:
    virtual ~TConfigRefreshActions() = default;
    // Arms timer 2 (the periodic restart of the online tasks) anew.
    virtual void ArmPopUpTimer(int Milliseconds) = 0;
    // Hands the refreshed library list to the live update.
    virtual void LiveUpdate() = 0;
};

// Replaces the configuration document by the copy its own address names,
// once per run of the online tasks. The outcome is SysConfOk. A copy that is
// refused for any reason never reaches the disk, and the document in memory
// is again the one on disk; only when that file cannot be read either does
// the error leave Run.
class TConfigRefresh
{
public:
    TConfigRefresh(TConfigDocument& Document, TGMT_System& System, Platform::TLibraryLoader& Libraries,
                   Platform::TSound& Sound, TConfigRefreshActions& Actions);

    void Run();

    // "url" of zentavo/system/link followed by "document" of its config
    // child, with nothing put between them.
    static std::string RefreshAddress(TConfigDocument& Document);

private:
    TConfigDocument& FDocument;
    TGMT_System& FSystem;
    Platform::TLibraryLoader& FLibraries;
    Platform::TSound& FSound;
    TConfigRefreshActions& FActions;
};

// Hands zentavo/library of the document and the connection settings to the
// live update library.
void RunLiveUpdate(TConfigDocument& Document, const TGMT_System& System, Platform::TLibraryLoader& Libraries);
