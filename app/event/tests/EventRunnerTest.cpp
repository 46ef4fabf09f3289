#include "app/event/EventRunner.h"
#include "app/clock/UserInterfaceQueue.h"
#include "app/notification/EventNotices.h"
#include "platform/LinuxLauncher.h"
#include "platform/StopSignal.h"
#include "platform/testing/FakeServices.h"
#include "state/GMT_System.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr double Seven = 46000 + 7.0 / 24;

class EventRunnerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fakes.Services().Launcher = &Launcher;
        Fakes.Clock.SetNow(Seven);
    }

    // A program in a folder whose name has spaces; it writes its arguments, one a line.
    std::string MakeRecorder()
    {
        const std::filesystem::path Folder = std::filesystem::current_path() / "my programs";
        std::filesystem::create_directories(Folder);
        const std::filesystem::path Program = Folder / "record args";
        std::ofstream(Program) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \""
                               << (Folder / "args.txt").string() << ".part\"\nmv \""
                               << (Folder / "args.txt").string() << ".part\" \""
                               << (Folder / "args.txt").string() << "\"\n";
        std::filesystem::permissions(Program, std::filesystem::perms::owner_all);
        return Program.string();
    }
    std::string WaitForArguments()
    {
        const std::filesystem::path File = std::filesystem::current_path() / "my programs" / "args.txt";
        for (int Attempt = 0; Attempt < 500 && !std::filesystem::exists(File); ++Attempt)
            std::this_thread::sleep_for(10ms);
        std::ifstream Stream(File);
        std::stringstream Text;
        Text << Stream.rdbuf();
        return Text.str();
    }

    Platform::TFakeServices Fakes;
    Platform::TLinuxLauncher Launcher;
    QObject Window;
    TUserInterfaceQueue Queue{Window};
    TEventNotices Notices{Fakes.Notifications, [] {}, {}};
    Platform::TStopSignal Closing;
    std::vector<std::string> Calls;
    TEventRunner Runner{Fakes.Services(),
                        Queue,
                        Closing,
                        [this] {
                            Calls.push_back("save");
                            return true;
                        },
                        [this] { Calls.push_back("tray"); },
                        Notices};
    TGMT_System System{Fakes.Clock};
};

TEST_F(EventRunnerTest, AQuotedPathWithSpacesStartsThatProgramAndNothingReachesAShell)
{
    const std::string Program = MakeRecorder();
    System.Waiting = true;
    System.Task = 2;
    System.DateTime = Seven;
    System.SetAppChild("\"" + Program + "\" 'um dois' ; touch hacked $(touch hacked2) `touch hacked3`");
    System.CheckEvent(Runner);
    EXPECT_EQ(WaitForArguments(), "um dois\n;\ntouch\nhacked\n$(touch\nhacked2)\n`touch\nhacked3`\n");
    EXPECT_FALSE(std::filesystem::exists("hacked"));
    EXPECT_FALSE(std::filesystem::exists("hacked2"));
    EXPECT_FALSE(std::filesystem::exists("hacked3"));
    EXPECT_EQ(Calls, std::vector<std::string>{"tray"});
    const auto Shown = Fakes.Notifications.Shown();
    ASSERT_EQ(Shown.size(), 1u) << "the started program is told";
    EXPECT_EQ(Shown[0].Summary, "Tarefa iniciada");
    EXPECT_EQ(Shown[0].Body, System.AppChild());
}

TEST_F(EventRunnerTest, AProgramThatDoesNotExistIsNoErrorAndTheTrayIsStillRefreshed)
{
    System.Waiting = true;
    System.Task = 2;
    System.DateTime = Seven;
    System.SetAppChild("/nowhere/to/be/found --at-all");
    EXPECT_NO_THROW(System.CheckEvent(Runner));
    EXPECT_FALSE(System.Waiting);
    EXPECT_EQ(Calls, std::vector<std::string>{"tray"});
    EXPECT_TRUE(Fakes.Notifications.Shown().empty()) << "no program started, none announced";
}

TEST_F(EventRunnerTest, FromTheWorkerTheSaveRunsOnTheWindowsThreadBeforeTheShutdownRequest)
{
    // The add-on library records the shutdown request with the save count and the notices of the moment.
    static std::vector<std::string>* Log = nullptr;
    static Platform::TFakeNotifications* Notifications = nullptr;
    Log = &Calls;
    Notifications = &Fakes.Notifications;
    Fakes.Libraries.AddLibrary("ztaddon.so", {{"SysShootDown", reinterpret_cast<void*>(+[]() -> int32_t {
                                                   for (const auto& Notice : Notifications->Shown())
                                                       Log->push_back("told: " + Notice.Summary);
                                                   Log->push_back("shutdown");
                                                   return 1;
                                               })}});
    System.Waiting = true;
    System.Task = 1;
    System.DateTime = Seven;
    std::thread Worker([&] { System.CheckEvent(Runner); });
    const auto Deadline = std::chrono::steady_clock::now() + 5s;
    while (Calls.size() < 3 && std::chrono::steady_clock::now() < Deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    Worker.join();
    EXPECT_EQ(Calls, (std::vector<std::string>{"save", "told: Desligando o computador", "shutdown"}));
}

TEST_F(EventRunnerTest, CancelarPickedAsTheMomentCameStopsTheShutdownAfterTheSave)
{
    static int ShutDowns = 0;
    ShutDowns = 0;
    Fakes.Libraries.AddLibrary("ztaddon.so", {{"SysShootDown", reinterpret_cast<void*>(+[]() -> int32_t {
                                                   ++ShutDowns;
                                                   return 1;
                                               })}});
    Notices.SetOnCallOffShutDown([this](Platform::TDateTime Due) { Runner.CallOffShutDown(System, Due); });
    System.Waiting = true;
    System.Task = 1;
    System.DateTime = Seven;
    Fakes.Clock.SetNow(Seven - 1.0 / 86400);
    System.CheckEvent(Runner);
    ASSERT_EQ(Fakes.Notifications.Shown().size(), 1u);
    // The check at the moment has disarmed the event when the user's answer arrives.
    System.Waiting = false;
    EXPECT_TRUE(Fakes.Notifications.InvokeAction(1, TEventNotices::CancelAction));
    EXPECT_TRUE(Calls.empty()) << "no second save for an event the check already took";
    Runner.ShutDown(Seven);
    EXPECT_EQ(ShutDowns, 0);
    EXPECT_EQ(Fakes.Notifications.Shown().size(), 1u) << "no shutdown told";

    // Called off ahead of its moment: disarmed and saved at once; another moment is not called off.
    System.Waiting = true;
    System.DateTime = Seven + 1;
    Runner.CallOffShutDown(System, Seven);
    EXPECT_TRUE(System.Waiting) << "not the armed shutdown";
    Runner.CallOffShutDown(System, Seven + 1);
    EXPECT_FALSE(System.Waiting);
    EXPECT_EQ(Calls, std::vector<std::string>{"save"});
    Runner.ShutDown(Seven + 2);
    EXPECT_EQ(ShutDowns, 1);
}

TEST_F(EventRunnerTest, ClosingCutsTheAlarmAndRefusesTheSaveSoThatNoShutdownFollows)
{
    Closing.Raise();
    Queue.Cancel();
    EXPECT_FALSE(Runner.Pause(1500));
    EXPECT_FALSE(Runner.SaveSettings());
    Runner.PlaySound("alarme.wav");
    EXPECT_TRUE(Fakes.Sound.Played().empty()) << "no new sound once the clock closes";
}

} // namespace

namespace {

TEST(CommandLineTest, WordsSplitAsAShellSplitsThem)
{
    using Platform::TLinuxLauncher;
    using TWords = std::vector<std::string>;
    EXPECT_EQ(TLinuxLauncher::SplitCommandLine("gedit  notas.txt"), (TWords{"gedit", "notas.txt"}));
    EXPECT_EQ(TLinuxLauncher::SplitCommandLine("\"/opt/my app/run\" 'a b' c\\ d"),
              (TWords{"/opt/my app/run", "a b", "c d"}));
    EXPECT_EQ(TLinuxLauncher::SplitCommandLine("echo \"say \\\"hi\\\" \\$HOME \\n\" ''"),
              (TWords{"echo", "say \"hi\" $HOME \\n", ""}));
    EXPECT_EQ(TLinuxLauncher::SplitCommandLine("a\"b c\"d"), (TWords{"ab cd"}));
    EXPECT_EQ(TLinuxLauncher::SplitCommandLine("   "), TWords{});
    EXPECT_EQ(TLinuxLauncher::SplitCommandLine("echo 'unterminated"), std::nullopt);
    EXPECT_EQ(TLinuxLauncher::SplitCommandLine("echo \"unterminated"), std::nullopt);
    EXPECT_FALSE(TLinuxLauncher().StartCommandLine("'"));
    EXPECT_FALSE(TLinuxLauncher().StartCommandLine(""));
}

} // namespace
