#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace Zentavo::Testing {

// A fake desktop notification server on the bus of a TPrivateBus (made
// first), served by a small python3-dbus program. It records the notices it
// is asked for and plays the user who picks an action or dismisses one.
//
//     TPrivateBus Bus;
//     TFakeNotificationServer Server;
//     ASSERT_TRUE(Server.Started()) << Server.FailureReason();
//     ... the program shows a notice ...
//     ... serve the events until Server.Notices() has it ...
//     Server.InvokeAction(Server.Notices()[0].Id, "parar");
class TFakeNotificationServer
{
public:
    struct TNotice
    {
        unsigned Id = 0;
        std::string AppName;
        unsigned ReplacesId = 0;
        std::string Icon;
        std::string Summary;
        std::string Body;
        std::vector<std::string> Actions; // key, label, key, label...
        int Urgency = -1;                 // -1: no urgency hint
        int ExpireTimeout = -1;
    };

    TFakeNotificationServer();
    ~TFakeNotificationServer();
    TFakeNotificationServer(const TFakeNotificationServer&) = delete;
    TFakeNotificationServer& operator=(const TFakeNotificationServer&) = delete;

    bool Started() const { return FStarted; }
    const std::string& FailureReason() const { return FFailureReason; }

    std::vector<TNotice> Notices() const;
    // The ids asked to close (CloseNotification), in order.
    std::vector<unsigned> Closed() const;

    // Emits ActionInvoked for the notice and then closes it, as a server does
    // for a click on the action's button. Returns once the request is written.
    void InvokeAction(unsigned Id, const std::string& Key);
    void Dismiss(unsigned Id);

private:
    std::vector<std::vector<std::string>> Records() const;
    void Command(const std::string& Line);

    bool FStarted = false;
    std::string FFailureReason;
    std::string FFolder;
    std::string FRecordFile;
    int FCommands = -1;
    pid_t FProcess = -1;
};

} // namespace Zentavo::Testing
