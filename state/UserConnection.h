#pragma once

#include "services/zentavo_companion.h"

#include <string>

// The connection and proxy settings, laid out byte for byte as the companion
// libraries receive them (2316 bytes, passed by value). Each text keeps at
// most 255 bytes; the reserved parts stay zero.
class TUserConnection
{
public:
    TUserConnection();

    std::string ProxyServer() const;
    void SetProxyServer(const std::string& Value);
    std::string ProxyUser() const;
    void SetProxyUser(const std::string& Value);
    std::string ProxyPass() const;
    void SetProxyPass(const std::string& Value);
    std::string ProxyPort() const;
    void SetProxyPort(const std::string& Value);

    // The record as it travels to a library.
    const ZTUserConnection& Record() const { return FRecord; }

    friend bool operator==(const TUserConnection& Left, const TUserConnection& Right);

    // The longest text a member keeps.
    static constexpr std::size_t MaximumLength = 255;

private:
    ZTUserConnection FRecord;
};

static_assert(sizeof(TUserConnection) == 2316, "TUserConnection must keep the companion record's size");
