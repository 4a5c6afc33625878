#include "project/project_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string_view>

namespace {

using namespace calc::layout;
using lplayout::parseProject;

QByteArray withBody(const char *conductors, const char *objects, const char *head = nullptr)
{
    QByteArray text =
        head ? QByteArray(head) : QByteArray(R"("format": "lplayout", "version": 1, "hr": 45)");
    return "{" + text + R"(, "conductors": )" + conductors + R"(, "objects": )" + objects + "}";
}

TEST(ProjectFile, ReadsEveryField)
{
    const auto r = parseProject(withBody(
        R"([{"kind": "rod", "x": 1.5, "y": -2, "h": 30},
            {"kind": "wire", "a": [0, 0, 30], "b": [40, 0, 25.5]}])",
        R"([{"name": "1#楼", "footprint": [[5, 5], [25, 5], [25, 15], [5, 15]], "height": 18}])"));
    ASSERT_TRUE(r.file) << r.error.toStdString();
    const Layout &l = r.file->layout;
    EXPECT_EQ(l.hr, 45);
    ASSERT_EQ(l.conductors.size(), 2u);
    const Rod rod = std::get<Rod>(l.conductors[0]);
    EXPECT_EQ(rod.x, 1.5);
    EXPECT_EQ(rod.y, -2);
    EXPECT_EQ(rod.h, 30);
    const Wire wire = std::get<Wire>(l.conductors[1]);
    EXPECT_EQ(wire.a.z, 30);
    EXPECT_EQ(wire.b.x, 40);
    EXPECT_EQ(wire.b.z, 25.5);
    ASSERT_EQ(l.objects.size(), 1u);
    EXPECT_EQ(l.objects[0].name, "1#楼");
    ASSERT_EQ(l.objects[0].footprint.size(), 4u);
    EXPECT_EQ(l.objects[0].footprint[2].x, 25);
    EXPECT_EQ(l.objects[0].footprint[2].y, 15);
    EXPECT_EQ(l.objects[0].height, 18);
}

// Saved and read back, a layout is the same, and keys the program does not read survive.
TEST(ProjectFile, RoundTripKeepsLayoutAndOtherKeys)
{
    const auto first = parseProject(withBody(
        R"([{"kind": "rod", "x": 0.1, "y": 1e-3, "h": 29.95}, {"kind": "wire", "a": [0, 0, 0],
            "b": [3, 4, 12]}])",
        R"([{"name": "罐 A", "footprint": [[0, 0], [0, 3], [2, 1]], "height": 7.25}])",
        R"("format": "lplayout", "version": 1, "hr": 60, "view": {"height": 7.25, "zoom": 2})"));
    ASSERT_TRUE(first.file) << first.error.toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.lplayout"));
    QString error;
    ASSERT_TRUE(lplayout::saveProject(path, *first.file, &error)) << error.toStdString();
    const auto second = lplayout::loadProject(path);
    ASSERT_TRUE(second.file) << second.error.toStdString();

    const Layout &a = first.file->layout, &b = second.file->layout;
    EXPECT_EQ(b.hr, 60);
    ASSERT_EQ(b.conductors.size(), 2u);
    EXPECT_EQ(std::get<Rod>(b.conductors[0]).x, 0.1);
    EXPECT_EQ(std::get<Rod>(b.conductors[0]).y, 1e-3);
    EXPECT_EQ(std::get<Rod>(b.conductors[0]).h, 29.95);
    EXPECT_EQ(std::get<Wire>(b.conductors[1]).b.y, 4);
    ASSERT_EQ(b.objects.size(), 1u);
    EXPECT_EQ(b.objects[0].name, a.objects[0].name);
    EXPECT_EQ(b.objects[0].footprint.size(), 3u);
    EXPECT_EQ(b.objects[0].footprint[2].x, 2);
    EXPECT_EQ(b.objects[0].height, 7.25);
    EXPECT_EQ(second.file->otherKeys.value(QStringLiteral("view"))
                  .toObject()
                  .value(QStringLiteral("zoom")),
              2);
}

TEST(ProjectFile, FailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing-folder/site.lplayout"));
    QString error;
    EXPECT_FALSE(lplayout::saveProject(path, {}, &error));
    EXPECT_TRUE(error.startsWith(path)) << error.toStdString();
}

struct BadRow {
    std::string_view name;
    QByteArray text;
    std::string_view message; // the start of the message: the place, then the problem
};
class BadFile : public testing::TestWithParam<BadRow> {};

TEST_P(BadFile, IsRefusedNamingThePlace)
{
    const auto r = parseProject(GetParam().text);
    EXPECT_FALSE(r.file);
    EXPECT_TRUE(r.error.startsWith(
        QString::fromUtf8(GetParam().message.data(), qsizetype(GetParam().message.size()))))
        << r.error.toStdString();
}

const char *const kRod = R"([{"kind": "rod", "x": 0, "y": 0, "h": 30}])";
const char *const kNone = "[]";

INSTANTIATE_TEST_SUITE_P(
    Files, BadFile,
    testing::Values(
        BadRow{"NotJson", "{\"format\": ", "第 "}, BadRow{"NotAnObject", "[1, 2]", "文件顶层"},
        BadRow{"WrongFormat",
               withBody(kRod, kNone, R"("format": "lpcalc", "version": 1, "hr": 45)"),
               "format: 不是防雷布置文件"},
        BadRow{"MissingFormat", withBody(kRod, kNone, R"("version": 1, "hr": 45)"),
               "format: 缺少此项"},
        BadRow{"NewerVersion",
               withBody(kRod, kNone, R"("format": "lplayout", "version": 2, "hr": 45)"),
               "version: 文件版本 2"},
        BadRow{"VersionNotNumeric",
               withBody(kRod, kNone, R"("format": "lplayout", "version": "1", "hr": 45)"),
               "version: 应为数字"},
        BadRow{"VersionFraction",
               withBody(kRod, kNone, R"("format": "lplayout", "version": 1.5, "hr": 45)"),
               "version: 应为正整数"},
        BadRow{"HrNotOfAClass",
               withBody(kRod, kNone, R"("format": "lplayout", "version": 1, "hr": 40)"),
               "hr: 滚球半径应为 30、45 或 60"},
        BadRow{"HrMissing", withBody(kRod, kNone, R"("format": "lplayout", "version": 1)"),
               "hr: 缺少此项"},
        BadRow{"ConductorsMissing",
               R"({"format": "lplayout", "version": 1, "hr": 45, "objects": []})",
               "conductors: 缺少此项"},
        BadRow{"ConductorsNotAnArray", withBody("{}", kNone), "conductors: 应为数组"},
        BadRow{"UnknownKind", withBody(R"([{"kind": "mast"}])", kNone),
               "conductors[0].kind: 应为 \"rod\" 或 \"wire\""},
        BadRow{"RodHeightZero",
               withBody(R"([{"kind": "rod", "x": 0, "y": 0, "h": 30},
                           {"kind": "rod", "x": 0, "y": 0, "h": 0}])",
                        kNone),
               "conductors[1].h: 避雷针高度应大于 0"},
        BadRow{"RodHeightNegative",
               withBody(R"([{"kind": "rod", "x": 0, "y": 0, "h": -3}])", kNone),
               "conductors[0].h: 避雷针高度应大于 0"},
        BadRow{"RodXNotNumeric", withBody(R"([{"kind": "rod", "x": "0", "y": 0, "h": 3}])", kNone),
               "conductors[0].x: 应为数字"},
        BadRow{"RodYMissing", withBody(R"([{"kind": "rod", "x": 0, "h": 3}])", kNone),
               "conductors[0].y: 缺少此项"},
        BadRow{"WireEndBelowGround",
               withBody(R"([{"kind": "wire", "a": [0, 0, 10], "b": [5, 0, -0.5]}])", kNone),
               "conductors[0].b[2]: 端点低于地面"},
        BadRow{"WireEndTwoNumbers",
               withBody(R"([{"kind": "wire", "a": [0, 0], "b": [5, 0, 1]}])", kNone),
               "conductors[0].a: 应为 [x, y, z] 三个数"},
        BadRow{"HugeCoordinate", withBody(R"([{"kind": "rod", "x": 1e9, "y": 0, "h": 3}])", kNone),
               "conductors[0].x: 超出"},
        BadRow{"OverflowingNumber",
               withBody(R"([{"kind": "rod", "x": 1e999, "y": 0, "h": 3}])", kNone), "第 "},
        BadRow{"HugeHeight", withBody(R"([{"kind": "rod", "x": 0, "y": 0, "h": 5000}])", kNone),
               "conductors[0].h: 超过"},
        BadRow{"FootprintTwoCorners",
               withBody(kRod, R"([{"name": "a", "footprint": [[0, 0], [1, 1]], "height": 3}])"),
               "objects[0].footprint: 至少需要 3 个角点"},
        BadRow{"FootprintCrossesItself",
               withBody(kRod, R"([{"name": "a", "footprint": [[0, 0], [2, 2], [2, 0], [0, 2]],
                                  "height": 3}])"),
               "objects[0].footprint: 轮廓自相交"},
        BadRow{"FootprintCornerNotNumeric",
               withBody(kRod, R"([{"name": "a", "footprint": [[0, 0], [2, "x"], [2, 0]],
                                  "height": 3}])"),
               "objects[0].footprint[1][1]: 应为数字"},
        BadRow{"ObjectHeightZero",
               withBody(kRod, R"([{"name": "a", "footprint": [[0, 0], [2, 2], [2, 0]],
                                  "height": 0}])"),
               "objects[0].height: 高度应大于 0"},
        BadRow{"ObjectNameNotText",
               withBody(kRod, R"([{"name": 7, "footprint": [[0, 0], [2, 2], [2, 0]],
                                  "height": 1}])"),
               "objects[0].name: 应为文字"},
        BadRow{"ObjectNotAnObject", withBody(kRod, "[[1]]"), "objects[0]: 应为 JSON 对象"},
        BadRow{"DrawingUnitsUnknown",
               withBody(kRod, kNone,
                        R"("format": "lplayout", "version": 1, "hr": 45,
                           "drawing": {"units": "inch", "origin": [0, 0]})"),
               "drawing.units: 应为"},
        BadRow{"DrawingOriginOneNumber",
               withBody(kRod, kNone,
                        R"("format": "lplayout", "version": 1, "hr": 45,
                           "drawing": {"units": "mm", "origin": [5]})"),
               "drawing.origin: 应为 [x, y] 两个数"},
        BadRow{"DrawingOriginHuge",
               withBody(kRod, kNone,
                        R"("format": "lplayout", "version": 1, "hr": 45,
                           "drawing": {"units": "mm", "origin": [1e13, 0]})"),
               "drawing.origin[0]: 超出"},
        BadRow{"TdZero", withBody(kRod, kNone, R"("format": "lplayout", "version": 1, "hr": 45,
                                                  "td": 0)"),
               "td: 年雷暴日应大于 0 且不超过 365"},
        BadRow{"TdAYearAndADay",
               withBody(kRod, kNone, R"("format": "lplayout", "version": 1, "hr": 45, "td": 366)"),
               "td: 年雷暴日"},
        BadRow{"TdText",
               withBody(kRod, kNone, R"("format": "lplayout", "version": 1, "hr": 45, "td": "40")"),
               "td: 应为数字"},
        BadRow{"CityNotInTheList",
               withBody(kRod, kNone,
                        R"("format": "lplayout", "version": 1, "hr": 45, "city": "亚特兰蒂斯")"),
               "city: 不在城市列表中"},
        BadRow{"KNotAFactor",
               withBody(kRod, kNone, R"("format": "lplayout", "version": 1, "hr": 45, "k": 1.2)"),
               "k: 校正系数应为 1、1.5、1.7 或 2"},
        BadRow{"GroupUnknown",
               withBody(kRod, R"([{"name": "a", "footprint": [[0, 0], [2, 2], [2, 0]],
                                  "height": 1, "group": "school"}])"),
               "objects[0].group: 应为 \"important\" 或 \"ordinary\""},
        BadRow{"MetalNotTrueOrFalse",
               withBody(kRod, R"([{"name": "a", "footprint": [[0, 0], [2, 2], [2, 0]],
                                  "height": 1, "metal": "yes"}])"),
               "objects[0].metal: 应为 true 或 false"},
        BadRow{
            "LaidOutNotTrueOrFalse",
            withBody(R"([{"kind": "wire", "a": [0, 0, 5], "b": [1, 0, 5], "laidOut": 1}])", kNone),
            "conductors[0].laidOut: 应为 true 或 false"},
        BadRow{"BuildingNotText",
               withBody(kRod, R"([{"name": "a", "footprint": [[0, 0], [2, 2], [2, 0]],
                                  "height": 1, "building": 3}])"),
               "objects[0].building: 应为文字"}),
    [](const auto &info) { return std::string(info.param.name); });

// A layout taken from a drawing keeps the drawing's units and origin through a save; one that
// was not writes no such key.
TEST(ProjectFile, DrawingPlaceRoundTrips)
{
    const auto read = parseProject(withBody(kRod, kNone, R"("format": "lplayout", "version": 1,
        "hr": 45, "drawing": {"units": "cm", "origin": [512000000.5, -3010000]})"));
    ASSERT_TRUE(read.file) << read.error.toStdString();
    ASSERT_TRUE(read.file->drawing);
    EXPECT_EQ(read.file->drawing->units, lplayout::DrawingPlace::Units::Centimetres);
    EXPECT_EQ(read.file->drawing->originX, 512000000.5);
    EXPECT_EQ(read.file->drawing->originY, -3010000);
    EXPECT_TRUE(read.file->otherKeys.isEmpty());
    const auto again = parseProject(lplayout::serializeProject(*read.file));
    ASSERT_TRUE(again.file);
    EXPECT_EQ(again.file->drawing, read.file->drawing);

    const auto plain = parseProject(withBody(kRod, kNone));
    ASSERT_TRUE(plain.file);
    EXPECT_FALSE(plain.file->drawing);
    EXPECT_FALSE(lplayout::serializeProject(*plain.file).contains("drawing"));
}

// The values of the yearly strike counts come back from a save as they were given, and a file
// without them writes none of their keys.
TEST(ProjectFile, StrikeValuesRoundTrip)
{
    const auto read = parseProject(withBody(
        kRod,
        R"([{"name": "裙房", "footprint": [[0, 0], [40, 0], [40, 30]], "height": 12,
             "building": "1#楼", "group": "important"},
            {"name": "塔楼", "footprint": [[5, 5], [20, 5], [20, 20]], "height": 60,
             "group": "ordinary"},
            {"name": "门卫", "footprint": [[90, 0], [93, 0], [93, 3]], "height": 3}])",
        R"("format": "lplayout", "version": 1, "hr": 45, "td": 40.5, "city": "北京", "k": 1.5)"));
    ASSERT_TRUE(read.file) << read.error.toStdString();
    const Layout &l = read.file->layout;
    EXPECT_EQ(l.site.thunderstormDays, 40.5);
    EXPECT_EQ(l.site.city, "北京");
    EXPECT_EQ(l.site.k, 1.5);
    EXPECT_EQ(l.objects[0].building, "1#楼");
    EXPECT_EQ(l.objects[0].group, calc::BuildingGroup::Important);
    EXPECT_EQ(l.objects[1].building, "");
    EXPECT_EQ(l.objects[1].group, calc::BuildingGroup::Ordinary);
    EXPECT_FALSE(l.objects[2].group);
    EXPECT_TRUE(read.file->otherKeys.isEmpty());

    const auto again = parseProject(lplayout::serializeProject(*read.file));
    ASSERT_TRUE(again.file) << again.error.toStdString();
    const Layout &m = again.file->layout;
    EXPECT_EQ(m.site.thunderstormDays, l.site.thunderstormDays);
    EXPECT_EQ(m.site.city, l.site.city);
    EXPECT_EQ(m.site.k, l.site.k);
    for (std::size_t i = 0; i < l.objects.size(); ++i) {
        EXPECT_EQ(m.objects[i].building, l.objects[i].building) << i;
        EXPECT_EQ(m.objects[i].group, l.objects[i].group) << i;
    }

    const QByteArray plain = lplayout::serializeProject(
        *parseProject(
             withBody(kRod,
                      R"([{"name": "a", "footprint": [[0, 0], [2, 2], [2, 0]], "height": 1}])"))
             .file);
    for (const char *key : {"\"td\"", "\"city\"", "\"k\"", "\"building\"", "\"group\""})
        EXPECT_FALSE(plain.contains(key)) << key;
}

// A metal object and a laid-out wire keep their marks through a save; a file without them writes
// neither key, so that a layout of the first version stays as it was.
TEST(ProjectFile, MetalAndLaidOutRoundTrip)
{
    const auto read = parseProject(withBody(
        R"([{"kind": "wire", "a": [0, 0, 5], "b": [1, 0, 5], "laidOut": true},
            {"kind": "wire", "a": [0, 1, 5], "b": [1, 1, 5], "laidOut": false},
            {"kind": "wire", "a": [0, 2, 5], "b": [1, 2, 5]}])",
        R"([{"name": "烟囱", "footprint": [[0, 0], [1, 0], [1, 1]], "height": 3, "metal": true},
            {"name": "楼", "footprint": [[5, 0], [9, 0], [9, 4]], "height": 3}])"));
    ASSERT_TRUE(read.file) << read.error.toStdString();
    const Layout &l = read.file->layout;
    EXPECT_TRUE(std::get<Wire>(l.conductors[0]).laidOut);
    EXPECT_FALSE(std::get<Wire>(l.conductors[1]).laidOut);
    EXPECT_FALSE(std::get<Wire>(l.conductors[2]).laidOut);
    EXPECT_TRUE(l.objects[0].metal);
    EXPECT_FALSE(l.objects[1].metal);

    const QByteArray written = lplayout::serializeProject(*read.file);
    EXPECT_EQ(written.count("\"laidOut\""), 1);
    EXPECT_EQ(written.count("\"metal\""), 1);
    const auto again = parseProject(written);
    ASSERT_TRUE(again.file) << again.error.toStdString();
    EXPECT_TRUE(std::get<Wire>(again.file->layout.conductors[0]).laidOut);
    EXPECT_TRUE(again.file->layout.objects[0].metal);
}

TEST(ProjectFile, MissingFileIsNamed)
{
    const auto r = lplayout::loadProject(QStringLiteral("/nonexistent/site.lplayout"));
    EXPECT_FALSE(r.file);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("/nonexistent/site.lplayout: ")));
}

} // namespace
