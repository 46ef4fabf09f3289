// Whatever a time server sends: the first 8 bytes are the transmit timestamp
// the request carried, the rest is the reply. The same bytes also go through
// the server name parser, which reads what the user typed.
#include "SntpClient.h"
#include "SntpPacket.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    using namespace Connection;
    if (Size < 8)
        return 0;
    TNtpTimestamp Sent = 0;
    for (int Index = 0; Index < 8; ++Index)
        Sent = (Sent << 8) | Data[Index];
    const TSntpReply Reply = ParseSntpReply(Data + 8, Size - 8, Sent);
    if (Reply.Verdict == TSntpVerdict::Accepted) {
        const double Offset = ClockOffset(Sent, Reply.Receive, Reply.Transmit, Sent + (1ull << 30));
        const double Delay = RoundTripDelay(Sent, Reply.Receive, Reply.Transmit, Sent + (1ull << 30));
        if (!std::isfinite(Offset) || !std::isfinite(Delay))
            std::abort();
    }
    if (Reply.KissCode.size() > 4)
        std::abort();
    std::string Host, Port;
    if (SplitServer(std::string(reinterpret_cast<const char*>(Data), Size), Host, Port) &&
        (Host.empty() || Port.empty() || Port.size() > 5))
        std::abort();
    return 0;
}
