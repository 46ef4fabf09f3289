#include "WatchFixture.h"

#include "app/FlatImageButton.h"
#include "services/zentavo_companion.h"
#include "setup/Frm_SetUp.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const char* Zones()
{
    return "(GMT -03:00) Brasília, Brasil\n(GMT +05:00) Karachi, Pakistan\n";
}

// The connection library as the online run meets it: connected, and each time
// synchronisation recorded with whether it may ask the user.
std::vector<bool>* TimeSyncAsks = nullptr;
int* ConnectionQueries = nullptr;

uint8_t Connected()
{
    ++*ConnectionQueries;
    return 1;
}

uint8_t Synchronise(uint8_t Interactive, const char*, ZTUserConnection, double*)
{
    TimeSyncAsks->push_back(Interactive != 0);
    return 0;
}

class WatchSetUpTest : public TWatchFixture
{
protected:
    void SetUp() override
    {
        TWatchFixture::SetUp();
        Libraries.AddLibrary("ztaddon.so", {{"getGMTLocations", reinterpret_cast<void*>(&Zones)}});
        SeedStore();
        StoreText("Location", "(GMT -03:00) Brasília, Brasil");
        StoreText("GMT", "-3");
        StoreText("Alpha", "220");
        TimeSyncAsks = &Asks;
        ConnectionQueries = &Queries;
    }
    void InstallConnection()
    {
        Libraries.AddLibrary("connection.so", {{"getConnectionStatus", reinterpret_cast<void*>(&Connected)},
                                               {"SincNetworkTime", reinterpret_cast<void*>(&Synchronise)}});
    }
    std::vector<bool> Asks;
    int Queries = 0;
    // Opens the dialog from the moon and plays the user once it is up.
    void OpenAndThen(Twatch& Watch, const std::function<void(TFrm_SetUp&)>& User)
    {
        bool Played = false;
        QTimer::singleShot(0, [&] {
            auto* Dialog = qobject_cast<TFrm_SetUp*>(QApplication::activeModalWidget());
            ASSERT_NE(Dialog, nullptr);
            EXPECT_FALSE(Watch.Moon->isEnabled()) << "one dialog at a time";
            User(*Dialog);
            Played = true;
        });
        QTest::mouseDClick(Watch.Moon, Qt::LeftButton);
        EXPECT_TRUE(Played);
        EXPECT_TRUE(Watch.Moon->isEnabled());
    }
};

TEST_F(WatchSetUpTest, ADoubleClickOnTheMoonOpensTheDialogAndOkKeepsItsValues)
{
    Twatch& Watch = Start();
    OpenAndThen(Watch, [&](TFrm_SetUp& Dialog) {
        EXPECT_EQ(Dialog.GMTLocations->currentIndex(), 0);
        EXPECT_EQ(Dialog.AlphaBarr->value(), 220);
        Dialog.GMTLocations->setCurrentIndex(1);
        Dialog.GMTLocationsSelect(Dialog.GMTLocations);
        EXPECT_FLOAT_EQ(Watch.Globe->Axis->TurnAngle(), -75) << "the globe turns while the dialog is open";
        Dialog.AlphaBarr->setValue(120);
        EXPECT_EQ(Watch.Alpha(), 120);
        Dialog.Play_Loop->SetValue(4);
        Dialog.Btn_Ok->click();
    });
    EXPECT_EQ(Watch.GMTSystem->GMT, 5);
    EXPECT_EQ(Watch.GMTSystem->Playtime, 4);
    EXPECT_EQ(StoredText("GMT"), "5") << "saved after the dialog";
    EXPECT_EQ(StoredText("Alpha"), "120");
    EXPECT_EQ(StoredText("Playtime"), "4");
}

TEST_F(WatchSetUpTest, CancelTurnsTheGlobeBackAndRestoresTransparencyAndLighting)
{
    Twatch& Watch = Start();
    const bool Lighting = Watch.ScreenView->Buffer().Lighting();
    OpenAndThen(Watch, [&](TFrm_SetUp& Dialog) {
        Dialog.GMTLocations->setCurrentIndex(1);
        Dialog.GMTLocationsSelect(Dialog.GMTLocations);
        Dialog.AlphaBarr->setValue(90);
        Dialog.CB_SumLight->setChecked(!Lighting);
        EXPECT_EQ(Watch.ScreenView->Buffer().Lighting(), !Lighting);
        Dialog.Play_Loop->SetValue(9);
        Dialog.Btn_Cancel->click();
    });
    EXPECT_EQ(Watch.GMTSystem->GMT, -3);
    EXPECT_FLOAT_EQ(Watch.Globe->Axis->TurnAngle(), 45);
    EXPECT_EQ(Watch.Alpha(), 220);
    EXPECT_EQ(Watch.ScreenView->Buffer().Lighting(), Lighting);
    EXPECT_NE(Watch.GMTSystem->Playtime, 9);
    EXPECT_EQ(StoredText("GMT"), "-3");
}

TEST_F(WatchSetUpTest, OnlyTheOnlineRunAfterOkMayAskTheUserToAuthoriseAClockChange)
{
    InstallConnection();
    Twatch& Watch = Start();
    OpenAndThen(Watch, [&](TFrm_SetUp& Dialog) { Dialog.Btn_Ok->click(); });
    OpenAndThen(Watch, [&](TFrm_SetUp& Dialog) { Dialog.Btn_Cancel->click(); });
    Watch.GMTSystem->TimeSyncOk = false;
    Watch.zt_SetSystemParams(); // as timer 1 runs it
    EXPECT_EQ(Asks, (std::vector<bool>{true, false, false}));
}

TEST_F(WatchSetUpTest, ACloseRequestWithTheDialogOpenCancelsItThenClosesWithOneSaveAndNoOnlineRun)
{
    InstallConnection();
    Twatch& Watch = Start();
    const int Saves = Registry.Transactions();
    OpenAndThen(Watch, [&](TFrm_SetUp& Dialog) {
        Dialog.GMTLocations->setCurrentIndex(1);
        Dialog.GMTLocationsSelect(Dialog.GMTLocations);
        Dialog.AlphaBarr->setValue(90);
        Dialog.Play_Loop->SetValue(9);
        Watch.CloseFor(Twatch::TCloseReason::Termination); // the session ends
        EXPECT_FALSE(Dialog.isVisible()) << "the dialog goes first";
    });
    QTest::qWait(50); // the close follows once the dialog's loop has ended
    EXPECT_FALSE(Watch.isVisible());
    EXPECT_EQ(Watch.ExitCode(), 0);
    EXPECT_EQ(Queries, 0) << "an online run started on the way out";
    EXPECT_EQ(Registry.Transactions(), Saves + 1) << "one save";
    EXPECT_EQ(StoredText("GMT"), "-3") << "the dialog's values were put back";
    EXPECT_EQ(StoredText("Alpha"), "220");
    EXPECT_NE(StoredText("Playtime"), "9");
    EXPECT_TRUE(Errors.empty());
}

} // namespace
