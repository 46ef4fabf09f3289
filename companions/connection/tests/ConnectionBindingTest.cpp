// connection.so as the program reaches it: copied into the working folder,
// loaded by the program's own loader and called through THTTPConnection,
// against local servers and fake services on a private bus.
#include "FakeBusServices.h"
#include "LocalHttpProxy.h"
#include "LocalHttpServer.h"
#include "LocalSntpServer.h"
#include "platform/LinuxLibraryLoader.h"
#include "platform/testing/FakeSound.h"
#include "PrivateBus.h"
#include "services/HTTPConnection.h"
#include "state/UserConnection.h"

#include <gtest/gtest.h>
#include <QByteArray>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace Zentavo::Testing;
using TClock = std::chrono::steady_clock;

class ConnectionBindingTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* Name :
             {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            ::unsetenv(Name);
        std::filesystem::copy_file(ZENTAVO_CONNECTION_LIBRARY, "connection.so",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions("connection.so", std::filesystem::perms::owner_all);
    }

    Platform::TLinuxLibraryLoader FLoader;
    Platform::TFakeSound FSound;
    THTTPConnection FConnection{FLoader, FSound};
};

TEST_F(ConnectionBindingTest, TheDocumentComesThroughTheSettingsProxyWithItsCredentials)
{
    TLocalHttpServer Server;
    Server.SetResponse("/zentavo/sysConf.xml", THttpResponse::Text("<?xml version=\"1.0\"?><zentavo/>"));
    Server.SetResponse("/zentavo/missing.xml", THttpResponse::Text("no", 404));
    TLocalHttpProxy Proxy;
    Proxy.RequireCredentials("joao", "senha");
    TUserConnection Connection;
    Connection.SetProxyServer("127.0.0.1");
    Connection.SetProxyPort(std::to_string(Proxy.Port()));
    Connection.SetProxyUser("joao");
    Connection.SetProxyPass("senha");

    QByteArray Body;
    EXPECT_TRUE(FConnection.HTTPRequest(Server.Url("/zentavo/sysConf.xml"), Connection, Body));
    EXPECT_EQ(Body.toStdString(), "<?xml version=\"1.0\"?><zentavo/>");
    EXPECT_EQ(Proxy.ForwardedCount(), 1u);
    EXPECT_EQ(Proxy.Requests().back().Header("Proxy-Authorization"),
              TLocalHttpProxy::BasicCredentials("joao", "senha"));

    QByteArray Failed;
    EXPECT_FALSE(FConnection.HTTPRequest(Server.Url("/zentavo/missing.xml"), Connection, Failed));
    EXPECT_TRUE(Failed.isEmpty());
    Connection.SetProxyPass("errada");
    EXPECT_FALSE(FConnection.HTTPRequest(Server.Url("/zentavo/sysConf.xml"), Connection, Failed));
    EXPECT_EQ(Server.RequestCount(), 2u);
}

TEST_F(ConnectionBindingTest, ADeadServerKeepsTheProgramOnlyForTheTimeout)
{
    TLocalHttpServer Server;
    Server.SetResponse("/sysConf.xml", THttpResponse::Silent());
    QByteArray Body;
    const auto Start = TClock::now();
    EXPECT_FALSE(FConnection.HTTPRequest(Server.Url("/sysConf.xml"), TUserConnection(), Body));
    EXPECT_LT(std::chrono::duration<double>(TClock::now() - Start).count(), 5.0);
}

TEST_F(ConnectionBindingTest, TheTimeTaskAndTheConnectionQueryUseTheDesktopsServices)
{
    TPrivateBus Bus;
    if (!Bus.Installed())
        GTEST_SKIP() << Bus.FailureReason();
    ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
    TFakeBusServices::TOptions Options;
    Options.TimedatedNtp = false;
    Options.NetworkState = 70;
    TFakeBusServices Services(Options);
    ASSERT_TRUE(Services.Started()) << Services.FailureReason();

    EXPECT_TRUE(FConnection.getConnectionStatus());
    EXPECT_EQ(FSound.Beeps(), 1);

    TLocalSntpServer Server;
    Server.SetClockOffset(-8.0);
    EXPECT_TRUE(FConnection.SincNetworkTime(Server.Address(), TUserConnection(), true));
    const std::vector<std::string> Calls = Services.CallsOf("org.freedesktop.timedate1.SetTime");
    ASSERT_EQ(Calls.size(), 1u);
    long long Microseconds = 0;
    ASSERT_EQ(std::sscanf(Calls[0].c_str(), "org.freedesktop.timedate1.SetTime %lld", &Microseconds), 1);
    EXPECT_NEAR(Microseconds, -8000000, 50000);
    EXPECT_NE(Calls[0].find(" true true"), std::string::npos) << Calls[0];

    Server.SetAnswer(TSntpAnswer::KissOfDeath);
    EXPECT_FALSE(FConnection.SincNetworkTime(Server.Address(), TUserConnection(), true));
    EXPECT_EQ(Services.CallsOf("org.freedesktop.timedate1.SetTime").size(), 1u);
}

} // namespace
