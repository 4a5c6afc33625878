#include "roof/lay_out.h"
#include "roof/roof_report.h"
#include "roof/roof_sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <variant>

namespace calc::roof {
namespace {

using layout::Layout;
using layout::Object;
using layout::Wire;

// The L-shaped building of 50 × 20 m and 20 × 45 m arms, 24 m high, class 2, laid out, with a
// metal stack on its roof. Its perimeter is 190 m.
Layout laidOutL()
{
    Layout layout;
    layout.hr = 45;
    layout.objects.push_back(
        {"1#楼", {{0, 0}, {50, 0}, {50, 20}, {20, 20}, {20, 45}, {0, 45}}, 24});
    Object stack{"排风管", {{35, 8}, {36, 8}, {36, 9}, {35, 9}}, 26.5, "1#楼"};
    stack.metal = true;
    layout.objects.push_back(stack);
    return layOutRoofs(layout);
}

// Takes out the down conductor standing at (x, y).
void removeDownConductor(Layout &layout, double x, double y)
{
    const auto at = std::find_if(layout.conductors.begin(), layout.conductors.end(), [&](auto &c) {
        const Wire &w = std::get<Wire>(c);
        return std::abs(w.a.x - x) < 0.01 && std::abs(w.a.y - y) < 0.01 && w.a.x == w.b.x &&
               w.a.y == w.b.y;
    });
    ASSERT_NE(at, layout.conductors.end());
    layout.conductors.erase(at);
}

struct Built {
    sheet::Sheet sheet;
    SiteRoofs site;
};

Built build(const Layout &layout)
{
    const std::vector<layout::ObjectVerdict> sphere = layout::checkObjects(layout);
    Built b{{}, checkRoofs(layout)};
    addRoofSections(b.sheet, layout, b.site, objectProtections(layout, b.site, sphere), sphere);
    return b;
}

const sheet::Table &rulesTable(const sheet::Section &section)
{
    for (const sheet::Block &block : section.blocks)
        if (const auto *t = std::get_if<sheet::Table>(&block); t && t->header[0] == "项目")
            return *t;
    throw std::logic_error("no table of rules");
}

const std::vector<std::string> &row(const sheet::Table &table, const std::string &rule)
{
    for (const auto &r : table.rows)
        if (r[0] == rule) return r;
    throw std::logic_error("no row " + rule);
}

bool hasParagraph(const sheet::Section &section, const std::string &part)
{
    return std::any_of(section.blocks.begin(), section.blocks.end(), [&](const sheet::Block &b) {
        const auto *p = std::get_if<sheet::Paragraph>(&b);
        return p && p->text.find(part) != std::string::npos;
    });
}

// A laid-out building: each rule with its clause, what it asks and the figures found, all
// passing; its plan with a numbered mark per down conductor and the largest cell outlined.
TEST(RoofSheet, LaidOutBuildingPassesRuleByRule)
{
    const Layout layout = laidOutL();
    const Built b = build(layout);
    const sheet::Section *section = sheet::findSection(b.sheet, "屋面防雷：1#楼");
    ASSERT_NE(section, nullptr);
    const sheet::Table &table = rulesTable(*section);
    EXPECT_EQ(table.header, (std::vector<std::string>{"项目", "条文", "要求", "计算结果", "结论"}));
    const auto &mesh = row(table, "接闪网");
    EXPECT_EQ(mesh[1], "4.3.1");
    EXPECT_NE(mesh[2].find("10 m × 10 m 或 12 m × 8 m"), std::string::npos);
    EXPECT_NE(mesh[3].find("0.00 m²"), std::string::npos);
    EXPECT_EQ(mesh[4], "满足");
    EXPECT_EQ(row(table, "接闪带")[4], "不要求"); // 24 m is not above 45 m
    EXPECT_EQ(row(table, "引下线根数")[1], "4.3.3");
    EXPECT_EQ(row(table, "引下线间距")[4], "满足");
    EXPECT_NE(row(table, "引下线间距")[2].find("18 m"), std::string::npos);
    EXPECT_NE(row(table, "突出屋面物体")[3].find("金属物体 1 个"), std::string::npos);
    EXPECT_EQ(row(table, "防侧击")[4], "不要求");
    EXPECT_TRUE(hasParagraph(*section, "接闪网、接闪带和引下线满足要求"));

    // The plan: a marker and a label 引下线N for each down conductor, none failing.
    const auto view =
        std::find_if(b.sheet.drawing.views.begin(), b.sheet.drawing.views.end(),
                     [](const auto &v) { return v.title.starts_with("屋面防雷平面：1#楼"); });
    ASSERT_NE(view, b.sheet.drawing.views.end());
    const std::size_t downs = b.site.buildings[0].down.conductors.size();
    EXPECT_EQ(view->markers.size(), downs);
    for (std::size_t n = 1; n <= downs; ++n)
        EXPECT_TRUE(std::any_of(view->labels.begin(), view->labels.end(),
                                [&](const auto &l) { return l.text == std::to_string(n); }));
    EXPECT_FALSE(std::any_of(view->paths.begin(), view->paths.end(),
                             [](const auto &p) { return p.ink == drawing::Ink::ObjectOutside; }));
    EXPECT_TRUE(std::any_of(view->labels.begin(), view->labels.end(),
                            [](const auto &l) { return l.text == "最大网格 10.00×9.00"; }));

    // Each object's method, the sphere's clearance beside it.
    const sheet::Section *methods = sheet::findSection(b.sheet, "被保护物的保护方法");
    ASSERT_NE(methods, nullptr);
    const auto &rows = std::get<sheet::Table>(methods->blocks[0]).rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], "网格法");
    EXPECT_EQ(rows[0][2], "受保护");
    EXPECT_EQ(rows[1][1], "金属物与接闪器连接");
}

// A down conductor taken out of the 50 m side: the spacing 33.33 m fails, the average
// 190 / 13 = 14.62 m holds, so the long-span note is given; the plan draws the span in red
// with its length.
TEST(RoofSheet, FailingSpacingIsNamedAndDrawn)
{
    Layout layout = laidOutL();
    removeDownConductor(layout, 50.0 / 3, 0);
    const Built b = build(layout);
    const sheet::Section *section = sheet::findSection(b.sheet, "屋面防雷：1#楼");
    ASSERT_NE(section, nullptr);
    const auto &spacing = row(rulesTable(*section), "引下线间距");
    EXPECT_EQ(spacing[3], "最大间距 33.33 m，平均间距 14.62 m");
    EXPECT_EQ(spacing[4], "不满足");
    EXPECT_TRUE(hasParagraph(*section, "间距 33.33 m，超过 18 m"));
    EXPECT_TRUE(hasParagraph(*section, "跨距两端设引下线"));
    EXPECT_TRUE(hasParagraph(*section, "不满足要求"));
    const drawing::View &view = b.sheet.drawing.views.back();
    EXPECT_TRUE(std::any_of(view.labels.begin(), view.labels.end(), [](const auto &l) {
        return l.text == "33.33" && l.ink == drawing::Ink::ObjectOutside;
    }));
}

// A building whose height cannot be used says so instead of rules; an empty site adds nothing.
TEST(RoofSheet, UncheckedBuildingAndEmptySite)
{
    Layout layout;
    layout.objects.push_back({"坏楼", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 0});
    const Built b = build(layout);
    const sheet::Section *section = sheet::findSection(b.sheet, "屋面防雷：坏楼");
    ASSERT_NE(section, nullptr);
    EXPECT_TRUE(hasParagraph(*section, "不能校核"));

    sheet::Sheet empty;
    addRoofSections(empty, Layout{}, checkRoofs(Layout{}), {}, {});
    EXPECT_TRUE(empty.sections.empty());
    EXPECT_TRUE(empty.drawing.views.empty());
}

TEST(RoofReport, TwoDecimalsNeverShowsNanOrMinusZero)
{
    EXPECT_EQ(twoDecimals(16.666), "16.67");
    EXPECT_EQ(twoDecimals(-0.001), "0.00");
    EXPECT_EQ(twoDecimals(std::numeric_limits<double>::quiet_NaN()), "超出数值范围");
    EXPECT_EQ(twoDecimals(std::numeric_limits<double>::infinity()), "超出数值范围");
}

} // namespace
} // namespace calc::roof
