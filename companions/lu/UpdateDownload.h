#pragma once

#include "ProxySettings.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace Updates {

using TProxy = ::TProxySettings;

struct TDownloadLimits
{
    std::size_t LargestBody = 64u << 20;
    std::chrono::milliseconds ConnectTimeout{3000};
    // A server that sends nothing for this long is given up.
    std::chrono::milliseconds StallTimeout{3000};
    std::chrono::milliseconds TotalTimeout{15000};
};

// The body of Url over HTTP or HTTPS (system certificates, at most three
// redirects, through Proxy); none on any failure, an HTTP error status or a
// body larger than the limit included.
std::optional<std::string> Download(const std::string& Url, const TProxy& Proxy,
                                    const TDownloadLimits& Limits);

} // namespace Updates
