// How long each connection.so entry point keeps the clock busy, one load,
// call and release as the program makes them, against local servers that
// answer at once and against ones that accept and never answer. The floor is
// the load and release alone.
#include "FakeBusServices.h"
#include "LocalHttpServer.h"
#include "LocalSntpServer.h"
#include "PrivateBus.h"
#include "zentavo_companion.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

namespace {

using namespace Zentavo::Testing;
using TClock = std::chrono::steady_clock;

// Median milliseconds of Runs calls of Call with the library loaded around each.
double Measure(int Runs, const std::function<void(void*)>& Call)
{
    std::vector<double> Times;
    for (int Run = 0; Run < Runs; ++Run) {
        const auto Start = TClock::now();
        void* Library = ::dlopen(ZENTAVO_CONNECTION_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!Library) {
            std::fprintf(stderr, "%s\n", ::dlerror());
            std::exit(1);
        }
        Call(Library);
        ::dlclose(Library);
        Times.push_back(std::chrono::duration<double, std::milli>(TClock::now() - Start).count());
    }
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

struct TStream
{
    ZTStream Object;
    std::string Bytes;
    static size_t Write(ZTStream* Self, const void* Data, size_t Count)
    {
        reinterpret_cast<TStream*>(Self)->Bytes.append(static_cast<const char*>(Data), Count);
        return Count;
    }
    static int64_t Size(const ZTStream* Self)
    {
        return static_cast<int64_t>(reinterpret_cast<const TStream*>(Self)->Bytes.size());
    }
    static constexpr ZTStreamMethods Methods{sizeof(ZTStreamMethods), &Write, &Size};
    TStream() : Object{&Methods} {}
};

// A unix socket that accepts and never says a word: a hung bus daemon.
class TSilentBus
{
public:
    explicit TSilentBus(const std::string& Path)
    {
        FSocket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        std::snprintf(Address.sun_path, sizeof Address.sun_path, "%s", Path.c_str());
        ::bind(FSocket, reinterpret_cast<sockaddr*>(&Address), sizeof Address);
        ::listen(FSocket, 16);
    }
    ~TSilentBus() { ::close(FSocket); }

private:
    int FSocket = -1;
};

void Report(const char* Name, double Milliseconds, double Floor)
{
    std::printf("%-58s %9.2f ms  %8.1f x floor\n", Name, Milliseconds, Milliseconds / Floor);
}

} // namespace

int main()
{
    for (const char* Name :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        ::unsetenv(Name);
    TPrivateBus Bus;
    if (!Bus.Started()) {
        std::fprintf(stderr, "no private bus: %s\n", Bus.FailureReason().c_str());
        return 1;
    }
    // The first load brings in libcurl and libsystemd, and the first calls
    // keep them loaded from then on (libcurl by the library's own choice,
    // libsystemd by the loader), as they stay in the clock after its first
    // online run: the floor is that steady state.
    const double ColdFloor = Measure(1, [](void*) {});
    const double WarmingFloor = Measure(20, [](void*) {});
    {
        TLocalHttpServer Warm;
        Warm.SetResponse("/", THttpResponse::Text("warm"));
        Measure(1, [&](void* Library) {
            TStream Stream;
            ZTStream* Reference = &Stream.Object;
            reinterpret_cast<ZTHTTPRequestFunction*>(::dlsym(Library, "HTTPRequest"))(
                Warm.Url("/").c_str(), ZTUserConnection{}, &Reference);
            reinterpret_cast<ZTGetConnectionStatusFunction*>(::dlsym(Library, "getConnectionStatus"))();
        });
    }
    const double Floor = Measure(50, [](void*) {});
    std::printf("%-58s %9.2f ms\n", "first load and release of connection.so", ColdFloor);
    std::printf("%-58s %9.2f ms\n", "load and release before the first fetch", WarmingFloor);
    std::printf("%-58s %9.2f ms\n", "floor: load and release after it", Floor);

    auto Status = [](void* Library) {
        reinterpret_cast<ZTGetConnectionStatusFunction*>(::dlsym(Library, "getConnectionStatus"))();
    };
    {
        TFakeBusServices::TOptions Options;
        Options.NetworkState = 70;
        Options.TimedatedNtp = false;
        TFakeBusServices Services(Options);
        Report("getConnectionStatus, NetworkManager answers", Measure(30, Status), Floor);
    }
    Report("getConnectionStatus, no NetworkManager (routing table)", Measure(30, Status), Floor);

    TLocalHttpServer Server;
    Server.SetResponse("/20k", THttpResponse::Text(std::string(20 * 1024, 'x')));
    Server.SetResponse("/silent", THttpResponse::Silent());
    auto Fetch = [&](const std::string& Url) {
        return [Url](void* Library) {
            TStream Stream;
            ZTStream* Reference = &Stream.Object;
            reinterpret_cast<ZTHTTPRequestFunction*>(::dlsym(Library, "HTTPRequest"))(
                Url.c_str(), ZTUserConnection{}, &Reference);
        };
    };
    Report("HTTPRequest 20 KB, server answers at once", Measure(30, Fetch(Server.Url("/20k"))), Floor);
    Report("HTTPRequest, server accepts and never answers", Measure(2, Fetch(Server.Url("/silent"))), Floor);

    TLocalSntpServer TimeServer;
    TimeServer.SetClockOffset(3.0);
    auto Synchronise = [&](void* Library) {
        double Scratch = 0;
        reinterpret_cast<ZTSincNetworkTimeFunction*>(::dlsym(Library, "SincNetworkTime"))(
            1, TimeServer.Address().c_str(), ZTUserConnection{}, &Scratch);
    };
    {
        TFakeBusServices::TOptions Options;
        Options.TimedatedNtp = false;
        TFakeBusServices Services(Options);
        Report("SincNetworkTime, server and timedated answer at once", Measure(20, Synchronise), Floor);
    }
    TimeServer.SetAnswer(TSntpAnswer::Silent);
    Report("SincNetworkTime, server never answers", Measure(2, Synchronise), Floor);

    // A bus daemon that hangs: the connection query must still come back.
    const std::string Socket = Bus.Folder() + "/silent-bus";
    TSilentBus Silent(Socket);
    const std::string Address = "unix:path=" + Socket;
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", Address.c_str(), 1);
    Report("getConnectionStatus, bus accepts and never answers", Measure(3, Status), Floor);
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", Bus.Address().c_str(), 1);
    return 0;
}
