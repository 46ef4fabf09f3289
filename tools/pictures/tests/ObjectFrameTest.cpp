#include "ObjectFrame.h"

#include <gtest/gtest.h>

namespace {

void ExpectNear(const TVector3& Actual, const TVector3& Expected)
{
    for (int Index = 0; Index < 3; ++Index)
        EXPECT_NEAR(Actual[Index], Expected[Index], 1e-9) << "component " << Index;
}

TEST(ObjectFrame, TurnIsRightHandedAboutUp)
{
    TObjectFrame Frame({0, 0, 1}, {0, 1, 0});
    Frame.SetTurnAngle(90);
    const TRotation Local = Frame.Local();
    ExpectNear(Local[1], {0, 1, 0});
    ExpectNear(Local[2], {1, 0, 0});
    // The side axis is Up x Direction.
    ExpectNear(Local[0], {0, 0, -1});
}

TEST(ObjectFrame, TurnsByTheDifferenceFromTheStoredAngle)
{
    TObjectFrame Stepped({0, 0, 1}, {0, 1, 0});
    Stepped.SetTurnAngle(30);
    Stepped.SetTurnAngle(100);
    TObjectFrame Direct({0, 0, 1}, {0, 1, 0});
    Direct.SetTurnAngle(100);
    for (int Row = 0; Row < 3; ++Row)
        ExpectNear(Stepped.Local()[Row], Direct.Local()[Row]);
}

TEST(ObjectFrame, StoresTheAngleNormalised)
{
    TObjectFrame Frame({0, 0, 1}, {0, 1, 0});
    Frame.SetTurnAngle(190);
    EXPECT_DOUBLE_EQ(Frame.TurnAngle(), -170);
    Frame.SetTurnAngle(-270);
    EXPECT_DOUBLE_EQ(Frame.TurnAngle(), 90);
    ExpectNear(Frame.Local()[2], {1, 0, 0});
}

TEST(ObjectFrame, ChildRotationsComposeThroughTheParent)
{
    // A child facing backwards (Direction -Z) under a parent turned 90: the child's Z ends on world -X.
    TObjectFrame Parent({0, 0, 1}, {0, 1, 0});
    Parent.SetTurnAngle(90);
    const TObjectFrame Child({0, 0, -1}, {0, 1, 0});
    const TRotation World = Times(Child.Local(), Parent.Local());
    ExpectNear(World[2], {-1, 0, 0});
    ExpectNear(IntoFrame(World[2], World), {0, 0, 1});
}

} // namespace
