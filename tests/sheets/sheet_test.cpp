#include "sheets/rod_height_sheet.h"
#include "sheets/sheet.h"
#include "sheets/single_rod_sheet.h"
#include "sheets/strike_count_sheet.h"
#include "sheets/two_rods_sheet.h"
#include "sheet_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <numbers>
#include <random>
#include <string>

namespace {

using namespace sheet_test;
using calc::drawing::Turn;

TEST(SheetPlainText, LaysOutEveryKindOfBlock)
{
    Sheet sheet;
    sheet.title = "示例计算书";
    sheet.date = "2026-12-07";
    sheet.sections.push_back({"依据", {Paragraph{"一段话。"}}});
    sheet.sections.push_back({"输入", {std::vector<Entry>{{"长 L", "50 m"}, {"宽 W", "20 m"}}}});
    sheet.sections.push_back(
        {"计算", {std::vector<Step>{{"面积", "A", "L·W", "50 × 20", "1000.000 m²"}}}});
    sheet.sections.push_back({"核对", {Table{{"项目", "值"}, {{"A", "1000"}}}}});
    sheet.drawing.emptyReason = "没有图。";
    EXPECT_EQ(plainText(sheet), "示例计算书\n"
                                "日期：2026-12-07\n"
                                "\n一、依据\n"
                                "  一段话。\n"
                                "\n二、输入\n"
                                "  长 L：50 m\n"
                                "  宽 W：20 m\n"
                                "\n三、计算\n"
                                "  1. 面积\n"
                                "     A = L·W\n"
                                "     = 50 × 20\n"
                                "     = 1000.000 m²\n"
                                "\n四、核对\n"
                                "  项目 | 值\n"
                                "  A | 1000\n"
                                "\n附图：没有图。\n");

    sheet.drawing.views.push_back({"剖面图", {}, {}, {}, {}});
    sheet.drawing.views.push_back({"平面图", {}, {}, {}, {}});
    EXPECT_TRUE(plainText(sheet).ends_with("\n附图：剖面图；平面图\n"));
}

TEST(SheetPlainText, SectionNumbers)
{
    EXPECT_EQ(sectionNumber(0), "一、");
    EXPECT_EQ(sectionNumber(5), "六、");
    EXPECT_EQ(sectionNumber(9), "十、");
    EXPECT_EQ(sectionNumber(10), "十一、");
    EXPECT_EQ(sectionNumber(19), "二十、");
    EXPECT_EQ(sectionNumber(22), "二十三、");
}

TEST(SheetPlainText, SectionsInTheirOrder)
{
    const Sheet sheet = calc::strikeCountSheet("50", "20", "30", 0, 0, "");
    std::vector<std::string> headings;
    for (const Section &section : sheet.sections) headings.push_back(section.heading);
    EXPECT_EQ(headings, (std::vector<std::string>{"依据", "输入", "计算", "结果", "结论",
                                                  std::string(kCrossCheckHeading)}));
    EXPECT_EQ(sheet.calculationName, "雷击次数");
}

TEST(DrawingGeometry, ArcBetweenTwoPoints)
{
    // A quarter circle of radius 2 about (1, 1) from (3, 1) to (1, 3) anticlockwise, and the
    // long way round clockwise.
    const auto quarter = calc::drawing::arcBetween({1, 1}, 2, {3, 1}, {1, 3}, Turn::Anticlockwise);
    EXPECT_EQ(quarter.front(), (Vec2{3, 1}));
    EXPECT_EQ(quarter.back(), (Vec2{1, 3}));
    EXPECT_EQ(quarter.size(), 91u);
    for (Vec2 p : quarter) EXPECT_GE(p.x, 1 - 1e-12);
    const auto rest = calc::drawing::arcBetween({1, 1}, 2, {3, 1}, {1, 3}, Turn::Clockwise);
    EXPECT_EQ(rest.size(), 271u);
    EXPECT_TRUE(near(rest[180], {-1, 1}));
}

TEST(DrawingGeometry, BoundsAreAtLeastOneMetreEachWay)
{
    View view;
    view.paths.push_back({{{2, 0}, {2, 0}}, Ink::Rod});
    view.labels.push_back({{2, 0}, "x"});
    const auto b = calc::drawing::boundsOf(view);
    EXPECT_EQ(b.min, (Vec2{1.5, -0.5}));
    EXPECT_EQ(b.max, (Vec2{2.5, 0.5}));

    view.markers.push_back({{-10, 4}});
    const auto wide = calc::drawing::boundsOf(view);
    EXPECT_EQ(wide.min, (Vec2{-10, 0}));
    EXPECT_EQ(wide.max, (Vec2{2, 4}));
}

// Garbage that must never reach a reader: "nan", "inf", or a number written out in hundreds of
// digits. The typed texts themselves are shown as typed and left out of the digit count.
void expectReadable(const Sheet &sheet, const std::string &inputs,
                    std::initializer_list<std::string_view> typed = {})
{
    std::string text = everyText(sheet);
    for (std::string_view part : typed)
        for (std::size_t at; !part.empty() && (at = text.find(part)) != std::string::npos;)
            text.erase(at, part.size());
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_EQ(lower.find("nan"), std::string::npos) << inputs << "\n" << text;
    EXPECT_EQ(lower.find("inf"), std::string::npos) << inputs << "\n" << text;
    std::size_t run = 0;
    for (char c : text) {
        run = std::isdigit(static_cast<unsigned char>(c)) ? run + 1 : 0;
        ASSERT_LE(run, 17u) << inputs << "\n" << text;
    }
    for (const View &view : sheet.drawing.views) {
        for (const Path &path : view.paths)
            for (Vec2 p : path.points)
                ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << inputs;
        EXPECT_TRUE(std::isfinite(view.bounds.min.x) && std::isfinite(view.bounds.max.y));
        EXPECT_LT(view.bounds.min.x, view.bounds.max.x);
    }
    EXPECT_EQ(sheet.drawing.views.empty(), !sheet.drawing.emptyReason.empty()) << inputs;
}

TEST(SheetProperty, NoSheetEverShowsNanInfinityOrEndlessDigits)
{
    std::mt19937_64 random(20261207);
    // Typed numbers of every size, sign and form, with some that are no numbers at all.
    const auto typed = [&]() -> std::string {
        switch (random() % 8) {
        case 0:
            return "abc";
        case 1:
            return std::to_string(static_cast<int>(random() % 400) - 100);
        case 2: {
            char buffer[64];
            const double x = std::ldexp(static_cast<double>(random() % 1000000),
                                        static_cast<int>(random() % 2000) - 1000);
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, x).ptr;
            return std::string(buffer, end);
        }
        case 3:
            return "1e" + std::to_string(static_cast<int>(random() % 620) - 310);
        default: {
            char buffer[64];
            const double x = std::uniform_real_distribution<double>(-5, 250)(random);
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, x).ptr;
            return std::string(buffer, end);
        }
        }
    };
    const auto index = [&](int size) {
        return static_cast<std::int16_t>(random() % (size + 2)) - 1;
    };
    for (int i = 0; i < 1500; ++i) {
        const std::string a = typed(), b = typed(), c = typed();
        const std::string inputs = a + " | " + b + " | " + c;
        expectReadable(calc::singleRodSheet(a, b, index(3), "d"), inputs, {a, b});
        expectReadable(calc::twoRodsSheet(a, b, index(3), "d"), inputs, {a, b});
        expectReadable(calc::rodHeightSheet(a, b, index(3), "d"), inputs, {a, b});
        expectReadable(calc::strikeCountSheet(a, b, c, index(4), index(9), "d"), inputs, {a, b, c});
    }
}

TEST(SheetProperty, HugeInputsWrittenInExponentForm)
{
    const Sheet sheet = calc::strikeCountSheet("1e150", "1e150", "150", 1, 8, "");
    ASSERT_FALSE(sheet.error.has_value());
    // L·W = 10³⁰⁰ m², so Ae = 10²⁹⁴ km² and N = 2·11.3·10²⁹⁴ = 2.26·10²⁹⁵.
    EXPECT_EQ(stepValue(sheet, "Ae"), "1.000E+294 km²");
    EXPECT_EQ(stepValue(sheet, "N"), "2.260E+295 次/a");
    expectReadable(sheet, "huge");
}

} // namespace
