// The pure parts of connection.so: the SNTP reply checks and arithmetic, the
// server name, the routing table and the decision to change the clock.
#include "ClockSynchronisation.h"
#include "ConnectionStatus.h"
#include "SntpClient.h"
#include "SntpPacket.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace Connection;

constexpr TNtpTimestamp Sent = 0xEC00'0000'8000'1234ull;

std::array<std::uint8_t, 48> Reply(std::uint8_t First, std::uint8_t Stratum, TNtpTimestamp Originate)
{
    std::array<std::uint8_t, 48> Packet{};
    Packet[0] = First;
    Packet[1] = Stratum;
    std::memcpy(Packet.data() + 12, "RATE", 4);
    for (int Index = 0; Index < 8; ++Index) {
        Packet[24 + Index] = static_cast<std::uint8_t>(Originate >> (56 - 8 * Index));
        Packet[32 + Index] = static_cast<std::uint8_t>((Sent + (5ull << 32)) >> (56 - 8 * Index));
        Packet[40 + Index] = static_cast<std::uint8_t>((Sent + (5ull << 32) + 1) >> (56 - 8 * Index));
    }
    return Packet;
}

TSntpVerdict Verdict(const std::array<std::uint8_t, 48>& Packet, std::size_t Size = 48)
{
    return ParseSntpReply(Packet.data(), Size, Sent).Verdict;
}

TEST(ConnectionPartsTest, OnlyAServersAnswerToThisRequestFromASynchronisedClockIsAccepted)
{
    const std::uint8_t Server4 = 0 << 6 | 4 << 3 | 4;
    EXPECT_EQ(Verdict(Reply(Server4, 2, Sent)), TSntpVerdict::Accepted);
    EXPECT_EQ(Verdict(Reply(0 << 6 | 3 << 3 | 4, 1, Sent)), TSntpVerdict::Accepted) << "version 3 servers";
    EXPECT_EQ(Verdict(Reply(1 << 6 | 4 << 3 | 4, 15, Sent)), TSntpVerdict::Accepted)
        << "a leap second warning";
    EXPECT_EQ(Verdict(Reply(Server4, 2, Sent), 47), TSntpVerdict::TooShort);
    EXPECT_EQ(ParseSntpReply(nullptr, 48, Sent).Verdict, TSntpVerdict::TooShort);
    EXPECT_EQ(Verdict(Reply(3 << 6 | 4 << 3 | 4, 2, Sent)), TSntpVerdict::LeapAlarm);
    EXPECT_EQ(Verdict(Reply(0 << 6 | 2 << 3 | 4, 2, Sent)), TSntpVerdict::WrongVersion);
    EXPECT_EQ(Verdict(Reply(0 << 6 | 5 << 3 | 4, 2, Sent)), TSntpVerdict::WrongVersion);
    EXPECT_EQ(Verdict(Reply(0 << 6 | 4 << 3 | 5, 2, Sent)), TSntpVerdict::WrongMode) << "broadcast";
    EXPECT_EQ(Verdict(Reply(0 << 6 | 4 << 3 | 3, 2, Sent)), TSntpVerdict::WrongMode) << "our own request";
    EXPECT_EQ(Verdict(Reply(Server4, 16, Sent)), TSntpVerdict::WrongStratum);
    EXPECT_EQ(Verdict(Reply(Server4, 2, Sent + 1)), TSntpVerdict::WrongOriginate);
    const TSntpReply Kiss = ParseSntpReply(Reply(Server4, 0, Sent).data(), 48, Sent);
    EXPECT_EQ(Kiss.Verdict, TSntpVerdict::KissOfDeath);
    EXPECT_EQ(Kiss.KissCode, "RATE");
    auto NoTransmit = Reply(Server4, 2, Sent);
    std::fill(NoTransmit.begin() + 40, NoTransmit.end(), 0);
    EXPECT_EQ(Verdict(NoTransmit), TSntpVerdict::MissingTimestamp);
    // Extensions after the 48 bytes are ignored.
    std::vector<std::uint8_t> Longer(68, 0);
    std::memcpy(Longer.data(), Reply(Server4, 2, Sent).data(), 48);
    EXPECT_EQ(ParseSntpReply(Longer.data(), Longer.size(), Sent).Verdict, TSntpVerdict::Accepted);
}

TEST(ConnectionPartsTest, TheOffsetAndRoundTripComeFromTheFourTimestampsAcrossTheEraWrap)
{
    const TNtpTimestamp Second = 1ull << 32;
    const TNtpTimestamp T1 = 0xFFFF'FFFEull << 32; // just before the seconds wrap in 2036
    // Server 10 s ahead, 0.5 s each way, 0.25 s inside the server.
    const TNtpTimestamp T2 = T1 + 10 * Second + Second / 2;
    const TNtpTimestamp T3 = T2 + Second / 4;
    const TNtpTimestamp T4 = T1 + Second + Second / 4;
    EXPECT_DOUBLE_EQ(ClockOffset(T1, T2, T3, T4), 10.0);
    EXPECT_DOUBLE_EQ(RoundTripDelay(T1, T2, T3, T4), 1.0);
    EXPECT_DOUBLE_EQ(ClockOffset(T2, T1, T1, T2), -(10.5)) << "a server behind gives a negative offset";
    const auto Request = MakeSntpRequest(Sent);
    EXPECT_EQ(Request[0], 0x23);
    EXPECT_EQ(Request[40], 0xEC);
    EXPECT_EQ(Request[47], 0x34);
}

TEST(ConnectionPartsTest, ServerNamesTakeAnOptionalPortAndIpv6InBrackets)
{
    std::string Host, Port;
    EXPECT_TRUE(SplitServer("pool.ntp.org", Host, Port));
    EXPECT_EQ(Host + "|" + Port, "pool.ntp.org|123");
    EXPECT_TRUE(SplitServer("127.0.0.1:10123", Host, Port));
    EXPECT_EQ(Host + "|" + Port, "127.0.0.1|10123");
    EXPECT_TRUE(SplitServer("[::1]:5123", Host, Port));
    EXPECT_EQ(Host + "|" + Port, "::1|5123");
    EXPECT_TRUE(SplitServer("2001:db8::1", Host, Port));
    EXPECT_EQ(Host + "|" + Port, "2001:db8::1|123");
    for (const char* Bad : {"", ":123", "host:", "host:0", "host:65536", "host:-1", "[::1]x", "[::1"})
        EXPECT_FALSE(SplitServer(Bad, Host, Port)) << Bad;
}

TEST(ConnectionPartsTest, TheClockChangesOnlyWhenTheTimeServiceDoesNotAlreadyKeepIt)
{
    EXPECT_EQ(DecideClockAction(0.5, true), TClockAction::Keep);
    EXPECT_EQ(DecideClockAction(-0.9, true), TClockAction::Keep);
    EXPECT_EQ(DecideClockAction(1.5, true), TClockAction::Correct);
    EXPECT_EQ(DecideClockAction(0.5, false), TClockAction::Correct);
    EXPECT_EQ(DecideClockAction(0.5, std::nullopt), TClockAction::Correct);
    EXPECT_EQ(DecideClockAction(0.05, false), TClockAction::Keep) << "below what SNTP measures";
    EXPECT_TRUE(WithinOneSecond(30, 0.2, TClockAction::Correct, true));
    EXPECT_FALSE(WithinOneSecond(30, 2.5, TClockAction::Correct, true)) << "a round trip too long to trust";
    EXPECT_FALSE(WithinOneSecond(30, 0.2, TClockAction::Correct, false));
    EXPECT_TRUE(WithinOneSecond(0.5, 0.2, TClockAction::Correct, false));
    EXPECT_FALSE(WithinOneSecond(-1.5, 0.2, TClockAction::Keep, false));
}

TEST(ConnectionPartsTest, NetworkManagersLesserStatesAreOfflineAndItsUnknownIsNoAnswer)
{
    EXPECT_EQ(NetworkManagerOnline(70), true);
    for (const std::uint32_t State : {10u, 20u, 30u, 40u, 50u, 60u})
        EXPECT_EQ(NetworkManagerOnline(State), false) << State;
    EXPECT_EQ(NetworkManagerOnline(0), std::nullopt);
    const std::string Header =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    EXPECT_TRUE(
        HasDefaultRoute(Header + "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n", ""));
    EXPECT_FALSE(
        HasDefaultRoute(Header + "wlan0\t00000000\t0101A8C0\t0002\t0\t0\t600\t00000000\t0\t0\t0\n", ""))
        << "a route that is down";
    EXPECT_FALSE(HasDefaultRoute(Header, "garbage\n\n"));
    EXPECT_FALSE(HasDefaultRoute("", ""));
}

} // namespace
