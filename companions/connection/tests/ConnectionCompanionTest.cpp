// connection.so on its own, loaded as the clock loads it, against servers and
// bus services of the test's own on 127.0.0.1 and a private bus.
#include "FakeBusServices.h"
#include "LocalHttpProxy.h"
#include "LocalHttpServer.h"
#include "LocalSntpServer.h"
#include "PrivateBus.h"
#include "TemporaryHome.h"
#include "zentavo_companion.h"

#include <curl/curl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace Zentavo::Testing;
using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// The host's byte stream, as the clock lends it.
struct TTestStream
{
    ZTStream Object;
    std::string Bytes;

    static size_t Write(ZTStream* Self, const void* Data, size_t Count)
    {
        reinterpret_cast<TTestStream*>(Self)->Bytes.append(static_cast<const char*>(Data), Count);
        return Count;
    }
    static int64_t Size(const ZTStream* Self)
    {
        return static_cast<int64_t>(reinterpret_cast<const TTestStream*>(Self)->Bytes.size());
    }
    static constexpr ZTStreamMethods Methods{sizeof(ZTStreamMethods), &Write, &Size};

    TTestStream() : Object{&Methods} {}
};

void SetText(ZTShortText& Text, const std::string& Value)
{
    std::memset(&Text, 0, sizeof Text);
    Text.Length = static_cast<uint8_t>(Value.size());
    std::memcpy(Text.Characters, Value.data(), Value.size());
}

ZTUserConnection Proxy(const std::string& Server, const std::string& Port, const std::string& User = {},
                       const std::string& Password = {})
{
    ZTUserConnection Record{};
    SetText(Record.ProxyServer, Server);
    SetText(Record.ProxyPort, Port);
    SetText(Record.ProxyUser, User);
    SetText(Record.ProxyPass, Password);
    return Record;
}

class ConnectionCompanionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // No proxy of the machine's may stand between the tests and their servers.
        for (const char* Name :
             {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            ::unsetenv(Name);
        FLibrary = ::dlopen(ZENTAVO_CONNECTION_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(FLibrary, nullptr) << ::dlerror();
        FHTTPRequest = reinterpret_cast<ZTHTTPRequestFunction*>(::dlsym(FLibrary, "HTTPRequest"));
        FSincNetworkTime = reinterpret_cast<ZTSincNetworkTimeFunction*>(::dlsym(FLibrary, "SincNetworkTime"));
        FGetConnectionStatus =
            reinterpret_cast<ZTGetConnectionStatusFunction*>(::dlsym(FLibrary, "getConnectionStatus"));
        ASSERT_TRUE(FHTTPRequest && FSincNetworkTime && FGetConnectionStatus);
    }
    void TearDown() override
    {
        if (FLibrary)
            ::dlclose(FLibrary);
    }

    bool Fetch(const std::string& Url, std::string& Body, const ZTUserConnection& Connection = {})
    {
        TTestStream Stream;
        ZTStream* Reference = &Stream.Object;
        const bool Result = FHTTPRequest(Url.c_str(), Connection, &Reference) != 0;
        EXPECT_EQ(Reference, &Stream.Object) << "the library must leave the reference as it is";
        Body = Stream.Bytes;
        return Result;
    }

    bool Synchronise(const std::string& Server, double& Offset)
    {
        Offset = 12345;
        return FSincNetworkTime(1, Server.c_str(), ZTUserConnection{}, &Offset) != 0;
    }

    void* FLibrary = nullptr;
    ZTHTTPRequestFunction* FHTTPRequest = nullptr;
    ZTSincNetworkTimeFunction* FSincNetworkTime = nullptr;
    ZTGetConnectionStatusFunction* FGetConnectionStatus = nullptr;
};

double Seconds(TClock::duration Duration)
{
    return std::chrono::duration<double>(Duration).count();
}

// ---- HTTPRequest ----

TEST_F(ConnectionCompanionTest, TheBodyReachesTheStreamAfterRedirectsAndAnEmptyBodyIsASuccess)
{
    TLocalHttpServer Server;
    Server.SetResponse("/sysConf.xml", THttpResponse::Text("<zentavo/>"));
    Server.SetResponse("/moved", THttpResponse::Redirect(Server.Url("/sysConf.xml"), 301));
    Server.SetResponse("/old", THttpResponse::Redirect("/moved"));
    Server.SetResponse("/empty", THttpResponse::Text(""));
    std::string Body;
    EXPECT_TRUE(Fetch(Server.Url("/old"), Body));
    EXPECT_EQ(Body, "<zentavo/>");
    ASSERT_EQ(Server.RequestCount(), 3u);
    EXPECT_EQ(Server.Requests()[2].Target(), "/sysConf.xml");
    EXPECT_EQ(Server.Requests()[0].Method(), "GET");

    EXPECT_TRUE(Fetch(Server.Url("/empty"), Body));
    EXPECT_EQ(Body, "");
}

TEST_F(ConnectionCompanionTest, ErrorStatusesEndlessRedirectsAndOtherSchemesFailWithNothingInTheStream)
{
    TLocalHttpServer Server;
    Server.SetResponse("/missing", THttpResponse::Text("gone", 404));
    Server.SetResponse("/broken", THttpResponse::Text("oops", 500));
    Server.SetResponse("/loop", THttpResponse::Redirect("/loop"));
    Server.SetResponse("/elsewhere", THttpResponse::Redirect("file:///etc/passwd"));
    std::string Body;
    for (const char* Path : {"/missing", "/broken", "/loop", "/elsewhere"}) {
        EXPECT_FALSE(Fetch(Server.Url(Path), Body)) << Path;
        EXPECT_EQ(Body, "") << Path;
    }
    EXPECT_LE(Server.RequestCount(), 2u + 1 + 6 + 1) << "redirects are limited";
    EXPECT_FALSE(Fetch("ftp://127.0.0.1/sysConf.xml", Body));
    EXPECT_FALSE(Fetch("not a url", Body));
}

TEST_F(ConnectionCompanionTest, ALocalDocumentArrivesWhereTheCallerNamesItButNeverThroughARedirect)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("local-document");
    std::ofstream(Folder + "/sysConf.xml") << "<zentavo>installed</zentavo>";
    std::string Body;
    EXPECT_TRUE(Fetch("file://" + Folder + "/sysConf.xml", Body));
    EXPECT_EQ(Body, "<zentavo>installed</zentavo>");
    EXPECT_FALSE(Fetch("file://" + Folder + "/missing.xml", Body));
    EXPECT_EQ(Body, "");

    TLocalHttpServer Server;
    Server.SetResponse("/moved", THttpResponse::Redirect("file://" + Folder + "/sysConf.xml"));
    EXPECT_FALSE(Fetch(Server.Url("/moved"), Body));
    EXPECT_EQ(Body, "");
}

TEST_F(ConnectionCompanionTest, ABodyBeyondTheCapIsRefusedAndOneBelowItArrivesWhole)
{
    TLocalHttpServer Server;
    Server.SetResponse("/big", THttpResponse::Text(std::string(3 * 1024 * 1024, 'x')));
    Server.SetResponse("/fine", THttpResponse::Text(std::string(1024 * 1024, 'y')));
    std::string Body;
    EXPECT_FALSE(Fetch(Server.Url("/big"), Body));
    EXPECT_EQ(Body, "");
    EXPECT_TRUE(Fetch(Server.Url("/fine"), Body));
    EXPECT_EQ(Body.size(), 1024u * 1024u);
}

TEST_F(ConnectionCompanionTest, ADeadServerNeverKeepsTheCallerBeyondTheTimeout)
{
    TLocalHttpServer Server;
    Server.SetResponse("/silent", THttpResponse::Silent());
    THttpResponse Stalling = THttpResponse::Text(std::string(20000, 'z'));
    Stalling.StallInBody = true;
    Server.SetResponse("/stalling", Stalling);
    std::string Body;
    for (const char* Path : {"/silent", "/stalling"}) {
        const auto Start = TClock::now();
        EXPECT_FALSE(Fetch(Server.Url(Path), Body)) << Path;
        const double Elapsed = Seconds(TClock::now() - Start);
        EXPECT_LT(Elapsed, 5.0) << Path;
        EXPECT_GT(Elapsed, 3.0) << Path << ": the timeout is a few seconds, not a hair trigger";
        EXPECT_EQ(Body, "");
    }
    // A closed port fails at once.
    const std::string Closed = [] {
        TLocalHttpServer Gone;
        return Gone.Url("/");
    }();
    const auto Start = TClock::now();
    EXPECT_FALSE(Fetch(Closed, Body));
    EXPECT_LT(Seconds(TClock::now() - Start), 1.0);
}

TEST_F(ConnectionCompanionTest, TheRecordsProxyCarriesTheRequestWithItsCredentials)
{
    TLocalHttpServer Server;
    Server.SetResponse("/sysConf.xml", THttpResponse::Text("<zentavo/>"));
    TLocalHttpProxy Plain;
    std::string Body;
    EXPECT_TRUE(Fetch(Server.Url("/sysConf.xml"), Body, Proxy("127.0.0.1", std::to_string(Plain.Port()))));
    EXPECT_EQ(Body, "<zentavo/>");
    ASSERT_EQ(Plain.Requests().size(), 1u);
    EXPECT_EQ(Plain.Requests()[0].Target(), Server.Url("/sysConf.xml"));

    TLocalHttpProxy Guarded;
    Guarded.RequireCredentials("ana", "s3cret:x");
    EXPECT_TRUE(Fetch(Server.Url("/sysConf.xml"), Body,
                      Proxy("127.0.0.1", std::to_string(Guarded.Port()), "ana", "s3cret:x")));
    EXPECT_EQ(Body, "<zentavo/>");
    ASSERT_EQ(Guarded.ForwardedCount(), 1u);
    EXPECT_EQ(Guarded.Requests().back().Header("Proxy-Authorization"),
              TLocalHttpProxy::BasicCredentials("ana", "s3cret:x"));
    EXPECT_EQ(Server.RequestCount(), 2u);
    EXPECT_FALSE(Server.Requests()[1].HasHeader("Proxy-Authorization")) << "credentials stay with the proxy";

    EXPECT_FALSE(Fetch(Server.Url("/sysConf.xml"), Body,
                       Proxy("127.0.0.1", std::to_string(Guarded.Port()), "ana", "wrong")));
    EXPECT_FALSE(Fetch(Server.Url("/sysConf.xml"), Body, Proxy("127.0.0.1", std::to_string(Guarded.Port()))));
    EXPECT_EQ(Body, "");
    EXPECT_EQ(Guarded.ForwardedCount(), 1u);
    // A proxy port that is no port never becomes a direct connection.
    EXPECT_FALSE(Fetch(Server.Url("/sysConf.xml"), Body, Proxy("127.0.0.1", "80a")));
    EXPECT_EQ(Server.RequestCount(), 2u);
}

// An HTTPS server with a certificate of its own (openssl s_server), which
// no certificate store on the machine vouches for.
class TUntrustedHttpsServer
{
public:
    TUntrustedHttpsServer()
    {
        FFolder = MakeScratchFolder("tls");
        const std::string Make =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout '" + FFolder +
            "/key.pem' -out '" + FFolder + "/cert.pem' >/dev/null 2>&1";
        if (std::system(Make.c_str()) != 0)
            return;
        // A port that was free a moment ago.
        const int Probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in Address{};
        Address.sin_family = AF_INET;
        Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t Length = sizeof Address;
        ::bind(Probe, reinterpret_cast<sockaddr*>(&Address), sizeof Address);
        ::getsockname(Probe, reinterpret_cast<sockaddr*>(&Address), &Length);
        FPort = ntohs(Address.sin_port);
        ::close(Probe);
        const std::string Accept = "127.0.0.1:" + std::to_string(FPort);
        const std::string Certificate = FFolder + "/cert.pem", Key = FFolder + "/key.pem";
        FProcess = ::fork();
        if (FProcess == 0) {
            ::freopen("/dev/null", "w", stdout);
            ::freopen("/dev/null", "w", stderr);
            ::execlp("openssl", "openssl", "s_server", "-accept", Accept.c_str(), "-cert",
                     Certificate.c_str(), "-key", Key.c_str(), "-www", "-quiet", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int Try = 0; Try < 200 && !FListening; ++Try) {
            const int Client = ::socket(AF_INET, SOCK_STREAM, 0);
            FListening = ::connect(Client, reinterpret_cast<sockaddr*>(&Address), sizeof Address) == 0;
            ::close(Client);
            if (!FListening)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~TUntrustedHttpsServer()
    {
        if (FProcess > 0) {
            ::kill(FProcess, SIGTERM);
            ::waitpid(FProcess, nullptr, 0);
        }
    }
    bool Listening() const { return FListening; }
    std::string Url() const { return "https://127.0.0.1:" + std::to_string(FPort) + "/"; }
    std::string CertificateFile() const { return FFolder + "/cert.pem"; }

private:
    std::string FFolder;
    std::uint16_t FPort = 0;
    pid_t FProcess = -1;
    bool FListening = false;
};

TEST_F(ConnectionCompanionTest, AnHttpsServerTheSystemsCertificatesDoNotVouchForIsRefused)
{
    TUntrustedHttpsServer Server;
    ASSERT_TRUE(Server.Listening()) << "openssl s_server did not start";
    std::string Body;
    EXPECT_FALSE(Fetch(Server.Url(), Body));
    EXPECT_EQ(Body, "");

    // The same server answers a client told to trust its certificate: the
    // refusal was the certificate's, not a dead server's.
    CURL* Client = curl_easy_init();
    ASSERT_NE(Client, nullptr);
    std::string Page;
    curl_easy_setopt(Client, CURLOPT_URL, Server.Url().c_str());
    curl_easy_setopt(Client, CURLOPT_CAINFO, Server.CertificateFile().c_str());
    curl_easy_setopt(Client, CURLOPT_TIMEOUT_MS, 4000L);
    curl_easy_setopt(
        Client, CURLOPT_WRITEFUNCTION, +[](char* Data, size_t Size, size_t Count, void* Into) {
            static_cast<std::string*>(Into)->append(Data, Size * Count);
            return Size * Count;
        });
    curl_easy_setopt(Client, CURLOPT_WRITEDATA, &Page);
    EXPECT_EQ(curl_easy_perform(Client), CURLE_OK);
    curl_easy_cleanup(Client);
    EXPECT_NE(Page.find("s_server"), std::string::npos);
}

using TOptions = TFakeBusServices::TOptions;

// timedated with its own synchronisation on or off.
TOptions TimeDate(bool Ntp, bool Synchronised = false)
{
    TOptions Options;
    Options.TimedatedNtp = Ntp;
    Options.TimedatedSynchronised = Synchronised;
    return Options;
}

TOptions Network(unsigned State, unsigned Connectivity = 4)
{
    TOptions Options;
    Options.NetworkState = State;
    Options.NetworkConnectivity = Connectivity;
    return Options;
}

// ---- SincNetworkTime ----

class ConnectionTimeTest : public ConnectionCompanionTest
{
protected:
    void StartBus(const TFakeBusServices::TOptions& Options)
    {
        FBus = std::make_unique<TPrivateBus>();
        if (!FBus->Installed())
            GTEST_SKIP() << FBus->FailureReason();
        ASSERT_TRUE(FBus->Started()) << FBus->FailureReason();
        FServices = std::make_unique<TFakeBusServices>(Options);
        ASSERT_TRUE(FServices->Started()) << FServices->FailureReason();
    }
    void RestartServices(const TFakeBusServices::TOptions& Options)
    {
        FServices.reset();
        FServices = std::make_unique<TFakeBusServices>(Options);
        ASSERT_TRUE(FServices->Started()) << FServices->FailureReason();
    }
    void TearDown() override
    {
        FServices.reset();
        FBus.reset();
        ConnectionCompanionTest::TearDown();
    }
    // The relative correction SetTime was asked for, in microseconds.
    std::vector<long long> Corrections() const
    {
        std::vector<long long> Values;
        for (const std::string& Call : FServices->CallsOf("org.freedesktop.timedate1.SetTime")) {
            long long Microseconds = 0;
            char Relative[8], Interactive[8];
            EXPECT_EQ(std::sscanf(Call.c_str(), "org.freedesktop.timedate1.SetTime %lld %7s %7s",
                                  &Microseconds, Relative, Interactive),
                      3);
            EXPECT_STREQ(Relative, "true") << Call;
            EXPECT_STREQ(Interactive, "true") << Call;
            Values.push_back(Microseconds);
        }
        return Values;
    }

    std::unique_ptr<TPrivateBus> FBus;
    std::unique_ptr<TFakeBusServices> FServices;
};

TEST_F(ConnectionTimeTest, AClockBehindOrAheadIsCorrectedByTheMeasuredOffsetWithInteractionAllowed)
{
    StartBus(TimeDate(false));
    TLocalSntpServer Server;
    for (const double Ahead : {5.25, -3.5}) {
        Server.SetClockOffset(Ahead);
        double Offset = 0;
        EXPECT_TRUE(Synchronise(Server.Address(), Offset));
        EXPECT_NEAR(Offset, Ahead, 0.05);
    }
    const std::vector<long long> Asked = Corrections();
    ASSERT_EQ(Asked.size(), 2u);
    EXPECT_NEAR(Asked[0], 5250000, 50000);
    EXPECT_NEAR(Asked[1], -3500000, 50000);
    const std::vector<uint8_t> Request = Server.LastRequest();
    ASSERT_EQ(Request.size(), 48u);
    EXPECT_EQ(Request[0], 0x23) << "version 4, client mode";
}

TEST_F(ConnectionTimeTest, ASlowServerStillGivesTheRightOffsetAndOneTooSlowFailsWithinTheTimeout)
{
    StartBus(TimeDate(false));
    TLocalSntpServer Server;
    Server.SetClockOffset(2.0);
    Server.SetDelay(600ms);
    double Offset = 0;
    EXPECT_TRUE(Synchronise(Server.Address(), Offset));
    EXPECT_NEAR(Offset, 2.0, 0.05) << "the round trip cancels out";

    Server.SetDelay(3000ms);
    const auto Start = TClock::now();
    EXPECT_FALSE(Synchronise(Server.Address(), Offset));
    EXPECT_TRUE(std::isnan(Offset));
    EXPECT_LT(Seconds(TClock::now() - Start), 2.5);
    EXPECT_EQ(Corrections().size(), 1u);
}

TEST_F(ConnectionTimeTest, AClockTheTimeServiceKeepsSynchronisedIsLeftAlone)
{
    StartBus(TimeDate(true, true));
    TLocalSntpServer Server;
    Server.SetClockOffset(0.4);
    double Offset = 0;
    EXPECT_TRUE(Synchronise(Server.Address(), Offset));
    EXPECT_NEAR(Offset, 0.4, 0.05);
    EXPECT_TRUE(Corrections().empty());
    EXPECT_EQ(FServices->CallsOf("Get org.freedesktop.timedate1 NTPSynchronized").size(), 1u);

    // Synchronised to something else, seconds away: a correction is asked
    // for, timedated refuses while its own synchronisation is on, and the
    // clock is not within a second of this server.
    Server.SetClockOffset(7.0);
    EXPECT_FALSE(Synchronise(Server.Address(), Offset));
    EXPECT_NEAR(Offset, 7.0, 0.05);
    EXPECT_EQ(Corrections().size(), 1u);
}

TEST_F(ConnectionTimeTest, EveryRejectedReplyFailsAtOnceWithoutTouchingTheClock)
{
    StartBus(TimeDate(false));
    TLocalSntpServer Server;
    Server.SetClockOffset(4.0);
    for (const TSntpAnswer Answer :
         {TSntpAnswer::WrongMode, TSntpAnswer::WrongVersion, TSntpAnswer::LeapAlarm, TSntpAnswer::StratumZero,
          TSntpAnswer::Stratum16, TSntpAnswer::KissOfDeath, TSntpAnswer::WrongOriginate,
          TSntpAnswer::ZeroTransmit, TSntpAnswer::Truncated}) {
        Server.SetAnswer(Answer);
        double Offset = 0;
        const auto Start = TClock::now();
        EXPECT_FALSE(Synchronise(Server.Address(), Offset)) << static_cast<int>(Answer);
        EXPECT_TRUE(std::isnan(Offset)) << static_cast<int>(Answer);
        EXPECT_LT(Seconds(TClock::now() - Start), 1.0) << static_cast<int>(Answer);
    }
    EXPECT_TRUE(Corrections().empty());
    EXPECT_EQ(Server.RequestCount(), 9);
}

TEST_F(ConnectionTimeTest, SilenceBadNamesAndAMissingTimeServiceFailCleanly)
{
    StartBus(TOptions());
    TLocalSntpServer Server;
    Server.SetAnswer(TSntpAnswer::Silent);
    double Offset = 0;
    auto Start = TClock::now();
    EXPECT_FALSE(Synchronise(Server.Address(), Offset));
    const double Elapsed = Seconds(TClock::now() - Start);
    EXPECT_LT(Elapsed, 2.5);
    EXPECT_GT(Elapsed, 1.5);
    for (const char* Name : {"", "127.0.0.1:", "127.0.0.1:99999", "[::1", "host:12x"})
        EXPECT_FALSE(Synchronise(Name, Offset)) << Name;
    EXPECT_FALSE(FSincNetworkTime(1, nullptr, ZTUserConnection{}, &Offset));

    // No timedated on the bus: a clock seconds off cannot be corrected; one
    // within a second counts as synchronised.
    Server.SetAnswer(TSntpAnswer::Correct);
    Server.SetClockOffset(6.0);
    EXPECT_FALSE(Synchronise(Server.Address(), Offset));
    EXPECT_NEAR(Offset, 6.0, 0.05);
    Server.SetClockOffset(0.5);
    EXPECT_TRUE(Synchronise(Server.Address(), Offset));
}

TEST_F(ConnectionTimeTest, WithoutInteractionAChangeThatNeedsThePasswordIsRefusedAtOnceAndTheOffsetKept)
{
    TOptions Options = TimeDate(false);
    Options.TimedatedAsksUser = true;
    StartBus(Options);
    TLocalSntpServer Server;
    Server.SetClockOffset(6.0);
    double Offset = 0;
    const auto Start = TClock::now();
    EXPECT_FALSE(FSincNetworkTime(0, Server.Address().c_str(), ZTUserConnection{}, &Offset))
        << "a refused correction is no synchronisation";
    EXPECT_LT(Seconds(TClock::now() - Start), 2.5) << "nobody was waited for";
    EXPECT_NEAR(Offset, 6.0, 0.05) << "the measured offset stays available";
    const std::vector<std::string> Asked = FServices->CallsOf("org.freedesktop.timedate1.SetTime");
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_NE(Asked[0].find(" true false"), std::string::npos)
        << "relative, without interaction: " << Asked[0];

    // Right after the user's OK the same change may ask for the password, and goes through.
    EXPECT_TRUE(FSincNetworkTime(1, Server.Address().c_str(), ZTUserConnection{}, &Offset));
    const std::vector<std::string> Again = FServices->CallsOf("org.freedesktop.timedate1.SetTime");
    ASSERT_EQ(Again.size(), 2u);
    EXPECT_NE(Again[1].find(" true true"), std::string::npos) << Again[1];
}

// ---- getConnectionStatus ----

class ConnectionStatusTest : public ConnectionTimeTest
{
protected:
    // Routing tables in /proc/net's form in a folder of the test's own.
    void WriteRoutes(bool Ipv4Default, bool Ipv6Default)
    {
        FRoutes = MakeScratchFolder("routes");
        std::ofstream(FRoutes + "/route")
            << "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
            << (Ipv4Default ? "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n" : "")
            << "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
        std::ofstream(FRoutes + "/ipv6_route")
            << (Ipv6Default ? "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
                              "fe800000000000000000000000000001 00000400 00000001 00000000 00000003 eth0\n"
                            : "")
            << "fe800000000000000000000000000000 40 00000000000000000000000000000000 00 "
               "00000000000000000000000000000000 00000100 00000001 00000000 00000001 eth0\n"
            << "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
               "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200 lo\n";
        ::setenv("ZENTAVO_ROUTE_FOLDER", FRoutes.c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("ZENTAVO_ROUTE_FOLDER");
        ConnectionTimeTest::TearDown();
    }
    bool TimedStatus()
    {
        const auto Start = TClock::now();
        const bool Result = FGetConnectionStatus() != 0;
        EXPECT_LT(Seconds(TClock::now() - Start), 0.1);
        return Result;
    }
    std::string FRoutes;
};

TEST_F(ConnectionStatusTest, NetworkManagersStateDecidesWhereItRuns)
{
    WriteRoutes(true, false);
    StartBus(Network(70));
    EXPECT_TRUE(TimedStatus());
    RestartServices(Network(60, 2)); // behind a portal
    EXPECT_FALSE(TimedStatus()) << "the route alone does not overrule it";
    WriteRoutes(false, false);
    RestartServices(Network(0)); // it does not know: the routes decide
    EXPECT_FALSE(TimedStatus());
    EXPECT_EQ(FServices->CallsOf("Get org.freedesktop.NetworkManager State").size(), 1u);
}

TEST_F(ConnectionStatusTest, WithoutNetworkManagerADefaultRouteMeansConnected)
{
    StartBus(TOptions());
    WriteRoutes(true, false);
    EXPECT_TRUE(TimedStatus());
    WriteRoutes(false, true);
    EXPECT_TRUE(TimedStatus());
    WriteRoutes(false, false);
    EXPECT_FALSE(TimedStatus())
        << "a local network and the loopback's unreachable entry are not the Internet";
}

// A bus daemon that accepts and never speaks once held the query for the
// whole authentication timeout, a minute and a half.
TEST_F(ConnectionStatusTest, AHungBusDaemonDoesNotHoldTheQuery)
{
    WriteRoutes(true, false);
    const std::string Path = FRoutes + "/hung-bus";
    const int Socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::snprintf(Address.sun_path, sizeof Address.sun_path, "%s", Path.c_str());
    ASSERT_EQ(::bind(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
    ASSERT_EQ(::listen(Socket, 4), 0);
    const std::string Bus = "unix:path=" + Path;
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", Bus.c_str(), 1);
    EXPECT_TRUE(TimedStatus()) << "the routes answer instead";
    ::close(Socket);
    // Never the machine's bus for what follows.
    const std::string Gone = Bus + "-gone";
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", Gone.c_str(), 1);
}

} // namespace
