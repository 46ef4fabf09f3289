#include "platform/LinuxSound.h"

#include "PrivateSoundServer.h"
#include "TemporaryHome.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>
#include <optional>
#include <sndfile.h>
#include <string>
#include <thread>
#include <vector>

using namespace Platform;
using Zentavo::Testing::TPrivateSoundServer;
using Zentavo::Testing::TSoundRecording;
using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr float Loudness = 0.5f;
constexpr float Threshold = 0.02f;
// Longer than a wave's zero crossings, shorter than the default sound's pause.
constexpr double MinimumGapMilliseconds = 30.0;

double MillisecondsBetween(TClock::time_point From, TClock::time_point To)
{
    return std::chrono::duration<double, std::milli>(To - From).count();
}

// A steady sine per channel, interleaved; 0 leaves the channel silent.
std::vector<float> ToneSamples(int Rate, const std::vector<double>& Frequencies, double Seconds)
{
    const auto Frames = static_cast<std::size_t>(Seconds * Rate);
    std::vector<float> Samples(Frames * Frequencies.size());
    for (std::size_t Frame = 0; Frame < Frames; ++Frame)
        for (std::size_t Channel = 0; Channel < Frequencies.size(); ++Channel)
            Samples[Frame * Frequencies.size() + Channel] = static_cast<float>(
                Loudness * std::sin(2.0 * std::numbers::pi * Frequencies[Channel] * Frame / Rate));
    return Samples;
}

bool WriteTone(const std::string& FileName, int Format, int Rate, const std::vector<double>& Frequencies,
               double Seconds)
{
    SF_INFO Info{};
    Info.samplerate = Rate;
    Info.channels = static_cast<int>(Frequencies.size());
    Info.format = Format;
    SNDFILE* File = sf_open(FileName.c_str(), SFM_WRITE, &Info);
    if (File == nullptr)
        return false;
    const std::vector<float> Samples = ToneSamples(Rate, Frequencies, Seconds);
    const auto Frames = static_cast<sf_count_t>(Samples.size() / Frequencies.size());
    const bool Written = sf_writef_float(File, Samples.data(), Frames) == Frames;
    return sf_close(File) == 0 && Written;
}

// Written here rather than by libsndfile, which does not write a channel mask of our choosing:
// WAVE_FORMAT_EXTENSIBLE with integer samples of Bits bits, or 32-bit floats.
bool WriteExtensibleTone(const std::string& FileName, int Bits, bool Floating, int Rate,
                         const std::vector<double>& Frequencies, double Seconds, std::uint32_t ChannelMask)
{
    const std::vector<float> Samples = ToneSamples(Rate, Frequencies, Seconds);
    const auto Channels = static_cast<std::uint32_t>(Frequencies.size());
    const std::uint32_t BlockAlign = Channels * static_cast<std::uint32_t>(Bits / 8);
    const auto DataBytes = static_cast<std::uint32_t>(Samples.size() / Channels * BlockAlign);
    std::string Bytes;
    auto Add = [&Bytes](std::uint64_t Value, int Count) {
        for (int Index = 0; Index < Count; ++Index)
            Bytes.push_back(static_cast<char>((Value >> (8 * Index)) & 0xFF));
    };
    Bytes += "RIFF";
    Add(4 + 8 + 40 + 8 + DataBytes, 4);
    Bytes += "WAVEfmt ";
    Add(40, 4);
    Add(0xFFFE, 2); // WAVE_FORMAT_EXTENSIBLE
    Add(Channels, 2);
    Add(static_cast<std::uint32_t>(Rate), 4);
    Add(static_cast<std::uint32_t>(Rate) * BlockAlign, 4);
    Add(BlockAlign, 2);
    Add(static_cast<std::uint32_t>(Bits), 2);
    Add(22, 2);
    Add(static_cast<std::uint32_t>(Bits), 2);
    Add(ChannelMask, 4);
    Add(Floating ? 3 : 1, 4); // the sub-format GUID: PCM or IEEE float
    Bytes += std::string("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
    Bytes += "data";
    Add(DataBytes, 4);
    for (float Sample : Samples) {
        if (Floating) {
            std::uint32_t Raw;
            std::memcpy(&Raw, &Sample, sizeof Raw);
            Add(Raw, 4);
        } else {
            const double Largest = static_cast<double>((std::int64_t{1} << (Bits - 1)) - 1);
            Add(static_cast<std::uint64_t>(static_cast<std::int64_t>(std::lround(Sample * Largest))),
                Bits / 8);
        }
    }
    std::ofstream File(FileName, std::ios::binary);
    File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return static_cast<bool>(File);
}

class LinuxSoundTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!Server.Installed())
            GTEST_SKIP() << Server.FailureReason();
        ASSERT_TRUE(Server.Started()) << Server.FailureReason();
        Folder = Zentavo::Testing::MakeScratchFolder("sounds");
    }

    // A steady mono tone in a 16-bit WAV.
    std::string Tone(double Seconds, double Frequency = 440.0)
    {
        const std::string FileName =
            Folder + "/tone-" + std::to_string(Frequency) + "-" + std::to_string(Seconds) + ".wav";
        EXPECT_TRUE(WriteTone(FileName, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, {Frequency}, Seconds));
        return FileName;
    }

    // Records until the sink has been quiet for a while after a sound.
    TSoundRecording RecordUntilQuiet(std::chrono::milliseconds Timeout = 5s)
    {
        Server.WaitForSilence(Threshold, 250ms, Timeout);
        return Server.StopRecording();
    }

    TPrivateSoundServer Server;
    std::string Folder;
};

// ---------------------------------------------------------------- formats

struct TFileKind
{
    const char* Name;
    const char* Extension;
    int Format;
    int Rate;
    std::vector<double> Frequencies;
    // What the stereo sink must hear on each side; 0 for silence.
    double Left;
    double Right;
    // WAVE_FORMAT_EXTENSIBLE's speaker positions, for files written by WriteExtensibleTone.
    std::uint32_t ChannelMask;
    // Lossy coders smear the edges of a tone.
    double LengthTolerance;
};

// Named by gtest's interface: prints the kind in test names and messages.
void PrintTo(const TFileKind& Kind, std::ostream* Stream)
{
    *Stream << Kind.Name;
}

TFileKind FileKind(const char* Name, const char* Extension, int Format, int Rate,
                   std::vector<double> Frequencies, double Left, double Right, double LengthTolerance = 40.0)
{
    return TFileKind{Name, Extension, Format, Rate, std::move(Frequencies), Left, Right, 0, LengthTolerance};
}

TFileKind ExtensibleFileKind(const char* Name, int Format, int Rate, std::vector<double> Frequencies,
                             double Left, double Right, std::uint32_t ChannelMask)
{
    return TFileKind{Name, "wav", Format, Rate, std::move(Frequencies), Left, Right, ChannelMask, 40.0};
}

class LinuxSoundFormats : public LinuxSoundTest, public testing::WithParamInterface<TFileKind>
{
};

TEST_P(LinuxSoundFormats, PlaysOnePassWholeAtItsPitchWhileTheCallWaits)
{
    const TFileKind& Kind = GetParam();
    SF_INFO Wanted{};
    Wanted.samplerate = Kind.Rate;
    Wanted.channels = static_cast<int>(Kind.Frequencies.size());
    Wanted.format = Kind.Format;
    if (Kind.ChannelMask == 0 && sf_format_check(&Wanted) == SF_FALSE)
        GTEST_SKIP() << "this libsndfile cannot write " << Kind.Name;
    constexpr double Seconds = 0.6;
    const std::string FileName = Folder + "/sound." + Kind.Extension;
    if (Kind.ChannelMask != 0) {
        const int Subtype = Kind.Format & SF_FORMAT_SUBMASK;
        const int Bits = Subtype == SF_FORMAT_PCM_16 ? 16 : Subtype == SF_FORMAT_PCM_24 ? 24 : 32;
        ASSERT_TRUE(WriteExtensibleTone(FileName, Bits, Subtype == SF_FORMAT_FLOAT, Kind.Rate,
                                        Kind.Frequencies, Seconds, Kind.ChannelMask));
    } else {
        ASSERT_TRUE(WriteTone(FileName, Kind.Format, Kind.Rate, Kind.Frequencies, Seconds))
            << sf_strerror(nullptr);
    }

    TLinuxSound Sound;
    Server.StartRecording();
    const auto Begin = TClock::now();
    EXPECT_TRUE(Sound.PlayOnce(FileName));
    const auto End = TClock::now();
    const TSoundRecording Recording = RecordUntilQuiet();

    // The call returns when the pass has been heard, not before and not long after.
    EXPECT_GE(MillisecondsBetween(Begin, End), 1000.0 * Seconds - 20.0);
    EXPECT_LE(MillisecondsBetween(Begin, End), 1000.0 * Seconds + 500.0);
    const auto Bursts = Recording.Bursts(Threshold, MinimumGapMilliseconds);
    ASSERT_EQ(Bursts.size(), 1u);
    EXPECT_NEAR(Bursts[0].LengthMilliseconds, 1000.0 * Seconds, Kind.LengthTolerance);
    const std::optional<TClock::time_point> Heard = Recording.ArrivalTime(Bursts[0].EndMilliseconds());
    ASSERT_TRUE(Heard.has_value());
    EXPECT_LE(MillisecondsBetween(End, *Heard), 30.0) << "PlayOnce returned before its sound ended";

    for (unsigned Side : {0u, 1u}) {
        const double Expected = Side == 0 ? Kind.Left : Kind.Right;
        if (Expected > 0)
            EXPECT_NEAR(Recording.Frequency(Side, Bursts[0]), Expected, Expected * 0.01) << "side " << Side;
        else
            EXPECT_LT(Recording.Peak(Side, Bursts[0]), Threshold) << "side " << Side;
    }
}

// WAVE_FORMAT_EXTENSIBLE's speaker bits.
constexpr std::uint32_t FrontLeft = 0x1;
constexpr std::uint32_t FrontRight = 0x2;
constexpr std::uint32_t FrontCenter = 0x4;
constexpr std::uint32_t LowFrequency = 0x8;
constexpr std::uint32_t BackLeft = 0x10;
constexpr std::uint32_t BackRight = 0x20;

INSTANTIATE_TEST_SUITE_P(
    Files, LinuxSoundFormats,
    testing::Values(
        FileKind("Wav8BitMono", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, {440}, 440, 440),
        FileKind("Wav16BitMono", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, {440}, 440, 440),
        FileKind("Wav24BitStereo", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 96000, {440, 660}, 440, 660),
        FileKind("Wav32BitStereo", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 48000, {660, 440}, 660, 440),
        FileKind("WavFloatStereo", "wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, {440, 660}, 440, 660),
        FileKind("WavDoubleMono", "wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 32000, {550}, 550, 550),
        // Only one pair of channels sounds, so that a misplaced or dropped channel shows as a wrong pitch
        // or silence; the mask, not the count, places a channel.
        ExtensibleFileKind("WavExtensibleSurround", SF_FORMAT_PCM_16, 48000, {440, 660, 0, 0, 0, 0}, 440, 660,
                           FrontLeft | FrontRight | FrontCenter | LowFrequency | BackLeft | BackRight),
        ExtensibleFileKind("WavExtensibleFloatQuad", SF_FORMAT_FLOAT, 44100, {0, 0, 440, 660}, 440, 660,
                           FrontLeft | FrontRight | BackLeft | BackRight),
        ExtensibleFileKind("WavExtensibleLeftOnly", SF_FORMAT_PCM_24, 48000, {440}, 440, 0, FrontLeft),
        ExtensibleFileKind("WavExtensibleRightAndCenter", SF_FORMAT_PCM_16, 44100, {660, 0}, 0, 660,
                           FrontRight | FrontCenter),
        FileKind("Aiff16BitStereo", "aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, {440, 660}, 440, 660),
        FileKind("Flac16BitStereo", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, {440, 660}, 440, 660),
        FileKind("Flac24BitMono", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, {440}, 440, 440),
        FileKind("OggVorbisStereo", "ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, {440, 660}, 440, 660,
                 60.0),
        FileKind("Mp3Mono", "mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, 440, 440, 60.0)),
    [](const testing::TestParamInfo<TFileKind>& Info) { return std::string(Info.param.Name); });

// ---------------------------------------------------------------- stop

using LinuxSoundStop = LinuxSoundTest;

// How long the sound went on after Stop, at most; and the sound must have been cut short.
void ExpectCutSoon(const TSoundRecording& Recording, TClock::time_point Stopped, double FullMilliseconds)
{
    const auto Bursts = Recording.Bursts(Threshold, MinimumGapMilliseconds);
    ASSERT_FALSE(Bursts.empty());
    const std::optional<TClock::time_point> LastHeard =
        Recording.ArrivalTime(Bursts.back().EndMilliseconds());
    ASSERT_TRUE(LastHeard.has_value());
    const double After = MillisecondsBetween(Stopped, *LastHeard);
    testing::Test::RecordProperty("MillisecondsHeardAfterStop", std::to_string(After));
    EXPECT_LE(After, 100.0);
    EXPECT_LT(Bursts.back().EndMilliseconds() - Bursts.front().StartMilliseconds, FullMilliseconds / 2);
}

TEST_F(LinuxSoundStop, CutsPlayOnceFromAnotherThreadWithin100Milliseconds)
{
    const std::string FileName = Tone(3.0);
    TLinuxSound Sound;
    Server.StartRecording();
    bool Played = false;
    TClock::time_point Returned;
    std::jthread Player([&] {
        Played = Sound.PlayOnce(FileName);
        Returned = TClock::now();
    });
    const std::optional<TClock::time_point> Heard = Server.WaitForSound(Threshold, 3s);
    ASSERT_TRUE(Heard.has_value());
    std::this_thread::sleep_until(*Heard + 400ms);
    const auto Stopped = TClock::now();
    Sound.Stop();
    Player.join();
    const TSoundRecording Recording = RecordUntilQuiet();

    EXPECT_TRUE(Played) << "a play cut short was still a play";
    RecordProperty("MillisecondsToReturnAfterStop", std::to_string(MillisecondsBetween(Stopped, Returned)));
    EXPECT_LE(MillisecondsBetween(Stopped, Returned), 150.0);
    ExpectCutSoon(Recording, Stopped, 3000.0);
}

TEST_F(LinuxSoundStop, CutsTheBackgroundSoundWithin100Milliseconds)
{
    const std::string FileName = Tone(3.0);
    TLinuxSound Sound;
    Server.StartRecording();
    Sound.PlayInBackground(FileName);
    const std::optional<TClock::time_point> Heard = Server.WaitForSound(Threshold, 3s);
    ASSERT_TRUE(Heard.has_value());
    std::this_thread::sleep_until(*Heard + 400ms);
    const auto Stopped = TClock::now();
    Sound.Stop();
    const TSoundRecording Recording = RecordUntilQuiet();
    ExpectCutSoon(Recording, Stopped, 3000.0);
}

TEST_F(LinuxSoundStop, CutsABackgroundSoundThatHasNotBegun)
{
    const std::string FileName = Tone(1.0);
    TLinuxSound Sound;
    Server.StartRecording();
    Sound.PlayInBackground(FileName);
    Sound.Stop();
    std::this_thread::sleep_for(1500ms);
    const TSoundRecording Recording = Server.StopRecording();

    for (const auto& Burst : Recording.Bursts(Threshold, MinimumGapMilliseconds))
        EXPECT_LT(Burst.LengthMilliseconds, 100.0);
}

TEST_F(LinuxSoundStop, CutsEveryPlayOfThatMoment)
{
    const std::string Low = Tone(3.0, 440.0);
    const std::string High = Tone(3.0, 660.0);
    TLinuxSound Sound;
    Server.StartRecording();
    TClock::time_point LowReturned;
    TClock::time_point HighReturned;
    std::jthread LowPlayer([&] {
        Sound.PlayOnce(Low);
        LowReturned = TClock::now();
    });
    std::jthread HighPlayer([&] {
        Sound.PlayOnce(High);
        HighReturned = TClock::now();
    });
    Sound.PlayInBackground(Low);
    const std::optional<TClock::time_point> Heard = Server.WaitForSound(Threshold, 3s);
    ASSERT_TRUE(Heard.has_value());
    std::this_thread::sleep_until(*Heard + 400ms);
    const auto Stopped = TClock::now();
    Sound.Stop();
    LowPlayer.join();
    HighPlayer.join();
    const TSoundRecording Recording = RecordUntilQuiet();

    EXPECT_LE(MillisecondsBetween(Stopped, LowReturned), 150.0);
    EXPECT_LE(MillisecondsBetween(Stopped, HighReturned), 150.0);
    ExpectCutSoon(Recording, Stopped, 3000.0);
}

TEST_F(LinuxSoundStop, LeavesLaterPlaysWhole)
{
    const std::string Long = Tone(3.0, 440.0);
    const std::string Short = Tone(0.5, 660.0);
    TLinuxSound Sound;
    Sound.Stop(); // with nothing playing
    Server.StartRecording();
    std::jthread Player([&] { Sound.PlayOnce(Long); });
    ASSERT_TRUE(Server.WaitForSound(Threshold, 3s).has_value());
    Sound.Stop();
    Player.join();
    ASSERT_TRUE(Server.WaitForSilence(Threshold, 100ms, 2s));
    EXPECT_TRUE(Sound.PlayOnce(Short));
    std::this_thread::sleep_for(150ms);
    Sound.PlayInBackground(Short);
    std::this_thread::sleep_for(100ms);
    const TSoundRecording Recording = RecordUntilQuiet();

    const auto Bursts = Recording.Bursts(Threshold, MinimumGapMilliseconds);
    ASSERT_EQ(Bursts.size(), 3u);
    for (std::size_t Index = 1; Index < Bursts.size(); ++Index) {
        EXPECT_NEAR(Bursts[Index].LengthMilliseconds, 500.0, 40.0) << "play " << Index;
        EXPECT_NEAR(Recording.Frequency(0, Bursts[Index]), 660.0, 6.6) << "play " << Index;
    }
}

// ---------------------------------------------------------------- unplayable

using LinuxSoundUnplayable = LinuxSoundTest;

TEST_F(LinuxSoundUnplayable, FilesThatDoNotDecodeReturnFalseAtOnceAndStaySilent)
{
    const std::string Whole = Tone(0.5);
    const std::string Garbage = Folder + "/garbage.wav";
    std::ofstream(Garbage) << "This is no sound at all, just words in a file named like one.\n";
    const std::string Truncated = Folder + "/truncated.wav";
    {
        std::ifstream Source(Whole, std::ios::binary);
        std::vector<char> Header(30);
        Source.read(Header.data(), static_cast<std::streamsize>(Header.size()));
        std::ofstream(Truncated, std::ios::binary)
            .write(Header.data(), static_cast<std::streamsize>(Header.size()));
    }
    const std::string Empty = Folder + "/empty.wav";
    ASSERT_TRUE(WriteTone(Empty, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, {440}, 0.0));

    TLinuxSound Sound;
    Server.StartRecording();
    for (const std::string& FileName : {Folder + "/missing.wav", Garbage, Truncated, Empty, Folder}) {
        const auto Begin = TClock::now();
        EXPECT_FALSE(Sound.PlayOnce(FileName)) << FileName;
        EXPECT_LE(MillisecondsBetween(Begin, TClock::now()), 100.0) << FileName;
    }
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(Server.StopRecording().Bursts(Threshold, MinimumGapMilliseconds).empty());
}

TEST_F(LinuxSoundUnplayable, WithoutAServerNothingWaitsLong)
{
    const std::string FileName = Tone(0.5);
    const std::string Missing = "unix:" + Folder + "/no-server/native";
    setenv("PULSE_SERVER", Missing.c_str(), 1);
    auto Sound = std::make_unique<TLinuxSound>();

    auto Begin = TClock::now();
    EXPECT_FALSE(Sound->PlayOnce(FileName));
    EXPECT_LE(MillisecondsBetween(Begin, TClock::now()), 2000.0);

    Begin = TClock::now();
    Sound->PlayInBackground(FileName);
    Sound->PlayInBackground(Folder + "/missing.wav");
    EXPECT_LE(MillisecondsBetween(Begin, TClock::now()), 100.0);
    Begin = TClock::now();
    Sound.reset();
    EXPECT_LE(MillisecondsBetween(Begin, TClock::now()), 2000.0);
    setenv("PULSE_SERVER", Server.Address().c_str(), 1);
}

// ---------------------------------------------------------------- background

using LinuxSoundBackground = LinuxSoundTest;

TEST_F(LinuxSoundBackground, ReturnsAtOnceAndPlaysTheFile)
{
    const std::string FileName = Tone(0.6, 550.0);
    TLinuxSound Sound;
    Server.StartRecording();
    const auto Begin = TClock::now();
    Sound.PlayInBackground(FileName);
    EXPECT_LE(MillisecondsBetween(Begin, TClock::now()), 100.0);
    ASSERT_TRUE(Server.WaitForSound(Threshold, 3s).has_value());
    const TSoundRecording Recording = RecordUntilQuiet();

    const auto Bursts = Recording.Bursts(Threshold, MinimumGapMilliseconds);
    ASSERT_EQ(Bursts.size(), 1u);
    EXPECT_NEAR(Bursts[0].LengthMilliseconds, 600.0, 40.0);
    EXPECT_NEAR(Recording.Frequency(0, Bursts[0]), 550.0, 5.5);
}

TEST_F(LinuxSoundBackground, PlaysTheDefaultSoundInsteadOfAFileThatCannotPlay)
{
    const std::string Garbage = Folder + "/garbage.wav";
    std::ofstream(Garbage) << "not a sound";
    TLinuxSound Sound;
    for (const std::string& FileName : {Folder + "/missing.wav", Garbage}) {
        Server.StartRecording();
        Sound.PlayInBackground(FileName);
        ASSERT_TRUE(Server.WaitForSound(Threshold, 3s).has_value()) << FileName;
        const TSoundRecording Recording = RecordUntilQuiet();

        // Two short tones, the second lower: a chime, not a click or a drone.
        const auto Bursts = Recording.Bursts(Threshold, MinimumGapMilliseconds);
        ASSERT_EQ(Bursts.size(), 2u) << FileName;
        for (const auto& Burst : Bursts) {
            EXPECT_GT(Burst.LengthMilliseconds, 100.0) << FileName;
            EXPECT_LT(Burst.LengthMilliseconds, 250.0) << FileName;
        }
        EXPECT_GT(Recording.Frequency(0, Bursts[0]), Recording.Frequency(0, Bursts[1]) * 1.1) << FileName;
        EXPECT_GT(Recording.Frequency(0, Bursts[1]), 200.0) << FileName;
    }
}

TEST_F(LinuxSoundBackground, ANewSoundReplacesTheOnePlaying)
{
    const std::string Long = Tone(3.0, 440.0);
    const std::string Short = Tone(0.5, 660.0);
    TLinuxSound Sound;
    Server.StartRecording();
    Sound.PlayInBackground(Long);
    const std::optional<TClock::time_point> Heard = Server.WaitForSound(Threshold, 3s);
    ASSERT_TRUE(Heard.has_value());
    std::this_thread::sleep_until(*Heard + 300ms);
    Sound.PlayInBackground(Short);
    std::this_thread::sleep_for(300ms);
    const TSoundRecording Recording = RecordUntilQuiet();

    const auto Bursts = Recording.Bursts(Threshold, MinimumGapMilliseconds);
    ASSERT_FALSE(Bursts.empty());
    const double Length = Bursts.back().EndMilliseconds() - Bursts.front().StartMilliseconds;
    EXPECT_LT(Length, 300.0 + 500.0 + 250.0) << "the first sound went on";
    const TSoundRecording::TBurst Ending{Bursts.back().EndMilliseconds() - 400.0, 400.0};
    EXPECT_NEAR(Recording.Frequency(0, Ending), 660.0, 6.6) << "the second sound did not end the play";
}

TEST_F(LinuxSoundBackground, DestroyingTheServiceCutsItsSoundPromptly)
{
    const std::string FileName = Tone(3.0);
    auto Sound = std::make_unique<TLinuxSound>();
    Server.StartRecording();
    Sound->PlayInBackground(FileName);
    const std::optional<TClock::time_point> Heard = Server.WaitForSound(Threshold, 3s);
    ASSERT_TRUE(Heard.has_value());
    std::this_thread::sleep_until(*Heard + 300ms);
    const auto Stopped = TClock::now();
    Sound.reset();
    EXPECT_LE(MillisecondsBetween(Stopped, TClock::now()), 150.0);
    ExpectCutSoon(RecordUntilQuiet(), Stopped, 3000.0);
}

} // namespace
