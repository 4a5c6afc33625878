#include "dxf_test_support.h"

#include "dxf/code_page.h"
#include "dxf/drawing_text.h"
#include "dxf/drawing_walk.h"
#include "dxf/height_text.h"
#include "dxf/site_layers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using dxf::LayerCounts;
using dxf_test::example;

const dxf::LayerSummary *summaryOf(const std::vector<dxf::LayerSummary> &all, const char *name)
{
    for (const auto &s : all)
        if (s.name == QString::fromUtf8(name)) return &s;
    ADD_FAILURE() << "no layer " << name;
    return nullptr;
}

// The small example, written by hand: its header, its layers in the order the drawing names
// them, and what each holds with the block's array counted twice on the insert's layer.
TEST(DrawingReader, SmallExampleHeaderAndLayers)
{
    const dxf::Drawing d = dxf_test::load(example("small.dxf"));
    EXPECT_EQ(d.version, QStringLiteral("AC1015"));
    EXPECT_EQ(d.insUnits, 6);
    EXPECT_EQ(d.encoding, "windows-1252");
    const auto layers = dxf::layerSummaries(d);
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers[0].name, QStringLiteral("HOUSES"));
    EXPECT_EQ(layers[0].colour, 1);
    EXPECT_TRUE(layers[0].shown);
    EXPECT_EQ(layers[1].name, QStringLiteral("RODS"));
    EXPECT_EQ(layers[1].colour, 3);
    EXPECT_FALSE(layers[1].shown);
    EXPECT_EQ(layers[2].name, QStringLiteral("0"));
    EXPECT_EQ(layers[3].name, QStringLiteral("WIRES"));
    // The paper-space outline and the hatch are not counted.
    EXPECT_EQ(layers[0].counts, (LayerCounts{4, 0, 1, 0, 2, 1}));
    EXPECT_EQ(layers[1].counts, (LayerCounts{0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(layers[2].counts, LayerCounts{});
    EXPECT_EQ(layers[3].counts, (LayerCounts{0, 1, 0, 0, 0, 0}));
}

// The preview has every line, polyline and circle, blocks' copies placed, in drawing units;
// the mirrored circle lies where CAD shows it, at x = +40.
TEST(DrawingReader, PreviewPlacesBlocksAndMirroredEntities)
{
    const dxf::Drawing d = dxf_test::load(example("small.dxf"));
    const dxf::Preview p = dxf::preview(d);
    ASSERT_EQ(p.paths.size(), 6u); // two houses, the circle, two huts, the wire
    const auto centre = [&](const dxf::Preview::Path &path) {
        double x = 0, y = 0;
        for (std::uint32_t i = path.first; i < path.first + path.count; ++i) {
            x += p.points[i].x / path.count;
            y += p.points[i].y / path.count;
        }
        return std::pair{x, y};
    };
    EXPECT_NEAR(centre(p.paths[2]).first, 40, 1e-9);
    EXPECT_NEAR(centre(p.paths[2]).second, 4, 1e-9);
    EXPECT_TRUE(p.paths[2].closed);
    EXPECT_NEAR(p.points[p.paths[4].first].x, 60, 1e-9); // the array's second copy
    EXPECT_FALSE(p.paths[5].closed);
}

// The arbitrary axis rule: a normal along -Z mirrors x; one nearly along +X takes its x axis
// from world Z × N.
TEST(DrawingWalk, ObjectCoordinatesByTheArbitraryAxisRule)
{
    const auto mirrored = dxf::objectToWorld({0, 0, -1}).apply({3, 4, 5});
    EXPECT_DOUBLE_EQ(mirrored.x, -3);
    EXPECT_DOUBLE_EQ(mirrored.y, 4);
    EXPECT_DOUBLE_EQ(mirrored.z, -5);
    const auto side = dxf::objectToWorld({1, 0, 0}).apply({1, 2, 3});
    EXPECT_NEAR(side.x, 3, 1e-12); // Ax = (0, 1, 0), Ay = (0, 0, 1)
    EXPECT_NEAR(side.y, 1, 1e-12);
    EXPECT_NEAR(side.z, 2, 1e-12);
}

struct ChordCase {
    const char *name;
    double radius, angle, tolerance;
    int chords;
};

// n chords of an arc keep within the tolerance: r(1 - cos(angle / 2n)) ≤ tolerance.
TEST(DrawingWalk, ArcChordsKeepWithinTheTolerance)
{
    const ChordCase cases[] = {
        {"half of r = 10 m at 2 cm", 10, M_PI, 0.02, 25},
        {"circle of r = 4 m at 2 cm", 4, 2 * M_PI, 0.02, 32},
        {"radius below the tolerance", 0.01, M_PI, 0.02, 2},
        {"no radius", 0, M_PI, 0.02, 1},
        {"not a number", NAN, M_PI, 0.02, 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(dxf::arcChords(c.radius, c.angle, c.tolerance), c.chords) << c.name;
        if (c.radius > c.tolerance) {
            EXPECT_LE(c.radius * (1 - std::cos(c.angle / (2 * c.chords))), c.tolerance) << c.name;
        }
    }
}

struct TextCase {
    const char *name;
    const char *raw;
    QStringList lines;
};

TEST(DrawingText, MTextFormattingOut)
{
    const TextCase cases[] = {
        {"paragraphs", "1#楼\\P18m", {"1#楼", "18m"}},
        {"font and height", "{\\fSimSun|b0|i0;体育馆}\\P\\H2.5;h=18.00 m", {"体育馆", "h=18.00 m"}},
        {"colour, width, underline", "\\C1;\\W0.8;\\L办公\\l楼", {"办公楼"}},
        {"stacked fraction, its caret written \"^ \"", "1\\S1^ 2;层", {"11/2层"}},
        {"literal braces and backslash", "a\\{b\\}\\\\c", {"a{b}\\c"}},
        {"non-breaking space, empty lines", "A\\~B\\P\\P  \\PC", {"A B", "C"}},
        {"degree sign", "%%d30", {"°30"}},
        {"caret line feed", "上^J下", {"上", "下"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dxf::mtextLines(QString::fromUtf8(c.raw)), c.lines) << c.name;
    EXPECT_EQ(dxf::plainText(QStringLiteral("%%c600 %%p0.5 %%u下划线%%u 100%%%")),
              QStringLiteral("⌀600 ±0.5 下划线 100%"));
}

// Heights as site plans write them: metres said by a prefix, a unit or a decimal point;
// storeys in each of their forms; a bare whole number, storeys unless the drawing's numbers
// are metres.
TEST(HeightText, EveryFormAndItsMetres)
{
    using Kind = dxf::HeightText::Kind;
    struct Case {
        const char *text;
        Kind kind;
        double value;
    };
    const Case cases[] = {
        {"H=18m", Kind::Metres, 18},
        {"h=18.0", Kind::Metres, 18},
        {"18m", Kind::Metres, 18},
        {"18米", Kind::Metres, 18},
        {"高18米", Kind::Metres, 18},
        {"建筑高度18m", Kind::Metres, 18},
        {"h=18.00 m", Kind::Metres, 18},
        {"H：18", Kind::Metres, 18},
        {"18.0", Kind::Metres, 18},
        {"６F", Kind::Storeys, 6},
        {"6层", Kind::Storeys, 6},
        {"6/-1", Kind::Storeys, 6},
        {"18+1F", Kind::Storeys, 19},
        {"6F/-2F", Kind::Storeys, 6},
        {"6", Kind::Bare, 6},
    };
    for (const Case &c : cases) {
        const auto h = dxf::readHeightText(QString::fromUtf8(c.text));
        ASSERT_TRUE(h) << c.text;
        EXPECT_EQ(h->kind, c.kind) << c.text;
        EXPECT_EQ(h->value, c.value) << c.text;
    }
    for (const char *text : {"1#楼", "-18", "h=", "18 m 高", "", "1 h=30.0m", "F6", "6层楼"})
        EXPECT_FALSE(dxf::readHeightText(QString::fromUtf8(text))) << text;

    const dxf::HeightRules rules; // 3 m a storey, 1.2 m of parapet
    EXPECT_DOUBLE_EQ(*rules.metres({Kind::Storeys, 6}), 19.2);
    EXPECT_DOUBLE_EQ(*rules.metres({Kind::Bare, 6}), 19.2);
    const dxf::HeightRules bareMetres{3, 1.2, true};
    EXPECT_DOUBLE_EQ(*bareMetres.metres({Kind::Bare, 6}), 6);
    const dxf::HeightRules tall{3.3, 0, false};
    EXPECT_DOUBLE_EQ(*tall.metres({Kind::Storeys, 10}), 33);
    EXPECT_FALSE(rules.metres({Kind::Storeys, 0}));
    EXPECT_FALSE(rules.metres({Kind::Storeys, 201}));
    EXPECT_FALSE(rules.metres({Kind::Metres, 0}));
    EXPECT_FALSE(rules.metres({Kind::Metres, 1000.5}));
}

// Without a code page in the header, or with a Western one, the texts tell it: GBK, Shift-JIS
// (whose pairs are often valid GBK too), or windows-1252 for Western texts; one given wins.
TEST(DrawingText, CodePagesFoundFromTheTexts)
{
    struct Case {
        const char *drawing, *encoding, *layer;
        dxf::Drawing::EncodingFrom from;
    };
    const Case cases[] = {
        {"r12_gbk_unmarked.dxf", "GBK", "建筑物", dxf::Drawing::EncodingFrom::Texts},
        {"r12_gbk_as_1252.dxf", "GBK", "总平面", dxf::Drawing::EncodingFrom::Texts},
        {"r12_sjis_unmarked.dxf", "Shift_JIS", "建物", dxf::Drawing::EncodingFrom::Texts},
        {"r12_cp1252_unmarked.dxf", "windows-1252", "Bâtiment", dxf::Drawing::EncodingFrom::Header},
        {"r12_gbk.dxf", "GBK", "避雷针", dxf::Drawing::EncodingFrom::Header},
    };
    for (const Case &c : cases) {
        const dxf::Drawing d = dxf_test::load(dxf_test::written(c.drawing));
        EXPECT_EQ(d.encoding, c.encoding) << c.drawing;
        EXPECT_EQ(d.encodingFrom, c.from) << c.drawing;
        EXPECT_EQ(d.layers.back().name, QString::fromUtf8(c.layer)) << c.drawing;
    }
    EXPECT_EQ(dxf::codePageNote(dxf_test::load(dxf_test::written("r12_gbk_unmarked.dxf"))),
              QStringLiteral("图中未记代码页，按文字判断为 GBK（ANSI_936）"));
    const dxf::ReadResult given =
        dxf::loadDrawing(dxf_test::written("r12_sjis_unmarked.dxf"), {"GBK"});
    ASSERT_TRUE(given.drawing);
    EXPECT_EQ(given.drawing->encodingFrom, dxf::Drawing::EncodingFrom::Given);
    EXPECT_NE(given.drawing->layers.back().name, QStringLiteral("建物"));
    for (const char *name :
         {"gbk", "ANSI_936", "sjis", "ANSI_932", "Big5", "ANSI_950", "ANSI_1252", "utf-8"})
        EXPECT_TRUE(dxf::codePageNamed(QString::fromUtf8(name))) << name;
    EXPECT_FALSE(dxf::codePageNamed(QStringLiteral("latin9")));
}

// The code page by version and header, and the escapes for what it cannot hold.
TEST(DrawingText, CodePagesAndEscapes)
{
    EXPECT_EQ(dxf::encodingFor(QStringLiteral("AC1009"), "ANSI_936"), "GBK");
    EXPECT_EQ(dxf::encodingFor(QStringLiteral("AC1018"), "ansi_1251"), "windows-1251");
    EXPECT_EQ(dxf::encodingFor(QStringLiteral("AC1018"), ""), "windows-1252");
    EXPECT_EQ(dxf::encodingFor(QStringLiteral("AC1021"), "ANSI_936"), "UTF-8");
    EXPECT_EQ(dxf::encodingFor(QStringLiteral("AC1032"), "ANSI_1252"), "UTF-8");

    dxf::TextDecoder gbk("GBK");
    EXPECT_EQ(gbk("\xbd\xa8\xd6\xfe"), QStringLiteral("建筑"));
    EXPECT_EQ(gbk("\\U+6C34\\U+5854 1"), QStringLiteral("水塔 1"));
    EXPECT_EQ(gbk("\\M+5BDA8"), QStringLiteral("建"));
    EXPECT_EQ(gbk("\\U+12"), QStringLiteral("\\U+12")); // too short: kept as written
    dxf::TextDecoder latin("windows-1252");
    EXPECT_EQ(latin("Stra\xdf"
                    "e"),
              QStringLiteral("Straße"));
}

struct BadDrawing {
    const char *name;
    QByteArray bytes;
    const char *message;
};

QByteArray minimal(const char *entities)
{
    return QByteArray("  0\nSECTION\n  2\nENTITIES\n") + entities + "  0\nENDSEC\n  0\nEOF\n";
}

// Files that are no drawing the program can read: each gets its own message, and no drawing.
TEST(DrawingReader, BadFilesEachWithItsMessage)
{
    const QByteArray r2010 = dxf_test::bytesOf(dxf_test::written("version_R2010.dxf"));
    const qsizetype polyline = r2010.indexOf("AcDbPolyline\n");
    ASSERT_GT(polyline, 0);
    const QByteArray selfInsert = QByteArray("  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nLOOP\n") +
                                  "  0\nINSERT\n  2\nLOOP\n  0\nENDBLK\n  0\nENDSEC\n" +
                                  minimal("  0\nINSERT\n  2\nLOOP\n");
    const BadDrawing cases[] = {
        {"binary DXF", dxf_test::bytesOf(dxf_test::written("binary.dxf")), "二进制 DXF"},
        {"DWG", QByteArray("AC1032\0\0\0\0\0\x0f", 12), "DWG"},
        {"empty", QByteArray(), "空的"},
        {"not a drawing", "hello world\n", "第 1 行：应为组码"},
        {"cut between groups", r2010.left(polyline + 13), "不完整"},
        {"cut after a code", r2010.left(polyline + 13) + "  8\n", "之后没有值"},
        {"no entities", "  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  0\nEOF\n", "没有实体段"},
        {"no SECTION", "  0\nLINE\n  0\nEOF\n", "第 1 行：不是 DXF 文件"},
        {"a number that is none", minimal("  0\nLINE\n 10\n1,5\n"),
         "第 8 行：组码 10 的值应为数字"},
        {"a number too large", minimal("  0\nCIRCLE\n 40\n1e999\n"), "应为数字"},
        {"a block inserting itself", selfInsert, "插入了它自身"},
        {"model space split by the blocks",
         QByteArray("  0\nSECTION\n  2\nENTITIES\n  0\nPOINT\n  0\nENDSEC\n") +
             "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nA\n  0\nPOINT\n  0\nENDBLK\n" +
             "  0\nENDSEC\n" + minimal("  0\nPOINT\n"),
         "两边各有一个实体段"},
    };
    for (const auto &c : cases) {
        const dxf::ReadResult r = dxf::readDrawing(c.bytes);
        EXPECT_FALSE(r.drawing) << c.name;
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.message)))
            << c.name << ": " << r.error.toStdString();
    }
}

// Arrays of arrays could stand for more entities than any walk should visit: the drawing is
// refused when they would pass the limit, and read when they stay within it.
TEST(DrawingReader, ExpandedSizeIsBounded)
{
    const auto nested = [](int columns) {
        return QByteArray("  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nA\n  0\nPOINT\n") +
               "  0\nENDBLK\n  0\nBLOCK\n  2\nB\n  0\nINSERT\n  2\nA\n 70\n" +
               QByteArray::number(columns) + "\n 71\n1000\n  0\nENDBLK\n  0\nENDSEC\n" +
               minimal("  0\nINSERT\n  2\nB\n 70\n1000\n");
    };
    const auto big = dxf::readDrawing(nested(1000));
    EXPECT_FALSE(big.drawing);
    EXPECT_TRUE(big.error.contains(QStringLiteral("超过"))) << big.error.toStdString();
    const auto fine = dxf::readDrawing(nested(2));
    ASSERT_TRUE(fine.drawing) << fine.error.toStdString();
    EXPECT_EQ(dxf::layerSummaries(*fine.drawing)[0].counts.points, 2'000'000u);

    // An empty block in the largest array there can be: its copies are not walked one by one.
    const auto empty = dxf::readDrawing(
        "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nE\n  0\nENDBLK\n  0\nENDSEC\n" +
        minimal("  0\nINSERT\n  2\nE\n 70\n32767\n 71\n32767\n"));
    ASSERT_TRUE(empty.drawing) << empty.error.toStdString();
    EXPECT_TRUE(dxf::preview(*empty.drawing).paths.empty());
}

// Polygon meshes and polyface meshes are left out with their vertices; what follows them is
// read as usual.
TEST(DrawingReader, MeshesLeftOut)
{
    const auto read = dxf::readDrawing(
        minimal("  0\nPOLYLINE\n 70\n16\n  0\nVERTEX\n 10\n1\n  0\nVERTEX\n 10\n2\n  0\nSEQEND\n"
                "  0\nPOLYLINE\n 70\n1\n  0\nVERTEX\n 10\n0\n  0\nVERTEX\n 10\n4\n"
                "  0\nVERTEX\n 10\n4\n 20\n3\n  0\nSEQEND\n"));
    ASSERT_TRUE(read.drawing) << read.error.toStdString();
    ASSERT_EQ(read.drawing->entities.size(), 1u);
    EXPECT_EQ(read.drawing->entities[0].count, 3u);
    EXPECT_EQ(dxf::layerSummaries(*read.drawing)[0].counts.closedOutlines, 1u);
}

// Every version from R12 to 2018, GBK before 2007 and UTF-8 after: the layer's Chinese name
// and its one outline and two texts come through.
TEST(DrawingReader, EveryVersionReads)
{
    const std::pair<const char *, const char *> versions[] = {
        {"R12", "AC1009"},   {"R2000", "AC1015"}, {"R2004", "AC1018"}, {"R2007", "AC1021"},
        {"R2010", "AC1024"}, {"R2013", "AC1027"}, {"R2018", "AC1032"}};
    for (const auto &[version, acadver] : versions) {
        const std::string file = std::string("version_") + version + ".dxf";
        const dxf::Drawing d = dxf_test::load(dxf_test::written(file.c_str()));
        EXPECT_EQ(d.version, QString::fromLatin1(acadver)) << version;
        const auto layers = dxf::layerSummaries(d);
        const auto *layer = summaryOf(layers, "建筑物轮廓");
        ASSERT_TRUE(layer) << version;
        EXPECT_EQ(layer->counts, (LayerCounts{1, 0, 0, 0, 2, 0})) << version;
    }
}

} // namespace
