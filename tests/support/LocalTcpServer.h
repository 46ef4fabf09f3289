#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace Zentavo::Testing {

// A TCP listener on 127.0.0.1 with a port the system picks, which hands each
// accepted connection to Serve on a thread of its own; the base of the local
// HTTP server and proxy. A derived class calls Start at the end of its
// constructor and Stop at the start of its destructor, so that no connection
// runs while its members go.
class TLocalTcpServer
{
public:
    TLocalTcpServer();
    virtual ~TLocalTcpServer();
    TLocalTcpServer(const TLocalTcpServer&) = delete;
    TLocalTcpServer& operator=(const TLocalTcpServer&) = delete;

    std::uint16_t Port() const { return FPort; }
    // Connections accepted so far.
    int ConnectionCount() const { return FConnectionCount; }

protected:
    void Start();
    void Stop();
    // Answers one connection; the socket is closed afterwards.
    virtual void Serve(int Socket) = 0;
    // Sleeps for Duration; false when the server stops first.
    bool Wait(std::chrono::milliseconds Duration);
    const std::atomic<bool>& Stopping() const { return FStopping; }

private:
    void Accept();

    int FListener = -1;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStopping = false;
    std::atomic<int> FConnectionCount = 0;
    std::thread FAcceptor;
    std::mutex FLock;
    std::condition_variable FStopped;
    std::vector<std::thread> FConnections;
};

} // namespace Zentavo::Testing
