// The minute-tick worker fires a due shutdown and is then held inside the
// add-on library's call; a termination request still ends the clock at once,
// with its settings saved.
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Float(double Value)
{
    std::ostringstream Text;
    Text << "hex:";
    const auto* Bytes = reinterpret_cast<const unsigned char*>(&Value);
    for (std::size_t Index = 0; Index < sizeof Value; ++Index) {
        char Pair[4];
        std::snprintf(Pair, sizeof Pair, "%02x", Bytes[Index]);
        Text << (Index ? "," : "") << Pair;
    }
    return Text.str();
}

std::string ReadFile(const std::string& Name)
{
    std::ifstream File(Name);
    return std::string(std::istreambuf_iterator<char>(File), {});
}

TEST(HeldWorkerCloseTest, TerminationWhileTheWorkerIsInsideACompanionCallEndsWithinTwoSeconds)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("held-worker");
    const std::string Work = Folder + "/work";
    const std::string Config = Folder + "/config";
    std::filesystem::create_directories(Work);
    std::filesystem::create_directories(Config + "/zentavo-3d");
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", Work + "/sysConf.xml");
    std::filesystem::copy_file(ZENTAVO_HANGING_ADDON, Work + "/ztaddon.so");
    // A shutdown due half a minute ago (the tests run in UTC, the clock's day count is local).
    const double Now = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
    std::ofstream(Config + "/zentavo-3d/registry.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n"
        << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        << "\"Pitch\"=" << Float(0) << "\r\n\"Roll\"=" << Float(0) << "\r\n\"Turn\"=" << Float(0) << "\r\n"
        << "\"FocalLength\"=" << Float(119.99996) << "\r\n\"DateTime\"=" << Float(Now - 30.0 / 86400)
        << "\r\n"
        << "\"Top\"=\"10\"\r\n\"Left\"=\"10\"\r\n\"RunOnce\"=\"0\"\r\n\"Task\"=\"1\"\r\n\"Waiting\"="
           "\"1\"\r\n";

    QProcess Program;
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert("HOME", QString::fromStdString(Folder));
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Config));
    Environment.remove("QT_QPA_PLATFORM");
    Program.setProcessEnvironment(Environment);
    Program.setWorkingDirectory(QString::fromStdString(Work));
    Program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    Program.start(ZENTAVO_EXECUTABLE, {});
    ASSERT_TRUE(Program.waitForStarted(10000));

    ASSERT_TRUE(TXDisplay::WaitFor([&] { return std::filesystem::exists(Work + "/shutdown-asked"); }))
        << "the worker fired the shutdown";
    EXPECT_NE(ReadFile(Config + "/zentavo-3d/registry.reg").find("\"Waiting\"=\"0\""), std::string::npos)
        << "saved disarmed before the request";
    const auto Sent = std::chrono::steady_clock::now();
    ::kill(static_cast<pid_t>(Program.processId()), SIGTERM);
    const bool Ended = Program.waitForFinished(10000);
    const auto Took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Sent);
    if (!Ended) {
        Program.kill();
        Program.waitForFinished(5000);
    }
    ASSERT_TRUE(Ended) << "still running 10 s after the signal";
    EXPECT_LE(Took.count(), 2000);
    testing::Test::RecordProperty("SigtermToExitMilliseconds", static_cast<int>(Took.count()));
    EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Program.exitCode(), 0);
    const std::string Store = ReadFile(Config + "/zentavo-3d/registry.reg");
    EXPECT_NE(Store.find("\"Top\"=\"10\""), std::string::npos) << Store;
    EXPECT_NE(Store.find("\"Waiting\"=\"0\""), std::string::npos) << Store;
}

} // namespace
