#include "LinuxSound.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>

#include <pulse/channelmap.h>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <pulse/timeval.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <set>
#include <vector>

namespace Platform {

namespace {

constexpr const char* ApplicationName = "Zentavo 3D";
// Stop is checked after every chunk and then drops what the server holds; even a
// sink that cannot take back what it has mixed plays at most a little of this short
// buffer afterwards, so a cut is heard within 100 ms. The buffer is still long
// enough to ride out a busy machine without gaps.
constexpr unsigned ChunkMilliseconds = 20;
constexpr unsigned BufferMilliseconds = 80;
constexpr unsigned RequestMilliseconds = 20;

enum class TPlayResult
{
    Played,
    Stopped,
    Unplayable,
    NoServer
};

// Fills up to Frames frames and tells how many it gave; none at the end.
using TFrameSource = std::function<std::size_t(float* Buffer, std::size_t Frames)>;
using TCancelled = std::function<bool()>;

struct TSoundFormat
{
    pa_sample_spec Samples{};
    pa_channel_map Positions{};
};

pa_channel_position_t ServerPosition(int FilePosition)
{
    switch (FilePosition) {
    case SF_CHANNEL_MAP_MONO:
        return PA_CHANNEL_POSITION_MONO;
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
        return PA_CHANNEL_POSITION_FRONT_LEFT;
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
        return PA_CHANNEL_POSITION_FRONT_RIGHT;
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER:
        return PA_CHANNEL_POSITION_FRONT_CENTER;
    case SF_CHANNEL_MAP_REAR_CENTER:
        return PA_CHANNEL_POSITION_REAR_CENTER;
    case SF_CHANNEL_MAP_REAR_LEFT:
        return PA_CHANNEL_POSITION_REAR_LEFT;
    case SF_CHANNEL_MAP_REAR_RIGHT:
        return PA_CHANNEL_POSITION_REAR_RIGHT;
    case SF_CHANNEL_MAP_LFE:
        return PA_CHANNEL_POSITION_LFE;
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
        return PA_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER;
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
        return PA_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER;
    case SF_CHANNEL_MAP_SIDE_LEFT:
        return PA_CHANNEL_POSITION_SIDE_LEFT;
    case SF_CHANNEL_MAP_SIDE_RIGHT:
        return PA_CHANNEL_POSITION_SIDE_RIGHT;
    case SF_CHANNEL_MAP_TOP_CENTER:
        return PA_CHANNEL_POSITION_TOP_CENTER;
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
        return PA_CHANNEL_POSITION_TOP_FRONT_LEFT;
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
        return PA_CHANNEL_POSITION_TOP_FRONT_RIGHT;
    case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
        return PA_CHANNEL_POSITION_TOP_FRONT_CENTER;
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return PA_CHANNEL_POSITION_TOP_REAR_LEFT;
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return PA_CHANNEL_POSITION_TOP_REAR_RIGHT;
    case SF_CHANNEL_MAP_TOP_REAR_CENTER:
        return PA_CHANNEL_POSITION_TOP_REAR_CENTER;
    default:
        return PA_CHANNEL_POSITION_INVALID;
    }
}

class TSoundFile
{
public:
    explicit TSoundFile(const std::string& FileName) : FFile(sf_open(FileName.c_str(), SFM_READ, &FInfo)) {}
    ~TSoundFile()
    {
        if (FFile != nullptr)
            sf_close(FFile);
    }
    TSoundFile(const TSoundFile&) = delete;
    TSoundFile& operator=(const TSoundFile&) = delete;

    bool Opened() const
    {
        return FFile != nullptr && FInfo.frames > 0 && FInfo.channels > 0 &&
               static_cast<unsigned>(FInfo.channels) <= PA_CHANNELS_MAX && FInfo.samplerate > 0 &&
               static_cast<unsigned>(FInfo.samplerate) <= PA_RATE_MAX;
    }

    TSoundFormat Format() const
    {
        TSoundFormat Result;
        Result.Samples.format = PA_SAMPLE_FLOAT32NE;
        Result.Samples.rate = static_cast<std::uint32_t>(FInfo.samplerate);
        Result.Samples.channels = static_cast<std::uint8_t>(FInfo.channels);
        if (!ReadChannelMap(Result.Positions))
            // The order WAV files without a channel mask, FLAC and most others use.
            pa_channel_map_init_extend(&Result.Positions, Result.Samples.channels, PA_CHANNEL_MAP_WAVEEX);
        return Result;
    }

    std::size_t Read(float* Buffer, std::size_t Frames)
    {
        return static_cast<std::size_t>(std::max<sf_count_t>(0, sf_readf_float(FFile, Buffer, Frames)));
    }

private:
    // The positions the file names (WAVE_FORMAT_EXTENSIBLE's channel mask, CAF's layout).
    bool ReadChannelMap(pa_channel_map& Map) const
    {
        std::vector<int> Positions(FInfo.channels);
        if (sf_command(FFile, SFC_GET_CHANNEL_MAP_INFO, Positions.data(),
                       static_cast<int>(Positions.size() * sizeof(int))) != SF_TRUE)
            return false;
        std::set<pa_channel_position_t> Seen;
        Map.channels = static_cast<std::uint8_t>(FInfo.channels);
        for (int Channel = 0; Channel < FInfo.channels; ++Channel) {
            Map.map[Channel] = ServerPosition(Positions[Channel]);
            if (Map.map[Channel] == PA_CHANNEL_POSITION_INVALID || !Seen.insert(Map.map[Channel]).second)
                return false;
        }
        return pa_channel_map_valid(&Map) != 0;
    }

    SF_INFO FInfo{};
    SNDFILE* FFile;
};

struct TStreamCloser
{
    void operator()(pa_simple* Stream) const { pa_simple_free(Stream); }
};

TPlayResult PlayFrames(const TSoundFormat& Format, const TFrameSource& Source, const TCancelled& Cancelled)
{
    const std::size_t Channels = Format.Samples.channels;
    const std::size_t ChunkFrames = std::max<std::size_t>(1, Format.Samples.rate * ChunkMilliseconds / 1000);
    std::vector<float> Chunk(ChunkFrames * Channels);
    // A file that decodes to nothing cannot be played; find out before reaching the server.
    std::size_t Frames = Source(Chunk.data(), ChunkFrames);
    if (Frames == 0)
        return TPlayResult::Unplayable;
    if (Cancelled())
        return TPlayResult::Stopped;

    pa_buffer_attr Attributes;
    Attributes.maxlength = static_cast<std::uint32_t>(-1);
    Attributes.tlength =
        static_cast<std::uint32_t>(pa_usec_to_bytes(BufferMilliseconds * PA_USEC_PER_MSEC, &Format.Samples));
    Attributes.prebuf = static_cast<std::uint32_t>(-1);
    Attributes.minreq =
        static_cast<std::uint32_t>(pa_usec_to_bytes(RequestMilliseconds * PA_USEC_PER_MSEC, &Format.Samples));
    Attributes.fragsize = static_cast<std::uint32_t>(-1);
    int Error = 0;
    // Fails at once when no server listens; libpulse does not retry.
    std::unique_ptr<pa_simple, TStreamCloser> Stream(
        pa_simple_new(nullptr, ApplicationName, PA_STREAM_PLAYBACK, nullptr, ApplicationName, &Format.Samples,
                      &Format.Positions, &Attributes, &Error));
    if (!Stream)
        return Error == PA_ERR_INVALID || Error == PA_ERR_NOTSUPPORTED ? TPlayResult::Unplayable
                                                                       : TPlayResult::NoServer;
    while (Frames > 0) {
        if (Cancelled()) {
            pa_simple_flush(Stream.get(), nullptr);
            return TPlayResult::Stopped;
        }
        if (pa_simple_write(Stream.get(), Chunk.data(), Frames * Channels * sizeof(float), &Error) < 0)
            return TPlayResult::NoServer;
        Frames = Source(Chunk.data(), ChunkFrames);
    }
    if (Cancelled()) {
        pa_simple_flush(Stream.get(), nullptr);
        return TPlayResult::Stopped;
    }
    // What is left is at most the server's short buffer, so waiting for it keeps Stop's promise.
    if (pa_simple_drain(Stream.get(), &Error) < 0)
        return TPlayResult::NoServer;
    return Cancelled() ? TPlayResult::Stopped : TPlayResult::Played;
}

TPlayResult PlayFile(const std::string& FileName, const TCancelled& Cancelled)
{
    TSoundFile File(FileName);
    if (!File.Opened())
        return TPlayResult::Unplayable;
    return PlayFrames(
        File.Format(), [&File](float* Buffer, std::size_t Frames) { return File.Read(Buffer, Frames); },
        Cancelled);
}

// The desktop's default sound: two soft tones falling a fourth, made here
// because desktops name their sound files differently or have none.
constexpr std::uint32_t DefaultSoundRate = 48000;

const std::vector<float>& DefaultSoundSamples()
{
    static const std::vector<float> Samples = [] {
        constexpr double ToneSeconds = 0.150;
        constexpr double GapSeconds = 0.080;
        constexpr double FadeSeconds = 0.008;
        constexpr double Loudness = 0.35;
        std::vector<float> Result;
        auto AddTone = [&Result](double Frequency) {
            const auto Frames = static_cast<std::size_t>(ToneSeconds * DefaultSoundRate);
            const auto FadeFrames = static_cast<std::size_t>(FadeSeconds * DefaultSoundRate);
            for (std::size_t Frame = 0; Frame < Frames; ++Frame) {
                // Soft edges: a sudden start or end clicks.
                const std::size_t FromEdge = std::min(Frame, Frames - 1 - Frame);
                const double Fade =
                    FromEdge >= FadeFrames
                        ? 1.0
                        : 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(FromEdge) / FadeFrames);
                const double Time = static_cast<double>(Frame) / DefaultSoundRate;
                Result.push_back(static_cast<float>(Loudness * Fade *
                                                    std::sin(2.0 * std::numbers::pi * Frequency * Time)));
            }
        };
        AddTone(880.0);
        Result.insert(Result.end(), static_cast<std::size_t>(GapSeconds * DefaultSoundRate), 0.0f);
        AddTone(660.0);
        return Result;
    }();
    return Samples;
}

TPlayResult PlayDefaultSound(const TCancelled& Cancelled)
{
    TSoundFormat Format;
    Format.Samples = {PA_SAMPLE_FLOAT32NE, DefaultSoundRate, 1};
    pa_channel_map_init_mono(&Format.Positions);
    const std::vector<float>& Samples = DefaultSoundSamples();
    std::size_t Position = 0;
    return PlayFrames(
        Format,
        [&](float* Buffer, std::size_t Frames) {
            const std::size_t Count = std::min(Frames, Samples.size() - Position);
            std::copy_n(Samples.begin() + static_cast<std::ptrdiff_t>(Position), Count, Buffer);
            Position += Count;
            return Count;
        },
        Cancelled);
}

} // namespace

TLinuxSound::~TLinuxSound()
{
    {
        std::lock_guard Lock(FLock);
        FClosing = true;
        ++FBackgroundRequests;
    }
    FWake.notify_all();
    if (FBackground.joinable())
        FBackground.join();
}

void TLinuxSound::Beep()
{
    auto* Application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (Application == nullptr) // without a widget application there is no desktop to ring
        return;
    // The bell belongs to the user-interface thread.
    if (QThread::currentThread() == Application->thread())
        QApplication::beep();
    else
        QMetaObject::invokeMethod(
            Application, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

bool TLinuxSound::PlayOnce(const std::string& FileName)
{
    const std::uint64_t Stops = FStops.load();
    const TPlayResult Result = PlayFile(FileName, [&] { return FStops.load() != Stops; });
    return Result == TPlayResult::Played || Result == TPlayResult::Stopped;
}

void TLinuxSound::Stop()
{
    ++FStops;
}

void TLinuxSound::PlayInBackground(const std::string& FileName)
{
    {
        std::lock_guard Lock(FLock);
        if (FClosing)
            return;
        FPendingFile = FileName;
        // The Stop count now: a Stop after this call cuts this sound even before it starts.
        FPendingStops = FStops.load();
        FPendingRequest = ++FBackgroundRequests;
        if (!FBackground.joinable())
            FBackground = std::thread([this] { RunBackground(); });
    }
    FWake.notify_all();
}

void TLinuxSound::RunBackground()
{
    std::unique_lock Lock(FLock);
    for (;;) {
        FWake.wait(Lock, [this] { return FClosing || FPendingFile.has_value(); });
        if (FClosing)
            return;
        const std::string FileName = std::move(*FPendingFile);
        FPendingFile.reset();
        const std::uint64_t Stops = FPendingStops;
        const std::uint64_t Request = FPendingRequest;
        Lock.unlock();

        const TCancelled Cancelled = [&] {
            return FStops.load() != Stops || FBackgroundRequests.load() != Request;
        };
        TPlayResult Result = PlayFile(FileName, Cancelled);
        if (Result == TPlayResult::Unplayable)
            Result = PlayDefaultSound(Cancelled);
        if (Result == TPlayResult::NoServer && !Cancelled())
            Beep();

        Lock.lock();
    }
}

} // namespace Platform
