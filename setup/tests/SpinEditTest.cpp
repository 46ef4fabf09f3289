#include "setup/SpinEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

namespace {

class TSpinEditProbe : public TSpinEdit
{
public:
    using TSpinEdit::lineEdit;
    void Leave()
    {
        QFocusEvent Out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(this, &Out);
    }
};

} // namespace

// Typing may pass through numbers outside the range; leaving brings them to the nearest bound.
TEST(SpinEditTest, ATypedNumberComesIntoTheRangeOnLeaving)
{
    TSpinEditProbe Edit;
    Edit.setRange(5, 23);
    for (const auto& [Typed, Shown, Value] : {std::tuple("99", "99", 23), std::tuple("2", "2", 5),
                                              std::tuple("-4", "-4", 5), std::tuple("1x2", "12", 12)}) {
        SCOPED_TRACE(Typed);
        Edit.lineEdit()->selectAll();
        QTest::keyClicks(&Edit, Typed);
        EXPECT_EQ(Edit.lineEdit()->text(), Shown) << "letters are refused";
        EXPECT_EQ(Edit.Value(), Value);
        Edit.Leave();
        EXPECT_EQ(std::pair(Edit.lineEdit()->text(), Edit.value()), std::pair(QString::number(Value), Value));
    }
}

TEST(SpinEditTest, TextThatIsNoNumberReadsAsTheMinimum)
{
    TSpinEditProbe Edit;
    Edit.setRange(5, 23);
    Edit.SetValue(20);
    for (const char* Text : {"", "-", "1.5", "9999999999999999999999", "abc"}) {
        Edit.lineEdit()->setText(Text);
        EXPECT_EQ(Edit.Value(), 5) << Text;
    }
    Edit.Leave();
    EXPECT_EQ(std::pair(Edit.lineEdit()->text(), Edit.value()), std::pair(QString("5"), 5));
}
