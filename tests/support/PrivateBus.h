#pragma once

#include <string>
#include <sys/types.h>

namespace Zentavo::Testing {

// A dbus-daemon of the test's own, listening on a unix socket in a fresh
// temporary folder. While it lives, DBUS_SYSTEM_BUS_ADDRESS and
// DBUS_SESSION_BUS_ADDRESS both name it, so this process and the programs it
// starts reach it as their system and session bus and never the machine's.
// When it goes both names point at a socket that no longer exists, so that a
// late call fails instead of reaching a real bus.
//
//     TPrivateBus Bus;
//     if (!Bus.Installed())
//         GTEST_SKIP() << Bus.FailureReason();
//     ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
//     TFakeBusServices Services(TFakeBusServices::TOptions{.Logind = "yes"});
class TPrivateBus
{
public:
    TPrivateBus();
    ~TPrivateBus();
    TPrivateBus(const TPrivateBus&) = delete;
    TPrivateBus& operator=(const TPrivateBus&) = delete;

    bool Started() const { return FStarted; }
    // False when there is no dbus-daemon program: the one reason to skip.
    bool Installed() const { return FInstalled; }
    const std::string& FailureReason() const { return FFailureReason; }
    // "unix:path=<folder>/bus,guid=..."
    const std::string& Address() const { return FAddress; }
    const std::string& Folder() const { return FFolder; }

private:
    bool FInstalled = false;
    bool FStarted = false;
    std::string FFailureReason;
    std::string FFolder;
    std::string FAddress;
    pid_t FProcess = -1;
};

} // namespace Zentavo::Testing
