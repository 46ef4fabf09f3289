#include "SoundRecording.h"

#include <algorithm>
#include <cmath>

namespace Zentavo::Testing {

TSoundRecording::TSoundRecording(unsigned Rate, unsigned Channels, std::vector<float> Samples)
    : FRate(Rate), FChannels(Channels), FSamples(std::move(Samples))
{}

void TSoundRecording::Append(const float* Samples, std::size_t Frames, TClock::time_point Arrival)
{
    FSamples.insert(FSamples.end(), Samples, Samples + Frames * FChannels);
    FArrivalEnds.push_back(this->Frames());
    FArrivalTimes.push_back(Arrival);
}

double TSoundRecording::LengthMilliseconds() const
{
    return FRate == 0 ? 0.0 : 1000.0 * static_cast<double>(Frames()) / FRate;
}

std::size_t TSoundRecording::FrameAt(double Milliseconds) const
{
    const double Frame = std::round(Milliseconds * FRate / 1000.0);
    return std::min(Frames(), static_cast<std::size_t>(std::max(0.0, Frame)));
}

std::vector<TSoundRecording::TBurst> TSoundRecording::Bursts(float Threshold,
                                                             double MinimumGapMilliseconds) const
{
    std::vector<TBurst> Result;
    const auto MinimumGap = static_cast<std::size_t>(MinimumGapMilliseconds * FRate / 1000.0);
    const std::size_t Count = Frames();
    bool InBurst = false;
    std::size_t First = 0;
    std::size_t Last = 0;
    auto Close = [&] { Result.push_back({1000.0 * First / FRate, 1000.0 * (Last + 1 - First) / FRate}); };
    for (std::size_t Frame = 0; Frame < Count; ++Frame) {
        bool Loud = false;
        for (unsigned Channel = 0; Channel < FChannels; ++Channel)
            Loud = Loud || std::fabs(FSamples[Frame * FChannels + Channel]) > Threshold;
        if (!Loud)
            continue;
        if (InBurst && Frame - Last > MinimumGap) {
            Close();
            InBurst = false;
        }
        if (!InBurst) {
            InBurst = true;
            First = Frame;
        }
        Last = Frame;
    }
    if (InBurst)
        Close();
    return Result;
}

float TSoundRecording::Peak(unsigned Channel) const
{
    return Peak(Channel, {0.0, LengthMilliseconds()});
}

float TSoundRecording::Peak(unsigned Channel, const TBurst& Burst) const
{
    float Result = 0.0f;
    if (Channel >= FChannels)
        return Result;
    const std::size_t End = FrameAt(Burst.EndMilliseconds());
    for (std::size_t Frame = FrameAt(Burst.StartMilliseconds); Frame < End; ++Frame)
        Result = std::max(Result, std::fabs(FSamples[Frame * FChannels + Channel]));
    return Result;
}

double TSoundRecording::Frequency(unsigned Channel, const TBurst& Burst) const
{
    if (Channel >= FChannels)
        return 0.0;
    const std::size_t End = FrameAt(Burst.EndMilliseconds());
    // The median of the periods between interpolated rising crossings: right to
    // well under a percent, and a short glitch does not move it.
    std::vector<double> Periods;
    double Previous = -1.0;
    for (std::size_t Frame = FrameAt(Burst.StartMilliseconds) + 1; Frame < End; ++Frame) {
        const float Before = FSamples[(Frame - 1) * FChannels + Channel];
        const float After = FSamples[Frame * FChannels + Channel];
        if (Before < 0.0f && After >= 0.0f) {
            const double Crossing = static_cast<double>(Frame - 1) + Before / (Before - After);
            if (Previous >= 0.0)
                Periods.push_back(Crossing - Previous);
            Previous = Crossing;
        }
    }
    if (Periods.empty())
        return 0.0;
    const auto Middle = Periods.begin() + static_cast<std::ptrdiff_t>(Periods.size() / 2);
    std::nth_element(Periods.begin(), Middle, Periods.end());
    return FRate / *Middle;
}

std::optional<TSoundRecording::TClock::time_point> TSoundRecording::ArrivalTime(double Milliseconds) const
{
    const std::size_t Frame = FrameAt(Milliseconds);
    const auto Piece = std::upper_bound(FArrivalEnds.begin(), FArrivalEnds.end(), Frame);
    if (Piece == FArrivalEnds.end())
        return std::nullopt;
    const auto After = std::chrono::duration<double>(static_cast<double>(*Piece - Frame) / FRate);
    return FArrivalTimes[Piece - FArrivalEnds.begin()] - std::chrono::duration_cast<TClock::duration>(After);
}

} // namespace Zentavo::Testing
