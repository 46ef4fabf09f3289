// connection.so: the clock's network access.
//
// HTTPRequest fetches through libcurl with the record's proxy, getConnectionStatus
// asks NetworkManager or the routing table without sending anything, and
// SincNetworkTime measures the clock against an SNTP server and has timedated
// correct it. Nothing is kept between calls; no exception leaves an export.
#include "ClockSynchronisation.h"
#include "ConnectionStatus.h"
#include "HttpFetch.h"
#include "zentavo_companion.h"

#include <cmath>
#include <string>

ZT_EXPORT ZTHTTPRequestFunction HTTPRequest;
ZT_EXPORT ZTSincNetworkTimeFunction SincNetworkTime;
ZT_EXPORT ZTGetConnectionStatusFunction getConnectionStatus;

uint8_t HTTPRequest(const char* Url, ZTUserConnection Connection, ZTStream** Stream)
{
    try {
        if (!Url || !Stream || !*Stream || !(*Stream)->Methods || !(*Stream)->Methods->Write)
            return 0;
        std::string Body;
        if (!Connection::Fetch(Url, Connection::TProxySettings::FromRecord(Connection), Body))
            return 0;
        if (Body.empty())
            return 1;
        ZTStream* Target = *Stream;
        return Target->Methods->Write(Target, Body.data(), Body.size()) == Body.size() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

// The first argument allows interaction: the clock passes true only right
// after the user confirmed its settings, so that a password prompt never comes
// out of the blue. The offset in seconds goes into the scratch area, NaN when
// none was measured.
uint8_t SincNetworkTime(uint8_t Interactive, const char* TimeServer, ZTUserConnection, double* Scratch)
{
    try {
        if (Scratch)
            *Scratch = std::nan("");
        if (!TimeServer)
            return 0;
        const Connection::TSynchronisation Result =
            Connection::SynchroniseClock(TimeServer, Interactive != 0);
        if (Scratch && Result.Measured)
            *Scratch = Result.Offset;
        return Result.Synchronised ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

uint8_t getConnectionStatus(void)
{
    try {
        return Connection::ConnectionAvailable() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
