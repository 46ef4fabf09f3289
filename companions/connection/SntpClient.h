#pragma once

#include "SntpPacket.h"

#include <chrono>
#include <string>

namespace Connection {

struct TSntpMeasurement
{
    bool Measured = false;
    double Offset = 0; // seconds the server's clock is ahead of ours
    double Delay = 0;  // round trip in seconds
    std::string Failure;
};

// Splits "host", "host:port", "[address]:port" or a bare IPv6 address; the
// port is "123" when not given. False for an empty host or a bad port.
bool SplitServer(const std::string& Text, std::string& Host, std::string& Port);

// The time server's system time as an NTP timestamp.
TNtpTimestamp Now();

// One SNTP exchange with Server over UDP, the name lookup included, all
// within Timeout. A reply that fails the client's checks ends it at once.
TSntpMeasurement QueryTimeServer(const std::string& Server, std::chrono::milliseconds Timeout);

} // namespace Connection
