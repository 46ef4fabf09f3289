// Every page of the setup dialog in the desktop's own font: no caption is cut.
// The pages' pictures go to ZENTAVO_SCREENSHOT_DIR when it is set.
#include "platform/testing/FakeServices.h"
#include "setup/Frm_SetUp.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>

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

TEST(SetUpCaptionsTest, EveryPagesCaptionsShowWholeWhereTheyWereDesigned)
{
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
            Picture.save(QString::fromLocal8Bit(Shots) +
                         QStringLiteral("/setup-captions-%1.png").arg(Index + 1));
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
        }
    }
    EXPECT_GE(Checked, 15) << "the pages' captions were found";
    EXPECT_EQ(Dialog->CB_RunOnce->pos(), RunOnceAt) << "controls keep their designed places";
    EXPECT_EQ(Dialog->CB_RunOnce->text(), QStringLiteral("&Iniciar com o Windows"));
}

} // namespace
