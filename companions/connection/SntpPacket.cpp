#include "SntpPacket.h"

namespace Connection {

namespace {

TNtpTimestamp ReadTimestamp(const std::uint8_t* Where)
{
    TNtpTimestamp Value = 0;
    for (int Index = 0; Index < 8; ++Index)
        Value = (Value << 8) | Where[Index];
    return Value;
}

// A signed difference of two timestamps in seconds.
double Difference(TNtpTimestamp Later, TNtpTimestamp Earlier)
{
    return static_cast<double>(static_cast<std::int64_t>(Later - Earlier)) / 4294967296.0;
}

} // namespace

std::array<std::uint8_t, SntpPacketSize> MakeSntpRequest(TNtpTimestamp Transmit)
{
    std::array<std::uint8_t, SntpPacketSize> Packet{};
    Packet[0] = static_cast<std::uint8_t>(0 << 6 | SntpVersion << 3 | 3);
    for (int Index = 0; Index < 8; ++Index)
        Packet[40 + Index] = static_cast<std::uint8_t>(Transmit >> (56 - 8 * Index));
    return Packet;
}

TSntpReply ParseSntpReply(const std::uint8_t* Data, std::size_t Size, TNtpTimestamp Sent)
{
    TSntpReply Reply;
    if (Data == nullptr || Size < SntpPacketSize)
        return Reply;
    const int Leap = Data[0] >> 6;
    const int Version = (Data[0] >> 3) & 7;
    const int Mode = Data[0] & 7;
    Reply.Stratum = Data[1];
    Reply.Receive = ReadTimestamp(Data + 32);
    Reply.Transmit = ReadTimestamp(Data + 40);
    if (Mode != 4)
        Reply.Verdict = TSntpVerdict::WrongMode;
    else if (Version < 3 || Version > SntpVersion)
        Reply.Verdict = TSntpVerdict::WrongVersion;
    else if (Reply.Stratum == 0) {
        Reply.Verdict = TSntpVerdict::KissOfDeath;
        for (int Index = 12; Index < 16; ++Index)
            if (Data[Index] >= 0x20 && Data[Index] < 0x7f)
                Reply.KissCode += static_cast<char>(Data[Index]);
    } else if (Reply.Stratum > 15)
        Reply.Verdict = TSntpVerdict::WrongStratum;
    else if (Leap == 3)
        Reply.Verdict = TSntpVerdict::LeapAlarm;
    else if (ReadTimestamp(Data + 24) != Sent)
        Reply.Verdict = TSntpVerdict::WrongOriginate;
    else if (Reply.Receive == 0 || Reply.Transmit == 0)
        Reply.Verdict = TSntpVerdict::MissingTimestamp;
    else
        Reply.Verdict = TSntpVerdict::Accepted;
    return Reply;
}

double ClockOffset(TNtpTimestamp T1, TNtpTimestamp T2, TNtpTimestamp T3, TNtpTimestamp T4)
{
    return (Difference(T2, T1) + Difference(T3, T4)) / 2;
}

double RoundTripDelay(TNtpTimestamp T1, TNtpTimestamp T2, TNtpTimestamp T3, TNtpTimestamp T4)
{
    return Difference(T4, T1) - Difference(T3, T2);
}

const char* VerdictText(TSntpVerdict Verdict)
{
    switch (Verdict) {
    case TSntpVerdict::Accepted:
        return "accepted";
    case TSntpVerdict::TooShort:
        return "reply too short";
    case TSntpVerdict::LeapAlarm:
        return "server clock not synchronised";
    case TSntpVerdict::WrongVersion:
        return "wrong version";
    case TSntpVerdict::WrongMode:
        return "not a server reply";
    case TSntpVerdict::KissOfDeath:
        return "kiss-of-death";
    case TSntpVerdict::WrongStratum:
        return "stratum out of range";
    case TSntpVerdict::WrongOriginate:
        return "not an answer to this request";
    case TSntpVerdict::MissingTimestamp:
        return "timestamp missing";
    }
    return "unknown";
}

} // namespace Connection
