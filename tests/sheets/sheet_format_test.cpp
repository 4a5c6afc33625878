#include "sheets/sheet_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace {

using namespace calc::sheet;

struct FormatRow {
    std::string_view name;
    double x;
    std::string_view text;
};

class LengthText : public testing::TestWithParam<FormatRow> {};
TEST_P(LengthText, ThreeDecimals) { EXPECT_EQ(lengthText(GetParam().x), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(
    Rows, LengthText,
    testing::Values(FormatRow{"RootOf2700", 51.96152422706632, "51.962"},
                    FormatRow{"NegativeRadius", -11.555111646441794, "-11.555"},
                    FormatRow{"WholeKeepsItsDecimals", 60, "60.000"},
                    FormatRow{"HalfRoundsToEvenBinary", 0.0625, "0.062"},
                    FormatRow{"TinyNegativeLosesItsSign", -0.0001, "0.000"},
                    FormatRow{"MinusZero", -0.0, "0.000"},
                    FormatRow{"LargestPlain", 999999999999.5, "999999999999.500"},
                    FormatRow{"FromTenToTheTwelve", 1e12, "1.000000E+12"},
                    FormatRow{"Huge", 1.2345678e300, "1.234568E+300"},
                    FormatRow{"HugeNegative", -std::numeric_limits<double>::max(),
                              "-1.797693E+308"}),
    [](const auto &info) { return std::string(info.param.name); });

class QuantityText : public testing::TestWithParam<FormatRow> {};
TEST_P(QuantityText, FourSignificantDigitsAtLeast)
{
    EXPECT_EQ(quantityText(GetParam().x), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, QuantityText,
    testing::Values(FormatRow{"AreaInSquareKilometres", 0.0270170998, "0.02702"},
                    FormatRow{"CountBelowOne", 0.243424, "0.2434"},
                    FormatRow{"CountAboveTenKeepsThreeDecimals", 30.96126, "30.961"},
                    FormatRow{"RoundsUpIntoTheNextPower", 0.099996, "0.1000"},
                    FormatRow{"SmallestPlain", 0.0001, "0.0001000"},
                    FormatRow{"BelowTenToTheMinusFour", 0.0000270171, "2.702E-05"},
                    FormatRow{"Zero", 0, "0"}, FormatRow{"MinusZero", -0.0, "0"},
                    FormatRow{"Huge", 2.26e295, "2.260E+295"},
                    FormatRow{"Largest", std::numeric_limits<double>::max(), "1.798E+308"},
                    FormatRow{"Subnormal", std::numeric_limits<double>::denorm_min(),
                              "4.941E-324"}),
    [](const auto &info) { return std::string(info.param.name); });

class InputText : public testing::TestWithParam<FormatRow> {};
TEST_P(InputText, ShortestThatReadsBack) { EXPECT_EQ(inputText(GetParam().x), GetParam().text); }
INSTANTIATE_TEST_SUITE_P(Rows, InputText,
                         testing::Values(FormatRow{"Whole", 30, "30"},
                                         FormatRow{"Decimal", 2.5, "2.5"},
                                         FormatRow{"TenthIsNotItsBinaryExpansion", 0.1, "0.1"},
                                         FormatRow{"Negative", -40, "-40"},
                                         FormatRow{"MinusZero", -0.0, "0"},
                                         FormatRow{"SmallestPlain", 0.0001, "0.0001"},
                                         FormatRow{"Small", 0.000015, "1.5E-05"},
                                         FormatRow{"TwelveDigits", 123456789012, "123456789012"},
                                         FormatRow{"Huge", 1e300, "1E+300"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SheetFormat, CarriedValuesKeepSixDecimals)
{
    EXPECT_EQ(carriedText(43.16624790355400), "43.166248");
    EXPECT_EQ(carriedText(0.0270170998), "0.02701710");
    EXPECT_EQ(operandText(-40), "(-40)");
    EXPECT_EQ(operandText(40), "40");
}

TEST(SheetFormat, NeverWritesNanOrInfinity)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double x : bad) {
        EXPECT_EQ(lengthText(x), kOutOfRangeText);
        EXPECT_EQ(quantityText(x), kOutOfRangeText);
        EXPECT_EQ(inputText(x), kOutOfRangeText);
        EXPECT_EQ(carriedText(x), kOutOfRangeText);
    }
}

} // namespace
