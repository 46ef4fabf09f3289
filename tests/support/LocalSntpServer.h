#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Zentavo::Testing {

// How the local SNTP server answers a request.
enum class TSntpAnswer
{
    Correct,        // a stratum 2 server reply
    Silent,         // reads the request, never answers
    WrongMode,      // mode 3 (client) instead of 4
    WrongVersion,   // version 1
    LeapAlarm,      // leap indicator 3: the server's clock is not synchronised
    StratumZero,    // stratum 0 with a reference that is not a kiss code
    Stratum16,      // stratum beyond 15
    KissOfDeath,    // stratum 0, reference "RATE"
    WrongOriginate, // originate timestamp not the request's transmit timestamp
    ZeroTransmit,   // transmit timestamp 0
    Truncated,      // 40 bytes instead of 48
};

// An SNTP server on 127.0.0.1 (UDP, a port the system picks) whose clock is
// the machine's plus a chosen offset, for tests of a time client. A Delay
// holds every answer back; the receive and transmit timestamps still tell
// the truth about it, as a real slow server's would.
//
//     TLocalSntpServer Server;
//     Server.SetClockOffset(5.25);              // five and a quarter seconds ahead
//     Server.SetAnswer(TSntpAnswer::KissOfDeath);
//     ... query Server.Address() ("127.0.0.1:<port>") ...
//     EXPECT_EQ(Server.RequestCount(), 1);
class TLocalSntpServer
{
public:
    TLocalSntpServer();
    ~TLocalSntpServer();
    TLocalSntpServer(const TLocalSntpServer&) = delete;
    TLocalSntpServer& operator=(const TLocalSntpServer&) = delete;

    std::uint16_t Port() const { return FPort; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }

    void SetAnswer(TSntpAnswer Answer) { FAnswer = Answer; }
    void SetClockOffset(double Seconds) { FClockOffset = Seconds; }
    void SetDelay(std::chrono::milliseconds Delay) { FDelay = Delay; }

    int RequestCount() const { return FRequestCount; }
    // The last request as it arrived (empty before the first).
    std::vector<std::uint8_t> LastRequest() const;

    // The NTP form (seconds since 1900, 32.32 fixed point) of a system time.
    static std::uint64_t NtpTimestamp(std::chrono::system_clock::time_point Time);

private:
    void Run();

    int FSocket = -1;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStopping = false;
    std::atomic<TSntpAnswer> FAnswer = TSntpAnswer::Correct;
    std::atomic<double> FClockOffset = 0;
    std::atomic<std::chrono::milliseconds> FDelay{std::chrono::milliseconds(0)};
    std::atomic<int> FRequestCount = 0;
    mutable std::mutex FLock;
    std::vector<std::uint8_t> FLastRequest;
    std::thread FThread;
};

} // namespace Zentavo::Testing
