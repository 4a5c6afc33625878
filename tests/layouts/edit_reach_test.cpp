#include "layouts/edit_reach.h"

#include <gtest/gtest.h>

namespace {

using namespace calc::layout;

// Two buildings a kilometre apart, each under its own rods, and a far mast.
Layout site()
{
    Layout layout;
    layout.conductors = {Rod{0, 0, 30}, Rod{20, 0, 30}, Rod{1000, 0, 30}, Rod{1020, 0, 30}};
    layout.objects = {{"甲", {{2, -3}, {18, -3}, {18, 3}, {2, 3}}, 10},
                      {"乙", {{1002, -3}, {1018, -3}, {1018, 3}, {1002, 3}}, 10}};
    return layout;
}

// A rod moved beside one building leaves the other's check standing, and that check is the one
// a fresh check gives.
TEST(EditReach, MovedRodReachesOnlyTheBuildingBesideIt)
{
    const Layout before = site();
    Layout after = before;
    after.conductors[1] = Rod{22, 5, 30};
    const auto carried = carriedOver(before, after);
    ASSERT_EQ(carried.size(), 2u);
    EXPECT_FALSE(carried[0]);
    ASSERT_TRUE(carried[1]);
    EXPECT_EQ(*carried[1], 1u);
    const auto was = checkObjects(before), is = checkObjects(after);
    EXPECT_EQ(was[1].leastClearance, is[1].leastClearance);
    EXPECT_EQ(was[1].isProtected, is[1].isProtected);
}

// An object found again when the others before it are taken away or it is renamed; moved, it is
// checked again.
TEST(EditReach, ObjectsFoundByTheirShape)
{
    const Layout before = site();
    Layout after = before;
    after.objects.erase(after.objects.begin());
    after.objects[0].name = "丙";
    auto carried = carriedOver(before, after);
    ASSERT_EQ(carried.size(), 1u);
    ASSERT_TRUE(carried[0]);
    EXPECT_EQ(*carried[0], 1u);
    after.objects[0].height = 11;
    EXPECT_FALSE(carriedOver(before, after)[0]);
}

// Whatever changes how far every query looks, the sphere or the highest conductor, reaches
// every object.
TEST(EditReach, SphereOrHighestConductorReachesEverything)
{
    const Layout before = site();
    Layout other = before;
    other.hr = 60;
    for (const auto &c : carriedOver(before, other)) EXPECT_FALSE(c);
    Layout taller = before;
    taller.conductors.push_back(Rod{3000, 0, 80});
    for (const auto &c : carriedOver(before, taller)) EXPECT_FALSE(c);
    for (const auto &c : carriedOver(before, before)) EXPECT_TRUE(c);
}

} // namespace
