#include "sheets/single_rod_sheet.h"

#include "calc/single_rod.h"
#include "sheet_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using namespace sheet_test;
using calc::drawing::Side;

struct RadiiRow {
    std::string_view name;
    std::string_view hx, h;
    std::int16_t classIndex;
    std::string_view ro, rx; // as the sheet writes them
    std::string_view hrEntry;
};

class SingleRodSheetNumbers : public testing::TestWithParam<RadiiRow> {};

TEST_P(SingleRodSheetNumbers, InputsStepsAndResults)
{
    const RadiiRow &row = GetParam();
    const Sheet sheet = calc::singleRodSheet(row.hx, row.h, row.classIndex, "2026-12-07");
    EXPECT_EQ(sheet.title, "单根避雷针保护范围计算书");
    EXPECT_EQ(sheet.date, "2026-12-07");
    EXPECT_FALSE(sheet.error.has_value());
    EXPECT_EQ(entryValue(sheet, kInputHeading, "被保护物高度 hx"), std::string(row.hx) + " m");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "避雷针高度 h"), std::string(row.h) + " m");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "滚球半径 hr"), row.hrEntry);
    EXPECT_EQ(stepValue(sheet, "ro"), row.ro);
    EXPECT_EQ(stepValue(sheet, "rx"), row.rx);
    EXPECT_EQ(entryValue(sheet, kResultHeading, "ro"), row.ro);
    EXPECT_EQ(entryValue(sheet, kResultHeading, "rx"), row.rx);
    ASSERT_EQ(sheet.drawing.views.size(), 1u);
}

// hr 60: ro = √(30·90) = √2700 = 51.96152; rx = 51.96152 − √(10·110) = 51.96152 − 33.16625
// = 18.79528. hr 45: ro = √(20·70) = √1400 = 37.41657; rx = 37.41657 − √(5·85) = 37.41657 −
// 20.61553 = 16.80105. hr 30: ro = √(20·40) = √800 = 28.28427; rx = 28.28427 − √(3·57) =
// 28.28427 − 13.07670 = 15.20757. h 100 on hr 60 counts as 60: ro = √(60·60) = 60; rx = 60 −
// √(20·100) = 60 − 44.72136 = 15.27864. hx 20, h 10: ro = √(10·110) = 33.16625; rx = 33.16625 −
// 44.72136 = −11.55511.
INSTANTIATE_TEST_SUITE_P(
    Cases, SingleRodSheetNumbers,
    testing::Values(RadiiRow{"Class3", "10", "30", 0, "51.962 m", "18.795 m", "60 m"},
                    RadiiRow{"Class2", "5", "20", 1, "37.417 m", "16.801 m", "45 m"},
                    RadiiRow{"Class1", "3", "20", 2, "28.284 m", "15.208 m", "30 m"},
                    RadiiRow{"RodLimitedToRadius", "20", "100", 0, "60.000 m", "15.279 m", "60 m"},
                    RadiiRow{"ObjectTallerThanRod", "20", "10", 0, "33.166 m", "-11.555 m", "60 m"},
                    RadiiRow{"TypedAsTyped", " 1,0 ", "30", 0, "51.962 m", "18.795 m", "60 m"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SingleRodSheet, FormulasWithTheNumbersPutIn)
{
    const Sheet sheet = calc::singleRodSheet("10", "30", 0, "");
    const auto rx = findStep(sheet, "rx");
    ASSERT_TRUE(rx.has_value());
    EXPECT_EQ(rx->formula, "√(h·(2hr - h)) - √(hx·(2hr - hx))");
    EXPECT_EQ(rx->substituted, "√(30 × (2 × 60 - 30)) - √(10 × (2 × 60 - 10))");
    EXPECT_EQ(entryValue(sheet, kInputHeading, "防雷类别"), "3类 hr=60米");
    EXPECT_TRUE(contains(paragraphs(sheet, kBasisHeading), "GB 50057-2010 附录D"));
}

TEST(SingleRodSheet, ConclusionsInPlainWords)
{
    // A rod above hr is computed with h = hr, and the sheet says so.
    const Sheet limited = calc::singleRodSheet("20", "100", 0, "");
    EXPECT_EQ(stepValue(limited, "h"), "60.000 m");
    EXPECT_TRUE(contains(paragraphs(limited, kConclusionHeading), "按 h = hr = 60 m 计算"));
    EXPECT_TRUE(contains(paragraphs(limited, kConclusionHeading), "受此针保护"));

    // No limit step for a rod below hr.
    EXPECT_FALSE(findStep(calc::singleRodSheet("10", "30", 0, ""), "h").has_value());

    // rx negative: the object is not protected at its height.
    const std::string taller =
        paragraphs(calc::singleRodSheet("20", "10", 0, ""), kConclusionHeading);
    EXPECT_TRUE(contains(taller, "为负值"));
    EXPECT_TRUE(contains(taller, "不受此针保护"));

    // hx at 2hr: rx = 60 comes out positive but is no radius.
    const std::string twice =
        paragraphs(calc::singleRodSheet("120", "60", 0, ""), kConclusionHeading);
    EXPECT_TRUE(contains(twice, "不受此针保护"));
    EXPECT_TRUE(contains(twice, "不是保护半径"));

    // As tall as the rod: radius zero at its height.
    const std::string level =
        paragraphs(calc::singleRodSheet("10", "10", 0, ""), kConclusionHeading);
    EXPECT_TRUE(contains(level, "保护半径为零"));
}

struct ErrorRow {
    std::string_view name;
    std::string_view hx, h;
    std::int16_t classIndex;
    std::string_view message;
};

class SingleRodErrorSheet : public testing::TestWithParam<ErrorRow> {};

TEST_P(SingleRodErrorSheet, ShowsTheMessageAndNoNumbers)
{
    const ErrorRow &row = GetParam();
    const Sheet sheet = calc::singleRodSheet(row.hx, row.h, row.classIndex, "today");
    ASSERT_TRUE(sheet.error.has_value());
    EXPECT_EQ(*sheet.error, row.message);
    EXPECT_TRUE(contains(plainText(sheet), row.message));
    EXPECT_TRUE(allSteps(sheet).empty());
    EXPECT_EQ(findSection(sheet, kInputHeading), nullptr);
    EXPECT_TRUE(sheet.drawing.views.empty());
    EXPECT_FALSE(sheet.drawing.emptyReason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SingleRodErrorSheet,
    testing::Values(
        ErrorRow{"HxNotNumber", "abc", "10", 0, "被保护物高度 hx 不是数字，请输入数字"},
        ErrorRow{"BothEmpty", "", "", 0, "被保护物高度 hx、避雷针高度 h 不是数字，请输入数字"},
        ErrorRow{"AboveTwiceRadius", "121", "10", 0, calc::single_rod::kAboveTwiceRadiusMessage},
        ErrorRow{"NegativeRod", "1", "-5", 0, "避雷针高度 h 不能为负数，请重新输入！"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SingleRodDrawing, GeometryAtTheKeyPoints)
{
    // hr 60, h 30: ro = √2700, rx = √2700 − √1100; each arc's centre is (±ro, 60).
    const double ro = std::sqrt(2700.0);
    const double rx = ro - std::sqrt(1100.0);
    const View view = calc::singleRodSheet("10", "30", 0, "").drawing.views.at(0);

    const auto rods = pathsOf(view, Ink::Rod);
    ASSERT_EQ(rods.size(), 1u);
    EXPECT_EQ(rods[0]->points, (std::vector<Vec2>{{0, 0}, {0, 30}}));

    const auto arcs = pathsOf(view, Ink::Arc);
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_TRUE(near(arcs[0]->points.front(), {-ro, 0}));
    EXPECT_TRUE(near(arcs[0]->points.back(), {0, 30}));
    EXPECT_TRUE(near(arcs[1]->points.front(), {0, 30}));
    EXPECT_TRUE(near(arcs[1]->points.back(), {ro, 0}));
    EXPECT_LT(radiusError(*arcs[0], {-ro, 60}, 60), 1e-9);
    EXPECT_LT(radiusError(*arcs[1], {ro, 60}, 60), 1e-9);
    // Dense enough to paint as a curve: no chord longer than a degree of arc.
    for (std::size_t i = 1; i < arcs[1]->points.size(); ++i) {
        const Vec2 a = arcs[1]->points[i - 1], b = arcs[1]->points[i];
        EXPECT_LE(std::hypot(b.x - a.x, b.y - a.y), 60 * 3.1416 / 180);
    }

    const auto zone = pathsOf(view, Ink::ZoneFill);
    ASSERT_EQ(zone.size(), 1u);
    EXPECT_TRUE(zone[0]->filled && zone[0]->closed);

    // The object's outer top corner lies on the boundary at (rx, 10), with rx dimensioned.
    const auto objects = pathsOf(view, Ink::Object);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_TRUE(near(objects[0]->points[2], {rx, 10}));
    EXPECT_TRUE(pathsOf(view, Ink::ObjectOutside).empty());
    const auto dimensions = pathsOf(view, Ink::Dimension);
    ASSERT_EQ(dimensions.size(), 2u);
    EXPECT_TRUE(near(dimensions[0]->points[0], {0, 10}));
    EXPECT_TRUE(near(dimensions[0]->points[1], {rx, 10}));
    EXPECT_DOUBLE_EQ(dimensions[1]->points[1].x, ro);

    const auto levels = pathsOf(view, Ink::Construction);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0]->points[0].y, 10);
    EXPECT_TRUE(levels[0]->dashed);

    EXPECT_LE(view.bounds.min.x, -ro);
    EXPECT_GE(view.bounds.max.x, ro);
    EXPECT_LE(view.bounds.min.y, 0);
    EXPECT_GE(view.bounds.max.y, 30);
}

TEST(SingleRodDrawing, LimitedRodAndObjectAboveTheZone)
{
    // A rod of 100 on hr 60 is drawn 60 high, its arcs quarter circles ending at ±60.
    const View limited = calc::singleRodSheet("20", "100", 0, "").drawing.views.at(0);
    EXPECT_EQ(pathsOf(limited, Ink::Rod)[0]->points[1], (Vec2{0, 60}));
    EXPECT_TRUE(near(pathsOf(limited, Ink::Arc)[1]->points.back(), {60, 0}));

    // An object taller than the rod is drawn in red ink, as is its rx text.
    const View taller = calc::singleRodSheet("20", "10", 0, "").drawing.views.at(0);
    EXPECT_TRUE(pathsOf(taller, Ink::Object).empty());
    ASSERT_EQ(pathsOf(taller, Ink::ObjectOutside).size(), 1u);
    EXPECT_EQ(pathsOf(taller, Ink::ObjectOutside)[0]->points[1].y, 20);
    bool redRx = false;
    for (const auto &label : taller.labels)
        redRx =
            redRx || (label.ink == Ink::ObjectOutside && contains(label.text, "rx = -11.555 m"));
    EXPECT_TRUE(redRx);
}

} // namespace
