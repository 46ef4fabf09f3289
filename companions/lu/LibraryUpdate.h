#pragma once

#include "UpdateDownload.h"
#include "UpdateOffer.h"

#include <array>
#include <cstdint>

namespace Updates {

using TPublicKey = std::array<std::uint8_t, 32>;

enum class TUpdateOutcome
{
    UpToDate,      // "<name>.so" already is the offered file
    AlreadyStaged, // "<name>.so_" already is
    BadSignature,  // not signed by the publisher: nothing fetched
    NotNewer,      // not newer than the version last staged: nothing fetched
    DownloadFailed,
    WrongHash,
    StageFailed,
    Staged
};

// Stages the offered library as "<name>.so_" in the working folder when the
// installed "<name>.so" differs from it, once the publisher's signature over
// name, version and hash, the version (newer than the one last staged) and
// then the downloaded file's hash check out.
TUpdateOutcome UpdateLibrary(const TUpdateOffer& Offer, const TProxy& Proxy, const TPublicKey& PublicKey,
                             const TDownloadLimits& Limits);

} // namespace Updates
