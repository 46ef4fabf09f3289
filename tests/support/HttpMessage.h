#pragma once

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace Zentavo::Testing {

// One HTTP/1.1 request or response head with its body, as the local test
// servers read and record it.
struct THttpMessage
{
    std::string StartLine; // "GET /path HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;

    // The first header of that name (letter case ignored), "" when absent.
    std::string Header(const std::string& Name) const;
    bool HasHeader(const std::string& Name) const;
    // The words of a request's start line.
    std::string Method() const;
    std::string Target() const;
};

// Reads one message (head, then a Content-Length body) from a connected
// socket; false at the end of the stream, on a malformed head, or once Stop
// is set (checked every few milliseconds).
bool ReadHttpMessage(int Socket, THttpMessage& Message, const std::atomic<bool>& Stop);
// Sends all of Data; false when the peer went away.
bool SendAll(int Socket, const std::string& Data);

} // namespace Zentavo::Testing
