// zentavo-sign-update: the publisher's side of lu.so's updates.
//
//   zentavo-sign-update keygen KEYFILE
//       makes a key pair: the secret seed goes into the new file KEYFILE
//       (mode 0600, never overwritten), the public key is printed for the
//       build option ZENTAVO_LIVE_UPDATE_PUBLIC_KEY.
//   zentavo-sign-update public-key KEYFILE
//       prints the public key of KEYFILE again.
//   zentavo-sign-update sign KEYFILE NAME VERSION URL LIBRARY
//       prints the element of zentavo/library that offers the file LIBRARY
//       as NAME.so, version VERSION, to be fetched from URL.
#include "UpdateOffer.h"

#include <sodium.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

namespace {

using TSeed = std::array<std::uint8_t, crypto_sign_SEEDBYTES>;

struct TKeyPair
{
    std::array<std::uint8_t, crypto_sign_PUBLICKEYBYTES> Public{};
    std::array<std::uint8_t, crypto_sign_SECRETKEYBYTES> Secret{};
    ~TKeyPair() { sodium_memzero(Secret.data(), Secret.size()); }
};

// The URL as an XML attribute value.
std::string Escaped(const std::string& Text)
{
    std::string Result;
    for (const char Character : Text) {
        if (Character == '&')
            Result += "&amp;";
        else if (Character == '"')
            Result += "&quot;";
        else if (Character == '<')
            Result += "&lt;";
        else if (Character == '>')
            Result += "&gt;";
        else
            Result += Character;
    }
    return Result;
}

int Usage()
{
    std::cerr << "usage: zentavo-sign-update keygen KEYFILE\n"
                 "       zentavo-sign-update public-key KEYFILE\n"
                 "       zentavo-sign-update sign KEYFILE NAME VERSION URL LIBRARY\n";
    return 2;
}

std::optional<std::string> ReadFile(const std::string& FileName)
{
    std::ifstream File(FileName, std::ios::binary);
    if (!File)
        return std::nullopt;
    std::ostringstream Contents;
    Contents << File.rdbuf();
    if (File.bad())
        return std::nullopt;
    return Contents.str();
}

bool LoadKeyPair(const std::string& KeyFile, TKeyPair& Keys)
{
    std::optional<std::string> Text = ReadFile(KeyFile);
    if (!Text) {
        std::cerr << KeyFile << ": cannot be read\n";
        return false;
    }
    while (!Text->empty() && (Text->back() == '\n' || Text->back() == '\r'))
        Text->pop_back();
    TSeed Seed{};
    const bool Read = Updates::ReadHex(*Text, Seed.data(), Seed.size());
    sodium_memzero(Text->data(), Text->size());
    if (!Read) {
        std::cerr << KeyFile << ": not a key file of zentavo-sign-update\n";
        return false;
    }
    crypto_sign_seed_keypair(Keys.Public.data(), Keys.Secret.data(), Seed.data());
    sodium_memzero(Seed.data(), Seed.size());
    return true;
}

int MakeKeys(const std::string& KeyFile)
{
    TSeed Seed{};
    randombytes_buf(Seed.data(), Seed.size());
    const std::string Text = Updates::HexText(Seed.data(), Seed.size()) + "\n";
    const int File = ::open(KeyFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (File < 0) {
        std::cerr << KeyFile << ": cannot be created (it must not exist yet)\n";
        return 1;
    }
    const bool Written =
        ::write(File, Text.data(), Text.size()) == static_cast<ssize_t>(Text.size()) && ::fsync(File) == 0;
    if (::close(File) != 0 || !Written) {
        std::cerr << KeyFile << ": cannot be written\n";
        ::unlink(KeyFile.c_str());
        return 1;
    }
    TKeyPair Keys;
    crypto_sign_seed_keypair(Keys.Public.data(), Keys.Secret.data(), Seed.data());
    sodium_memzero(Seed.data(), Seed.size());
    std::cout << Updates::HexText(Keys.Public.data(), Keys.Public.size()) << "\n";
    return 0;
}

int PrintPublicKey(const std::string& KeyFile)
{
    TKeyPair Keys;
    if (!LoadKeyPair(KeyFile, Keys))
        return 1;
    std::cout << Updates::HexText(Keys.Public.data(), Keys.Public.size()) << "\n";
    return 0;
}

int Sign(const std::string& KeyFile, const std::string& Name, const std::string& Version,
         const std::string& Url, const std::string& LibraryFile)
{
    TKeyPair Keys;
    if (!LoadKeyPair(KeyFile, Keys))
        return 1;
    const std::optional<std::string> Library = ReadFile(LibraryFile);
    if (!Library) {
        std::cerr << LibraryFile << ": cannot be read\n";
        return 1;
    }
    std::array<std::uint8_t, 32> Hash{};
    crypto_hash_sha256(Hash.data(), reinterpret_cast<const unsigned char*>(Library->data()), Library->size());
    const std::string Message = Updates::SignedMessage(Name, Version, Hash);
    std::array<std::uint8_t, crypto_sign_BYTES> Signature{};
    crypto_sign_detached(Signature.data(), nullptr, reinterpret_cast<const unsigned char*>(Message.data()),
                         Message.size(), Keys.Secret.data());
    Updates::TUpdateAttributes Attributes{Url, Updates::HexText(Hash.data(), Hash.size()), Version,
                                          Updates::HexText(Signature.data(), Signature.size())};
    // What lu.so would refuse is not printed.
    if (!Updates::ParseUpdateOffer(Name, Attributes)) {
        std::cerr << "refused: NAME must be letters, digits, '_' or '-'; VERSION letters, digits or .+_~-; "
                     "URL http:// or https:// without spaces\n";
        return 1;
    }
    std::cout << "<" << Name << " url=\"" << Escaped(*Attributes.Url) << "\" sha256=\"" << *Attributes.Sha256
              << "\" version=\"" << Version << "\" signature=\"" << *Attributes.Signature << "\"/>\n";
    return 0;
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    if (sodium_init() < 0) {
        std::cerr << "libsodium cannot start\n";
        return 1;
    }
    const std::string Command = ArgumentCount > 1 ? Arguments[1] : "";
    if (Command == "keygen" && ArgumentCount == 3)
        return MakeKeys(Arguments[2]);
    if (Command == "public-key" && ArgumentCount == 3)
        return PrintPublicKey(Arguments[2]);
    if (Command == "sign" && ArgumentCount == 7)
        return Sign(Arguments[2], Arguments[3], Arguments[4], Arguments[5], Arguments[6]);
    return Usage();
}
