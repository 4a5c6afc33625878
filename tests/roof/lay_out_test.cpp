#include "roof/lay_out.h"
#include "roof/roof_check.h"
#include "roof_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <variant>

namespace calc::roof {
namespace {

using namespace test;

Layout lShaped(int hr)
{
    return {hr, {}, {part("L楼", {{0, 0}, {50, 0}, {50, 20}, {20, 20}, {20, 45}, {0, 45}}, 24)}};
}

Layout uShaped(int hr)
{
    return {
        hr,
        {},
        {part("U楼", {{0, 0}, {60, 0}, {60, 40}, {45, 40}, {45, 15}, {15, 15}, {15, 40}, {0, 40}},
              18)}};
}

Layout towerOnPodium(int hr)
{
    return {hr, {}, {box("裙房", 0, 0, 60, 40, 20), box("塔楼", 15, 10, 40, 30, 80)}};
}

Layout courtyard(int hr)
{
    return {hr,
            {},
            {box("南", 0, 0, 50, 10, 15), box("北", 0, 30, 50, 40, 15),
             box("西", 0, 10, 10, 30, 15), box("东", 40, 10, 50, 30, 15)}};
}

// Two blocks side by side, the higher one's shared wall over the lower roof.
Layout stepped(int hr)
{
    return {hr, {}, {box("高", 0, 0, 30, 20, 30), box("低", 30, 0, 70, 20, 20)}};
}

// A tower flush with two sides of its podium's corner.
Layout flushTower(int hr)
{
    return {hr, {}, {box("裙房", 0, 0, 60, 40, 20), box("塔楼", 0, 0, 25, 22, 64)}};
}

Layout rotated(int hr) { return {hr, {}, {part("斜楼", turned(47, 23, 28), 36)}}; }

struct Site {
    const char *name;
    Layout (*make)(int);
};

class LaidOut : public ::testing::TestWithParam<std::tuple<Site, int>> {};

// Whatever the outline and the class, what the lay-out lays passes its own check.
TEST_P(LaidOut, PassesItsOwnCheck)
{
    const auto &[site, hr] = GetParam();
    const Layout laid = layOutRoofs(site.make(hr));
    const SiteRoofs roofs = checkRoofs(laid);
    ASSERT_FALSE(roofs.buildings.empty());
    for (const BuildingRoofs &b : roofs.buildings) {
        EXPECT_TRUE(b.meshPasses) << b.name;
        EXPECT_EQ(b.uncoveredArea, 0) << b.name;
        EXPECT_NE(b.tape, Verdict::Fail) << b.name;
        EXPECT_TRUE(b.down.passes) << b.name << " largest " << b.down.largestSpacing.value_or(-1);
        for (const ConductorRing &r : b.down.rings)
            EXPECT_TRUE(r.passes) << static_cast<int>(r.kind) << " ring of " << r.length << " m, "
                                  << r.conductors.size() << " conductors, largest "
                                  << r.largestSpacing;
        EXPECT_GE(b.down.reachingGround, 2) << b.name;
        EXPECT_NE(b.sideFlash.verdict, Verdict::Fail) << b.name;
        EXPECT_TRUE(b.passes()) << b.name;
    }
    for (std::size_t i = 0; i < laid.conductors.size(); ++i) {
        const auto &w = std::get<Wire>(laid.conductors[i]);
        EXPECT_TRUE(w.laidOut);
        // Class 1's horizontal tapes round the walls are the only wires of no roof's.
        const bool sideTape = hr == 30 && w.a.z == w.b.z && std::fmod(w.a.z - 30, 6) == 0;
        if (!sideTape) {
            EXPECT_NE(roofs.roles[i].role, Role::Wire)
                << i << " at " << w.a.x << "," << w.a.y << "," << w.a.z;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryClass, LaidOut,
    ::testing::Combine(::testing::Values(Site{"L", lShaped}, Site{"U", uShaped},
                                         Site{"TowerOnPodium", towerOnPodium},
                                         Site{"Courtyard", courtyard}, Site{"Rotated", rotated},
                                         Site{"Stepped", stepped}, Site{"FlushTower", flushTower}),
                       ::testing::Values(30, 45, 60)),
    [](const auto &info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               std::to_string(std::get<1>(info.param));
    });

TEST(LayOut, TowerComesDownToThePodiumRoof)
{
    const Layout laid = layOutRoofs(towerOnPodium(45));
    const SiteRoofs site = checkRoofs(laid);
    const BuildingRoofs &b = only(site);
    ASSERT_EQ(b.roofs.size(), 2u);
    EXPECT_EQ(b.roofs[0].height, 80);
    bool upper = false;
    for (const ConductorRing &r : b.down.rings)
        if (r.kind == RingKind::Upper) {
            upper = true;
            EXPECT_EQ(r.roof, 0u);
            EXPECT_NEAR(r.length, 90, 1e-9);
            EXPECT_TRUE(r.passes);
        }
    EXPECT_TRUE(upper);
    int ontoPodium = 0;
    for (const DownConductor &d : b.down.conductors)
        if (d.ontoRoof) {
            ++ontoPodium;
            EXPECT_EQ(*d.ontoRoof, 1u);
            EXPECT_EQ(d.foot, 20);
            EXPECT_NEAR(d.top, 80.15, 1e-9);
        }
    // The tower's 90 m perimeter at 18 m at most: its four corners and one more on each side
    // longer than 18 m.
    EXPECT_EQ(ontoPodium, 8);
    // The side-flash band of a class 2 building of 80 m: from 64 m.
    EXPECT_DOUBLE_EQ(*b.sideFlash.bandFrom, 64);
    EXPECT_DOUBLE_EQ(*b.sideFlash.bandTo, 80);
}

// Class 1 above 30 m: horizontal tapes at 30 and 36 m round a 40 m building, checked; one
// taken away fails.
TEST(LayOut, ClassOneSideTapesEverySixMetres)
{
    const Layout laid = layOutRoofs(Layout{30, {}, {box("楼", 0, 0, 20, 12, 40)}});
    const BuildingRoofs &b = only(checkRoofs(laid));
    ASSERT_EQ(b.sideFlash.tapes.size(), 2u);
    EXPECT_EQ(b.sideFlash.tapes[0].height, 30);
    EXPECT_EQ(b.sideFlash.tapes[1].height, 36);
    EXPECT_EQ(b.sideFlash.verdict, Verdict::Pass);

    Layout missing = laid;
    std::erase_if(missing.conductors, [](const layout::Conductor &c) {
        const auto &w = std::get<Wire>(c);
        return w.a.z == 36 && w.b.z == 36 && w.a.y == 0 && w.b.y == 0;
    });
    const BuildingRoofs &m = only(checkRoofs(missing));
    EXPECT_EQ(m.sideFlash.verdict, Verdict::Fail);
    ASSERT_EQ(m.sideFlash.tapes[1].gaps.size(), 1u);
    EXPECT_NEAR(detailLength(m.sideFlash.tapes[1].gaps[0]), 20, 1e-9);
}

// Laying out again replaces what was laid out before for that building and nothing else: a
// wire drawn by hand stays, and another building's network stays when only one is named.
TEST(LayOut, AgainReplacesOnlyLaidOutWiresOfTheNamedBuilding)
{
    Layout layout{45, {}, {box("甲", 0, 0, 20, 20, 10), box("乙", 40, 0, 60, 20, 12)}};
    layout.conductors.push_back(Wire{{-5, -5, 15}, {-5, 30, 15}}); // by hand
    const Layout once = layOutRoofs(layout);
    const Layout twice = layOutRoofs(once);
    EXPECT_EQ(twice.conductors.size(), once.conductors.size());
    EXPECT_FALSE(std::get<Wire>(twice.conductors.front()).laidOut);

    LayOutOptions onlyA;
    onlyA.buildings = {"甲"};
    const Layout again = layOutRoofs(once, onlyA);
    EXPECT_EQ(again.conductors.size(), once.conductors.size());
    EXPECT_TRUE(only(checkRoofs(again)).passes());
    EXPECT_TRUE(checkRoofs(again).buildings[1].passes());

    const std::vector<std::string> names{"甲", "丙"};
    EXPECT_EQ(unknownBuildings(layout, names), std::vector<std::string>{"丙"});
}

} // namespace
} // namespace calc::roof
