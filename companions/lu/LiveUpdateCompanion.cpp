// lu.so: stages signed updates of the companion libraries.
//
// Each child of zentavo/library whose attributes offer a download (url,
// sha256, version, signature) is compared with the installed "<name>.so";
// a different file is fetched through the connection's proxy and written as
// "<name>.so_" only when the publisher's Ed25519 signature over name,
// version and hash and the file's SHA-256 both check out. The clock swaps it
// in at its next start. The publisher's key is built in, never read from the
// document: without one no update is ever staged.
#include "LibraryUpdate.h"
#include "zentavo_companion.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#ifndef ZENTAVO_LIVE_UPDATE_PUBLIC_KEY
#define ZENTAVO_LIVE_UPDATE_PUBLIC_KEY ""
#endif

ZT_EXPORT ZTLiveUpdateFunction LiveUpdate;

namespace {

// No document attribute of ours comes near this; a longer one is refused.
constexpr std::size_t LongestAttribute = 8192;
// The clock's window waits for the whole call: past this it gets it back, and
// what was not fetched is offered again by the next refresh of the document.
constexpr std::chrono::milliseconds CallBudget{4000};
// Too little left to fetch a library in.
constexpr std::chrono::milliseconds ShortestDownload{500};

bool HasMethods(const ZTElement* Element)
{
    return Element != nullptr && Element->Methods != nullptr &&
           Element->Methods->TableSize >=
               offsetof(ZTElementMethods, Child) + sizeof(Element->Methods->Child) &&
           Element->Methods->Name != nullptr && Element->Methods->Attribute != nullptr &&
           Element->Methods->ChildCount != nullptr && Element->Methods->Child != nullptr;
}

std::string Text(std::int64_t Length, const std::function<std::int64_t(char*, std::size_t)>& Read)
{
    if (Length <= 0)
        return {};
    // Too long to be ours: a NUL makes every check refuse it.
    if (static_cast<std::uint64_t>(Length) > LongestAttribute)
        return std::string(1, '\0');
    std::string Value(static_cast<std::size_t>(Length) + 1, '\0');
    Read(Value.data(), Value.size());
    Value.resize(static_cast<std::size_t>(Length));
    return Value;
}

std::optional<std::string> Attribute(const ZTElement* Element, const char* Name)
{
    char Measure = 0;
    const std::int64_t Length = Element->Methods->Attribute(Element, Name, &Measure, 0);
    if (Length < 0)
        return std::nullopt;
    return Text(Length, [&](char* Buffer, std::size_t Size) {
        return Element->Methods->Attribute(Element, Name, Buffer, Size);
    });
}

std::string ElementName(const ZTElement* Element)
{
    char Measure = 0;
    return Text(Element->Methods->Name(Element, &Measure, 0), [&](char* Buffer, std::size_t Size) {
        return Element->Methods->Name(Element, Buffer, Size);
    });
}

bool PublisherKey(Updates::TPublicKey& Key)
{
    return Updates::ReadHex(ZENTAVO_LIVE_UPDATE_PUBLIC_KEY, Key.data(), Key.size());
}

void UpdateLibraries(const ZTElement* Library, const ZTUserConnection& Connection)
{
    Updates::TPublicKey Key{};
    if (!HasMethods(Library) || !PublisherKey(Key) || sodium_init() < 0)
        return;
    const Updates::TProxy Proxy = TProxySettings::FromRecord(Connection);
    const auto Deadline = std::chrono::steady_clock::now() + CallBudget;
    const std::int32_t Count = Library->Methods->ChildCount(Library);
    for (std::int32_t Index = 0; Index < Count; ++Index) {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
            Deadline - std::chrono::steady_clock::now());
        if (Left < ShortestDownload)
            break;
        Updates::TDownloadLimits Limits;
        Limits.TotalTimeout = std::min(Limits.TotalTimeout, Left);
        Limits.ConnectTimeout = std::min(Limits.ConnectTimeout, Left);
        Limits.StallTimeout = std::min(Limits.StallTimeout, Left);
        const ZTElement* Child = Library->Methods->Child(Library, Index);
        if (!HasMethods(Child))
            continue;
        Updates::TUpdateAttributes Attributes{Attribute(Child, "url"), Attribute(Child, "sha256"),
                                              Attribute(Child, "version"), Attribute(Child, "signature")};
        if (!Attributes.NamesDownload())
            continue;
        if (const auto Offer = Updates::ParseUpdateOffer(ElementName(Child), Attributes))
            Updates::UpdateLibrary(*Offer, Proxy, Key, Limits);
    }
}

} // namespace

void LiveUpdate(ZTElement* Library, ZTUserConnection Connection)
{
    // Nothing may cross the C interface; a failed update is simply not staged.
    try {
        UpdateLibraries(Library, Connection);
    } catch (...) {
    }
}
