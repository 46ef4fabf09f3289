#pragma once

#include "HttpMessage.h"
#include "LocalTcpServer.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Zentavo::Testing {

// A plain HTTP proxy on 127.0.0.1 for tests: it records every request that
// reaches it (Proxy-Authorization included) and forwards those for
// 127.0.0.1 or localhost to their server; any other destination gets 502, so
// nothing a test does leaves the machine. With credentials set, a request
// without the matching Basic Proxy-Authorization gets 407.
//
//     TLocalHttpServer Server;
//     TLocalHttpProxy Proxy;
//     Proxy.RequireCredentials("ana", "s3cret");
//     ... fetch Server.Url("/x") through 127.0.0.1:Proxy.Port() ...
//     EXPECT_EQ(Proxy.ForwardedCount(), 1u);
class TLocalHttpProxy : public TLocalTcpServer
{
public:
    TLocalHttpProxy();
    ~TLocalHttpProxy() override;

    void RequireCredentials(const std::string& User, const std::string& Password);
    // Every request the proxy read, in order, as it arrived.
    std::vector<THttpMessage> Requests() const;
    // Requests that passed the credentials check and went on to their server.
    std::size_t ForwardedCount() const;

    // "Basic <base64 of User:Password>"
    static std::string BasicCredentials(const std::string& User, const std::string& Password);

protected:
    void Serve(int Socket) override;

private:
    mutable std::mutex FDataLock;
    std::optional<std::string> FRequired;
    std::vector<THttpMessage> FRequests;
    std::size_t FForwarded = 0;
};

} // namespace Zentavo::Testing
