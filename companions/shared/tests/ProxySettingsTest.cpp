#include "ProxySettings.h"

#include "LocalHttpProxy.h"
#include "LocalHttpServer.h"
#include "zentavo_companion.h"

#include <gtest/gtest.h>

#include <curl/curl.h>

#include <cstdlib>
#include <cstring>

using Zentavo::Testing::THttpResponse;
using Zentavo::Testing::TLocalHttpProxy;
using Zentavo::Testing::TLocalHttpServer;

namespace {

size_t Discard(char*, size_t Size, size_t Count, void*)
{
    return Size * Count;
}

// One GET of Url as a companion makes it: false when the rule refused or the request failed.
bool Get(const std::string& Url, const TProxySettings& Proxy)
{
    CURL* Handle = curl_easy_init();
    if (Handle == nullptr)
        return false;
    curl_easy_setopt(Handle, CURLOPT_URL, Url.c_str());
    curl_easy_setopt(Handle, CURLOPT_WRITEFUNCTION, &Discard);
    curl_easy_setopt(Handle, CURLOPT_TIMEOUT_MS, 3000L);
    bool Done = Proxy.ApplyTo(Handle) && curl_easy_perform(Handle) == CURLE_OK;
    long Status = 0;
    curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &Status);
    curl_easy_cleanup(Handle);
    return Done && Status == 200;
}

void SetText(ZTShortText& Short, const std::string& Value)
{
    Short.Length = static_cast<uint8_t>(Value.size());
    std::memcpy(Short.Characters, Value.data(), Value.size());
}

class ProxySettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* Name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy",
                                 "ALL_PROXY", "no_proxy", "NO_PROXY"})
            unsetenv(Name);
        Server.SetResponse("/page", THttpResponse::Text("page"));
    }
    void TearDown() override { unsetenv("http_proxy"); }

    TLocalHttpServer Server;
};

TEST_F(ProxySettingsTest, TheRecordsTextsAreReadWhole)
{
    ZTUserConnection Record;
    std::memset(&Record, 0, sizeof Record);
    SetText(Record.ProxyServer, "proxy.example");
    SetText(Record.ProxyPort, "3128");
    SetText(Record.ProxyUser, "ana");
    SetText(Record.ProxyPass, std::string(255, 'p'));
    const TProxySettings Settings = TProxySettings::FromRecord(Record);
    EXPECT_EQ(Settings.Server, "proxy.example");
    EXPECT_EQ(Settings.Port, "3128");
    EXPECT_EQ(Settings.User, "ana");
    EXPECT_EQ(Settings.Password, std::string(255, 'p'));
}

TEST_F(ProxySettingsTest, TheSettingsProxyCarriesTheRequestWithItsCredentialsBeforeTheEnvironments)
{
    TLocalHttpProxy Named;
    Named.RequireCredentials("ana", "s3cret:x");
    TLocalHttpProxy Desktops;
    setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(Desktops.Port())).c_str(), 1);
    EXPECT_TRUE(Get(Server.Url("/page"), {"127.0.0.1", std::to_string(Named.Port()), "ana", "s3cret:x"}));
    ASSERT_EQ(Named.ForwardedCount(), 1u);
    EXPECT_EQ(Named.Requests().back().Header("Proxy-Authorization"),
              TLocalHttpProxy::BasicCredentials("ana", "s3cret:x"));
    EXPECT_TRUE(Desktops.Requests().empty());
    EXPECT_FALSE(Server.Requests().back().HasHeader("Proxy-Authorization"))
        << "credentials stay with the proxy";
}

TEST_F(ProxySettingsTest, WithoutAServerTheDesktopsProxyVariablesDecide)
{
    EXPECT_TRUE(Get(Server.Url("/page"), {}));
    EXPECT_EQ(Server.RequestCount(), 1u) << "no variable: a direct request";

    TLocalHttpProxy Desktops;
    setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(Desktops.Port())).c_str(), 1);
    EXPECT_TRUE(Get(Server.Url("/page"), {}));
    EXPECT_EQ(Desktops.ForwardedCount(), 1u);
    // A port alone, with no server, is no proxy of the settings.
    EXPECT_TRUE(Get(Server.Url("/page"), {"", "8080", "ana", "x"}));
    EXPECT_EQ(Desktops.ForwardedCount(), 2u);
    setenv("no_proxy", "127.0.0.1", 1);
    EXPECT_TRUE(Get(Server.Url("/page"), {}));
    unsetenv("no_proxy");
    EXPECT_EQ(Desktops.ForwardedCount(), 2u) << "no_proxy is honoured";
}

TEST_F(ProxySettingsTest, APortThatIsNoPortRefusesTheRequestAndAGoodOneIsUsed)
{
    TLocalHttpProxy Named;
    const std::string Port = std::to_string(Named.Port());
    // The port also written into the server: a port that is ignored would still reach the proxy.
    const std::string Address = "127.0.0.1:" + Port;
    for (const char* Bad : {"80a", "0", "65536", "-1", "1e3", "0x50", "123456"}) {
        EXPECT_FALSE(Get(Server.Url("/page"), {Address, Bad, "", ""})) << Bad;
    }
    EXPECT_TRUE(Named.Requests().empty());
    EXPECT_EQ(Server.RequestCount(), 0u) << "nothing went around the proxy";
    EXPECT_TRUE(Get(Server.Url("/page"), {"127.0.0.1", " " + Port + " ", "", ""}))
        << "spaces around it are fine";
    EXPECT_TRUE(Get(Server.Url("/page"), {Address, "", "", ""})) << "no port: the server's own";
    EXPECT_EQ(Named.ForwardedCount(), 2u);
}

} // namespace
