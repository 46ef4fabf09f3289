#pragma once

#include "SoundRecording.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>

struct pa_simple;

namespace Zentavo::Testing {

// A PulseAudio server of the test's own, in a fresh folder, whose only output
// is a null sink that can be recorded. While it lives, PULSE_SERVER points the
// clients of this process (and of the programs it starts) at it and nowhere else.
// Make it on a thread that outlives it: the server is killed when that thread ends.
//
// The server listens to its sink all the time: an idle null sink otherwise
// works seconds ahead, and a new sound would wait that long to be heard.
//
//     TPrivateSoundServer Server;
//     if (!Server.Installed())
//         GTEST_SKIP() << Server.FailureReason();
//     ASSERT_TRUE(Server.Started()) << Server.FailureReason();
class TPrivateSoundServer
{
public:
    using TClock = TSoundRecording::TClock;
    static constexpr const char* SinkName = "zentavo_null";
    static constexpr unsigned Rate = 48000;
    static constexpr unsigned Channels = 2;

    // Starts the server and waits, at most a few seconds, until it answers.
    TPrivateSoundServer();
    // Stops the server and removes its folder. PULSE_SERVER still names it, so
    // that a sound that comes too late fails rather than reach the real desktop.
    ~TPrivateSoundServer();
    TPrivateSoundServer(const TPrivateSoundServer&) = delete;
    TPrivateSoundServer& operator=(const TPrivateSoundServer&) = delete;

    bool Started() const { return FStarted; }
    // False when there is no pulseaudio program: the one reason to skip rather than fail.
    bool Installed() const { return FInstalled; }
    const std::string& FailureReason() const { return FFailureReason; }
    // The server as PULSE_SERVER names it, "unix:<folder>/native".
    const std::string& Address() const { return FAddress; }
    // What the server wrote about itself, for failure messages.
    std::string Log() const;

    // Records what reaches the sink from now on.
    void StartRecording();
    TSoundRecording StopRecording();
    // Waits until the recording has something louder than Threshold and tells
    // when that sound reached the sink; nothing on timeout.
    std::optional<TClock::time_point> WaitForSound(float Threshold, std::chrono::milliseconds Timeout);
    // Waits until the last Quiet of the recording is quieter than Threshold.
    bool WaitForSilence(float Threshold, std::chrono::milliseconds Quiet, std::chrono::milliseconds Timeout);

private:
    void Start();
    void Resume();
    void Listen();
    void StopServer();

    bool FInstalled = false;
    bool FStarted = false;
    std::string FFailureReason;
    std::string FFolder;
    std::string FAddress;
    pid_t FProcess = -1;

    pa_simple* FMonitor = nullptr;
    std::thread FListener;
    std::atomic<bool> FListening = false;
    mutable std::mutex FLock;
    std::condition_variable FArrived;
    bool FHeardAnything = false;
    bool FRecording = false;
    TSoundRecording FRecorded;
};

} // namespace Zentavo::Testing
