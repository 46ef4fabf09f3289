#include "LandTopology.h"

#include <gtest/gtest.h>

namespace {

// Two arcs meeting at their ends; quantised on a 1-degree grid starting at (10, 20).
const char* const SquareTopology = R"({
  "type": "Topology",
  "transform": {"scale": [1, 1], "translate": [10, 20]},
  "arcs": [[[0, 0], [4, 0], [0, 4]], [[0, 0], [4, 0], [0, 4]]],
  "objects": {"land": {"type": "GeometryCollection", "geometries": [
    {"type": "Polygon", "arcs": [[0, -2]]},
    {"type": "MultiPolygon", "arcs": [[[1]], [[-1]]]},
    {"type": "LineString", "arcs": [0]}
  ]}}
})";

TEST(LandTopology, DecodesDeltaEncodedArcsAndJoinsThemIntoRings)
{
    const TLandTopology Land = TLandTopology::FromJson(SquareTopology, "land");
    ASSERT_EQ(Land.Polygons().size(), 3);

    // Arc 0 runs (10,20) (14,20) (14,24); index -2 is arc 1 walked backwards, (14,24) (14,20) (10,20),
    // and the point the two arcs share appears once.
    const QPolygonF Ring = Land.Polygons().at(0).at(0);
    const QPolygonF Expected{{10, 20}, {14, 20}, {14, 24}, {14, 20}, {10, 20}};
    EXPECT_EQ(Ring, Expected);

    EXPECT_EQ(Land.Polygons().at(1).at(0), (QPolygonF{{10, 20}, {14, 20}, {14, 24}}));
    EXPECT_EQ(Land.Polygons().at(2).at(0), (QPolygonF{{14, 24}, {14, 20}, {10, 20}}));
}

TEST(LandTopology, ReadsUnquantisedTopologiesAsAbsoluteCoordinates)
{
    const char* const Json = R"({"type": "Topology", "arcs": [[[1.5, 2], [3, 4], [5, 2], [1.5, 2]]],
        "objects": {"land": {"type": "Polygon", "arcs": [[0]]}}})";
    const TLandTopology Land = TLandTopology::FromJson(Json, "land");
    ASSERT_EQ(Land.Polygons().size(), 1);
    EXPECT_EQ(Land.Polygons().at(0).at(0), (QPolygonF{{1.5, 2}, {3, 4}, {5, 2}, {1.5, 2}}));
}

TEST(LandTopology, RejectsWhatIsNoUsableTopology)
{
    EXPECT_THROW(TLandTopology::FromJson("not json", "land"), ETopologyError);
    EXPECT_THROW(TLandTopology::FromJson(R"({"type": "FeatureCollection"})", "land"), ETopologyError);
    EXPECT_THROW(TLandTopology::FromJson(SquareTopology, "countries"), ETopologyError);
    EXPECT_THROW(TLandTopology::FromJson(R"({"type": "Topology", "arcs": [],
        "objects": {"land": {"type": "Polygon", "arcs": [[3]]}}})",
                                         "land"),
                 ETopologyError);
    EXPECT_THROW(TLandTopology::FromFile("/nonexistent/land.json", "land"), ETopologyError);
}

TEST(LandTopology, FlatRingCrossesTheAntimeridianTheShortWay)
{
    // An island straddling 180: from 179 E over to 179 W and back.
    const QPolygonF Ring{{179, 10}, {-179, 10}, {-179, 12}, {179, 12}, {179, 10}};
    const QPolygonF Flat = TLandTopology::FlatRing(Ring);
    EXPECT_EQ(Flat, (QPolygonF{{179, 10}, {181, 10}, {181, 12}, {179, 12}, {179, 10}}));
}

TEST(LandTopology, FlatRingAroundAPoleIsClosedThroughThatPole)
{
    // A coast all the way round the south pole, eastward from 180 W.
    const QPolygonF South{{-180, -70}, {-60, -65}, {60, -68}, {179, -72}, {-180, -70}};
    const QPolygonF Flat = TLandTopology::FlatRing(South);
    ASSERT_EQ(Flat.size(), South.size() + 2);
    EXPECT_EQ(Flat.at(4), QPointF(180, -70));
    EXPECT_EQ(Flat.at(5), QPointF(180, -90));
    EXPECT_EQ(Flat.at(6), QPointF(-180, -90));

    const QPolygonF North{{-180, 80}, {179, 81}, {60, 82}, {-60, 83}, {-180, 80}};
    const QPolygonF FlatNorth = TLandTopology::FlatRing(North);
    EXPECT_EQ(FlatNorth.at(FlatNorth.size() - 2).y(), 90);
    EXPECT_EQ(FlatNorth.last(), QPointF(-180, 90));
}

TEST(LandTopology, FlatRingDropsRingsWithoutArea)
{
    // The pole cap of some topologies is a ring along one latitude.
    EXPECT_TRUE(
        TLandTopology::FlatRing({{-180, -89.999}, {0, -89.999}, {178, -89.999}, {-180, -89.999}}).isEmpty());
    EXPECT_TRUE(TLandTopology::FlatRing({{1, 1}, {2, 2}}).isEmpty());
}

} // namespace
