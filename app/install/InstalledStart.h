#pragma once

#include "InstalledCopy.h"

#include <memory>
#include <optional>

class TLockFile;

// The per-user part of installing, which the installed program does itself
// at every start, so that it starts fully from the menu, the session or any
// folder: its working folder made, filled and entered, and the settings of a
// first start seeded. A program in its build tree runs where it was started.
class TInstalledStart
{
public:
    // The copy the running program belongs to, if any.
    TInstalledStart();
    ~TInstalledStart();

    bool Installed() const { return FCopy.has_value(); }

    // Prepares and enters the working folder, then seeds what the settings
    // lack. Holds the folder's start-up lock, so that a clock of the same user
    // on another display neither fills it nor passes pictures through it at
    // the same time, until Started(). Throws std::runtime_error when the
    // folder cannot be made, filled or entered; a seed that fails is only reported.
    void Prepare();
    // The window is made and showing.
    void Started();

private:
    std::optional<TInstalledCopy> FCopy;
    std::unique_ptr<TLockFile> FStartUpLock;
};
