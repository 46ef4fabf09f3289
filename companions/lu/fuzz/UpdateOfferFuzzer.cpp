// The update attributes as a server's document may set them: the first byte
// says which attributes are present, the rest is the element name and the
// attributes, separated by NUL bytes.
#include "UpdateOffer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size == 0)
        return 0;
    const std::uint8_t Present = Data[0];
    std::vector<std::string> Fields(1);
    for (std::size_t At = 1; At < Size; ++At) {
        if (Data[At] == 0 && Fields.size() < 5)
            Fields.emplace_back();
        else
            Fields.back() += static_cast<char>(Data[At]);
    }
    Fields.resize(5);
    Updates::TUpdateAttributes Attributes;
    if (Present & 1)
        Attributes.Url = Fields[1];
    if (Present & 2)
        Attributes.Sha256 = Fields[2];
    if (Present & 4)
        Attributes.Version = Fields[3];
    if (Present & 8)
        Attributes.Signature = Fields[4];
    const auto Offer = Updates::ParseUpdateOffer(Fields[0], Attributes);
    if (!Offer)
        return 0;
    // An accepted name stays a plain file name in the working folder.
    for (const char Character : Offer->Name)
        if (Character == '/' || Character == '.' || Character == '\0')
            std::abort();
    // The signed message holds exactly four lines, so nothing can be smuggled into it.
    const std::string Message = Updates::SignedMessage(Offer->Name, Offer->Version, Offer->Sha256);
    std::size_t Lines = 0;
    for (const char Character : Message)
        Lines += Character == '\n';
    if (Lines != 4 || Updates::HexText(Offer->Sha256.data(), Offer->Sha256.size()).size() != 64)
        std::abort();
    return 0;
}
