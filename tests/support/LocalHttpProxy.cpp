#include "LocalHttpProxy.h"

#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace Zentavo::Testing {

namespace {

void Answer(int Socket, int Status, const std::string& Extra = {})
{
    const std::string Body = HttpReason(Status) + "\n";
    SendAll(Socket, "HTTP/1.1 " + std::to_string(Status) + " " + HttpReason(Status) + "\r\n" + Extra +
                        "Content-Length: " + std::to_string(Body.size()) + "\r\nConnection: close\r\n\r\n" +
                        Body);
}

} // namespace

TLocalHttpProxy::TLocalHttpProxy()
{
    Start();
}

TLocalHttpProxy::~TLocalHttpProxy()
{
    Stop();
}

std::string TLocalHttpProxy::BasicCredentials(const std::string& User, const std::string& Password)
{
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string Plain = User + ":" + Password;
    std::string Encoded;
    for (std::size_t Index = 0; Index < Plain.size(); Index += 3) {
        unsigned Group = static_cast<unsigned char>(Plain[Index]) << 16;
        if (Index + 1 < Plain.size())
            Group |= static_cast<unsigned char>(Plain[Index + 1]) << 8;
        if (Index + 2 < Plain.size())
            Group |= static_cast<unsigned char>(Plain[Index + 2]);
        Encoded += Alphabet[(Group >> 18) & 63];
        Encoded += Alphabet[(Group >> 12) & 63];
        Encoded += Index + 1 < Plain.size() ? Alphabet[(Group >> 6) & 63] : '=';
        Encoded += Index + 2 < Plain.size() ? Alphabet[Group & 63] : '=';
    }
    return "Basic " + Encoded;
}

void TLocalHttpProxy::RequireCredentials(const std::string& User, const std::string& Password)
{
    std::lock_guard Guard(FDataLock);
    FRequired = BasicCredentials(User, Password);
}

std::vector<THttpMessage> TLocalHttpProxy::Requests() const
{
    std::lock_guard Guard(FDataLock);
    return FRequests;
}

std::size_t TLocalHttpProxy::ForwardedCount() const
{
    std::lock_guard Guard(FDataLock);
    return FForwarded;
}

void TLocalHttpProxy::Serve(int Socket)
{
    THttpMessage Request;
    if (!ReadHttpMessage(Socket, Request, Stopping()))
        return;
    {
        std::lock_guard Guard(FDataLock);
        FRequests.push_back(Request);
        if (FRequired && Request.Header("Proxy-Authorization") != *FRequired) {
            Answer(Socket, 407, "Proxy-Authenticate: Basic realm=\"zentavo-test\"\r\n");
            return;
        }
    }
    // Only absolute http targets on this machine: "http://127.0.0.1:port/path".
    const std::string Target = Request.Target();
    const std::string Scheme = "http://";
    if (Target.compare(0, Scheme.size(), Scheme) != 0) {
        Answer(Socket, 405);
        return;
    }
    const std::size_t PathStart = Target.find('/', Scheme.size());
    const std::string Authority = Target.substr(Scheme.size(), PathStart - Scheme.size());
    const std::string Path = PathStart == std::string::npos ? "/" : Target.substr(PathStart);
    const std::size_t Colon = Authority.rfind(':');
    const std::string Host = Authority.substr(0, Colon);
    const int Port = Colon == std::string::npos ? 80 : std::atoi(Authority.c_str() + Colon + 1);
    if ((Host != "127.0.0.1" && Host != "localhost") || Port <= 0 || Port > 65535) {
        Answer(Socket, 502);
        return;
    }
    const int Upstream = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Address.sin_port = htons(static_cast<std::uint16_t>(Port));
    if (Upstream < 0 || ::connect(Upstream, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0) {
        if (Upstream >= 0)
            ::close(Upstream);
        Answer(Socket, 502);
        return;
    }
    {
        std::lock_guard Guard(FDataLock);
        ++FForwarded;
    }
    std::string Forward = Request.Method() + " " + Path + " HTTP/1.1\r\n";
    for (const auto& [Name, Value] : Request.Headers)
        if (::strncasecmp(Name.c_str(), "Proxy-", 6) != 0 && ::strcasecmp(Name.c_str(), "Connection") != 0)
            Forward += Name + ": " + Value + "\r\n";
    Forward += "Connection: close\r\n\r\n" + Request.Body;
    SendAll(Upstream, Forward);
    // The server closes after its answer; relay until then.
    char Buffer[8192];
    while (!Stopping()) {
        pollfd Poll{Upstream, POLLIN, 0};
        if (::poll(&Poll, 1, 20) <= 0)
            continue;
        const ssize_t Count = ::recv(Upstream, Buffer, sizeof Buffer, 0);
        if (Count <= 0 || !SendAll(Socket, std::string(Buffer, static_cast<std::size_t>(Count))))
            break;
    }
    ::close(Upstream);
    ::shutdown(Socket, SHUT_WR);
}

} // namespace Zentavo::Testing
