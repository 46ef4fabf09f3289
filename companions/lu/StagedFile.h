#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Updates {

// The SHA-256 of the regular file FileName in the working folder (a link is
// not followed); none when it is missing, no regular file or unreadable.
std::optional<std::array<std::uint8_t, 32>> FileSha256(const std::string& FileName);

// The SHA-256 of Contents.
std::array<std::uint8_t, 32> Sha256(std::string_view Contents);

// Writes Contents as FileName in the working folder, mode 0600: into a new
// temporary file beside it, flushed, renamed over FileName and the folder
// flushed. Refused (false) when FileName is anything but a regular file or
// missing, a link in particular; on any failure no file is left behind and
// whatever was at FileName is unchanged.
bool StageFile(const std::string& FileName, std::string_view Contents);

} // namespace Updates
