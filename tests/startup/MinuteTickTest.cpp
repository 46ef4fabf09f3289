// The real program under a fixed zone and a clock started just before a
// minute boundary: the domes move once at the minute, with one render, and
// not at all in between.
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using TSteady = std::chrono::steady_clock;

std::string Float(double Value)
{
    std::ostringstream Text;
    const auto* Bytes = reinterpret_cast<const unsigned char*>(&Value);
    for (std::size_t Index = 0; Index < sizeof Value; ++Index) {
        char Pair[4];
        std::snprintf(Pair, sizeof Pair, "%02x", Bytes[Index]);
        Text << (Index ? "," : "") << Pair;
    }
    return "hex:" + Text.str();
}

// Renders logged by the frame probe so far.
long Renders(const std::string& Log)
{
    std::ifstream File(Log);
    std::string Word;
    long Total = 0;
    while (File >> Word)
        if (Word == "renders") {
            long Count = 0;
            File >> Count;
            Total += Count;
        }
    return Total;
}

TEST(MinuteTickTest, TheDomesMoveOnceAtTheMinuteWithOneRenderAndNotInBetween)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("minute");
    const std::string Work = Folder + "/work", Config = Folder + "/config", Log = Folder + "/probe.log";
    std::filesystem::create_directories(Work);
    std::filesystem::create_directories(Config + "/zentavo-3d");
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", Work + "/sysConf.xml");
    std::filesystem::copy_file(ZENTAVO_IMAGES_LIBRARY, Work + "/images.so");
    std::filesystem::copy(ZENTAVO_SOURCE_DIR "/data/pictures", Work + "/pictures");
    std::ofstream(Config + "/zentavo-3d/registry.reg")
        << "Windows Registry Editor Version "
           "5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        << "\"Top\"=\"30\"\r\n\"Left\"=\"40\"\r\n\"Pitch\"=" << Float(0) << "\r\n\"Roll\"=" << Float(0)
        << "\r\n\"Turn\"=" << Float(0) << "\r\n\"FocalLength\"=" << Float(119.99996)
        << "\r\n\"DateTime\"=" << Float(46000.5) << "\r\n\"RunOnce\"=\"0\"\r\n\"GMT\"=\"-3\"\r\n";

    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Config));
    Environment.insert("HOME", QString::fromStdString(Folder));
    Environment.insert("TZ", "America/Sao_Paulo");
    Environment.remove("QT_QPA_PLATFORM");
    // The program's clock starts at 10:30:52 and runs at the real pace; timers keep the real monotonic clock.
    Environment.insert("LD_PRELOAD", ZENTAVO_FAKETIME_LIBRARY ":" ZENTAVO_FRAME_PROBE);
    Environment.insert("FAKETIME", "@2026-12-09 10:30:52");
    Environment.insert("FAKETIME_DONT_FAKE_MONOTONIC", "1");
    Environment.insert("ZENTAVO_PROBE_LOG", QString::fromStdString(Log));
    QProcess Program;
    Program.setProcessEnvironment(Environment);
    Program.setWorkingDirectory(QString::fromStdString(Work));
    Program.setProcessChannelMode(QProcess::ForwardedChannels);
    const TSteady::time_point Started = TSteady::now();
    Program.start(ZENTAVO_EXECUTABLE, {});
    ASSERT_TRUE(Program.waitForStarted(10000));

    TXDisplay X;
    std::optional<Window> Clock;
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return (Clock = X.FindByName("watch")).has_value(); }));
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return X.BoundingShape(*Clock).has_value() && Renders(Log) > 0; }));
    int Left, Top, Width, Height;
    X.Geometry(*Clock, Left, Top, Width, Height);
    const auto At = [&](std::chrono::seconds Moment) {
        std::this_thread::sleep_until(Started + Moment);
        return std::pair{X.Screenshot(Left, Top, Width, Height), Renders(Log)};
    };
    // Passes come every five seconds from the start: the one after 10:31:00 turns the domes.
    const auto [First, RendersFirst] = At(3s);
    ASSERT_LT(TSteady::now() - Started, 6s) << "too slow a start for this test's timing";
    const auto [Second, RendersSecond] = At(7s);
    const auto [Third, RendersThird] = At(18s);
    Program.terminate();
    ASSERT_TRUE(Program.waitForFinished(10000));

    EXPECT_EQ(RendersSecond, RendersFirst) << "passes within a minute draw nothing";
    EXPECT_EQ(First, Second);
    EXPECT_EQ(RendersThird - RendersSecond, 1) << "exactly one render for the minute";
    long Changed = 0;
    for (std::size_t Index = 0; Index < Second.size(); ++Index)
        Changed += Second[Index] != Third[Index] ? 1 : 0;
    // Six degrees of the minute dome (and a quarter degree of the hour dome) move many pixels, not the whole
    // picture.
    EXPECT_GT(Changed, 200);
    EXPECT_LT(Changed, static_cast<long>(Second.size()) / 2);
}

} // namespace
