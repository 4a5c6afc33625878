#include "roof/roof_check.h"
#include "roof_test_support.h"

#include <gtest/gtest.h>

namespace calc::roof {
namespace {

using namespace test;

// A 20 × 20 m roof at 10 m with a tape round its edge and a line across each way: four 10 × 10
// cells, each fitting class 2's 10 × 10.
Layout meshedSquare()
{
    Layout layout{45, {}, {box("楼", 0, 0, 20, 20, 10)}};
    tape(layout, {{0, 0}, {20, 0}, {20, 20}, {0, 20}}, 10.15);
    layout.conductors.push_back(level(10, 0, 10, 20, 10.15));
    layout.conductors.push_back(level(0, 10, 20, 10, 10.15));
    return layout;
}

TEST(MeshCheck, RegularMeshPassesAndFailsWithOneLineRemoved)
{
    const SiteRoofs site = checkRoofs(meshedSquare());
    const BuildingRoofs &b = only(site);
    ASSERT_EQ(b.roofs.size(), 1u);
    const Roof &roof = b.roofs[0];
    ASSERT_EQ(roof.cells.size(), 4u);
    for (const Cell &c : roof.cells) {
        EXPECT_NEAR(c.area, 100, 1e-9);
        EXPECT_NEAR(c.longSide, 10, 1e-9);
        EXPECT_NEAR(c.shortSide, 10, 1e-9);
        EXPECT_TRUE(c.fits);
    }
    EXPECT_TRUE(b.meshPasses);
    EXPECT_EQ(b.uncoveredArea, 0);
    EXPECT_EQ(site.roles[4].role, Role::Mesh);
    EXPECT_EQ(site.roles[0].role, Role::Tape);

    // Without the line across x = 10 the cells are 20 × 10: too long for 10 × 10 and 12 × 8.
    Layout fewer = meshedSquare();
    fewer.conductors.erase(fewer.conductors.begin() + 4);
    const BuildingRoofs &f = only(checkRoofs(fewer));
    EXPECT_FALSE(f.meshPasses);
    ASSERT_EQ(f.roofs[0].cells.size(), 2u);
    ASSERT_TRUE(f.largestCell);
    const Cell &largest = f.roofs[f.largestCell->roof].cells[f.largestCell->cell];
    EXPECT_FALSE(largest.fits);
    EXPECT_NEAR(largest.longSide, 20, 1e-9);
    EXPECT_NEAR(largest.shortSide, 10, 1e-9);
}

// Conductors meet to the millimetre: mesh lines stopping 0.8 mm short of the tape still close
// their cells.
TEST(MeshCheck, LinesEndingAMillimetreShortStillMeet)
{
    Layout layout{45, {}, {box("楼", 0, 0, 20, 20, 10)}};
    tape(layout, {{0, 0}, {20, 0}, {20, 20}, {0, 20}}, 10.15);
    layout.conductors.push_back(level(10, 0.0008, 10, 19.9992, 10.15));
    layout.conductors.push_back(level(0.0008, 10, 19.9992, 10, 10.15));
    const BuildingRoofs b = only(checkRoofs(layout));
    EXPECT_EQ(b.roofs[0].cells.size(), 4u);
    EXPECT_TRUE(b.meshPasses);
}

struct CellRow {
    const char *name;
    int hr;
    double w, d, degrees;
    bool fits;
};

class CellSize : public ::testing::TestWithParam<CellRow> {};

// One cell closed by the tape alone, against the class's two rectangles.
TEST_P(CellSize, FitsItsClassInAnyOrientation)
{
    const CellRow &row = GetParam();
    const std::vector<Corner> ring = turned(row.w, row.d, row.degrees);
    Layout layout{row.hr, {}, {part("楼", ring, 10)}};
    tape(layout, ring, 10.15);
    const BuildingRoofs &b = only(checkRoofs(layout));
    ASSERT_EQ(b.roofs[0].cells.size(), 1u);
    const Cell &cell = b.roofs[0].cells[0];
    EXPECT_NEAR(cell.longSide, std::max(row.w, row.d), 1e-6);
    EXPECT_NEAR(cell.shortSide, std::min(row.w, row.d), 1e-6);
    EXPECT_EQ(cell.fits, row.fits);
    EXPECT_EQ(b.meshPasses, row.fits);
}

INSTANTIATE_TEST_SUITE_P(Table, CellSize,
                         ::testing::Values(CellRow{"Class2_10x10", 45, 10, 10, 0, true},
                                           CellRow{"Class2_10x10_5", 45, 10, 10.5, 0, false},
                                           CellRow{"Class2_12x8", 45, 12, 8, 0, true},
                                           CellRow{"Class2_12x8_Turned", 45, 8, 12, 37, true},
                                           CellRow{"Class2_10x10_5_Turned", 45, 10.5, 10, 30,
                                                   false},
                                           CellRow{"Class3_24x12", 60, 24, 12, 0, true},
                                           CellRow{"Class3_24x16_Turned", 60, 24, 16, 71, true},
                                           CellRow{"Class3_25x10", 60, 25, 10, 0, false},
                                           CellRow{"Class1_6x4", 30, 6, 4, 15, true},
                                           CellRow{"Class1_5_5x5", 30, 5.5, 5, 0, false}),
                         [](const auto &info) { return std::string(info.param.name); });

// A cell that is no rectangle fits where some turn of the rectangle holds it: a 9 m square
// diamond needs 12.73 m each way as the axes lie, but 9 × 9 turned with it.
TEST(MeshCheck, DiamondCellFitsTurned)
{
    const std::vector<Corner> diamond{{0, -6.363961}, {6.363961, 0}, {0, 6.363961}, {-6.363961, 0}};
    Layout layout{45, {}, {part("楼", diamond, 10)}};
    tape(layout, diamond, 10.15);
    const BuildingRoofs &b = only(checkRoofs(layout));
    ASSERT_EQ(b.roofs[0].cells.size(), 1u);
    EXPECT_NEAR(b.roofs[0].cells[0].longSide, 9, 1e-5);
    EXPECT_TRUE(b.roofs[0].cells[0].fits);
}

// A tape round half the roof only: the other half, less the 0.5 m strip along the edge, is
// left uncovered (19 × 9.5 m), and a roof without conductors fails with no cell.
TEST(MeshCheck, UncoveredRoofIsMeasuredBeyondTheEdgeStrip)
{
    Layout layout{45, {}, {box("楼", 0, 0, 20, 20, 10)}};
    tape(layout, {{0, 0}, {20, 0}, {20, 10}, {0, 10}}, 10.15);
    const BuildingRoofs &b = only(checkRoofs(layout));
    EXPECT_FALSE(b.meshPasses);
    EXPECT_NEAR(b.uncoveredArea, 19 * 9.5, 1e-6);
    ASSERT_EQ(b.roofs[0].uncovered.size(), 1u);
    EXPECT_GT(b.roofs[0].uncovered[0].where.y, 10);

    // A tape 0.5 m inside the edge leaves only the strip: nothing uncovered.
    Layout inset{45, {}, {box("楼", 0, 0, 20, 20, 10)}};
    tape(inset, {{0.5, 0.5}, {19.5, 0.5}, {19.5, 19.5}, {0.5, 19.5}}, 10.15);
    inset.conductors.push_back(level(10, 0.5, 10, 19.5, 10.15));
    inset.conductors.push_back(level(0.5, 10, 19.5, 10, 10.15));
    const BuildingRoofs &i = only(checkRoofs(inset));
    EXPECT_EQ(i.uncoveredArea, 0);
    EXPECT_TRUE(i.meshPasses);

    const BuildingRoofs &bare = only(checkRoofs(Layout{45, {}, {box("楼", 0, 0, 20, 20, 10)}}));
    EXPECT_FALSE(bare.meshPasses);
    EXPECT_FALSE(bare.largestCell);
    EXPECT_NEAR(bare.uncoveredArea, 19 * 19, 1e-6);
}

} // namespace
} // namespace calc::roof
