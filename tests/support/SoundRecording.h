#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

namespace Zentavo::Testing {

// What reached a sound server's output: interleaved float samples, and when
// each piece of them arrived.
class TSoundRecording
{
public:
    using TClock = std::chrono::steady_clock;

    // A stretch of sound, in milliseconds from the start of the recording.
    struct TBurst
    {
        double StartMilliseconds = 0;
        double LengthMilliseconds = 0;
        double EndMilliseconds() const { return StartMilliseconds + LengthMilliseconds; }
    };

    TSoundRecording() = default;
    TSoundRecording(unsigned Rate, unsigned Channels, std::vector<float> Samples);

    // Adds a piece of Frames frames that arrived at Arrival.
    void Append(const float* Samples, std::size_t Frames, TClock::time_point Arrival);

    unsigned Rate() const { return FRate; }
    unsigned Channels() const { return FChannels; }
    const std::vector<float>& Samples() const { return FSamples; }
    std::size_t Frames() const { return FChannels == 0 ? 0 : FSamples.size() / FChannels; }
    double LengthMilliseconds() const;

    // The stretches where some channel is louder than Threshold; quieter gaps
    // shorter than MinimumGapMilliseconds (a wave's zero crossings) do not split one.
    std::vector<TBurst> Bursts(float Threshold, double MinimumGapMilliseconds) const;
    // The loudest sample of the channel, everywhere or within the burst.
    float Peak(unsigned Channel) const;
    float Peak(unsigned Channel, const TBurst& Burst) const;
    // The pitch of the channel within the burst, from its rising zero crossings;
    // 0 when it does not cross.
    double Frequency(unsigned Channel, const TBurst& Burst) const;
    // When the sound at this point of the recording reached the server's output,
    // at the latest: the arrival of its piece, less the samples after it in the piece.
    std::optional<TClock::time_point> ArrivalTime(double Milliseconds) const;

private:
    std::size_t FrameAt(double Milliseconds) const;

    unsigned FRate = 0;
    unsigned FChannels = 0;
    std::vector<float> FSamples;
    std::vector<std::size_t> FArrivalEnds;
    std::vector<TClock::time_point> FArrivalTimes;
};

} // namespace Zentavo::Testing
