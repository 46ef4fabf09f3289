#pragma once

#include "app/settings/SettingsTable.h"
#include "globe/GlobeScene.h"
#include "platform/Platform.h"
#include "platform/StopSignal.h"
#include "scene/qt/GLSceneViewer.h"
#include "services/CompanionMenu.h"
#include "setup/SetUpHost.h"
#include "state/GMT_System.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMenu;
class TCheckTime;
class TClockHands;
class TDesktopPlacement;
class TConfigDocument;
class TEventNotices;
class TEventRunner;
class TFlatImageButton;
class TGlobeInteraction;
class THostPopupMenu;
class TRSSWeather;
class TSettingsTransfer;
class TTrayIcon;
class TUserInterfaceQueue;
class TWatchOnline;
class TWindowTimers;

// The clock's one window: a borderless, colour-keyed gadget on the desktop
// that owns everything living for the whole run.
// Its handlers are a few lines each: the work is done by classes of their own
// that know nothing of widgets.
class Twatch : public QWidget, public TCompanionMenu, private TSettingsState, private TSetUpHost
{
    Q_OBJECT

public:
    // Sky blue: the background, and the colour that is see-through on the desktop.
    static constexpr unsigned KeyColor = 0xA6CAF0; // RGB(166, 202, 240)
    static constexpr int ClientWidth = 329;
    static constexpr int ClientHeight = 345;

    // Creating the window runs FormCreate.
    explicit Twatch(Platform::TServices& Services, Platform::TNativeWindow ProgramManagerWindow = 0);
    ~Twatch() override;

    // Designed components.
    Scene::TGLSceneViewer* ScreenView = nullptr;
    TFlatImageButton* Moon = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* MenuSetUp = nullptr;
    QMenu* MenuServices = nullptr;
    QAction* WeatherChannel = nullptr;
    QAction* WeatherForecast = nullptr;
    QAction* N2 = nullptr;
    QAction* Ajuda1 = nullptr;
    QAction* Sobre1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Menu_Close = nullptr;
    // The globe and the objects of it the window works with.
    std::unique_ptr<TGlobeScene> Globe;
    Scene::TGLDummyCube* Planetarium = nullptr;
    Scene::TGLCamera* Camera_1 = nullptr;
    Scene::TGLHUDText* HUDText = nullptr;

    // Fields the window adds.
    int LastMouseX = 0;
    int LastMouseY = 0;
    int DragOffsetX = 0;
    int DragOffsetY = 0;
    std::unique_ptr<TConfigDocument> ConfigDocument;
    std::unique_ptr<TConfigDocument> WeatherDoc;
    std::unique_ptr<TRSSWeather> Weather;
    std::unique_ptr<TGMT_System> GMTSystem;

    bool zt_LoadSettings();
    // Throws when the store could not be written; it then holds the old values.
    void zt_SaveSettings();
    // Arms timer Id to call the published handler Name (any letter case);
    // an unknown name arms a timer that does nothing.
    unsigned zt_SetTimer(unsigned Id, unsigned Interval, const std::string& Name);
    void KillTimer(unsigned Id);
    bool IsTimerArmed(unsigned Id) const;
    int TimerInterval(unsigned Id) const;

    int Alpha() const override { return FAlpha; }
    void SetAlpha(int Value) override;

    // The hour and minute domes for the local time.
    void ClockStep();
    // The scheduled event's check, on the calling thread.
    void CheckEvent();
    bool IsClockWorkerRunning() const;

    // How a close was asked for decides how a failed save is reported: a box
    // the user confirms, or a line on standard error when the system ends us.
    enum class TCloseReason
    {
        User,
        Termination,
    };
    void CloseFor(TCloseReason Reason);
    int ExitCode() const { return FExitCode; }

    Platform::TServices& Services() { return FServices; }
    // Only the online run right after the setup dialog's OK may ask the user to
    // authorise a change of the computer's clock: the user is there and expects it.
    bool IsUserAwaitingTimeSync() const { return FUserAwaitsTimeSync; }

    // The native id of the application's window, as the companions get it.
    std::uintptr_t ApplicationWindow();

    // The tray icon pops the menu up through this.
    void Popup(int X, int Y) override;

public slots:
    // Published handlers: timers and menus find them by name.
    void zt_SetTaskIcon(QObject* Sender);
    void zt_UpdateSystem();
    void zt_SetSystemParams();
    void zt_UpdateSysConf();
    void zt_WeatherForecast();
    void zt_LiveUpdate();
    void zt_TimerPopUp();
    void zt_ClockEnginer();
    void zt_ApplyGMT();
    // The setup dialog's zone list changed: Sender is that combo box.
    void zt_GMTChange(QObject* Sender);
    void zt_SetUp();
    void zt_MenuServices();
    void zt_AboutUs();
    void Menu_CloseClick();

    // The viewer's mouse: turn and zoom the globe, with the angle read-out.
    void ScreenViewMouseDown();
    void CeneViewerMouseMove(Scene::TShiftState Shift);
    void ScreenViewMouseUp();
    void ScreenViewMouseLeave();

    // The moon button: Ctrl and the left button drag the window.
    void MoonMouseDown(int X, int Y);
    void MoonMouseMove(Scene::TShiftState Shift);
    // Escape or Ctrl+A stops a playing alarm and disarms the event.
    void FormKeyPress(QObject* Sender, char Key);
    // The setup dialog's live previews: Sender is its transparency bar or sun-light box.
    void AlphaBarrChange(QObject* Sender) override; // also the dialog's preview
    void CB_SumLightClick(QObject* Sender);

public:
    // "X:" turn, "Y:" roll, "Z:" pitch, "Foco:" focal length, a line each.
    QString AngleReadOut() const;
    // The window's hint: the heads-up text of before a press in the viewer.
    QString Hint() const;

protected:
    void closeEvent(QCloseEvent* Event) override;
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateComponents();
    void FormCreate();
    bool FormClose();
    void KeyPressed(QKeyEvent& Key);
    // The stop key's work, also the alarm notice's "Parar".
    void StopEvent();
    void StartClockWorker();
    void StopClockWorker();
    void AddServiceItems();
    // The moon's picture and the three textures of the globe.
    void LoadGlobePictures();
    void OnFrameRendered();
    void ApplyColorKey();

    // What the settings hold of the window and the scene.
    TGMT_System& System() override { return *GMTSystem; }
    // The window's real place on the screen, whatever holds it.
    int Top() const override;
    void SetTop(int Value) override;
    int Left() const override;
    void SetLeft(int Value) override;
    double Pitch() const override;
    void SetPitch(double Value) override;
    double Roll() const override;
    void SetRoll(double Value) override;
    double Turn() const override;
    void SetTurn(double Value) override;
    bool SumLight() const override;
    void SetSumLight(bool Value) override;
    double FocalLength() const override;
    void SetFocalLength(double Value) override;

    // What the setup dialog reaches of the window.
    bool Lighting() const override { return SumLight(); }
    void SetLighting(bool Value) override { SetSumLight(Value); }
    QRect WindowGeometry() const override;
    QSize ScreenSize() const override;
    void SetMoonEnabled(bool Value) override;
    void ShowMessage(const QString& Text) override;
    void GMTChange(QObject* Sender) override { zt_GMTChange(Sender); }
    void SumLightClick(QObject* Sender) override { CB_SumLightClick(Sender); }
    void SetSystemParams() override;
    void ApplyGMT() override { zt_ApplyGMT(); }
    void SaveSettings() override { zt_SaveSettings(); }
    bool IsClosing() const override { return FCloseAfterSetUp; }

    Platform::TServices& FServices;
    Platform::TNativeWindow FProgramManagerWindow;
    int FAlpha = 255;
    bool FClosed = false;
    // A close asked for while the setup dialog was open waits for it to end.
    bool FInSetUp = false;
    bool FCloseAfterSetUp = false;
    QPointer<QDialog> FSetUpDialog;
    bool FSetUpAccepted = false;
    // Left inside a companion's call at close; the process cannot free what it uses.
    bool FWorkerStuck = false;
    static constexpr std::chrono::milliseconds WorkerStopDeadline{1000};
    bool FUserAwaitsTimeSync = false;
    TCloseReason FCloseReason = TCloseReason::User;
    int FExitCode = 0;
    QImage FLastFrame;      // the viewer's last picture
    QImage FLastKeyedImage; // what the window's shape was last made from
    // Not a child widget: inside a desktop window that belongs to another
    // program the clock's window is no top-level, and Qt cannot tie a popup to it.
    std::unique_ptr<QMenu> FPopupMenu;
    std::unique_ptr<TDesktopPlacement> FPlacement;
    std::unique_ptr<TWindowTimers> FTimers;
    std::unique_ptr<TWatchOnline> FOnline;     // the online services' view of the window
    std::unique_ptr<THostPopupMenu> FTrayMenu; // lent to the tray icon for the whole run
    std::unique_ptr<TTrayIcon> FTrayIcon;
    std::unique_ptr<TSettingsTransfer> FSettings;
    std::unique_ptr<TClockHands> FHands;
    std::unique_ptr<TGlobeInteraction> FInteraction;
    // The close's signal, the worker's queue to this thread, the event's actions and the worker.
    Platform::TStopSignal FClosing;
    std::unique_ptr<TUserInterfaceQueue> FQueue;
    std::unique_ptr<TEventNotices> FEventNotices;
    std::unique_ptr<TEventRunner> FEventRunner;
    std::unique_ptr<TCheckTime> FWorker;
};

// The one main window, for timer handlers and the worker.
extern Twatch* watch;
