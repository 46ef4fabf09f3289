#include "ConnectionStatus.h"

#include "BusConnection.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace Connection {

namespace {

constexpr unsigned long RouteUp = 0x0001;
constexpr unsigned long RouteReject = 0x0200;
// NetworkManager's NM_STATE_CONNECTED_GLOBAL.
constexpr std::uint32_t ConnectedGlobally = 70;
// Well inside the ~100 ms the clock may wait for its answer.
constexpr std::chrono::milliseconds BusTimeout{60};

std::string ReadWhole(const std::string& FileName)
{
    std::ifstream File(FileName);
    std::ostringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

bool Ipv4Default(const std::string& Table)
{
    std::istringstream Lines(Table);
    std::string Line;
    std::getline(Lines, Line); // the column names
    while (std::getline(Lines, Line)) {
        std::istringstream Words(Line);
        std::string Interface, Destination, Gateway, Flags, ReferenceCount, Use, Metric, Mask;
        if (!(Words >> Interface >> Destination >> Gateway >> Flags >> ReferenceCount >> Use >> Metric >>
              Mask))
            continue;
        const unsigned long FlagBits = std::strtoul(Flags.c_str(), nullptr, 16);
        if (Destination == "00000000" && Mask == "00000000" && (FlagBits & RouteUp) &&
            !(FlagBits & RouteReject))
            return true;
    }
    return false;
}

bool Ipv6Default(const std::string& Table)
{
    std::istringstream Lines(Table);
    std::string Line;
    const std::string Anywhere(32, '0');
    while (std::getline(Lines, Line)) {
        std::istringstream Words(Line);
        std::string Destination, PrefixLength, Source, SourceLength, NextHop, Metric, ReferenceCount, Use,
            Flags, Interface;
        if (!(Words >> Destination >> PrefixLength >> Source >> SourceLength >> NextHop >> Metric >>
              ReferenceCount >> Use >> Flags >> Interface))
            continue;
        const unsigned long FlagBits = std::strtoul(Flags.c_str(), nullptr, 16);
        if (Destination == Anywhere && PrefixLength == "00" && (FlagBits & RouteUp) &&
            !(FlagBits & RouteReject) && Interface != "lo")
            return true;
    }
    return false;
}

} // namespace

bool HasDefaultRoute(const std::string& Ipv4Table, const std::string& Ipv6Table)
{
    return Ipv4Default(Ipv4Table) || Ipv6Default(Ipv6Table);
}

std::optional<bool> NetworkManagerOnline(std::uint32_t State)
{
    if (State == 0)
        return std::nullopt;
    return State >= ConnectedGlobally;
}

std::string RouteFolder()
{
    const char* Folder = std::getenv("ZENTAVO_ROUTE_FOLDER");
    return Folder && *Folder ? Folder : "/proc/net";
}

bool ConnectionAvailable()
{
    {
        TBusConnection Bus(TBusConnection::TBus::System);
        // Not started for the question: without NetworkManager the routes answer at once.
        if (const auto State =
                Bus.UnsignedProperty("org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
                                     "org.freedesktop.NetworkManager", "State", BusTimeout, false))
            if (const auto Online = NetworkManagerOnline(*State))
                return *Online;
    }
    const std::string Folder = RouteFolder();
    return HasDefaultRoute(ReadWhole(Folder + "/route"), ReadWhole(Folder + "/ipv6_route"));
}

} // namespace Connection
