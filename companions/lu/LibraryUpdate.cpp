#include "LibraryUpdate.h"

#include "StagedFile.h"
#include "VersionRecord.h"

#include <sodium.h>

namespace Updates {

TUpdateOutcome UpdateLibrary(const TUpdateOffer& Offer, const TProxy& Proxy, const TPublicKey& PublicKey,
                             const TDownloadLimits& Limits)
{
    const std::string Installed = Offer.Name + ".so";
    const std::string Staged = Installed + "_";
    if (FileSha256(Installed) == Offer.Sha256)
        return TUpdateOutcome::UpToDate;
    if (FileSha256(Staged) == Offer.Sha256)
        return TUpdateOutcome::AlreadyStaged;
    // The signature covers everything the download is checked against, so a
    // forged offer costs no traffic.
    const std::string Message = SignedMessage(Offer.Name, Offer.Version, Offer.Sha256);
    if (crypto_sign_verify_detached(Offer.Signature.data(),
                                    reinterpret_cast<const unsigned char*>(Message.data()), Message.size(),
                                    PublicKey.data()) != 0)
        return TUpdateOutcome::BadSignature;
    const TVersionRecord Record;
    if (!TVersionRecord::MayStage(Record.Last(Offer.Name), Offer.Version, Offer.Sha256))
        return TUpdateOutcome::NotNewer;
    const std::optional<std::string> Body = Download(Offer.Url, Proxy, Limits);
    if (!Body)
        return TUpdateOutcome::DownloadFailed;
    const std::array<std::uint8_t, 32> Hash = Sha256(*Body);
    if (sodium_memcmp(Hash.data(), Offer.Sha256.data(), Hash.size()) != 0)
        return TUpdateOutcome::WrongHash;
    // Remembered first: a staged file whose version is not on record could be rolled back.
    if (!Record.Remember(Offer.Name, {Offer.Version, Offer.Sha256}))
        return TUpdateOutcome::StageFailed;
    return StageFile(Staged, *Body) ? TUpdateOutcome::Staged : TUpdateOutcome::StageFailed;
}

} // namespace Updates
