// The notices against a fake notification server on a private session bus.
#include "platform/DBusNotifications.h"

#include "FakeNotificationServer.h"
#include "PrivateBus.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QtGlobal>
#include <QThread>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Zentavo::Testing::TFakeNotificationServer;
using Zentavo::Testing::TPrivateBus;

std::vector<QString> Messages;

void RecordMessage(QtMsgType, const QMessageLogContext&, const QString& Text)
{
    Messages.push_back(Text);
}

// Serves this thread's events until Condition holds; false after Timeout.
bool ServeUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout = 5s)
{
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() >= Deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

Platform::TNotice AlarmNotice()
{
    Platform::TNotice Notice;
    Notice.Summary = "Alarme";
    Notice.Body = "10/07/2026 07:00:00\tquer dizer: já";
    Notice.Icon = "/opt/zentavo 3d/pictures/CLOCK.png";
    Notice.Urgency = Platform::TNotice::TUrgency::Critical;
    Notice.Persistent = true;
    Notice.Actions = {{"parar", "Parar"}};
    return Notice;
}

class DBusNotificationsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Messages.clear();
        FPreviousHandler = qInstallMessageHandler(RecordMessage);
        if (!Bus.Installed())
            GTEST_SKIP() << Bus.FailureReason();
        ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
    }
    void TearDown() override { qInstallMessageHandler(FPreviousHandler); }

    TPrivateBus Bus;

private:
    QtMessageHandler FPreviousHandler = nullptr;
};

TEST_F(DBusNotificationsTest,
       ANoticeFromAnyThreadReachesTheServerAsWordedAndItsActionComesBackOnTheOwnersThread)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    Platform::TDBusNotifications Notifications;
    std::vector<std::string> Invoked;
    std::vector<bool> OnOwnersThread;
    std::thread Worker([&] {
        Notifications.Show(AlarmNotice(), [&](const std::string& Key) {
            Invoked.push_back(Key);
            OnOwnersThread.push_back(QThread::currentThread() == Notifications.thread());
        });
    });
    Worker.join();
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 1; }));
    const TFakeNotificationServer::TNotice Notice = Server.Notices()[0];
    EXPECT_EQ(Notice.AppName, "Zentavo 3D");
    EXPECT_EQ(Notice.ReplacesId, 0u);
    EXPECT_EQ(Notice.Icon, "file:///opt/zentavo%203d/pictures/CLOCK.png");
    EXPECT_EQ(Notice.Summary, "Alarme");
    EXPECT_EQ(Notice.Body, "10/07/2026 07:00:00\tquer dizer: já");
    EXPECT_EQ(Notice.Actions, (std::vector<std::string>{"parar", "Parar"}));
    EXPECT_EQ(Notice.Urgency, 2);
    EXPECT_EQ(Notice.ExpireTimeout, 0) << "persistent";

    Server.InvokeAction(Notice.Id, "parar");
    ASSERT_TRUE(ServeUntil([&] { return !Invoked.empty(); }));
    EXPECT_EQ(Invoked, std::vector<std::string>{"parar"});
    EXPECT_EQ(OnOwnersThread, std::vector<bool>{true});

    Platform::TNotice Short;
    Short.Summary = "Evento perdido";
    Notifications.Show(Short);
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 2; }));
    EXPECT_EQ(Server.Notices()[1].Urgency, 1);
    EXPECT_EQ(Server.Notices()[1].ExpireTimeout, -1) << "the server's own timeout";
    EXPECT_TRUE(Server.Notices()[1].Actions.empty());
    EXPECT_TRUE(Messages.empty()) << Messages[0].toStdString();
}

TEST_F(DBusNotificationsTest, ACloseFromTheWorkerReachesTheServerAnsweredOrNotAndEndsTheActions)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    Platform::TDBusNotifications Notifications;
    int Invoked = 0;
    std::optional<Platform::TNotifications::TNoticeId> First;
    // Shown and closed at once: the server has not answered yet.
    std::thread([&] {
        First = Notifications.Show(AlarmNotice(), [&](const std::string&) { ++Invoked; });
    }).join();
    std::thread([&] { Notifications.Close(*First); }).join();
    ASSERT_TRUE(ServeUntil([&] { return Server.Closed().size() == 1; }));
    ASSERT_EQ(Server.Notices().size(), 1u);
    EXPECT_EQ(Server.Closed()[0], Server.Notices()[0].Id);

    const auto Second = Notifications.Show(AlarmNotice(), [&](const std::string&) { ++Invoked; });
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 2; }));
    QCoreApplication::processEvents(); // the server's answer
    std::thread([&] { Notifications.Close(Second); }).join();
    ASSERT_TRUE(ServeUntil([&] { return Server.Closed().size() == 2; }));
    EXPECT_EQ(Server.Closed()[1], Server.Notices()[1].Id);

    // Whatever the server still sends about them, closed notices are done with.
    Server.InvokeAction(Server.Notices()[0].Id, "parar");
    Server.InvokeAction(Server.Notices()[1].Id, "parar");
    const auto Third = Notifications.Show(AlarmNotice(), [&](const std::string&) { ++Invoked; });
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 3; }));
    Server.Dismiss(Server.Notices()[2].Id);
    Server.InvokeAction(Server.Notices()[2].Id, "parar");
    ServeUntil([] { return false; }, 300ms);
    EXPECT_EQ(Invoked, 0);
    Notifications.Close(Third); // dismissed by the user: nothing left to close
    ServeUntil([] { return false; }, 100ms);
    EXPECT_EQ(Server.Closed().size(), 2u);
    EXPECT_TRUE(Messages.empty()) << Messages[0].toStdString();
}

TEST_F(DBusNotificationsTest, WithoutAServerOrWithoutABusNothingHappensAndNothingIsSaid)
{
    {
        Platform::TDBusNotifications Notifications;
        int Invoked = 0;
        const auto Id = Notifications.Show(AlarmNotice(), [&](const std::string&) { ++Invoked; });
        EXPECT_NE(Id, 0u);
        ServeUntil([] { return false; }, 300ms);
        Notifications.Close(Id);
        EXPECT_EQ(Invoked, 0);
    }

    // No address and no user bus: no bus is looked for, none started.
    const std::string Runtime = (std::filesystem::current_path() / "runtime").string();
    std::filesystem::create_directories(Runtime);
    const std::string Address = Bus.Address();
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::setenv("XDG_RUNTIME_DIR", Runtime.c_str(), 1);
    EXPECT_EQ(Platform::TDBusNotifications::SessionBusAddress(), "");
    {
        Platform::TDBusNotifications Notifications;
        const auto Id = Notifications.Show(AlarmNotice());
        Notifications.Close(Id);
        ServeUntil([] { return false; }, 100ms);
    }
    // A bus address that leads nowhere.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + Runtime + "/gone").c_str(), 1);
    {
        Platform::TDBusNotifications Notifications;
        Notifications.Close(Notifications.Show(AlarmNotice()));
        ServeUntil([] { return false; }, 100ms);
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", Address.c_str(), 1);
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(Messages.empty()) << Messages[0].toStdString();
}

TEST(SessionBusAddressTest, TheUsersBusInTheRuntimeFolderWhenNoAddressIsGiven)
{
    const char* Before = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string Saved = Before ? Before : "";
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string Runtime = (std::filesystem::current_path() / "user-runtime").string();
    std::filesystem::create_directories(Runtime);
    ::setenv("XDG_RUNTIME_DIR", Runtime.c_str(), 1);
    std::filesystem::create_directories(Runtime + "/bus");
    EXPECT_EQ(Platform::TDBusNotifications::SessionBusAddress(), "") << "a folder is no bus";
    std::filesystem::remove(Runtime + "/bus");
    {
        TPrivateBus Private; // its socket stands in for the user's bus
        if (!Private.Installed())
            GTEST_SKIP() << Private.FailureReason();
        ASSERT_TRUE(Private.Started());
        std::filesystem::create_symlink(Private.Folder() + "/bus", Runtime + "/bus");
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        EXPECT_EQ(Platform::TDBusNotifications::SessionBusAddress(), "unix:path=" + Runtime + "/bus");
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/elsewhere", 1);
        EXPECT_EQ(Platform::TDBusNotifications::SessionBusAddress(), "unix:path=/elsewhere");
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    if (Before)
        ::setenv("DBUS_SESSION_BUS_ADDRESS", Saved.c_str(), 1);
}

} // namespace
