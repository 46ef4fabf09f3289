#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Updates {

// The attributes of one child of zentavo/library that describe a download;
// an absent attribute is none.
struct TUpdateAttributes
{
    std::optional<std::string> Url;
    std::optional<std::string> Sha256;
    std::optional<std::string> Version;
    std::optional<std::string> Signature;

    // A child that names no download at all is left alone.
    bool NamesDownload() const { return Url || Sha256 || Version || Signature; }
};

// A well-formed offer of a new "<Name>.so", not yet trusted.
struct TUpdateOffer
{
    std::string Name;
    std::string Url;
    std::string Version;
    std::array<std::uint8_t, 32> Sha256{};
    std::array<std::uint8_t, 64> Signature{};
};

// The offer of the child element Name, or none when an attribute is missing
// or malformed: Name must be a plain file stem ([A-Za-z0-9_-], at most 64),
// Url http:// or https:// without spaces or control characters (at most
// 2048), Sha256 64 hex digits, Version 1 to 64 of [A-Za-z0-9.+_~-] and
// Signature 128 hex digits.
std::optional<TUpdateOffer> ParseUpdateOffer(std::string_view Name, const TUpdateAttributes& Attributes);

// What the publisher signs: name, version and hash, unambiguously joined.
std::string SignedMessage(std::string_view Name, std::string_view Version,
                          const std::array<std::uint8_t, 32>& Sha256);

// Lower-case hex digits of Bytes.
std::string HexText(const std::uint8_t* Bytes, std::size_t Count);

// The bytes of an even-length hex text (either case) into Bytes; false for
// any other text or length.
bool ReadHex(std::string_view Text, std::uint8_t* Bytes, std::size_t Count);

} // namespace Updates
