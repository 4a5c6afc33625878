#include "dxf_test_support.h"

#include "dxf/layout_drawing.h"
#include "dxf/site_import.h"
#include "project/project_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

// A layout written as a drawing and its objects', rods' and wires' layers taken in again, into
// the place the drawing was written in: the same footprints, heights, conductors and verdicts.
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

TEST_P(RoundTrip, GivesBackTheLayoutAndItsVerdicts)
{
    const Layout layout = example(GetParam().file);
    ASSERT_FALSE(layout.objects.empty());
    const auto verdicts = calc::layout::checkObjects(layout);
    const QByteArray bytes =
        dxf::layoutDrawing(layout, verdicts, std::nullopt, GetParam().place, "2026-12-08");
    dxf::ReadResult read = dxf::readDrawing(bytes);
    ASSERT_TRUE(read.drawing) << read.error.toStdString();

    dxf::SiteChoice choice;
    choice.buildings = {QString::fromUtf8(dxf::kObjectsLayer.data(),
                                          static_cast<qsizetype>(dxf::kObjectsLayer.size()))};
    choice.rods =
        QString::fromUtf8(dxf::kRodsLayer.data(), static_cast<qsizetype>(dxf::kRodsLayer.size()));
    choice.wires =
        QString::fromUtf8(dxf::kWiresLayer.data(), static_cast<qsizetype>(dxf::kWiresLayer.size()));
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
                     DrawingPlace{DrawingPlace::Units::Centimetres, -4000000.5, 250000}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
