#pragma once

#include "RadioGroup.h"
#include "SpeedButton.h"
#include "SpinEdit.h"
#include "ValueListEditor.h"

// The controls are the dialog's interface: whoever reads them gets their types whole.
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>

namespace Platform {
struct TServices;
} // namespace Platform

// The setup dialog: a skinned, borderless window of four pages in which the
// user edits the clock's settings. It only presents them: its opener copies
// the values in and out, and hooks the three live previews.
class TFrm_SetUp : public QDialog
{
    Q_OBJECT

public:
    explicit TFrm_SetUp(Platform::TServices& Services, QWidget* Parent = nullptr);

    // Keeps the entries of Box as a sorted list of the designed toolkit does: what
    // is in it keeps its place, and added entries put the list in reading order.
    static void KeepSorted(QComboBox& Box);
    // The status page's rows, by their keys.
    static QStringList StatusRows();

    // Pixels of exactly this colour are see-through: RGB(166, 202, 240).
    static constexpr unsigned KeyColor = 0xA6CAF0;
    static constexpr int ClientWidth = 358;
    static constexpr int ClientHeight = 430;

    // On the window.
    QPushButton* Btn_Ok = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QTabWidget* PageControl = nullptr;

    // "Calendário / Alarme": the scheduled event.
    QWidget* TS_Calendar = nullptr;
    QLabel* LB_Hora = nullptr;
    TSpinEdit* HourEdit = nullptr;
    TSpinEdit* MinEdit = nullptr;
    QCalendarWidget* Calendar = nullptr;
    TRadioGroup* Task = nullptr;
    QCheckBox* CB_Waiting = nullptr;
    QLabel* LB_ApplicaionExec = nullptr;
    QLineEdit* AppChild = nullptr;
    TSpeedButton* Btn_AppChild = nullptr;

    // "Fuso Horário": the time zone.
    QWidget* TS_Fuse = nullptr;
    QLabel* LB_Fuso = nullptr;
    QComboBox* GMTLocations = nullptr;
    QFrame* IMGPanel = nullptr;
    QLabel* MapaMundi = nullptr;

    // "Configurações": the general settings.
    QWidget* TS_SetUp = nullptr;
    QCheckBox* CB_RunOnce = nullptr;
    QCheckBox* CB_SunTime = nullptr;
    QLabel* LB_PlaySound = nullptr;
    TSpinEdit* Play_Loop = nullptr;
    QLabel* LB_Transparency = nullptr;
    QScrollBar* AlphaBarr = nullptr;
    QCheckBox* CB_SumLight = nullptr;
    QLabel* LB_AlarmFile = nullptr;
    QLineEdit* WaveFile = nullptr;
    TSpeedButton* Btn_Wave = nullptr;
    TSpeedButton* SB_Playtest = nullptr;
    QLabel* LB_WeatherForecast = nullptr;
    QComboBox* CB_Weather = nullptr;
    QLabel* LB_NTP = nullptr;
    QComboBox* CB_NTP = nullptr;
    QGroupBox* GB_Proxy = nullptr;
    QLabel* LB_User = nullptr;
    QLineEdit* Proxy_User = nullptr;
    QLabel* LB_Pass = nullptr;
    QLineEdit* Proxy_Pass = nullptr;
    QLabel* LB_Server = nullptr;
    QLineEdit* Proxy_Server = nullptr;
    QLabel* LB_Port = nullptr;
    QLineEdit* Proxy_Port = nullptr;

    // "Status": the online tasks.
    QWidget* TS_Status = nullptr;
    TValueListEditor* VLEditor = nullptr;

    // The change event of GMTLocations, raised at the end of every marked
    // selection; typing alone never raises it.
    std::function<void(QObject* Sender)> OnGMTLocationsChange;
    // Every change of AlphaBarr's position, the user's or the program's.
    std::function<void(QObject* Sender)> OnAlphaBarrChange;
    // Every change of CB_SumLight's state, the user's or the program's.
    std::function<void(QObject* Sender)> OnSumLightClick;
    // Where a failure inside one of the dialog's own handlers goes (they run
    // from the event loop, which no exception may cross); unset, to the log.
    std::function<void(const std::exception& Error)> OnError;
    // The file browser of Btn_WaveClick: the chosen full path, empty when
    // cancelled. The platform's open-file dialog unless replaced.
    std::function<QString()> ChooseFile;

    // The position on the map picture of the marker drawn now, none after a
    // fresh map picture.
    std::optional<std::int16_t> LastMarkerX() const { return FLastMarkerX; }
    // The map picture with its marker, as MapaMundi shows it.
    const QImage& MapPicture() const { return FMapPicture; }

    void FormShow(QObject* Sender);
    void FormClose(QObject* Sender);
    void Btn_WaveClick(QObject* Sender);
    void SB_PlaytestClick(QObject* Sender);
    void GMTLocationsSelect(QObject* Sender);

protected:
    void showEvent(QShowEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void CreateComponents();
    void CreateCalendarPage();
    void CreateZonePage();
    void CreateSettingsPage();
    void CreateStatusPage();
    void ConnectHandlers();
    void FitCaptions();

    QImage LoadPicture(const char* Name);
    void SetMapPicture(const QImage& Picture);
    void InvertBand(int X, int Width);
    void ApplySkin(const QImage& Skin);
    void ApplyColorKey(const QImage& Skin);
    void RunGuarded(const std::function<void()>& Action);

    Platform::TServices& FServices;
    QImage FMapPicture;
    std::optional<std::int16_t> FLastMarkerX;
    std::int16_t FMarkerWidth = 0;
};
