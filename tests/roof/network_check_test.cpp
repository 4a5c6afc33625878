#include "roof/detail/cell_fit.h"
#include "roof/lay_out.h"
#include "roof/protection.h"
#include "roof/roof_check.h"
#include "roof_test_support.h"

#include <gtest/gtest.h>

#include <variant>

namespace calc::roof {
namespace {

using namespace test;

// Each wire's role from its place over a 20 × 20 m roof at 10 m.
TEST(Roles, ComeFromTheWiresPlace)
{
    Layout layout{45, {layout::Rod{-10, -10, 20}}, {box("楼", 0, 0, 20, 20, 10)}};
    const std::vector<std::pair<Wire, Role>> wires{
        {level(0, 0, 20, 0, 10.15), Role::Tape},        // on the edge
        {level(0, -0.4, 20, -0.4, 10.15), Role::Tape},  // 0.4 m outside it
        {level(10, 0, 10, 20, 10.5), Role::Mesh},       // across the middle
        {level(0, 0.3, 20, 0.3, 11), Role::Tape},       // 1 m up, 0.3 m inside
        {level(0, 10, 20, 10, 11.2), Role::Wire},       // more than 1 m above the roof
        {level(0, -0.8, 20, -0.8, 10.15), Role::Wire},  // more than 0.5 m outside
        {level(-5, 5, 25, 5, 10.15), Role::Wire},       // reaching out beyond the strip
        {level(0, 20, 20, 0, 9), Role::Wire},           // below the roof
        {upright(0, 0, 0, 10.15), Role::DownConductor}, // from the tape to the ground
        {upright(20.8, 0, 0, 10.15), Role::Wire},       // its top meets no roof conductor
        {upright(10, 10, 0, 10.5), Role::Wire},         // in the middle, far from the outline
        {upright(0, -0.4, 3, 10.15), Role::Wire},       // its foot in the air
        {Wire{{0, 0, 10.15}, {1, 0, 0}}, Role::Wire},   // slanting
    };
    for (const auto &[w, role] : wires) layout.conductors.push_back(w);
    const SiteRoofs site = checkRoofs(layout);
    EXPECT_EQ(site.roles[0].role, Role::Rod);
    for (std::size_t i = 0; i < wires.size(); ++i) {
        EXPECT_EQ(site.roles[i + 1].role, wires[i].second) << i;
        if (wires[i].second != Role::Wire) {
            EXPECT_EQ(site.roles[i + 1].building, 0u) << i;
            EXPECT_EQ(site.roles[i + 1].roof, 0u) << i;
        }
    }
    EXPECT_EQ(roleName(Role::DownConductor), "引下线");
}

// A 50 m class 2 building, above the table's 45 m, needs a tape along its whole outer edge on
// the wall's plane or outside: a tape 0.3 m inside on the north side leaves that edge bare,
// though its cells still close.
TEST(EdgeTape, MissingOnATallClassTwoBuilding)
{
    Layout layout{45, {}, {box("楼", 0, 0, 20, 20, 50)}};
    layout.conductors.push_back(level(0, 20, 0, 0, 50.15));
    layout.conductors.push_back(level(0, 0, 20, 0, 50.15));
    layout.conductors.push_back(level(20, 0, 20, 20, 50.15));
    layout.conductors.push_back(level(20, 19.7, 0, 19.7, 50.15));
    layout.conductors.push_back(level(10, 0, 10, 19.7, 50.15));
    layout.conductors.push_back(level(0, 10, 20, 10, 50.15));
    const BuildingRoofs b = only(checkRoofs(layout));
    EXPECT_TRUE(b.meshPasses);
    EXPECT_EQ(b.tape, Verdict::Fail);
    ASSERT_EQ(b.roofs[0].tapeGaps.size(), 1u);
    const Segment gap = b.roofs[0].tapeGaps[0];
    EXPECT_NEAR(detailLength(gap), 20, 1e-9);
    EXPECT_NEAR(gap.a.y, 20, 1e-9);
    EXPECT_NEAR(gap.b.y, 20, 1e-9);

    // The same building 40 m high needs no tape first, though a stack on it reaches 46 m.
    layout.objects.push_back(box("烟囱", 3, 3, 4, 4, 46));
    layout.objects[0].height = 40;
    for (auto &c : layout.conductors) std::get<Wire>(c).a.z = std::get<Wire>(c).b.z = 40.15;
    EXPECT_EQ(only(checkRoofs(layout)).tape, Verdict::NotApplicable);
}

Layout downConductorsAt(int hr, double w, double d, const std::vector<Corner> &at)
{
    Layout layout{hr, {}, {box("楼", 0, 0, w, d, 10)}};
    tape(layout, {{0, 0}, {w, 0}, {w, d}, {0, d}}, 10.15);
    for (const Corner c : at) layout.conductors.push_back(upright(c.x, c.y, 0, 10.15));
    return layout;
}

// Spacings along the perimeter of a 30 × 20 m building, round its corners: 25, 25, 28 and 22 m
// from the conductor at (10, 0); the average is 100 / 4 = 25 m.
TEST(DownConductors, SpacingsRoundThePerimeterAndItsCorners)
{
    const Layout layout = downConductorsAt(45, 30, 20, {{20, 20}, {0, 12}, {10, 0}, {30, 5}});
    const DownConductorCheck d = only(checkRoofs(layout)).down;
    ASSERT_EQ(d.rings.size(), 1u);
    const ConductorRing &ring = d.rings[0];
    EXPECT_EQ(ring.kind, RingKind::Outside);
    EXPECT_NEAR(ring.length, 100, 1e-9);
    ASSERT_EQ(ring.spans.size(), 4u);
    const double lengths[] = {25, 25, 28, 22};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(ring.spans[i].length, lengths[i], 1e-9) << i;
    // Numbered from the bottom left, along the ring: the one at (10, 0) first.
    EXPECT_EQ(d.conductors[0].number, 1);
    EXPECT_NEAR(d.conductors[0].at.x, 10, 1e-9);
    EXPECT_NEAR(d.conductors[1].at.x, 30, 1e-9);
    // The first span turns the corner at (30, 0).
    ASSERT_EQ(ring.spans[0].path.size(), 3u);
    EXPECT_NEAR(ring.spans[0].path[1].x, 30, 1e-9);
    EXPECT_NEAR(ring.spans[0].path[1].y, 0, 1e-9);
    EXPECT_EQ(d.reachingGround, 4);
    EXPECT_NEAR(*d.largestSpacing, 28, 1e-9);
    EXPECT_NEAR(*d.averageSpacing, 25, 1e-9);
    EXPECT_FALSE(d.passes);
    EXPECT_TRUE(ring.spans[2].fails);
    EXPECT_FALSE(d.longSpanNote); // the average fails 18 m as well

    // Class 3 allows 25 m: the 28 m span fails, the average holds, so the long-span case may
    // apply; the verdict stays a fail.
    const DownConductorCheck third =
        only(checkRoofs(downConductorsAt(60, 30, 20, {{20, 20}, {0, 12}, {10, 0}, {30, 5}}))).down;
    EXPECT_FALSE(third.passes);
    EXPECT_TRUE(third.longSpanNote);
}

// Six conductors round a 40 × 10 m building, one span of 20 m and five of 16 m: the largest
// fails 18 m, the average 100 / 6 holds.
TEST(DownConductors, LongSpanNote)
{
    const Layout layout =
        downConductorsAt(45, 40, 10, {{0, 0}, {20, 0}, {36, 0}, {38, 10}, {22, 10}, {6, 10}});
    const DownConductorCheck d = only(checkRoofs(layout)).down;
    EXPECT_NEAR(*d.largestSpacing, 20, 1e-9);
    EXPECT_NEAR(*d.averageSpacing, 100.0 / 6, 1e-9);
    EXPECT_FALSE(d.passes);
    EXPECT_TRUE(d.longSpanNote);

    // One conductor alone counts the whole ring as its spacing, and fails the least two.
    const DownConductorCheck one = only(checkRoofs(downConductorsAt(45, 40, 10, {{0, 0}}))).down;
    EXPECT_EQ(one.reachingGround, 1);
    EXPECT_FALSE(one.enough);
    EXPECT_FALSE(one.largestSpacing);
    EXPECT_NEAR(one.rings[0].largestSpacing, 100, 1e-9);
    EXPECT_FALSE(one.passes);
}

// A courtyard is a ring of its own: conductors round the outside alone leave its 100 m
// perimeter as one spacing.
TEST(DownConductors, CourtyardRingOfItsOwn)
{
    Layout layout{45,
                  {},
                  {box("南", 0, 0, 50, 10, 15), box("北", 0, 30, 50, 40, 15),
                   box("西", 0, 10, 10, 30, 15), box("东", 40, 10, 50, 30, 15)}};
    Layout laid = layOutRoofs(layout);
    std::erase_if(laid.conductors, [](const layout::Conductor &c) {
        const auto &w = std::get<Wire>(c);
        return w.a.z != w.b.z && w.a.x >= 10 && w.a.x <= 40 && w.a.y >= 10 && w.a.y <= 30;
    });
    const BuildingRoofs b = only(checkRoofs(laid));
    ASSERT_EQ(b.down.rings.size(), 2u);
    EXPECT_EQ(b.down.rings[0].kind, RingKind::Outside);
    EXPECT_TRUE(b.down.rings[0].passes);
    const ConductorRing &yard = b.down.rings[1];
    EXPECT_EQ(yard.kind, RingKind::Courtyard);
    EXPECT_TRUE(yard.conductors.empty());
    EXPECT_NEAR(yard.largestSpacing, 100, 1e-9);
    EXPECT_FALSE(b.down.passes);
    EXPECT_TRUE(b.meshPasses);
}

// A metal stack stands on the roof, bonded; a small vent that is not metal is left to the
// sphere; a larger part is a storey with a roof of its own that cuts the roof below.
TEST(RooftopObjects, MetalStackIsBonded)
{
    Layout layout{45,
                  {},
                  {box("楼", 0, 0, 30, 20, 10), box("烟囱", 3, 3, 4, 4, 13),
                   box("风帽", 6, 3, 7, 4, 11), box("机房", 15, 5, 23, 13, 14)}};
    layout.objects[1].metal = true;
    const Layout laid = layOutRoofs(layout);
    const SiteRoofs site = checkRoofs(laid);
    const BuildingRoofs &b = site.buildings[0];
    ASSERT_EQ(b.rooftop.size(), 2u);
    EXPECT_EQ(b.rooftop[0].object, 1u);
    EXPECT_TRUE(b.rooftop[0].metal);
    EXPECT_EQ(b.rooftop[1].object, 2u);
    EXPECT_FALSE(b.rooftop[1].metal);
    ASSERT_EQ(b.roofs.size(), 2u);
    EXPECT_NEAR(b.roofs[1].area, 600 - 64, 1e-9);
    EXPECT_TRUE(b.passes());

    std::vector<layout::ObjectVerdict> sphere(4);
    sphere[2].isProtected = false;
    const std::vector<ObjectProtection> p = objectProtections(laid, site, sphere);
    EXPECT_EQ(p[0].method, Method::Mesh);
    EXPECT_TRUE(p[0].isProtected);
    EXPECT_EQ(p[1].method, Method::Bonded);
    EXPECT_TRUE(p[1].isProtected);
    EXPECT_EQ(p[2].method, Method::Sphere);
    EXPECT_FALSE(p[2].isProtected);
    EXPECT_EQ(p[3].method, Method::Mesh);
}

// A long thin cell fits 12 × 8 only lying across it on the slant, at no angle of its own edges:
// 14 m long fits (14·cos θ + 0.2·sin θ = 12 leaves 7.4 m across), 14.5 m does not, and 14 m
// does not fit 10 × 10, whose diagonal is 14.14 m.
TEST(CellFit, FindsTheSlantingPlacement)
{
    const auto thin = [](double l) {
        return detail::convexHull({{0, 0}, {l, 0}, {l, 0.2}, {0, 0.2}});
    };
    EXPECT_TRUE(detail::fitsIn(thin(14), {12, 8}));
    EXPECT_FALSE(detail::fitsIn(thin(14.5), {12, 8}));
    EXPECT_FALSE(detail::fitsIn(thin(14), {10, 10}));
    const detail::Rectangle r = detail::smallestRectangle(thin(14));
    EXPECT_NEAR(r.longSide, 14, 1e-12);
    EXPECT_NEAR(r.shortSide, 0.2, 1e-12);
}

} // namespace
} // namespace calc::roof
