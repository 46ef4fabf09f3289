#include "SetUpTransfer.h"

#include "Frm_SetUp.h"
#include "platform/LocalClock.h"
#include "ReadingOrder.h"
#include "services/AddOn.h"
#include "SetUpHost.h"
#include "state/DateTimeText.h"
#include "state/GMT_System.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDate>
#include <QStandardItemModel>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr std::uint8_t NoTask = 255;
constexpr int LowestAlpha = 50; // the transparency bar's own lower bound
const QDate Epoch(1899, 12, 30);

QString Text(const std::string& Value)
{
    return QString::fromStdString(Value);
}

// The first entry equal to Wanted, letter case aside, or -1.
int FindEntry(const QComboBox& List, const QString& Wanted)
{
    for (int Index = 0; Index < List.count(); ++Index)
        if (List.itemText(Index).compare(Wanted, Qt::CaseInsensitive) == 0)
            return Index;
    return -1;
}

// In one insertion: item by item, a combo box's cost grows with the square
// of a list of thousands.
void Fill(QComboBox& List, const std::vector<std::string>& Entries)
{
    QStringList Texts;
    Texts.reserve(static_cast<qsizetype>(Entries.size()));
    for (const std::string& Entry : Entries)
        Texts.append(Text(Entry));
    List.addItems(Texts);
}

// In reading order of the whole entries, then each cut by Cut, in a model of
// its own that keeps itself sorted as the dialog's did.
void FillSorted(QComboBox& List, const std::vector<std::string>& Entries,
                const std::function<std::string(const std::string&)>& Cut)
{
    std::vector<QString> Texts;
    Texts.reserve(Entries.size());
    for (const std::string& Entry : Entries)
        Texts.push_back(Text(Entry));
    // Rows made apart and handed over at once: an editable list's completer
    // and view would otherwise follow every insertion.
    QList<QStandardItem*> Rows;
    Rows.reserve(static_cast<qsizetype>(Texts.size()));
    for (const std::size_t Index : TReadingOrder().Order(Texts)) {
        auto* Row = new QStandardItem(Cut ? Text(Cut(Entries[Index])) : Texts[Index]);
        Row->setData(static_cast<int>(Rows.size()), TReadingOrder::RankRole);
        Rows.append(Row);
    }
    auto* Model = new QStandardItemModel(&List);
    Model->invisibleRootItem()->appendRows(Rows);
    // The list deletes the model it made itself.
    List.setModel(Model);
    TFrm_SetUp::KeepSorted(List);
}

// The day and the time of day of a clock date-time, to the millisecond.
void Split(double DateTime, QDate& Date, int& Hour, int& Minute)
{
    const double Day = std::floor(DateTime);
    const long long Milliseconds = std::llround((DateTime - Day) * 86400000.0);
    Date = Epoch.addDays(static_cast<qint64>(Day) + Milliseconds / 86400000);
    const long long OfDay = Milliseconds % 86400000;
    Hour = static_cast<int>(OfDay / 3600000);
    Minute = static_cast<int>(OfDay / 60000 % 60);
}

QString Flag(bool Value)
{
    return Value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

TSetUpTransfer::TSetUpTransfer(TGMT_System& System, Platform::TLibraryLoader& Libraries,
                               Platform::TLocalClock& Clock, TSetUpHost& Host)
    : FSystem(System), FLibraries(Libraries), FClock(Clock), FHost(Host)
{}

void TSetUpTransfer::Run(TFrm_SetUp& Dialog, const std::function<bool(TFrm_SetUp&)>& Exec)
{
    // The moon that opened this must never stay disabled, whatever fails below.
    struct TEnableMoon
    {
        TSetUpHost& Host;
        ~TEnableMoon() { Host.SetMoonEnabled(true); }
    } EnableMoon{FHost};
    Load(Dialog);
    if (Exec(Dialog) && !FHost.IsClosing())
        Store(Dialog);
    else
        Restore(Dialog);
    FHost.SetMoonEnabled(true);
    if (FHost.IsClosing()) {
        // The close that follows saves once; its documents may be gone before an online run ends.
        FHost.ApplyGMT();
        return;
    }
    Finish();
}

void TSetUpTransfer::Load(TFrm_SetUp& Dialog)
{
    const int Alpha = FHost.Alpha();
    Dialog.Task->SetItemIndex(FSystem.Task);
    Dialog.CB_Waiting->setChecked(FSystem.Waiting);
    Dialog.AlphaBarr->setValue(Alpha < LowestAlpha ? LowestAlpha : Alpha);
    Dialog.CB_SumLight->setChecked(FHost.Lighting());
    Dialog.Play_Loop->SetValue(FSystem.Playtime);
    Dialog.WaveFile->setText(Text(FSystem.Sound()));
    QDate Date;
    int Hour = 0;
    int Minute = 0;
    Split(FSystem.DateTime, Date, Hour, Minute);
    Dialog.Calendar->setSelectedDate(Date);
    Dialog.CB_RunOnce->setChecked(FSystem.RunOnce);
    Dialog.CB_SunTime->setChecked(FSystem.SunTime);
    Fill(*Dialog.GMTLocations, getGMTLocations(FLibraries));
    Dialog.GMTLocations->setCurrentIndex(FindEntry(*Dialog.GMTLocations, Text(FSystem.Location)));
    FillSorted(*Dialog.CB_NTP, getTimeServers(FLibraries), nullptr);
    Dialog.CB_NTP->setCurrentIndex(FindEntry(*Dialog.CB_NTP, Text(FSystem.TimeServer)));
    Dialog.Proxy_User->setText(Text(FSystem.Connection.ProxyUser()));
    Dialog.Proxy_Pass->setText(Text(FSystem.Connection.ProxyPass()));
    Dialog.Proxy_Port->setText(Text(FSystem.Connection.ProxyPort()));
    Dialog.Proxy_Server->setText(Text(FSystem.Connection.ProxyServer()));
    Dialog.HourEdit->SetValue(Hour);
    Dialog.MinEdit->SetValue(Minute);
    Dialog.AppChild->setText(Text(FSystem.AppChild()));

    FKeptGMT = static_cast<std::int16_t>(FSystem.GMT);
    FKeptLocation = FSystem.Location.substr(0, 255);
    FKeptAlphaPosition = Dialog.AlphaBarr->value();
    FKeptLighting = FHost.Lighting();

    FillSorted(*Dialog.CB_Weather, getProvinces(FLibraries), CityOfProvince);
    Dialog.CB_Weather->setCurrentIndex(-1);
    Dialog.CB_Weather->setEditText(Text(FSystem.UF));

    // Hooked only now, so that filling the dialog previews nothing.
    Dialog.OnGMTLocationsChange = [this](QObject* Sender) { FHost.GMTChange(Sender); };
    Dialog.OnAlphaBarrChange = [this](QObject* Sender) { FHost.AlphaBarrChange(Sender); };
    Dialog.OnSumLightClick = [this](QObject* Sender) { FHost.SumLightClick(Sender); };

    Place(Dialog);
    FHost.SetMoonEnabled(false);
    FillStatus(Dialog);
}

void TSetUpTransfer::Place(TFrm_SetUp& Dialog)
{
    const QRect Window = FHost.WindowGeometry();
    const QSize Screen = FHost.ScreenSize();
    int Top = Window.top();
    int Left = Window.left() + Window.width();
    if (Screen.height() < Top + Dialog.height())
        Top = Window.top() - Dialog.height() + 3;
    if (Screen.width() < Left + Dialog.width())
        Left = Window.left() - Dialog.width() - 3;
    Dialog.move(Left, Top);
}

void TSetUpTransfer::FillStatus(TFrm_SetUp& Dialog)
{
    Dialog.VLEditor->SetValue(QStringLiteral("Conexão"), Flag(FSystem.Connected));
    Dialog.VLEditor->SetValue(QStringLiteral("Aquivo de configuração"), Flag(FSystem.SysConfOk));
    Dialog.VLEditor->SetValue(QStringLiteral("Sincronização de horário"), Flag(FSystem.TimeSyncOk));
    Dialog.VLEditor->SetValue(QStringLiteral("Meteorologia"), Flag(FSystem.WeatherOk));
    Dialog.VLEditor->SetValue(QStringLiteral("Atualização de sistema"), Flag(FSystem.SystemUpdated));
    if (Dialog.CB_Waiting->isChecked()) {
        const int Index = Dialog.Task->ItemIndex();
        const QString Action = Index >= 0 ? Dialog.Task->Items().value(Index) : QString();
        Dialog.VLEditor->SetValue(QStringLiteral("Ação esperada"),
                                  QCoreApplication::translate("TSetUpTransfer", "%1 para %2")
                                      .arg(Action, DateTimeText(FSystem.DateTime)));
    }
}

void TSetUpTransfer::Store(TFrm_SetUp& Dialog)
{
    const QDate Day = Dialog.Calendar->selectedDate();
    const double When =
        EventDateTime(Day.year(), Day.month(), Day.day(), Dialog.HourEdit->Value(), Dialog.MinEdit->Value());
    const int Index = Dialog.Task->ItemIndex();
    FSystem.Task = Index < 0 ? NoTask : static_cast<std::uint8_t>(Index);
    FSystem.Waiting = Dialog.CB_Waiting->isChecked();
    FHost.SetLighting(Dialog.CB_SumLight->isChecked());
    FSystem.Playtime = static_cast<std::int8_t>(Dialog.Play_Loop->Value());
    FSystem.SetSound(Dialog.WaveFile->text().toStdString());
    FSystem.SetAppChild(Dialog.AppChild->text().toStdString());
    FSystem.RunOnce = Dialog.CB_RunOnce->isChecked();
    FSystem.SunTime = Dialog.CB_SunTime->isChecked();
    FSystem.DateTime = When;
    FSystem.TimeServer = Dialog.CB_NTP->currentText().toStdString();
    FSystem.Connection.SetProxyServer(Dialog.Proxy_Server->text().toStdString());
    FSystem.Connection.SetProxyPass(Dialog.Proxy_Pass->text().toStdString());
    FSystem.Connection.SetProxyPort(Dialog.Proxy_Port->text().toStdString());
    FSystem.Connection.SetProxyUser(Dialog.Proxy_User->text().toStdString());
    FSystem.UF = Dialog.CB_Weather->currentText().toStdString();
    if (!(FClock.Now() < When) && Dialog.CB_Waiting->isChecked()) {
        FSystem.Waiting = false;
        FHost.ShowMessage(QCoreApplication::translate("TSetUpTransfer",
                                                      "Este evento não poderá ser monitorado.\n"
                                                      "A data agendandada (%1) já passou")
                              .arg(DateTimeText(When)));
    }
}

void TSetUpTransfer::Restore(TFrm_SetUp& Dialog)
{
    FSystem.GMT = FKeptGMT;
    FSystem.Location = FKeptLocation;
    // Through the still-hooked preview, the window takes its transparency back.
    Dialog.AlphaBarr->setValue(FKeptAlphaPosition);
    FHost.SetLighting(FKeptLighting);
}

void TSetUpTransfer::Finish()
{
    FSystem.WeatherOk = false;
    FSystem.TimeSyncOk = false;
    FHost.SetSystemParams();
    FHost.ApplyGMT();
    FHost.SaveSettings();
}

double TSetUpTransfer::EventDateTime(int Year, int Month, int Day, int Hour, int Minute)
{
    // Built from the numbers, not read back from locale text that a locale may not read.
    return static_cast<double>(Epoch.daysTo(QDate(Year, Month, Day))) + (Hour * 60 + Minute) / 1440.0;
}

std::string TSetUpTransfer::CityOfProvince(const std::string& Entry)
{
    const std::size_t Bar = Entry.find('|');
    return Bar == std::string::npos ? std::string() : Entry.substr(0, Bar);
}

QString TSetUpTransfer::DateTimeText(double DateTime)
{
    return ::DateTimeText(DateTime);
}
