// The scheduled event's notices end to end: the window's worker against a fake
// notification server on a private session bus.
#include "WatchFixture.h"

#include "app/FlatImageButton.h"
#include "FakeNotificationServer.h"
#include "platform/DBusNotifications.h"
#include "PrivateBus.h"
#include "state/DateTimeText.h"

#include <QCoreApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Zentavo::Testing::TFakeNotificationServer;
using Zentavo::Testing::TPrivateBus;

std::vector<QString> Messages;

void RecordMessage(QtMsgType, const QMessageLogContext&, const QString& Text)
{
    Messages.push_back(Text);
}

class WatchNoticeTest : public TWatchFixture
{
protected:
    void SetUp() override
    {
        TWatchFixture::SetUp();
        Messages.clear();
        FPreviousHandler = qInstallMessageHandler(RecordMessage);
        if (!Bus.Installed())
            GTEST_SKIP() << Bus.FailureReason();
        ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
        Notifications.emplace();
        Services.Notifications = &*Notifications;
        Clock.SetNow(Seven);
        SeedStore();
        StoreText("Task", "0");
        StoreText("Waiting", "1");
        StoreFloat("DateTime", Seven);
        StoreText("Sound", "alarme.wav");
        std::filesystem::create_directories("pictures");
        std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/pictures/CLOCK.png", "pictures/CLOCK.png");
    }
    void TearDown() override
    {
        TWatchFixture::TearDown();
        qInstallMessageHandler(FPreviousHandler);
    }

    // A sound that lasts until it is stopped.
    void SoundUntilStopped()
    {
        Sound.SetPlayHandler([this](const std::string&) { Sound.WaitForStop(20s); });
    }

    static bool ServeUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout = 10s)
    {
        const auto Deadline = std::chrono::steady_clock::now() + Timeout;
        while (!Condition()) {
            if (std::chrono::steady_clock::now() >= Deadline)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    // An add-on library that counts the shutdown requests, from none.
    int& CountShutDowns()
    {
        static int ShutDowns;
        ShutDowns = 0;
        Libraries.AddLibrary("ztaddon.so", {{"SysShootDown", reinterpret_cast<void*>(+[]() -> int32_t {
                                                 ++ShutDowns;
                                                 return 1;
                                             })}});
        return ShutDowns;
    }

    static bool Closed(const TFakeNotificationServer& Server, unsigned Id)
    {
        const std::vector<unsigned> Ids = Server.Closed();
        return std::find(Ids.begin(), Ids.end(), Id) != Ids.end();
    }

    static constexpr double Seven = 46213 + 7.0 / 24; // 2026-07-10 07:00
    TPrivateBus Bus;
    std::optional<Platform::TDBusNotifications> Notifications;

private:
    QtMessageHandler FPreviousHandler = nullptr;
};

TEST_F(WatchNoticeTest, PararOnTheRingingAlarmsNoticeStopsItAtOnceAsTheStopKeyDoes)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    SoundUntilStopped();
    StoreText("Playtime", "59");
    Twatch& Watch = Start();
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 1 && Sound.Played().size() == 1; }));
    const TFakeNotificationServer::TNotice Notice = Server.Notices()[0];
    EXPECT_EQ(Notice.Summary, "Alarme");
    EXPECT_EQ(Notice.Body, DateTimeText(Seven).toStdString());
    EXPECT_EQ(Notice.Icon, "file://" + std::filesystem::absolute("pictures/CLOCK.png").string());
    EXPECT_EQ(Notice.Urgency, 2);
    EXPECT_EQ(Notice.ExpireTimeout, 0);
    EXPECT_EQ(Notice.Actions, (std::vector<std::string>{"parar", "Parar"}));

    const int StopsBefore = Sound.Stops();
    const auto Asked = std::chrono::steady_clock::now();
    Server.InvokeAction(Notice.Id, "parar");
    ASSERT_TRUE(ServeUntil([&] { return Sound.Stops() > StopsBefore; }, 5s));
    const auto Latency =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - Asked);
    std::cout << "From the click on Parar to the sound's stop: " << Latency.count() / 1000.0 << " ms\n";
    RecordProperty("StopLatencyMicroseconds", static_cast<int>(Latency.count()));
    EXPECT_LT(Latency, 100ms);

    // The repetitions end there, as for the stop key: disarmed, no further sound.
    ASSERT_TRUE(ServeUntil([&] { return Watch.GMTSystem->PlayCount == 59; }));
    EXPECT_FALSE(Watch.GMTSystem->Waiting);
    ASSERT_TRUE(WorkerPasses(2)) << "the worker is back to its passes";
    EXPECT_EQ(Sound.Played().size(), 1u);
    EXPECT_EQ(Server.Notices().size(), 1u);
    EXPECT_TRUE(Errors.empty());
    EXPECT_TRUE(Messages.empty()) << Messages[0].toStdString();
}

TEST_F(WatchNoticeTest, TheStopKeyStillStopsTheAlarmAndItsNoticeIsClosedAsTheRepetitionsEnd)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    SoundUntilStopped();
    StoreText("Playtime", "5");
    Twatch& Watch = Start();
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 1 && Sound.Played().size() == 1; }));
    QTest::keyClick(Watch.Moon, Qt::Key_Escape);
    ASSERT_TRUE(ServeUntil([&] { return Closed(Server, Server.Notices()[0].Id); }))
        << "the notice goes with the alarm";
    EXPECT_FALSE(Watch.GMTSystem->Waiting);
    EXPECT_EQ(Sound.Played().size(), 1u);

    // An alarm that rings its repetitions out takes its notice away too.
    Sound.SetPlayHandler({});
    Clock.SetHoldSleeps(false);
    Watch.GMTSystem->PlayCount = 0;
    Watch.GMTSystem->Playtime = 2;
    Watch.GMTSystem->DateTime = Clock.Now();
    Watch.GMTSystem->Waiting = true;
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 2 && !Watch.GMTSystem->Waiting; }));
    ASSERT_TRUE(ServeUntil([&] { return Closed(Server, Server.Notices()[1].Id); }));
    EXPECT_EQ(Sound.Played().size(), 3u);
    Clock.SetHoldSleeps(true);
}

TEST_F(WatchNoticeTest, ClosingTheClockWhileTheAlarmRingsTakesItsNoticeAway)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    SoundUntilStopped();
    StoreText("Playtime", "59");
    Start();
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 1 && Sound.Played().size() == 1; }));
    Close();
    // A "Parar" left behind would stop nothing.
    EXPECT_TRUE(ServeUntil([&] { return Closed(Server, Server.Notices()[0].Id); }));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WatchNoticeTest, AnEventDroppedForBeingLateIsToldOnceAndTheStoreIsLeftAsItWas)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    StoreText("Task", "1");
    Clock.SetNow(Seven + 2.0 / 24); // the computer was off at seven
    Twatch& Watch = Start();
    ASSERT_TRUE(ServeUntil([&] { return !Watch.GMTSystem->Waiting; }));
    ASSERT_TRUE(WorkerPasses(3));
    ASSERT_TRUE(ServeUntil([&] { return !Server.Notices().empty(); }, 5s));
    ServeUntil([] { return false; }, 200ms);
    const auto Notices = Server.Notices();
    ASSERT_EQ(Notices.size(), 1u);
    EXPECT_EQ(Notices[0].Summary, "Evento perdido");
    EXPECT_EQ(Notices[0].Body, "Desligar: " + DateTimeText(Seven).toStdString());
    EXPECT_TRUE(Notices[0].Actions.empty());
    EXPECT_EQ(StoredText("Waiting"), "1") << "disarmed in the clock only, saved at the next save as before";
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WatchNoticeTest, AShutdownIsToldInItsLastMinuteAndCancelarCallsItOffForGood)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    const int& ShutDowns = CountShutDowns();
    StoreText("Task", "1");
    Clock.SetNow(Seven - 30.0 / 86400);
    Twatch& Watch = Start();
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 1; }));
    ASSERT_TRUE(WorkerPasses(2));
    ServeUntil([] { return false; }, 200ms);
    ASSERT_EQ(Server.Notices().size(), 1u) << "told once, not on every pass";
    const TFakeNotificationServer::TNotice Notice = Server.Notices()[0];
    EXPECT_EQ(Notice.Summary, "O computador será desligado em breve");
    EXPECT_EQ(Notice.Body, "Evento agendado do Zentavo para " + DateTimeText(Seven).toStdString());
    EXPECT_EQ(Notice.Actions, (std::vector<std::string>{"cancelar", "Cancelar"}));
    EXPECT_TRUE(Watch.GMTSystem->Waiting) << "nothing changes until the user answers";

    Server.InvokeAction(Notice.Id, "cancelar");
    ASSERT_TRUE(ServeUntil([&] { return !Watch.GMTSystem->Waiting; }, 5s));
    EXPECT_EQ(StoredText("Waiting"), "0") << "stored at once: a restart finds it called off";
    EXPECT_TRUE(ServeUntil([&] { return Closed(Server, Notice.Id); }));

    // Its moment passes without a shutdown or another notice.
    Clock.SetNow(Seven + 5.0 / 86400);
    ASSERT_TRUE(WorkerPasses(2));
    ServeUntil([] { return false; }, 200ms);
    EXPECT_EQ(ShutDowns, 0);
    EXPECT_EQ(Server.Notices().size(), 1u);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WatchNoticeTest, AShutdownNotCalledOffComesAtItsMomentAndItsNoticeGivesWayToTheLastOne)
{
    TFakeNotificationServer Server;
    ASSERT_TRUE(Server.Started()) << Server.FailureReason();
    const int& ShutDowns = CountShutDowns();
    StoreText("Task", "1");
    Clock.SetNow(Seven - 20.0 / 86400);
    Start();
    ASSERT_TRUE(ServeUntil([&] { return Server.Notices().size() == 1; }));
    Clock.SetNow(Seven);
    ASSERT_TRUE(WorkerPasses(1));
    ASSERT_TRUE(ServeUntil([&] { return ShutDowns == 1 && Server.Notices().size() == 2; }));
    EXPECT_EQ(Server.Notices()[1].Summary, "Desligando o computador");
    EXPECT_TRUE(ServeUntil([&] { return Closed(Server, Server.Notices()[0].Id); }));
    EXPECT_EQ(StoredText("Waiting"), "0");
}

TEST_F(WatchNoticeTest, WithNoNotificationServerTheAlarmRingsAsBeforeAndNothingIsSaid)
{
    StoreText("Playtime", "3");
    Clock.SetHoldSleeps(false);
    Twatch& Watch = Start();
    ASSERT_TRUE(ServeUntil([&] { return !Watch.GMTSystem->Waiting && Watch.GMTSystem->PlayCount == 3; }));
    ServeUntil([] { return false; }, 300ms);
    EXPECT_EQ(Sound.Played(), (std::vector<std::string>{"alarme.wav", "alarme.wav", "alarme.wav"}));
    Clock.SetHoldSleeps(true);
    EXPECT_TRUE(Errors.empty());
    EXPECT_TRUE(Messages.empty()) << Messages[0].toStdString();
}

} // namespace
