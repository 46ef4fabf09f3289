#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Updates {

// The version last staged of each library, with its hash, kept in the user's
// state folder (outside the working folder, which the clock swaps files in):
// what is installed came from a staged file, so an offer must be newer than
// this to be staged, and an older one, duly signed, never comes back.
class TVersionRecord
{
public:
    struct TStaged
    {
        std::string Version;
        std::array<std::uint8_t, 32> Sha256{};
    };

    // ${XDG_STATE_HOME:-~/.local/state}/zentavo-3d/live-update
    TVersionRecord();
    explicit TVersionRecord(std::string Folder);

    std::optional<TStaged> Last(const std::string& Name) const;
    // Durably, in one rename; false when it could not be written.
    bool Remember(const std::string& Name, const TStaged& Staged) const;

    // Whether an offer of Version with Sha256 may replace what Last holds:
    // newer, or the very same file again (a staged file that was lost).
    static bool MayStage(const std::optional<TStaged>& Last, std::string_view Version,
                         const std::array<std::uint8_t, 32>& Sha256);
    // Negative, zero or positive as Left is older than, equal to or newer than
    // Right: runs of digits compare as numbers ("2.10" after "2.9"), other runs
    // as text, and a version that goes on after the other ends is the newer.
    static int CompareVersions(std::string_view Left, std::string_view Right);

private:
    std::string FFolder;
};

} // namespace Updates
