#include "calc/strike_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace {

using calc::BuildingGroup;
using calc::StrikeClass;

TEST(StrikeRules, ThunderstormDaysComeFromTheEntryText)
{
    EXPECT_DOUBLE_EQ(calc::thunderstormDays(0), 95.6);
    EXPECT_DOUBLE_EQ(calc::thunderstormDays(8), 113.8);
    EXPECT_EQ(calc::thunderstormDays(-1), 0);
    EXPECT_EQ(calc::thunderstormDays(9), 0);
}

TEST(StrikeRules, CitiesAreFoundByTheirNames)
{
    EXPECT_EQ(calc::cityName(1), "北京");
    EXPECT_EQ(calc::cityName(9), "");
    EXPECT_EQ(calc::cityByName("海口"), 8);
    EXPECT_EQ(calc::cityByName("北京 36.7"), std::nullopt);
    EXPECT_EQ(calc::cityByName(""), std::nullopt);
}

// The two formulas meet at 100 m: √(100·100) = 100.
TEST(StrikeRules, ExpansionWidthOnEitherSideOfOneHundredMetres)
{
    EXPECT_DOUBLE_EQ(calc::expansionWidth(30), std::sqrt(5100.0));
    EXPECT_DOUBLE_EQ(calc::expansionWidth(std::nextafter(100.0, 0.0)), 100);
    EXPECT_EQ(calc::expansionWidth(100), 100);
    EXPECT_EQ(calc::expansionWidth(150), 150);
}

TEST(StrikeRules, SiteValuesInRange)
{
    EXPECT_TRUE(calc::isCorrectionFactor(1.7));
    EXPECT_FALSE(calc::isCorrectionFactor(1.6));
    EXPECT_TRUE(calc::isThunderstormDays(365));
    EXPECT_FALSE(calc::isThunderstormDays(0));
    EXPECT_FALSE(calc::isThunderstormDays(std::nan("")));
    EXPECT_DOUBLE_EQ(calc::groundFlashDensity(36.7), 3.67);
}

struct ClassRow {
    std::string_view name;
    double n;
    BuildingGroup group;
    StrikeClass expected;
};

class StrikeClassLimits : public testing::TestWithParam<ClassRow> {};

TEST_P(StrikeClassLimits, AtAndAroundEachLimit)
{
    EXPECT_EQ(calc::classByStrikeCount(GetParam().n, GetParam().group), GetParam().expected);
}

const double kAbove05 = std::nextafter(0.05, 1.0);
const double kBelow05 = std::nextafter(0.05, 0.0);

INSTANTIATE_TEST_SUITE_P(
    Rows, StrikeClassLimits,
    testing::Values(
        ClassRow{"ImportantAbove005", kAbove05, BuildingGroup::Important, StrikeClass::Second},
        ClassRow{"ImportantAt005", 0.05, BuildingGroup::Important, StrikeClass::Third},
        ClassRow{"ImportantBelow005", kBelow05, BuildingGroup::Important, StrikeClass::Third},
        ClassRow{"ImportantAt001", 0.01, BuildingGroup::Important, StrikeClass::Third},
        ClassRow{"ImportantBelow001", std::nextafter(0.01, 0.0), BuildingGroup::Important,
                 StrikeClass::NotByCount},
        ClassRow{"ImportantZero", 0, BuildingGroup::Important, StrikeClass::NotByCount},
        ClassRow{"OrdinaryAbove025", std::nextafter(0.25, 1.0), BuildingGroup::Ordinary,
                 StrikeClass::Second},
        ClassRow{"OrdinaryAt025", 0.25, BuildingGroup::Ordinary, StrikeClass::Third},
        ClassRow{"OrdinaryAt005", 0.05, BuildingGroup::Ordinary, StrikeClass::Third},
        ClassRow{"OrdinaryBelow005", kBelow05, BuildingGroup::Ordinary, StrikeClass::NotByCount},
        ClassRow{"OrdinaryAbove005", kAbove05, BuildingGroup::Ordinary, StrikeClass::Third}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
