#include "app/window/TrayIcon.h"
#include "app/window/WindowTimers.h"
#include "platform/testing/FakeLibraryLoader.h"
#include "services/CompanionMenu.h"
#include "services/HostPopupMenu.h"
#include "services/zentavo_companion.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTest>

#include <string>
#include <vector>

namespace {

class THandlers : public QObject
{
    Q_OBJECT

public:
    int Runs = 0;
    int OtherRuns = 0;

public slots:
    void zt_SetSystemParams() { ++Runs; }
    void zt_ClockEnginer() { ++OtherRuns; }
};

TEST(WindowTimersTest, NamesAreFoundWhateverTheirCaseAndRearmingReplaces)
{
    THandlers Handlers;
    TWindowTimers Timers(Handlers);
    EXPECT_NE(Timers.Arm(1, 10, "ZT_SETSYSTEMPARAMS"), 0u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Handlers.Runs >= 2; }, 2000)) << "it repeats";
    Timers.Arm(1, 10, "zt_clockenginer");
    const int Runs = Handlers.Runs;
    EXPECT_TRUE(QTest::qWaitFor([&] { return Handlers.OtherRuns >= 1; }, 2000));
    EXPECT_EQ(Handlers.Runs, Runs) << "the id's old handler is gone";
    EXPECT_EQ(Timers.Interval(1), 10);
    Timers.Arm(2, 300000, "zt_TimerPopUp");
    EXPECT_EQ(Timers.Interval(2), 300000);
    EXPECT_EQ(Timers.Interval(3), -1);
    Timers.Kill(1);
    EXPECT_FALSE(Timers.IsArmed(1));
    EXPECT_TRUE(Timers.IsArmed(2));
}

TEST(WindowTimersTest, ANameOfNoHandlerArmsATimerThatDoesNothing)
{
    THandlers Handlers;
    TWindowTimers Timers(Handlers);
    EXPECT_NE(Timers.Arm(7, 5, "zt_NoSuchThing"), 0u);
    EXPECT_TRUE(Timers.IsArmed(7));
    QTest::qWait(50);
    EXPECT_EQ(Handlers.Runs + Handlers.OtherRuns, 0);
}

TEST(TrayTipTest, TheEventAsTheLocalesShortDateAndLongTimeAndMidnightAsTheDateAlone)
{
    const QLocale Brazil(QLocale::Portuguese, QLocale::Brazil);
    const double HalfPastSeven = 46000 + 7.5 / 24;
    EXPECT_EQ(TTrayIcon::Tip(HalfPastSeven, Brazil),
              QStringLiteral("Zentavo agendou um evento para\r09/12/2025 07:30:00"));
    EXPECT_EQ(TTrayIcon::Tip(46000, Brazil), QStringLiteral("Zentavo agendou um evento para\r09/12/2025"));
    const QLocale States(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(TTrayIcon::EventDateTimeText(46000 + 19.25 / 24, States), QStringLiteral("12/9/25 7:15:00 PM"));
}

class TMenu : public TCompanionMenu
{
public:
    void Popup(int, int) override {}
};

std::vector<std::string>* Requests = nullptr;

void RecordRequest(uintptr_t, int32_t Identifier, int32_t Operation, ZTPopupMenu* Menu, const char* Icon,
                   const char* Tip)
{
    Requests->push_back(std::to_string(Identifier) + " " + std::to_string(Operation) +
                        (Menu ? " menu " : " - ") + Icon + " [" + Tip + "]");
}

TEST(TrayIconTest, ShowRemoveAndRemoveFirstRequests)
{
    std::vector<std::string> Log;
    Requests = &Log;
    Platform::TFakeLibraryLoader Libraries;
    Libraries.AddLibrary("images.so", {{"SetTaskBarIcon", reinterpret_cast<void*>(&RecordRequest)}});
    TMenu Menu;
    THostPopupMenu Lent(Menu);
    TTrayIcon Icon(Libraries, Lent);
    const std::string Tip = TTrayIcon::Tip(46000.5).toStdString();
    Icon.Refresh(1, false, true, 46000.5);
    EXPECT_EQ(Log, (std::vector<std::string>{"193 0 menu CLOCK [" + Tip + "]"}))
        << "a load shows without removing";
    Log.clear();
    Icon.Refresh(1, true, true, 46000.5);
    EXPECT_EQ(Log, (std::vector<std::string>{"193 2 - CLOCK []", "193 0 menu CLOCK [" + Tip + "]"}));
    Log.clear();
    Icon.Refresh(1, true, false, 46000.5);
    EXPECT_EQ(Log, (std::vector<std::string>{"193 2 - CLOCK []", "193 2 - CLOCK []"}));
    Libraries.RemoveLibrary("images.so");
    Log.clear();
    Icon.Refresh(1, true, true, 46000.5);
    EXPECT_TRUE(Log.empty()) << "no library, no request";
}

} // namespace

#include "WindowTest.moc"
