// The alarm end to end: the window's worker plays through a private sound
// server whose null output the test records.
#include "WatchFixture.h"

#include "app/FlatImageButton.h"
#include "platform/LinuxSound.h"
#include "PrivateSoundServer.h"

#include <QTest>

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Now is fixed at the alarm's time; sleeping takes real time, so pauses are heard as pauses.
class TRealPaceClock : public Platform::TLocalClock
{
public:
    explicit TRealPaceClock(Platform::TDateTime Now) : FNow(Now) {}
    Platform::TDateTime Now() const override { return FNow; }
    void Sleep(int Milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
    }
    bool Sleep(int Milliseconds, const Platform::TStopSignal& Stop) override
    {
        return !Stop.WaitFor(std::chrono::milliseconds(Milliseconds));
    }

private:
    Platform::TDateTime FNow;
};

void WriteTone(const std::string& FileName, double Seconds)
{
    SF_INFO Info{};
    Info.samplerate = 48000;
    Info.channels = 1;
    Info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* File = sf_open(FileName.c_str(), SFM_WRITE, &Info);
    ASSERT_NE(File, nullptr);
    std::vector<float> Samples(static_cast<std::size_t>(Seconds * Info.samplerate));
    for (std::size_t Index = 0; Index < Samples.size(); ++Index)
        Samples[Index] = 0.5f * static_cast<float>(std::sin(2 * M_PI * 440 * Index / Info.samplerate));
    sf_writef_float(File, Samples.data(), static_cast<sf_count_t>(Samples.size()));
    sf_close(File);
}

class WatchSoundTest : public TWatchFixture
{
protected:
    void SetUp() override
    {
        TWatchFixture::SetUp();
        if (!Server.Installed())
            GTEST_SKIP() << "no pulseaudio on this machine";
        ASSERT_TRUE(Server.Started()) << Server.FailureReason() << Server.Log();
        Services.Clock = &RealPace;
        Services.Sound = &RealSound;
        SeedStore();
        StoreText("Task", "0");
        StoreText("Waiting", "1");
        StoreFloat("DateTime", Seven);
        StoreText("Sound", "alarme.wav");
    }

    static constexpr double Seven = 46000 + 7.0 / 24;
    Zentavo::Testing::TPrivateSoundServer Server;
    TRealPaceClock RealPace{Seven};
    Platform::TLinuxSound RealSound;
};

TEST_F(WatchSoundTest, ThreeRepetitionsAreThreeBurstsAPauseApart)
{
    WriteTone("alarme.wav", 0.4);
    StoreText("Playtime", "3");
    Server.StartRecording();
    Twatch& Watch = Start();
    // Three sounds and two pauses, and the tray refresh that ends the alarm.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !Watch.GMTSystem->Waiting && Watch.GMTSystem->PlayCount == 3; }, 15000));
    QTest::qWait(300);
    const Zentavo::Testing::TSoundRecording Recording = Server.StopRecording();
    const auto Bursts = Recording.Bursts(0.05f, 300);
    ASSERT_EQ(Bursts.size(), 3u);
    for (const auto& Burst : Bursts)
        EXPECT_NEAR(Burst.LengthMilliseconds, 400, 60);
    for (std::size_t Index = 1; Index < Bursts.size(); ++Index)
        EXPECT_NEAR(Bursts[Index].StartMilliseconds - Bursts[Index - 1].EndMilliseconds(), 1500, 150)
            << "the pause before repetition " << Index + 1;
}

TEST_F(WatchSoundTest, EscapeDuringTheSecondRepetitionCutsItAndNoneFollows)
{
    WriteTone("alarme.wav", 2.0);
    StoreText("Playtime", "5");
    Server.StartRecording();
    Twatch& Watch = Start();
    // The worker's first pass needs the window's thread; once the alarm fires it does not until the end.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Watch.GMTSystem->Waiting; }, 10000));
    // The first sound, the pause, and then 400 ms of the second.
    const auto First = Server.WaitForSound(0.05f, 10s);
    ASSERT_TRUE(First.has_value());
    std::this_thread::sleep_until(*First + 2000ms + 1500ms + 400ms);
    QTest::keyClick(Watch.Moon, Qt::Key_Escape);
    QTest::qWait(3000); // long enough for a third repetition to start, were there one
    const Zentavo::Testing::TSoundRecording Recording = Server.StopRecording();
    const auto Bursts = Recording.Bursts(0.05f, 300);
    ASSERT_EQ(Bursts.size(), 2u);
    EXPECT_NEAR(Bursts[0].LengthMilliseconds, 2000, 80);
    EXPECT_LT(Bursts[1].LengthMilliseconds, 600) << "cut short";
    EXPECT_FALSE(Watch.GMTSystem->Waiting);
}

TEST_F(WatchSoundTest, ClosingInTheMiddleOfASoundIsPrompt)
{
    WriteTone("alarme.wav", 5.0);
    StoreText("Playtime", "3");
    Server.StartRecording();
    Twatch& Watch = Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Watch.GMTSystem->Waiting; }, 10000));
    ASSERT_TRUE(Server.WaitForSound(0.05f, 10s).has_value());
    const auto Started = std::chrono::steady_clock::now();
    Close();
    EXPECT_LT(std::chrono::steady_clock::now() - Started, 2s);
}

} // namespace
