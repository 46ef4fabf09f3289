// Every page of the setup dialog in the desktop's own font, in every
// language the clock speaks: no caption is cut or hidden under a control.
// The pages' pictures go to ZENTAVO_SCREENSHOT_DIR when it is set.
#include "app/language/Translations.h"
#include "platform/testing/FakeServices.h"
#include "setup/Frm_SetUp.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

QString Caption(const QWidget& Control)
{
    if (const auto* Button = qobject_cast<const QAbstractButton*>(&Control))
        return Button->text();
    if (const auto* Label = qobject_cast<const QLabel*>(&Control))
        return Label->text();
    if (const auto* Group = qobject_cast<const QGroupBox*>(&Control))
        return Group->title();
    return {};
}

// The width the control shows of itself: up to its parent's edge and, but for
// a label (designed to lie beneath the controls beside it), to the first
// control beside it that is drawn above it.
int ShownWidth(const QWidget& Control)
{
    const QWidget* Parent = Control.parentWidget();
    const QRect Place = Control.geometry();
    int Right = std::min(Place.right(), Parent->rect().right());
    if (qobject_cast<const QLabel*>(&Control) != nullptr)
        return Right - Place.left() + 1;
    const auto Siblings = Parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const qsizetype Own = Siblings.indexOf(const_cast<QWidget*>(&Control));
    for (qsizetype Index = Own + 1; Index < Siblings.size(); ++Index) {
        const QWidget* Above = Siblings[Index];
        const QRect Beside = Above->geometry();
        if (Above->isVisible() && Beside.left() > Place.left() && Beside.left() <= Right &&
            Beside.bottom() >= Place.top() && Beside.top() <= Place.bottom())
            Right = Beside.left() - 1;
    }
    return Right - Place.left() + 1;
}

// The rightmost column of Picture that is not its background (its commonest colour).
int InkRight(const QImage& Picture)
{
    std::map<QRgb, int> Counts;
    for (int Y = 0; Y < Picture.height(); ++Y)
        for (int X = 0; X < Picture.width(); ++X)
            ++Counts[Picture.pixel(X, Y)];
    QRgb Background = 0;
    int Most = 0;
    for (const auto& [Colour, Count] : Counts)
        if (Count > Most)
            std::tie(Background, Most) = std::tie(Colour, Count);
    for (int X = Picture.width() - 1; X >= 0; --X)
        for (int Y = 0; Y < Picture.height(); ++Y) {
            const QRgb Pixel = Picture.pixel(X, Y);
            if (std::abs(qRed(Pixel) - qRed(Background)) + std::abs(qGreen(Pixel) - qGreen(Background)) +
                    std::abs(qBlue(Pixel) - qBlue(Background)) >
                90)
                return X;
        }
    return -1;
}

// Where the caption's last pixel falls when the control has all the room it could want.
int CaptionEnd(QWidget& Control)
{
    const QSize Designed = Control.size();
    Control.resize(Control.sizeHint().width() + 40, Designed.height());
    const QImage Wide = Control.grab().toImage();
    Control.resize(Designed);
    return InkRight(Wide);
}

// The stretches of a label's text that are drawn (a run of spaces is a gap
// left for a control), as spans of its parent's x.
std::vector<std::pair<int, int>> DrawnSpans(const QLabel& Label)
{
    QString Text = Label.text();
    Text.remove(QLatin1Char('&'));
    const QFontMetrics Metrics = Label.fontMetrics();
    const int Left = Label.geometry().left() + Label.contentsRect().left();
    std::vector<std::pair<int, int>> Spans;
    static const QRegularExpression Words(QStringLiteral("\\S+( \\S+)*"));
    for (auto Match = Words.globalMatch(Text); Match.hasNext();) {
        const auto Part = Match.next();
        const int Start = Left + Metrics.horizontalAdvance(Text.left(Part.capturedStart()));
        Spans.emplace_back(Start, Start + Metrics.horizontalAdvance(Part.captured()) - 1);
    }
    return Spans;
}

class SetUpCaptionsTest : public testing::TestWithParam<std::string>
{
};

TEST_P(SetUpCaptionsTest, EveryPagesCaptionsShowWholeWhereTheyWereDesigned)
{
    const TTranslations Language(GetParam());
    Platform::TFakeServices Fakes;
    const auto Dialog = std::make_unique<TFrm_SetUp>(Fakes.Services());
    const QPoint RunOnceAt = Dialog->CB_RunOnce->pos();
    Dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
    int Checked = 0;
    for (int Index = 0; Index < Dialog->PageControl->count(); ++Index) {
        Dialog->PageControl->setCurrentIndex(Index);
        QWidget* Page = Dialog->PageControl->widget(Index);
        QTest::qWait(50);
        const QImage Picture = Page->grab().toImage();
        ASSERT_FALSE(Picture.isNull());
        if (const char* Shots = std::getenv("ZENTAVO_SCREENSHOT_DIR"))
            Picture.save(QString::fromLocal8Bit(Shots) + QStringLiteral("/setup-captions-%1-%2.png")
                                                             .arg(QString::fromStdString(GetParam()))
                                                             .arg(Index + 1));
        for (QWidget* Control : Page->findChildren<QWidget*>()) {
            const QString Text = Caption(*Control);
            // The toolkit's own parts (the calendar's month and year) are not the design's.
            if (Text.trimmed().isEmpty() || !Control->isVisible() ||
                Control->objectName().startsWith(QLatin1String("qt_")) ||
                (Control->objectName().isEmpty() &&
                 qobject_cast<TRadioGroup*>(Control->parentWidget()) == nullptr))
                continue;
            if (qobject_cast<QGroupBox*>(Control) != nullptr)
                continue; // a frame's ink is its frame; its items are checked one by one
            EXPECT_LT(CaptionEnd(*Control), ShownWidth(*Control))
                << Control->objectName().toStdString() << " \"" << Text.toStdString() << "\" on page "
                << Index + 1;
            ++Checked;
            // A label lies beneath the controls beside it: its words must fall beside them, not under.
            if (const auto* Label = qobject_cast<const QLabel*>(Control))
                for (const QWidget* Other :
                     Label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    const QRect Place = Other->geometry();
                    if (Other == Label || qobject_cast<const QLabel*>(Other) != nullptr ||
                        !Other->isVisible() || Place.bottom() < Label->geometry().top() + 3 ||
                        Place.top() > Label->geometry().bottom() - 3)
                        continue;
                    for (const auto& [Start, End] : DrawnSpans(*Label)) {
                        EXPECT_TRUE(End < Place.left() || Start > Place.right())
                            << Label->objectName().toStdString() << " \"" << Text.toStdString() << "\" from "
                            << Start << " to " << End << " lies under " << Other->objectName().toStdString();
                    }
                }
        }
    }
    EXPECT_GE(Checked, 15) << "the pages' captions were found";
    EXPECT_EQ(Dialog->CB_RunOnce->pos(), RunOnceAt) << "controls keep their designed places";
    if (GetParam() == "pt") {
        EXPECT_EQ(Dialog->CB_RunOnce->text(), QStringLiteral("&Iniciar com o Windows"));
    }

    // The tabs stand one under the other on the left, each whole.
    const QTabBar* Tabs = Dialog->PageControl->tabBar();
    // A bar shorter than the tabs it would like squeezes and elides them.
    EXPECT_LE(Tabs->sizeHint().height(), Tabs->height());
    for (int Index = 0; Index < Tabs->count(); ++Index)
        EXPECT_LE(Tabs->tabRect(Index).bottom(), Tabs->rect().bottom()) << Tabs->tabText(Index).toStdString();
    EXPECT_LE(Tabs->geometry().bottom(), Dialog->PageControl->rect().bottom());
    // The status rows' names fit their column, and a long value is all there, on two lines if need be.
    TValueListEditor* Status = Dialog->VLEditor;
    Status->SetValue(Status->Keys().value(5),
                     Dialog->Task->Items().value(2) + QStringLiteral(" 10/12/2026 07:30:00"));
    EXPECT_LE(Status->columnWidth(0) + Status->columnWidth(1), Status->viewport()->width());
    EXPECT_FALSE(Status->horizontalScrollBar()->isVisible());
    for (int Row = 0; Row < Status->rowCount(); ++Row) {
        const QString Name = Status->item(Row, 0)->text();
        EXPECT_LE(Status->fontMetrics().horizontalAdvance(Name) + 6, Status->columnWidth(0))
            << Name.toStdString();
        if (Row != 5) {
            EXPECT_LT(Status->rowHeight(Row), 2 * Status->fontMetrics().lineSpacing())
                << Name.toStdString() << " goes on to a second line";
        }
        const QString Value = Status->item(Row, 1)->text();
        const QRect Needed = Status->fontMetrics().boundingRect(QRect(0, 0, Status->columnWidth(1) - 6, 1000),
                                                                Qt::TextWordWrap, Value);
        EXPECT_LE(Needed.height(), Status->rowHeight(Row)) << Value.toStdString();
    }
}

// Every language the clock ships, a new one included.
INSTANTIATE_TEST_SUITE_P(Languages, SetUpCaptionsTest, testing::ValuesIn(TTranslations::Offered()),
                         [](const testing::TestParamInfo<std::string>& Info) { return Info.param; });

TEST(SetUpLanguageTest, TheDialogSpeaksEnglishWhereAskedAndKeepsItsPortugueseKeys)
{
    const TTranslations English("en");
    Platform::TFakeServices Fakes;
    TFrm_SetUp Dialog(Fakes.Services());
    EXPECT_EQ(Dialog.CB_RunOnce->text(), QStringLiteral("&Start at login"));
    EXPECT_EQ(Dialog.PageControl->tabText(0), QStringLiteral("Calendar / Alarm"));
    EXPECT_EQ(Dialog.Task->Items(), QStringList({"Alarm", "Shut down", "Run program"}));
    EXPECT_EQ(Dialog.Btn_Cancel->text(), QStringLiteral("&Cancel"));
    // The status rows are still found by their keys, and show the language's names.
    Dialog.VLEditor->SetValue(QStringLiteral("Conexão"), QStringLiteral("True"));
    EXPECT_EQ(Dialog.VLEditor->Value(QStringLiteral("Conexão")), QStringLiteral("True"));
    EXPECT_EQ(Dialog.VLEditor->rowCount(), 6);
    EXPECT_EQ(Dialog.VLEditor->item(0, 0)->text(), QStringLiteral("Connection"));
    EXPECT_EQ(Dialog.VLEditor->Keys().value(0), QStringLiteral("Conexão"));
}

} // namespace
