#include "HttpMessage.h"

#include <poll.h>
#include <strings.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>

namespace Zentavo::Testing {

namespace {

constexpr std::size_t HeadLimit = 64 * 1024;

// Waits for input, waking regularly to look at Stop; false when stopped.
bool WaitReadable(int Socket, const std::atomic<bool>& Stop)
{
    while (!Stop) {
        pollfd Poll{Socket, POLLIN, 0};
        const int Ready = ::poll(&Poll, 1, 20);
        if (Ready > 0)
            return true;
        if (Ready < 0 && errno != EINTR)
            return false;
    }
    return false;
}

std::string Trim(const std::string& Text)
{
    const std::size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return {};
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

} // namespace

std::string THttpMessage::Header(const std::string& Name) const
{
    for (const auto& [Key, Value] : Headers)
        if (::strcasecmp(Key.c_str(), Name.c_str()) == 0)
            return Value;
    return {};
}

bool THttpMessage::HasHeader(const std::string& Name) const
{
    for (const auto& Entry : Headers)
        if (::strcasecmp(Entry.first.c_str(), Name.c_str()) == 0)
            return true;
    return false;
}

std::string THttpMessage::Method() const
{
    return StartLine.substr(0, StartLine.find(' '));
}

std::string THttpMessage::Target() const
{
    const std::size_t First = StartLine.find(' ');
    if (First == std::string::npos)
        return {};
    const std::size_t Second = StartLine.find(' ', First + 1);
    return StartLine.substr(First + 1, Second == std::string::npos ? std::string::npos : Second - First - 1);
}

bool ReadHttpMessage(int Socket, THttpMessage& Message, const std::atomic<bool>& Stop)
{
    std::string Data;
    std::size_t HeadEnd = std::string::npos;
    char Buffer[4096];
    while ((HeadEnd = Data.find("\r\n\r\n")) == std::string::npos) {
        if (Data.size() > HeadLimit || !WaitReadable(Socket, Stop))
            return false;
        const ssize_t Count = ::recv(Socket, Buffer, sizeof Buffer, 0);
        if (Count <= 0)
            return false;
        Data.append(Buffer, static_cast<std::size_t>(Count));
    }
    Message = {};
    std::size_t LineStart = 0;
    bool First = true;
    while (LineStart < HeadEnd) {
        std::size_t LineEnd = Data.find("\r\n", LineStart);
        const std::string Line = Data.substr(LineStart, LineEnd - LineStart);
        LineStart = LineEnd + 2;
        if (First) {
            Message.StartLine = Line;
            First = false;
            continue;
        }
        const std::size_t Colon = Line.find(':');
        if (Colon == std::string::npos)
            return false;
        Message.Headers.emplace_back(Trim(Line.substr(0, Colon)), Trim(Line.substr(Colon + 1)));
    }
    Message.Body = Data.substr(HeadEnd + 4);
    const std::size_t Length = std::strtoul(Message.Header("Content-Length").c_str(), nullptr, 10);
    while (Message.Body.size() < Length) {
        if (!WaitReadable(Socket, Stop))
            return false;
        const ssize_t Count = ::recv(Socket, Buffer, sizeof Buffer, 0);
        if (Count <= 0)
            return false;
        Message.Body.append(Buffer, static_cast<std::size_t>(Count));
    }
    Message.Body.resize(Length);
    return true;
}

bool SendAll(int Socket, const std::string& Data)
{
    std::size_t Sent = 0;
    while (Sent < Data.size()) {
        const ssize_t Count = ::send(Socket, Data.data() + Sent, Data.size() - Sent, MSG_NOSIGNAL);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count <= 0)
            return false;
        Sent += static_cast<std::size_t>(Count);
    }
    return true;
}

} // namespace Zentavo::Testing
