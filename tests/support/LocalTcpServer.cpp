#include "LocalTcpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace Zentavo::Testing {

TLocalTcpServer::TLocalTcpServer()
{
    FListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (FListener < 0)
        throw std::runtime_error("no socket for the local server");
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t Length = sizeof Address;
    if (::bind(FListener, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0 ||
        ::listen(FListener, 64) != 0 ||
        ::getsockname(FListener, reinterpret_cast<sockaddr*>(&Address), &Length) != 0) {
        ::close(FListener);
        throw std::runtime_error("the local server cannot listen on 127.0.0.1");
    }
    FPort = ntohs(Address.sin_port);
}

TLocalTcpServer::~TLocalTcpServer()
{
    Stop();
    if (FListener >= 0)
        ::close(FListener);
}

void TLocalTcpServer::Start()
{
    FAcceptor = std::thread([this] { Accept(); });
}

void TLocalTcpServer::Stop()
{
    {
        std::lock_guard Guard(FLock);
        FStopping = true;
    }
    FStopped.notify_all();
    if (FAcceptor.joinable())
        FAcceptor.join();
    for (std::thread& Connection : FConnections)
        Connection.join();
    FConnections.clear();
}

bool TLocalTcpServer::Wait(std::chrono::milliseconds Duration)
{
    std::unique_lock Guard(FLock);
    return !FStopped.wait_for(Guard, Duration, [this] { return FStopping.load(); });
}

void TLocalTcpServer::Accept()
{
    while (!FStopping) {
        pollfd Poll{FListener, POLLIN, 0};
        if (::poll(&Poll, 1, 20) <= 0)
            continue;
        const int Socket = ::accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC);
        if (Socket < 0)
            continue;
        ++FConnectionCount;
        std::lock_guard Guard(FLock);
        FConnections.emplace_back([this, Socket] {
            try {
                Serve(Socket);
            } catch (...) {
                // A test server's failure shows as the client's failure.
            }
            ::close(Socket);
        });
    }
}

} // namespace Zentavo::Testing
