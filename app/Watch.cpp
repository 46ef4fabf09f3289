#include "Watch.h"

#include "app/language/Translations.h"
#include "clock/CheckTime.h"
#include "clock/ClockHands.h"
#include "clock/UserInterfaceQueue.h"
#include "desktop/DesktopPlacement.h"
#include "ErrorReport.h"
#include "event/EventRunner.h"
#include "FlatImageButton.h"
#include "interaction/GlobeInteraction.h"
#include "notification/EventNotices.h"
#include "online/ConfigRefresh.h"
#include "online/OnlineLoop.h"
#include "online/ServicesMenu.h"
#include "online/WeatherForecast.h"
#include "scene/GLPictureImage.h"
#include "scene/GLTexture.h"
#include "scene/qt/GLSceneViewer.h"
#include "services/ConfigDocument.h"
#include "services/HostPopupMenu.h"
#include "services/HTTPConnection.h"
#include "services/PictureLibrary.h"
#include "services/RSSWeather.h"
#include "services/SystemUpdate.h"
#include "settings/GlobePicture.h"
#include "settings/SettingsTransfer.h"
#include "setup/Frm_SetUp.h"
#include "setup/SetUpTransfer.h"
#include "WatchOnline.h"
#include "window/TrayIcon.h"
#include "window/WindowTimers.h"
#include "ZentavoApplication.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QMetaMethod>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>

Twatch* watch = nullptr;

namespace {

Scene::TShiftState ShiftStateOf(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers)
{
    Scene::TShiftState Shift;
    if (Modifiers & Qt::ShiftModifier)
        Shift.Include(Scene::ssShift);
    if (Modifiers & Qt::AltModifier)
        Shift.Include(Scene::ssAlt);
    if (Modifiers & Qt::ControlModifier)
        Shift.Include(Scene::ssCtrl);
    if (Buttons & Qt::LeftButton)
        Shift.Include(Scene::ssLeft);
    if (Buttons & Qt::RightButton)
        Shift.Include(Scene::ssRight);
    if (Buttons & Qt::MiddleButton)
        Shift.Include(Scene::ssMiddle);
    return Shift;
}

// The character a key press types: Escape is 27 and Ctrl+A is 1 whatever the keyboard layout.
char TypedCharacter(const QKeyEvent& Key)
{
    if (Key.key() == Qt::Key_Escape)
        return 27;
    if (Key.key() == Qt::Key_A && (Key.modifiers() & Qt::ControlModifier))
        return 1;
    const QString Text = Key.text();
    return Text.isEmpty() ? 0 : Text.at(0).toLatin1();
}

Qt::CursorShape ShapeOf(TViewerCursor Cursor)
{
    switch (Cursor) {
    case TViewerCursor::SizeAll:
        return Qt::SizeAllCursor;
    case TViewerCursor::SizeNorthSouth:
        return Qt::SizeVerCursor;
    case TViewerCursor::SizeWestEast:
        return Qt::SizeHorCursor;
    case TViewerCursor::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

Twatch::Twatch(Platform::TServices& Services, Platform::TNativeWindow ProgramManagerWindow)
    : QWidget(nullptr), FServices(Services), FProgramManagerWindow(ProgramManagerWindow)
{
    watch = this;
    CreateComponents();
    FormCreate();
}

Twatch::~Twatch()
{
    Moon->SetPopupMenu(nullptr);
    StopClockWorker();
    if (FQueue)
        FQueue->Cancel();
    if (watch == this)
        watch = nullptr;
}

void Twatch::CreateComponents()
{
    setObjectName(QStringLiteral("watch"));
    setWindowTitle(QStringLiteral("watch"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnBottomHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(ClientWidth, ClientHeight);
    move(474, 162);
    QPalette Background = palette();
    Background.setColor(QPalette::Window, QColor::fromRgb(KeyColor));
    setPalette(Background);
    setAutoFillBackground(true);
    QFont Font(QStringLiteral("MS Sans Serif"));
    Font.setPixelSize(11);
    setFont(Font);

    Globe = std::make_unique<TGlobeScene>();
    Planetarium = Globe->Planetarium;
    Camera_1 = Globe->Camera_1;
    HUDText = Globe->HUDText;
    FPlacement = std::make_unique<TDesktopPlacement>(*FServices.Desktop, *this);
    FTimers = std::make_unique<TWindowTimers>(*this);
    FOnline = std::make_unique<TWatchOnline>(*this);
    FQueue = std::make_unique<TUserInterfaceQueue>(*this);
    FInteraction = std::make_unique<TGlobeInteraction>(*Globe, [] {
        const QPoint Cursor = QCursor::pos();
        return TScreenPoint{Cursor.x(), Cursor.y()};
    });
    FInteraction->SetDecimalSeparator(QLocale().decimalPoint().at(0).toLatin1());
    ScreenView = new Scene::TGLSceneViewer(this);
    ScreenView->setObjectName(QStringLiteral("ScreenView"));
    ScreenView->setGeometry(0, 0, 328, 344);
    Globe->ConfigureViewer(*ScreenView);
    ScreenView->SetOnError([](const std::exception& Error) { ReportException(Error); });
    ScreenView->Buffer().SetAfterRender([this] { RunGuarded([this] { OnFrameRendered(); }); });
    ScreenView->SetOnMouseDown([this](Scene::TMouseButton, Scene::TShiftState, int, int) {
        RunGuarded([this] { ScreenViewMouseDown(); });
    });
    ScreenView->SetOnMouseMove([this](Scene::TShiftState Shift, int, int) {
        RunGuarded([this, Shift] { CeneViewerMouseMove(Shift); });
    });
    ScreenView->SetOnMouseUp([this](Scene::TMouseButton, Scene::TShiftState, int, int) {
        RunGuarded([this] { ScreenViewMouseUp(); });
    });
    ScreenView->SetOnMouseLeave([this] { RunGuarded([this] { ScreenViewMouseLeave(); }); });
    FTrayMenu = std::make_unique<THostPopupMenu>(*this);
    FTrayIcon = std::make_unique<TTrayIcon>(*FServices.Libraries, *FTrayMenu);
    FSettings = std::make_unique<TSettingsTransfer>(*FServices.Registry, *FServices.TimeZone);

    FPopupMenu = std::make_unique<QMenu>();
    PopupMenu = FPopupMenu.get();
    PopupMenu->setFont(font());
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    MenuSetUp = PopupMenu->addAction(tr("Configurações"), this, &Twatch::zt_SetUp);
    MenuSetUp->setObjectName(QStringLiteral("MenuSetUp"));
    MenuServices = PopupMenu->addMenu(tr("Serviços"));
    MenuServices->setObjectName(QStringLiteral("MenuServices"));
    MenuServices->setFont(font());
    MenuServices->menuAction()->setData(1);
    WeatherChannel =
        MenuServices->addAction(QStringLiteral("Weather Channel"), this, &Twatch::zt_MenuServices);
    WeatherChannel->setObjectName(QStringLiteral("WeatherChannel"));
    WeatherChannel->setData(2);
    WeatherForecast =
        MenuServices->addAction(QStringLiteral("Weather Forecast"), this, &Twatch::zt_MenuServices);
    WeatherForecast->setObjectName(QStringLiteral("WeatherForecast"));
    WeatherForecast->setData(3);
    N2 = MenuServices->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    N2->setData(0);
    Ajuda1 = PopupMenu->addAction(tr("&Ajuda"), this, &Twatch::zt_MenuServices);
    Ajuda1->setObjectName(QStringLiteral("Ajuda1"));
    Ajuda1->setData(5);
    Sobre1 = PopupMenu->addAction(tr("&Sobre..."), this, &Twatch::zt_AboutUs);
    Sobre1->setObjectName(QStringLiteral("Sobre1"));
    Sobre1->setData(6);
    N1 = PopupMenu->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Menu_Close = PopupMenu->addAction(tr("&Sair"), this, &Twatch::Menu_CloseClick);
    Menu_Close->setObjectName(QStringLiteral("Menu_Close"));
    Menu_Close->setData(7);

    Moon = new TFlatImageButton(this);
    Moon->setObjectName(QStringLiteral("Moon"));
    Moon->setGeometry(1, 1, 32, 32);
    Moon->SetAutoZise(true);
    Moon->SetOffSetX(0);
    Moon->SetOffSetY(0);
    Moon->SetTransparence(true);
    Moon->SetTransparentColor(Qt::white);
    Moon->SetUseCaption(false);
    Moon->SetBevelInner(bvNone);
    Moon->SetBevelouter(bvNone);
    Moon->SetColor(QColor::fromRgb(KeyColor));
    Moon->setCursor(Qt::PointingHandCursor);
    Moon->SetHint(tr("Arraste a lua com a tecla Ctrl pressionada para reposicionar o globo\r\n"
                     "ou de um duplo clique para configurar."));
    Moon->SetPopupMenu(PopupMenu);
    Moon->setFocusPolicy(Qt::StrongFocus);
    Moon->OnDblClick = [this] { zt_SetUp(); };
    Moon->OnKeyPress = [this](QKeyEvent& Key) { KeyPressed(Key); };
    Moon->OnMouseDown = [this](Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) { MoonMouseDown(X, Y); };
    Moon->OnMouseMove = [this](Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers, int, int) {
        MoonMouseMove(ShiftStateOf(Buttons, Modifiers));
    };

    // Key preview: the window sees key presses before its controls do.
    for (QWidget* Child : {static_cast<QWidget*>(ScreenView), static_cast<QWidget*>(Moon)})
        Child->installEventFilter(this);
}

void Twatch::FormCreate()
{
    ConfigDocument = std::make_unique<TConfigDocument>();
    WeatherDoc = std::make_unique<TConfigDocument>();
    // "WeatherInf": a second document that lives with the window and is never loaded.
    Weather = std::make_unique<TRSSWeather>();
    TZentavoApplication::SetHintColor(Qt::white);
    TZentavoApplication::SetHintHidePause(5000);
    GMTSystem = std::make_unique<TGMT_System>(*FServices.Clock);
    GMTSystem->ConnectCount = 0;
    FHands = std::make_unique<TClockHands>(*Globe, *GMTSystem, [this] { ScreenView->ResetFrameStats(); });
    const QFileInfo Icon(QDir::current().filePath(QStringLiteral("pictures/CLOCK.png")));
    FEventNotices = std::make_unique<TEventNotices>(
        *FServices.Notifications, [this] { RunGuarded([this] { StopEvent(); }); },
        Icon.exists() ? Icon.absoluteFilePath().toStdString() : std::string());
    FEventRunner = std::make_unique<TEventRunner>(
        FServices, *FQueue, FClosing,
        [this] {
            // A failed save is reported here, on the window's thread; the shutdown then does not happen.
            return RunGuarded([this] { zt_SaveSettings(); });
        },
        [this] { RunGuarded([this] { zt_SetTaskIcon(nullptr); }); }, *FEventNotices);
    FEventNotices->SetOnCallOffShutDown([this](Platform::TDateTime Due) {
        RunGuarded([this, Due] { FEventRunner->CallOffShutDown(*GMTSystem, Due); });
    });
    FPlacement->Place(FProgramManagerWindow);

    if (zt_LoadSettings()) {
        RunGuarded([this] {
            WeatherChannel->setText(DocumentText(TConfigDocument::Attribute(
                ConfigDocument->Element("zentavo/library/weather/channel"), "font")));
            WeatherForecast->setText(DocumentText(TConfigDocument::Attribute(
                ConfigDocument->Element("zentavo/library/weather/forecast"), "font")));
            AddServiceItems();
        });
    } else {
        QString Message = tr("Erro ao carregar configurações.");
        if (!FSettings->KeptCopy().empty())
            Message += QLatin1Char('\n') + tr("Uma cópia das configurações anteriores foi guardada em %1.")
                                               .arg(QString::fromStdString(FSettings->KeptCopy()));
        ShowErrorBox(Message);
    }

    // The remaining steps have no handling of their own: the first failure
    // ends start-up there and goes to the error report.
    RunGuarded([this] {
        // Until its first frame the window shows nothing but the moon, not
        // its key-coloured background.
        ApplyColorKey();
        show();
        zt_UpdateSystem();
        StartClockWorker();
        zt_SetTimer(1, 30000, "zt_SetSystemParams");
        zt_SetTimer(2, static_cast<unsigned>(ConfigDocument->PopUpInterval()), "zt_TimerPopUp");
    });
}

void Twatch::AddServiceItems()
{
    for (const TServicesMenu::TServiceEntry& Entry : TServicesMenu::ServiceEntries(*ConfigDocument)) {
        const QString Link = QString::fromStdString(Entry.Link);
        QAction* Item = new QAction(DocumentText(Entry.Caption), MenuServices);
        Item->setObjectName(QString::fromStdString(Entry.Id));
        Item->setToolTip(Link);
        Item->setStatusTip(Link);
        Item->setData(-1);
        connect(Item, &QAction::triggered, this, &Twatch::zt_MenuServices);
        MenuServices->addAction(Item);
    }
}

bool Twatch::zt_LoadSettings()
{
    bool Completed = false;
    try {
        FSettings->Load(*this);
        ConfigDocument->LoadFromFile("sysConf.xml");
        LoadGlobePictures();
        Completed = true;
    } catch (const std::exception&) {
        // The load only reports that it stopped; start-up shows the message.
    }
    // Whatever happened above, the globe is turned for the zone and the tray refreshed.
    zt_ApplyGMT();
    zt_SetTaskIcon(this);
    return Completed;
}

int Twatch::Top() const
{
    return FPlacement->Position().y();
}
void Twatch::SetTop(int Value)
{
    FPlacement->SetTop(Value);
}
int Twatch::Left() const
{
    return FPlacement->Position().x();
}
void Twatch::SetLeft(int Value)
{
    FPlacement->SetLeft(Value);
}
QRect Twatch::WindowGeometry() const
{
    return QRect(FPlacement->Position(), size());
}

double Twatch::Pitch() const
{
    return Planetarium->PitchAngle();
}
void Twatch::SetPitch(double Value)
{
    Planetarium->SetPitchAngle(static_cast<float>(Value));
}
double Twatch::Roll() const
{
    return Planetarium->RollAngle();
}
void Twatch::SetRoll(double Value)
{
    Planetarium->SetRollAngle(static_cast<float>(Value));
}
double Twatch::Turn() const
{
    return Planetarium->TurnAngle();
}
void Twatch::SetTurn(double Value)
{
    Planetarium->SetTurnAngle(static_cast<float>(Value));
}
bool Twatch::SumLight() const
{
    return ScreenView->Buffer().Lighting();
}
void Twatch::SetSumLight(bool Value)
{
    ScreenView->Buffer().SetLighting(Value);
}
double Twatch::FocalLength() const
{
    return Camera_1->FocalLength();
}
void Twatch::SetFocalLength(double Value)
{
    Camera_1->SetFocalLength(static_cast<float>(Value));
}

void Twatch::LoadGlobePictures()
{
    const auto Texture = [this](Scene::TGLSphere* Sphere, const char* Name, const char* TemporaryFile) {
        Scene::TGLPictureImage& Image = Sphere->Material().Texture().Image();
        ::LoadGlobePicture(
            *FServices.Libraries, *FServices.Files, Name, TemporaryFile,
            [&Image](const std::string& File) { Image.LoadFromFile(File); },
            [&Image] { Image.Picture().Clear(); });
    };
    ::LoadGlobePicture(
        *FServices.Libraries, *FServices.Files, "MOON", "moon.bmp",
        [this](const std::string& File) { Moon->LoadPictureFromFile(QString::fromStdString(File)); },
        [this] { Moon->SetPicture(QImage()); });
    Texture(Globe->Earth, "SURFACE", "surface.bmp");
    Texture(Globe->Horas, "DOMO_H", "domo_h.bmp");
    Texture(Globe->Minutos, "DOMO_M", "domo_m.bmp");
}

void Twatch::zt_SaveSettings()
{
    const QString Executable = QCoreApplication::applicationFilePath();
    FSettings->Save(*this, Executable.toStdString());
    if (GMTSystem->RunOnce)
        FServices.Autostart->Enable(Executable.toStdString(), QDir::currentPath().toStdString());
    else
        FServices.Autostart->Disable();
    zt_SetTaskIcon(nullptr);
}

void Twatch::SetAlpha(int Value)
{
    FAlpha = Value;
    FServices.Shape->SetOpacity(*this, Value);
}

unsigned Twatch::zt_SetTimer(unsigned Id, unsigned Interval, const std::string& Name)
{
    return FTimers->Arm(Id, Interval, Name);
}

bool Twatch::IsTimerArmed(unsigned Id) const
{
    return FTimers->IsArmed(Id);
}

int Twatch::TimerInterval(unsigned Id) const
{
    return FTimers->Interval(Id);
}

std::uintptr_t Twatch::ApplicationWindow()
{
    // The icon belongs to the application's own hidden window, which here is the window itself.
    return static_cast<std::uintptr_t>(winId());
}

void Twatch::zt_SetTaskIcon(QObject* Sender)
{
    FTrayIcon->Refresh(ApplicationWindow(), Sender == nullptr, GMTSystem->Waiting, GMTSystem->DateTime);
}

void Twatch::zt_UpdateSystem()
{
    UpdateSystem(*ConfigDocument, *FServices.Files, Platform::IsSafeToLoad);
}

void Twatch::Popup(int X, int Y)
{
    // The tray may ask from a thread of its own.
    QMetaObject::invokeMethod(
        this, [this, X, Y] { PopupMenu->popup(QPoint(X, Y)); }, Qt::QueuedConnection);
}

void Twatch::closeEvent(QCloseEvent* Event)
{
    if (FInSetUp && !FClosed) {
        // The dialog's loop is still on the stack and reads the documents after it
        // ends: it finishes as Cancel first, then the window closes.
        FCloseAfterSetUp = true;
        Event->ignore();
        // A box above it first (the sound file's chooser, a message): each loop ends in turn.
        if (auto* Modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            Modal && Modal != FSetUpDialog)
            Modal->reject();
        if (FSetUpDialog)
            FSetUpDialog->reject();
        return;
    }
    if (!FClosed) {
        FClosed = true;
        FExitCode = FormClose() ? 0 : 1;
    }
    if (FWorkerStuck) {
        // The worker is still inside a companion's call and uses this window when it
        // returns: nothing may be freed under it. The settings are saved; the process ends here.
        std::fflush(nullptr);
        std::_Exit(FExitCode);
    }
    Event->accept();
    QCoreApplication::exit(FExitCode);
}

void Twatch::CloseFor(TCloseReason Reason)
{
    FCloseReason = Reason;
    close();
}

bool Twatch::FormClose()
{
    // The worker reads the window and its record: it stops before anything is freed.
    StopClockWorker();
    FTimers->KillAll();
    FPlacement->Stop();
    bool Saved = true;
    try {
        zt_SaveSettings();
    } catch (const std::exception& Error) {
        Saved = false;
        // The system is ending us: nobody may be there to confirm a box.
        if (FCloseReason == TCloseReason::Termination)
            SetReportToStandardError(true);
        ShowErrorBox(QString::fromUtf8(Error.what()));
    }
    ConfigDocument.reset();
    WeatherDoc.reset();
    Weather.reset();
    return Saved;
}

void Twatch::Menu_CloseClick()
{
    CloseFor(TCloseReason::User);
}

bool Twatch::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress && Watched != Moon)
        KeyPressed(*static_cast<QKeyEvent*>(Event));
    return QWidget::eventFilter(Watched, Event);
}

bool Twatch::event(QEvent* Event)
{
    // A new native window (the desktop manager went or came) has no shape yet.
    if (Event->type() == QEvent::WinIdChange)
        FLastKeyedImage = QImage();
    if (Event->type() == QEvent::Show)
        QTimer::singleShot(0, this, [this] { RunGuarded([this] { ApplyColorKey(); }); });
    return QWidget::event(Event);
}

void Twatch::OnFrameRendered()
{
    FLastFrame = ScreenView->GrabFrame();
    ApplyColorKey();
}

// The window's shape follows what it shows: the viewer's last frame with the
// moon over it. Only pixels of exactly the key colour become see-through.
void Twatch::ApplyColorKey()
{
    if (!testAttribute(Qt::WA_WState_Created))
        return;
    // In device pixels: on a scaled screen the shape is cut at the display's resolution.
    const qreal Ratio = devicePixelRatioF();
    QImage Shown(size() * Ratio, QImage::Format_RGB32);
    Shown.setDevicePixelRatio(Ratio);
    Shown.fill(QColor::fromRgb(KeyColor));
    QPainter Painter(&Shown);
    if (!FLastFrame.isNull()) {
        QImage Frame = FLastFrame;
        Frame.setDevicePixelRatio(Ratio); // read back from the surface in device pixels
        Painter.drawImage(ScreenView->geometry().topLeft(), Frame);
    }
    if (!Moon->VisiblePicture().isNull())
        Painter.drawImage(Moon->geometry().topLeft() - QPoint(Moon->OffSetX(), Moon->OffSetY()),
                          Moon->VisiblePicture());
    Painter.end();
    if (Shown == FLastKeyedImage)
        return;
    FLastKeyedImage = Shown;
    FServices.Shape->ApplyColorKey(*this, Shown, KeyColor);
}

QString Twatch::AngleReadOut() const
{
    return QString::fromLatin1(FInteraction->AngleReadOut());
}

QString Twatch::Hint() const
{
    return QString::fromLatin1(FInteraction->Hint());
}

void Twatch::ScreenViewMouseDown()
{
    FInteraction->MouseDown();
}

void Twatch::CeneViewerMouseMove(Scene::TShiftState Shift)
{
    const TViewerCursor Cursor = FInteraction->MouseMove(Shift);
    ScreenView->setCursor(ShapeOf(Cursor));
    const TScreenPoint Last = FInteraction->LastMouse();
    LastMouseX = Last.X;
    LastMouseY = Last.Y;
}

void Twatch::ScreenViewMouseUp()
{
    FInteraction->MouseUp();
}

void Twatch::ScreenViewMouseLeave()
{
    FInteraction->MouseLeave();
}

void Twatch::MoonMouseDown(int X, int Y)
{
    FInteraction->MoonMouseDown(X, Y);
    DragOffsetX = X;
    DragOffsetY = Y;
}

void Twatch::MoonMouseMove(Scene::TShiftState Shift)
{
    if (!TGlobeInteraction::MoonMoveDragsWindow(Shift))
        return;
    const QPoint Cursor = QCursor::pos();
    const TScreenPoint Target = FInteraction->MoonDragTarget({Cursor.x(), Cursor.y()});
    SetTop(Target.Y);
    SetLeft(Target.X);
}

void Twatch::AlphaBarrChange(QObject* Sender)
{
    if (auto* Bar = qobject_cast<QAbstractSlider*>(Sender))
        SetAlpha(static_cast<std::uint8_t>(Bar->value()));
}

void Twatch::CB_SumLightClick(QObject* Sender)
{
    if (auto* Box = qobject_cast<QAbstractButton*>(Sender))
        SetSumLight(Box->isChecked());
}

void Twatch::KeyPressed(QKeyEvent& Key)
{
    const char Character = TypedCharacter(Key);
    RunGuarded([&] { FormKeyPress(Moon, Character); });
}

void Twatch::FormKeyPress(QObject*, char Key)
{
    if (Key == 27 || Key == 1)
        StopEvent();
}

void Twatch::StopEvent()
{
    GMTSystem->StopEvent(*FEventRunner);
}

void Twatch::ClockStep()
{
    FHands->ClockStep();
}

void Twatch::CheckEvent()
{
    GMTSystem->CheckEvent(*FEventRunner);
}

void Twatch::zt_ApplyGMT()
{
    FHands->ApplyGMT();
}

void Twatch::zt_GMTChange(QObject* Sender)
{
    RunGuarded([&] {
        auto* List = qobject_cast<QComboBox*>(Sender);
        if (List == nullptr || List->currentIndex() < 0)
            throw std::out_of_range("No time zone is selected");
        FHands->GMTChange(List->itemText(List->currentIndex()).toStdString());
    });
}

void Twatch::zt_ClockEnginer()
{
    FTimers->Kill(12);
    ClockStep();
    CheckEvent();
    ClockStep();
    ScreenView->ResetFrameStats();
    CheckEvent();
}

void Twatch::StartClockWorker()
{
    FWorker = std::make_unique<TCheckTime>(
        *FServices.Clock, FClosing,
        [this](bool Loop) {
            return FQueue->Run([this, Loop] {
                RunGuarded([this, Loop] {
                    ClockStep();
                    if (Loop)
                        ScreenView->ResetFrameStats();
                });
            });
        },
        [this] { CheckEvent(); });
    FWorker->Start();
}

void Twatch::StopClockWorker()
{
    // Nothing the worker waits for may hold it: not a hand-over, not a sleep, not a sound.
    FQueue->Cancel();
    FClosing.Raise();
    FServices.Sound->Stop();
    // Not so a companion's call (a shutdown request, a tray refresh): the close waits only so long.
    if (FWorker && !FWorker->Stop([this] { FServices.Sound->Stop(); }, WorkerStopDeadline))
        FWorkerStuck = true;
}

bool Twatch::IsClockWorkerRunning() const
{
    return FWorker && FWorker->Running();
}

void Twatch::zt_SetSystemParams()
{
    TOnlineLoop(*GMTSystem, *FOnline).Run();
}

void Twatch::KillTimer(unsigned Id)
{
    FTimers->Kill(Id);
}

void Twatch::zt_UpdateSysConf()
{
    TConfigRefresh(*ConfigDocument, *GMTSystem, *FServices.Libraries, *FServices.Sound, *FOnline).Run();
}

void Twatch::zt_LiveUpdate()
{
    RunLiveUpdate(*ConfigDocument, *GMTSystem, *FServices.Libraries);
}

void Twatch::zt_WeatherForecast()
{
    TWeatherForecast(*GMTSystem, *FServices.Libraries, *Weather, *FOnline).Run();
}

void Twatch::zt_TimerPopUp()
{
    RunGuarded([this] { TServicesMenu(*ConfigDocument, *GMTSystem, FServices, *FOnline).TimerPopUp(); });
}

void Twatch::zt_MenuServices()
{
    const auto* Item = qobject_cast<const QAction*>(sender());
    if (Item == nullptr)
        return;
    RunGuarded([this, Item] {
        TServicesMenu(*ConfigDocument, *GMTSystem, FServices, *FOnline)
            .MenuServices(Item->data().toInt(), Item->objectName().toStdString());
    });
}

void Twatch::zt_AboutUs()
{
    RunGuarded([this] { TServicesMenu(*ConfigDocument, *GMTSystem, FServices, *FOnline).AboutUs(); });
}

void Twatch::zt_SetUp()
{
    if (FInSetUp || FClosed)
        return;
    FInSetUp = true;
    RunGuarded([this] {
        // Owned by no window: it frees itself once closed and its values are read.
        QPointer<TFrm_SetUp> Dialog = new TFrm_SetUp(FServices);
        struct TFree
        {
            QPointer<TFrm_SetUp>& Dialog;
            ~TFree()
            {
                if (Dialog)
                    Dialog->deleteLater();
            }
        } Free{Dialog};
        Dialog->OnError = [](const std::exception& Error) { ReportException(Error); };
        TSetUpTransfer Transfer(*GMTSystem, *FServices.Libraries, *FServices.Clock, *this);
        Transfer.Run(*Dialog, [this](TFrm_SetUp& Shown) {
            FSetUpDialog = &Shown;
            FSetUpAccepted = Shown.exec() == QDialog::Accepted;
            FSetUpDialog = nullptr;
            return FSetUpAccepted;
        });
    });
    FInSetUp = false;
    FSetUpAccepted = false;
    if (FCloseAfterSetUp)
        QTimer::singleShot(0, this, [this] { close(); });
}

void Twatch::SetSystemParams()
{
    FUserAwaitsTimeSync = FSetUpAccepted;
    zt_SetSystemParams();
    FUserAwaitsTimeSync = false;
}

QSize Twatch::ScreenSize() const
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return Screen != nullptr ? Screen->size() : QSize(0, 0);
}

void Twatch::SetMoonEnabled(bool Value)
{
    Moon->setEnabled(Value);
}

void Twatch::ShowMessage(const QString& Text)
{
    ShowMessageBox(Text);
}
