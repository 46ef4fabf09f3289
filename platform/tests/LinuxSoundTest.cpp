#include "platform/LinuxSound.h"

#include "PrivateSoundServer.h"
#include "TemporaryHome.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// A steady sine per channel (0 leaves the channel silent), with the file's own positions when given.
bool WriteTone(const std::string& FileName, int Format, int Rate, const std::vector<double>& Frequencies,
               double Seconds, const std::vector<int>& Positions = {})
{
    SF_INFO Info{};
    Info.samplerate = Rate;
    Info.channels = static_cast<int>(Frequencies.size());
    Info.format = Format;
    SNDFILE* File = sf_open(FileName.c_str(), SFM_WRITE, &Info);
    if (File == nullptr)
        return false;
    if (!Positions.empty())
        sf_command(File, SFC_SET_CHANNEL_MAP_INFO, const_cast<int*>(Positions.data()),
                   static_cast<int>(Positions.size() * sizeof(int)));
    const auto Frames = static_cast<std::size_t>(Seconds * Rate);
    std::vector<float> Samples(Frames * Frequencies.size());
    for (std::size_t Frame = 0; Frame < Frames; ++Frame)
        for (std::size_t Channel = 0; Channel < Frequencies.size(); ++Channel)
            Samples[Frame * Frequencies.size() + Channel] = static_cast<float>(
                Loudness * std::sin(2.0 * std::numbers::pi * Frequencies[Channel] * Frame / Rate));
    const bool Written = sf_writef_float(File, Samples.data(), static_cast<sf_count_t>(Frames)) ==
                         static_cast<sf_count_t>(Frames);
    return sf_close(File) == 0 && Written;
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

    // A 440 Hz mono WAV of the given length.
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
    std::vector<int> Positions;
    // Lossy coders smear the edges of a tone.
    double LengthTolerance;
};

TFileKind Kind(const char* Name, const char* Extension, int Format, int Rate, std::vector<double> Frequencies,
               std::vector<int> Positions = {}, double LengthTolerance = 40.0)
{
    return {Name, Extension, Format, Rate, std::move(Frequencies), std::move(Positions), LengthTolerance};
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
    if (sf_format_check(&Wanted) == SF_FALSE)
        GTEST_SKIP() << "this libsndfile cannot write " << Kind.Name;
    constexpr double Seconds = 0.6;
    const std::string FileName = Folder + "/sound." + Kind.Extension;
    ASSERT_TRUE(WriteTone(FileName, Kind.Format, Kind.Rate, Kind.Frequencies, Seconds, Kind.Positions))
        << sf_strerror(nullptr);

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

    // The sink is stereo: a mono file reaches both sides, other files keep their sides apart.
    const double Left = Kind.Frequencies.front();
    const double Right = Kind.Frequencies.size() == 1 ? Left : Kind.Frequencies[1];
    EXPECT_NEAR(Recording.Frequency(0, Bursts[0]), Left, Left * 0.01);
    EXPECT_NEAR(Recording.Frequency(1, Bursts[0]), Right, Right * 0.01);
}

// Only one pair of channels sounds, so that a misplaced or dropped channel shows as a wrong pitch.
const std::vector<int> SurroundPositions = {SF_CHANNEL_MAP_FRONT_LEFT,   SF_CHANNEL_MAP_FRONT_RIGHT,
                                            SF_CHANNEL_MAP_FRONT_CENTER, SF_CHANNEL_MAP_LFE,
                                            SF_CHANNEL_MAP_REAR_LEFT,    SF_CHANNEL_MAP_REAR_RIGHT};

INSTANTIATE_TEST_SUITE_P(
    Files, LinuxSoundFormats,
    testing::Values(
        Kind("Wav8BitMono", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, {440}),
        Kind("Wav16BitMono", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, {440}),
        Kind("Wav24BitStereo", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 96000, {440, 660}),
        Kind("Wav32BitStereo", "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 48000, {660, 440}),
        Kind("WavFloatStereo", "wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, {440, 660}),
        Kind("WavDoubleMono", "wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 32000, {550}),
        Kind("WavExtensibleSurround", "wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000,
             {440, 660, 0, 0, 0, 0}, SurroundPositions),
        Kind("WavExtensibleFloatQuad", "wav", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 44100, {0, 0, 440, 660},
             {SF_CHANNEL_MAP_FRONT_LEFT, SF_CHANNEL_MAP_FRONT_RIGHT, SF_CHANNEL_MAP_REAR_LEFT,
              SF_CHANNEL_MAP_REAR_RIGHT}),
        Kind("Aiff16BitStereo", "aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, {440, 660}),
        Kind("Flac16BitStereo", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, {440, 660}),
        Kind("Flac24BitMono", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, {440}),
        Kind("OggVorbisStereo", "ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, {440, 660}, {}, 60.0),
        Kind("Mp3Mono", "mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, {}, 60.0)),
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
    std::printf("sound heard %.1f ms after Stop\n", After);
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
    std::thread Player([&] {
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

TEST_F(LinuxSoundStop, CutsEveryPlayOfThatMoment)
{
    const std::string Low = Tone(3.0, 440.0);
    const std::string High = Tone(3.0, 660.0);
    TLinuxSound Sound;
    Server.StartRecording();
    TClock::time_point LowReturned;
    TClock::time_point HighReturned;
    std::thread LowPlayer([&] {
        Sound.PlayOnce(Low);
        LowReturned = TClock::now();
    });
    std::thread HighPlayer([&] {
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
    std::thread Player([&] { Sound.PlayOnce(Long); });
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
    EXPECT_LE(MillisecondsBetween(Begin, TClock::now()), 50.0);
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
