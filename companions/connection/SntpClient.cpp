#include "SntpClient.h"

#include <netdb.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Connection {

namespace {

using TSteadyClock = std::chrono::steady_clock;
constexpr std::uint64_t UnixEpochInNtp = 2208988800ull;

// An asynchronous lookup whose memory libc may still write after a timeout:
// it is then left to libc rather than freed under its feet.
struct TLookup
{
    gaicb Request{};
    addrinfo Hints{};
    std::string Name;
    std::string Service;
};

int RemainingMilliseconds(TSteadyClock::time_point Deadline)
{
    const auto Left =
        std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TSteadyClock::now()).count();
    return Left > 0 ? static_cast<int>(Left) : 0;
}

// The addresses of Host, or null when they are not known by the deadline.
addrinfo* Resolve(const std::string& Host, const std::string& Port, TSteadyClock::time_point Deadline,
                  std::string& Failure)
{
    auto* Lookup = new TLookup;
    Lookup->Name = Host;
    Lookup->Service = Port;
    Lookup->Hints.ai_family = AF_UNSPEC;
    Lookup->Hints.ai_socktype = SOCK_DGRAM;
    Lookup->Hints.ai_protocol = IPPROTO_UDP;
    Lookup->Request.ar_name = Lookup->Name.c_str();
    Lookup->Request.ar_service = Lookup->Service.c_str();
    Lookup->Request.ar_request = &Lookup->Hints;
    gaicb* List[1] = {&Lookup->Request};
    if (getaddrinfo_a(GAI_NOWAIT, List, 1, nullptr) != 0) {
        delete Lookup;
        Failure = "name lookup not started";
        return nullptr;
    }
    while (gai_error(&Lookup->Request) == EAI_INPROGRESS) {
        const int Left = RemainingMilliseconds(Deadline);
        if (Left == 0)
            break;
        const timespec Wait{Left / 1000, (Left % 1000) * 1000000L};
        const gaicb* Waiting[1] = {&Lookup->Request};
        gai_suspend(Waiting, 1, &Wait);
    }
    const int Status = gai_error(&Lookup->Request);
    if (Status == EAI_INPROGRESS) {
        Failure = "name lookup timed out";
        if (gai_cancel(&Lookup->Request) == EAI_CANCELED)
            delete Lookup;
        return nullptr; // otherwise libc still owns it
    }
    addrinfo* Result = Status == 0 ? Lookup->Request.ar_result : nullptr;
    if (!Result)
        Failure = std::string("name lookup failed: ") + gai_strerror(Status);
    delete Lookup;
    return Result;
}

} // namespace

bool SplitServer(const std::string& Text, std::string& Host, std::string& Port)
{
    Port = "123";
    if (!Text.empty() && Text.front() == '[') {
        const std::size_t Close = Text.find(']');
        if (Close == std::string::npos)
            return false;
        Host = Text.substr(1, Close - 1);
        if (Close + 1 < Text.size()) {
            if (Text[Close + 1] != ':')
                return false;
            Port = Text.substr(Close + 2);
        }
    } else {
        const std::size_t Colon = Text.find(':');
        if (Colon != std::string::npos && Text.find(':', Colon + 1) == std::string::npos) {
            Host = Text.substr(0, Colon);
            Port = Text.substr(Colon + 1);
        } else
            Host = Text; // a name, or an IPv6 address without a port
    }
    if (Host.empty() || Port.empty() || Port.size() > 5 ||
        Port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long Number = std::strtol(Port.c_str(), nullptr, 10);
    return Number >= 1 && Number <= 65535;
}

TNtpTimestamp Now()
{
    const auto Nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    const std::uint64_t Seconds = static_cast<std::uint64_t>(Nanoseconds / 1000000000) + UnixEpochInNtp;
    const std::uint64_t Fraction =
        (static_cast<std::uint64_t>(Nanoseconds % 1000000000) << 32) / 1000000000ull;
    return (Seconds << 32) | (Fraction & 0xffffffffull);
}

TSntpMeasurement QueryTimeServer(const std::string& Server, std::chrono::milliseconds Timeout)
{
    TSntpMeasurement Measurement;
    const auto Deadline = TSteadyClock::now() + Timeout;
    std::string Host, Port;
    if (!SplitServer(Server, Host, Port)) {
        Measurement.Failure = "not a time server name: " + Server;
        return Measurement;
    }
    addrinfo* Addresses = Resolve(Host, Port, Deadline, Measurement.Failure);
    for (addrinfo* Address = Addresses; Address && RemainingMilliseconds(Deadline) > 0;
         Address = Address->ai_next) {
        const int Socket =
            ::socket(Address->ai_family, Address->ai_socktype | SOCK_CLOEXEC, Address->ai_protocol);
        if (Socket < 0)
            continue;
        // Connected, so the kernel drops datagrams from anyone else.
        if (::connect(Socket, Address->ai_addr, Address->ai_addrlen) != 0) {
            ::close(Socket);
            continue;
        }
        // The low bits of the fraction, far below the clock's precision, make
        // the request hard to answer blindly.
        std::uint16_t Noise = 0;
        if (getrandom(&Noise, sizeof Noise, GRND_NONBLOCK) != sizeof Noise)
            Noise = static_cast<std::uint16_t>(TSteadyClock::now().time_since_epoch().count());
        const TNtpTimestamp T1 = (Now() & ~TNtpTimestamp{0xffff}) | Noise;
        const auto Request = MakeSntpRequest(T1);
        if (::send(Socket, Request.data(), Request.size(), 0) != static_cast<ssize_t>(Request.size())) {
            ::close(Socket);
            Measurement.Failure = "cannot send to the time server";
            continue;
        }
        std::uint8_t Reply[512];
        ssize_t Count = -1;
        while (Count < 0) {
            pollfd Poll{Socket, POLLIN, 0};
            const int Left = RemainingMilliseconds(Deadline);
            if (Left == 0 || ::poll(&Poll, 1, Left) <= 0)
                break;
            Count = ::recv(Socket, Reply, sizeof Reply, 0);
            if (Count < 0 && errno != EINTR)
                break;
        }
        const TNtpTimestamp T4 = Now();
        ::close(Socket);
        if (Count < 0) {
            Measurement.Failure = RemainingMilliseconds(Deadline) == 0
                                      ? "the time server did not answer in time"
                                      : "the time server cannot be reached";
            continue;
        }
        const TSntpReply Parsed = ParseSntpReply(Reply, static_cast<std::size_t>(Count), T1);
        if (Parsed.Verdict != TSntpVerdict::Accepted) {
            Measurement.Failure = std::string("reply rejected: ") + VerdictText(Parsed.Verdict);
            if (!Parsed.KissCode.empty())
                Measurement.Failure += " " + Parsed.KissCode;
            break;
        }
        Measurement.Measured = true;
        Measurement.Offset = ClockOffset(T1, Parsed.Receive, Parsed.Transmit, T4);
        Measurement.Delay = RoundTripDelay(T1, Parsed.Receive, Parsed.Transmit, T4);
        Measurement.Failure.clear();
        break;
    }
    if (Addresses)
        freeaddrinfo(Addresses);
    return Measurement;
}

} // namespace Connection
