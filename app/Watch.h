#pragma once

#include "globe/GlobeScene.h"
#include "GMT_System.h"
#include "platform/Platform.h"
#include "scene/qt/GLSceneViewer.h"
#include "services/CompanionMenu.h"

#include <QImage>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QTimer;
class TConfigDocument;
class TFlatImageButton;
class THostPopupMenu;
class TRSSWeather;

// The clock's one window: a borderless, colour-keyed gadget on the desktop
// that owns everything living for the whole run.
class Twatch : public QWidget, public TCompanionMenu
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
    void zt_SaveSettings();
    // Arms timer Id to call the published handler Name (any letter case);
    // an unknown name arms a timer that does nothing.
    unsigned zt_SetTimer(unsigned Id, unsigned Interval, const std::string& Name);
    bool IsTimerArmed(unsigned Id) const;
    int TimerInterval(unsigned Id) const;

    int Alpha() const { return FAlpha; }
    void SetAlpha(int Value);

    Platform::TServices& Services() { return FServices; }

    // The tray icon pops the menu up through this.
    void Popup(int X, int Y) override;

public slots:
    // Published handlers: timers and menus find them by name.
    void zt_SetTaskIcon(QObject* Sender);
    void zt_UpdateSystem();
    void zt_SetSystemParams();
    void zt_TimerPopUp();
    void zt_ClockEnginer();
    void zt_ApplyGMT();
    void zt_SetUp();
    void zt_MenuServices();
    void zt_AboutUs();
    void Menu_CloseClick();

    // The viewer's mouse: turn and zoom the globe, with the angle read-out.
    void ScreenViewMouseDown();
    void CeneViewerMouseMove(Scene::TShiftState Shift);
    void ScreenViewMouseUp();
    void ScreenViewMouseLeave();

public:
    // "X:" turn, "Y:" roll, "Z:" pitch, "Foco:" focal length, a line each.
    QString AngleReadOut() const;
    // The window's hint: the heads-up text of before a press in the viewer.
    QString Hint() const { return QString::fromLatin1(FHint); }

protected:
    void closeEvent(QCloseEvent* Event) override;
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateComponents();
    void FormCreate();
    void FormClose();
    void FormKeyPress(QKeyEvent& Key);
    void StartClockWorker();
    void StopClockWorker();
    void AddServiceItems();
    void LoadGlobePicture(const char* PictureName, const char* TemporaryFile);
    void OnFrameRendered();
    void ApplyColorKey();

    Platform::TServices& FServices;
    Platform::TNativeWindow FProgramManagerWindow;
    int FAlpha = 255;
    bool FClosed = false;
    QImage FLastFrame;      // the viewer's last picture
    QImage FLastKeyedImage; // what the window's shape was last made from
    std::string FHint;      // in the heads-up text's own 8-bit characters
    std::map<unsigned, QTimer*> FTimers;
    std::unique_ptr<THostPopupMenu> FTrayMenu; // lent to the tray icon for the whole run
};

// The one main window, for timer handlers and the worker.
extern Twatch* watch;
