#include "HTTPConnection.h"

#include "HostStream.h"
#include "platform/Sound.h"
#include "state/UserConnection.h"

bool THTTPConnection::HTTPRequest(const std::string& Url, const TUserConnection& Connection, QByteArray& Body)
{
    bool Result = false;
    Call<ZTHTTPRequestFunction>(ZT_CONNECTION_LIBRARY, "HTTPRequest", [&](ZTHTTPRequestFunction* Function) {
        THostStream Stream(Body);
        ZTStream* Reference = Stream.Object();
        Result = Function(Url.c_str(), Connection.Record(), &Reference) != 0;
    });
    return Result;
}

bool THTTPConnection::SincNetworkTime(const std::string& TimeServer, const TUserConnection& Connection,
                                      bool Interactive)
{
    bool Result = false;
    Call<ZTSincNetworkTimeFunction>(
        ZT_CONNECTION_LIBRARY, "SincNetworkTime", [&](ZTSincNetworkTimeFunction* Function) {
            double Scratch = 0;
            Result = Function(Interactive ? 1 : 0, TimeServer.c_str(), Connection.Record(), &Scratch) != 0;
        });
    return Result;
}

bool THTTPConnection::getConnectionStatus()
{
    FSound.Beep();
    bool Result = false;
    Call<ZTGetConnectionStatusFunction>(
        ZT_CONNECTION_LIBRARY, "getConnectionStatus",
        [&](ZTGetConnectionStatusFunction* Function) { Result = Function() != 0; });
    return Result;
}
