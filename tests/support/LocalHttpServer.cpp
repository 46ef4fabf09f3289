#include "LocalHttpServer.h"

#include <sys/socket.h>

namespace Zentavo::Testing {

std::string HttpReason(int Status)
{
    switch (Status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 407:
        return "Proxy Authentication Required";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

TLocalHttpServer::TLocalHttpServer()
{
    Start();
}

TLocalHttpServer::~TLocalHttpServer()
{
    Stop();
}

std::string TLocalHttpServer::Url(const std::string& Path) const
{
    return "http://127.0.0.1:" + std::to_string(Port()) + Path;
}

void TLocalHttpServer::SetResponse(const std::string& Path, THttpResponse Response)
{
    std::lock_guard Guard(FDataLock);
    FResponses[Path] = std::move(Response);
}

std::vector<THttpMessage> TLocalHttpServer::Requests() const
{
    std::lock_guard Guard(FDataLock);
    return FRequests;
}

std::size_t TLocalHttpServer::RequestCount() const
{
    std::lock_guard Guard(FDataLock);
    return FRequests.size();
}

void TLocalHttpServer::Serve(int Socket)
{
    THttpMessage Request;
    if (!ReadHttpMessage(Socket, Request, Stopping()))
        return;
    THttpResponse Response = THttpResponse::Text("not found\n", 404);
    {
        std::lock_guard Guard(FDataLock);
        FRequests.push_back(Request);
        const auto Found = FResponses.find(Request.Target());
        if (Found != FResponses.end())
            Response = Found->second;
    }
    if (Response.NeverAnswer) {
        Wait(std::chrono::hours(1));
        return;
    }
    if (Response.Delay.count() > 0 && !Wait(Response.Delay))
        return;
    std::string Head =
        "HTTP/1.1 " + std::to_string(Response.Status) + " " + HttpReason(Response.Status) + "\r\n";
    for (const auto& [Name, Value] : Response.Headers)
        Head += Name + ": " + Value + "\r\n";
    Head += "Content-Length: " + std::to_string(Response.Body.size()) + "\r\nConnection: close\r\n\r\n";
    if (Response.StallInBody) {
        SendAll(Socket, Head + Response.Body.substr(0, Response.Body.size() / 2));
        Wait(std::chrono::hours(1));
        return;
    }
    if (Request.Method() == "HEAD")
        SendAll(Socket, Head);
    else
        SendAll(Socket, Head + Response.Body);
    ::shutdown(Socket, SHUT_WR);
}

} // namespace Zentavo::Testing
