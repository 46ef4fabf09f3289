#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A small HTTP/1.1 server on 127.0.0.1 for the live update's tests, which is
// also a proxy: a request for an absolute address ("GET http://host/path")
// is answered from the same table, after the proxy credentials when they
// are required. Every request is recorded.
class TUpdateServer
{
public:
    struct TRequest
    {
        std::string Path;
        bool ViaProxy = false;
        std::string ProxyAuthorization;
    };

    TUpdateServer();
    ~TUpdateServer();
    TUpdateServer(const TUpdateServer&) = delete;
    TUpdateServer& operator=(const TUpdateServer&) = delete;

    int Port() const { return FPort; }
    std::string Url(const std::string& Path) const;

    void Serve(const std::string& Path, std::string Body, int Status = 200, std::string Headers = {});
    // Promises DeclaredLength bytes, sends Body and closes.
    void ServeTruncated(const std::string& Path, std::string Body, std::size_t DeclaredLength);
    // Takes the request and never answers it.
    void Stall(const std::string& Path);
    void RequireProxyCredentials(const std::string& User, const std::string& Password);

    std::vector<TRequest> Requests() const;

private:
    struct TAnswer
    {
        int Status = 404;
        std::string Body;
        std::string Headers;
        bool Stalls = false;
        std::size_t DeclaredLength = 0;
    };

    void Accept();
    void Talk(int Connection);
    bool Answer(int Connection, const std::string& Head);

    int FListener = -1;
    int FPort = 0;
    std::atomic<bool> FStopping{false};
    mutable std::mutex FMutex;
    std::map<std::string, TAnswer> FAnswers;
    std::string FProxyAuthorization;
    std::vector<TRequest> FRequests;
    std::vector<std::thread> FConnections;
    std::thread FAcceptor;
};
