// The real program in the user's language: the alarm's desktop notice, the
// first thing it says of its own accord, in Portuguese by default and in
// English where the environment asks for it.
#include "FakeNotificationServer.h"
#include "PrivateBus.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QProcess>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Zentavo::Testing::TFakeNotificationServer;
using Zentavo::Testing::TPrivateBus;

std::string Float(double Value)
{
    std::ostringstream Text;
    const auto* Bytes = reinterpret_cast<const unsigned char*>(&Value);
    Text << "hex:";
    for (std::size_t Index = 0; Index < sizeof Value; ++Index) {
        char Pair[4];
        std::snprintf(Pair, sizeof Pair, "%02x", Bytes[Index]);
        Text << (Index ? "," : "") << Pair;
    }
    return Text.str();
}

// The notice of an alarm due now, from the real program started with Language
// as LANGUAGE (empty: unset).
std::optional<TFakeNotificationServer::TNotice> AlarmNotice(const QString& Language)
{
    TFakeNotificationServer Server;
    EXPECT_TRUE(Server.Started()) << Server.FailureReason();
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("language");
    const std::string WorkingFolder = Folder + "/work", ConfigHome = Folder + "/config";
    std::filesystem::create_directories(WorkingFolder);
    std::filesystem::create_directories(ConfigHome + "/zentavo-3d");
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", WorkingFolder + "/sysConf.xml");
    // The day count of now, local time being UTC here.
    const double Now = QDateTime::currentMSecsSinceEpoch() / 86400000.0 + 25569;
    std::ofstream(ConfigHome + "/zentavo-3d/registry.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n"
        << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        << "\"Top\"=\"10\"\r\n\"Left\"=\"10\"\r\n"
        << "\"Pitch\"=" << Float(0) << "\r\n\"Roll\"=" << Float(0) << "\r\n\"Turn\"=" << Float(0) << "\r\n"
        << "\"FocalLength\"=" << Float(119.99996) << "\r\n"
        << "\"DateTime\"=" << Float(Now - 1.0 / 86400) << "\r\n"
        << "\"Task\"=\"0\"\r\n\"Waiting\"=\"1\"\r\n\"Playtime\"=\"1\"\r\n"
        << "\"Sound\"=\"" << WorkingFolder << "/no-such-sound.wav\"\r\n\"RunOnce\"=\"0\"\r\n";

    QProcess Program;
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(ConfigHome));
    Environment.insert("HOME", QString::fromStdString(Folder));
    Environment.remove("QT_QPA_PLATFORM");
    if (Language.isEmpty())
        Environment.remove("LANGUAGE");
    else
        Environment.insert("LANGUAGE", Language);
    Program.setProcessEnvironment(Environment);
    Program.setWorkingDirectory(QString::fromStdString(WorkingFolder));
    Program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    Program.start(ZENTAVO_EXECUTABLE, {});
    EXPECT_TRUE(Program.waitForStarted(10000));
    std::optional<TFakeNotificationServer::TNotice> Found;
    const auto Deadline = std::chrono::steady_clock::now() + 15s;
    while (!Found && std::chrono::steady_clock::now() < Deadline) {
        for (const auto& Notice : Server.Notices())
            if (!Notice.Actions.empty())
                Found = Notice;
        std::this_thread::sleep_for(50ms);
    }
    Program.terminate();
    EXPECT_TRUE(Program.waitForFinished(10000));
    EXPECT_EQ(Program.exitCode(), 0);
    return Found;
}

class LanguageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!Bus.Installed())
            GTEST_SKIP() << Bus.FailureReason();
        ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
    }
    TPrivateBus Bus;
};

TEST_F(LanguageTest, TheClockSpeaksPortugueseUnlessTheUserReadsEnglish)
{
    const auto Portuguese = AlarmNotice({});
    ASSERT_TRUE(Portuguese.has_value());
    EXPECT_EQ(Portuguese->Summary, "Alarme");
    EXPECT_EQ(Portuguese->Actions, (std::vector<std::string>{"parar", "Parar"}));

    const auto English = AlarmNotice(QStringLiteral("en_GB:en"));
    ASSERT_TRUE(English.has_value());
    EXPECT_EQ(English->Summary, "Alarm");
    EXPECT_EQ(English->Actions, (std::vector<std::string>{"parar", "Stop"}));

    const auto German = AlarmNotice(QStringLiteral("de"));
    ASSERT_TRUE(German.has_value());
    EXPECT_EQ(German->Summary, "Alarme") << "a language the clock does not speak gets its own";
}

} // namespace
