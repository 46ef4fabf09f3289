#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Connection {

// Whether the routing tables, in the text form of /proc/net/route and
// /proc/net/ipv6_route, hold a default route that is up (and, for IPv6, not
// the kernel's unreachable entry on the loopback).
bool HasDefaultRoute(const std::string& Ipv4Table, const std::string& Ipv6Table);

// What NetworkManager's State property says about the Internet: true for
// connected globally, false for any lesser state, nothing when it does not
// know (0), so that the routes decide.
std::optional<bool> NetworkManagerOnline(std::uint32_t State);

// The folder holding "route" and "ipv6_route": /proc/net, or for tests the
// folder that ZENTAVO_ROUTE_FOLDER names.
std::string RouteFolder();

// NetworkManager's view when it runs, otherwise the default route; quick and
// silent on the network.
bool ConnectionAvailable();

} // namespace Connection
