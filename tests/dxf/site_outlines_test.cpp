#include "dxf_test_support.h"

#include "dxf/outline_joining.h"
#include "dxf/outline_mending.h"
#include "dxf/site_import.h"
#include "dxf/site_outlines.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using calc::layout::Corner;
using dxf::ImportNote;
using dxf::JoinSegment;

QJsonObject expectedOf(const char *drawing)
{
    QFile f(dxf_test::written("expected.json"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(f.readAll()).object().value(QLatin1String(drawing)).toObject();
}

dxf::SiteImport imported(const char *drawing, const char *layer)
{
    const dxf::Drawing d = dxf_test::load(dxf_test::written(drawing));
    dxf::SiteChoice choice;
    choice.buildings = {QString::fromUtf8(layer)};
    dxf::SiteResult r = dxf::importSite(d, choice);
    if (!r.site) ADD_FAILURE() << r.error.toStdString();
    return r.site ? std::move(*r.site) : dxf::SiteImport{};
}

// Each object's area is the one shapely worked out, to what 2 cm chords of the arcs lose.
void expectAreas(const dxf::SiteImport &site, const QJsonArray &areas)
{
    ASSERT_EQ(site.objects.size(), std::size_t(areas.size()));
    for (qsizetype i = 0; i < areas.size(); ++i)
        EXPECT_NEAR(dxf::ringArea(site.objects[std::size_t(i)].footprint), areas[i].toDouble(),
                    0.25)
            << "object " << i;
}

std::size_t count(const dxf::SiteImport &site, ImportNote::Kind kind, const QString &text = {})
{
    return std::size_t(std::ranges::count_if(
        site.notes, [&](const ImportNote &n) { return n.kind == kind && n.text.contains(text); }));
}

// Lines whose ends miss by half a millimetre, an open polyline closed by a line, lines and an
// arc, two rooms crossed by an overshooting line, a block of lines; a room inside a building
// and an outline both drawn and hatched, each dropped; a line hanging free.
TEST(SiteOutlines, BuildingsFromLines)
{
    const dxf::SiteImport site = imported("lines_site.dxf", "建筑");
    const QJsonObject expected = expectedOf("lines_site");
    expectAreas(site, expected.value(QLatin1String("areas")).toArray());
    EXPECT_EQ(site.objects[0].name, "1#楼");
    EXPECT_EQ(site.leftOut, 0u);
    EXPECT_EQ(site.mended, 0u);
    EXPECT_EQ(count(site, ImportNote::Kind::Notice, QStringLiteral("1 个轮廓位于")), 1u);
    EXPECT_EQ(count(site, ImportNote::Kind::Notice, QStringLiteral("1 个轮廓与另一轮廓重合")), 1u);
    // The two rooms are one building: four corners, not six.
    EXPECT_EQ(site.objects[3].footprint.size(), 4u);

    // A joined outline is named by its first piece and its number of pieces.
    const dxf::Drawing d = dxf_test::load(dxf_test::written("lines_site.dxf"));
    QFile handlesFile(dxf_test::written("handles.json"));
    ASSERT_TRUE(handlesFile.open(QIODevice::ReadOnly));
    const QString open = QJsonDocument::fromJson(handlesFile.readAll())
                             .object()
                             .value(QLatin1String("open_piece"))
                             .toString();
    dxf::OutlineMaker maker(d, 0.02, 0.001);
    dxf::walkModel(d, [&](const dxf::Placed &p) {
        if (d.layers[p.layer].name == QStringLiteral("建筑")) maker.add(p);
        return true;
    });
    const dxf::SiteOutlines made = maker.finish();
    ASSERT_EQ(made.taken.size(), 8u); // the room is marked, not yet dropped
    EXPECT_EQ(made.taken[6].within, std::optional<std::size_t>(5));
    EXPECT_EQ(
        dxf::describeOutline(d, made.taken[1].source),
        QStringLiteral("图层「建筑」上由 2 段线连成的轮廓（首段为多段线（句柄 %1，第 %2 行））")
            .arg(open)
            .arg(made.taken[1].source.entity->line));
    EXPECT_EQ(made.taken[0].source.pieces, 4u);
    EXPECT_EQ(made.taken[4].source.pieces, 4u);
    EXPECT_TRUE(made.taken[4].source.outer); // the block's lines, in their insert
}

// Hatches: a polyline path with a bulge, arc edges either way round, a courtyard's inner path.
TEST(SiteOutlines, BuildingsFromHatches)
{
    const dxf::SiteImport site = imported("hatch_site.dxf", "建筑填充");
    expectAreas(site, expectedOf("hatch_site").value(QLatin1String("areas")).toArray());
    EXPECT_EQ(count(site, ImportNote::Kind::Notice, QStringLiteral("1 个轮廓位于")), 1u);
}

// 200 bad outlines among 300 good: the good come in (40 of them mended), the bad are each
// listed with their reason.
TEST(SiteOutlines, BadOutlinesLeftOutAndListed)
{
    const dxf::SiteImport site = imported("bad_outlines.dxf", "建筑");
    const QJsonObject expected = expectedOf("bad_outlines");
    EXPECT_EQ(site.objects.size(), std::size_t(expected.value(QLatin1String("good")).toInt()));
    EXPECT_EQ(site.leftOut, std::size_t(expected.value(QLatin1String("bad")).toInt()));
    EXPECT_EQ(site.mended, std::size_t(expected.value(QLatin1String("mended")).toInt()));
    EXPECT_EQ(count(site, ImportNote::Kind::LeftOut, QStringLiteral("：未导入：自相交")), 100u);
    EXPECT_EQ(count(site, ImportNote::Kind::LeftOut, QStringLiteral("：未导入：面积为零")), 100u);
    EXPECT_EQ(count(site, ImportNote::Kind::Mended, QStringLiteral("重合的角点")), 40u);
    EXPECT_EQ(count(site, ImportNote::Kind::Mended, QStringLiteral("折回的尖刺")), 20u);
    for (const ImportNote &n : site.notes) {
        if (n.kind == ImportNote::Kind::Notice) continue;
        EXPECT_TRUE(n.text.startsWith(QStringLiteral("图层「建筑」上的多段线（句柄 ")))
            << n.text.toStdString();
        EXPECT_GE(n.where.size(), 3u);
    }
    EXPECT_EQ(dxf::importSummary(site),
              QStringLiteral("导入 300 个建筑物（其中 40 个经过修补），0 根避雷针，0 段避雷线；"
                             "200 个轮廓未导入"));
}

std::vector<JoinSegment> segments(std::initializer_list<std::array<double, 4>> lines)
{
    std::vector<JoinSegment> out;
    std::uint32_t piece = 0;
    for (const auto &l : lines) out.push_back({{l[0], l[1]}, {l[2], l[3]}, piece++, 0});
    return out;
}

// A # of four crossing lines bounds its middle square; two squares meeting at a corner are
// two outlines; a line hanging into a square splits nothing.
TEST(OutlineJoining, CrossingsCornersAndHangingEnds)
{
    const auto hash =
        dxf::joinSegments(segments({{0, 1, 3, 1}, {0, 2, 3, 2}, {1, 0, 1, 3}, {2, 0, 2, 3}}), 1e-3);
    ASSERT_EQ(hash.size(), 1u);
    EXPECT_NEAR(dxf::ringArea(hash[0].ring), 1, 1e-12);
    EXPECT_EQ(hash[0].pieces, (std::vector<std::uint32_t>{0, 1, 2, 3}));

    const auto pinched = dxf::joinSegments(segments({{0, 0, 1, 0},
                                                     {1, 0, 1, 1},
                                                     {1, 1, 0, 1},
                                                     {0, 1, 0, 0},
                                                     {1, 1, 2, 1},
                                                     {2, 1, 2, 2},
                                                     {2, 2, 1, 2},
                                                     {1, 2, 1, 1},
                                                     {0.5, 0.5, 0.5, 1}}),
                                           1e-3);
    ASSERT_EQ(pinched.size(), 2u);
    for (const auto &o : pinched) {
        EXPECT_EQ(o.ring.size(), 4u);
        EXPECT_NEAR(dxf::ringArea(o.ring), 1, 1e-12);
    }
}

TEST(OutlineMending, PlainFaultsMendedOthersNamed)
{
    const auto mended = dxf::mendOutline(
        {{0, 0}, {10, 0}, {10, 0}, {14, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 1e-3);
    EXPECT_TRUE(mended.fault.isEmpty());
    EXPECT_EQ(mended.ring.size(), 4u);
    EXPECT_EQ(mended.mends.size(), 2);
    // Closed by repeating its first corner: nothing to say.
    EXPECT_TRUE(dxf::mendOutline({{0, 0}, {1, 0}, {0, 1}, {0, 0}}, 1e-3).mends.isEmpty());
    EXPECT_EQ(dxf::mendOutline({{0, 0}, {1, 1}, {1, 0}, {0, 1}}, 1e-3).fault,
              QStringLiteral("自相交"));
    EXPECT_EQ(dxf::mendOutline({{0, 0}, {1, 0}, {2, 0}}, 1e-3).fault, QStringLiteral("面积为零"));
    EXPECT_EQ(dxf::mendOutline({{0, 0}, {1, 0}}, 1e-3).fault, QStringLiteral("不足三个角点"));
}

} // namespace

namespace {

// A closed 3D polyline lying flat at 12 m is a building of that height; a closed spline is one
// too, flattened within 2 cm; a closed 3D polyline that is not flat is left out, and said so.
TEST(SiteOutlines, FlatPolylinesAndSplines)
{
    const dxf::SiteImport site = imported("flat_curves.dxf", "建筑");
    expectAreas(site, expectedOf("flat_curves").value(QLatin1String("areas")).toArray());
    EXPECT_EQ(site.objects[0].height, 12);
    EXPECT_EQ(site.objects[1].height, calc::layout::kNewObjectHeight);
    EXPECT_GT(site.objects[1].footprint.size(), 40u);
    EXPECT_EQ(count(site, ImportNote::Kind::LeftOut, QStringLiteral("三维多段线")), 1u);
}

// Declared millimetres, drawn in metres: said so, with the units that fit; metres themselves
// raise nothing.
TEST(SiteOutlines, UnitsThatMakeNoBuildings)
{
    const dxf::SiteImport site = imported("mm_drawn_in_metres.dxf", "建筑");
    EXPECT_TRUE(site.unitsImplausible);
    EXPECT_EQ(site.unitsThatFit, (std::vector{lplayout::DrawingPlace::Units::Metres}));
    EXPECT_EQ(count(site, ImportNote::Kind::Notice, QStringLiteral("--units m")), 1u);
    EXPECT_FALSE(imported("lines_site.dxf", "建筑").unitsImplausible);
}

} // namespace
