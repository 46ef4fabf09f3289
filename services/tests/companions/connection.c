#include "Record.h"
#include "services/zentavo_companion.h"

#include <stdlib.h>
#include <string.h>

ZT_EXPORT ZTHTTPRequestFunction HTTPRequest;
ZT_EXPORT ZTSincNetworkTimeFunction SincNetworkTime;
ZT_EXPORT ZTGetConnectionStatusFunction getConnectionStatus;

/* The body is response.txt, written in two parts; without it the request
   fails. A script line names the body's file instead, or says "fail". */
uint8_t HTTPRequest(const char* Url, ZTUserConnection Connection, ZTStream** Stream)
{
    ZtSaveBytes("HTTPRequest.record", &Connection, sizeof Connection);
    ZTStream* Body = *Stream;
    ZtLog("HTTPRequest %s size=%lld", Url, (long long)Body->Methods->Size(Body));
    char Answer[256] = "response.txt";
    ZtScriptAnswer("HTTPRequest", Answer, sizeof Answer);
    if (strcmp(Answer, "fail") == 0)
        return 0;
    size_t Size = 0;
    char* Response = ZtReadFile(Answer, &Size);
    if (Response == NULL)
        return 0;
    const size_t Half = Size / 2;
    size_t Written = Body->Methods->Write(Body, Response, Half);
    Written += Body->Methods->Write(Body, Response + Half, Size - Half);
    ZtLog("wrote %lu, size=%lld", (unsigned long)Written, (long long)Body->Methods->Size(Body));
    free(Response);
    return 1;
}

uint8_t SincNetworkTime(uint8_t Interactive, const char* TimeServer, ZTUserConnection Connection,
                        double* Scratch)
{
    ZtSaveBytes("SincNetworkTime.record", &Connection, sizeof Connection);
    ZtLog("SincNetworkTime interactive=%d server=%s", Interactive, TimeServer);
    *Scratch = 45000.5;
    char Answer[8];
    if (ZtScriptAnswer("SincNetworkTime", Answer, sizeof Answer))
        return Answer[0] == '1';
    return TimeServer[0] != '\0';
}

uint8_t getConnectionStatus(void)
{
    ZtLog("getConnectionStatus");
    char Answer[8];
    /* Any nonzero byte is true, not only 1. */
    if (ZtScriptAnswer("getConnectionStatus", Answer, sizeof Answer))
        return Answer[0] == '1' ? 0x80 : 0;
    return ZtFileExists("online.flag") ? 0x80 : 0;
}
