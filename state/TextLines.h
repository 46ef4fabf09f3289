#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a list returned by a companion library into its entries. Lines may
// end in LF, CR or CR LF; a final line break adds no empty entry, empty lines
// in between are kept, and no text gives no entries.
std::vector<std::string> SplitLines(std::string_view Text);

// The longest prefix of Text of at most MaximumBytes bytes that does not end
// inside a UTF-8 character.
std::string LeadingText(std::string_view Text, std::size_t MaximumBytes);
