#include "layouts/layout_sheet.h"
#include "layouts/layout_zone.h"

#include "../sheets/sheet_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using namespace sheet_test;
using calc::layout::Layout;
using calc::layout::Object;
using calc::layout::Rod;
using calc::layout::Wire;

// A rod of height h protects, at height z, the disc of radius
// sqrt(h (2hr - h)) - sqrt(z (2hr - z)) about its foot (GB 50057-2010 附录D).
double singleRodRadius(double h, double hr, double z)
{
    return std::sqrt(h * (2 * hr - h)) - std::sqrt(z * (2 * hr - z));
}

Object box(std::string name, double x0, double y0, double x1, double y1, double height)
{
    return {std::move(name), {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, height};
}

const Table *resultTable(const Sheet &sheet)
{
    const Section *result = findSection(sheet, kResultHeading);
    if (!result || result->blocks.empty()) return nullptr;
    return std::get_if<Table>(&result->blocks.front());
}

// Rod 20 m, hr 45: at 5 m the zone reaches 37.417 - 20.616 = 16.801 m from the rod. A 4 x 4 m
// block whose farthest corner is 8.5 m away is inside; one 30 m away is not.
TEST(LayoutSheet, VerdictsAndConclusion)
{
    const Layout layout{
        45, {Rod{0, 0, 20}}, {box("1#楼", 2, 2, 6, 6, 5), box("2#楼", 30, 0, 34, 4, 5)}};
    const Sheet sheet = calc::layoutSheet(layout, 5, "2026-12-07");
    EXPECT_EQ(sheet.title, "防雷布置计算书");
    EXPECT_FALSE(sheet.error);
    EXPECT_EQ(entryValue(sheet, kInputHeading, "防雷类别"), "2类 hr=45米");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "滚球半径"), "45 m");

    const Table *table = resultTable(sheet);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rows.size(), 2u);
    EXPECT_EQ(table->rows[0][0], "1#楼");
    EXPECT_EQ(table->rows[0][1], "受保护");
    EXPECT_EQ(table->rows[1][1], "未受保护");
    // The worst point of the far block is its far roof corner... or nearer; it is reached by
    // the sphere, so its clearance is negative.
    EXPECT_EQ(table->rows[1][2].front(), '-');
    EXPECT_TRUE(contains(paragraphs(sheet, kConclusionHeading), "2#楼"));
    EXPECT_FALSE(contains(paragraphs(sheet, kConclusionHeading), "1#楼"));
    EXPECT_TRUE(contains(paragraphs(sheet, kCrossCheckHeading), "不适用"));
    EXPECT_TRUE(contains(plainText(sheet), "避雷针"));
}

TEST(LayoutSheet, DrawingColoursObjectsByVerdict)
{
    const Layout layout{
        45, {Rod{0, 0, 20}}, {box("1#楼", 2, 2, 6, 6, 5), box("2#楼", 30, 0, 34, 4, 5)}};
    const Sheet sheet = calc::layoutSheet(layout, 5, "2026-12-07");
    ASSERT_GE(sheet.drawing.views.size(), 3u); // the plan and one section per object
    const View &plan = sheet.drawing.views[0];
    int inside = 0, outside = 0, fills = 0;
    for (const Path &p : plan.paths) {
        inside += p.ink == Ink::Object;
        outside += p.ink == Ink::ObjectOutside;
        fills += p.ink == Ink::ZoneFill;
    }
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(outside, 1);
    EXPECT_GT(fills, 0);
}

struct CrossCheckRow {
    std::string_view name;
    Layout layout;
    std::string_view remark;
};
class LayoutSheetCrossCheck : public testing::TestWithParam<CrossCheckRow> {};

TEST_P(LayoutSheetCrossCheck, SaysWhetherTheClosedFormHolds)
{
    const Sheet sheet = calc::layoutSheet(GetParam().layout, 0, "2026-12-07");
    EXPECT_TRUE(contains(paragraphs(sheet, kCrossCheckHeading), GetParam().remark))
        << paragraphs(sheet, kCrossCheckHeading);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutSheetCrossCheck,
    testing::Values(
        CrossCheckRow{"TwoRods", {45, {Rod{0, 0, 20}, Rod{30, 0, 25}}, {}}, "一致"},
        CrossCheckRow{"Square",
                      {45, {Rod{0, 0, 20}, Rod{30, 0, 20}, Rod{30, 30, 20}, Rod{0, 30, 20}}, {}},
                      "一致"},
        // The 60 x 10 m rectangle dips to 5.949 m at its long sides against the closed form's
        // 8.166 m.
        CrossCheckRow{"NarrowRectangle",
                      {45, {Rod{0, 0, 20}, Rod{60, 0, 20}, Rod{60, 10, 20}, Rod{0, 10, 20}}, {}},
                      "偏不安全"},
        CrossCheckRow{
            "RodAndWire", {45, {Rod{0, 0, 20}, Wire{{0, 10, 15}, {30, 10, 15}}}, {}}, "不适用"}),
    [](const auto &info) { return std::string(info.param.name); });

// The closed-form check on its own, as the designer shows it: the values of the closed form
// worked out by hand beside the engine's. Two rods of 20 and 25 m, 30 m apart (hr 45): the
// zone's lowest line lies D1 = (20^2 - 25^2 + 30^2) / 60 = 11.25 m from the first, where
// h0 = 45 - sqrt(25^2 + 11.25^2) = 17.585 m and b0 = sqrt(20 x 70 - 11.25^2) = 35.685 m. A
// 40 m square of 20 m rods: h0 = sqrt(45^2 - 800) + 20 - 45 = 10 m, its sides dipping only to
// 45 - sqrt(25^2 + 20^2) = 12.984 m. The 60 x 10 m rectangle: h0 = sqrt(45^2 - 925) - 25 =
// 8.166 m, but its long sides dip to the two-rod 45 - sqrt(25^2 + 30^2) = 5.949 m.
struct ClosedFormRow {
    std::string_view name;
    Layout layout;
    std::vector<std::vector<std::string>> rows;
    std::string_view introduction;
    std::string_view conclusion;
};
class LayoutCrossCheckValues : public testing::TestWithParam<ClosedFormRow> {};

TEST_P(LayoutCrossCheckValues, ClosedFormBesideTheEngine)
{
    const Layout &layout = GetParam().layout;
    const auto blocks = calc::layoutCrossCheck(layout, calc::layout::prepareEngine(layout));
    ASSERT_EQ(blocks.size(), 3u);
    const auto *introduction = std::get_if<Paragraph>(&blocks[0]);
    const auto *table = std::get_if<Table>(&blocks[1]);
    const auto *conclusion = std::get_if<Paragraph>(&blocks[2]);
    ASSERT_TRUE(introduction && table && conclusion);
    EXPECT_TRUE(contains(introduction->text, GetParam().introduction)) << introduction->text;
    EXPECT_EQ(table->header,
              (std::vector<std::string>{"量", "闭合公式 / m", "滚球法精确几何 / m", "对照"}));
    // The engine's measure is shown to the millimetre and agrees within one: its last digit may
    // differ from the closed form's by one.
    ASSERT_EQ(table->rows.size(), GetParam().rows.size());
    for (std::size_t i = 0; i < table->rows.size(); ++i) {
        const auto &row = table->rows[i], &expected = GetParam().rows[i];
        ASSERT_EQ(row.size(), 4u);
        EXPECT_EQ(row[0], expected[0]);
        EXPECT_EQ(row[1], expected[1]);
        EXPECT_NEAR(std::stod(row[2]), std::stod(expected[2]), 0.0015) << row[0];
        EXPECT_EQ(row[3], expected[3]);
    }
    EXPECT_TRUE(contains(conclusion->text, GetParam().conclusion)) << conclusion->text;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutCrossCheckValues,
    testing::Values(
        ClosedFormRow{"UnequalRods",
                      {45, {Rod{0, 0, 20}, Rod{30, 0, 25}}, {}},
                      {{"h0", "17.585", "17.585", "一致"}, {"b0", "35.685", "35.685", "一致"}},
                      "D1 = 11.250 m",
                      "闭合公式在此适用"},
        ClosedFormRow{"Square",
                      {45, {Rod{0, 0, 20}, Rod{40, 0, 20}, Rod{40, 40, 20}, Rod{0, 40, 20}}, {}},
                      {{"h0", "10.000", "10.000", "一致"}},
                      "D3 = 56.569 m",
                      "闭合公式在此适用"},
        ClosedFormRow{"NarrowRectangle",
                      {45, {Rod{0, 0, 20}, Rod{60, 0, 20}, Rod{60, 10, 20}, Rod{0, 10, 20}}, {}},
                      {{"h0", "8.166", "5.949", "不一致"}},
                      "D3 = 60.828 m",
                      "偏不安全"}),
    [](const auto &info) { return std::string(info.param.name); });

// Layouts no closed form fits: the check says so in one paragraph.
struct NoClosedFormRow {
    std::string_view name;
    Layout layout;
};
class LayoutCrossCheckNone : public testing::TestWithParam<NoClosedFormRow> {};

TEST_P(LayoutCrossCheckNone, SaysNoClosedFormApplies)
{
    const Layout &layout = GetParam().layout;
    const auto blocks = calc::layoutCrossCheck(layout, calc::layout::prepareEngine(layout));
    ASSERT_EQ(blocks.size(), 1u);
    const auto *paragraph = std::get_if<Paragraph>(&blocks[0]);
    ASSERT_NE(paragraph, nullptr);
    EXPECT_TRUE(contains(paragraph->text, "附录D的闭合公式不适用")) << paragraph->text;
}

// Two 20 m rods protect jointly (hr 45) only closer than 2 sqrt(20 x 70) = 74.833 m.
INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutCrossCheckNone,
    testing::Values(
        NoClosedFormRow{"ThreeRods", {45, {Rod{0, 0, 20}, Rod{20, 0, 20}, Rod{10, 15, 20}}, {}}},
        NoClosedFormRow{"TwoRodsTooFarApart", {45, {Rod{0, 0, 20}, Rod{75, 0, 20}}, {}}},
        NoClosedFormRow{"FourRodsNotARectangle",
                        {45, {Rod{0, 0, 20}, Rod{40, 0, 20}, Rod{45, 40, 20}, Rod{0, 40, 20}}, {}}},
        NoClosedFormRow{"NoConductors", {45, {}, {}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LayoutSheet, UnusableLayoutGivesAnErrorSheet)
{
    const Sheet sheet = calc::layoutSheet(Layout{50, {Rod{0, 0, 20}}, {}}, 0, "2026-12-07");
    EXPECT_TRUE(sheet.error);
    EXPECT_TRUE(sheet.drawing.views.empty());
    EXPECT_FALSE(sheet.drawing.emptyReason.empty());
}

// The outline at a height against the single rod's closed form, and the section's top of the
// zone over the rod's foot (the rod's height) and at 10 m from it: the height z where
// singleRodRadius(20, 45, z) = 10, i.e. sqrt(z (90 - z)) = 27.417: z = 45 - sqrt(2025 - 751.69)
// = 9.316.
TEST(LayoutZone, OutlineAndProfileOfOneRod)
{
    const Layout layout{45, {Rod{0, 0, 20}}, {}};
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    for (double z : {0.5, 5.0, 12.0}) {
        const auto zone = calc::layout::planZone(engine, calc::layout::planBox(layout), z, 2.0);
        ASSERT_EQ(zone.outline.size(), 1u) << z;
        const double r = singleRodRadius(20, 45, z);
        ASSERT_GT(zone.outline[0].size(), 20u);
        for (const Vec2 &p : zone.outline[0]) EXPECT_NEAR(std::hypot(p.x, p.y), r, 0.05) << z;
        EXPECT_EQ(zone.outline[0].front(), zone.outline[0].back());
    }
    const auto profile = calc::layout::zoneProfile(engine, {0, 0}, {10, 0}, 20, 1);
    ASSERT_EQ(profile.size(), 2u);
    EXPECT_NEAR(profile[0].y, 20, 0.01);
    const double z10 = 45 - std::sqrt(45 * 45 - std::pow(std::sqrt(20.0 * 70) - 10, 2));
    EXPECT_NEAR(z10, 9.316, 0.001);
    EXPECT_NEAR(profile[1].y, z10, 0.01);
}

// Whether (x, y) lies in one of the zone's fill polygons (crossing count).
bool inFill(const calc::layout::PlanZone &zone, double x, double y)
{
    for (const auto &polygon : zone.fill) {
        bool inside = false;
        for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
            const Vec2 a = polygon[i], b = polygon[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        if (inside) return true;
    }
    return false;
}

// On the ground the zone is found from where a sphere could rest: the rod's ground radius
// sqrt(20 (90 - 20)) = 37.417.
TEST(LayoutZone, GroundOutlineOfOneRod)
{
    const Layout layout{45, {Rod{0, 0, 20}}, {}};
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    const auto zone = calc::layout::planZone(engine, calc::layout::planBox(layout), 0, 2.0);
    ASSERT_EQ(zone.outline.size(), 1u);
    for (const Vec2 &p : zone.outline[0]) EXPECT_NEAR(std::hypot(p.x, p.y), 37.417, 0.05);
}

// A mixed layout: rods, a slanting wire and a down conductor.
Layout mixedLayout()
{
    return {30,
            {Rod{0, 0, 25}, Rod{40, 5, 15}, Wire{{0, 0, 25}, {-20, 30, 18}},
             Wire{{40, 5, 15}, {40, 5, 0}}},
            {}};
}

class ZoneAtHeight : public testing::TestWithParam<double> {};

// The area agrees with the engine's clearance at points of the plan whose whole neighbourhood
// of a grid cell's diagonal is on one side (the grid shows no finer detail).
TEST_P(ZoneAtHeight, FillAgreesWithTheEngine)
{
    const double z = GetParam();
    const Layout layout = mixedLayout();
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    const auto box = calc::layout::planBox(layout);
    const auto zone = calc::layout::planZone(engine, box, z, 2.0);
    int checked = 0;
    const auto protectedAt = [&](double x, double y) { return engine.clearance({x, y, z}) > 1e-9; };
    for (double x = box.minX; x <= box.maxX; x += 1.7)
        for (double y = box.minY; y <= box.maxY; y += 1.3) {
            const bool here = protectedAt(x, y);
            bool uniform = true;
            for (int k = 0; k < 8 && uniform; ++k)
                uniform = protectedAt(x + 2.9 * std::cos(k * 0.785398),
                                      y + 2.9 * std::sin(k * 0.785398)) == here;
            if (!uniform) continue;
            ++checked;
            EXPECT_EQ(inFill(zone, x, y), here) << x << ", " << y;
        }
    EXPECT_GT(checked, 300);
}

// Above the ground the outline lies on the zone's edge: no point of it, and no middle of a
// chord between two of them, is farther from the edge than the 2 cm asked for (the clearance
// changes no faster than the point moves, so it is no larger there than that). On the ground
// the whole outside has clearance 0; higher up than these, the zone along the wire narrows
// below a cell, where the grid may close the outline across it.
class OutlineAtHeight : public testing::TestWithParam<double> {};

TEST_P(OutlineAtHeight, LiesOnTheEdge)
{
    const double z = GetParam();
    const Layout layout = mixedLayout();
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    const auto zone = calc::layout::planZone(engine, calc::layout::planBox(layout), z, 2.0, 0.02);
    ASSERT_FALSE(zone.outline.empty());
    std::size_t points = 0;
    for (const auto &line : zone.outline)
        for (std::size_t k = 0; k < line.size(); ++k) {
            ++points;
            EXPECT_LE(std::abs(engine.clearance({line[k].x, line[k].y, z})), 0.02) << k;
            if (k == 0) continue;
            const Vec2 m{(line[k - 1].x + line[k].x) / 2, (line[k - 1].y + line[k].y) / 2};
            EXPECT_LE(std::abs(engine.clearance({m.x, m.y, z})), 0.02) << k;
        }
    EXPECT_GT(points, 50u);
}

std::string heightName(const testing::TestParamInfo<double> &info)
{
    return "At" + std::to_string(static_cast<int>(info.param)) + "m";
}

INSTANTIATE_TEST_SUITE_P(LayoutZone, ZoneAtHeight, testing::Values(0.0, 6.0, 12.0, 20.0),
                         heightName);
INSTANTIATE_TEST_SUITE_P(LayoutZone, OutlineAtHeight, testing::Values(3.0, 6.0, 12.0), heightName);

// Where the zone narrows to less than a grid cell, the outline still follows its edge on the
// plan: around each point of it and each chord's middle, within 3 cm (the 2 cm asked and a
// margin), lie points inside the zone and outside it. Two rods 30 m apart, whose zones join in
// a waist about 1.6 m wide at 15 m and part at 16 m, and the mixed layout, whose zone along
// the slanting wire tapers to a neck at 18 to 21 m.
struct NarrowCase {
    const char *name;
    Layout layout;
    double z;
};

class OutlineOnThePlan : public testing::TestWithParam<NarrowCase> {};

TEST_P(OutlineOnThePlan, FollowsTheEdge)
{
    const auto &[name, layout, z] = GetParam();
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    const auto zone = calc::layout::planZone(engine, calc::layout::planBox(layout), z, 2.0, 0.02);
    ASSERT_FALSE(zone.outline.empty());
    const auto nearEdge = [&](Vec2 p) {
        bool in = false, out = false;
        for (int k = 0; k < 32; ++k) {
            const bool inside =
                calc::layout::insideZone(engine, p.x + 0.03 * std::cos(k * M_PI / 16),
                                         p.y + 0.03 * std::sin(k * M_PI / 16), z);
            (inside ? in : out) = true;
        }
        return in && out;
    };
    for (const auto &line : zone.outline)
        for (std::size_t k = 1; k < line.size(); ++k) {
            EXPECT_TRUE(nearEdge(line[k])) << line[k].x << ", " << line[k].y;
            const Vec2 m{(line[k - 1].x + line[k].x) / 2, (line[k - 1].y + line[k].y) / 2};
            EXPECT_TRUE(nearEdge(m)) << m.x << ", " << m.y;
        }
}

Layout twoRods() { return {45, {Rod{0, 0, 20}, Rod{30, 0, 20}}, {}}; }

INSTANTIATE_TEST_SUITE_P(LayoutZone, OutlineOnThePlan,
                         testing::Values(NarrowCase{"TwoRodsAt15m", twoRods(), 15},
                                         NarrowCase{"TwoRodsAt16m", twoRods(), 16},
                                         NarrowCase{"MixedAt18m", mixedLayout(), 18},
                                         NarrowCase{"MixedAt19m", mixedLayout(), 19},
                                         NarrowCase{"MixedAt20m", mixedLayout(), 20},
                                         NarrowCase{"MixedAt21m", mixedLayout(), 21}),
                         [](const auto &info) { return std::string(info.param.name); });

// The waist between the two rods' zones at 15 m (the point midway between them is inside)
// joins them in one outline.
TEST(LayoutZone, TwoRodsZonesJoinedByAWaistHaveOneOutline)
{
    const Layout layout = twoRods();
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    ASSERT_TRUE(calc::layout::insideZone(engine, 15, 0, 15));
    const auto zone = calc::layout::planZone(engine, calc::layout::planBox(layout), 15, 2.0, 0.02);
    EXPECT_EQ(zone.outline.size(), 1u);
    EXPECT_TRUE(inFill(zone, 15, 0));
}

// A cage no sphere can enter (hr 30, rods 60 m tall at the corners of a 50 m square, wires
// along the top edges): the ground inside it is protected though a sphere would fit there.
TEST(LayoutZone, GroundInsideAClosedCageIsProtected)
{
    Layout layout{30, {Rod{0, 0, 60}, Rod{50, 0, 60}, Rod{50, 50, 60}, Rod{0, 50, 60}}, {}};
    const std::array<calc::rolling_sphere::Point, 4> tops{
        {{0, 0, 60}, {50, 0, 60}, {50, 50, 60}, {0, 50, 60}}};
    for (std::size_t i = 0; i < 4; ++i)
        layout.conductors.push_back(Wire{tops[i], tops[(i + 1) % 4]});
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    const auto zone = calc::layout::planZone(engine, calc::layout::planBox(layout), 0, 2.0);
    EXPECT_TRUE(inFill(zone, 25, 25));
    EXPECT_FALSE(inFill(zone, 25, -20));
}

} // namespace

namespace {

// Along y = 0 from x = -30: the rod at s = 30 to its height, the block cut from s = 35 to 39 at
// its height 5 and protected (its farthest corner is sqrt(9² + 2²) = 9.2 m from the rod, inside
// the 16.801 m the zone reaches at 5 m), the wire crossing the line at (10, 0, 15) a dot there.
TEST(LayoutSection, CutsRodsWiresAndObjects)
{
    const Layout layout{
        45, {Rod{0, 0, 20}, Wire{{10, -5, 15}, {10, 5, 15}}}, {box("块", 5, -2, 9, 2, 5)}};
    const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
    const auto verdicts = calc::layout::checkObjects(layout);
    const View view = calc::layoutSection(layout, verdicts, engine, {-30, 0}, {30, 0}, "剖面");
    bool rod = false, object = false;
    for (const Path &p : view.paths) {
        rod = rod || (p.ink == Ink::Rod && p.points == std::vector<Vec2>{{30, 0}, {30, 20}});
        object = object || (p.ink == Ink::Object &&
                            p.points == std::vector<Vec2>{{35, 0}, {35, 5}, {39, 5}, {39, 0}});
    }
    EXPECT_TRUE(rod);
    EXPECT_TRUE(object);
    ASSERT_EQ(view.markers.size(), 1u);
    EXPECT_NEAR(view.markers[0].at.x, 40, 1e-9);
    EXPECT_NEAR(view.markers[0].at.y, 15, 1e-9);
}

} // namespace
