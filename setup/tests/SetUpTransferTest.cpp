#include "setup/SetUpTransfer.h"
#include "platform/testing/FakeServices.h"
#include "setup/Frm_SetUp.h"
#include "setup/SetUpHost.h"
#include "state/DateTimeText.h"
#include "state/GMT_System.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QScrollBar>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double Day = 46000; // 2025-12-09

// Records what the dialog's opening does to the window.
class TRecordingHost : public TSetUpHost
{
public:
    int Alpha() const override { return WindowAlpha; }
    bool Lighting() const override { return WindowLighting; }
    void SetLighting(bool Value) override { WindowLighting = Value; }
    QRect WindowGeometry() const override { return Window; }
    QSize ScreenSize() const override { return Screen; }
    void SetMoonEnabled(bool Value) override { MoonEnabled = Value; }
    void ShowMessage(const QString& Text) override { Messages.push_back(Text); }
    void GMTChange(QObject* Sender) override
    {
        Calls.push_back("zone");
        auto* List = qobject_cast<QComboBox*>(Sender);
        if (List != nullptr && List->currentIndex() >= 0 && System != nullptr) {
            System->Location = List->currentText().toStdString();
            System->GMT = List->currentText().mid(5, 3).toInt();
        }
    }
    void AlphaBarrChange(QObject* Sender) override
    {
        if (auto* Bar = qobject_cast<QScrollBar*>(Sender))
            WindowAlpha = Bar->value();
    }
    void SumLightClick(QObject*) override { Calls.push_back("light"); }
    void SetSystemParams() override { Calls.push_back("online"); }
    void ApplyGMT() override { Calls.push_back("apply"); }
    void SaveSettings() override { Calls.push_back("save"); }
    bool IsClosing() const override { return Closing; }

    TGMT_System* System = nullptr;
    bool Closing = false;
    int WindowAlpha = 200;
    bool WindowLighting = true;
    QRect Window{100, 100, 329, 345};
    QSize Screen{1280, 1024};
    bool MoonEnabled = true;
    std::vector<QString> Messages;
    std::vector<std::string> Calls;
};

const char* Zones()
{
    return "(GMT -03:00) Brasília, Brasil\n(GMT +00:00) London, United Kingdom\n(GMT +05:00) Karachi, "
           "Pakistan\n";
}
const char* Servers()
{
    return "pool.ntp.org\na.st1.ntp.br\n";
}
const char* Provinces()
{
    return "Recife, Brasil|-8.0539,-34.8811\nSemCodigo\nNatal, Brasil|-5.795,-35.2094\n";
}

// Thousands of names come in the library's order, cased and accented as people write them.
const char* UnsortedProvinces()
{
    return "Sergipe|1\nsão Paulo|2\nSantos|3\nÁgua Boa|4\nabaetetuba|5\nZé Doca|6\nBelém|7\nSao Paulo|8\n"
           "Sem código\n";
}
const char* UnsortedServers()
{
    return "b.ntp.br\nA.ntp.br\nágora.example\nZ.ntp.br\n";
}

class SetUpTransferTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Host.System = &System;
        Fakes.Libraries.AddLibrary("ztaddon.so", {{"getGMTLocations", reinterpret_cast<void*>(&Zones)},
                                                  {"getTimeServers", reinterpret_cast<void*>(&Servers)},
                                                  {"getProvinces", reinterpret_cast<void*>(&Provinces)}});
        Fakes.Clock.SetNow(Day + 0.5);
        System.Task = 0;
        System.DateTime = Day + 1 + 7.5 / 24;
        System.Location = "(gmt -03:00) brasília, brasil";
        System.GMT = -3;
        System.TimeServer = "POOL.NTP.ORG";
        System.UF = "Natal, Brasil";
        System.Playtime = 3;
        System.SetSound("/sons/sino.wav");
    }
    // Opens the dialog without showing it; Act plays the user, true for OK.
    void Open(const std::function<bool(TFrm_SetUp&)>& Act)
    {
        TFrm_SetUp Dialog(Fakes.Services());
        Transfer.Run(Dialog, Act);
    }

    Platform::TFakeServices Fakes;
    TGMT_System System{Fakes.Clock};
    TRecordingHost Host;
    TSetUpTransfer Transfer{System, Fakes.Libraries, Fakes.Clock, Host};
};

TEST_F(SetUpTransferTest, TheStateGoesInWithTheListsAndTheHooksComeAfterTheValues)
{
    Open([&](TFrm_SetUp& Dialog) {
        EXPECT_EQ(Dialog.Task->ItemIndex(), 0);
        EXPECT_EQ(Dialog.AlphaBarr->value(), 200);
        EXPECT_EQ(Dialog.Play_Loop->Value(), 3);
        EXPECT_EQ(Dialog.WaveFile->text(), "/sons/sino.wav");
        EXPECT_EQ(Dialog.Calendar->selectedDate(), QDate(2025, 12, 10));
        EXPECT_EQ(Dialog.HourEdit->Value(), 7);
        EXPECT_EQ(Dialog.MinEdit->Value(), 30);
        EXPECT_EQ(Dialog.GMTLocations->count(), 3);
        EXPECT_EQ(Dialog.GMTLocations->currentIndex(), 0) << "found whatever the letter case";
        EXPECT_EQ(Dialog.CB_NTP->currentText(), "pool.ntp.org");
        EXPECT_EQ(Dialog.CB_Weather->count(), 3);
        // Sorted as the library's entries, then cut at the "|": an entry without one shows empty.
        EXPECT_EQ(Dialog.CB_Weather->itemText(0), "Natal, Brasil");
        EXPECT_EQ(Dialog.CB_Weather->itemText(1), "Recife, Brasil");
        EXPECT_EQ(Dialog.CB_Weather->itemText(2), "");
        EXPECT_EQ(Dialog.CB_Weather->currentText(), "Natal, Brasil");
        EXPECT_TRUE(Host.Calls.empty()) << "filling the dialog previewed something";
        EXPECT_FALSE(Host.MoonEnabled);
        return false;
    });
    EXPECT_TRUE(Host.MoonEnabled);
}

TEST_F(SetUpTransferTest, OkStoresTheCalendarDayAtTheHourAndMinuteWithZeroSeconds)
{
    Open([&](TFrm_SetUp& Dialog) {
        Dialog.Calendar->setSelectedDate(QDate(2025, 12, 24));
        Dialog.HourEdit->SetValue(7);
        Dialog.MinEdit->SetValue(5);
        Dialog.Task->SetItemIndex(2);
        Dialog.CB_Waiting->setChecked(true);
        Dialog.AppChild->setText("gedit notas.txt");
        Dialog.CB_NTP->setEditText("ntp.typed.example");
        Dialog.Proxy_User->setText("ana");
        Dialog.Proxy_Pass->setText(QString(300, 'x'));
        Dialog.CB_Weather->setEditText("Recife, Brasil");
        Dialog.CB_SumLight->setChecked(false);
        return true;
    });
    EXPECT_DOUBLE_EQ(System.DateTime, TSetUpTransfer::EventDateTime(2025, 12, 24, 7, 5));
    EXPECT_DOUBLE_EQ(System.DateTime, Day + 15 + (7 * 60 + 5) / 1440.0);
    EXPECT_EQ(System.Task, 2);
    EXPECT_TRUE(System.Waiting);
    EXPECT_EQ(System.AppChild(), "gedit notas.txt");
    EXPECT_EQ(System.TimeServer, "ntp.typed.example");
    EXPECT_EQ(System.Connection.ProxyUser(), "ana");
    EXPECT_EQ(System.Connection.ProxyPass().size(), 255u);
    EXPECT_EQ(System.UF, "Recife, Brasil");
    EXPECT_FALSE(Host.WindowLighting);
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(Host.Calls, (std::vector<std::string>{"light", "online", "apply", "save"}))
        << "the box previewed at once";
}

TEST_F(SetUpTransferTest, ANoKindTaskOpensOnTheLastItem)
{
    System.Task = 255;
    Open([&](TFrm_SetUp& Dialog) {
        EXPECT_EQ(Dialog.Task->ItemIndex(), 2) << "\"Tarefa\"";
        return false;
    });
}

TEST_F(SetUpTransferTest, APastDateIsStoredButNotMonitoredAndTheUserIsTold)
{
    const auto Past = [&](bool Monitor) {
        Host.Messages.clear();
        Open([&](TFrm_SetUp& Dialog) {
            Dialog.Calendar->setSelectedDate(QDate(2025, 12, 9));
            Dialog.HourEdit->SetValue(11);
            Dialog.MinEdit->SetValue(0);
            Dialog.CB_Waiting->setChecked(Monitor);
            return true;
        });
    };
    Past(true);
    EXPECT_FALSE(System.Waiting);
    ASSERT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Host.Messages[0],
              QStringLiteral("Este evento não poderá ser monitorado.\nA data agendandada (") +
                  DateTimeText(Day + 11.0 / 24) + QStringLiteral(") já passou"));
    Past(false);
    EXPECT_TRUE(Host.Messages.empty());
    // Less than a minute ahead is accepted.
    Fakes.Clock.SetNow(Day + (11 * 60 - 0.5) / 1440.0);
    Past(true);
    EXPECT_TRUE(System.Waiting);
    EXPECT_TRUE(Host.Messages.empty());
}

TEST_F(SetUpTransferTest, CancelPutsBackTheZoneTheTransparencyAndTheLighting)
{
    Open([&](TFrm_SetUp& Dialog) {
        Dialog.GMTLocations->setCurrentIndex(2);
        Host.GMTChange(Dialog.GMTLocations); // as the live preview does
        EXPECT_EQ(System.GMT, 5);
        Dialog.AlphaBarr->setValue(90);
        EXPECT_EQ(Host.WindowAlpha, 90) << "the preview is live";
        Host.WindowLighting = false;
        Dialog.Play_Loop->SetValue(9);
        return false;
    });
    EXPECT_EQ(System.GMT, -3);
    EXPECT_EQ(System.Location, "(gmt -03:00) brasília, brasil");
    EXPECT_EQ(Host.WindowAlpha, 200);
    EXPECT_TRUE(Host.WindowLighting);
    EXPECT_EQ(System.Playtime, 3) << "nothing else is kept on Cancel";
    EXPECT_EQ(Host.Calls.back(), "save") << "saved after Cancel too";
    EXPECT_FALSE(System.WeatherOk);
    EXPECT_FALSE(System.TimeSyncOk);
}

TEST_F(SetUpTransferTest, AWindowClosingWhileTheDialogIsOpenEndsItAsCancelWithoutOnlineRunOrSave)
{
    System.WeatherOk = true;
    Open([&](TFrm_SetUp& Dialog) {
        Dialog.GMTLocations->setCurrentIndex(2);
        Host.GMTChange(Dialog.GMTLocations);
        Dialog.AlphaBarr->setValue(90);
        Dialog.Play_Loop->SetValue(9);
        Host.Closing = true; // the close request arrived inside the dialog's loop
        return true;         // whatever the dialog's own result
    });
    EXPECT_EQ(System.GMT, -3);
    EXPECT_EQ(System.Location, "(gmt -03:00) brasília, brasil");
    EXPECT_EQ(Host.WindowAlpha, 200);
    EXPECT_EQ(System.Playtime, 3);
    EXPECT_TRUE(Host.MoonEnabled);
    EXPECT_EQ(Host.Calls, (std::vector<std::string>{"zone", "apply"})) << "the window's close saves, once";
    EXPECT_TRUE(System.WeatherOk) << "no online run was prepared";
}

TEST_F(SetUpTransferTest, TheWeatherAndServerListsOpenInReadingOrderNotByCodeUnit)
{
    Fakes.Libraries.RemoveLibrary("ztaddon.so");
    Fakes.Libraries.AddLibrary("ztaddon.so", {{"getTimeServers", reinterpret_cast<void*>(&UnsortedServers)},
                                              {"getProvinces", reinterpret_cast<void*>(&UnsortedProvinces)}});
    const auto Shown = [](const QComboBox& List) {
        QStringList Texts;
        for (int Index = 0; Index < List.count(); ++Index)
            Texts.push_back(List.itemText(Index));
        return Texts;
    };
    Open([&](TFrm_SetUp& Dialog) {
        // Sorted whole (the codes after the "|" break the São Paulos' tie), then cut at the "|": the entry
        // without one sorts as "Sem código" and shows empty.
        EXPECT_EQ(Shown(*Dialog.CB_Weather),
                  QStringList({"abaetetuba", "Água Boa", "Belém", "Santos", "são Paulo", "Sao Paulo", "",
                               "Sergipe", "Zé Doca"}));
        EXPECT_EQ(Shown(*Dialog.CB_NTP), QStringList({"A.ntp.br", "ágora.example", "b.ntp.br", "Z.ntp.br"}));
        // A later entry joins the same order.
        Dialog.CB_NTP->addItem(QStringLiteral("Ártico.example"));
        EXPECT_EQ(Dialog.CB_NTP->itemText(2), "Ártico.example");
        return false;
    });
}

TEST_F(SetUpTransferTest, WithoutTheAddOnLibraryTheListsAreEmptyAndTypedValuesAreKept)
{
    Fakes.Libraries.RemoveLibrary("ztaddon.so");
    Open([&](TFrm_SetUp& Dialog) {
        EXPECT_EQ(Dialog.GMTLocations->count(), 0);
        EXPECT_EQ(Dialog.CB_NTP->count(), 0);
        EXPECT_EQ(Dialog.CB_Weather->count(), 0);
        EXPECT_EQ(Dialog.CB_Weather->currentText(), "Natal, Brasil");
        Dialog.CB_NTP->setEditText("meu.servidor");
        return true;
    });
    EXPECT_EQ(System.TimeServer, "meu.servidor");
    EXPECT_EQ(System.UF, "Natal, Brasil");
}

TEST_F(SetUpTransferTest, TheDialogStandsBesideTheWindowOrAboveAndLeftWhenTheScreenEnds)
{
    struct TCase
    {
        QRect Window;
        QPoint Expected;
    };
    Host.Screen = QSize(1024, 768);
    const TCase Cases[] = {
        {{100, 100, 329, 345}, {429, 100}}, // beside, room enough
        {{100, 400, 329, 345}, {429, -27}}, // past the bottom: its bottom 3 below the window's top
        {{600, 100, 329, 345}, {239, 100}}, // past the right: left of the window with a gap of 3
        {{700, 500, 329, 345}, {339, 73}},  // both
    };
    for (const TCase& Case : Cases) {
        Host.Window = Case.Window;
        Open([&](TFrm_SetUp& Dialog) {
            EXPECT_EQ(Dialog.pos(), Case.Expected) << Case.Window.x() << "," << Case.Window.y();
            return false;
        });
    }
}

TEST_F(SetUpTransferTest, TheStatusGridShowsTheFlagsAndTheExpectedActionOnlyWhenMonitored)
{
    System.Connected = true;
    System.SysConfOk = true;
    System.Waiting = true;
    System.Task = 1;
    Open([&](TFrm_SetUp& Dialog) {
        EXPECT_EQ(Dialog.VLEditor->Value("Conexão"), "True");
        EXPECT_EQ(Dialog.VLEditor->Value("Aquivo de configuração"), "True");
        EXPECT_EQ(Dialog.VLEditor->Value("Sincronização de horário"), "False");
        EXPECT_EQ(Dialog.VLEditor->Value("Meteorologia"), "False");
        EXPECT_EQ(Dialog.VLEditor->Value("Atualização de sistema"), "False");
        EXPECT_EQ(Dialog.VLEditor->Value("Ação esperada"), "Desligar para " + DateTimeText(System.DateTime));
        return false;
    });
    System.Waiting = false;
    Open([&](TFrm_SetUp& Dialog) {
        EXPECT_EQ(Dialog.VLEditor->Value("Ação esperada"), "");
        return false;
    });
}

TEST_F(SetUpTransferTest, TheMoonIsEnabledAgainWhateverFails)
{
    EXPECT_THROW(Open([](TFrm_SetUp&) -> bool { throw std::runtime_error("the dialog broke"); }),
                 std::runtime_error);
    EXPECT_TRUE(Host.MoonEnabled);
}

} // namespace
