#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace Zentavo::Testing {

// What the local HTTP server answers for one path.
struct THttpResponse
{
    int Status = 200;
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    // Before the first byte of the answer.
    std::chrono::milliseconds Delay{0};
    // Reads the request and then holds the connection open, silent, until the
    // server stops: a dead server that still accepts.
    bool NeverAnswer = false;
    // Sends the head and half the body, then stalls like NeverAnswer.
    bool StallInBody = false;

    static THttpResponse Text(std::string Body, int Status = 200)
    {
        THttpResponse Response;
        Response.Status = Status;
        Response.Body = std::move(Body);
        return Response;
    }
    static THttpResponse Redirect(std::string Location, int Status = 302)
    {
        THttpResponse Response;
        Response.Status = Status;
        Response.Headers.emplace_back("Location", std::move(Location));
        return Response;
    }
    static THttpResponse Silent()
    {
        THttpResponse Response;
        Response.NeverAnswer = true;
        return Response;
    }
};

} // namespace Zentavo::Testing
