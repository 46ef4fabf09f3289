#include "LocalSntpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace Zentavo::Testing {

namespace {

constexpr std::uint64_t UnixEpochInNtp = 2208988800ull;

void PutTimestamp(std::uint8_t* Where, std::uint64_t Value)
{
    for (int Index = 0; Index < 8; ++Index)
        Where[Index] = static_cast<std::uint8_t>(Value >> (56 - 8 * Index));
}

std::uint64_t GetTimestamp(const std::uint8_t* Where)
{
    std::uint64_t Value = 0;
    for (int Index = 0; Index < 8; ++Index)
        Value = (Value << 8) | Where[Index];
    return Value;
}

} // namespace

std::uint64_t TLocalSntpServer::NtpTimestamp(std::chrono::system_clock::time_point Time)
{
    const auto Nanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Time.time_since_epoch()).count();
    const std::uint64_t Seconds = static_cast<std::uint64_t>(Nanoseconds / 1000000000) + UnixEpochInNtp;
    const std::uint64_t Fraction =
        (static_cast<std::uint64_t>(Nanoseconds % 1000000000) << 32) / 1000000000ull;
    return (Seconds << 32) | Fraction;
}

TLocalSntpServer::TLocalSntpServer()
{
    FSocket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t Length = sizeof Address;
    if (FSocket < 0 || ::bind(FSocket, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0 ||
        ::getsockname(FSocket, reinterpret_cast<sockaddr*>(&Address), &Length) != 0)
        throw std::runtime_error("the local SNTP server cannot bind 127.0.0.1");
    FPort = ntohs(Address.sin_port);
    FThread = std::thread([this] { Run(); });
}

TLocalSntpServer::~TLocalSntpServer()
{
    FStopping = true;
    FThread.join();
    ::close(FSocket);
}

std::vector<std::uint8_t> TLocalSntpServer::LastRequest() const
{
    std::lock_guard Guard(FLock);
    return FLastRequest;
}

void TLocalSntpServer::Run()
{
    while (!FStopping) {
        pollfd Poll{FSocket, POLLIN, 0};
        if (::poll(&Poll, 1, 20) <= 0)
            continue;
        std::uint8_t Request[512];
        sockaddr_storage Client{};
        socklen_t ClientLength = sizeof Client;
        const ssize_t Count = ::recvfrom(FSocket, Request, sizeof Request, 0,
                                         reinterpret_cast<sockaddr*>(&Client), &ClientLength);
        if (Count <= 0)
            continue;
        const auto Offset = std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::duration<double>(FClockOffset.load()));
        const std::uint64_t Received = NtpTimestamp(std::chrono::system_clock::now() + Offset);
        ++FRequestCount;
        {
            std::lock_guard Guard(FLock);
            FLastRequest.assign(Request, Request + Count);
        }
        const TSntpAnswer Answer = FAnswer;
        if (Answer == TSntpAnswer::Silent || Count < 48)
            continue;
        // Waiting here holds back later requests too, as one slow server would.
        const auto Until = std::chrono::steady_clock::now() + FDelay.load();
        while (!FStopping && std::chrono::steady_clock::now() < Until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (FStopping)
            break;

        std::uint8_t Reply[48]{};
        int Leap = 0, Version = (Request[0] >> 3) & 7, Mode = 4, Stratum = 2;
        std::uint8_t Reference[4] = {127, 0, 0, 1};
        switch (Answer) {
        case TSntpAnswer::WrongMode:
            Mode = 3;
            break;
        case TSntpAnswer::WrongVersion:
            Version = 1;
            break;
        case TSntpAnswer::LeapAlarm:
            Leap = 3;
            break;
        case TSntpAnswer::StratumZero:
            Stratum = 0;
            std::memcpy(Reference, "\x01\x02\x03\x04", 4);
            break;
        case TSntpAnswer::Stratum16:
            Stratum = 16;
            break;
        case TSntpAnswer::KissOfDeath:
            Stratum = 0;
            std::memcpy(Reference, "RATE", 4);
            break;
        default:
            break;
        }
        Reply[0] = static_cast<std::uint8_t>(Leap << 6 | Version << 3 | Mode);
        Reply[1] = static_cast<std::uint8_t>(Stratum);
        Reply[2] = Request[2];
        Reply[3] = static_cast<std::uint8_t>(-20);
        Reply[5] = 0x01; // root delay and dispersion: 1/256 s
        Reply[9] = 0x01;
        std::memcpy(Reply + 12, Reference, 4);
        const std::uint64_t Now = NtpTimestamp(std::chrono::system_clock::now() + Offset);
        PutTimestamp(Reply + 16, Now - (std::uint64_t{16} << 32));
        std::uint64_t Originate = GetTimestamp(Request + 40);
        if (Answer == TSntpAnswer::WrongOriginate)
            Originate ^= 0x00000001'00000000ull;
        PutTimestamp(Reply + 24, Originate);
        PutTimestamp(Reply + 32, Received);
        PutTimestamp(Reply + 40, Answer == TSntpAnswer::ZeroTransmit ? 0 : Now);
        const std::size_t Length = Answer == TSntpAnswer::Truncated ? 40 : 48;
        ::sendto(FSocket, Reply, Length, 0, reinterpret_cast<sockaddr*>(&Client), ClientLength);
    }
}

} // namespace Zentavo::Testing
