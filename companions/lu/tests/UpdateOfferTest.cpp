#include "UpdateOffer.h"

#include <gtest/gtest.h>

namespace {

using Updates::ParseUpdateOffer;
using Updates::TUpdateAttributes;

const std::string Hash = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";
const std::string Signature(128, 'a');

TUpdateAttributes Good()
{
    return {"https://updates.example/weather-2.so", Hash, "2.1.0-rc1", Signature};
}

TEST(UpdateOfferTest, AWellFormedOfferIsReadWithItsBytes)
{
    const auto Offer = ParseUpdateOffer("weather", Good());
    ASSERT_TRUE(Offer);
    EXPECT_EQ(Offer->Name, "weather");
    EXPECT_EQ(Offer->Version, "2.1.0-rc1");
    EXPECT_EQ(Offer->Sha256[0], 0x00);
    EXPECT_EQ(Offer->Sha256[31], 0xff);
    EXPECT_EQ(Offer->Signature[63], 0xaa);
    EXPECT_TRUE(ParseUpdateOffer("popup_2-x", {"HTTP://h/p", Hash, "1", Signature}));
}

TEST(UpdateOfferTest, NamesThatWouldLeaveTheFolderAndMalformedAttributesAreRefused)
{
    for (const char* Name : {"", "..", "../weather", "a/b", ".hidden", "we ather", "weather.so", "ü"})
        EXPECT_FALSE(ParseUpdateOffer(Name, Good())) << Name;
    EXPECT_FALSE(ParseUpdateOffer(std::string(65, 'a'), Good()));

    const auto Without = [](auto Change) {
        TUpdateAttributes Attributes = Good();
        Change(Attributes);
        return ParseUpdateOffer("weather", Attributes).has_value();
    };
    EXPECT_FALSE(Without([](auto& A) { A.Url.reset(); }));
    EXPECT_FALSE(Without([](auto& A) { A.Sha256.reset(); }));
    EXPECT_FALSE(Without([](auto& A) { A.Version.reset(); }));
    EXPECT_FALSE(Without([](auto& A) { A.Signature.reset(); }));
    for (const char* Url :
         {"ftp://h/p", "file:///etc/passwd", "https://", "http://h/a b", "http://h/\n", "//h/p"})
        EXPECT_FALSE(Without([&](auto& A) { A.Url = Url; })) << Url;
    EXPECT_FALSE(Without([](auto& A) { A.Url = "http://h/" + std::string(2048, 'a'); }));
    EXPECT_FALSE(Without([](auto& A) { A.Sha256 = Hash.substr(1); }));
    EXPECT_FALSE(Without([](auto& A) { A.Sha256 = "g" + Hash.substr(1); }));
    EXPECT_FALSE(Without([](auto& A) { A.Signature = std::string(126, 'a'); }));
    for (const char* Version : {"", "1\n2", "1 2", "1/2", "1\"2"})
        EXPECT_FALSE(Without([&](auto& A) { A.Version = Version; })) << Version;
    EXPECT_FALSE(Without([](auto& A) { A.Version = std::string(65, '1'); }));
}

TEST(UpdateOfferTest, TheSignedMessageSeparatesNameVersionAndHash)
{
    std::array<std::uint8_t, 32> Bytes{};
    Bytes[0] = 0xab;
    const std::string Message = Updates::SignedMessage("weather", "2.1", Bytes);
    EXPECT_EQ(Message, "zentavo-3d live update 1\nweather\n2.1\nab" + std::string(62, '0') + "\n");
    EXPECT_NE(Updates::SignedMessage("weather2", ".1", Bytes), Message);
}

} // namespace
