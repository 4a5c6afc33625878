#include "sheets/rod_height_sheet.h"

#include "calc/rod_height.h"
#include "sheet_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using namespace sheet_test;

struct HeightsRow {
    std::string_view name;
    std::string_view hx, d;
    std::int16_t classIndex;
    std::string_view q, a, discriminant, x1, x2;
};

class RodHeightSheetNumbers : public testing::TestWithParam<HeightsRow> {};

TEST_P(RodHeightSheetNumbers, StepsAndResults)
{
    const HeightsRow &row = GetParam();
    const Sheet sheet = calc::rodHeightSheet(row.hx, row.d, row.classIndex, "2026-12-07");
    EXPECT_EQ(sheet.title, "避雷针高度计算书");
    EXPECT_FALSE(sheet.error.has_value());
    EXPECT_EQ(entryValue(sheet, kInputHeading, "距离 h"), std::string(row.d) + " m");
    EXPECT_EQ(stepValue(sheet, "q"), row.q);
    EXPECT_EQ(stepValue(sheet, "A"), row.a);
    EXPECT_EQ(stepValue(sheet, "Δ"), row.discriminant);
    EXPECT_EQ(stepValue(sheet, "x1"), row.x1);
    EXPECT_EQ(stepValue(sheet, "x2"), row.x2);
    EXPECT_EQ(entryValue(sheet, kResultHeading, "x1"), row.x1);
    EXPECT_EQ(entryValue(sheet, kResultHeading, "x2"), row.x2);
}

// q = √(hx(2hr − hx)), A = d + q, Δ = (2hr)² − 4A², x = (2hr ± √Δ)/2.
// hx 10, d 10, hr 60: q = √1100 = 33.166248, A = 43.166248, 4A² = 7453.299832, Δ = 6946.700168,
// √Δ = 83.346866, x1 = 101.673433, x2 = 18.326567.
// hx 5, d 3, hr 45: q = √425 = 20.615528, A = 23.615528, 4A² = 2230.772675, Δ = 5869.227325,
// √Δ = 76.610882, x1 = 83.305441, x2 = 6.694559.
// hx 4, d 0, hr 60: q = √464, 4A² = 1856, Δ = 12544 = 112², x1 = 116, x2 = 4.
// hx 0, d 60, hr 60: q = 0, A = 60, Δ = 0, x1 = x2 = 60.
// hx 10, d −10, hr 60: A = 23.166248, 4A² = 2146.700168, Δ = 12253.299832, √Δ = 110.694624,
// x1 = 115.347312, x2 = 4.652688.
INSTANTIATE_TEST_SUITE_P(
    Cases, RodHeightSheetNumbers,
    testing::Values(HeightsRow{"Class3", "10", "10", 0, "33.166 m", "43.166 m", "6946.700 m²",
                               "101.673 m", "18.327 m"},
                    HeightsRow{"Class2", "5", "3", 1, "20.616 m", "23.616 m", "5869.227 m²",
                               "83.305 m", "6.695 m"},
                    HeightsRow{"RodAsTallAsObject", "4", "0", 0, "21.541 m", "21.541 m",
                               "12544.000 m²", "116.000 m", "4.000 m"},
                    HeightsRow{"BothRootsAtRadius", "0", "60", 0, "0.000 m", "60.000 m", "0.000 m²",
                               "60.000 m", "60.000 m"},
                    HeightsRow{"NegativeDistance", "10", "-10", 0, "33.166 m", "23.166 m",
                               "12253.300 m²", "115.347 m", "4.653 m"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RodHeightSheet, ConclusionsInPlainWords)
{
    const Sheet sheet = calc::rodHeightSheet("10", "10", 0, "");
    const std::string conclusion = paragraphs(sheet, kConclusionHeading);
    EXPECT_TRUE(contains(conclusion, "都使距针 10 m 处高 10 m 的被保护物恰好处在保护范围的边界上"));
    EXPECT_TRUE(contains(conclusion, "通常取较小的 x2 = 18.327 m，它不超过滚球半径 hr = 60 m"));
    EXPECT_EQ(findStep(sheet, "A")->substituted, "10 + 33.166248");
    EXPECT_EQ(findStep(sheet, "x2")->substituted, "(2 × 60 - √6946.700168) / 2");

    const std::string equal =
        paragraphs(calc::rodHeightSheet("0", "60", 0, ""), kConclusionHeading);
    EXPECT_TRUE(contains(equal, "两个针高相等"));

    const std::string negative =
        paragraphs(calc::rodHeightSheet("10", "-10", 0, ""), kConclusionHeading);
    EXPECT_TRUE(contains(negative, "距离输入为负值"));
}

struct ErrorRow {
    std::string_view name;
    std::string_view hx, d;
    std::int16_t classIndex;
    std::string_view message;
};

class RodHeightErrorSheet : public testing::TestWithParam<ErrorRow> {};

TEST_P(RodHeightErrorSheet, ShowsTheMessageAndNoNumbers)
{
    const ErrorRow &row = GetParam();
    const Sheet sheet = calc::rodHeightSheet(row.hx, row.d, row.classIndex, "");
    ASSERT_TRUE(sheet.error.has_value());
    EXPECT_EQ(*sheet.error, row.message);
    EXPECT_TRUE(contains(paragraphs(sheet, kResultHeading), row.message));
    EXPECT_TRUE(allSteps(sheet).empty());
    EXPECT_TRUE(sheet.drawing.views.empty());
    EXPECT_FALSE(sheet.drawing.emptyReason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, RodHeightErrorSheet,
    testing::Values(
        ErrorRow{"DistanceEmpty", "10", "", 0, "距离 h 不是数字，请输入数字"},
        ErrorRow{"AboveTwiceRadius", "121", "0", 0, calc::rod_height::kAboveTwiceRadiusMessage},
        ErrorRow{"NegativeRadicand", "30", "5", 2, calc::rod_height::kNegativeRadicandMessage},
        ErrorRow{"NegativeObject", "-1", "5", 0, "被保护物高度 hx 不能为负数，请重新输入！"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RodHeightDrawing, TheArcOfRodX2PassesOverTheObjectsTop)
{
    // x2 = 18.326567; its ground radius ro = √(x2(120 − x2)); the arc about (ro, 60) with radius
    // 60 passes through the object's top corner (10, 10).
    const double x2 = (120 - std::sqrt(6946.700167972)) / 2;
    const double ro = std::sqrt(x2 * (120 - x2));
    const View view = calc::rodHeightSheet("10", "10", 0, "").drawing.views.at(0);

    const auto rods = pathsOf(view, Ink::Rod);
    ASSERT_EQ(rods.size(), 1u);
    EXPECT_NEAR(rods[0]->points[1].y, x2, 1e-6);
    const auto arcs = pathsOf(view, Ink::Arc);
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_NEAR(arcs[1]->points.back().x, ro, 1e-6);
    EXPECT_NEAR(std::hypot(10 - ro, 10 - 60.0), 60, 1e-6);

    const auto objects = pathsOf(view, Ink::Object);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_TRUE(near(objects[0]->points[2], {10, 10}));
    // The whole object lies inside the zone: its inner edge nearer the rod than d.
    EXPECT_LT(objects[0]->points[0].x, 10);

    // x1 is a dashed line up to 101.673433.
    const auto dashed = pathsOf(view, Ink::Construction);
    ASSERT_EQ(dashed.size(), 1u);
    EXPECT_TRUE(dashed[0]->dashed);
    EXPECT_NEAR(dashed[0]->points[1].y, 120 - x2, 1e-9);
}

} // namespace
