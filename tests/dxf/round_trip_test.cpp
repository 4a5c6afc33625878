#include "dxf_test_support.h"

#include "dxf/layout_drawing.h"
#include "dxf/site_import.h"
#include "project/project_file.h"
#include "roof/lay_out.h"
#include "roof/roof_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <variant>

// A layout written as a drawing and its objects', rods', wires' and roof network's layers taken
// in again, into the place the drawing was written in: the same footprints, heights, conductors,
// roles in the roof network and verdicts.
namespace {

using calc::layout::Layout;
using calc::layout::Rod;
using calc::layout::Wire;
using lplayout::DrawingPlace;

struct RoundTripRow {
    const char *name;
    const char *file; // a layout of docs/examples
    std::optional<DrawingPlace> place;
};

class RoundTrip : public testing::TestWithParam<RoundTripRow> {};

Layout example(const char *file)
{
    const auto loaded =
        lplayout::loadProject(QStringLiteral(LPCALC_DOCS_EXAMPLES "/") + QString::fromUtf8(file));
    if (!loaded.file) ADD_FAILURE() << loaded.error.toStdString();
    return loaded.file ? loaded.file->layout : Layout{};
}

QString layerName(std::string_view name)
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// The layers the export writes the layout's items on, each chosen when it holds something.
dxf::SiteChoice everyLayer(const Layout &layout)
{
    const calc::roof::SiteRoofs site = calc::roof::checkRoofs(layout);
    const auto has = [&](calc::roof::Role role) {
        return std::any_of(site.roles.begin(), site.roles.end(),
                           [role](const auto &r) { return r.role == role; });
    };
    dxf::SiteChoice choice;
    choice.buildings = {layerName(dxf::kObjectsLayer)};
    if (has(calc::roof::Role::Rod)) choice.rods = layerName(dxf::kRodsLayer);
    if (has(calc::roof::Role::Wire)) choice.wires = layerName(dxf::kWiresLayer);
    for (const auto &[role, name] : {std::pair{calc::roof::Role::Tape, dxf::kTapeLayer},
                                     {calc::roof::Role::Mesh, dxf::kMeshLayer}})
        if (has(role)) choice.roofConductors << layerName(name);
    if (has(calc::roof::Role::DownConductor)) choice.downConductors = layerName(dxf::kDownLayer);
    return choice;
}

TEST_P(RoundTrip, GivesBackTheLayoutAndItsVerdicts)
{
    const Layout layout = example(GetParam().file);
    ASSERT_FALSE(layout.objects.empty());
    const auto verdicts = calc::layout::checkObjects(layout);
    const QByteArray bytes =
        dxf::layoutDrawing(layout, verdicts, std::nullopt, GetParam().place, "2026-12-08");
    dxf::ReadResult read = dxf::readDrawing(bytes);
    ASSERT_TRUE(read.drawing) << read.error.toStdString();

    dxf::SiteChoice choice = everyLayer(layout);
    // A layout of no drawing is written in metres at its own origin.
    choice.place = GetParam().place.value_or(DrawingPlace{DrawingPlace::Units::Metres, 0, 0});
    const dxf::SiteResult taken = dxf::importSite(*read.drawing, choice);
    ASSERT_TRUE(taken.site) << taken.error.toStdString();
    EXPECT_EQ(taken.site->place, *choice.place);

    Layout back;
    back.hr = layout.hr;
    back.objects = taken.site->objects;
    back.conductors = taken.site->conductors;
    // Coordinates come back to the drawing's precision: well under a millimetre.
    constexpr double kNear = 1e-6;
    ASSERT_EQ(back.objects.size(), layout.objects.size());
    for (std::size_t i = 0; i < layout.objects.size(); ++i) {
        const auto &a = layout.objects[i], &b = back.objects[i];
        EXPECT_EQ(b.name, a.name) << i;
        EXPECT_NEAR(b.height, a.height, kNear) << a.name;
        ASSERT_EQ(b.footprint.size(), a.footprint.size()) << a.name;
        for (std::size_t k = 0; k < a.footprint.size(); ++k) {
            EXPECT_NEAR(b.footprint[k].x, a.footprint[k].x, kNear) << a.name << " corner " << k;
            EXPECT_NEAR(b.footprint[k].y, a.footprint[k].y, kNear) << a.name << " corner " << k;
        }
    }
    ASSERT_EQ(back.conductors.size(), layout.conductors.size());
    for (std::size_t i = 0; i < layout.conductors.size(); ++i) {
        const auto &a = layout.conductors[i], &b = back.conductors[i];
        ASSERT_EQ(a.index(), b.index()) << "conductor " << i;
        if (const Rod *r = std::get_if<Rod>(&a)) {
            const Rod &s = std::get<Rod>(b);
            EXPECT_NEAR(s.x, r->x, kNear) << "rod " << i;
            EXPECT_NEAR(s.y, r->y, kNear) << "rod " << i;
            EXPECT_NEAR(s.h, r->h, kNear) << "rod " << i;
        } else {
            const Wire &w = std::get<Wire>(a), &v = std::get<Wire>(b);
            for (const auto &[p, q] : {std::pair{w.a, v.a}, std::pair{w.b, v.b}}) {
                EXPECT_NEAR(q.x, p.x, kNear) << "wire " << i;
                EXPECT_NEAR(q.y, p.y, kNear) << "wire " << i;
                EXPECT_NEAR(q.z, p.z, kNear) << "wire " << i;
            }
        }
    }

    // Every conductor plays the same part in the roof network.
    const calc::roof::SiteRoofs before = calc::roof::checkRoofs(layout),
                                after = calc::roof::checkRoofs(back);
    ASSERT_EQ(after.roles.size(), before.roles.size());
    for (std::size_t i = 0; i < before.roles.size(); ++i)
        EXPECT_EQ(after.roles[i].role, before.roles[i].role) << "conductor " << i;
    ASSERT_EQ(after.buildings.size(), before.buildings.size());
    for (std::size_t i = 0; i < before.buildings.size(); ++i)
        EXPECT_EQ(after.buildings[i].passes(), before.buildings[i].passes()) << i;

    const auto again = calc::layout::checkObjects(back);
    ASSERT_EQ(again.size(), verdicts.size());
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        EXPECT_EQ(again[i].isProtected, verdicts[i].isProtected) << layout.objects[i].name;
        EXPECT_NEAR(again[i].leastClearance, verdicts[i].leastClearance, 1e-4)
            << layout.objects[i].name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RoundTrip,
    testing::Values(
        RoundTripRow{"TwoBuildingsInMetres", "two_buildings.lplayout", std::nullopt},
        RoundTripRow{"TwoBuildingsFarOutInMillimetres", "two_buildings.lplayout",
                     DrawingPlace{DrawingPlace::Units::Millimetres, 512000000, 3010000}},
        RoundTripRow{"TowerOnAPodiumInCentimetres", "tower_on_podium.lplayout",
                     DrawingPlace{DrawingPlace::Units::Centimetres, -4000000.5, 250000}},
        // Laid out by 生成屋面防雷: tape, mesh and down conductors come back as such.
        RoundTripRow{"LaidOutLBuilding", "l_building_roof.lplayout", std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

// A small tower on a podium laid out, written far out in millimetres and read back: the
// tower's down conductors come down onto the podium's roof again, the podium's to the ground,
// and every conductor keeps its part.
TEST(RoofRoundTrip, TowerOnAPodiumKeepsEveryRole)
{
    Layout layout;
    layout.objects = {{"裙房", {{0, 0}, {40, 0}, {40, 24}, {0, 24}}, 8, "综合楼"},
                      {"塔楼", {{8, 6}, {20, 6}, {20, 18}, {8, 18}}, 30, "综合楼"}};
    layout = calc::roof::layOutRoofs(layout);
    const DrawingPlace place{DrawingPlace::Units::Millimetres, 512000000, 3010000};
    dxf::ReadResult read = dxf::readDrawing(dxf::layoutDrawing(
        layout, calc::layout::checkObjects(layout), std::nullopt, place, "2026-12-08"));
    ASSERT_TRUE(read.drawing) << read.error.toStdString();
    dxf::SiteChoice choice = everyLayer(layout);
    choice.place = place;
    const dxf::SiteResult taken = dxf::importSite(*read.drawing, choice);
    ASSERT_TRUE(taken.site) << taken.error.toStdString();
    Layout back;
    back.objects = taken.site->objects;
    back.conductors = taken.site->conductors;
    ASSERT_EQ(back.conductors.size(), layout.conductors.size());
    int ontoPodium = 0;
    for (std::size_t i = 0; i < layout.conductors.size(); ++i) {
        const Wire &w = std::get<Wire>(layout.conductors[i]),
                   &v = std::get<Wire>(back.conductors[i]);
        for (const auto &[p, q] : {std::pair{w.a, v.a}, std::pair{w.b, v.b}}) {
            EXPECT_NEAR(q.x, p.x, 1e-6) << i;
            EXPECT_NEAR(q.y, p.y, 1e-6) << i;
            EXPECT_NEAR(q.z, p.z, 1e-6) << i;
        }
        ontoPodium += v.a.x == v.b.x && v.a.y == v.b.y && std::min(v.a.z, v.b.z) == 8;
    }
    EXPECT_GE(ontoPodium, 4);
    const calc::roof::SiteRoofs before = calc::roof::checkRoofs(layout),
                                after = calc::roof::checkRoofs(back);
    for (std::size_t i = 0; i < before.roles.size(); ++i)
        EXPECT_EQ(after.roles[i].role, before.roles[i].role) << "conductor " << i;
    EXPECT_TRUE(after.buildings.at(0).passes());
}

} // namespace
