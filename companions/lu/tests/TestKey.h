#pragma once

#include "UpdateOffer.h"

#include <sodium.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>

// The tests' own publisher: a key pair made from this seed, whose public key
// the test build of lu.so carries (tests/CMakeLists.txt).
inline const char* TestKeySeed = "5a5d544f4679706b62651c170e0138332a2d24dfd6c9c0fbf2f5ece79e918883";
// Somebody else's key.
inline const char* OtherKeySeed = "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20";

struct TTestKeys
{
    std::array<std::uint8_t, 32> Public{};
    std::array<std::uint8_t, 64> Secret{};
};

inline TTestKeys KeysOf(const char* SeedHex)
{
    if (sodium_init() < 0)
        return {};
    std::array<std::uint8_t, 32> Seed{};
    Updates::ReadHex(SeedHex, Seed.data(), Seed.size());
    TTestKeys Keys;
    crypto_sign_seed_keypair(Keys.Public.data(), Keys.Secret.data(), Seed.data());
    return Keys;
}

// The attributes that offer Payload as Name, signed with the key of SeedHex
// over SignedVersion (the offered version unless a test says otherwise).
inline std::map<std::string, std::string> OfferAttributes(const std::string& Name, const std::string& Version,
                                                          const std::string& Url, const std::string& Payload,
                                                          const char* SeedHex = TestKeySeed,
                                                          const std::string& SignedVersion = {})
{
    const TTestKeys Keys = KeysOf(SeedHex);
    std::array<std::uint8_t, 32> Hash{};
    crypto_hash_sha256(Hash.data(), reinterpret_cast<const unsigned char*>(Payload.data()), Payload.size());
    const std::string Message =
        Updates::SignedMessage(Name, SignedVersion.empty() ? Version : SignedVersion, Hash);
    std::array<std::uint8_t, 64> Signature{};
    crypto_sign_detached(Signature.data(), nullptr, reinterpret_cast<const unsigned char*>(Message.data()),
                         Message.size(), Keys.Secret.data());
    return {{"url", Url},
            {"sha256", Updates::HexText(Hash.data(), Hash.size())},
            {"version", Version},
            {"signature", Updates::HexText(Signature.data(), Signature.size())}};
}
