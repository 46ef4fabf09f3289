#include "scene/Font.h"

#include <gtest/gtest.h>

using namespace Scene;

namespace {

// Counts the notices that reach the top of an owner chain.
class TNoticeCounter : public TGLUpdateAbleObject
{
public:
    void NotifyChange(TGLUpdateAbleObject*) override { ++Notices; }
    int Notices = 0;
};

} // namespace

TEST(Font, SizeAndHeightConvertAtNinetySixPixelsPerInch)
{
    TNoticeCounter Owner;
    TFont Font(&Owner);
    EXPECT_EQ(Font.Height(), -11);
    EXPECT_EQ(Font.Size(), 8);
    Font.SetSize(6);
    EXPECT_EQ(Font.Height(), -8);
    Font.SetHeight(-11);
    Font.SetHeight(-11); // same value: no notice
    EXPECT_EQ(Owner.Notices, 2);
    Font.SetSize(9);
    EXPECT_EQ(Font.Height(), -12);

    TFont Other;
    Other.SetName("Trebuchet MS");
    Other.SetStyle({fsBold});
    const int Before = Owner.Notices;
    Font.Assign(Other);
    EXPECT_EQ(Owner.Notices, Before + 1);
    EXPECT_TRUE(Font == Other);
    Font.Assign(Other);
    EXPECT_EQ(Owner.Notices, Before + 1);
}
