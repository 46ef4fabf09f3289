#include "app/notification/EventNotices.h"
#include "platform/testing/FakeNotifications.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using TUrgency = Platform::TNotice::TUrgency;

// 2026-07-10 07:00 and 2026-03-29 01:30, both local.
constexpr double JulyTenth = 46213 + 7.0 / 24;
constexpr double SpringForward = 46110 + 1.5 / 24;

// Lisbon keeps summer time: the shown time must be the event's, not moved by an hour.
class TSummerTimeZone
{
public:
    TSummerTimeZone()
    {
        ::setenv("TZ", "Europe/Lisbon", 1);
        ::tzset();
    }
    ~TSummerTimeZone()
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
};

class EventNoticesTest : public testing::Test
{
protected:
    TSummerTimeZone Zone;
    Platform::TFakeNotifications Notifications;
    int Stops = 0;
    TEventNotices Notices{Notifications, [this] { ++Stops; }, "/opt/zentavo/pictures/CLOCK.png",
                          QLocale(QLocale::Portuguese, QLocale::Brazil)};
};

TEST_F(EventNoticesTest, TheRingingAlarmStaysUntilItEndsAndItsPararStopsIt)
{
    Notices.AlarmRinging(JulyTenth);
    ASSERT_EQ(Notifications.Shown().size(), 1u);
    const Platform::TNotice Shown = Notifications.Shown()[0];
    EXPECT_EQ(Shown.Summary, "Alarme");
    EXPECT_EQ(Shown.Body, "10/07/2026 07:00:00");
    EXPECT_EQ(Shown.Icon, "/opt/zentavo/pictures/CLOCK.png");
    EXPECT_EQ(Shown.Urgency, TUrgency::Critical);
    EXPECT_TRUE(Shown.Persistent);
    ASSERT_EQ(Shown.Actions.size(), 1u);
    EXPECT_EQ(Shown.Actions[0].Key, TEventNotices::StopAction);
    EXPECT_EQ(Shown.Actions[0].Label, "Parar");

    EXPECT_TRUE(Notifications.InvokeAction(1, "default"));
    EXPECT_EQ(Stops, 0) << "a click on the notice's body is no stop";
    EXPECT_TRUE(Notifications.InvokeAction(1, TEventNotices::StopAction));
    EXPECT_EQ(Stops, 1);
    EXPECT_FALSE(Notifications.IsClosed(1)) << "the repetitions end first, then the notice goes";
    Notices.AlarmEnded();
    EXPECT_TRUE(Notifications.IsClosed(1));
    Notices.AlarmEnded();
    EXPECT_EQ(Notifications.Shown().size(), 1u);
}

TEST_F(EventNoticesTest, ANextAlarmHasANoticeOfItsOwnAndAClosingClockTakesTheRingingOneAway)
{
    Notices.AlarmRinging(JulyTenth);
    Notices.AlarmEnded();
    {
        TEventNotices Closing{Notifications, [] {}, {}};
        Closing.AlarmRinging(JulyTenth + 1);
        EXPECT_FALSE(Notifications.IsClosed(2));
        EXPECT_EQ(Notifications.Shown()[1].Icon, "");
    }
    EXPECT_TRUE(Notifications.IsClosed(1));
    EXPECT_TRUE(Notifications.IsClosed(2));
}

TEST_F(EventNoticesTest, AMissedEventNamesItsKindDateAndTime)
{
    Notices.EventMissed(0, JulyTenth);
    Notices.EventMissed(1, SpringForward);
    Notices.EventMissed(2, JulyTenth - 7.0 / 24);
    const auto Shown = Notifications.Shown();
    ASSERT_EQ(Shown.size(), 3u);
    for (const Platform::TNotice& Notice : Shown) {
        EXPECT_EQ(Notice.Summary, "Evento perdido");
        EXPECT_FALSE(Notice.Persistent);
        EXPECT_EQ(Notice.Urgency, TUrgency::Normal);
        EXPECT_TRUE(Notice.Actions.empty());
    }
    EXPECT_EQ(Shown[0].Body, "Alarme: 10/07/2026 07:00:00");
    EXPECT_EQ(Shown[1].Body, "Desligar: 29/03/2026 01:30:00")
        << "a time the summer clock skips is shown as set";
    EXPECT_EQ(Shown[2].Body, "Tarefa: 10/07/2026") << "midnight: the date alone";
}

TEST_F(EventNoticesTest, TheStartedProgramAndTheShutdownAreShortNotices)
{
    Notices.ApplicationStarted("gedit notas.txt");
    Notices.ShuttingDown();
    const auto Shown = Notifications.Shown();
    ASSERT_EQ(Shown.size(), 2u);
    EXPECT_EQ(Shown[0].Summary, "Tarefa iniciada");
    EXPECT_EQ(Shown[0].Body, "gedit notas.txt");
    EXPECT_EQ(Shown[1].Summary, "Desligando o computador");
    EXPECT_EQ(Shown[1].Urgency, TUrgency::Critical);
    for (const Platform::TNotice& Notice : Shown) {
        EXPECT_FALSE(Notice.Persistent);
        EXPECT_TRUE(Notice.Actions.empty()) << "nothing to answer: the event does not wait";
    }
}

TEST_F(EventNoticesTest, AComingShutdownIsToldOnceWithCancelarWhichCallsItOffAndItsNoticeGoesWhenItComes)
{
    std::vector<double> CalledOff;
    Notices.SetOnCallOffShutDown([&](Platform::TDateTime Due) { CalledOff.push_back(Due); });
    Notices.ShutDownComing(JulyTenth);
    Notices.ShutDownComing(JulyTenth);
    ASSERT_EQ(Notifications.Shown().size(), 1u) << "one notice however many passes tell it";
    const Platform::TNotice Shown = Notifications.Shown()[0];
    EXPECT_EQ(Shown.Summary, "O computador será desligado em breve");
    EXPECT_EQ(Shown.Body, "Evento agendado do Zentavo para 10/07/2026 07:00:00");
    EXPECT_EQ(Shown.Urgency, TUrgency::Critical);
    EXPECT_TRUE(Shown.Persistent);
    ASSERT_EQ(Shown.Actions.size(), 1u);
    EXPECT_EQ(Shown.Actions[0].Label, "Cancelar");

    // Left alone, it goes when the shutdown comes.
    Notices.ShuttingDown();
    EXPECT_TRUE(Notifications.IsClosed(1));
    EXPECT_FALSE(Notices.ShutDownCalledOff(JulyTenth));

    // Another moment has a notice of its own; Cancelar calls that one off and nothing else.
    Notices.ShutDownComing(SpringForward);
    ASSERT_EQ(Notifications.Shown().size(), 3u);
    EXPECT_EQ(Notifications.Shown()[2].Body, "Evento agendado do Zentavo para 29/03/2026 01:30:00");
    EXPECT_TRUE(Notifications.InvokeAction(3, TEventNotices::CancelAction));
    EXPECT_EQ(CalledOff, std::vector<double>{SpringForward});
    EXPECT_TRUE(Notifications.IsClosed(3));
    EXPECT_TRUE(Notices.ShutDownCalledOff(SpringForward));
    EXPECT_FALSE(Notices.ShutDownCalledOff(JulyTenth));
    // Armed again for the same moment: told again, and no longer called off.
    Notices.ShutDownComing(SpringForward);
    EXPECT_EQ(Notifications.Shown().size(), 4u);
    EXPECT_FALSE(Notices.ShutDownCalledOff(SpringForward));
}

} // namespace
