#include "dxf/drawing_coordinates.h"

#include <gtest/gtest.h>

namespace {

using lplayout::DrawingPlace;

// A site 512 km out in millimetres: a point there and back is the same to well under a
// millimetre, and lengths scale by the unit alone.
TEST(DrawingCoordinates, FarOriginKeepsItsDigits)
{
    const DrawingPlace mm{DrawingPlace::Units::Millimetres, 512000000, 3010000};
    const auto p = dxf::toDrawing(mm, 12.345, -6.789);
    EXPECT_DOUBLE_EQ(p.x, 512012345);
    EXPECT_DOUBLE_EQ(p.y, 3003211);
    const auto back = dxf::toLayout(mm, p.x, p.y);
    EXPECT_NEAR(back.x, 12.345, 1e-6);
    EXPECT_NEAR(back.y, -6.789, 1e-6);
    EXPECT_DOUBLE_EQ(dxf::lengthToDrawing(mm, 18), 18000);
    const DrawingPlace cm{DrawingPlace::Units::Centimetres, 0, 0};
    EXPECT_DOUBLE_EQ(dxf::lengthToLayout(cm, 250), 2.5);
}

TEST(DrawingCoordinates, NoPlaceIsMetresAtTheOrigin)
{
    const DrawingPlace place = dxf::placeOrMetres(std::nullopt);
    EXPECT_EQ(place.units, DrawingPlace::Units::Metres);
    const auto p = dxf::toDrawing(place, 3, 4);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 4);
}

} // namespace
