#pragma once

#include "ProxySettings.h"

#include <chrono>
#include <cstddef>
#include <string>

struct ZTUserConnection;

namespace Connection {

using TProxySettings = ::TProxySettings;

// The clock calls from its user-interface thread: everything together must
// stay within a few seconds.
struct TFetchLimits
{
    std::chrono::milliseconds ConnectTimeout{2500};
    std::chrono::milliseconds TotalTimeout{4000};
    std::size_t MaximumBody = 2 * 1024 * 1024;
    long MaximumRedirects = 5;
};

// GETs Url (http or https, the system's certificate store) into Body. False
// on any failure, an HTTP status other than 2xx at the end of the redirects
// included; Body is then empty.
bool Fetch(const std::string& Url, const TProxySettings& Proxy, std::string& Body,
           const TFetchLimits& Limits = {});

} // namespace Connection
