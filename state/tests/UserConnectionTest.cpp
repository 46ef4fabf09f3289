#include "state/UserConnection.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const TUserConnection& Connection)
{
    const auto* First = reinterpret_cast<const unsigned char*>(&Connection.Record());
    return std::vector<unsigned char>(First, First + sizeof(ZTUserConnection));
}

} // namespace

TEST(UserConnectionTest, NewRecordIsAllZero)
{
    const std::vector<unsigned char> Record = Bytes(TUserConnection());
    ASSERT_EQ(Record.size(), 2316u);
    EXPECT_EQ(std::count(Record.begin(), Record.end(), 0), 2316);
}

TEST(UserConnectionTest, EachMemberLandsAtItsOffsetAsLengthAndCharacters)
{
    TUserConnection Connection;
    Connection.SetProxyServer("proxy.local");
    Connection.SetProxyUser("ana");
    Connection.SetProxyPass("s3cret");
    Connection.SetProxyPort("3128");
    const std::vector<unsigned char> Record = Bytes(Connection);

    const struct
    {
        std::size_t Offset;
        const char* Text;
    } Members[] = {{12, "proxy.local"}, {268, "ana"}, {524, "s3cret"}, {780, "3128"}};
    std::vector<unsigned char> Expected(2316, 0);
    for (const auto& Member : Members) {
        Expected[Member.Offset] = static_cast<unsigned char>(std::strlen(Member.Text));
        std::memcpy(&Expected[Member.Offset + 1], Member.Text, std::strlen(Member.Text));
    }
    EXPECT_EQ(Record, Expected);
    EXPECT_EQ(Connection.ProxyServer(), "proxy.local");
    EXPECT_EQ(Connection.ProxyUser(), "ana");
    EXPECT_EQ(Connection.ProxyPass(), "s3cret");
    EXPECT_EQ(Connection.ProxyPort(), "3128");
}

TEST(UserConnectionTest, LongTextKeepsFirst255CharactersAndLeavesNeighboursAlone)
{
    TUserConnection Connection;
    Connection.SetProxyUser("user");
    Connection.SetProxyPass(std::string(255, 'p') + std::string(45, 'X'));
    EXPECT_EQ(Connection.ProxyPass(), std::string(255, 'p'));
    EXPECT_EQ(Connection.ProxyUser(), "user");
    EXPECT_EQ(Connection.ProxyPort(), "");
    EXPECT_EQ(Bytes(Connection)[524], 255);
}

TEST(UserConnectionTest, ShorterTextLeavesNoTraceOfTheLongerOne)
{
    TUserConnection Shortened;
    Shortened.SetProxyServer(std::string(200, 's'));
    Shortened.SetProxyServer("abc");
    TUserConnection Direct;
    Direct.SetProxyServer("abc");
    EXPECT_TRUE(Shortened == Direct);
    Direct.SetProxyPort("1");
    EXPECT_FALSE(Shortened == Direct);
}

TEST(UserConnectionTest, CutNeverSplitsAMultiByteCharacter)
{
    TUserConnection Connection;
    // 254 ASCII bytes, then a two-byte character that would straddle the limit.
    Connection.SetProxyPass(std::string(254, 'a') + "\xc3\xa9" + "b");
    EXPECT_EQ(Connection.ProxyPass(), std::string(254, 'a'));
    // When it fits exactly, it stays.
    Connection.SetProxyPass(std::string(253, 'a') + "\xc3\xa9" + "b");
    EXPECT_EQ(Connection.ProxyPass(), std::string(253, 'a') + "\xc3\xa9");
}
