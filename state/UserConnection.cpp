#include "UserConnection.h"

#include "TextLines.h"

#include <cstring>

namespace {

std::string Read(const ZTShortText& Text)
{
    return std::string(Text.Characters, Text.Length);
}

// Keeps the first 255 bytes, without cutting a UTF-8 character in half (a
// half character would reach the proxy as garbage).
void Write(ZTShortText& Text, const std::string& Value)
{
    const std::string Kept = LeadingText(Value, TUserConnection::MaximumLength);
    std::memset(&Text, 0, sizeof Text);
    Text.Length = static_cast<std::uint8_t>(Kept.size());
    std::memcpy(Text.Characters, Kept.data(), Kept.size());
}

} // namespace

TUserConnection::TUserConnection()
{
    std::memset(&FRecord, 0, sizeof FRecord);
}

std::string TUserConnection::ProxyServer() const
{
    return Read(FRecord.ProxyServer);
}
void TUserConnection::SetProxyServer(const std::string& Value)
{
    Write(FRecord.ProxyServer, Value);
}
std::string TUserConnection::ProxyUser() const
{
    return Read(FRecord.ProxyUser);
}
void TUserConnection::SetProxyUser(const std::string& Value)
{
    Write(FRecord.ProxyUser, Value);
}
std::string TUserConnection::ProxyPass() const
{
    return Read(FRecord.ProxyPass);
}
void TUserConnection::SetProxyPass(const std::string& Value)
{
    Write(FRecord.ProxyPass, Value);
}
std::string TUserConnection::ProxyPort() const
{
    return Read(FRecord.ProxyPort);
}
void TUserConnection::SetProxyPort(const std::string& Value)
{
    Write(FRecord.ProxyPort, Value);
}

bool operator==(const TUserConnection& Left, const TUserConnection& Right)
{
    return std::memcmp(&Left.FRecord, &Right.FRecord, sizeof Left.FRecord) == 0;
}
