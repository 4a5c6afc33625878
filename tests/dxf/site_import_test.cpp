#include "dxf_test_support.h"

#include "dxf/site_import.h"
#include "dxf/site_layers.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <variant>

namespace {

using calc::layout::Rod;
using calc::layout::Wire;
using dxf::SiteChoice;
using dxf_test::expectFootprint;
using dxf_test::expectRound;
using lplayout::DrawingPlace;

constexpr double kTolerance = 0.02; // metres, from an arc to its chords

dxf::SiteImport imported(const dxf::Drawing &d, const SiteChoice &choice,
                         const calc::layout::Layout &current = {})
{
    dxf::SiteResult r = dxf::importSite(d, choice, current);
    if (!r.site) ADD_FAILURE() << r.error.toStdString();
    return r.site ? std::move(*r.site) : dxf::SiteImport{};
}

void expectRod(const calc::layout::Conductor &c, double x, double y, double h)
{
    ASSERT_TRUE(std::holds_alternative<Rod>(c));
    const Rod &rod = std::get<Rod>(c);
    EXPECT_NEAR(rod.x, x, 1e-6);
    EXPECT_NEAR(rod.y, y, 1e-6);
    EXPECT_NEAR(rod.h, h, 1e-9);
}

void expectWire(const calc::layout::Conductor &c, calc::rolling_sphere::Point a,
                calc::rolling_sphere::Point b)
{
    ASSERT_TRUE(std::holds_alternative<Wire>(c));
    const Wire &w = std::get<Wire>(c);
    for (const auto &[got, want] : {std::pair{w.a, a}, std::pair{w.b, b}}) {
        EXPECT_NEAR(got.x, want.x, 1e-6);
        EXPECT_NEAR(got.y, want.y, 1e-6);
        EXPECT_NEAR(got.z, want.z, 1e-9);
    }
}

SiteChoice smallChoice()
{
    SiteChoice choice;
    choice.buildings = {QStringLiteral("HOUSES")};
    choice.rods = QStringLiteral("RODS");
    choice.wires = QStringLiteral("WIRES");
    return choice;
}

// The hand-written example in metres: the least corner is the arc's leftmost point (-4, 0),
// which becomes the origin.
TEST(SiteImport, SmallExample)
{
    const dxf::Drawing d = dxf_test::load(dxf_test::example("small.dxf"));
    const dxf::SiteImport site = imported(d, smallChoice());
    EXPECT_EQ(site.place, (DrawingPlace{DrawingPlace::Units::Metres, -4, 0}));
    ASSERT_EQ(site.objects.size(), 5u);

    // Elevation 6, a semicircle of r = 4 m on its left side in 16 chords, named by escapes.
    const auto &house = site.objects[0];
    EXPECT_EQ(house.name, "主楼");
    EXPECT_EQ(house.height, 6);
    ASSERT_EQ(house.footprint.size(), 19u);
    expectFootprint({house.footprint.begin(), house.footprint.begin() + 4},
                    {{4, 0}, {14, 0}, {14, 8}, {4, 8}});
    std::vector<calc::layout::Corner> arc(house.footprint.begin() + 3, house.footprint.end());
    arc.push_back(house.footprint[0]);
    expectRound(arc, 4, 4, 4, kTolerance, false);
    EXPECT_NEAR(house.footprint[11].x, 0, 1e-9); // the arc's middle

    // POLYLINE with VERTEXes at elevation 5, named by the first line of a two-chunk MTEXT.
    EXPECT_EQ(site.objects[1].name, "Works");
    EXPECT_EQ(site.objects[1].height, 5);
    expectFootprint(site.objects[1].footprint, {{24, 0}, {30, 0}, {30, 4}, {24, 4}});

    // The mirrored circle, at +40 in the drawing, in 23 chords; default height and name.
    EXPECT_EQ(site.objects[2].name, "建筑物3");
    EXPECT_EQ(site.objects[2].height, calc::layout::kNewObjectHeight);
    EXPECT_EQ(site.objects[2].footprint.size(), 23u);
    expectRound(site.objects[2].footprint, 44, 4, 2, kTolerance);

    // The block inserted as a 2 x 1 array, 10 m apart.
    EXPECT_EQ(site.objects[3].name, "建筑物4");
    expectFootprint(site.objects[3].footprint, {{54, 0}, {58, 0}, {58, 3}});
    EXPECT_EQ(site.objects[4].name, "建筑物5");
    expectFootprint(site.objects[4].footprint, {{64, 0}, {68, 0}, {68, 3}});

    // The wire (a line at 15 m) comes before the rod in the file; the rod's height is the text
    // a metre from it.
    ASSERT_EQ(site.conductors.size(), 2u);
    expectWire(site.conductors[0], {4, 20, 15}, {34, 20, 15});
    expectRod(site.conductors[1], 19, 10, 25);
}

// Added to a layout: new names keep clear of its own; a place already given is kept; the
// site's limits count what is there.
TEST(SiteImport, IntoALayout)
{
    const dxf::Drawing d = dxf_test::load(dxf_test::example("small.dxf"));
    calc::layout::Layout current;
    current.objects.push_back({"建筑物4", {{0, 0}, {1, 0}, {0, 1}}, 3});
    const dxf::SiteImport named = imported(d, smallChoice(), current);
    ASSERT_EQ(named.objects.size(), 5u);
    EXPECT_EQ(named.objects[2].name, "建筑物5");
    EXPECT_EQ(named.objects[3].name, "建筑物6");
    EXPECT_EQ(named.objects[4].name, "建筑物7");

    SiteChoice kept = smallChoice();
    kept.place = DrawingPlace{DrawingPlace::Units::Metres, 0, 0};
    const dxf::SiteImport there = imported(d, kept);
    EXPECT_EQ(there.place, *kept.place);
    EXPECT_NEAR(there.objects[0].footprint[0].x, 0, 1e-12);

    SiteChoice millimetres = smallChoice();
    millimetres.units = DrawingPlace::Units::Millimetres;
    const dxf::SiteImport small = imported(d, millimetres);
    EXPECT_EQ(small.place, (DrawingPlace{DrawingPlace::Units::Millimetres, -1000, 0}));
    EXPECT_NEAR(small.objects[1].footprint[0].x, 1.020, 1e-9);
    EXPECT_NEAR(small.objects[1].height, 0.005, 1e-12);

    calc::layout::Layout full;
    full.conductors.assign(std::size_t(lplayout::kMaxConductors) - 1, Rod{0, 0, 10});
    const dxf::SiteResult over = dxf::importSite(d, smallChoice(), full);
    EXPECT_FALSE(over.site);
    EXPECT_TRUE(over.error.contains(QStringLiteral("超过 2000"))) << over.error.toStdString();
}

// R12 in GBK, no units in its header: millimetres; heights from texts, one name written in
// \U+ escapes; the rod's height from its z.
TEST(SiteImport, R12InGbk)
{
    const dxf::Drawing d = dxf_test::load(dxf_test::written("r12_gbk.dxf"));
    EXPECT_EQ(d.encoding, "GBK");
    const auto layers = dxf::layerSummaries(d);
    QStringList names;
    for (const auto &l : layers) names.append(l.name);
    EXPECT_TRUE(names.contains(QStringLiteral("建筑")));
    EXPECT_TRUE(names.contains(QStringLiteral("避雷针")));

    SiteChoice choice;
    choice.buildings = {QStringLiteral("建筑")};
    choice.rods = QStringLiteral("避雷针");
    const dxf::SiteImport site = imported(d, choice);
    EXPECT_EQ(site.place, (DrawingPlace{DrawingPlace::Units::Millimetres, 100000, 200000}));
    ASSERT_EQ(site.objects.size(), 2u);
    EXPECT_EQ(site.objects[0].name, "1#楼");
    EXPECT_EQ(site.objects[0].height, 18);
    expectFootprint(site.objects[0].footprint,
                    {{0.5, 0.7}, {20.5, 0.7}, {20.5, 10.7}, {0.5, 10.7}});
    // Its bare "30" is its storeys, or metres in a drawing whose bare numbers are metres.
    EXPECT_EQ(site.objects[1].name, "水塔");
    EXPECT_DOUBLE_EQ(site.objects[1].height, 30 * 3 + 1.2);
    choice.heights.bareMetres = true;
    EXPECT_EQ(imported(d, choice).objects[1].height, 30);
    EXPECT_EQ(site.objects[1].footprint.size(), 32u); // r = 4 m at 2 cm
    expectRound(site.objects[1].footprint, 50.5, 5.7, 4, kTolerance);
    ASSERT_EQ(site.conductors.size(), 1u);
    expectRod(site.conductors[0], 30.5, 5.7, 25);
}

SiteChoice r2000Choice()
{
    SiteChoice choice;
    choice.buildings = {QStringLiteral("建筑")};
    choice.rods = QStringLiteral("避雷针");
    choice.wires = QStringLiteral("避雷线");
    return choice;
}

// R2000 in metres: bulges, heights from elevation (over a text), thickness, an MTEXT's line on
// another layer and a TEXT; wires from an open polyline and a 3D line; the nearest height
// text within 2 m of the rod.
TEST(SiteImport, R2000BulgesAndHeights)
{
    const dxf::Drawing d = dxf_test::load(dxf_test::written("r2000_bulges.dxf"));
    const dxf::SiteImport site = imported(d, r2000Choice());
    EXPECT_EQ(site.place, (DrawingPlace{DrawingPlace::Units::Metres, 990, 2000}));
    ASSERT_EQ(site.objects.size(), 4u);

    const auto &stadium = site.objects[0];
    EXPECT_EQ(stadium.name, "体育馆");
    EXPECT_EQ(stadium.height, 12);
    // Each semicircle of r = 10 m in 25 chords.
    ASSERT_EQ(stadium.footprint.size(), 52u);
    expectFootprint({stadium.footprint[0], stadium.footprint[1]}, {{10.4, 0.6}, {50.4, 0.6}});
    expectFootprint({stadium.footprint[26], stadium.footprint[27]}, {{50.4, 20.6}, {10.4, 20.6}});
    expectRound({stadium.footprint.begin() + 1, stadium.footprint.begin() + 27}, 50.4, 10.6, 10,
                kTolerance, false);
    std::vector<calc::layout::Corner> left(stadium.footprint.begin() + 27, stadium.footprint.end());
    left.push_back(stadium.footprint[0]);
    expectRound(left, 10.4, 10.6, 10, kTolerance, false);

    EXPECT_EQ(site.objects[1].name, "建筑物2");
    EXPECT_EQ(site.objects[1].height, 9);
    EXPECT_EQ(site.objects[2].name, "2号楼");
    EXPECT_EQ(site.objects[2].height, 18);
    expectFootprint(site.objects[2].footprint,
                    {{90.4, 0.6}, {105.4, 0.6}, {105.4, 12.6}, {90.4, 12.6}});
    EXPECT_EQ(site.objects[3].name, "建筑物4");
    EXPECT_EQ(site.objects[3].height, 18);

    ASSERT_EQ(site.conductors.size(), 4u);
    expectWire(site.conductors[0], {10.4, 30.6, 15}, {30.4, 30.6, 15});
    expectWire(site.conductors[1], {30.4, 30.6, 15}, {30.4, 40.6, 15});
    expectWire(site.conductors[2], {40.4, 30.6, 20}, {60.4, 30.6, 20});
    expectRod(site.conductors[3], 130.4, 5.6, 35);
}

// R2010 in millimetres 512 km out: a block scaled 2 x 1.5 and turned 90°, one nested in
// another whose base point is not its zero, a 3 x 2 array, an outline drawn mirrored.
TEST(SiteImport, R2010BlocksFarOut)
{
    const dxf::Drawing d = dxf_test::load(dxf_test::written("r2010_blocks.dxf"));
    const auto layers = dxf::layerSummaries(d);
    int seen = 0;
    for (const auto &l : layers) {
        if (l.name == QStringLiteral("建筑")) {
            EXPECT_EQ(l.counts, (dxf::LayerCounts{9, 0, 1, 0, 8, 4}));
            ++seen;
        }
        if (l.name == QStringLiteral("避雷针")) {
            EXPECT_EQ(l.counts, (dxf::LayerCounts{0, 2, 2, 1, 1, 1}));
            ++seen;
        }
    }
    EXPECT_EQ(seen, 2);
    SiteChoice choice;
    choice.buildings = {QStringLiteral("建筑")};
    choice.rods = QStringLiteral("避雷针");
    choice.objectHeight = 12;
    const dxf::SiteImport site = imported(d, choice);
    EXPECT_EQ(site.place, (DrawingPlace{DrawingPlace::Units::Millimetres, 512002000, 3010000}));
    ASSERT_EQ(site.objects.size(), 10u);
    expectFootprint(site.objects[0].footprint, {{8, 0}, {8, 20}, {0.5, 20}, {0.5, 0}});
    EXPECT_EQ(site.objects[0].name, "A栋");
    EXPECT_EQ(site.objects[0].height, 12);
    expectFootprint(site.objects[1].footprint, {{97, 40}, {107, 40}, {107, 45}, {97, 45}});
    EXPECT_EQ(site.objects[1].name, "A栋");
    EXPECT_EQ(site.objects[2].name, "建筑物3");
    EXPECT_EQ(site.objects[2].footprint.size(), 28u); // r = 3 m at 2 cm
    expectRound(site.objects[2].footprint, 127, 42.5, 3, kTolerance);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column) {
            const auto &o = site.objects[std::size_t(3 + row * 3 + column)];
            const double x = 198 + 20 * column, y = 90 + 15 * row;
            expectFootprint(o.footprint, {{x, y}, {x + 10, y}, {x + 10, y + 5}, {x, y + 5}});
            EXPECT_EQ(o.name, "A栋");
        }
    expectFootprint(site.objects[9].footprint, {{298, 0}, {288, 0}, {288, 10}, {298, 10}});
    EXPECT_EQ(site.objects[9].height, 15);
    EXPECT_EQ(site.objects[9].name, "建筑物10");

    // A block insert's z, no height anywhere, a height text; the rod block's circle is its
    // symbol and no rod of its own.
    ASSERT_EQ(site.conductors.size(), 3u);
    expectRod(site.conductors[0], 48, 10, 30);
    expectRod(site.conductors[1], 58, 10, calc::layout::kNewRodHeight);
    expectRod(site.conductors[2], 68, 10, 35);
}

QByteArray drawing(const QByteArray &header, const QByteArray &entities)
{
    return "  0\nSECTION\n  2\nHEADER\n" + header + "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n" +
           entities + "  0\nENDSEC\n  0\nEOF\n";
}

QByteArray square(const char *layer, double x, const QByteArray &more = {})
{
    return QByteArray("  0\nLWPOLYLINE\n  5\nAB\n  8\n") + layer + "\n 70\n1\n" + more +
           QByteArray(" 10\n%1\n 20\n0\n 10\n%2\n 20\n0\n 10\n%2\n 20\n10\n 10\n%1\n 20\n10\n")
               .replace("%1", QByteArray::number(x, 'g', 17))
               .replace("%2", QByteArray::number(x + 10, 'g', 17));
}

QByteArray manyCorners(int n)
{
    QByteArray e = "  0\nLWPOLYLINE\n  8\nB\n 70\n1\n";
    for (int i = 0; i < n; ++i)
        e += " 10\n" + QByteArray::number(100 * std::cos(2 * M_PI * i / n), 'g', 17) + "\n 20\n" +
             QByteArray::number(100 * std::sin(2 * M_PI * i / n), 'g', 17) + "\n";
    return e;
}

struct BadImport {
    const char *name;
    QByteArray drawing; // empty: the R2000 drawing ezdxf wrote
    SiteChoice choice;
    const char *message;
};

// Chosen layers that cannot be taken whole: each gets its message naming the layer (and the
// entity, by its handle, where one is at fault), and nothing is taken.
TEST(SiteImport, BadChoicesEachWithItsMessage)
{
    QFile handlesFile(dxf_test::written("handles.json"));
    ASSERT_TRUE(handlesFile.open(QIODevice::ReadOnly));
    const QJsonObject handles = QJsonDocument::fromJson(handlesFile.readAll()).object();
    const QString crossing = handles.value(QStringLiteral("crossing")).toString();
    const QString far = handles.value(QStringLiteral("far")).toString();
    const auto layers = [](QStringList buildings, QString rods = {}, QString wires = {}) {
        SiteChoice c;
        c.buildings = buildings;
        c.rods = rods;
        c.wires = wires;
        return c;
    };
    SiteChoice flat = layers({QStringLiteral("建筑")});
    flat.objectHeight = 0;
    const QByteArray units = " 9\n$INSUNITS\n 70\n1\n";
    const QByteArray grid =
        "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nS\n" + square("0", 0) + "  0\nENDBLK\n" +
        "  0\nENDSEC\n" +
        drawing({}, "  0\nINSERT\n  8\nB\n  2\nS\n 70\n40\n 71\n30\n 44\n20\n 45\n20\n");
    const BadImport cases[] = {
        {"no closed outline", {}, layers({QStringLiteral("开口")}), "图层「开口」上没有闭合轮廓"},
        {"a self-crossing outline",
         {},
         layers({QStringLiteral("交叉")}),
         "图层「交叉」上的多段线（句柄 %1"},
        {"beyond the site",
         {},
         layers({QStringLiteral("建筑"), QStringLiteral("远处")}),
         "图层「远处」上的多段线（句柄 %2，第"},
        {"no such layer", {}, layers({QStringLiteral("没有")}), "图中没有图层「没有」"},
        {"rods on a buildings layer",
         {},
         layers({QStringLiteral("建筑")}, QStringLiteral("建筑")),
         "不能既是建筑物图层又是避雷针图层"},
        {"no rods",
         {},
         layers({QStringLiteral("建筑")}, QStringLiteral("开口")),
         "图层「开口」上没有避雷针"},
        {"no wires",
         {},
         layers({QStringLiteral("建筑")}, {}, QStringLiteral("避雷针")),
         "图层「避雷针」上没有避雷线"},
        {"nothing chosen", {}, layers({}), "没有选择"},
        {"default height 0", {}, flat, "默认建筑物高度应大于 0"},
        {"inches", drawing(units, square("B", 0)), layers({QStringLiteral("B")}), "$INSUNITS = 1"},
        {"too high", drawing({}, square("B", 0, " 38\n2000000\n")), layers({QStringLiteral("B")}),
         "（句柄 AB，第 11 行）高度超过 1000 m"},
        {"too many objects", grid, layers({QStringLiteral("B")}), "被保护物超过 1000 个"},
        {"too many corners", drawing({}, manyCorners(1001)), layers({QStringLiteral("B")}),
         "有 1001 个角点"},
        {"too far for a file", drawing({}, square("B", 2e15)), layers({QStringLiteral("B")}),
         "图形坐标超出"},
        {"a wire below the ground", drawing({}, square("B", 0) + "  0\nLINE\n  8\nW\n 30\n-5\n"),
         layers({QStringLiteral("B")}, {}, QStringLiteral("W")), "直线（第 35 行）的端点低于地面"},
    };
    const dxf::Drawing r2000 = dxf_test::load(dxf_test::written("r2000_bulges.dxf"));
    for (const auto &c : cases) {
        dxf::ReadResult own;
        if (!c.drawing.isEmpty()) {
            own = dxf::readDrawing(c.drawing);
            ASSERT_TRUE(own.drawing) << c.name << ": " << own.error.toStdString();
        }
        const dxf::SiteResult r = dxf::importSite(own.drawing ? *own.drawing : r2000, c.choice);
        EXPECT_FALSE(r.site) << c.name;
        const QString message = QString::fromUtf8(c.message)
                                    .replace(QLatin1String("%1"), crossing)
                                    .replace(QLatin1String("%2"), far);
        EXPECT_TRUE(r.error.contains(message)) << c.name << ": " << r.error.toStdString();
    }
}

} // namespace
