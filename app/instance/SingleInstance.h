#pragma once

#include "LockFile.h"

#include <functional>
#include <memory>
#include <string>

// One clock per user and display: two would draw over each other and the
// last to close would overwrite the other's settings. The first start holds
// the lock of its display until it ends; a later one finds it held.
class TSingleInstance
{
public:
    // The lock of the current user and display (LockPath()).
    TSingleInstance();
    explicit TSingleInstance(const std::string& LockPath);

    // False when a clock holds the lock already. A lock that cannot be taken
    // for another reason lets this one run: better two clocks than none.
    bool IsFirst() const { return FFirst; }
    // The lock file; empty when none could be named.
    const std::string& Path() const { return FPath; }

    // ${XDG_RUNTIME_DIR}/zentavo-3d/HOST-DISPLAY.lock, or below
    // ${XDG_CACHE_HOME:-~/.cache}/zentavo-3d/ where there is no runtime folder.
    static std::string LockPath();
    // The display as a file name: DISPLAY without its screen (":0" of ":0.1"),
    // else WAYLAND_DISPLAY, with any '/' replaced.
    static std::string DisplayName(const char* X11Display, const char* WaylandDisplay);

private:
    void Take(const std::function<std::string()>& Path);

    std::string FPath;
    std::unique_ptr<TLockFile> FLock;
    bool FFirst = true;
};
