#include "scene/GLCoordinates.h"

#include "scene/GLCoordinatesUpdateAbleComponent.h"

#include <gtest/gtest.h>

using namespace Scene;

namespace {

class TOwner : public TGLCoordinatesUpdateAbleComponent
{
public:
    void CoordinateChanged(TGLCoordinates& Sender) override
    {
        ++Changes;
        Last = &Sender;
    }
    int Changes = 0;
    TGLCoordinates* Last = nullptr;
};

} // namespace

TEST(Coordinates, WholeVectorsTakeTheirWFromTheKind)
{
    TOwner Owner;
    TGLCoordinates Point(&Owner, TVector{0, 0, 0, 1}, TGLCoordinatesStyle::Point);
    TGLCoordinates Direction(&Owner, TVector{0, 0, 1, 0}, TGLCoordinatesStyle::Direction);
    Point.SetVector(TVector{1, 2, 3, 0});
    Direction.SetVector(TVector{4, 5, 6, 1});
    EXPECT_EQ(Point.AsVector(), (TVector{1, 2, 3, 1}));
    EXPECT_EQ(Direction.AsVector(), (TVector{4, 5, 6, 0}));
}

TEST(Coordinates, EveryChangeIsReportedAndNoOtherCall)
{
    TOwner Owner;
    TGLCoordinates C(&Owner, TVector{0, 0, 0, 1}, TGLCoordinatesStyle::Point);
    C.SetX(0);
    C.SetVector(0, 0, 0);
    EXPECT_EQ(Owner.Changes, 0);
    C.SetY(2);
    C.SetZ(3);
    C.SetVector(1, 2, 3);
    EXPECT_EQ(Owner.Changes, 3);
    EXPECT_EQ(Owner.Last, &C);
    EXPECT_EQ(C.AsVector(), (TVector{1, 2, 3, 1}));
}

TEST(Coordinates, StoredFormIsSixteenLittleEndianBytes)
{
    TOwner Owner;
    TGLCoordinates C(&Owner, TVector{1.1f, -0.45f, -2, 1}, TGLCoordinatesStyle::Point);
    const auto Bytes = C.AsBytes();
    // 1.1f is 0x3F8CCCCD, -2 is 0xC0000000, 1 is 0x3F800000.
    EXPECT_EQ(Bytes[0], 0xCD);
    EXPECT_EQ(Bytes[3], 0x3F);
    EXPECT_EQ(Bytes[8], 0x00);
    EXPECT_EQ(Bytes[11], 0xC0);
    EXPECT_EQ(Bytes[15], 0x3F);
    TGLCoordinates Copy(&Owner, TVector{}, TGLCoordinatesStyle::Direction);
    Copy.SetFromBytes(Bytes);
    EXPECT_EQ(Copy.AsVector(), C.AsVector()); // raw, w included
}
