#include "dxf/dxf_writer.h"
#include "dxf/layout_drawing.h"
#include "layouts/layout_zone.h"
#include "roof/lay_out.h"
#include "roof/roof_check.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace {

using calc::layout::Layout;
using calc::layout::Wire;
using lplayout::DrawingPlace;

// The example of the README: three rods and a wire over two buildings, 1#楼 unprotected.
Layout twoBuildings()
{
    Layout layout;
    layout.hr = 45;
    layout.conductors = {calc::layout::Rod{-6, -4, 30}, calc::layout::Rod{64, 0, 25},
                         calc::layout::Rod{50, 30, 20},
                         calc::layout::Wire{{0, 6, 22}, {30, 6, 22}}};
    layout.objects = {{"1#楼", {{0, 0}, {30, 0}, {30, 12}, {0, 12}}, 18},
                      {"2#楼", {{38, 4}, {58, 4}, {58, 20}, {38, 20}}, 12}};
    return layout;
}

const DrawingPlace kFar{DrawingPlace::Units::Millimetres, 512000000, 3010000};

struct Tag {
    int code;
    std::string value;
};

// The file's tags, each a code line and a value line.
std::vector<Tag> tagsOf(const QByteArray &bytes)
{
    std::vector<Tag> tags;
    std::istringstream in(bytes.toStdString());
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value)) {
        if (!value.empty() && value.back() == '\r') value.pop_back();
        tags.push_back({std::stoi(code), value});
    }
    return tags;
}

// One entity of the ENTITIES section: its type and tags.
struct Entity {
    std::string type;
    std::vector<Tag> tags;
    std::string value(int code) const
    {
        for (const Tag &t : tags)
            if (t.code == code) return t.value;
        return {};
    }
};

std::vector<Entity> entitiesOf(const std::vector<Tag> &tags)
{
    std::vector<Entity> entities;
    bool inside = false;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const Tag &t = tags[i];
        if (t.code == 2 && i > 0 && tags[i - 1].value == "SECTION")
            inside = t.value == "ENTITIES";
        else if (inside && t.code == 0 && t.value != "ENDSEC")
            entities.push_back({t.value, {}});
        else if (inside && t.code != 0 && !entities.empty())
            entities.back().tags.push_back(t);
    }
    return entities;
}

TEST(DrawingNumbers, KeepEveryMillimetreFarOutAndIgnoreTheLocale)
{
    const char *old = std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(dxf::number(512000000.123), "512000000.123");
    EXPECT_EQ(dxf::number(-3010000.5), "-3010000.5");
    EXPECT_EQ(dxf::number(18000), "18000.0");
    EXPECT_EQ(dxf::number(1e15 + 0.25), "1000000000000000.25");
    // A rounding residue below a millionth of a unit is no coordinate, nor is -0.
    EXPECT_EQ(dxf::number(12.000000000000002), "12.0");
    EXPECT_EQ(dxf::number(-1e-9), "0.0");
    if (old) std::setlocale(LC_ALL, "C");
}

TEST(DrawingNumbers, TextStaysOnOneLineAndShowsPercentSigns)
{
    EXPECT_EQ(dxf::textValue("1#楼\n南\r侧"), "1#楼 南 侧");
    EXPECT_EQ(dxf::textValue("5%"), "5%");
    EXPECT_EQ(dxf::textValue("%%c"), "%%%%%%c");
}

void expectHandlesSound(const std::vector<Tag> &tags)
{
    std::set<unsigned long> handles;
    unsigned long seed = 0;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags[i].code == 5 || tags[i].code == 105) {
            // The seed is a header variable's value, not an object's handle.
            if (i > 0 && tags[i - 1].value == "$HANDSEED") {
                seed = std::stoul(tags[i].value, nullptr, 16);
                continue;
            }
            EXPECT_TRUE(handles.insert(std::stoul(tags[i].value, nullptr, 16)).second)
                << "handle " << tags[i].value << " twice";
        }
    }
    ASSERT_FALSE(handles.empty());
    EXPECT_GT(seed, *handles.rbegin());
    for (const Tag &t : tags) {
        if ((t.code == 330 || t.code == 340 || t.code == 350) && t.value != "0") {
            EXPECT_TRUE(handles.count(std::stoul(t.value, nullptr, 16))) << t.value;
        }
    }
}

TEST(LayoutDrawing, HandlesAreUniqueAndEveryOwnerExists)
{
    const Layout layout = twoBuildings();
    expectHandlesSound(tagsOf(dxf::layoutDrawing(layout, calc::layout::checkObjects(layout),
                                                 {{{-20, 8}, {80, 8}}}, kFar, "2024-05-01")));
}

// An L-shaped building laid out: the roof network on its layers, one block insert of the mark
// per down conductor at its top, the block defined once with its own record, every handle sound;
// titled as the roof plan. A layout without a network keeps its usual title and layers.
TEST(LayoutDrawing, RoofNetworkOnItsLayersWithTheMarkAsABlock)
{
    Layout layout;
    layout.objects = {{"1#楼", {{0, 0}, {50, 0}, {50, 20}, {20, 20}, {20, 45}, {0, 45}}, 24}};
    layout = calc::roof::layOutRoofs(layout);
    const calc::roof::SiteRoofs site = calc::roof::checkRoofs(layout);
    const auto tags = tagsOf(dxf::layoutDrawing(layout, calc::layout::checkObjects(layout),
                                                std::nullopt, kFar, "2024-05-01"));
    expectHandlesSound(tags);
    const auto entities = entitiesOf(tags);
    const auto count = [&](const std::string &type, const std::string &layer) {
        return std::count_if(entities.begin(), entities.end(), [&](const Entity &e) {
            return e.type == type && e.value(8) == layer;
        });
    };
    const std::size_t downs = site.buildings.at(0).down.conductors.size();
    ASSERT_GE(downs, 4u);
    EXPECT_EQ(static_cast<std::size_t>(count("INSERT", "引下线")), downs);
    EXPECT_EQ(static_cast<std::size_t>(count("LINE", "引下线")), downs);
    EXPECT_EQ(count("LINE", "接闪带"), 6); // one per edge of the L
    EXPECT_GT(count("LINE", "接闪网"), 0);
    EXPECT_EQ(count("LINE", "避雷线"), 0);
    // The insert stands at the conductor's top, in the drawing's millimetres far out.
    const calc::roof::DownConductor &first = site.buildings[0].down.conductors[0];
    const auto mark = std::find_if(entities.begin(), entities.end(),
                                   [](const Entity &e) { return e.type == "INSERT"; });
    EXPECT_EQ(mark->value(2), "引下线符号");
    EXPECT_NEAR(std::stod(mark->value(10)), kFar.originX + first.at.x * 1000, 1e-6);
    EXPECT_NEAR(std::stod(mark->value(30)), first.top * 1000, 1e-6);
    std::size_t definitions = 0, numbered = 0;
    bool roofTitle = false;
    for (std::size_t i = 0; i + 1 < tags.size(); ++i) {
        if (tags[i].code == 0 && tags[i].value == "BLOCK" &&
            std::any_of(tags.begin() + static_cast<long>(i),
                        tags.begin() + static_cast<long>(i) + 12,
                        [](const Tag &t) { return t.code == 2 && t.value == "引下线符号"; }))
            ++definitions;
        if (tags[i].code == 1 && tags[i].value.rfind("引下线", 0) == 0 &&
            tags[i].value.size() > std::string("引下线").size() &&
            std::isdigit(static_cast<unsigned char>(tags[i].value[std::string("引下线").size()])))
            ++numbered;
        roofTitle = roofTitle || (tags[i].code == 1 && tags[i].value == "天面防雷平面图");
    }
    EXPECT_EQ(definitions, 1u);
    EXPECT_EQ(numbered, downs);
    EXPECT_TRUE(roofTitle);

    const Layout plain = twoBuildings();
    const auto plainTags = tagsOf(dxf::layoutDrawing(plain, calc::layout::checkObjects(plain),
                                                     std::nullopt, kFar, "2024-05-01"));
    EXPECT_TRUE(std::none_of(plainTags.begin(), plainTags.end(), [](const Tag &t) {
        return t.value == "天面防雷平面图" || t.value == "引下线符号";
    }));
}

TEST(LayoutDrawing, GeometryLiesInTheDrawingsUnitsAtItsOrigin)
{
    const Layout layout = twoBuildings();
    const auto entities = entitiesOf(tagsOf(dxf::layoutDrawing(
        layout, calc::layout::checkObjects(layout), std::nullopt, kFar, "2024-05-01")));
    std::vector<const Entity *> circles, wires, objects;
    for (const Entity &e : entities) {
        if (e.type == "CIRCLE") circles.push_back(&e);
        if (e.type == "LINE" && e.value(8) == dxf::kWiresLayer) wires.push_back(&e);
        if (e.type == "LWPOLYLINE" && e.value(8) == dxf::kObjectsLayer) objects.push_back(&e);
    }
    ASSERT_EQ(circles.size(), 3u);
    EXPECT_EQ(circles[0]->value(10), "511994000.0");
    EXPECT_EQ(circles[0]->value(20), "3006000.0");
    EXPECT_EQ(circles[0]->value(30), "30000.0"); // at the rod's tip
    ASSERT_EQ(wires.size(), 1u);
    EXPECT_EQ(wires[0]->value(11), "512030000.0");
    EXPECT_EQ(wires[0]->value(31), "22000.0");
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->value(38), "18000.0"); // the roof's height as elevation
    EXPECT_EQ(objects[0]->value(70), "1");
    EXPECT_EQ(objects[0]->value(62), "1"); // red: unprotected
    EXPECT_EQ(objects[1]->value(62), "94");
}

// Each ring of the area, read back from the file into layout metres, runs within 5 cm of the
// engine's boundary at its height: around each corner and the middle of each side, within
// 5 cm, lie points both inside the area and outside it. Only the rings at the heights asked;
// returns the heights of all.
std::set<double> expectRingsNearTheBoundary(const Layout &layout, const std::set<double> &asked)
{
    const auto engine = calc::layout::prepareEngine(layout);
    const auto entities = entitiesOf(tagsOf(dxf::layoutDrawing(
        layout, calc::layout::checkObjects(layout), std::nullopt, kFar, "2024-05-01")));
    std::set<double> heights;
    for (const Entity &e : entities) {
        if (e.type != "LWPOLYLINE" || e.value(8) != dxf::kZoneLayer) continue;
        EXPECT_EQ(e.value(70), "1");
        const double height = dxf::lengthToLayout(kFar, std::stod(e.value(38)));
        heights.insert(height);
        if (!asked.count(height)) continue;
        std::vector<dxf::DrawingPoint> ring;
        for (std::size_t i = 0; i + 1 < e.tags.size(); ++i)
            if (e.tags[i].code == 10)
                ring.push_back(dxf::toLayout(kFar, std::stod(e.tags[i].value),
                                             std::stod(e.tags[i + 1].value)));
        // No coarse polygon: a ring of a few corners only around a small island of the area.
        if (ring.size() < 3) {
            ADD_FAILURE() << "a ring of " << ring.size() << " points at hx = " << height;
            continue;
        }
        double across = 0;
        for (const auto &p : ring)
            across = std::max(across, std::hypot(p.x - ring[0].x, p.y - ring[0].y));
        if (across > 1) {
            EXPECT_GT(ring.size(), 8u) << "at hx = " << height;
        }
        const auto nearBoundary = [&](double x, double y) {
            bool in = false, out = false;
            for (int k = 0; k < 32; ++k) {
                const double angle = k * M_PI / 16;
                const bool inside = calc::layout::insideZone(engine, x + 0.05 * std::cos(angle),
                                                             y + 0.05 * std::sin(angle), height);
                in = in || inside;
                out = out || !inside;
            }
            return in && out;
        };
        int wrong = 0;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const auto a = ring[i], b = ring[(i + 1) % ring.size()];
            if (!nearBoundary(a.x, a.y) || !nearBoundary((a.x + b.x) / 2, (a.y + b.y) / 2)) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "at hx = " << height;
    }
    return heights;
}

// A ring at the ground and at each roof.
TEST(LayoutDrawing, AreaRingsLieWithinFiveCentimetresOfTheBoundary)
{
    EXPECT_EQ(expectRingsNearTheBoundary(twoBuildings(), {0, 12}), (std::set<double>{0, 12, 18}));
}

// At 18 m, 1#楼's roof, a neck of the zone about 35 cm wide, narrower than the grid's cells,
// closes a hole in it: the outline runs along both sides of the neck and around the hole.
TEST(LayoutDrawing, AreaRingsAt18mLieWithinFiveCentimetres)
{
    expectRingsNearTheBoundary(twoBuildings(), {18});
}

// Where the zone narrows between conductors: two rods' zones meeting in a waist at 15 and 16 m,
// and a wire's zone tapering away from a rod and a down conductor at 18 to 21 m.
TEST(LayoutDrawing, AreaRingsFollowNarrowingZones)
{
    Layout rods;
    rods.hr = 45;
    rods.conductors = {calc::layout::Rod{0, 0, 20}, calc::layout::Rod{30, 0, 20}};
    rods.objects = {{"岗亭", {{13, -2}, {17, -2}, {17, 2}, {13, 2}}, 15},
                    {"棚", {{13, 10}, {17, 10}, {17, 12}, {13, 12}}, 16}};
    expectRingsNearTheBoundary(rods, {15, 16});
    Layout wire;
    wire.hr = 30;
    wire.conductors = {calc::layout::Rod{0, 0, 25}, calc::layout::Rod{40, 5, 15},
                       calc::layout::Wire{{0, 0, 25}, {-20, 30, 18}},
                       calc::layout::Wire{{40, 5, 15}, {40, 5, 0}}};
    for (int roof = 18; roof <= 21; ++roof) {
        const double x = 3.0 * (roof - 18);
        wire.objects.push_back(
            {"塔" + std::to_string(roof), {{x, 2}, {x + 2, 2}, {x + 2, 4}, {x, 4}}, double(roof)});
    }
    expectRingsNearTheBoundary(wire, {18, 19, 20, 21});
}

// Each wire's ends carry their heights, the first end with the wire's number; an end where an
// earlier wire has already said its height is not labelled again.
TEST(LayoutDrawing, WiresMeetingAtAnEndLabelItOnce)
{
    Layout layout;
    layout.conductors = {Wire{{0, 0, 22}, {10, 0, 22}}, Wire{{20, 0, 22}, {10, 0, 22}},
                         Wire{{20, 0, 22}, {20, 10, 18}}};
    const QByteArray bytes =
        dxf::layoutDrawing(layout, {}, std::nullopt, std::nullopt, "2024-05-01");
    const auto lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    const auto count = [&](const char *text) {
        return std::count_if(lines.begin(), lines.end(), [&](const QString &l) {
            return l.trimmed() == QString::fromUtf8(text);
        });
    };
    EXPECT_EQ(count("1 h=22.0m"), 1);
    EXPECT_EQ(count("2 h=22.0m"), 1);
    EXPECT_EQ(count("3 h=22.0m"), 1);
    EXPECT_EQ(count("h=22.0m"), 1); // the first wire's second end; the second's is the same
    EXPECT_EQ(count("h=18.0m"), 1);
}

TEST(LayoutDrawing, WritingReplacesTheFileOnlyWhenItCan)
{
    const Layout layout = twoBuildings();
    QString error;
    EXPECT_FALSE(dxf::writeLayoutDrawing(QStringLiteral("/no/such/folder/plan.dxf"), layout, {},
                                         std::nullopt, std::nullopt, "2024-05-01", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/no/such/folder/plan.dxf"))) << error.toStdString();
    Layout flat = layout;
    flat.conductors.push_back(calc::layout::Rod{0, 0, -1}); // below the ground
    error.clear();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.dxf"));
    EXPECT_FALSE(
        dxf::writeLayoutDrawing(path, flat, {}, std::nullopt, std::nullopt, "2024-05-01", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
