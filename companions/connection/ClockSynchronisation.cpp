#include "ClockSynchronisation.h"

#include "BusConnection.h"
#include "SntpClient.h"

#include <systemd/sd-bus.h>

#include <cmath>

namespace Connection {

namespace {

constexpr std::chrono::milliseconds QueryTimeout{2000};
// timedated is started on demand; its first answer may take a moment.
constexpr std::chrono::milliseconds PropertyTimeout{1000};
// Time for the user to answer the authorisation dialog.
constexpr std::chrono::milliseconds SetTimeTimeout{20000};
// Without a dialog timedated and polkit answer at once.
constexpr std::chrono::milliseconds QuietSetTimeTimeout{1500};
constexpr double OneSecond = 1.0;
// Below what SNTP over the Internet measures reliably.
constexpr double NotWorthCorrecting = 0.1;

const char* const TimeDateName = "org.freedesktop.timedate1";
const char* const TimeDatePath = "/org/freedesktop/timedate1";

// SetTime(usec_utc, relative, interactive) by the offset; false when refused.
bool MoveClock(TBusConnection& Bus, double Offset, bool Interactive, std::string& Failure)
{
    if (!Bus.IsOpen()) {
        Failure = "no system bus";
        return false;
    }
    sd_bus_message* Message = nullptr;
    if (sd_bus_message_new_method_call(Bus.Handle(), &Message, TimeDateName, TimeDatePath, TimeDateName,
                                       "SetTime") < 0)
        return false;
    const auto Microseconds = static_cast<std::int64_t>(std::llround(Offset * 1e6));
    if (sd_bus_message_append(Message, "xbb", Microseconds, 1, Interactive ? 1 : 0) < 0) {
        sd_bus_message_unref(Message);
        return false;
    }
    sd_bus_set_allow_interactive_authorization(Bus.Handle(), Interactive ? 1 : 0);
    std::string ErrorName;
    sd_bus_message* Reply = Bus.Call(Message, Interactive ? SetTimeTimeout : QuietSetTimeTimeout, ErrorName);
    if (!Reply) {
        Failure = "the clock was not changed: " + ErrorName;
        return false;
    }
    sd_bus_message_unref(Reply);
    return true;
}

} // namespace

TClockAction DecideClockAction(double Offset, std::optional<bool> NtpSynchronised)
{
    const double Size = std::fabs(Offset);
    if (Size < NotWorthCorrecting || (NtpSynchronised.value_or(false) && Size < OneSecond))
        return TClockAction::Keep;
    return TClockAction::Correct;
}

bool WithinOneSecond(double Offset, double Delay, TClockAction Action, bool CorrectionAccepted)
{
    if (Action == TClockAction::Correct && CorrectionAccepted)
        return Delay / 2 < OneSecond;
    return std::fabs(Offset) < OneSecond;
}

TSynchronisation SynchroniseClock(const std::string& Server, bool Interactive)
{
    TSynchronisation Result;
    const TSntpMeasurement Measurement = QueryTimeServer(Server, QueryTimeout);
    if (!Measurement.Measured) {
        Result.Failure = Measurement.Failure;
        return Result;
    }
    Result.Measured = true;
    Result.Offset = Measurement.Offset;
    TBusConnection Bus(TBusConnection::TBus::System);
    const std::optional<bool> NtpSynchronised = Bus.BooleanProperty(TimeDateName, TimeDatePath, TimeDateName,
                                                                    "NTPSynchronized", PropertyTimeout, true);
    const TClockAction Action = DecideClockAction(Measurement.Offset, NtpSynchronised);
    const bool Accepted =
        Action == TClockAction::Correct && MoveClock(Bus, Measurement.Offset, Interactive, Result.Failure);
    Result.Synchronised = WithinOneSecond(Measurement.Offset, Measurement.Delay, Action, Accepted);
    return Result;
}

} // namespace Connection
