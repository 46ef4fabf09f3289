#pragma once

#include <optional>
#include <string>

// Characters 6 to 8 (counting from 1) of a time-zone entry such as
// "(GMT -03:00) Brasília" as a signed whole number; none when they are not one.
std::optional<int> ZoneEntryOffset(const std::string& Entry);
