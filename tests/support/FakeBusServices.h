#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Zentavo::Testing {

// Fake logind, timedated, NetworkManager and desktop session managers on the
// bus of a TPrivateBus (made first), served by a small python3-dbus program.
// Only the services given an option run. Every method call and property read
// they receive is recorded, one line of words each:
//     "org.freedesktop.login1.Manager.PowerOff true"
//     "org.freedesktop.timedate1.SetTime 5000000 true true"   (usec relative interactive)
//     "Get org.freedesktop.NetworkManager State"
//
//     TPrivateBus Bus;
//     TFakeBusServices Services({.Logind = "challenge"});
//     ASSERT_TRUE(Services.Started()) << Services.FailureReason();
//     ... ask for a power-off ...
//     EXPECT_EQ(Services.CallsOf("org.freedesktop.login1.Manager.PowerOff"),
//               std::vector<std::string>{"org.freedesktop.login1.Manager.PowerOff true"});
class TFakeBusServices
{
public:
    struct TOptions
    {
        // CanPowerOff's answer: "yes", "no", "challenge", ... PowerOff is
        // refused unless it is "yes" (or "challenge" with interaction allowed).
        std::optional<std::string> Logind;
        // timedated's NTP and NTPSynchronized; SetTime is refused while NTP is on.
        std::optional<bool> TimedatedNtp;
        bool TimedatedSynchronised = false;
        // SetTime without interaction allowed is refused, as polkit refuses a desktop user.
        bool TimedatedAsksUser = false;
        // NetworkManager's State (70 is connected globally) and Connectivity (4 is full).
        std::optional<unsigned> NetworkState;
        unsigned NetworkConnectivity = 4;
        // A session manager with a shutdown of its own: "gnome", "kde" or "xfce".
        std::optional<std::string> Session;
        bool SessionCanShutdown = true;
    };

    explicit TFakeBusServices(const TOptions& Options);
    ~TFakeBusServices();
    TFakeBusServices(const TFakeBusServices&) = delete;
    TFakeBusServices& operator=(const TFakeBusServices&) = delete;

    bool Started() const { return FStarted; }
    const std::string& FailureReason() const { return FFailureReason; }

    // Every recorded line so far, in order.
    std::vector<std::string> Calls() const;
    // The recorded lines that begin with Prefix.
    std::vector<std::string> CallsOf(const std::string& Prefix) const;

private:
    bool FStarted = false;
    std::string FFailureReason;
    std::string FFolder;
    std::string FRecordFile;
    pid_t FProcess = -1;
};

} // namespace Zentavo::Testing
