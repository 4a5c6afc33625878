#include "sheets/two_rods_sheet.h"

#include "calc/two_rods.h"
#include "sheet_test_support.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <string_view>

namespace {

using namespace sheet_test;

struct JointRow {
    std::string_view name;
    std::string_view h, d;
    std::int16_t classIndex;
    std::string_view ro, limit, bo, hx;
};

class TwoRodsSheetNumbers : public testing::TestWithParam<JointRow> {};

TEST_P(TwoRodsSheetNumbers, StepsAndResults)
{
    const JointRow &row = GetParam();
    const Sheet sheet = calc::twoRodsSheet(row.h, row.d, row.classIndex, "2026-12-07");
    EXPECT_EQ(sheet.title, "双根等高避雷针保护范围计算书");
    EXPECT_FALSE(sheet.error.has_value());
    EXPECT_EQ(entryValue(sheet, kInputHeading, "针间距离 D"), std::string(row.d) + " m");
    EXPECT_EQ(stepValue(sheet, "ro"), row.ro);
    EXPECT_EQ(stepValue(sheet, "2ro"), row.limit);
    EXPECT_EQ(stepValue(sheet, "bo"), row.bo);
    EXPECT_EQ(stepValue(sheet, "hx"), row.hx);
    EXPECT_EQ(entryValue(sheet, kResultHeading, "hx"), row.hx);
    EXPECT_EQ(entryValue(sheet, kResultHeading, "bo"), row.bo);
    EXPECT_EQ(sheet.drawing.views.size(), 2u);
}

// h 30, hr 60: ro = √2700 = 51.96152, 2ro = 103.92305; bo = √(2700 − 20²) = √2300 = 47.95832;
// hx = 60 − √(30² + 20²) = 60 − √1300 = 60 − 36.05551 = 23.94449.
// h 25, hr 45: ro = √(25·65) = √1625 = 40.31129, 2ro = 80.62258; bo = √(1625 − 625) = √1000 =
// 31.62278; hx = 45 − √(20² + 25²) = 45 − √1025 = 45 − 32.01562 = 12.98438.
// h 70 on hr 60 counts as 60: ro = 60; bo = √(3600 − 400) = √3200 = 56.56854; hx = 60 − √400 = 40.
// h 44, D 88.9, hr 45: ro = √(44·46) = √2024 = 44.98889, 2ro = 89.97777; (D/2)² = 44.45² =
// 1975.8025; bo = √(2024 − 1975.8025) = √48.1975 = 6.94244; hx = 45 − √(1 + 1975.8025) = 45 −
// 44.46125 = 0.53875.
INSTANTIATE_TEST_SUITE_P(Cases, TwoRodsSheetNumbers,
                         testing::Values(JointRow{"Class3", "30", "40", 0, "51.962 m", "103.923 m",
                                                  "47.958 m", "23.944 m"},
                                         JointRow{"Class2", "25", "50", 1, "40.311 m", "80.623 m",
                                                  "31.623 m", "12.984 m"},
                                         JointRow{"RodLimitedToRadius", "70", "40", 0, "60.000 m",
                                                  "120.000 m", "56.569 m", "40.000 m"},
                                         JointRow{"NearTheLimit", "44", "88.9", 1, "44.989 m",
                                                  "89.978 m", "6.942 m", "0.539 m"},
                                         JointRow{"NegativeDistance", "30", "-40", 0, "51.962 m",
                                                  "103.923 m", "47.958 m", "23.944 m"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TwoRodsSheet, ConclusionsInPlainWords)
{
    const Sheet joint = calc::twoRodsSheet("30", "40", 0, "");
    EXPECT_TRUE(contains(paragraphs(joint, kConclusionHeading), "构成联合保护"));
    EXPECT_EQ(findStep(joint, "bo")->substituted, "√(30 × (2 × 60 - 30) - (40 / 2)²)");
    EXPECT_EQ(findStep(joint, "hx")->substituted, "60 - √((60 - 30)² + (40 / 2)²)");

    const Sheet limited = calc::twoRodsSheet("70", "40", 0, "");
    EXPECT_EQ(stepValue(limited, "h"), "60.000 m");
    EXPECT_TRUE(contains(paragraphs(limited, kConclusionHeading), "按 h = hr = 60 m 计算"));

    const Sheet negative = calc::twoRodsSheet("30", "-40", 0, "");
    EXPECT_TRUE(contains(paragraphs(negative, kConclusionHeading), "按其绝对值 40 m 计算"));
    EXPECT_EQ(findStep(negative, "bo")->substituted, "√(30 × (2 × 60 - 30) - ((-40) / 2)²)");
}

TEST(TwoRodsSheet, TooFarApartSaysTheSingleRodMethodApplies)
{
    // h 45 on hr 45: 2ro = 2·√(45·45) = 90, and D = 90 is not below it.
    const Sheet sheet = calc::twoRodsSheet("45", "90", 1, "");
    ASSERT_TRUE(sheet.error.has_value());
    EXPECT_EQ(*sheet.error, calc::two_rods::kTooFarMessage);
    EXPECT_TRUE(contains(paragraphs(sheet, kResultHeading), calc::two_rods::kTooFarMessage));
    EXPECT_TRUE(contains(paragraphs(sheet, kConclusionHeading), "应按单支避雷针方法"));
    EXPECT_TRUE(sheet.drawing.views.empty());
    EXPECT_TRUE(contains(sheet.drawing.emptyReason, "两针相距过远"));
    // No numbers: nothing after the date line holds a digit.
    const std::string text = plainText(sheet);
    const std::string body = text.substr(text.find('\n', text.find("日期")));
    EXPECT_EQ(body.find_first_of("0123456789"), std::string::npos) << body;
}

struct ErrorRow {
    std::string_view name;
    std::string_view h, d;
    std::string_view message;
};

class TwoRodsErrorSheet : public testing::TestWithParam<ErrorRow> {};

TEST_P(TwoRodsErrorSheet, ShowsTheMessageAndNoNumbers)
{
    const Sheet sheet = calc::twoRodsSheet(GetParam().h, GetParam().d, 0, "");
    ASSERT_TRUE(sheet.error.has_value());
    EXPECT_EQ(*sheet.error, GetParam().message);
    EXPECT_TRUE(allSteps(sheet).empty());
    EXPECT_TRUE(sheet.drawing.views.empty());
    EXPECT_FALSE(sheet.drawing.emptyReason.empty());
}

INSTANTIATE_TEST_SUITE_P(Errors, TwoRodsErrorSheet,
                         testing::Values(ErrorRow{"HeightNotNumber", "abc", "10",
                                                  "避雷针高度 h 不是数字，请输入数字"},
                                         ErrorRow{"BothNotNumbers", "abc", "",
                                                  "避雷针高度 h、针间距离 D 不是数字，请输入数字"},
                                         ErrorRow{"NegativeHeight", "-1", "10",
                                                  "避雷针高度 h 不能为负数，请重新输入！"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TwoRodsDrawing, SectionGeometry)
{
    // h 30, D 40, hr 60: rods at ±20; outer arcs about (±(20 + ro), 60) with radius 60; the
    // middle arc about (0, 60) with radius √1300, lowest at (0, hx).
    const double ro = std::sqrt(2700.0);
    const double hx = 60 - std::sqrt(1300.0);
    const View view = calc::twoRodsSheet("30", "40", 0, "").drawing.views.at(0);

    const auto rods = pathsOf(view, Ink::Rod);
    ASSERT_EQ(rods.size(), 2u);
    EXPECT_EQ(rods[0]->points[1], (Vec2{-20, 30}));
    EXPECT_EQ(rods[1]->points[1], (Vec2{20, 30}));

    const auto arcs = pathsOf(view, Ink::Arc);
    ASSERT_EQ(arcs.size(), 3u);
    EXPECT_TRUE(near(arcs[0]->points.front(), {-20 - ro, 0}));
    EXPECT_LT(radiusError(*arcs[0], {-20 - ro, 60}, 60), 1e-9);
    EXPECT_TRUE(near(arcs[2]->points.back(), {20 + ro, 0}));
    EXPECT_LT(radiusError(*arcs[2], {20 + ro, 60}, 60), 1e-9);

    const Path &middle = *arcs[1];
    EXPECT_TRUE(near(middle.points.front(), {-20, 30}));
    EXPECT_TRUE(near(middle.points.back(), {20, 30}));
    EXPECT_LT(radiusError(middle, {0, 60}, std::sqrt(1300.0)), 1e-9);
    double lowest = 1e9;
    bool hasLowestPoint = false;
    for (Vec2 p : middle.points) {
        lowest = std::min(lowest, p.y);
        hasLowestPoint = hasLowestPoint || near(p, {0, hx});
    }
    EXPECT_TRUE(hasLowestPoint);
    EXPECT_NEAR(lowest, hx, 1e-12);

    // The hx dimension stands at the middle, from the ground to the lowest point.
    const auto dimensions = pathsOf(view, Ink::Dimension);
    ASSERT_EQ(dimensions.size(), 2u);
    EXPECT_TRUE(near(dimensions[0]->points[1], {0, hx}));
    EXPECT_DOUBLE_EQ(dimensions[1]->points[1].x - dimensions[1]->points[0].x, 40);
}

TEST(TwoRodsDrawing, PlanAtGroundLevel)
{
    // Ground circles of radius ro about (±20, 0) cross at (0, ±bo), bo = √2300.
    const double ro = std::sqrt(2700.0);
    const double bo = std::sqrt(2300.0);
    const View plan = calc::twoRodsSheet("30", "40", 0, "").drawing.views.at(1);
    const auto circles = pathsOf(plan, Ink::Arc);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_LT(radiusError(*circles[0], {-20, 0}, ro), 1e-9);
    EXPECT_LT(radiusError(*circles[1], {20, 0}, ro), 1e-9);
    EXPECT_EQ(plan.markers.size(), 2u);

    const auto dimensions = pathsOf(plan, Ink::Dimension);
    ASSERT_EQ(dimensions.size(), 1u);
    EXPECT_TRUE(near(dimensions[0]->points[1], {0, bo}));

    // The shaded ground is the union of both circles: every outline point lies on one of them
    // and outside the other (or on both, at the crossings).
    const auto zone = pathsOf(plan, Ink::ZoneFill);
    ASSERT_EQ(zone.size(), 1u);
    for (Vec2 p : zone[0]->points) {
        const double left = std::hypot(p.x + 20, p.y), right = std::hypot(p.x - 20, p.y);
        EXPECT_LT(std::min(std::abs(left - ro), std::abs(right - ro)), 1e-9);
        EXPECT_GE(std::min(left, right), ro - 1e-9);
    }
    EXPECT_TRUE(near(zone[0]->points.front(), {0, bo}, 1e-9));
}

} // namespace
