#include "UpdateServer.h"

#include <sodium.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

constexpr std::size_t LargestHead = 64 * 1024;

std::string HeaderValue(const std::string& Head, const std::string& Name)
{
    std::size_t At = 0;
    while ((At = Head.find("\r\n", At)) != std::string::npos) {
        At += 2;
        if (Head.size() - At > Name.size() &&
            strncasecmp(Head.c_str() + At, Name.c_str(), Name.size()) == 0 && Head[At + Name.size()] == ':') {
            std::size_t Start = At + Name.size() + 1;
            while (Start < Head.size() && Head[Start] == ' ')
                ++Start;
            return Head.substr(Start, Head.find("\r\n", Start) - Start);
        }
    }
    return {};
}

bool SendAll(int Connection, const std::string& Bytes)
{
    std::size_t Sent = 0;
    while (Sent < Bytes.size()) {
        const ssize_t Count = ::send(Connection, Bytes.data() + Sent, Bytes.size() - Sent, MSG_NOSIGNAL);
        if (Count <= 0)
            return false;
        Sent += static_cast<std::size_t>(Count);
    }
    return true;
}

} // namespace

TUpdateServer::TUpdateServer()
{
    FListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t Length = sizeof Address;
    if (FListener < 0 || ::bind(FListener, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0 ||
        ::listen(FListener, 16) != 0 ||
        ::getsockname(FListener, reinterpret_cast<sockaddr*>(&Address), &Length) != 0)
        throw std::runtime_error("the test server cannot listen on 127.0.0.1");
    FPort = ntohs(Address.sin_port);
    FAcceptor = std::thread([this] { Accept(); });
}

TUpdateServer::~TUpdateServer()
{
    FStopping = true;
    FAcceptor.join();
    for (std::thread& Connection : FConnections)
        Connection.join();
    ::close(FListener);
}

std::string TUpdateServer::Url(const std::string& Path) const
{
    return "http://127.0.0.1:" + std::to_string(FPort) + Path;
}

void TUpdateServer::Serve(const std::string& Path, std::string Body, int Status, std::string Headers)
{
    std::lock_guard Lock(FMutex);
    FAnswers[Path] = TAnswer{Status, std::move(Body), std::move(Headers), false, 0};
}

void TUpdateServer::ServeTruncated(const std::string& Path, std::string Body, std::size_t DeclaredLength)
{
    std::lock_guard Lock(FMutex);
    FAnswers[Path] = TAnswer{200, std::move(Body), {}, false, DeclaredLength};
}

void TUpdateServer::Stall(const std::string& Path)
{
    std::lock_guard Lock(FMutex);
    FAnswers[Path] = TAnswer{0, {}, {}, true, 0};
}

void TUpdateServer::RequireProxyCredentials(const std::string& User, const std::string& Password)
{
    const std::string Pair = User + ":" + Password;
    std::string Encoded(sodium_base64_ENCODED_LEN(Pair.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(Encoded.data(), Encoded.size(), reinterpret_cast<const unsigned char*>(Pair.data()),
                      Pair.size(), sodium_base64_VARIANT_ORIGINAL);
    Encoded.resize(Encoded.find('\0'));
    std::lock_guard Lock(FMutex);
    FProxyAuthorization = "Basic " + Encoded;
}

std::vector<TUpdateServer::TRequest> TUpdateServer::Requests() const
{
    std::lock_guard Lock(FMutex);
    return FRequests;
}

void TUpdateServer::Accept()
{
    while (!FStopping) {
        pollfd Listener{FListener, POLLIN, 0};
        if (::poll(&Listener, 1, 20) <= 0)
            continue;
        const int Connection = ::accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC);
        if (Connection >= 0)
            FConnections.emplace_back([this, Connection] {
                Talk(Connection);
                ::close(Connection);
            });
    }
}

// Requests on one connection, one after the other, until it closes.
void TUpdateServer::Talk(int Connection)
{
    std::string Received;
    while (!FStopping) {
        const std::size_t End = Received.find("\r\n\r\n");
        if (End != std::string::npos) {
            const std::string Head = Received.substr(0, End + 2);
            Received.erase(0, End + 4);
            if (!Answer(Connection, Head))
                return;
            continue;
        }
        if (Received.size() > LargestHead)
            return;
        pollfd Socket{Connection, POLLIN, 0};
        if (::poll(&Socket, 1, 20) <= 0)
            continue;
        char Buffer[4096];
        const ssize_t Count = ::recv(Connection, Buffer, sizeof Buffer, 0);
        if (Count <= 0)
            return;
        Received.append(Buffer, static_cast<std::size_t>(Count));
    }
}

bool TUpdateServer::Answer(int Connection, const std::string& Head)
{
    const std::size_t Space = Head.find(' ');
    const std::size_t Second = Head.find(' ', Space + 1);
    if (Space == std::string::npos || Second == std::string::npos)
        return false;
    TRequest Request;
    Request.Path = Head.substr(Space + 1, Second - Space - 1);
    if (Request.Path.rfind("http://", 0) == 0) {
        Request.ViaProxy = true;
        const std::size_t Slash = Request.Path.find('/', 7);
        Request.Path = Slash == std::string::npos ? "/" : Request.Path.substr(Slash);
    }
    Request.ProxyAuthorization = HeaderValue(Head, "Proxy-Authorization");
    TAnswer Answer;
    {
        std::lock_guard Lock(FMutex);
        FRequests.push_back(Request);
        if (Request.ViaProxy && !FProxyAuthorization.empty() &&
            Request.ProxyAuthorization != FProxyAuthorization)
            Answer = TAnswer{407, {}, "Proxy-Authenticate: Basic realm=\"updates\"\r\n", false, 0};
        else if (const auto Found = FAnswers.find(Request.Path); Found != FAnswers.end())
            Answer = Found->second;
    }
    if (Answer.Stalls) {
        while (!FStopping)
            ::usleep(10000);
        return false;
    }
    const std::size_t Declared = Answer.DeclaredLength != 0 ? Answer.DeclaredLength : Answer.Body.size();
    // A truncated answer ends with the connection.
    return SendAll(Connection, "HTTP/1.1 " + std::to_string(Answer.Status) +
                                   " Test\r\nContent-Length: " + std::to_string(Declared) + "\r\n" +
                                   Answer.Headers + "\r\n" + Answer.Body) &&
           Answer.DeclaredLength == 0;
}
