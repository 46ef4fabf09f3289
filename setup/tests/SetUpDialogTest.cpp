#include "PictureServer.h"

#include "platform/testing/FakeServices.h"
#include "setup/Frm_SetUp.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QTimer>

#include <map>
#include <vector>

namespace {

constexpr QRgb Key = qRgb(166, 202, 240);
constexpr QRgb Sampled = qRgb(200, 120, 40);
constexpr int Free = -1; // a size the toolkit gives, or no tab order

// The designed layout, control by control; pages have no geometry of their own.
struct TDesignedControl
{
    const char* Name;
    const char* Class;
    const char* Parent;
    const char* Caption;
    QRect Geometry;
    int TabOrder = Free;
    const char* Buddy = nullptr;
    int Minimum = 0;
    int Maximum = 0;
};

// clang-format off
const TDesignedControl Design[] = {
    {"Btn_Ok", "QPushButton", "Frm_SetUp", "&Ok", {197, 379, 65, 25}, 0},
    {"Btn_Cancel", "QPushButton", "Frm_SetUp", "&Cancelar", {277, 379, 65, 25}, 1},
    {"PageControl", "QTabWidget", "Frm_SetUp", "", {11, 15, 333, 354}, 2},
    {"TS_Calendar", "QWidget", "PageControl", "Calendário / Alarme", QRect()},
    {"LB_Hora", "QLabel", "TS_Calendar", "&Hora         :", {4, 4, 90, 20}, Free, "HourEdit"},
    {"HourEdit", "TSpinEdit", "TS_Calendar", "", {54, 4, 41, 22}, 0, nullptr, 0, 23},
    {"MinEdit", "TSpinEdit", "TS_Calendar", "", {104, 4, 41, 22}, 1, nullptr, 0, 59},
    {"Calendar", "QCalendarWidget", "TS_Calendar", "", {5, 34, 162, 153}, 2},
    {"Task", "TRadioGroup", "TS_Calendar", "&Ação", {171, 28, 120, 157}, 3},
    {"CB_Waiting", "QCheckBox", "TS_Calendar", "&Monitorar evento", {172, 200, 122, 17}, 4},
    {"LB_ApplicaionExec", "QLabel", "TS_Calendar", "&Executar aplicativo", {6, 224, Free, Free}, Free, "AppChild"},
    {"AppChild", "QLineEdit", "TS_Calendar", "", {6, 241, 254, 21}, 5},
    {"Btn_AppChild", "TSpeedButton", "TS_Calendar", "", {268, 240, 22, 22}},
    {"TS_Fuse", "QWidget", "PageControl", "Fuso Horário", QRect()},
    {"LB_Fuso", "QLabel", "TS_Fuse", "&Fuso horário", {12, 7, Free, Free}, Free, "GMTLocations"},
    {"GMTLocations", "QComboBox", "TS_Fuse", "", {8, 22, 290, Free}, 0},
    {"IMGPanel", "QFrame", "TS_Fuse", "", {8, 61, 289, 235}, 1},
    {"MapaMundi", "QLabel", "IMGPanel", "", {0, 0, 512, 235}},
    {"TS_SetUp", "QWidget", "PageControl", "Configurações", QRect()},
    {"CB_RunOnce", "QCheckBox", "TS_SetUp", "&Iniciar com o Windows", {10, 3, 137, 19}, 0},
    {"CB_SunTime", "QCheckBox", "TS_SetUp", "&Horário de verão", {154, 3, 137, 19}, 8},
    {"LB_PlaySound", "QLabel", "TS_SetUp", "E&xecutar som                       vezes", {10, 28, Free, Free},
     Free, "Play_Loop"},
    {"Play_Loop", "TSpinEdit", "TS_SetUp", "", {87, 24, 41, 22}, 1, nullptr, 0, 59},
    {"LB_Transparency", "QLabel", "TS_SetUp", "&Transparência", {10, 51, Free, Free}, Free, "AlphaBarr"},
    {"AlphaBarr", "QScrollBar", "TS_SetUp", "", {10, 68, 287, 15}, 2, nullptr, 50, 255},
    {"CB_SumLight", "QCheckBox", "TS_SetUp", "&Usar efeito de luz solar", {10, 93, 129, 17}, 3},
    {"LB_AlarmFile", "QLabel", "TS_SetUp", "&Som de alarme", {10, 115, Free, Free}, Free, "WaveFile"},
    {"WaveFile", "QLineEdit", "TS_SetUp", "", {10, 132, 237, 21}, 4},
    {"Btn_Wave", "TSpeedButton", "TS_SetUp", "", {256, 132, 21, 22}},
    {"SB_Playtest", "TSpeedButton", "TS_SetUp", "", {280, 132, 19, 22}},
    {"LB_WeatherForecast", "QLabel", "TS_SetUp", "Te&mpo agora em...", {10, 158, Free, Free}, Free, "CB_Weather"},
    {"CB_Weather", "QComboBox", "TS_SetUp", "", {10, 174, 287, Free}, 5},
    {"LB_NTP", "QLabel", "TS_SetUp", "Se&rvidor de horário na Internet", {10, 198, Free, Free}, Free, "CB_NTP"},
    {"CB_NTP", "QComboBox", "TS_SetUp", "", {10, 214, 287, Free}, 6},
    {"GB_Proxy", "QGroupBox", "TS_SetUp", "&Proxy", {8, 239, 287, 99}, 7},
    {"LB_User", "QLabel", "GB_Proxy", "Usuário", {14, 14, Free, Free}},
    {"Proxy_User", "QLineEdit", "GB_Proxy", "", {14, 31, 139, Free}, 0},
    {"LB_Pass", "QLabel", "GB_Proxy", "Senha", {157, 15, Free, Free}},
    {"Proxy_Pass", "QLineEdit", "GB_Proxy", "", {157, 32, 121, Free}, 1},
    {"LB_Server", "QLabel", "GB_Proxy", "Servidor", {14, 55, Free, Free}},
    {"Proxy_Server", "QLineEdit", "GB_Proxy", "", {14, 72, 179, Free}, 2},
    {"LB_Port", "QLabel", "GB_Proxy", "Porta", {213, 58, Free, Free}},
    {"Proxy_Port", "QLineEdit", "GB_Proxy", "", {213, 72, 65, Free}, 3},
    {"TS_Status", "QWidget", "PageControl", "Status", QRect()},
    {"VLEditor", "TValueListEditor", "TS_Status", "", {5, 8, 298, 201}, 0},
};
// clang-format on

const QStringList Zones = {"(GMT -03:00) Brasília", "(GMT +00:00) London", "(GMT +01:00) Paris",
                           "(GMT +02:00) Cairo",    "(GMT -12:00) Baker",  "Hora local sem fuso"};

QString CaptionOf(const TFrm_SetUp& Dialog, QWidget& Control)
{
    if (auto* Button = qobject_cast<QAbstractButton*>(&Control))
        return Button->text();
    if (auto* Label = qobject_cast<QLabel*>(&Control))
        return Label->text();
    if (auto* Group = qobject_cast<QGroupBox*>(&Control))
        return Group->title();
    const int Page = Dialog.PageControl->indexOf(&Control);
    return Page >= 0 ? Dialog.PageControl->tabText(Page) : QString();
}

QColor BackgroundOf(const QWidget& Control)
{
    return Control.palette().color(Control.backgroundRole());
}

// The columns of Picture that are Original's inverted; fails on a column only partly inverted.
std::vector<int> InvertedColumns(const QImage& Picture, const QImage& Original)
{
    std::vector<int> Columns;
    for (int X = 0; X < Original.width(); ++X) {
        int Inverted = 0;
        for (int Y = 0; Y < Original.height(); ++Y)
            Inverted += (Picture.pixel(X, Y) ^ 0xFFFFFFu) == Original.pixel(X, Y);
        EXPECT_TRUE(Inverted == 0 || Inverted == Original.height()) << "column " << X;
        if (Inverted != 0)
            Columns.push_back(X);
    }
    return Columns;
}

std::vector<int> Band(int First, int Last)
{
    std::vector<int> Columns;
    for (int X = First; X <= Last; ++X)
        Columns.push_back(X);
    return Columns;
}

class SetUpDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Server.Pictures = {{"SURFACE", Map}, {"SETUP", TPictureServer::Skin({179, 215}, Sampled)}};
    }
    void TearDown() override { delete Dialog; }

    // A new dialog holding the zone list, Selected chosen and the change event counted.
    TFrm_SetUp& Open(int Selected, bool Show = true)
    {
        delete Dialog;
        Dialog = new TFrm_SetUp(Fakes.Services());
        Dialog->GMTLocations->addItems(Zones);
        Dialog->GMTLocations->setCurrentIndex(Selected);
        Dialog->OnGMTLocationsChange = [this](QObject* Sender) {
            Changes.push_back(Sender);
            EXPECT_GE(Dialog->GMTLocations->currentIndex(), 0);
        };
        if (Show)
            Dialog->show();
        return *Dialog;
    }
    bool DockedLeft() const { return Dialog->MapaMundi->x() == Dialog->IMGPanel->contentsRect().left(); }
    bool DockedRight() const
    {
        return Dialog->MapaMundi->geometry().right() == Dialog->IMGPanel->contentsRect().right();
    }

    Platform::TFakeServices Fakes;
    TPictureServer Server{Fakes.Libraries};
    const QImage Map = TPictureServer::Map();
    QPointer<TFrm_SetUp> Dialog;
    std::vector<QObject*> Changes;
};

} // namespace

TEST_F(SetUpDialogTest, EveryControlStandsAsDesigned)
{
    TFrm_SetUp& Form = Open(-1, false);
    EXPECT_EQ(Form.windowTitle(), "Zentavo 3D Setup");
    EXPECT_TRUE(Form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Form.geometry(), QRect(234, 146, 358, 430));
    EXPECT_EQ(Form.font().family(), "MS Sans Serif");
    EXPECT_EQ(Form.font().pixelSize(), 11);
    EXPECT_EQ(Form.PageControl->tabPosition(), QTabWidget::West);

    int Page = 0;
    for (const TDesignedControl& Designed : Design) {
        SCOPED_TRACE(Designed.Name);
        const auto Found = Form.findChildren<QWidget*>(Designed.Name);
        ASSERT_EQ(Found.size(), 1);
        QWidget& Control = *Found.front();
        EXPECT_STREQ(Control.metaObject()->className(), Designed.Class);
        if (QString(Designed.Parent) == "PageControl") {
            EXPECT_EQ(Form.PageControl->indexOf(&Control), Page++);
        } else {
            EXPECT_EQ(Control.parentWidget()->objectName(), Designed.Parent);
        }
        EXPECT_EQ(CaptionOf(Form, Control), QString::fromUtf8(Designed.Caption));
        QRect Actual = Control.geometry();
        Actual.setWidth(Designed.Geometry.width() == Free ? Free : Actual.width());
        Actual.setHeight(Designed.Geometry.height() == Free ? Free : Actual.height());
        if (!Designed.Geometry.isNull()) {
            EXPECT_EQ(Actual, Designed.Geometry);
        }
        if (Designed.Maximum != 0) {
            EXPECT_EQ(Control.property("minimum"), Designed.Minimum);
            EXPECT_EQ(Control.property("maximum"), Designed.Maximum);
            EXPECT_EQ(Control.property("value"), Designed.Minimum);
        }
        if (Designed.Buddy) {
            EXPECT_EQ(qobject_cast<QLabel*>(&Control)->buddy(), Form.findChild<QWidget*>(Designed.Buddy));
        }
        if (auto* Button = qobject_cast<TSpeedButton*>(&Control)) {
            EXPECT_FALSE(Button->icon().isNull()) << "a glyph, not a letter";
            EXPECT_EQ(Button->focusPolicy(), Qt::NoFocus);
        }
    }
    EXPECT_EQ(Form.Task->Items(), QStringList({"Alarme", "Desligar", "Tarefa"}));
    EXPECT_EQ(Form.LB_Hora->font().pixelSize(), 16);
    EXPECT_TRUE(Form.LB_Hora->font().bold());
    EXPECT_EQ(Form.Btn_Ok->palette().color(QPalette::Button), QColor(255, 251, 240));
    EXPECT_EQ(Form.Calendar->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(BackgroundOf(*Form.LB_Hora), QColor(Key)) << "designed in the key colour until shown";
    EXPECT_EQ(BackgroundOf(*Form.Task), QColor(Key));

    Form.Proxy_Pass->setText("segredo");
    EXPECT_EQ(Form.Proxy_Pass->displayText(), "*******");
    EXPECT_EQ(Form.VLEditor->horizontalHeaderItem(0)->text(), "Item");
    EXPECT_EQ(Form.VLEditor->horizontalHeaderItem(1)->text(), "Status");
    EXPECT_EQ(Form.VLEditor->columnWidth(0), 122);
    EXPECT_EQ(Form.VLEditor->columnWidth(1), 170);
    EXPECT_EQ(Form.VLEditor->Keys(),
              QStringList({"Conexão", "Aquivo de configuração", "Sincronização de horário", "Meteorologia",
                           "Atualização de sistema", "Ação esperada"}));
    for (const QString& Row : Form.VLEditor->Keys())
        EXPECT_EQ(Form.VLEditor->Value(Row), "") << Row.toStdString();
}

// Within each parent the controls are reached by Tab in their designed order;
// a container counts where its first control is reached.
TEST_F(SetUpDialogTest, TabReachesTheControlsOfEachParentInTheDesignedOrder)
{
    TFrm_SetUp& Form = Open(-1, false);
    std::map<const QWidget*, int> Reached;
    int Step = 0;
    for (QWidget* Widget = Form.nextInFocusChain(); Widget != &Form; Widget = Widget->nextInFocusChain())
        if (Widget->focusPolicy() & Qt::TabFocus) {
            for (QWidget* Owner = Widget; Owner != nullptr; Owner = Owner->parentWidget())
                Reached.try_emplace(Owner, Step++);
        }
    std::map<QString, std::vector<std::pair<int, int>>> ByParent; // reached step and designed order
    for (const TDesignedControl& Designed : Design) {
        if (Designed.TabOrder == Free)
            continue;
        const QWidget* Control = Form.findChild<QWidget*>(Designed.Name);
        if (!Reached.contains(Control)) {
            EXPECT_STREQ(Designed.Name, "IMGPanel") << "only the map's panel holds nothing to reach";
            continue;
        }
        ByParent[Designed.Parent].emplace_back(Reached[Control], Designed.TabOrder);
    }
    EXPECT_EQ(ByParent.size(), 6u);
    for (auto& [Parent, Controls] : ByParent) {
        std::sort(Controls.begin(), Controls.end());
        for (std::size_t Index = 1; Index < Controls.size(); ++Index)
            EXPECT_LT(Controls[Index - 1].second, Controls[Index].second) << Parent.toStdString();
    }
}

TEST_F(SetUpDialogTest, TheMarkerFollowsTheWorkedExampleAndDocksTheMap)
{
    TFrm_SetUp& Form = Open(0);
    EXPECT_EQ(Form.MapaMundi->size(), QSize(512, 256)) << "the image takes its picture's size";
    struct TCase
    {
        int Entry;
        int X;
        bool Right;
    };
    // Offsets -3, 0, +1, +2, -12 with w = 512 div 24 = 21; +1 again leaves one band.
    const TCase Cases[] = {{0, 179, false}, {1, 242, false}, {2, 263, false},
                           {2, 263, false}, {3, 284, true},  {4, 0, false}};
    for (std::size_t Index = 0; Index < std::size(Cases); ++Index) {
        const TCase& Case = Cases[Index];
        SCOPED_TRACE(Case.X);
        if (Index > 0) {
            Form.GMTLocations->setCurrentIndex(Case.Entry);
            Form.GMTLocationsSelect(Form.GMTLocations);
        }
        EXPECT_EQ(Form.LastMarkerX(), std::optional<std::int16_t>(Case.X));
        EXPECT_EQ(InvertedColumns(Form.MapPicture(), Map), Band(std::max(Case.X - 10, 0), Case.X + 10));
        EXPECT_EQ(Form.MapaMundi->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                  Form.MapPicture());
        EXPECT_TRUE(Case.Right ? DockedRight() : DockedLeft());
        ASSERT_EQ(Changes.size(), Index + 1);
        EXPECT_EQ(Changes.back(), Form.GMTLocations);
    }

    // The user's choice from the keyboard runs the same selection.
    Form.GMTLocations->setCurrentIndex(1);
    QTest::keyClick(Form.GMTLocations, Qt::Key_Up);
    EXPECT_EQ(Form.LastMarkerX(), std::optional<std::int16_t>(179));
    EXPECT_EQ(Changes.size(), std::size(Cases) + 1);
}

TEST_F(SetUpDialogTest, EveryShowingStartsFromAFreshMapWithOneMarker)
{
    Open(3).PageControl->setCurrentWidget(Dialog->TS_Status);
    Dialog->hide();
    Dialog->GMTLocations->setCurrentIndex(2);
    Dialog->show();
    EXPECT_EQ(InvertedColumns(Dialog->MapPicture(), Map), Band(253, 273));
    EXPECT_EQ(Dialog->PageControl->currentWidget(), Dialog->TS_Calendar);
    Open(3);
    EXPECT_EQ(InvertedColumns(Dialog->MapPicture(), Map), Band(274, 294));
    EXPECT_EQ(Dialog->PageControl->currentWidget(), Dialog->TS_Calendar);
}

TEST_F(SetUpDialogTest, WithoutAnOffsetThereIsNoMarkerAndTheZoneStays)
{
    for (const int Selected : {5, -1}) {
        SCOPED_TRACE(Selected);
        TFrm_SetUp& Form = Open(Selected);
        EXPECT_EQ(Form.LastMarkerX(), std::nullopt);
        EXPECT_EQ(Form.MapPicture(), Map);
        EXPECT_EQ(Form.TS_Fuse->size(), Form.TS_Calendar->size()) << "pages share the page area";
        EXPECT_EQ(Form.MapaMundi->x(), Form.TS_Fuse->width() / 2 - 256) << "left centred on the page";
        EXPECT_TRUE(Changes.empty());
    }
    // After a marked zone, neither an entry without offset nor typed text moves it.
    Open(1);
    Dialog->GMTLocations->setCurrentIndex(5);
    Dialog->GMTLocationsSelect(Dialog->GMTLocations);
    QTest::keyClicks(Dialog->GMTLocations->lineEdit(), "(GMT +05:00) Karachi");
    EXPECT_EQ(Dialog->LastMarkerX(), std::optional<std::int16_t>(242));
    EXPECT_EQ(InvertedColumns(Dialog->MapPicture(), Map), Band(232, 252));
    EXPECT_EQ(Changes.size(), 1u);
}

TEST_F(SetUpDialogTest, TheSkinColourReachesThePagesAndTheListedControls)
{
    Open(0, false).PageControl->setCurrentWidget(Dialog->TS_SetUp);
    Dialog->show();
    const QImage Skin = Server.Pictures["SETUP"];
    const auto SkinAt = [&](QPoint Point) { return QColor(Skin.pixel(Point.x() % 179, Point.y() % 215)); };
    // clang-format off
    const char* const Listed[] = {"PageControl", "TS_Calendar", "TS_Fuse", "TS_SetUp", "TS_Status", "LB_Hora",
        "Task", "CB_SumLight", "CB_Waiting", "CB_RunOnce", "CB_SunTime", "LB_PlaySound", "LB_Transparency",
        "LB_AlarmFile", "LB_ApplicaionExec", "LB_WeatherForecast", "LB_NTP", "GB_Proxy", "LB_Fuso", "LB_User",
        "LB_Port"};
    // clang-format on
    for (const char* Name : Listed)
        EXPECT_EQ(BackgroundOf(*Dialog->findChild<QWidget*>(Name)), QColor(Sampled)) << Name;
    EXPECT_EQ(Dialog->Btn_Ok->palette().color(QPalette::Button), QColor(255, 251, 240)) << "keeps its own";

    // The skin tiled from the top left behind everything, and its key colour keyed out.
    const QImage Shown = Dialog->grab().toImage();
    for (const QPoint Point : {QPoint(5, 400), QPoint(350, 420), QPoint(190, 5)})
        EXPECT_EQ(QColor(Shown.pixel(Point)), SkinAt(Point));
    EXPECT_EQ(QColor(Dialog->TS_Calendar->grab().toImage().pixel(150, 300)), QColor(Sampled));
    ASSERT_EQ(Fakes.Shape.ColorKeys().size(), 1u);
    const auto& Keyed = Fakes.Shape.ColorKeys().front();
    EXPECT_EQ(std::tuple(Keyed.Window, Keyed.KeyRgb, Keyed.Frame.size()),
              std::tuple(static_cast<QWidget*>(Dialog.data()), 0xA6CAF0u, QSize(358, 430)));
    for (const QPoint Point : {QPoint(0, 0), QPoint(181, 218), QPoint(16, 12), QPoint(300, 400)})
        EXPECT_EQ(QColor(Keyed.Frame.pixel(Point)), SkinAt(Point));
}

TEST_F(SetUpDialogTest, WithoutPicturesTheDialogOpensPlain)
{
    for (const bool Failing : {false, true}) {
        SCOPED_TRACE(Failing);
        Server.Pictures.clear();
        if (Failing)
            Server.Pictures = {{"SURFACE", QImage()}, {"SETUP", QImage()}};
        std::vector<std::string> Errors;
        Open(2, false).OnError = [&](const std::exception& Error) { Errors.push_back(Error.what()); };
        Dialog->show();
        EXPECT_TRUE(Dialog->isVisible());
        EXPECT_EQ(Errors.size(), Failing ? 2u : 0u);
        EXPECT_TRUE(Dialog->MapPicture().isNull());
        EXPECT_EQ(Dialog->MapaMundi->size(), QSize(512, 235));
        EXPECT_EQ(Changes.size(), 1u) << "the zone is still chosen";
        EXPECT_TRUE(Fakes.Shape.ColorKeys().empty()) << "no outline to key";
        EXPECT_EQ(Dialog->palette().color(QPalette::Window), QColor(Key));
        EXPECT_EQ(Dialog->palette().brush(QPalette::Window).style(), Qt::SolidPattern);
        Changes.clear();
    }
}

TEST_F(SetUpDialogTest, OnlyOkAcceptsAndTheDialogIsFreedAfterItsResultIsRead)
{
    TFrm_SetUp& Form = Open(0);
    for (const auto Key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&Form, Key);
        QTest::keyClick(Form.HourEdit, Key);
        QTest::keyClick(Form.GMTLocations, Key);
    }
    EXPECT_TRUE(Form.isVisible());
    Form.close(); // the window's close command
    EXPECT_EQ(Form.result(), QDialog::Rejected);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Dialog.isNull(); }));

    Open(0, false);
    Dialog->Btn_Cancel->click();
    EXPECT_EQ(Dialog->result(), QDialog::Rejected);

    Open(0, false);
    QTimer::singleShot(0, Dialog, [this] {
        QTest::keyClick(Dialog, Qt::Key_Escape);
        Dialog->HourEdit->setValue(7);
        Dialog->Btn_Ok->click();
    });
    EXPECT_EQ(Dialog->exec(), QDialog::Accepted);
    ASSERT_FALSE(Dialog.isNull()) << "freed before the opener read it";
    EXPECT_EQ(Dialog->HourEdit->Value(), 7);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Dialog.isNull(); }));
}

TEST_F(SetUpDialogTest, BrowsingFillsTheEditTheTagNames)
{
    TFrm_SetUp& Form = Open(0, false);
    std::vector<QString> Answers = {"/sons/sino.wav", "/usr/bin/gedit", "", "/nunca"};
    int Asked = 0;
    Form.ChooseFile = [&] { return Answers[static_cast<std::size_t>(Asked++)]; };
    Form.WaveFile->setText("antes.wav");
    Form.AppChild->setText("antes");
    const auto Edits = [&] { return Form.WaveFile->text() + "|" + Form.AppChild->text(); };
    Form.Btn_Wave->click();
    EXPECT_EQ(Edits(), "/sons/sino.wav|antes");
    Form.Btn_AppChild->click();
    EXPECT_EQ(Edits(), "/sons/sino.wav|/usr/bin/gedit");
    Form.Btn_AppChild->click(); // cancelled
    EXPECT_EQ(Edits(), "/sons/sino.wav|/usr/bin/gedit");
    TSpeedButton Other;
    Other.SetTag(2);
    QObject Untagged;
    Form.Btn_WaveClick(&Other);
    Form.Btn_WaveClick(&Untagged);
    EXPECT_EQ(Asked, 3) << "no browser for a button of another tag";

    Form.SB_Playtest->click();
    Form.SB_Playtest->click();
    EXPECT_EQ(Fakes.Sound.PlayedInBackground(), std::vector<std::string>(2, "/sons/sino.wav"));
    EXPECT_TRUE(Fakes.Sound.Played().empty()) << "the test sound never waits";
}

TEST_F(SetUpDialogTest, ThePreviewHooksHearEveryChangeOnceSet)
{
    TFrm_SetUp& Form = Open(0, false);
    Form.AlphaBarr->setValue(90);
    Form.CB_SumLight->setChecked(true);
    std::vector<std::pair<QObject*, int>> Heard;
    Form.OnAlphaBarrChange = [&](QObject* Sender) { Heard.emplace_back(Sender, Form.AlphaBarr->value()); };
    Form.OnSumLightClick = [&](QObject* Sender) {
        Heard.emplace_back(Sender, Form.CB_SumLight->isChecked());
    };
    Form.AlphaBarr->setValue(120);
    Form.AlphaBarr->setValue(300);
    Form.CB_SumLight->click();
    using THeard = std::vector<std::pair<QObject*, int>>;
    EXPECT_EQ(Heard, THeard({{Form.AlphaBarr, 120}, {Form.AlphaBarr, 255}, {Form.CB_SumLight, 0}}));
}

TEST_F(SetUpDialogTest, TheWeatherAndServerListsKeepThemselvesSorted)
{
    TFrm_SetUp& Form = Open(-1, false);
    const QStringList Sorted = {"Aracaju", "Belém", "natal", "Recife", "santos", "São Paulo", "Sergipe"};
    for (QComboBox* Box : {Form.CB_Weather, Form.CB_NTP}) {
        Box->addItems({"Recife", "natal", "São Paulo", "Aracaju"});
        Box->setCurrentIndex(Box->findText("natal"));
        Box->addItem("Sergipe");
        Box->insertItem(0, "santos");
        Box->addItems({"Belém"});
        QStringList Shown;
        for (int Index = 0; Index < Box->count(); ++Index)
            Shown.push_back(Box->itemText(Index));
        EXPECT_EQ(Shown, Sorted);
        EXPECT_EQ(Box->currentText(), "natal") << "the chosen entry stays chosen";
    }
    EXPECT_EQ(Form.GMTLocations->itemText(0), Zones[0]) << "the zone list keeps the library's order";
}
