#include "calc/numeric.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

template <class Row>
std::string rowName(const testing::TestParamInfo<Row> &info)
{
    return std::string(info.param.name);
}

struct NumberRow {
    std::string_view name;
    std::string text;
    double value;
};

class AcceptedNumber : public testing::TestWithParam<NumberRow> {};

TEST_P(AcceptedNumber, IsANumberWithThisValue)
{
    const NumberRow &row = GetParam();
    EXPECT_TRUE(calc::isNumberText(row.text));
    EXPECT_EQ(calc::numberFromText(row.text), row.value);
}

const std::string kLongIntegerOne = "1" + std::string(400, '0') + "e-400";
const std::string kLongFractionOne = "." + std::string(399, '0') + "1e400";
const std::string kLongFractionUnderflow = "." + std::string(500, '0') + "1e100";

INSTANTIATE_TEST_SUITE_P(
    Forms, AcceptedNumber,
    testing::Values(
        NumberRow{"Integer", "12", 12}, NumberRow{"SurroundingSpaces", " 12 ", 12},
        NumberRow{"SurroundingSpacesDecimal", " 2.5 ", 2.5}, NumberRow{"LeadingPoint", ".5", 0.5},
        NumberRow{"TrailingPoint", "5.", 5}, NumberRow{"MinusZero", "-0", 0},
        NumberRow{"PlusSign", "+5", 5}, NumberRow{"MinusSign", "-3", -3},
        NumberRow{"SpacesAndSign", "  -4.25  ", -4.25}, NumberRow{"LeadingZeros", "0007", 7},
        NumberRow{"ExponentLowerE", "1e2", 100}, NumberRow{"ExponentUpperE", "2.5E-1", 0.25},
        NumberRow{"ExponentLowerD", "1d2", 100}, NumberRow{"ExponentUpperD", "1D-2", 0.01},
        NumberRow{"ExponentAfterLeadingPoint", ".5e1", 5},
        NumberRow{"ExponentAfterTrailingPoint", "5.e-1", 0.5},
        NumberRow{"ExponentLeadingZeros", "1e0000000000000000000002", 100},
        NumberRow{"ZeroWithHugeExponent", "0e999999", 0},
        NumberRow{"ThousandsComma", "1,200", 1200},
        NumberRow{"CommaAndFraction", "1,200.5", 1200.5},
        NumberRow{"CommasAnywhereInInteger", "1,2,3", 123},
        NumberRow{"CommasSignSpacesExponent", " -1,000e-3 ", -1},
        NumberRow{"TenthIsNearestDouble", "0.1", 0.1},
        NumberRow{"ManyDigitsRoundToNearest", "123456789012345678901234567890",
                  1.2345678901234568e29},
        NumberRow{"TieRoundsToEven", "9007199254740993", 9007199254740992.0},
        NumberRow{"LargestDouble", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        NumberRow{"Subnormal", "4.9e-324", std::numeric_limits<double>::denorm_min()},
        NumberRow{"SubnormalRoundsUp", "3e-324", std::numeric_limits<double>::denorm_min()},
        NumberRow{"UnderflowIsZero", "1e-400", 0},
        NumberRow{"NegativeUnderflowIsZero", "-1e-99999999999999999999", 0},
        NumberRow{"LongIntegerDigits", kLongIntegerOne, 1},
        NumberRow{"LongFractionDigits", kLongFractionOne, 1},
        NumberRow{"LongFractionUnderflowsDespiteExponent", kLongFractionUnderflow, 0}),
    rowName<NumberRow>);

struct TextRow {
    std::string_view name;
    std::string text;
};

class RejectedNumber : public testing::TestWithParam<TextRow> {};

TEST_P(RejectedNumber, IsNotANumberAndConvertsToZero)
{
    const TextRow &row = GetParam();
    EXPECT_FALSE(calc::isNumberText(row.text));
    EXPECT_EQ(calc::numberFromText(row.text), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RejectedNumber,
    testing::Values(
        TextRow{"Empty", ""}, TextRow{"SpacesOnly", "   "}, TextRow{"LonePlus", "+"},
        TextRow{"LoneMinus", "-"}, TextRow{"LonePoint", "."}, TextRow{"SignAndPoint", "-."},
        TextRow{"TwoPoints", "1.2.3"}, TextRow{"Unit", "12m"}, TextRow{"Word", "abc"},
        TextRow{"TwoNumbers", "1 2"}, TextRow{"SpaceAfterSign", "- 5"}, TextRow{"TwoSigns", "+-5"},
        TextRow{"ExponentOnly", "e5"}, TextRow{"ExponentWithoutDigits", "1e"},
        TextRow{"ExponentSignWithoutDigits", "1e+"}, TextRow{"PointThenExponent", ".e5"},
        TextRow{"FractionalExponent", "1e2.5"}, TextRow{"SpaceInExponent", "1e 2"},
        TextRow{"SpaceBeforeExponent", "1 e2"}, TextRow{"TwoExponents", "1e2e3"},
        TextRow{"LeadingComma", ",1"}, TextRow{"CommaAfterSign", "-,5"},
        TextRow{"CommaAfterSpace", " ,5"}, TextRow{"TrailingComma", "1,"},
        TextRow{"CommaBeforePoint", "1,.5"}, TextRow{"CommaInFraction", "1.2,3"},
        TextRow{"CommaInExponent", "1e1,0"}, TextRow{"Infinity", "inf"},
        TextRow{"InfinityWord", "Infinity"}, TextRow{"NotANumber", "nan"},
        TextRow{"BeyondRange", "1e400"}, TextRow{"NegativeBeyondRange", "-1e400"},
        TextRow{"JustBeyondLargest", "1.8e308"}, TextRow{"HugeExponent", "1e99999999999999999999"},
        TextRow{"LongIntegerOverflowsDespiteExponent", "1" + std::string(500, '0') + "e-100"},
        TextRow{"EmbeddedNul", std::string("1\0"
                                           "2",
                                           3)},
        TextRow{"TrailingNul", std::string("12\0", 3)}),
    rowName<TextRow>);

TEST(NumberText, ReadsNothingBeyondTheGivenText)
{
    // Each view ends where a longer text would go on: "12" of "12abc" is a number, and so on.
    const std::string_view number = std::string_view("12abc").substr(0, 2);
    const std::string_view exponentCut = std::string_view("1e5").substr(0, 2);
    const std::string_view beforeSpace = std::string_view("7 5").substr(0, 1);
    const std::string_view beforeDigit = std::string_view("1,5").substr(0, 2);
    EXPECT_TRUE(calc::isNumberText(number));
    EXPECT_EQ(calc::numberFromText(number), 12);
    EXPECT_FALSE(calc::isNumberText(exponentCut));
    EXPECT_TRUE(calc::isNumberText(beforeSpace));
    EXPECT_EQ(calc::numberFromText(beforeSpace), 7);
    EXPECT_FALSE(calc::isNumberText(beforeDigit));
}

TEST(RollingSphereRadius, ListEntriesAndEveryOtherIndex)
{
    EXPECT_EQ(calc::rollingSphereRadius(0), 60);
    EXPECT_EQ(calc::rollingSphereRadius(1), 45);
    EXPECT_EQ(calc::rollingSphereRadius(2), 30);
    for (int index : {-1, 3, -32768, 32767}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(calc::rollingSphereRadius(static_cast<std::int16_t>(index)), 0);
    }
    EXPECT_EQ(calc::kProtectionClassEntries[0], "3类 hr=60米");
    EXPECT_EQ(calc::kProtectionClassEntries[1], "2类 hr=45米");
    EXPECT_EQ(calc::kProtectionClassEntries[2], "1类 hr=30米");
}

struct ShownRow {
    std::string_view name;
    double value;
    std::string_view text;
};

class StandardText : public testing::TestWithParam<ShownRow> {};
class CutText : public testing::TestWithParam<ShownRow> {};
class RoundedText : public testing::TestWithParam<ShownRow> {};

TEST_P(StandardText, Shows) { EXPECT_EQ(calc::standardText(GetParam().value), GetParam().text); }
TEST_P(CutText, Shows) { EXPECT_EQ(calc::cutResultText(GetParam().value), GetParam().text); }
TEST_P(RoundedText, Shows)
{
    EXPECT_EQ(calc::roundedResultText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StandardText,
    testing::Values(
        ShownRow{"Zero", 0.0, "0"}, ShownRow{"NegativeZero", -0.0, "0"},
        ShownRow{"SquareRoot", std::sqrt(1100.0), "33.166247903554"}, ShownRow{"Half", 0.5, ".5"},
        ShownRow{"NegativeQuarter", -0.25, "-.25"}, ShownRow{"Integer", 60, "60"},
        ShownRow{"Negative", -14.439, "-14.439"}, ShownRow{"SmallestPlain", 0.0001, ".0001"},
        ShownRow{"RoundsUpIntoPlain", std::nextafter(0.0001, 0.0), ".0001"},
        ShownRow{"FirstExponent", 0.000015, "1.5E-05"},
        ShownRow{"NegativeExponent", -1e-5, "-1E-05"}, ShownRow{"TwoDigitExponent", 1e-10, "1E-10"},
        ShownRow{"LargestPlain", 123456789012345.6, "123456789012346"},
        ShownRow{"PowerFifteen", 1e15, "1E+15"},
        ShownRow{"RoundsUpIntoExponent", 999999999999999.9, "1E+15"},
        ShownRow{"FifteenDigitsRoundUp", 2.0 / 3, ".666666666666667"},
        ShownRow{"SumShowsShort", 0.1 + 0.2, ".3"},
        ShownRow{"RoundsToWhole", 99999.99999999999, "100000"},
        ShownRow{"BigExponent", -1.23456e22, "-1.23456E+22"},
        ShownRow{"ThreeDigitExponent", 1e100, "1E+100"},
        ShownRow{"LargestDouble", std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        ShownRow{"SmallestSubnormal", std::numeric_limits<double>::denorm_min(),
                 "4.94065645841247E-324"}),
    rowName<ShownRow>);

INSTANTIATE_TEST_SUITE_P(Values, CutText,
                         testing::Values(ShownRow{"SquareRoot", std::sqrt(1100.0), "33.16"},
                                         ShownRow{"NoRounding", 33.169, "33.16"},
                                         ShownRow{"PointIsFifth", 1234.5, "1234."},
                                         ShownRow{"FiveIntegerDigits", 12345.678, "12345"},
                                         ShownRow{"KeepsNoMagnitude", 123456.7, "12345"},
                                         ShownRow{"Negative", -14.439, "-14.4"},
                                         ShownRow{"BelowOne", 0.53871, ".5387"},
                                         ShownRow{"Small", 0.000123, ".0001"},
                                         ShownRow{"CutsExponent", 0.000015, "1.5E-"},
                                         ShownRow{"Short", 60, "60"}, ShownRow{"Zero", 0, "0"},
                                         ShownRow{"LongExponent", 1e100, "1E+10"}),
                         rowName<ShownRow>);

INSTANTIATE_TEST_SUITE_P(
    Values, RoundedText,
    testing::Values(
        ShownRow{"SquareRoot", std::sqrt(1100.0), "33.166"},
        ShownRow{"SquareRootRoundsUp", 51.96152422706632, "51.962"}, ShownRow{"Integer", 60, "60"},
        ShownRow{"Negative", -11.555111646441794, "-11.555"},
        ShownRow{"HalfToEvenDown", 0.0625, ".062"}, ShownRow{"HalfToEvenUp", 0.1875, ".188"},
        ShownRow{
            "NegativeHalfToEven", -0.0625,
            "-.062"}, // Rounding acts on the thousandfold as a double: 0.0055 lies just below the
        // half in binary, yet 5.5 is its thousandfold.
        ShownRow{"ThousandfoldDecides", 0.0055, ".006"}, ShownRow{"HalfOfFirstDigit", 0.0005, "0"},
        ShownRow{"ThousandfoldAboveHalf", 2.0005, "2.001"}, ShownRow{"TieToEvenWhole", 1.0005, "1"},
        ShownRow{"BelowHalf", 0.0004, "0"}, ShownRow{"NegativeBelowHalf", -0.0004, "0"},
        ShownRow{"ManyDigits", 123456789.12345, "123456789.123"},
        ShownRow{"HugeUnchanged", 1e300, "1E+300"}),
    rowName<ShownRow>);

TEST(RoundToThreeDecimals, RoundsTheThousandfoldHalfToEven)
{
    EXPECT_EQ(calc::roundToThreeDecimals(0.0625), 0.062);
    EXPECT_EQ(calc::roundToThreeDecimals(-2.0005), -2.001);
    EXPECT_EQ(calc::roundToThreeDecimals(1e300), 1e300);
}

TEST(WithLeadingZero, OnlyBeforeThePointOfANumberBelowOne)
{
    EXPECT_EQ(calc::withLeadingZero(".5387"), "0.5387");
    EXPECT_EQ(calc::withLeadingZero(".0001"), "0.0001");
    // Cut inside the exponent: not a number, left as it is.
    EXPECT_EQ(calc::withLeadingZero("1.5E-"), "1.5E-");
    EXPECT_EQ(calc::withLeadingZero("1E-05"), "1E-05");
    EXPECT_EQ(calc::withLeadingZero("-.25"), "-.25");
    EXPECT_EQ(calc::withLeadingZero("0"), "0");
    EXPECT_EQ(calc::withLeadingZero("33.16"), "33.16");
}

TEST(Messages, NotNumberWithOneAndTwoNames)
{
    const std::array<std::string_view, 1> one{"被保护物高度 hx"};
    const std::array<std::string_view, 2> two{"被保护物高度 hx", "避雷针高度 h"};
    EXPECT_EQ(calc::notNumberMessage(one), "被保护物高度 hx 不是数字，请输入数字");
    EXPECT_EQ(calc::notNumberMessage(two), "被保护物高度 hx、避雷针高度 h 不是数字，请输入数字");
}

TEST(Messages, NegativeWithOneAndTwoNames)
{
    const std::array<std::string_view, 1> one{"避雷针高度 h"};
    const std::array<std::string_view, 2> two{"被保护物高度 hx", "避雷针高度 h"};
    EXPECT_EQ(calc::negativeMessage(one), "避雷针高度 h 不能为负数，请重新输入！");
    EXPECT_EQ(calc::negativeMessage(two), "被保护物高度 hx、避雷针高度 h 不能为负数，请重新输入！");
}

// Switches the C and C++ locales for one test and puts both back afterwards.
class ScopedLocale {
public:
    explicit ScopedLocale(const char *name)
        : previousC_(std::setlocale(LC_ALL, nullptr)), previousCpp_(std::locale())
    {
        try {
            std::locale::global(std::locale(name));
        } catch (const std::runtime_error &) {
            return;
        }
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale()
    {
        std::locale::global(previousCpp_);
        std::setlocale(LC_ALL, previousC_.c_str());
    }
    ScopedLocale(const ScopedLocale &) = delete;
    ScopedLocale &operator=(const ScopedLocale &) = delete;

    bool active() const { return active_; }

private:
    std::string previousC_;
    std::locale previousCpp_;
    bool active_ = false;
};

TEST(LocaleIndependence, CommaDecimalLocaleChangesNothing)
{
    const ScopedLocale locale("de_DE.UTF-8");
    if (!locale.active()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";

    EXPECT_TRUE(calc::isNumberText("2.5"));
    EXPECT_EQ(calc::numberFromText("2.5"), 2.5);
    EXPECT_TRUE(calc::isNumberText("1,200"));
    EXPECT_EQ(calc::numberFromText("1,200"), 1200);
    EXPECT_EQ(calc::numberFromText("2,5"), 25);
    EXPECT_EQ(calc::standardText(0.5), ".5");
    EXPECT_EQ(calc::standardText(1234.5), "1234.5");
    EXPECT_EQ(calc::standardText(1.5e-5), "1.5E-05");
    EXPECT_EQ(calc::cutResultText(std::sqrt(1100.0)), "33.16");
    EXPECT_EQ(calc::roundedResultText(51.96152422706632), "51.962");
}

} // namespace
