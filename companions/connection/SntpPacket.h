#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Connection {

// NTP timestamps: seconds since 1900 in the upper 32 bits, the fraction in
// the lower 32. Differences are taken modulo 2^64, so they stay right across
// the 2036 wrap of the seconds.
using TNtpTimestamp = std::uint64_t;

constexpr std::size_t SntpPacketSize = 48;
constexpr int SntpVersion = 4;

enum class TSntpVerdict
{
    Accepted,
    TooShort,
    LeapAlarm, // the server's own clock is not synchronised
    WrongVersion,
    WrongMode,        // not a server's reply
    KissOfDeath,      // stratum 0: the server tells us to go away
    WrongStratum,     // beyond 15
    WrongOriginate,   // not an answer to our request
    MissingTimestamp, // receive or transmit time zero
};

struct TSntpReply
{
    TSntpVerdict Verdict = TSntpVerdict::TooShort;
    int Stratum = 0;
    // The reference identifier as text for a kiss-of-death ("RATE", "DENY").
    std::string KissCode;
    TNtpTimestamp Receive = 0;  // T2, the server's clock on arrival
    TNtpTimestamp Transmit = 0; // T3, the server's clock on departure
};

// A client request (version 4, mode 3) carrying Transmit, which the server
// must echo as its originate timestamp.
std::array<std::uint8_t, SntpPacketSize> MakeSntpRequest(TNtpTimestamp Transmit);

// Checks a server's reply to the request that carried Sent. Pure: no clock,
// no system call, any bytes of any length.
TSntpReply ParseSntpReply(const std::uint8_t* Data, std::size_t Size, TNtpTimestamp Sent);

// The clock offset (server minus client) and the round trip, in seconds,
// from the four timestamps: T1 sent, T2 received by the server, T3 sent by
// the server, T4 received back.
double ClockOffset(TNtpTimestamp T1, TNtpTimestamp T2, TNtpTimestamp T3, TNtpTimestamp T4);
double RoundTripDelay(TNtpTimestamp T1, TNtpTimestamp T2, TNtpTimestamp T3, TNtpTimestamp T4);

// A readable reason for a rejected reply.
const char* VerdictText(TSntpVerdict Verdict);

} // namespace Connection
