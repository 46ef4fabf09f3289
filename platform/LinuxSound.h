#pragma once

#include "Sound.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace Platform {

// Plays sound files through the desktop's sound server (PulseAudio's protocol,
// which PipeWire serves too), decoding them with libsndfile. Every play has its
// own short-buffered stream, so Stop can cut it quickly.
class TLinuxSound : public TSound
{
public:
    TLinuxSound() = default;
    // Cuts the background sound and waits for its thread.
    ~TLinuxSound() override;
    TLinuxSound(const TLinuxSound&) = delete;
    TLinuxSound& operator=(const TLinuxSound&) = delete;

    void Beep() override;
    bool PlayOnce(const std::string& FileName) override;
    void Stop() override;
    // A new background sound replaces the one still playing in the background,
    // as the desktop's asynchronous play does.
    void PlayInBackground(const std::string& FileName) override;

private:
    void RunBackground();

    // Stop counts up; a play stops when the count differs from the one it began with.
    std::atomic<std::uint64_t> FStops = 0;
    // Each background request and the destructor count up, cutting the background sound before.
    std::atomic<std::uint64_t> FBackgroundRequests = 0;
    std::mutex FLock;
    std::condition_variable FWake;
    std::optional<std::string> FPendingFile;
    std::uint64_t FPendingStops = 0;
    std::uint64_t FPendingRequest = 0;
    bool FClosing = false;
    std::thread FBackground;
};

} // namespace Platform
