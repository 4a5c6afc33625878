#include "layouts/building_strikes.h"
#include "layouts/equivalent_area.h"

#include "calc/strike_count.h"
#include "sheets/sheet_format.h"
#include "sheets/strike_count_sheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace {

using namespace calc::layout;
using calc::BuildingGroup;
using calc::StrikeClass;

constexpr double kPi = std::numbers::pi;

std::vector<Corner> box(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

Object part(std::string name, std::vector<Corner> footprint, double height,
            std::string building = {})
{
    return {std::move(name), std::move(footprint), height, std::move(building)};
}

LayoutStrikes strikes(std::vector<Object> objects, StrikeSite site = {"北京"})
{
    Layout layout;
    layout.objects = std::move(objects);
    layout.site = std::move(site);
    return layoutStrikes(layout);
}

// Ae in m², for comparing with areas worked out by hand.
double squareMetres(const BuildingStrikes &b) { return b.ae * 1e6; }

std::string sixDecimals(double x)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", x);
    return text;
}

// ∫₀ᵃ √(R² − u²) du: the area under a circle's arc, for the hand-worked areas below.
double underArc(double a, double r)
{
    return (a * std::sqrt(r * r - a * a) + r * r * std::asin(a / r)) / 2;
}

// A rectangle's area is the closed form [LW + 2(L+W)D + πH(200 − H)]·10⁻⁶, or
// [LW + 2H(L+W) + πH²]·10⁻⁶ from 100 m, whatever its corners' order and place.
TEST(BuildingStrikes, RectanglesAreTheClosedForms)
{
    // 40×20×30: D = √5100 = 71.414284; 800 + 120·71.414284 + 5100π = 25391.8366 m².
    const auto low = strikes({part("甲", {{10, 5}, {10, 25}, {50, 25}, {50, 5}}, 30)});
    ASSERT_EQ(low.buildings.size(), 1u);
    EXPECT_EQ(sixDecimals(low.buildings[0].ae), "0.025392");
    EXPECT_NEAR(squareMetres(low.buildings[0]), 800 + 120 * std::sqrt(5100.0) + 5100 * kPi, 1e-6);
    EXPECT_EQ(low.buildings[0].aeError, 0);
    // 30×30×120: 900 + 2·120·60 + 14400π = 60538.9342 m².
    const auto tall = strikes({part("乙", box(-15, -15, 15, 15), 120)});
    EXPECT_EQ(sixDecimals(tall.buildings[0].ae), "0.060539");
    EXPECT_NEAR(squareMetres(tall.buildings[0]), 900 + 14400 + 14400 * kPi, 1e-6);
    // Both formulas give D = 100 at 100 m: 10×10 → 100 + 4000 + 10000π.
    const auto edge = strikes({part("丙", box(0, 0, 10, 10), 100)});
    EXPECT_NEAR(squareMetres(edge.buildings[0]), 4100 + 10000 * kPi, 1e-6);
}

// The same building in the calculator's strike-count sheet: its cross-check (exact π,
// Ng = 0.1·Td) shows the same Ae′ and N′ to the last digit.
TEST(BuildingStrikes, RectanglesMatchTheCalculatorsCrossCheck)
{
    struct Row {
        const char *l, *w, *h;
        std::int16_t setting, city;
    };
    for (const Row row :
         {Row{"50", "20", "30", 0, 0}, Row{"50", "20", "150", 0, 0}, Row{"20", "10", "8", 0, 6},
          Row{"200", "100", "150", 1, 8}, Row{"60", "40", "99.9", 2, 3}}) {
        const double l = std::stod(row.l), w = std::stod(row.w), h = std::stod(row.h);
        const double k = calc::strike_count::kSettings[static_cast<std::size_t>(row.setting)].k;
        const auto result = strikes({part("楼", box(0, 0, l, w), h)},
                                    {std::string(calc::cityName(row.city)), {}, k});
        ASSERT_EQ(result.site, SiteState::Ready);
        const BuildingStrikes &b = result.buildings.at(0);
        const auto sheet = calc::strikeCountSheet(row.l, row.w, row.h, row.setting, row.city, "");
        std::string ae, n;
        for (const auto &section : sheet.sections)
            for (const auto &block : section.blocks)
                if (const auto *steps = std::get_if<std::vector<calc::sheet::Step>>(&block))
                    for (const auto &step : *steps) {
                        if (step.symbol == "Ae′") ae = step.value;
                        if (step.symbol == "N′") n = step.value;
                    }
        EXPECT_EQ(calc::sheet::quantityText(b.ae) + " km²", ae) << row.h;
        ASSERT_TRUE(b.n);
        EXPECT_EQ(calc::sheet::quantityText(*b.n) + " 次/a", n) << row.h;
    }
}

// Arms 20 m wide, 100 m long; H = 10, D = √1900. The inner sides' lines meet at (20 + D, 20 + D),
// so the area is A + P·D + the five convex corners' quarter circles − the square counted twice at
// the inner corner: 3600 + 400D + 5π·1900/4 − 1900.
TEST(BuildingStrikes, LShape)
{
    const auto r =
        strikes({part("L", {{0, 0}, {100, 0}, {100, 20}, {20, 20}, {20, 100}, {0, 100}}, 10)});
    const double d = std::sqrt(1900.0);
    EXPECT_NEAR(squareMetres(r.buildings[0]), 1700 + 400 * d + 5 * kPi * 1900 / 4, 0.01);
    EXPECT_LE(r.buildings[0].aeError, 1e-8);
    EXPECT_EQ(sixDecimals(r.buildings[0].ae), "0.026597");
}

// A 100 m square building round a 60 m court, open by a 10 m gap: at H = 2 (D = √396 = 19.90)
// the gap closes and the court, farther than D from every wall, is a hole, filled. The outline is
// the square's grown by D but for a dent over the gap between the arcs about its two corners:
// 10·D − 2∫₀⁵√(D² − u²)du.
TEST(BuildingStrikes, UShapeWhoseOpeningClosesUp)
{
    const auto r = strikes({part("回",
                                 {{0, 0},
                                  {100, 0},
                                  {100, 100},
                                  {55, 100},
                                  {55, 80},
                                  {80, 80},
                                  {80, 20},
                                  {20, 20},
                                  {20, 80},
                                  {45, 80},
                                  {45, 100},
                                  {0, 100}},
                                 2)});
    const double d = std::sqrt(396.0);
    const double dent = 10 * d - 2 * underArc(5, d);
    EXPECT_NEAR(squareMetres(r.buildings[0]), 10000 + 400 * d + 396 * kPi - dent, 0.01);
    EXPECT_EQ(r.buildings[0].outline.size(), 1u);
}

// Four bars round a court: one building, and its court counts.
TEST(BuildingStrikes, CourtBetweenPartsIsFilled)
{
    const auto r =
        strikes({part("南", box(0, 0, 100, 20), 2), part("北", box(0, 80, 100, 100), 2),
                 part("西", box(0, 20, 20, 80), 2), part("东", box(80, 20, 100, 80), 2)});
    ASSERT_EQ(r.buildings.size(), 1u);
    EXPECT_EQ(r.buildings[0].parts, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_NEAR(squareMetres(r.buildings[0]), 10000 + 400 * std::sqrt(396.0) + 396 * kPi, 0.01);
}

// A 20 m tower of 40 m (D = 80) at the end of a 100×20 podium of 10 m (D = √1900). Symmetric
// about y = 10; above it the outline is the tower's arc about (0, 20) to x = −80, the tower's top
// y = 100, its arc about (20, 20) down to where it meets the podium's side line y = 20 + √1900 at
// x = 20 + √4500, that line to x = 100, and the podium's arc about (100, 20).
TEST(BuildingStrikes, TowerOnAPodium)
{
    const auto r =
        strikes({part("裙房", box(0, 0, 100, 20), 10), part("塔楼", box(0, 0, 20, 20), 40)});
    ASSERT_EQ(r.buildings.size(), 1u);
    EXPECT_EQ(r.buildings[0].name, "塔楼");
    EXPECT_DOUBLE_EQ(r.buildings[0].widths[1], 80);
    const double p = std::sqrt(1900.0), a = std::sqrt(4500.0);
    const double half = (800 + 6400 * kPi / 4) + 1800 + (10 * a + underArc(a, 80)) +
                        (80 - a) * (10 + p) + (10 * p + 1900 * kPi / 4);
    EXPECT_NEAR(squareMetres(r.buildings[0]), 2 * half, 0.01);
    EXPECT_LE(r.buildings[0].aeError, 1e-8);
}

// 30×20 of 20 m (D = 60) beside 30×20 of 10 m (D = √1900): symmetric about y = 10; above it the
// higher part's arcs and top, then the lower part's arc about (60, 20) from where the two arcs
// cross, x = 220/3.
TEST(BuildingStrikes, TwoPartsSideBySideAtDifferentHeights)
{
    const auto r = strikes({part("高", box(0, 0, 30, 20), 20), part("低", box(30, 0, 60, 20), 10)});
    ASSERT_EQ(r.buildings.size(), 1u);
    const double p = std::sqrt(1900.0), u = 130.0 / 3, v = 40.0 / 3;
    const double half = (600 + 900 * kPi) + 2100 + (10 * u + underArc(u, 60)) +
                        (10 * (p - v) + 1900 * kPi / 4 - underArc(v, p));
    EXPECT_NEAR(squareMetres(r.buildings[0]), 2 * half, 0.01);
}

// A 120 m tower (D = H) in the middle of a 60×40 podium of 20 m: the podium's grown outline lies
// wholly within the tower's (its farthest point is 60 + 22.4 m from the tower), so Ae is the
// tower's alone: 400 + 80·120 + 14400π.
TEST(BuildingStrikes, PartOfOneHundredMetresOrMore)
{
    const auto r =
        strikes({part("裙房", box(0, 0, 60, 40), 20), part("塔", box(20, 10, 40, 30), 120)});
    EXPECT_DOUBLE_EQ(r.buildings[0].widths[1], 120);
    EXPECT_NEAR(squareMetres(r.buildings[0]), 10000 + 14400 * kPi, 0.01);
}

// Each 20×10 of 10 m alone: 200 + 60·√1900 + 1900π.
const double kSmallBlock = 200 + 60 * std::sqrt(1900.0) + 1900 * kPi;

TEST(BuildingStrikes, PartsJoinedByName)
{
    const auto r =
        strikes({part("A", box(0, 0, 20, 10), 10, "3#楼"), part("B", box(300, 0, 320, 10), 10),
                 part("C", box(500, 0, 520, 10), 10, "3#楼")});
    ASSERT_EQ(r.buildings.size(), 2u);
    EXPECT_EQ(r.buildings[0].name, "3#楼");
    EXPECT_EQ(r.buildings[0].parts, (std::vector<std::size_t>{0, 2}));
    EXPECT_NEAR(squareMetres(r.buildings[0]), 2 * kSmallBlock, 0.01);
    EXPECT_EQ(r.buildings[0].outline.size(), 2u);
    EXPECT_EQ(r.buildings[1].name, "B");
}

// Touching parts of different names stay apart; an unnamed part touching both joins the first.
TEST(BuildingStrikes, PartsOfDifferentNamesStayApart)
{
    const auto r =
        strikes({part("A", box(0, 0, 20, 10), 10, "甲"), part("X", box(20, 0, 40, 10), 10),
                 part("B", box(40, 0, 60, 10), 10, "乙")});
    ASSERT_EQ(r.buildings.size(), 2u);
    EXPECT_EQ(r.buildings[0].parts, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(r.buildings[1].name, "乙");
    EXPECT_NEAR(squareMetres(r.buildings[1]), kSmallBlock, 1e-6);
}

TEST(BuildingStrikes, NamedByTheTallestPartFirstOfEquals)
{
    const auto r = strikes({part("低", box(0, 0, 10, 10), 5), part("高一", box(10, 0, 20, 10), 9),
                            part("高二", box(20, 0, 30, 10), 9)});
    EXPECT_EQ(r.buildings.at(0).name, "高一");
}

// 40×20×30, Ae = 0.0253918 km², k = 1: N = 0.1·Td·Ae in each band of both groups.
TEST(BuildingStrikes, ClassByTheGroupsLimits)
{
    struct Row {
        double td;
        StrikeClass important, ordinary;
    };
    for (const Row row : {Row{100, StrikeClass::Second, StrikeClass::Second},   // N = 0.2539
                          Row{40, StrikeClass::Second, StrikeClass::Third},     // N = 0.1016
                          Row{10, StrikeClass::Third, StrikeClass::NotByCount}, // N = 0.02539
                          Row{2, StrikeClass::NotByCount, StrikeClass::NotByCount}}) {
        for (const BuildingGroup group : {BuildingGroup::Important, BuildingGroup::Ordinary}) {
            Object o = part("楼", box(0, 0, 40, 20), 30);
            o.group = group;
            const auto r = strikes({o}, {{}, row.td, {}});
            const BuildingStrikes &b = r.buildings.at(0);
            ASSERT_TRUE(b.n);
            EXPECT_NEAR(*b.n, 0.1 * row.td * 0.0253918366, 1e-9);
            EXPECT_EQ(b.group, group);
            EXPECT_EQ(b.strikeClass,
                      group == BuildingGroup::Important ? row.important : row.ordinary)
                << row.td;
        }
    }
}

// A building with one important part is classed as important; none given: ordinary.
TEST(BuildingStrikes, GroupOfABuilding)
{
    Object a = part("a", box(0, 0, 10, 10), 10), b = part("b", box(10, 0, 20, 10), 10);
    b.group = BuildingGroup::Important;
    EXPECT_EQ(strikes({a, b}).buildings[0].group, BuildingGroup::Important);
    EXPECT_FALSE(strikes({a}).buildings[0].groupGiven);
    EXPECT_EQ(strikes({a}).buildings[0].group, BuildingGroup::Ordinary);
}

TEST(BuildingStrikes, SiteValues)
{
    const std::vector<Object> one{part("楼", box(0, 0, 40, 20), 30)};
    const auto beijing = strikes(one, {"北京", {}, 1.5});
    EXPECT_EQ(beijing.td, 36.7);
    EXPECT_NEAR(*beijing.buildings[0].n, 1.5 * 3.67 * 0.0253918366, 1e-9);
    EXPECT_EQ(strikes(one, {"北京", 50.0, {}}).td, 50); // a typed value stands before the city

    const auto none = strikes(one, {});
    EXPECT_EQ(none.site, SiteState::NoThunderstormDays);
    EXPECT_FALSE(none.buildings[0].n);
    EXPECT_EQ(sixDecimals(none.buildings[0].ae), "0.025392"); // the area needs no Td
    EXPECT_EQ(strikes(one, {"伦敦"}).site, SiteState::BadThunderstormDays);
    EXPECT_EQ(strikes(one, {{}, 0.0, {}}).site, SiteState::BadThunderstormDays);
    EXPECT_EQ(strikes(one, {{}, std::nan(""), {}}).site, SiteState::BadThunderstormDays);
    EXPECT_EQ(strikes(one, {{}, 40.0, 1.6}).site, SiteState::BadCorrectionFactor);
    EXPECT_TRUE(strikes({}).buildings.empty());
}

TEST(BuildingStrikes, BadPartsAreNamedNotMeasured)
{
    const auto r =
        strikes({part("平", box(0, 0, 10, 10), 0), part("空", box(50, 0, 60, 10), std::nan("")),
                 part("交", {{100, 0}, {110, 10}, {110, 0}, {100, 10}}, 5)});
    ASSERT_EQ(r.buildings.size(), 3u);
    EXPECT_EQ(r.buildings[0].state, BuildingState::BadHeight);
    EXPECT_EQ(r.buildings[1].state, BuildingState::BadHeight);
    EXPECT_EQ(r.buildings[1].widths[0], 0);
    EXPECT_EQ(r.buildings[2].state, BuildingState::BadFootprint);
    for (const auto &b : r.buildings) EXPECT_FALSE(b.n);
}

// The drawn outline encloses the area to within its chords' loss, well under a square metre.
TEST(BuildingStrikes, OutlineEnclosesTheArea)
{
    const auto r =
        strikes({part("裙房", box(0, 0, 100, 20), 10), part("塔楼", box(0, 0, 20, 20), 40)});
    const auto &ring = r.buildings[0].outline.at(0);
    double twice = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Corner a = ring[i], b = ring[(i + 1) % ring.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    EXPECT_NEAR(std::abs(twice) / 2, squareMetres(r.buildings[0]), 1);
    EXPECT_GT(ring.size(), 100u);
}

} // namespace

namespace {

// Parts a millimetre across, one inside another, are measured as parts four metres across are,
// to a precision relative to their size: the exact area of the inner part grown, which holds
// the outer one grown, lies within the bracket.
TEST(EquivalentArea, TinyNestedPartsMeasured)
{
    for (const double s : {1.0, 1e-3, 1e-5}) {
        const std::vector<calc::layout::Corner> outer{
            {0, 0}, {4 * s, 0}, {4 * s, 2 * s}, {0, 2 * s}};
        const std::vector<calc::layout::Corner> inner{
            {1 * s, 0.5 * s}, {2 * s, 0.5 * s}, {2 * s, 1.5 * s}, {1 * s, 1.5 * s}};
        const double da = std::sqrt(10 * s * (200 - 10 * s)),
                     db = std::sqrt(20 * s * (200 - 20 * s));
        const calc::layout::GrownPart parts[] = {{outer, da, da * da}, {inner, db, db * db}};
        const calc::layout::EquivalentArea area = calc::layout::equivalentArea(parts);
        ASSERT_TRUE(area.measured) << s;
        // The inner part's grown square, when it holds the outer's: Steiner's formula.
        const double exact = s * s + 4 * s * db + M_PI * db * db;
        if (s < 1) {
            EXPECT_NEAR(area.area, exact, area.error + 1e-12) << s;
            EXPECT_LE(area.error, 1e-5 * exact) << s;
        }
        EXPECT_FALSE(area.outline.empty());
    }
}

} // namespace

// The strike counts depend on the site and the objects only: an edit of the conductors keeps
// them, any change of an object or of the site's values does not.
TEST(BuildingStrikes, SameInputsAreTheSiteAndTheObjects)
{
    Layout before;
    before.site = {"北京"};
    before.objects = {part("甲", box(0, 0, 20, 10), 12), part("乙", box(30, 0, 50, 10), 9)};
    Layout after = before;
    after.conductors.push_back(Rod{5, 5, 20});
    after.hr = 30;
    EXPECT_TRUE(sameStrikeInputs(before, after));
    after = before;
    after.objects[1].height = 9.5;
    EXPECT_FALSE(sameStrikeInputs(before, after));
    after = before;
    after.objects[0].footprint[2].x = 21;
    EXPECT_FALSE(sameStrikeInputs(before, after));
    after = before;
    after.objects[0].group = BuildingGroup::Important;
    EXPECT_FALSE(sameStrikeInputs(before, after));
    after = before;
    after.site.k = 1.5;
    EXPECT_FALSE(sameStrikeInputs(before, after));
}

// After an edit, the buildings it left as they were keep their areas and the one it changed is
// measured again: the counts are those of the layout measured afresh, to the last digit.
TEST(BuildingStrikes, AnEditMeasuresOnlyTheBuildingsItChanged)
{
    Layout before;
    before.site = {"北京"};
    before.objects = {part("甲", box(0, 0, 20, 10), 12), part("乙", box(40, 0, 60, 10), 9),
                      part("乙楼顶", box(45, 2, 50, 6), 14, "乙"),
                      part("丙", box(80, 0, 95, 30), 30)};
    const LayoutStrikes earlier = layoutStrikes(before);
    Layout after = before;
    after.objects[1].height = 11;                               // 乙 changed
    after.objects.push_back(part("丁", box(0, 40, 10, 50), 6)); // a new building
    after.site.k = 1.5;                                         // and the site's factor
    const LayoutStrikes kept = layoutStrikes(after, before, earlier);
    const LayoutStrikes fresh = layoutStrikes(after);
    ASSERT_EQ(kept.buildings.size(), fresh.buildings.size());
    for (std::size_t i = 0; i < kept.buildings.size(); ++i) {
        const BuildingStrikes &a = kept.buildings[i], &b = fresh.buildings[i];
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.state, b.state);
        EXPECT_EQ(a.ae, b.ae) << a.name;
        EXPECT_EQ(a.n, b.n) << a.name;
        EXPECT_EQ(a.strikeClass, b.strikeClass) << a.name;
        EXPECT_EQ(a.outline.size(), b.outline.size()) << a.name;
    }
    EXPECT_NE(kept.buildings[1].ae, earlier.buildings[1].ae); // 乙 was measured again
}
