#include "layouts/layout_sheet.h"
#include "layouts/strikes_sheet.h"

#include "../sheets/sheet_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace sheet_test;
using calc::layout::Layout;
using calc::layout::Object;
using calc::layout::Rod;

Layout site(std::vector<Object> objects, std::optional<double> td)
{
    Layout layout{45, {Rod{-50, -50, 30}}, std::move(objects)};
    layout.site.thunderstormDays = td;
    return layout;
}

const Object kBlock{"1#楼", {{0, 0}, {60, 0}, {60, 40}, {0, 40}}, 30};

// 60 × 40 m, 30 m high, Td 40: D = √(30 × 170) = 71.414284 m,
// Ae = [2400 + 2 × 100 × 71.414284 + π × 30 × 170] × 10⁻⁶ = 0.032705 km²,
// N = 4.0 × 0.032705 = 0.1308: an ordinary building of the third class (3.0.4 item 3).
TEST(StrikesSheet, RectangleInItsClosedForm)
{
    const Sheet sheet = calc::layoutSheet(site({kBlock}, 40), 0, "2026-12-08");
    const Section *section = findSection(sheet, "年预计雷击次数：1#楼");
    ASSERT_TRUE(section);
    const auto d = findStep(sheet, "D");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->value, "71.414 m");
    const auto ae = findStep(sheet, "Ae");
    ASSERT_TRUE(ae);
    EXPECT_EQ(ae->formula, "[L·W + 2(L + W)·D + π·H·(200 - H)] × 10⁻⁶");
    EXPECT_EQ(ae->substituted,
              "[60 × 40 + 2 × (60 + 40) × 71.414284 + π × 30 × (200 - 30)] × 10⁻⁶");
    EXPECT_EQ(ae->value, "0.032705 km²");
    const auto n = findStep(sheet, "N");
    ASSERT_TRUE(n);
    EXPECT_EQ(n->value, "0.1308 次/a");
    const std::string said = paragraphs(sheet, "年预计雷击次数：1#楼");
    EXPECT_TRUE(contains(said, "0.05 ≤ N ≤ 0.25，第三类防雷建筑物")) << said;
    EXPECT_TRUE(contains(said, "第3.0.4条第3款")) << said;
    EXPECT_TRUE(contains(said, calc::kNeighboursNotReduced));
    // The closed form stands for the rectangle: no drawing of its outline.
    for (const View &view : sheet.drawing.views) EXPECT_FALSE(contains(view.title, "等效面积"));
}

// An L of two parts of different heights: the enclosed area, drawn with its outline; an
// important group takes the lower limits.
TEST(StrikesSheet, OtherOutlinesAreDrawn)
{
    Object low{"裙房", {{0, 0}, {40, 0}, {40, 20}, {0, 20}}, 10};
    Object tower{"塔楼", {{0, 20}, {20, 20}, {20, 60}, {0, 60}}, 60};
    tower.group = calc::BuildingGroup::Important;
    const Sheet sheet = calc::layoutSheet(site({low, tower}, 40), 0, "2026-12-08");
    const Section *section = findSection(sheet, "年预计雷击次数：塔楼");
    ASSERT_TRUE(section);
    EXPECT_TRUE(contains(paragraphs(sheet, "年预计雷击次数：塔楼"), "第3.0.3条第9款"));
    const auto drawn = std::find_if(sheet.drawing.views.begin(), sheet.drawing.views.end(),
                                    [](const View &v) { return contains(v.title, "塔楼"); });
    ASSERT_NE(drawn, sheet.drawing.views.end());
    EXPECT_EQ(pathsOf(*drawn, Ink::Building).size(), 2u);
    EXPECT_EQ(pathsOf(*drawn, Ink::EquivalentArea).size(), 1u);
}

// A file of the first version gives no thunderstorm days: the areas, but no count.
TEST(StrikesSheet, NoThunderstormDaysNoCount)
{
    const Sheet sheet = calc::layoutSheet(site({kBlock}, std::nullopt), 0, "2026-12-08");
    EXPECT_TRUE(findStep(sheet, "Ae"));
    EXPECT_FALSE(findStep(sheet, "N"));
    EXPECT_TRUE(contains(paragraphs(sheet, "年预计雷击次数：1#楼"), calc::kNoThunderstormDaysText));
}

} // namespace
