#include "Frm_SetUp.h"

#include "CompactTabStyle.h"
#include "platform/Platform.h"
#include "ReadingOrder.h"
#include "services/PictureLibrary.h"
#include "state/ZoneEntry.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTextCharFormat>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

const QColor Cream = QColor(255, 251, 240);
// The classic desktop's colours of an active window border and an inactive
// caption; this desktop has no such colours of its own.
const QColor ActiveBorder = QColor(212, 208, 200);
const QColor InactiveCaption = QColor(128, 128, 128);
const QColor Silver = QColor(192, 192, 192);

// A one-line edit or drop-down designed by its width alone takes the height
// the designed toolkit gives it for the designed font.
constexpr int EditHeight = 21;

void SetBackground(QWidget& Control, const QColor& Colour)
{
    QPalette Palette = Control.palette();
    Palette.setColor(Control.backgroundRole(), Colour);
    Control.setPalette(Palette);
    Control.setAutoFillBackground(true);
}

QColor BackgroundOf(const QWidget& Control)
{
    return Control.palette().color(Control.backgroundRole());
}

QLabel* NewLabel(const QString& Name, const QString& Caption, int Left, int Top, QWidget* Parent)
{
    auto* Label = new QLabel(Caption, Parent);
    Label->setObjectName(Name);
    Label->move(Left, Top);
    Label->adjustSize();
    return Label;
}

template <typename TControl> TControl* Named(TControl* Control, const QString& Name, const QRect& Geometry)
{
    Control->setObjectName(Name);
    Control->setGeometry(Geometry);
    return Control;
}

TSpinEdit* NewSpinEdit(const QString& Name, const QRect& Geometry, int Maximum, QWidget* Parent)
{
    auto* Edit = Named(new TSpinEdit(Parent), Name, Geometry);
    Edit->setRange(0, Maximum);
    Edit->setValue(0);
    return Edit;
}

QComboBox* NewComboBox(const QString& Name, int Left, int Top, int Width, bool Sorted, QWidget* Parent)
{
    auto* Box = Named(new QComboBox(Parent), Name, QRect(Left, Top, Width, EditHeight));
    Box->setEditable(true);
    // Typed text is only text: it never becomes an entry.
    Box->setInsertPolicy(QComboBox::NoInsert);
    if (Sorted)
        TFrm_SetUp::KeepSorted(*Box);
    return Box;
}

QLineEdit* NewEdit(const QString& Name, int Left, int Top, int Width, QWidget* Parent)
{
    return Named(new QLineEdit(Parent), Name, QRect(Left, Top, Width, EditHeight));
}

QCheckBox* NewCheckBox(const QString& Name, const QString& Caption, const QRect& Geometry, QWidget* Parent)
{
    return Named(new QCheckBox(Caption, Parent), Name, Geometry);
}

TSpeedButton* NewSpeedButton(const QString& Name, const QRect& Geometry, int Tag, QWidget* Parent)
{
    auto* Button = Named(new TSpeedButton(Parent), Name, Geometry);
    Button->SetTag(Tag);
    return Button;
}

// The play button's symbol: a loudspeaker with two sound waves.
QIcon SpeakerIcon(const QColor& Colour)
{
    QPixmap Picture(14, 14);
    Picture.fill(Qt::transparent);
    QPainter Painter(&Picture);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(Colour);
    const QPointF Speaker[] = {{1, 5}, {4, 5}, {8, 1.5}, {8, 12.5}, {4, 9}, {1, 9}};
    Painter.drawPolygon(Speaker, 6);
    Painter.setPen(QPen(Colour, 1.2));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawArc(QRectF(7, 4.5, 3.5, 5), -60 * 16, 120 * 16);
    Painter.drawArc(QRectF(7, 2, 6, 10), -60 * 16, 120 * 16);
    return QIcon(Picture);
}

} // namespace

TFrm_SetUp::TFrm_SetUp(Platform::TServices& Services, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::FramelessWindowHint), FServices(Services)
{
    ChooseFile = [this] { return QFileDialog::getOpenFileName(this); };
    CreateComponents();
    ConnectHandlers();
}

// Tab moves through the controls in the order they are made here, which is
// the designed tab order of each page.
void TFrm_SetUp::CreateComponents()
{
    setObjectName(QStringLiteral("Frm_SetUp"));
    setWindowTitle(QStringLiteral("Zentavo 3D Setup"));
    setFixedSize(ClientWidth, ClientHeight);
    move(234, 146);
    QPalette Background = palette();
    Background.setColor(QPalette::Window, QColor::fromRgb(KeyColor));
    setPalette(Background);
    QFont Font(QStringLiteral("MS Sans Serif"));
    Font.setPixelSize(11);
    setFont(Font);

    Btn_Ok = Named(new QPushButton(tr("&Ok"), this), QStringLiteral("Btn_Ok"), {197, 379, 65, 25});
    Btn_Cancel =
        Named(new QPushButton(tr("&Cancelar"), this), QStringLiteral("Btn_Cancel"), {277, 379, 65, 25});
    for (QPushButton* Button : {Btn_Ok, Btn_Cancel}) {
        // Neither is the default button: Enter closes nothing.
        Button->setAutoDefault(false);
        Button->setDefault(false);
        QPalette Face = Button->palette();
        Face.setColor(QPalette::Button, Cream);
        Button->setPalette(Face);
    }

    PageControl = Named(new QTabWidget(this), QStringLiteral("PageControl"), {11, 15, 333, 354});
    PageControl->setTabPosition(QTabWidget::West);
    PageControl->setUsesScrollButtons(false);
    auto* TabStyle = new TCompactTabStyle;
    TabStyle->setParent(PageControl->tabBar());
    PageControl->tabBar()->setStyle(TabStyle);
    const auto NewPage = [this](const QString& Name, const QString& Caption) {
        auto* Page = new QWidget;
        Page->setObjectName(Name);
        Page->setAutoFillBackground(true);
        PageControl->addTab(Page, Caption);
        return Page;
    };
    TS_Calendar = NewPage(QStringLiteral("TS_Calendar"), tr("Calendário / Alarme"));
    TS_Fuse = NewPage(QStringLiteral("TS_Fuse"), tr("Fuso Horário"));
    TS_SetUp = NewPage(QStringLiteral("TS_SetUp"), tr("Configurações"));
    TS_Status = NewPage(QStringLiteral("TS_Status"), tr("Status"));

    CreateCalendarPage();
    CreateZonePage();
    CreateSettingsPage();
    CreateStatusPage();

    // Labels lie beneath the controls beside them, as the designed toolkit draws them.
    for (QLabel* Label : {LB_Hora, LB_ApplicaionExec, LB_Fuso, LB_PlaySound, LB_Transparency, LB_AlarmFile,
                          LB_WeatherForecast, LB_NTP, LB_User, LB_Pass, LB_Server, LB_Port})
        Label->lower();
}

void TFrm_SetUp::CreateCalendarPage()
{
    QWidget* Page = TS_Calendar;
    LB_Hora = Named(new QLabel(tr("&Hora         :"), Page), QStringLiteral("LB_Hora"), {4, 4, 90, 20});
    QFont Bold = LB_Hora->font();
    Bold.setBold(true);
    Bold.setPixelSize(16);
    LB_Hora->setFont(Bold);
    SetBackground(*LB_Hora, QColor::fromRgb(KeyColor));
    HourEdit = NewSpinEdit(QStringLiteral("HourEdit"), {54, 4, 41, 22}, 23, Page);
    MinEdit = NewSpinEdit(QStringLiteral("MinEdit"), {104, 4, 41, 22}, 59, Page);
    LB_Hora->setBuddy(HourEdit);

    Calendar = Named(new QCalendarWidget(Page), QStringLiteral("Calendar"), {5, 34, 162, 153});
    Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    for (const Qt::DayOfWeek Day : {Qt::Saturday, Qt::Sunday})
        Calendar->setWeekdayTextFormat(Day, QTextCharFormat());
    // Its day columns would not go below the header's least width, wider
    // than a seventh of the designed calendar; let them share it.
    for (QTableView* Days : Calendar->findChildren<QTableView*>())
        for (QHeaderView* Header : {Days->horizontalHeader(), Days->verticalHeader()})
            Header->setMinimumSectionSize(1);
    QPalette Month = Calendar->palette();
    Month.setColor(QPalette::Base, Silver);
    // The days of the neighbouring months are drawn in the disabled text colour.
    Month.setColor(QPalette::Disabled, QPalette::Text, InactiveCaption);
    Calendar->setPalette(Month);

    Task = Named(new TRadioGroup(tr("&Ação"), {tr("Alarme"), tr("Desligar"), tr("Tarefa")}, Page),
                 QStringLiteral("Task"), {171, 28, 120, 157});
    SetBackground(*Task, QColor::fromRgb(KeyColor));
    CB_Waiting =
        NewCheckBox(QStringLiteral("CB_Waiting"), tr("&Monitorar evento"), {172, 200, 122, 17}, Page);
    LB_ApplicaionExec =
        NewLabel(QStringLiteral("LB_ApplicaionExec"), tr("&Executar aplicativo"), 6, 224, Page);
    AppChild = NewEdit(QStringLiteral("AppChild"), 6, 241, 254, Page);
    LB_ApplicaionExec->setBuddy(AppChild);
    Btn_AppChild = NewSpeedButton(QStringLiteral("Btn_AppChild"), {268, 240, 22, 22}, 1, Page);
}

void TFrm_SetUp::CreateZonePage()
{
    QWidget* Page = TS_Fuse;
    LB_Fuso = NewLabel(QStringLiteral("LB_Fuso"), tr("&Fuso horário"), 12, 7, Page);
    GMTLocations = NewComboBox(QStringLiteral("GMTLocations"), 8, 22, 290, false, Page);
    LB_Fuso->setBuddy(GMTLocations);
    IMGPanel = Named(new QFrame(Page), QStringLiteral("IMGPanel"), {8, 61, 289, 235});
    IMGPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    IMGPanel->setLineWidth(1);
    IMGPanel->setFocusPolicy(Qt::NoFocus);
    MapaMundi = Named(new QLabel(IMGPanel), QStringLiteral("MapaMundi"), {0, 0, 512, 235});
    MapaMundi->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TFrm_SetUp::CreateSettingsPage()
{
    QWidget* Page = TS_SetUp;
    CB_RunOnce =
        NewCheckBox(QStringLiteral("CB_RunOnce"), tr("&Iniciar com o Windows"), {10, 3, 137, 19}, Page);
    LB_PlaySound = NewLabel(QStringLiteral("LB_PlaySound"), tr("E&xecutar som                       vezes"),
                            10, 28, Page);
    Play_Loop = NewSpinEdit(QStringLiteral("Play_Loop"), {87, 24, 41, 22}, 59, Page);
    LB_PlaySound->setBuddy(Play_Loop);

    LB_Transparency = NewLabel(QStringLiteral("LB_Transparency"), tr("&Transparência"), 10, 51, Page);
    AlphaBarr = Named(new QScrollBar(Qt::Horizontal, Page), QStringLiteral("AlphaBarr"), {10, 68, 287, 15});
    AlphaBarr->setRange(50, 255);
    AlphaBarr->setValue(50);
    // The thumb takes its smallest size; a click beside it moves one step,
    // as the designed bar's page size 0 and large change 1 do.
    AlphaBarr->setSingleStep(1);
    AlphaBarr->setPageStep(1);
    AlphaBarr->setFocusPolicy(Qt::StrongFocus);
    LB_Transparency->setBuddy(AlphaBarr);
    CB_SumLight =
        NewCheckBox(QStringLiteral("CB_SumLight"), tr("&Usar efeito de luz solar"), {10, 93, 129, 17}, Page);

    LB_AlarmFile = NewLabel(QStringLiteral("LB_AlarmFile"), tr("&Som de alarme"), 10, 115, Page);
    WaveFile = NewEdit(QStringLiteral("WaveFile"), 10, 132, 237, Page);
    LB_AlarmFile->setBuddy(WaveFile);
    Btn_Wave = NewSpeedButton(QStringLiteral("Btn_Wave"), {256, 132, 21, 22}, 0, Page);
    SB_Playtest = NewSpeedButton(QStringLiteral("SB_Playtest"), {280, 132, 19, 22}, 0, Page);
    SB_Playtest->setIcon(SpeakerIcon(SB_Playtest->palette().color(QPalette::ButtonText)));
    SB_Playtest->setIconSize(QSize(14, 14));
    const QIcon Folder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (TSpeedButton* Button : {Btn_AppChild, Btn_Wave}) {
        Button->setIcon(Folder);
        Button->setIconSize(QSize(16, 16));
        QPalette Face = Button->palette();
        Face.setColor(QPalette::Button, ActiveBorder);
        Button->setPalette(Face);
    }

    LB_WeatherForecast =
        NewLabel(QStringLiteral("LB_WeatherForecast"), tr("Te&mpo agora em..."), 10, 158, Page);
    CB_Weather = NewComboBox(QStringLiteral("CB_Weather"), 10, 174, 287, true, Page);
    LB_WeatherForecast->setBuddy(CB_Weather);
    LB_NTP = NewLabel(QStringLiteral("LB_NTP"), tr("Se&rvidor de horário na Internet"), 10, 198, Page);
    CB_NTP = NewComboBox(QStringLiteral("CB_NTP"), 10, 214, 287, true, Page);
    LB_NTP->setBuddy(CB_NTP);

    GB_Proxy = Named(new QGroupBox(tr("&Proxy"), Page), QStringLiteral("GB_Proxy"), {8, 239, 287, 99});
    LB_User = NewLabel(QStringLiteral("LB_User"), tr("Usuário"), 14, 14, GB_Proxy);
    Proxy_User = NewEdit(QStringLiteral("Proxy_User"), 14, 31, 139, GB_Proxy);
    LB_Pass = NewLabel(QStringLiteral("LB_Pass"), tr("Senha"), 157, 15, GB_Proxy);
    Proxy_Pass = NewEdit(QStringLiteral("Proxy_Pass"), 157, 32, 121, GB_Proxy);
    Proxy_Pass->setEchoMode(QLineEdit::Password);
    // The toolkit's own mask is a bullet; the designed one is "*".
    Proxy_Pass->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    LB_Server = NewLabel(QStringLiteral("LB_Server"), tr("Servidor"), 14, 55, GB_Proxy);
    Proxy_Server = NewEdit(QStringLiteral("Proxy_Server"), 14, 72, 179, GB_Proxy);
    LB_Port = NewLabel(QStringLiteral("LB_Port"), tr("Porta"), 213, 58, GB_Proxy);
    Proxy_Port = NewEdit(QStringLiteral("Proxy_Port"), 213, 72, 65, GB_Proxy);
    // Last in the tab order of its page, behind the proxy fields.
    CB_SunTime = NewCheckBox(QStringLiteral("CB_SunTime"), tr("&Horário de verão"), {154, 3, 137, 19}, Page);
}

QStringList TFrm_SetUp::StatusRows()
{
    return {QStringLiteral(QT_TR_NOOP("Conexão")),
            QStringLiteral(QT_TR_NOOP("Aquivo de configuração")),
            QStringLiteral(QT_TR_NOOP("Sincronização de horário")),
            QStringLiteral(QT_TR_NOOP("Meteorologia")),
            QStringLiteral(QT_TR_NOOP("Atualização de sistema")),
            QStringLiteral(QT_TR_NOOP("Ação esperada"))};
}

void TFrm_SetUp::CreateStatusPage()
{
    VLEditor = Named(new TValueListEditor(tr("Item"), tr("Status"), StatusRows(), TS_Status),
                     QStringLiteral("VLEditor"), {5, 8, 298, 201});
    // The rows keep their Portuguese keys, whatever language they are shown in.
    for (const QString& Key : StatusRows())
        VLEditor->SetKeyCaption(Key, tr(Key.toUtf8().constData()));
    VLEditor->setColumnWidth(0, 122);
    VLEditor->setColumnWidth(1, 170);
    // A value too long for its column goes on to a second line rather than being cut.
    VLEditor->setWordWrap(true);
    VLEditor->verticalHeader()->setMinimumSectionSize(18);
    VLEditor->verticalHeader()->setDefaultSectionSize(18);
}

void TFrm_SetUp::ConnectHandlers()
{
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { FormClose(this); });
    connect(GMTLocations, &QComboBox::activated, this,
            [this] { RunGuarded([this] { GMTLocationsSelect(GMTLocations); }); });
    for (TSpeedButton* Button : {Btn_Wave, Btn_AppChild})
        connect(Button, &QToolButton::clicked, this,
                [this, Button] { RunGuarded([&] { Btn_WaveClick(Button); }); });
    connect(SB_Playtest, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { SB_PlaytestClick(SB_Playtest); }); });
    connect(AlphaBarr, &QScrollBar::valueChanged, this, [this] {
        if (OnAlphaBarrChange)
            RunGuarded([this] { OnAlphaBarrChange(AlphaBarr); });
    });
    connect(CB_SumLight, &QCheckBox::toggled, this, [this] {
        if (OnSumLightClick)
            RunGuarded([this] { OnSumLightClick(CB_SumLight); });
    });
}

void TFrm_SetUp::RunGuarded(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const std::exception& Error) {
        if (OnError)
            OnError(Error);
        else
            qWarning("%s", Error.what());
    } catch (...) {
        const std::runtime_error Unknown("Unknown failure in the setup dialog");
        if (OnError)
            OnError(Unknown);
        else
            qWarning("%s", Unknown.what());
    }
}

void TFrm_SetUp::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous()) {
        FitCaptions();
        RunGuarded([this] { FormShow(this); });
    }
}

void TFrm_SetUp::FitCaptions()
{
    // The designed widths were made for a smaller font than the desktop's: where it was
    // placed, a caption takes the width it needs, as far as its page and (but for a
    // label, which lies beneath the controls beside it) the next control to its right
    // allow. The pages have their sizes once shown.
    constexpr int Gap = 2;
    for (QLabel* Label : findChildren<QLabel*>()) {
        if (Label->text().isEmpty() || Label->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QRect Place = Label->geometry();
        const int Width = std::min(Label->sizeHint().width(),
                                   Label->parentWidget()->contentsRect().right() - Place.left() + 1);
        if (Width > Place.width())
            Label->resize(Width, Place.height());
    }
    for (QCheckBox* Box : findChildren<QCheckBox*>()) {
        QWidget* Parent = Box->parentWidget();
        const QRect Place = Box->geometry();
        int Right = Parent->contentsRect().right();
        for (QWidget* Other : Parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect Beside = Other->geometry();
            if (Other == Box || qobject_cast<QLabel*>(Other) != nullptr || Other->isHidden() ||
                Beside.left() <= Place.left() || Beside.bottom() < Place.top() ||
                Beside.top() > Place.bottom())
                continue;
            Right = std::min(Right, Beside.left() - Gap - 1);
        }
        const int Width = std::min(Box->sizeHint().width(), Right - Place.left() + 1);
        if (Width > Place.width())
            Box->resize(Width, Place.height());
    }
    // The status names take the width they need, the values the rest of the grid.
    const int NameWidth = std::max(VLEditor->columnWidth(0), VLEditor->KeyColumnWidthHint());
    VLEditor->setColumnWidth(0, NameWidth);
    // Its page may not have been laid out yet: the grid's own size minus its frame is the room.
    VLEditor->setColumnWidth(1, VLEditor->contentsRect().width() - NameWidth);
    VLEditor->resizeRowsToContents();
}

void TFrm_SetUp::keyPressEvent(QKeyEvent* Event)
{
    // A toolkit dialog closes on Escape and presses its default button on
    // Enter; this one does neither.
    switch (Event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Event->accept();
        return;
    default:
        QDialog::keyPressEvent(Event);
    }
}

// A picture the library cannot give, for whatever reason, is an empty one:
// the dialog opens without it.
QImage TFrm_SetUp::LoadPicture(const char* Name)
{
    QImage Picture;
    RunGuarded([&] {
        TPictureLibrary Pictures(*FServices.Libraries);
        Pictures.GetPicture(Name);
        if (!Pictures.PictureBitmap().isNull())
            Picture = Pictures.PictureBitmap().convertToFormat(QImage::Format_RGB32);
    });
    return Picture;
}

void TFrm_SetUp::FormShow(QObject*)
{
    // Every page has the page area's size, as designed; the toolkit would size only the page shown.
    for (QWidget* Page : {TS_Calendar, TS_Fuse, TS_SetUp, TS_Status})
        Page->resize(PageControl->currentWidget()->size());
    SetMapPicture(LoadPicture("SURFACE"));
    MapaMundi->move(TS_Fuse->width() / 2 - MapaMundi->width() / 2, MapaMundi->y());
    const QImage Skin = LoadPicture("SETUP");
    ApplySkin(Skin);
    PageControl->setCurrentWidget(TS_Calendar);
    FLastMarkerX.reset();
    ApplyColorKey(Skin);
    GMTLocationsSelect(this);
}

void TFrm_SetUp::SetMapPicture(const QImage& Picture)
{
    FMapPicture = Picture;
    MapaMundi->setPixmap(QPixmap::fromImage(FMapPicture));
    // An empty picture leaves the image its size.
    if (!FMapPicture.isNull())
        MapaMundi->resize(FMapPicture.size());
}

void TFrm_SetUp::ApplySkin(const QImage& Skin)
{
    if (Skin.isNull())
        return;
    QPalette Background = palette();
    Background.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(Skin)));
    setPalette(Background);

    // The skin's colour just inside the page control's corner, read with the
    // two coordinates exchanged as designed: (16, 12) for the designed layout.
    const QPoint Sample(PageControl->y() + 1, PageControl->x() + 1);
    if (!Skin.valid(Sample))
        return;
    QPalette Sampled = PageControl->palette();
    Sampled.setColor(PageControl->backgroundRole(), QColor::fromRgb(Skin.pixel(Sample)));
    PageControl->setPalette(Sampled);
    for (QWidget* Page : {TS_Calendar, TS_Fuse, TS_SetUp, TS_Status})
        SetBackground(*Page, BackgroundOf(*PageControl));
    const QColor Colour = BackgroundOf(*TS_SetUp);
    for (QWidget* Control : std::initializer_list<QWidget*>{
             LB_Hora, Task, CB_SumLight, CB_Waiting, CB_RunOnce, CB_SunTime, LB_PlaySound, LB_Transparency,
             LB_AlarmFile, LB_ApplicaionExec, LB_WeatherForecast, LB_NTP, GB_Proxy})
        SetBackground(*Control, Colour);
    SetBackground(*LB_Fuso, BackgroundOf(*TS_Fuse));
}

// The shape follows the skin: its key-coloured pixels, tiled as the
// background is, are see-through. Without a skin there is no outline to
// follow and the window stays whole.
void TFrm_SetUp::ApplyColorKey(const QImage& Skin)
{
    if (Skin.isNull() || FServices.Shape == nullptr)
        return;
    QImage Shown(size(), QImage::Format_RGB32);
    QPainter Painter(&Shown);
    Painter.fillRect(Shown.rect(), QBrush(Skin));
    Painter.end();
    FServices.Shape->ApplyColorKey(*this, Shown, KeyColor);
}

void TFrm_SetUp::InvertBand(int X, int Width)
{
    if (FMapPicture.isNull())
        return;
    // A pen of width 0 still draws one pixel.
    const int Band = std::max(Width, 1);
    const int Left = std::max(X - Band / 2, 0);
    const int Right = std::min(X - Band / 2 + Band, FMapPicture.width());
    for (int Row = 0; Row < FMapPicture.height(); ++Row) {
        auto* Line = reinterpret_cast<QRgb*>(FMapPicture.scanLine(Row));
        for (int Column = Left; Column < Right; ++Column)
            Line[Column] ^= 0x00FFFFFFu;
    }
}

void TFrm_SetUp::GMTLocationsSelect(QObject*)
{
    // No entry, or one without an offset: the marker and the clock's zone stay.
    const int Selected = GMTLocations->currentIndex();
    if (Selected < 0)
        return;
    const std::optional<int> Offset = ZoneEntryOffset(GMTLocations->itemText(Selected).toStdString());
    if (!Offset)
        return;

    if (FLastMarkerX)
        InvertBand(*FLastMarkerX, FMarkerWidth);
    const auto ZoneWidth = static_cast<std::int16_t>(FMapPicture.width() / 24);
    FMarkerWidth = ZoneWidth;
    auto X = static_cast<std::int16_t>((*Offset + 12) * ZoneWidth - ZoneWidth / 2);
    if (X < 0)
        X = 0;
    FLastMarkerX = X;

    const QRect Client = IMGPanel->contentsRect();
    if (MapaMundi->width() / 2 + ZoneWidth < X)
        MapaMundi->move(Client.right() + 1 - MapaMundi->width(), Client.top());
    else
        MapaMundi->move(Client.left(), Client.top());

    InvertBand(X, ZoneWidth);
    MapaMundi->setPixmap(QPixmap::fromImage(FMapPicture));
    if (OnGMTLocationsChange)
        OnGMTLocationsChange(GMTLocations);
}

void TFrm_SetUp::Btn_WaveClick(QObject* Sender)
{
    if (Sender == nullptr)
        return;
    bool IsNumber = false;
    const int Tag = Sender->property("Tag").toInt(&IsNumber);
    QLineEdit* Target = !IsNumber ? nullptr : Tag == 0 ? WaveFile : Tag == 1 ? AppChild : nullptr;
    if (Target == nullptr || !ChooseFile)
        return;
    const QString Chosen = ChooseFile();
    if (!Chosen.isEmpty())
        Target->setText(Chosen);
}

void TFrm_SetUp::SB_PlaytestClick(QObject*)
{
    if (FServices.Sound != nullptr)
        FServices.Sound->PlayInBackground(WaveFile->text().toStdString());
}

// Freed once the event loop runs again, so the opener still reads every
// control right after the modal loop has returned.
void TFrm_SetUp::FormClose(QObject*)
{
    deleteLater();
}

namespace {
constexpr int ReadingRankRole = TReadingOrder::RankRole;

void RankInReadingOrder(QStandardItemModel& Model)
{
    std::vector<QString> Texts;
    Texts.reserve(static_cast<std::size_t>(Model.rowCount()));
    for (int Row = 0; Row < Model.rowCount(); ++Row)
        Texts.push_back(Model.index(Row, 0).data(Qt::DisplayRole).toString());
    const std::vector<std::size_t> Order = TReadingOrder().Order(Texts);
    for (std::size_t Rank = 0; Rank < Order.size(); ++Rank)
        Model.setData(Model.index(static_cast<int>(Order[Rank]), 0), static_cast<int>(Rank), ReadingRankRole);
}
} // namespace

void TFrm_SetUp::KeepSorted(QComboBox& Box)
{
    auto* Model = qobject_cast<QStandardItemModel*>(Box.model());
    if (Model == nullptr)
        return;
    Model->setSortRole(ReadingRankRole);
    // What is there already keeps its place.
    for (int Row = 0; Row < Model->rowCount(); ++Row)
        if (!Model->index(Row, 0).data(ReadingRankRole).isValid())
            Model->setData(Model->index(Row, 0), Row, ReadingRankRole);
    QObject::connect(Model, &QAbstractItemModel::rowsInserted, &Box,
                     [Model](const QModelIndex& Parent, int, int) {
                         if (Parent.isValid())
                             return;
                         RankInReadingOrder(*Model);
                         Model->sort(0);
                     });
}
