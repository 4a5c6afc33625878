#include "layouts/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

using namespace calc::layout;
namespace rs = calc::rolling_sphere;

// The search finds the least clearance to within a millimetre.
constexpr double kSearchTol = 0.0011;

std::vector<Corner> box(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

ObjectVerdict check(const Layout &layout, const Object &object)
{
    return checkObject(prepareEngine(layout), object);
}

// hr 45, a rod of 30 m at the origin. The sphere resting on the tip and the ground has its
// centre at hr, sqrt(30 (90 - 30)) = 42.426 m out. A 10 m building on [2, 8] x [-3, 3]: its
// far roof corners lie sqrt(8^2 + 3^2) = 8.544 m out, inside the zone's 42.426 -
// sqrt(10 (90 - 10)) = 14.142 m radius at 10 m. Their nearest sphere centre is that resting
// one, (42.426 - 8.544) m across and 35 m up: clearance sqrt(33.882^2 + 35^2) - 45 = 3.714.
// Every other surface point is nearer the rod or lower, so farther from the centres.
TEST(LayoutCheck, BuildingInsideOneRodsZone)
{
    const Layout layout{45, {Rod{0, 0, 30}}, {}};
    const ObjectVerdict v = check(layout, {"楼", box(2, -3, 8, 3), 10});
    EXPECT_TRUE(v.isProtected);
    EXPECT_NEAR(v.leastClearance, 3.7136, kSearchTol);
    EXPECT_NEAR(v.where.x, 8, 0.01);
    EXPECT_NEAR(std::abs(v.where.y), 3, 0.01);
    EXPECT_NEAR(v.where.z, 10, 0.01);
}

// The same building, moved to [40, 46] x [-3, 3]. Beyond 42.426 m from the rod a sphere rests
// on the roof itself (its centre 45 m up, straight above, touching nothing else), reaching
// 45 - 35 = 10 m into the building; no sphere goes deeper, as no centre lies below 45 m.
TEST(LayoutCheck, SameBuildingMovedOut)
{
    const Layout layout{45, {Rod{0, 0, 30}}, {}};
    const ObjectVerdict v = check(layout, {"楼", box(40, -3, 46, 3), 10});
    EXPECT_FALSE(v.isProtected);
    EXPECT_NEAR(v.leastClearance, -10, kSearchTol);
    EXPECT_NEAR(v.where.z, 10, 0.01);
    EXPECT_GE(std::hypot(v.where.x, v.where.y), 42.426 - 0.01);
}

// hr 45, rods of 30 m at (0, 0) and 20 m at (40, 0), an 8 m building on [24, 26] x [-1, 1].
// Alone, the first rod's zone reaches 42.426 - sqrt(8 * 82) = 16.814 m at 8 m, short of the
// roof corner 26.019 m away; the second's sqrt(20 * 70) - 25.612 = 11.804 m, short of the
// corner 16.031 m away. Together: the sphere resting on both tips and the ground has its centre
// 45 m up where the circles of radius 42.426 around the first rod and 37.417 around the second
// meet, on x = 25 at y = b0 = sqrt(1800 - 25^2) = 34.278. For every roof point it is the nearest
// reachable centre (the nearest points of either circle lie inside the other, and rising along
// the tips' common circle only moves away), so the least clearance is at (25, +-1, 8):
// sqrt((34.278 - 1)^2 + 37^2) - 45 = 4.764.
TEST(LayoutCheck, TwoUnequalRodsCoverWhatNeitherCoversAlone)
{
    const Object building{"站房", box(24, -1, 26, 1), 8};
    const ObjectVerdict both = check({45, {Rod{0, 0, 30}, Rod{40, 0, 20}}, {}}, building);
    EXPECT_TRUE(both.isProtected);
    EXPECT_NEAR(both.leastClearance, 4.7639, kSearchTol);
    EXPECT_NEAR(both.where.x, 25, 0.01);
    EXPECT_NEAR(std::abs(both.where.y), 1, 0.01);
    EXPECT_NEAR(both.where.z, 8, 0.01);

    EXPECT_FALSE(check({45, {Rod{0, 0, 30}}, {}}, building).isProtected);
    EXPECT_FALSE(check({45, {Rod{40, 0, 20}}, {}}, building).isProtected);
}

// hr 30, a wire at 20 m from (0, 0) to (100, 0) over a 10 m building on [30, 70] x [-2, 2],
// 30 m in from either end. Across the wire the section is a rod's: spheres rest on the wire and
// the ground with their centres 30 m up, sqrt(20 * 40) = 28.284 m to the side. The long roof
// edges are nearest: sqrt((28.284 - 2)^2 + 20^2) - 30 = 3.028 along their whole length.
TEST(LayoutCheck, WireOverLongLowBuilding)
{
    const Layout layout{30, {Wire{{0, 0, 20}, {100, 0, 20}}}, {}};
    const ObjectVerdict v = check(layout, {"库房", box(30, -2, 70, 2), 10});
    EXPECT_TRUE(v.isProtected);
    EXPECT_NEAR(v.leastClearance, 3.0282, kSearchTol);
    EXPECT_NEAR(std::abs(v.where.y), 2, 0.01);
    EXPECT_NEAR(v.where.z, 10, 0.01);

    // Widened to [-4, 4] the long edges stay inside the zone's sqrt(800) - sqrt(500) = 5.924 m
    // at 10 m; widened to [-7, 7] they stand outside it.
    EXPECT_TRUE(check(layout, {"库房", box(30, -4, 70, 4), 10}).isProtected);
    EXPECT_FALSE(check(layout, {"库房", box(30, -7, 70, 7), 10}).isProtected);
}

// The quick verdict (sign only) gives the verdicts worked out by hand above; an unprotected
// one's witness is a surface point a sphere reaches.
struct QuickRow {
    std::string_view name;
    Layout layout;
    Object object;
    bool protectedByHand;
};

TEST(LayoutCheck, QuickVerdictsAreTheHandWorkedOnes)
{
    const Layout oneRod{45, {Rod{0, 0, 30}}, {}};
    const Layout twoRods{45, {Rod{0, 0, 30}, Rod{40, 0, 20}}, {}};
    const Layout wire{30, {Wire{{0, 0, 20}, {100, 0, 20}}}, {}};
    const std::vector<QuickRow> rows{
        {"inside one rod's zone", oneRod, {"楼", box(2, -3, 8, 3), 10}, true},
        {"moved out of it", oneRod, {"楼", box(40, -3, 46, 3), 10}, false},
        {"between unequal rods", twoRods, {"站房", box(24, -1, 26, 1), 8}, true},
        {"under a wire", wire, {"库房", box(30, -4, 70, 4), 10}, true},
        {"too wide for the wire", wire, {"库房", box(30, -7, 70, 7), 10}, false},
    };
    for (const QuickRow &row : rows) {
        const rs::Layout engine = prepareEngine(row.layout);
        const ObjectVerdict v = quickVerdict(engine, row.object);
        EXPECT_EQ(v.isProtected, row.protectedByHand) << row.name;
        if (v.isProtected) continue;
        EXPECT_LT(engine.clearance(v.where), kProtectedFrom) << row.name;
        EXPECT_GE(v.where.z, -1e-9) << row.name;
        EXPECT_LE(v.where.z, row.object.height + 1e-9) << row.name;
    }
}

// hr 30, two wires at 20 m along y = -20 and y = 20 from x = 0 to 100 over a 8 m roof on
// [30, 70] x [-18, 18]. Between the wires the sphere rolls in along their length with its centre
// 30 m from both, at z = 20 + sqrt(30^2 - 20^2) = 42.361 over y = 0, so the roof's middle line
// has clearance 42.361 - 8 - 30 = 4.361. The long edges do better: the outer spheres (centre
// 28.284 m beyond a wire, 30 m up) stay sqrt(30.284^2 + 22^2) - 30 = 7.432 away, the inner one
// sqrt(18^2 + 34.361^2) - 30 = 8.790. The worst points lie inside the roof, away from any edge.
TEST(LayoutCheck, WorstPointInsideTheRoof)
{
    const Layout layout{
        30, {Wire{{0, -20, 20}, {100, -20, 20}}, Wire{{0, 20, 20}, {100, 20, 20}}}, {}};
    const ObjectVerdict v = check(layout, {"车间", box(30, -18, 70, 18), 8});
    EXPECT_TRUE(v.isProtected);
    EXPECT_NEAR(v.leastClearance, 4.3607, kSearchTol);
    EXPECT_NEAR(v.where.y, 0, 0.05);
    EXPECT_NEAR(v.where.z, 8, 0.01);
}

// No point of the surface, sampled every 25 cm over the roof and the walls of a concave
// building among three rods and a sloping wire, lies more than the search's millimetre below
// the least clearance it reports.
TEST(LayoutCheck, NoSampledPointBelowTheLeast)
{
    const Layout layout{
        30, {Rod{0, 0, 25}, Rod{30, 5, 18}, Rod{12, 28, 22}, Wire{{0, 0, 25}, {30, 5, 18}}}, {}};
    const Object object{"L", {{4, 4}, {24, 4}, {24, 10}, {10, 10}, {10, 22}, {4, 22}}, 9};
    const ObjectVerdict v = check(layout, object);
    const rs::Layout engine = prepareEngine(layout);
    double sampled = INFINITY;
    for (double x = 4; x <= 24; x += 0.25)
        for (double y = 4; y <= 22; y += 0.25)
            if (x <= 10 || y <= 10) sampled = std::min(sampled, engine.clearance({x, y, 9}));
    const auto &fp = object.footprint;
    for (std::size_t i = 0; i < fp.size(); ++i) {
        const Corner a = fp[i], b = fp[(i + 1) % fp.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        for (double s = 0; s <= length; s += 0.25)
            for (double z = 0; z <= 9; z += 0.25) {
                const double t = s / length;
                sampled = std::min(
                    sampled, engine.clearance({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), z}));
            }
    }
    EXPECT_LE(v.leastClearance, sampled + 0.001);
    EXPECT_NEAR(engine.clearance(v.where), v.leastClearance, 1e-12);
}

// Reversing the footprint's winding changes nothing.
TEST(LayoutCheck, WindingDoesNotMatter)
{
    const Layout layout{45, {Rod{0, 0, 30}}, {}};
    const std::vector<Corner> ccw = box(2, -3, 8, 3);
    const std::vector<Corner> cw(ccw.rbegin(), ccw.rend());
    const ObjectVerdict a = check(layout, {"a", ccw, 10});
    const ObjectVerdict b = check(layout, {"b", cw, 10});
    EXPECT_NEAR(a.leastClearance, b.leastClearance, kSearchTol);
    EXPECT_EQ(a.isProtected, b.isProtected);
}

struct PolygonRow {
    std::string_view name;
    std::vector<Corner> polygon;
    bool simple;
};
class SimplePolygon : public testing::TestWithParam<PolygonRow> {};

TEST_P(SimplePolygon, IsRecognised)
{
    EXPECT_EQ(isSimplePolygon(GetParam().polygon), GetParam().simple);
}

INSTANTIATE_TEST_SUITE_P(
    Footprints, SimplePolygon,
    testing::Values(PolygonRow{"Triangle", {{0, 0}, {4, 0}, {0, 3}}, true},
                    PolygonRow{"SquareClockwise", {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, true},
                    PolygonRow{"ConcaveL", {{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 4}, {0, 4}}, true},
                    PolygonRow{"TwoCorners", {{0, 0}, {4, 0}}, false},
                    PolygonRow{"BowTie", {{0, 0}, {2, 2}, {2, 0}, {0, 2}}, false},
                    PolygonRow{"RepeatedCorner", {{0, 0}, {4, 0}, {4, 0}, {0, 3}}, false},
                    PolygonRow{"AllOnALine", {{0, 0}, {1, 0}, {2, 0}}, false},
                    PolygonRow{"FoldsBack", {{0, 0}, {3, 0}, {3, 3}, {3, 1}}, false},
                    PolygonRow{
                        "CornerTouchesAnEdge", {{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}, false},
                    PolygonRow{"NotFinite", {{0, 0}, {4, 0}, {0, NAN}}, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LayoutCheck, RejectsUnusableObjects)
{
    const auto conductors = engineConductors(std::vector<Conductor>{Rod{0, 0, 30}});
    const rs::Layout engine(conductors, 45);
    EXPECT_THROW(checkObject(engine, {"x", {{0, 0}, {1, 1}}, 5}), std::invalid_argument);
    EXPECT_THROW(checkObject(engine, {"x", box(0, 0, 1, 1), -1}), std::invalid_argument);
    EXPECT_THROW(checkObject(engine, {"x", box(0, 0, 1, 1), INFINITY}), std::invalid_argument);
}

// A check that would need more than its limits gives up, naming the object and the limit,
// whichever limit it reaches first; within the usual limits the same object is checked.
TEST(LayoutCheck, BeyondItsLimitsSaysWhichObject)
{
    Layout layout;
    layout.conductors.push_back(Wire{{0, 10, 20}, {40, 10, 20}});
    const Object object{"库房", box(0, 0, 40, 20), 12};
    const rs::Layout engine = prepareEngine(layout);
    for (const CheckLimits limits : {CheckLimits{20, 1'000'000}, CheckLimits{1'000'000, 3}}) {
        try {
            checkObject(engine, object, limits);
            ADD_FAILURE() << "no limit reached";
        } catch (const rs::LimitExceeded &e) {
            const std::string_view what = e.what();
            EXPECT_NE(what.find("库房"), std::string_view::npos) << what;
            EXPECT_NE(what.find("超出校核"), std::string_view::npos) << what;
        }
    }
    EXPECT_NO_THROW(checkObject(engine, object));
}

// A bare footprint, however large, has its least where a sphere rests on its roof: settled at
// once, the sphere's depth into it exactly.
TEST(LayoutCheck, BareFootprintOfAnySizeAtOnce)
{
    const Layout layout;
    const rs::Layout engine = prepareEngine(layout);
    const Object object{"厂区", box(-2000, -1500, 2000, 1500), 14};
    const ObjectVerdict v = checkObject(engine, object, CheckLimits{5000, 5000});
    EXPECT_FALSE(v.isProtected);
    EXPECT_NEAR(v.leastClearance, -14, 1e-12);
}

TEST(LayoutConductors, RodStandsOnTheGround)
{
    const auto c =
        engineConductors(std::vector<Conductor>{Rod{1, 2, 30}, Wire{{0, 0, 5}, {9, 0, 7}}});
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].a.z, 0);
    EXPECT_EQ(c[0].b.z, 30);
    EXPECT_EQ(c[0].a.x, 1);
    EXPECT_EQ(c[1].b.z, 7);
}

ClosedFormCheck closedForm(const Layout &layout)
{
    const auto check = closedFormCheck(layout, prepareEngine(layout));
    EXPECT_TRUE(check.has_value());
    return check.value_or(ClosedFormCheck{});
}

// The rods of the unequal-pair case above: D1 = (25^2 - 15^2 + 40^2) / 80 = 25,
// h0 = 45 - sqrt(15^2 + 25^2) = 15.845, b0 = sqrt(30 * 60 - 25^2) = 34.278.
TEST(ClosedForms, TwoUnequalRodsAgree)
{
    const ClosedFormCheck c = closedForm({45, {Rod{0, 0, 30}, Rod{40, 0, 20}}, {}});
    EXPECT_EQ(c.kind, ClosedFormKind::TwoRods);
    EXPECT_DOUBLE_EQ(c.distance, 25);
    ASSERT_EQ(c.values.size(), 2u);
    EXPECT_NEAR(c.values[0].closedForm, 15.8452, 1e-4);
    EXPECT_NEAR(c.values[1].closedForm, 34.2783, 1e-4);
    EXPECT_TRUE(c.agrees());
}

// A square of 40 m with rods of 20 m, hr 45: the diagonal is 56.569 and
// h0 = sqrt(45^2 - 28.284^2) + 20 - 45 = 35 - 25 = 10; the sides' middles stand higher, at
// 45 - sqrt(25^2 + 20^2) = 12.984.
TEST(ClosedForms, SquareOfFourRodsAgrees)
{
    const ClosedFormCheck c =
        closedForm({45, {Rod{0, 0, 20}, Rod{40, 0, 20}, Rod{40, 40, 20}, Rod{0, 40, 20}}, {}});
    EXPECT_EQ(c.kind, ClosedFormKind::FourRodRectangle);
    ASSERT_EQ(c.values.size(), 1u);
    EXPECT_NEAR(c.values[0].closedForm, 10, 1e-9);
    EXPECT_NEAR(c.values[0].engine, 10, 0.001);
    EXPECT_TRUE(c.agrees());
}

// A 60 x 10 m rectangle, same rods: the closed form's centre h0 = sqrt(45^2 - 30.414^2) - 25 =
// 8.166, but a sphere resting outside a long side sinks to 45 - sqrt(25^2 + 30^2) = 5.949 at
// that side's middle, and the check says the two disagree.
TEST(ClosedForms, NarrowRectangleDisagrees)
{
    const ClosedFormCheck c =
        closedForm({45, {Rod{0, 0, 20}, Rod{60, 0, 20}, Rod{60, 10, 20}, Rod{0, 10, 20}}, {}});
    ASSERT_EQ(c.values.size(), 1u);
    EXPECT_NEAR(c.values[0].closedForm, 8.1662, 1e-4);
    EXPECT_NEAR(c.values[0].engine, 5.9490, 0.001);
    EXPECT_FALSE(c.agrees());
}

struct NoFormRow {
    std::string_view name;
    Layout layout;
};
class NoClosedForm : public testing::TestWithParam<NoFormRow> {};

TEST_P(NoClosedForm, IsOffered)
{
    const Layout &layout = GetParam().layout;
    EXPECT_FALSE(closedFormCheck(layout, prepareEngine(layout)).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, NoClosedForm,
    testing::Values(
        NoFormRow{"OneRod", {45, {Rod{0, 0, 30}}, {}}},
        NoFormRow{"TwoRodsTooFarApart", {45, {Rod{0, 0, 20}, Rod{80, 0, 20}}, {}}},
        NoFormRow{"RodAndWire", {45, {Rod{0, 0, 20}, Wire{{5, 0, 10}, {9, 0, 10}}}, {}}},
        NoFormRow{"FourUnequalRods",
                  {45, {Rod{0, 0, 20}, Rod{40, 0, 20}, Rod{40, 40, 20}, Rod{0, 40, 25}}, {}}},
        NoFormRow{"FourRodsNotARectangle",
                  {45, {Rod{0, 0, 20}, Rod{40, 0, 20}, Rod{30, 40, 20}, Rod{0, 40, 20}}, {}}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
