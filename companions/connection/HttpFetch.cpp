#include "HttpFetch.h"

#include "zentavo_companion.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdlib>

namespace Connection {

namespace {

struct TReceiver
{
    std::string* Body;
    std::size_t Limit;
    bool Overflowed = false;
};

size_t Receive(char* Data, size_t Size, size_t Count, void* Context)
{
    TReceiver& Receiver = *static_cast<TReceiver*>(Context);
    const std::size_t Length = Size * Count;
    if (Receiver.Body->size() + Length > Receiver.Limit) {
        Receiver.Overflowed = true;
        return 0; // aborts the transfer
    }
    Receiver.Body->append(Data, Length);
    return Length;
}

// libcurl may leave a name lookup running on a thread of its own after a
// timeout; the clock releases this library right after the call, so libcurl
// must stay loaded for that thread.
void KeepCurlLoaded()
{
    Dl_info Information{};
    if (dladdr(reinterpret_cast<void*>(&curl_easy_init), &Information) && Information.dli_fname)
        dlopen(Information.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

class TEasyHandle
{
public:
    TEasyHandle() : FHandle(curl_easy_init()) {}
    ~TEasyHandle()
    {
        if (FHandle)
            curl_easy_cleanup(FHandle);
    }
    TEasyHandle(const TEasyHandle&) = delete;
    TEasyHandle& operator=(const TEasyHandle&) = delete;
    CURL* Handle() const { return FHandle; }

private:
    CURL* FHandle;
};

} // namespace

bool Fetch(const std::string& Url, const TProxySettings& Proxy, std::string& Body, const TFetchLimits& Limits)
{
    Body.clear();
    KeepCurlLoaded();
    TEasyHandle Easy;
    CURL* Handle = Easy.Handle();
    if (!Handle)
        return false;
    TReceiver Receiver{&Body, Limits.MaximumBody};
    bool Ready = curl_easy_setopt(Handle, CURLOPT_URL, Url.c_str()) == CURLE_OK;
    auto Set = [&](CURLoption Option, auto Value) {
        Ready = Ready && curl_easy_setopt(Handle, Option, Value) == CURLE_OK;
    };
    // A local file only where the caller names one (an installed document that
    // refreshes from itself), never where a server redirects to.
    const bool Local = Url.rfind("file://", 0) == 0;
    Set(CURLOPT_PROTOCOLS_STR, Local ? "file" : "http,https");
    Set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    Set(CURLOPT_FOLLOWLOCATION, 1L);
    Set(CURLOPT_MAXREDIRS, Limits.MaximumRedirects);
    Set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(Limits.ConnectTimeout.count()));
    Set(CURLOPT_TIMEOUT_MS, static_cast<long>(Limits.TotalTimeout.count()));
    Set(CURLOPT_NOSIGNAL, 1L); // the clock has threads: no SIGALRM for lookups
    Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(Limits.MaximumBody));
    Set(CURLOPT_ACCEPT_ENCODING, "");
    Set(CURLOPT_USERAGENT, "Zentavo-3D");
    Set(CURLOPT_WRITEFUNCTION, &Receive);
    Set(CURLOPT_WRITEDATA, static_cast<void*>(&Receiver));
    Set(CURLOPT_SSL_VERIFYPEER, 1L);
    Set(CURLOPT_SSL_VERIFYHOST, 2L);
    // A proxy that cannot be reached as set must not turn into a direct connection.
    if (!Proxy.ApplyTo(Handle))
        return false;
    if (!Ready)
        return false;
    const CURLcode Result = curl_easy_perform(Handle);
    long Status = 0;
    curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &Status);
    if (Result != CURLE_OK || Receiver.Overflowed || (!Local && (Status < 200 || Status > 299))) {
        Body.clear();
        return false;
    }
    return true;
}

} // namespace Connection
