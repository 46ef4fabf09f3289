#include "ProxySettings.h"

#include "zentavo_companion.h"

#include <curl/curl.h>

namespace {

std::string Text(const ZTShortText& Short)
{
    return std::string(Short.Characters, Short.Length);
}

// The port as a number, 0 when it is none.
long PortNumber(const std::string& Text)
{
    const std::size_t First = Text.find_first_not_of(' ');
    const std::size_t Last = Text.find_last_not_of(' ');
    if (First == std::string::npos || Last - First + 1 > 5)
        return 0;
    long Port = 0;
    for (std::size_t Index = First; Index <= Last; ++Index) {
        if (Text[Index] < '0' || Text[Index] > '9')
            return 0;
        Port = Port * 10 + (Text[Index] - '0');
    }
    return Port <= 65535 ? Port : 0;
}

} // namespace

TProxySettings TProxySettings::FromRecord(const ZTUserConnection& Record)
{
    return {Text(Record.ProxyServer), Text(Record.ProxyPort), Text(Record.ProxyUser), Text(Record.ProxyPass)};
}

bool TProxySettings::ApplyTo(CURL* Handle) const
{
    // Left unset, libcurl follows the environment's variables itself.
    if (Server.empty())
        return true;
    bool Ready = curl_easy_setopt(Handle, CURLOPT_PROXY, Server.c_str()) == CURLE_OK;
    // Whatever no_proxy says: the user named this proxy for everything.
    Ready = Ready && curl_easy_setopt(Handle, CURLOPT_NOPROXY, "") == CURLE_OK;
    if (Port.find_first_not_of(' ') != std::string::npos) {
        const long Number = PortNumber(Port);
        if (Number == 0)
            return false;
        Ready = Ready && curl_easy_setopt(Handle, CURLOPT_PROXYPORT, Number) == CURLE_OK;
    }
    if (!User.empty()) {
        Ready =
            Ready && curl_easy_setopt(Handle, CURLOPT_PROXYUSERNAME, User.c_str()) == CURLE_OK &&
            curl_easy_setopt(Handle, CURLOPT_PROXYPASSWORD, Password.c_str()) == CURLE_OK &&
            curl_easy_setopt(Handle, CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_ANY)) == CURLE_OK;
    }
    return Ready;
}
