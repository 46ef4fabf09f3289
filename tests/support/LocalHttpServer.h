#pragma once

#include "HttpMessage.h"
#include "HttpResponse.h"
#include "LocalTcpServer.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Zentavo::Testing {

// An HTTP/1.1 server on 127.0.0.1 for tests, answering each path with a
// scripted response and recording every request it reads. Each answer closes
// its connection. Unknown paths get 404.
//
//     TLocalHttpServer Server;
//     Server.SetResponse("/sysConf.xml", THttpResponse::Text("<zentavo/>"));
//     Server.SetResponse("/old", THttpResponse::Redirect(Server.Url("/sysConf.xml")));
//     Server.SetResponse("/dead", THttpResponse::Silent());
//     ... fetch Server.Url("/old") ...
//     EXPECT_EQ(Server.Requests().at(0).Target(), "/old");
class TLocalHttpServer : public TLocalTcpServer
{
public:
    TLocalHttpServer();
    ~TLocalHttpServer() override;

    // "http://127.0.0.1:<port><Path>"
    std::string Url(const std::string& Path) const;
    // The answer for requests whose target is exactly Path (query included).
    void SetResponse(const std::string& Path, THttpResponse Response);
    // Every request read so far, in order of arrival.
    std::vector<THttpMessage> Requests() const;
    std::size_t RequestCount() const;

protected:
    void Serve(int Socket) override;

private:
    mutable std::mutex FDataLock;
    std::map<std::string, THttpResponse> FResponses;
    std::vector<THttpMessage> FRequests;
};

// The status line's reason for the codes the tests use.
std::string HttpReason(int Status);

} // namespace Zentavo::Testing
