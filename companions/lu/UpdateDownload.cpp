#include "UpdateDownload.h"

#include <curl/curl.h>

#include <memory>

namespace Updates {

namespace {

struct TBody
{
    std::string Bytes;
    std::size_t Largest = 0;
    bool TooLarge = false;
};

std::size_t Receive(char* Data, std::size_t Size, std::size_t Count, void* Context)
{
    auto& Body = *static_cast<TBody*>(Context);
    const std::size_t Length = Size * Count;
    if (Length > Body.Largest - Body.Bytes.size()) {
        Body.TooLarge = true;
        return 0; // ends the transfer with an error
    }
    try {
        Body.Bytes.append(Data, Length);
    } catch (...) {
        return 0;
    }
    return Length;
}

struct TCurlDeleter
{
    void operator()(CURL* Handle) const { curl_easy_cleanup(Handle); }
};

} // namespace

std::optional<std::string> Download(const std::string& Url, const TProxy& Proxy,
                                    const TDownloadLimits& Limits)
{
    std::unique_ptr<CURL, TCurlDeleter> Handle(curl_easy_init());
    if (!Handle)
        return std::nullopt;
    CURL* Curl = Handle.get();
    TBody Body;
    Body.Largest = Limits.LargestBody;
    bool Ready = curl_easy_setopt(Curl, CURLOPT_URL, Url.c_str()) == CURLE_OK;
    const auto Set = [&](CURLoption Option, auto Value) {
        Ready = Ready && curl_easy_setopt(Curl, Option, Value) == CURLE_OK;
    };
    Set(CURLOPT_PROTOCOLS_STR, "http,https");
    Set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    Set(CURLOPT_FOLLOWLOCATION, 1L);
    Set(CURLOPT_MAXREDIRS, 3L);
    Set(CURLOPT_FAILONERROR, 1L);
    Set(CURLOPT_NOSIGNAL, 1L);
    Set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(Limits.ConnectTimeout.count()));
    Set(CURLOPT_TIMEOUT_MS, static_cast<long>(Limits.TotalTimeout.count()));
    Set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    Set(CURLOPT_LOW_SPEED_TIME, static_cast<long>((Limits.StallTimeout.count() + 999) / 1000));
    Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(Limits.LargestBody));
    Set(CURLOPT_WRITEFUNCTION, &Receive);
    Set(CURLOPT_WRITEDATA, static_cast<void*>(&Body));
    Ready = Ready && Proxy.ApplyTo(Curl);
    if (!Ready || curl_easy_perform(Curl) != CURLE_OK || Body.TooLarge)
        return std::nullopt;
    long Status = 0;
    curl_easy_getinfo(Curl, CURLINFO_RESPONSE_CODE, &Status);
    // Redirects followed, only a success status counts.
    if (Status < 200 || Status >= 300)
        return std::nullopt;
    return std::move(Body.Bytes);
}

} // namespace Updates
