#include "Watch.h"

#include "ErrorReport.h"
#include "FlatImageButton.h"
#include "scene/GLPictureImage.h"
#include "scene/GLTexture.h"
#include "scene/qt/GLSceneViewer.h"
#include "services/ConfigDocument.h"
#include "services/HostPopupMenu.h"
#include "services/PictureLibrary.h"
#include "services/RSSWeather.h"
#include "services/SystemUpdate.h"
#include "SettingsKey.h"
#include "ZentavoApplication.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QMetaMethod>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>

Twatch* watch = nullptr;

namespace {

const char* const SettingsKeyPath = "Software\\Zentavo-3D\\geovalues";
const char* const RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const RunValueName = "ZENTAVO.EXE";
constexpr int DaylightSavingBias = -60;

// The locale's short date, a blank and its long time; midnight shows the date only.
QString EventDateTimeText(double DateTime)
{
    const QDateTime Moment = QDateTime(QDate(1899, 12, 30), QTime(0, 0))
                                 .addMSecs(static_cast<qint64>(std::llround(DateTime * 86400000.0)));
    const QLocale Locale;
    QString Text = Locale.toString(Moment.date(), QLocale::ShortFormat);
    if (Moment.time() != QTime(0, 0)) {
        // The long time format may name the zone; the tip shows the clock time only.
        QString Format = Locale.timeFormat(QLocale::LongFormat);
        Format.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
        Text += QLatin1Char(' ') + Moment.time().toString(Format.trimmed());
    }
    return Text;
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
    StopClockWorker();
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

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    MenuSetUp = PopupMenu->addAction(QStringLiteral("Configurações"), this, &Twatch::zt_SetUp);
    MenuSetUp->setObjectName(QStringLiteral("MenuSetUp"));
    MenuServices = PopupMenu->addMenu(QStringLiteral("Serviços"));
    MenuServices->setObjectName(QStringLiteral("MenuServices"));
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
    Ajuda1 = PopupMenu->addAction(QStringLiteral("&Ajuda"), this, &Twatch::zt_MenuServices);
    Ajuda1->setObjectName(QStringLiteral("Ajuda1"));
    Ajuda1->setData(5);
    Sobre1 = PopupMenu->addAction(QStringLiteral("&Sobre..."), this, &Twatch::zt_AboutUs);
    Sobre1->setObjectName(QStringLiteral("Sobre1"));
    Sobre1->setData(6);
    N1 = PopupMenu->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Menu_Close = PopupMenu->addAction(QStringLiteral("&Sair"), this, &Twatch::Menu_CloseClick);
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
    Moon->SetHint(QStringLiteral("Arraste a lua com a tecla Ctrl pressionada para reposicionar o globo\r\n"
                                 "ou de um duplo clique para configurar."));
    Moon->SetPopupMenu(PopupMenu);
    Moon->setFocusPolicy(Qt::StrongFocus);
    Moon->OnDblClick = [this] { zt_SetUp(); };
    Moon->OnKeyPress = [this](QKeyEvent& Key) { FormKeyPress(Key); };
    Moon->OnMouseDown = [this](Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
        DragOffsetX = X;
        DragOffsetY = Y;
    };
    Moon->OnMouseMove = [this](Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int, int) {
        if (Buttons == Qt::LeftButton && Shift == Qt::ControlModifier) {
            const QPoint Cursor = QCursor::pos();
            move(Cursor.x() - DragOffsetX, Cursor.y() - DragOffsetY);
        }
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
    GMTSystem = std::make_unique<TGMT_System>();
    GMTSystem->ConnectCount = 0;
    FServices.Desktop->SetParent(*this, FProgramManagerWindow);

    if (zt_LoadSettings()) {
        RunGuarded([this] {
            WeatherChannel->setText(QString::fromStdString(TConfigDocument::Attribute(
                ConfigDocument->Element("zentavo/library/weather/channel"), "font")));
            WeatherForecast->setText(QString::fromStdString(TConfigDocument::Attribute(
                ConfigDocument->Element("zentavo/library/weather/forecast"), "font")));
            AddServiceItems();
        });
    } else {
        ShowErrorBox(QStringLiteral("Erro ao carregar configurações."));
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
    for (const QDomElement& Entry : ConfigDocument->Services()) {
        try {
            const QString Id = QString::fromStdString(TConfigDocument::Attribute(Entry, "id"));
            const QString Link = QString::fromStdString(TConfigDocument::Attribute(Entry, "link"));
            const QString Caption = QString::fromStdString(TConfigDocument::Attribute(Entry, "caption"));
            static const QRegularExpression Identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
            if (!Identifier.match(Id).hasMatch())
                continue;
            QAction* Item = new QAction(Caption, MenuServices);
            Item->setObjectName(Id);
            Item->setToolTip(Link);
            Item->setStatusTip(Link);
            Item->setData(-1);
            connect(Item, &QAction::triggered, this, &Twatch::zt_MenuServices);
            MenuServices->addAction(Item);
        } catch (const std::exception&) {
            // An entry that cannot be built loses only its own item.
        }
    }
}

bool Twatch::zt_LoadSettings()
{
    bool Completed = false;
    try {
        TSettingsKey Key(FServices.Registry->CreateKey(SettingsKeyPath));
        move(x(), static_cast<int>(Key.ReadInteger("Top", 0)));
        move(static_cast<int>(Key.ReadInteger("Left", 0)), y());
        SetAlpha(static_cast<std::uint8_t>(Key.ReadInteger("Alpha", 255)));

        Planetarium->SetPitchAngle(static_cast<float>(Key.ReadFloat("Pitch")));
        Planetarium->SetRollAngle(static_cast<float>(Key.ReadFloat("Roll")));
        Planetarium->SetTurnAngle(static_cast<float>(Key.ReadFloat("Turn")));
        ScreenView->Buffer().SetLighting(Key.ReadFlag("SumLight", true));
        Camera_1->SetFocalLength(static_cast<float>(Key.ReadFloat("FocalLength")));

        TGMT_System& System = *GMTSystem;
        System.Playtime = static_cast<std::int8_t>(static_cast<std::uint8_t>(Key.ReadInteger("Playtime", 0)));
        System.GMT = static_cast<std::int32_t>(Key.ReadInteger("GMT", 0));
        System.Location = Key.ReadText("Location");
        System.Task = static_cast<std::uint8_t>(Key.ReadInteger("Task", -1));
        System.Waiting = Key.ReadFlag("Waiting", false);
        System.DateTime = Key.ReadFloat("DateTime");
        System.Sound = Key.ReadText("Sound");
        System.AppChild = Key.ReadText("AppChild");
        System.RunOnce = Key.ReadFlag("RunOnce", true);
        System.SunTime = Key.ReadFlag("SunTime", true);
        System.TimeServer = Key.ReadText("TimeServer");
        System.Connection.SetProxyServer(Key.ReadText("User"));
        System.Connection.SetProxyPass(Key.ReadText("Pass"));
        System.Connection.SetProxyPort(Key.ReadText("Port"));

        Platform::TTimeZoneInformation Zone = FServices.TimeZone->GetTimeZoneInformation();
        Zone.DaylightBias = System.SunTime ? DaylightSavingBias : 0;
        FServices.TimeZone->SetTimeZoneInformation(Zone);

        System.UF = Key.ReadText("UF");
        ConfigDocument->LoadFromFile("sysConf.xml");

        LoadGlobePicture("MOON", "moon.bmp");
        LoadGlobePicture("SURFACE", "surface.bmp");
        LoadGlobePicture("DOMO_H", "domo_h.bmp");
        LoadGlobePicture("DOMO_M", "domo_m.bmp");
        Completed = true;
    } catch (const std::exception&) {
        // The load only reports that it stopped; start-up shows the message.
    }
    // Whatever happened above, the globe is turned for the zone and the tray refreshed.
    zt_ApplyGMT();
    zt_SetTaskIcon(this);
    return Completed;
}

void Twatch::LoadGlobePicture(const char* PictureName, const char* TemporaryFile)
{
    TPictureLibrary Pictures(*FServices.Libraries);
    Pictures.GetPicture(PictureName);
    const QImage& Bitmap = Pictures.PictureBitmap();
    const std::string Name = PictureName;
    Scene::TGLPictureImage* Texture = nullptr;
    if (Name == "SURFACE")
        Texture = &Globe->Earth->Material().Texture().Image();
    else if (Name == "DOMO_H")
        Texture = &Globe->Horas->Material().Texture().Image();
    else if (Name == "DOMO_M")
        Texture = &Globe->Minutos->Material().Texture().Image();

    // An empty bitmap (no library, or no such picture) leaves its target empty:
    // there is no picture file to write for it.
    if (Bitmap.isNull()) {
        if (Texture != nullptr)
            Texture->Picture().Clear();
        else
            Moon->SetPicture(QImage());
        return;
    }
    const QString FileName = QString::fromLatin1(TemporaryFile);
    if (!Bitmap.save(FileName, "BMP"))
        throw std::runtime_error("Cannot write " + FileName.toStdString());
    // The file goes whatever the load made of it.
    struct TRemoveAfterwards
    {
        Platform::TFileSystem& Files;
        const char* Name;
        ~TRemoveAfterwards() { Files.DeleteFile(Name); }
    } Cleanup{*FServices.Files, TemporaryFile};
    if (Texture != nullptr)
        Texture->LoadFromFile(TemporaryFile);
    else
        Moon->LoadPictureFromFile(FileName);
}

void Twatch::zt_SaveSettings()
{
    {
        TSettingsKey Key(FServices.Registry->CreateKey(SettingsKeyPath));
        Key.WriteInteger("Top", y());
        Key.WriteInteger("Left", x());
        Key.WriteInteger("Alpha", FAlpha);
        Key.WriteFloat("Pitch", Planetarium->PitchAngle());
        Key.WriteFloat("Roll", Planetarium->RollAngle());
        Key.WriteFloat("Turn", Planetarium->TurnAngle());
        Key.WriteFloat("FocalLength", Camera_1->FocalLength());
        Key.WriteFlag("SumLight", ScreenView->Buffer().Lighting());
        const TGMT_System& System = *GMTSystem;
        Key.WriteInteger("GMT", System.GMT);
        Key.WriteText("Location", System.Location);
        Key.WriteInteger("Task", System.Task);
        Key.WriteFlag("Waiting", System.Waiting);
        Key.WriteFloat("DateTime", System.DateTime);
        Key.WriteInteger("Playtime", System.Playtime);
        Key.WriteText("Sound", System.Sound);
        Key.WriteText("AppChild", System.AppChild);
        Key.WriteFlag("RunOnce", System.RunOnce);
        Key.WriteFlag("SunTime", System.SunTime);
        Key.WriteText("TimeServer", System.TimeServer);
        Key.WriteText("User", System.Connection.ProxyServer());
        Key.WriteText("Pass", System.Connection.ProxyPass());
        Key.WriteText("Port", System.Connection.ProxyPort());
        Key.WriteText("UF", System.UF);
    }
    {
        TSettingsKey Run(FServices.Registry->CreateKey(RunKeyPath));
        const QString Executable = QCoreApplication::applicationFilePath();
        if (GMTSystem->RunOnce) {
            Run.WriteText(RunValueName, Executable.toStdString());
            FServices.Autostart->Enable(Executable.toStdString(), QDir::currentPath().toStdString());
        } else {
            Run.DeleteValue(RunValueName);
            FServices.Autostart->Disable();
        }
    }
    Platform::TTimeZoneInformation Zone = FServices.TimeZone->GetTimeZoneInformation();
    Zone.DaylightBias = GMTSystem->SunTime ? DaylightSavingBias : 0;
    FServices.TimeZone->SetTimeZoneInformation(Zone);
    zt_SetTaskIcon(nullptr);
}

void Twatch::SetAlpha(int Value)
{
    FAlpha = Value;
    FServices.Shape->SetOpacity(*this, Value);
}

unsigned Twatch::zt_SetTimer(unsigned Id, unsigned Interval, const std::string& Name)
{
    QMetaMethod Handler;
    const QString Wanted = QString::fromStdString(Name);
    const QMetaObject* Meta = metaObject();
    for (int Index = 0; Index < Meta->methodCount(); ++Index) {
        const QMetaMethod Method = Meta->method(Index);
        if (Method.parameterCount() == 0 && Method.methodType() != QMetaMethod::Signal &&
            QString::fromLatin1(Method.name()).compare(Wanted, Qt::CaseInsensitive) == 0) {
            Handler = Method;
            break;
        }
    }
    QTimer*& Timer = FTimers[Id];
    delete Timer; // re-arming replaces interval and handler and restarts the count
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer%1").arg(Id));
    Timer->setInterval(static_cast<int>(Interval));
    if (Handler.isValid())
        connect(Timer, &QTimer::timeout, this,
                [this, Handler] { RunGuarded([&] { Handler.invoke(this, Qt::DirectConnection); }); });
    Timer->start();
    return Id == 0 ? 1 : Id;
}

bool Twatch::IsTimerArmed(unsigned Id) const
{
    const auto Found = FTimers.find(Id);
    return Found != FTimers.end() && Found->second->isActive();
}

int Twatch::TimerInterval(unsigned Id) const
{
    const auto Found = FTimers.find(Id);
    return Found == FTimers.end() ? -1 : Found->second->interval();
}

void Twatch::zt_SetTaskIcon(QObject* Sender)
{
    TPictureLibrary Pictures(*FServices.Libraries);
    // The icon belongs to the application's own hidden window, which here is the window itself.
    const auto ApplicationWindow = static_cast<std::uintptr_t>(winId());
    if (Sender == nullptr)
        Pictures.SetTaskBarIcon(ApplicationWindow, TPictureLibrary::TaskIconIdentifier,
                                TPictureLibrary::RemoveIcon, nullptr, "CLOCK", "");
    if (GMTSystem->Waiting) {
        const QString Tip = QStringLiteral("Zentavo agendou um evento para") + QChar(13) +
                            EventDateTimeText(GMTSystem->DateTime);
        Pictures.SetTaskBarIcon(ApplicationWindow, TPictureLibrary::TaskIconIdentifier,
                                TPictureLibrary::ShowIcon, FTrayMenu.get(), "CLOCK", Tip.toStdString());
    } else {
        Pictures.SetTaskBarIcon(ApplicationWindow, TPictureLibrary::TaskIconIdentifier,
                                TPictureLibrary::RemoveIcon, nullptr, "CLOCK", "");
    }
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
    if (!FClosed) {
        FClosed = true;
        FormClose();
    }
    Event->accept();
    QCoreApplication::quit();
}

void Twatch::FormClose()
{
    // The worker reads the window and its record: it stops before anything is freed.
    StopClockWorker();
    for (auto& [Id, Timer] : FTimers)
        Timer->stop();
    RunGuarded([this] { zt_SaveSettings(); });
    ConfigDocument.reset();
    WeatherDoc.reset();
    Weather.reset();
}

void Twatch::Menu_CloseClick()
{
    close();
}

bool Twatch::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress && Watched != Moon)
        RunGuarded([&] { FormKeyPress(*static_cast<QKeyEvent*>(Event)); });
    return QWidget::eventFilter(Watched, Event);
}

bool Twatch::event(QEvent* Event)
{
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
    QImage Shown(size(), QImage::Format_RGB32);
    Shown.fill(QColor::fromRgb(KeyColor));
    QPainter Painter(&Shown);
    if (!FLastFrame.isNull())
        Painter.drawImage(ScreenView->geometry().topLeft(), FLastFrame);
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
    // The shortest general form with up to 15 significant digits, in the locale's notation.
    QLocale Locale;
    Locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto Number = [&](double Value) { return Locale.toString(Value, 'g', 15); };
    const QString Break = QStringLiteral("\r\n");
    return QStringLiteral("X:") + Number(Planetarium->TurnAngle()) + Break + QStringLiteral("Y:") +
           Number(Planetarium->RollAngle()) + Break + QStringLiteral("Z:") +
           Number(Planetarium->PitchAngle()) + Break + QStringLiteral("Foco:") +
           Number(Camera_1->FocalLength());
}

void Twatch::ScreenViewMouseDown()
{
    FHint = HUDText->Text();
    HUDText->SetText(AngleReadOut().toLatin1().toStdString());
}

void Twatch::CeneViewerMouseMove(Scene::TShiftState Shift)
{
    // Only the sign of the movement counts: one step of 5 per event.
    constexpr float Step = 5;
    ScreenView->setCursor(Qt::ArrowCursor);
    if (Shift.Contains(Scene::ssMiddle)) {
        ScreenView->setCursor(Qt::SizeAllCursor);
        if (QCursor::pos().x() < LastMouseX)
            Planetarium->SetTurnAngle(Planetarium->TurnAngle() - Step);
        if (QCursor::pos().x() > LastMouseX)
            Planetarium->SetTurnAngle(Planetarium->TurnAngle() + Step);
        if (QCursor::pos().y() < LastMouseY)
            Planetarium->SetRollAngle(Planetarium->RollAngle() - Step);
        if (QCursor::pos().y() > LastMouseY)
            Planetarium->SetRollAngle(Planetarium->RollAngle() + Step);
    }
    if (Shift.Contains(Scene::ssLeft)) {
        ScreenView->setCursor(Qt::SizeVerCursor);
        if (QCursor::pos().y() < LastMouseY)
            Planetarium->SetPitchAngle(Planetarium->PitchAngle() - Step);
        if (QCursor::pos().y() > LastMouseY)
            Planetarium->SetPitchAngle(Planetarium->PitchAngle() + Step);
    }
    if (Shift.Contains(Scene::ssRight)) {
        ScreenView->setCursor(Qt::SizeHorCursor);
        if (QCursor::pos().x() < LastMouseX)
            Camera_1->SetFocalLength(Camera_1->FocalLength() - Step);
        if (QCursor::pos().x() > LastMouseX)
            Camera_1->SetFocalLength(Camera_1->FocalLength() + Step);
    }
    if (!Shift.Empty())
        HUDText->SetText(AngleReadOut().toLatin1().toStdString());
    LastMouseX = QCursor::pos().x();
    LastMouseY = QCursor::pos().y();
}

void Twatch::ScreenViewMouseUp()
{
    HUDText->SetText(FHint);
}

void Twatch::ScreenViewMouseLeave()
{
    if (!FHint.empty())
        HUDText->SetText(FHint);
}

// Their behaviour arrives with the minute tick, the scheduled event, the
// setup dialog and the online services.
void Twatch::zt_SetSystemParams() {}
void Twatch::zt_TimerPopUp() {}
void Twatch::zt_ClockEnginer() {}
void Twatch::zt_ApplyGMT() {}
void Twatch::zt_SetUp() {}
void Twatch::zt_MenuServices() {}
void Twatch::zt_AboutUs() {}
void Twatch::FormKeyPress(QKeyEvent&) {}
void Twatch::StartClockWorker() {}
void Twatch::StopClockWorker() {}
