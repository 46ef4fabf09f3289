#pragma once

#include "Autostart.h"

#include <string>

namespace Platform {

// Starting with the desktop session through an XDG autostart entry.
class TXdgAutostart : public TAutostart
{
public:
    // The entry of the current user, DefaultEntryPath().
    TXdgAutostart();
    explicit TXdgAutostart(std::string EntryPath);

    // ${XDG_CONFIG_HOME:-$HOME/.config}/autostart/zentavo-3d.desktop
    static std::string DefaultEntryPath();
    const std::string& EntryPath() const { return FEntryPath; }

    // Writes the entry atomically; throws std::runtime_error when it cannot.
    void Enable(const std::string& Executable, const std::string& WorkingFolder) override;
    // A missing entry is no error; one that cannot be removed throws std::runtime_error.
    void Disable() override;

    // The entry's text, with the executable quoted as the desktop-entry format asks.
    static std::string EntryText(const std::string& Executable, const std::string& WorkingFolder);

private:
    std::string FEntryPath;
};

} // namespace Platform
