#include "sheets/strike_count_sheet.h"

#include "calc/numeric.h"
#include "calc/strike_count.h"
#include "sheet_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>

namespace {

using namespace sheet_test;
using calc::BuildingGroup;
using calc::StrikeClass;

struct CountRow {
    std::string_view name;
    std::string_view l, w, h;
    std::int16_t setting, city;
    std::string_view ae, n, ng2, ae2, n2;
    StrikeClass important, ordinary;
};

class StrikeCountSheetNumbers : public testing::TestWithParam<CountRow> {};

TEST_P(StrikeCountSheetNumbers, CountAndCrossCheck)
{
    const CountRow &row = GetParam();
    const Sheet sheet =
        calc::strikeCountSheet(row.l, row.w, row.h, row.setting, row.city, "2026-12-07");
    EXPECT_EQ(sheet.title, "雷击次数计算书");
    EXPECT_FALSE(sheet.error.has_value());
    EXPECT_EQ(stepValue(sheet, "Ae"), std::string(row.ae) + " km²");
    EXPECT_EQ(stepValue(sheet, "N"), std::string(row.n) + " 次/a");
    EXPECT_EQ(stepValue(sheet, "Ng′"), std::string(row.ng2) + " 次/(km²·a)");
    EXPECT_EQ(stepValue(sheet, "Ae′"), std::string(row.ae2) + " km²");
    EXPECT_EQ(stepValue(sheet, "N′"), std::string(row.n2) + " 次/a");
    EXPECT_EQ(calc::classByStrikeCount(calc::numberFromText(row.n2), BuildingGroup::Important),
              row.important);

    // N and N′ side by side, and the class of each group.
    const Section *check = findSection(sheet, kCrossCheckHeading);
    ASSERT_NE(check, nullptr);
    std::vector<Table> tables;
    for (const Block &block : check->blocks)
        if (const auto *table = std::get_if<Table>(&block)) tables.push_back(*table);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].rows[2],
              (std::vector<std::string>{"N（次/a）", std::string(row.n), std::string(row.n2)}));
    const auto said = [](StrikeClass c) {
        return std::string(c == StrikeClass::Second  ? calc::kSecondClassText
                           : c == StrikeClass::Third ? calc::kThirdClassText
                                                     : calc::kNotByCountText);
    };
    EXPECT_EQ(tables[1].rows[0].front(), calc::kImportantGroupText);
    EXPECT_EQ(tables[1].rows[0].back(), said(row.important));
    EXPECT_EQ(tables[1].rows[1].front(), calc::kOrdinaryGroupText);
    EXPECT_EQ(tables[1].rows[1].back(), said(row.ordinary));
    EXPECT_TRUE(contains(paragraphs(sheet, kCrossCheckHeading), "只判定"));
}

// Below 100 m: D = √(H(200 − H)), Ae = [LW + 2(L+W)D + π·H(200 − H)]·10⁻⁶; from 100 m:
// Ae = [LW + 2H(L+W) + πH²]·10⁻⁶; N = k·Ng·Ae with π = 3.141 and the table's Ng; N′ = k·0.1Td·Ae′
// with exact π.
// 50×20×30, 湛江 (Td 95.6, Ng 9.01), k 1: Ae = (1000 + 140·71.414284 + 3.141·5100)·10⁻⁶ =
// (1000 + 9998.0 + 16019.1)·10⁻⁶ = 0.0270171; N = 9.01·0.0270171 = 0.243424; Ae′ = (1000 + 9998.0
// + 16022.12)·10⁻⁶ = 0.0270201; N′ = 9.56·0.0270201 = 0.258312.
// 50×20×150, 湛江, k 1: Ae = (1000 + 21000 + 3.141·22500)·10⁻⁶ = 0.0926725; N = 0.834979;
// Ae′ = (22000 + 70685.83)·10⁻⁶ = 0.0926858; N′ = 9.56·0.0926858 = 0.886077.
// 20×10×8, 南宁 (88.6, 8.16), k 1: D = √1536 = 39.191836; Ae = (200 + 2351.51 + 4824.576)·10⁻⁶ =
// 0.00737609; N = 0.0601889; Ae′ = (2551.51 + 4825.486)·10⁻⁶ = 0.00737700; N′ = 8.86·0.007377 =
// 0.0653602.
// 1×1×1, 上海 (32.2, 2.19), k 1: D = √199 = 14.106736; Ae = (1 + 56.42694 + 625.059)·10⁻⁶ =
// 0.000682486; N = 0.00149464; Ae′ = (57.42694 + 625.1769)·10⁻⁶ = 0.000682604; N′ = 3.22·that =
// 0.00219798.
// 200×100×150, 海口 (113.8, 11.3), k 2: Ae = (20000 + 90000 + 70672.5)·10⁻⁶ = 0.1806725;
// N = 22.6·0.1806725 = 4.083199; Ae′ = (110000 + 70685.83)·10⁻⁶ = 0.1806858; N′ = 2·11.38·that =
// 4.112410.
// 60×40×99.9, 昆明 (62.8, 5.22), k 1.7: D = √(99.9·100.1) = 99.999950; Ae = (2400 + 19999.99 +
// 3.141·10000)·10⁻⁶ = 0.0538100; N = 8.874·0.05381 = 0.477510; Ae′ = 0.0538159; N′ = 1.7·6.28·that
// = 0.574538.
INSTANTIATE_TEST_SUITE_P(
    Cases, StrikeCountSheetNumbers,
    testing::Values(
        CountRow{"Low", "50", "20", "30", 0, 0, "0.02702", "0.2434", "9.560", "0.02702", "0.2583",
                 StrikeClass::Second, StrikeClass::Second},
        CountRow{"Tall", "50", "20", "150", 0, 0, "0.09267", "0.8350", "9.560", "0.09269", "0.8861",
                 StrikeClass::Second, StrikeClass::Second},
        CountRow{"OrdinaryThirdClass", "20", "10", "8", 0, 6, "0.007376", "0.06019", "8.860",
                 "0.007377", "0.06536", StrikeClass::Second, StrikeClass::Third},
        CountRow{"NotClassedByCount", "1", "1", "1", 0, 5, "0.0006825", "0.001495", "3.220",
                 "0.0006826", "0.002198", StrikeClass::NotByCount, StrikeClass::NotByCount},
        CountRow{"IsolatedLarge", "200", "100", "150", 1, 8, "0.1807", "4.083", "11.380", "0.1807",
                 "4.112", StrikeClass::Second, StrikeClass::Second},
        CountRow{"JustBelowHundredMetres", "60", "40", "99.9", 2, 3, "0.05381", "0.4775", "6.280",
                 "0.05382", "0.5745", StrikeClass::Second, StrikeClass::Second}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StrikeCountSheet, InputsShowTheListsWithTheirNumbers)
{
    const Sheet sheet = calc::strikeCountSheet("50", "20", "30", 2, 3, "");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "长 L"), "50 m");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "校正系数"),
              "金属屋面的砖木结构建筑 k=1.7（k = 1.7）");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "城市"), "昆明 62.8");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "年雷暴日 Td"), "62.8 d/a");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "地闪密度 Ng"), "5.22 次/(km²·a)");
    // The window's own text stands beside the sheet's value.
    EXPECT_EQ(entryValue(sheet, kResultHeading, "窗口显示"), "0.24 次/a");
}

const double kAbove05 = std::nextafter(0.05, 1.0);

TEST(StrikeClassVerdict, WritesTheCountOnTheRightSideOfTheLimit)
{
    EXPECT_EQ(calc::strikeClassVerdict(0.05, BuildingGroup::Important),
              "N′ = 0.05000，0.01 ≤ N′ ≤ 0.05，第三类防雷建筑物");
    EXPECT_EQ(calc::strikeClassVerdict(kAbove05, BuildingGroup::Important),
              "N′ = 0.05000000000000001 > 0.05，第二类防雷建筑物");
    EXPECT_EQ(calc::strikeClassVerdict(0.0500001, BuildingGroup::Important),
              "N′ = 0.0500001 > 0.05，第二类防雷建筑物");
    EXPECT_EQ(calc::strikeClassVerdict(0.25, BuildingGroup::Ordinary),
              "N′ = 0.2500，0.05 ≤ N′ ≤ 0.25，第三类防雷建筑物");
    EXPECT_EQ(calc::strikeClassVerdict(std::nextafter(0.01, 0.0), BuildingGroup::Important),
              "N′ = 0.009999999999999998 < 0.01，不按年预计雷击次数划分防雷类别");
}

struct ErrorRow {
    std::string_view name;
    std::string_view l, w, h;
    std::int16_t setting, city;
    std::string_view message;
};

class StrikeCountErrorSheet : public testing::TestWithParam<ErrorRow> {};

TEST_P(StrikeCountErrorSheet, ShowsTheMessageAndNoNumbers)
{
    const ErrorRow &row = GetParam();
    const Sheet sheet = calc::strikeCountSheet(row.l, row.w, row.h, row.setting, row.city, "");
    ASSERT_TRUE(sheet.error.has_value());
    EXPECT_EQ(*sheet.error, row.message);
    EXPECT_TRUE(contains(paragraphs(sheet, kResultHeading), row.message));
    EXPECT_TRUE(allSteps(sheet).empty());
    EXPECT_EQ(findSection(sheet, kCrossCheckHeading), nullptr);
    EXPECT_TRUE(sheet.drawing.views.empty());
    EXPECT_FALSE(sheet.drawing.emptyReason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, StrikeCountErrorSheet,
    testing::Values(
        ErrorRow{"NotNumbers", "abc", "", "10", 0, 0, "长 宽 必须为数字!"},
        ErrorRow{"Negative", "10", "-1", "10", 0, 0, "宽 不能为负数!"},
        ErrorRow{"NoCitySelected", "50", "20", "30", 0, -1, calc::strike_count::kZeroText},
        ErrorRow{"TooSmall", "0.1", "0.1", "0.1", 0, 5, calc::strike_count::kZeroText},
        ErrorRow{"TooLarge", "1e300", "1e300", "10", 0, 0, calc::strike_count::kTooLargeMessage}),
    [](const auto &info) { return std::string(info.param.name); });

// The largest distance of any outline point from the building's rectangle, less e, in size.
double offsetError(const Path &outline, double halfL, double halfW, double e)
{
    double worst = 0;
    for (Vec2 p : outline.points) {
        const double dx = std::max(std::abs(p.x) - halfL, 0.0);
        const double dy = std::max(std::abs(p.y) - halfW, 0.0);
        worst = std::max(worst, std::abs(std::hypot(dx, dy) - e));
    }
    return worst;
}

TEST(StrikeCountDrawing, EquivalentAreaOutline)
{
    // Below 100 m the outline keeps √(H(200 − H)) from the building: √5100 for 30 m.
    const View low = calc::strikeCountSheet("50", "20", "30", 0, 0, "").drawing.views.at(0);
    const auto building = pathsOf(low, Ink::Building);
    ASSERT_EQ(building.size(), 1u);
    EXPECT_EQ(building[0]->points, (std::vector<Vec2>{{-25, -10}, {25, -10}, {25, 10}, {-25, 10}}));
    const auto outline = pathsOf(low, Ink::EquivalentArea);
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_TRUE(outline[0]->closed);
    EXPECT_LT(offsetError(*outline[0], 25, 10, std::sqrt(5100.0)), 1e-9);
    bool labelled = false;
    for (const auto &label : low.labels) labelled = labelled || label.text == "Ae = 0.02702 km²";
    EXPECT_TRUE(labelled);

    // From 100 m on, by H itself.
    const View tall = calc::strikeCountSheet("50", "20", "150", 0, 0, "").drawing.views.at(0);
    EXPECT_LT(offsetError(*pathsOf(tall, Ink::EquivalentArea)[0], 25, 10, 150), 1e-9);
    EXPECT_GE(tall.bounds.max.x, 175);
    EXPECT_LE(tall.bounds.min.y, -160);
}

} // namespace
