#pragma once

#include <string>

struct ZTUserConnection;
typedef void CURL;

// The one proxy rule of every companion that goes on the network. The proxy of
// the clock's settings when it names a server: its port, when given, a number
// from 1 to 65535, and its user and password for whatever scheme the proxy asks
// for. Without a server, the desktop's proxy variables (http_proxy, https_proxy,
// all_proxy, no_proxy and their capitals) as libcurl reads them.
struct TProxySettings
{
    std::string Server;
    std::string Port;
    std::string User;
    std::string Password;

    static TProxySettings FromRecord(const ZTUserConnection& Record);

    // Sets the proxy of Handle. False when the settings cannot be followed (a port
    // that is no port): the request must not go out at all, least of all directly.
    bool ApplyTo(CURL* Handle) const;
};
