// The end of the session, or a termination signal, while the setup dialog is
// open: the dialog ends as Cancel, the clock saves once and exits, and no
// online run starts on the way out.
#include "FakeBusServices.h"
#include "LocalHttpServer.h"
#include "PrivateBus.h"
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

namespace {

std::string ReadFile(const std::string& Name)
{
    std::ifstream File(Name);
    return std::string(std::istreambuf_iterator<char>(File), {});
}

class SetUpCloseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!Bus.Installed())
            GTEST_SKIP() << Bus.FailureReason();
        ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
        Zentavo::Testing::TFakeBusServices::TOptions Options;
        Options.NetworkState = 70u; // connected: an online run would go all the way
        Services = std::make_unique<Zentavo::Testing::TFakeBusServices>(Options);
        ASSERT_TRUE(Services->Started()) << Services->FailureReason();

        Folder = Zentavo::Testing::MakeScratchFolder("setup-close");
        Work = Folder + "/work";
        Config = Folder + "/config";
        std::filesystem::create_directories(Work);
        std::filesystem::create_directories(Config + "/zentavo-3d");
        for (const char* Library : {ZENTAVO_IMAGES_LIBRARY, ZENTAVO_CONNECTION_LIBRARY})
            std::filesystem::copy_file(Library,
                                       Work + "/" + std::filesystem::path(Library).filename().string());
        std::filesystem::copy(ZENTAVO_SOURCE_DIR "/data/pictures", Work + "/pictures");
        // The document's refresh address on the local server: any online run asks it.
        std::string Document = ReadFile(ZENTAVO_SOURCE_DIR "/data/sysConf.xml");
        Document = std::regex_replace(Document, std::regex("<link url=\"[^\"]*\""),
                                      "<link url=\"" + Server.Url("/zentavo/") + "\"");
        std::ofstream(Work + "/sysConf.xml") << Document;
        std::ofstream(Config + "/zentavo-3d/registry.reg")
            << "Windows Registry Editor Version 5.00\r\n\r\n"
            << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
            << "\"Pitch\"=hex:00,00,00,00,00,00,00,00\r\n\"Roll\"=hex:00,00,00,00,00,00,00,00\r\n"
            << "\"Turn\"=hex:00,00,00,00,00,00,00,00\r\n\"FocalLength\"=hex:00,00,00,00,00,00,5e,40\r\n"
            << "\"DateTime\"=hex:00,00,00,00,00,00,e0,40\r\n"
            << "\"Top\"=\"40\"\r\n\"Left\"=\"50\"\r\n\"Alpha\"=\"200\"\r\n\"RunOnce\"=\"0\"\r\n";
    }

    void TearDown() override
    {
        if (Program.state() != QProcess::NotRunning) {
            Program.kill();
            Program.waitForFinished(5000);
        }
    }

    void Start()
    {
        QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert("HOME", QString::fromStdString(Folder));
        Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Config));
        Environment.insert("XDG_CACHE_HOME", QString::fromStdString(Folder + "/cache"));
        Environment.remove("QT_QPA_PLATFORM");
        Program.setProcessEnvironment(Environment);
        Program.setWorkingDirectory(QString::fromStdString(Work));
        Program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        Program.start(ZENTAVO_EXECUTABLE, {});
        ASSERT_TRUE(Program.waitForStarted(10000));
    }

    void OpenTheDialog()
    {
        ASSERT_TRUE(TXDisplay::WaitFor([&] { return (Clock = X.FindByName("watch")).has_value(); }));
        ASSERT_TRUE(TXDisplay::WaitFor([&] { return X.BoundingShape(*Clock).has_value(); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QProcess Tool;
        Tool.start("xdotool", {"mousemove", "66", "56", "click", "--repeat", "2", "--delay", "60", "1"});
        ASSERT_TRUE(Tool.waitForFinished(10000));
        std::optional<Window> Dialog;
        ASSERT_TRUE(TXDisplay::WaitFor([&] {
            return (Dialog = X.FindByName("Zentavo 3D Setup")).has_value() && X.IsShown(*Dialog);
        })) << "the setup dialog opens";
    }

    // Sends Signal, then how long the program took to end, or nothing when it did not within 5 s.
    std::optional<std::chrono::milliseconds> EndWith(int Signal)
    {
        const auto Sent = std::chrono::steady_clock::now();
        ::kill(static_cast<pid_t>(Program.processId()), Signal);
        if (!Program.waitForFinished(5000))
            return std::nullopt;
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Sent);
    }

    std::optional<Window> Clock;
    Zentavo::Testing::TPrivateBus Bus;
    std::unique_ptr<Zentavo::Testing::TFakeBusServices> Services;
    Zentavo::Testing::TLocalHttpServer Server;
    TXDisplay X;
    QProcess Program;
    std::string Folder, Work, Config;
};

TEST_F(SetUpCloseTest, TerminationWithTheDialogOpenCancelsItSavesAndExitsWithoutAnOnlineRun)
{
    for (const int Signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(Signal);
        Start();
        OpenTheDialog();
        // Where the close's save will find the clock.
        const int Left = Signal == SIGTERM ? 44 : 66;
        X.Move(*Clock, Left, 33);
        ASSERT_TRUE(TXDisplay::WaitFor([&] {
            int X0, Y0, Width, Height;
            X.Geometry(*Clock, X0, Y0, Width, Height);
            return X0 == Left && Y0 == 33;
        }));
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // let the program see its new place
        const auto Took = EndWith(Signal);
        ASSERT_TRUE(Took.has_value()) << "still running 5 s after the signal";
        EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit) << "crashed";
        EXPECT_EQ(Program.exitCode(), 0);
        EXPECT_LE(Took->count(), 2000);
        RecordProperty(Signal == SIGTERM ? "SigtermToExitMilliseconds" : "SighupToExitMilliseconds",
                       static_cast<int>(Took->count()));
        EXPECT_EQ(Server.RequestCount(), 0u) << "an online run started on the way out";
        EXPECT_TRUE(Services->CallsOf("Get org.freedesktop.NetworkManager State").empty())
            << "the connection was queried on the way out";
        const std::string Store = ReadFile(Config + "/zentavo-3d/registry.reg");
        EXPECT_NE(Store.find("\"Left\"=\"" + std::to_string(Left) + "\""), std::string::npos) << Store;
        EXPECT_NE(Store.find("\"Alpha\"=\"200\""), std::string::npos) << Store;
    }
}

} // namespace
