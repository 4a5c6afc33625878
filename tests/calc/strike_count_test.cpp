#include "calc/strike_count.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <variant>

namespace {

namespace sc = calc::strike_count;
using sc::Dimension;

struct CountRow {
    std::string_view name;
    std::string_view length, width, height;
    std::int16_t settingIndex, cityIndex;
    double count;
    std::string_view text;
};

class StrikeCount : public testing::TestWithParam<CountRow> {};

TEST_P(StrikeCount, GivesCountAndRoundedText)
{
    const CountRow &row = GetParam();
    const calc::StrikeCountOutcome outcome = calc::computeStrikeCount(
        row.length, row.width, row.height, row.settingIndex, row.cityIndex);
    const auto *ok = std::get_if<sc::StrikeCountOk>(&outcome);
    ASSERT_NE(ok, nullptr) << "outcome kind " << outcome.index();
    EXPECT_DOUBLE_EQ(ok->count, row.count);
    EXPECT_EQ(ok->countText, row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrikeCount,
    testing::Values(
        CountRow{"LowBuilding", "50", "20", "30", 0, 0, 0.24342406919763948, "0.243"},
        CountRow{"TallBuilding", "50", "20", "150", 0, 0, 0.834979225, "0.835"},
        CountRow{"IsolatedHaikou", "200", "100", "150", 1, 8, 4.083198500000001, "4.083"},
        CountRow{"SixDigitsNotCut", "1000", "1000", "50", 1, 8, 30.961269150211333, "30.961"},
        CountRow{"TwiceHundredMetres", "10", "10", "200", 0, 0, 1.2049973999999999, "1.205"},
        CountRow{"AboveTwiceHundredMetres", "10", "10", "250", 0, 0, 1.859776625, "1.86"},
        CountRow{"OneDecimalLeft", "20", "10", "8", 0, 6, 0.0601888630090663, "0.06"},
        CountRow{"JustBelowHundredMetres", "60", "40", "99.9", 2, 3, 0.4775095725276377, "0.478"},
        CountRow{"HundredMetresTallFormula", "60", "40", "100", 2, 3, 0.47750993999999997, "0.478"},
        CountRow{"Beijing", "40", "20", "25", 3, 1, 0.08766860283945574, "0.088"},
        CountRow{"ChengduSameAsBeijing", "40", "20", "25", 3, 2, 0.08766860283945574, "0.088"},
        CountRow{"Shanghai", "1", "1", "1", 0, 5, 0.0014946442171818734, "0.001"},
        CountRow{"MetalRoofGuangzhou", "10.5", "7.25", "0.001", 2, 7, 0.0012660564497093065,
                 "0.001"},
        CountRow{"LengthMinusZero", "-0", "10", "10", 0, 0, 0.0616255148962603, "0.062"},
        CountRow{"HeightMinusZero", "10", "10", "-0", 0, 0, 0.000901, "0.001"},
        CountRow{"LargeWithFraction", "1e6", "1e6", "1e4", 1, 8, 23511098.66, "23511098.66"},
        CountRow{"HugeButFiniteLow", "1e150", "1e150", "10", 0, 0, 9.009999999999999e294,
                 "9.01E+294"},
        CountRow{"HugeButFiniteTall", "1e100", "1", "150", 1, 8, 6.8025999999999995e97,
                 "6.8026E+97"}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefusalRow {
    std::string_view name;
    std::string_view length, width, height;
    std::int16_t settingIndex, cityIndex;
    calc::StrikeCountOutcome expected;
};

class StrikeCountRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(StrikeCountRefusal, NamesKindMessageAndFields)
{
    const RefusalRow &row = GetParam();
    const calc::StrikeCountOutcome got = calc::computeStrikeCount(row.length, row.width, row.height,
                                                                  row.settingIndex, row.cityIndex);
    ASSERT_EQ(got.index(), row.expected.index());
    std::visit(
        [&](const auto &want) {
            using Kind = std::decay_t<decltype(want)>;
            if constexpr (!std::is_same_v<Kind, sc::StrikeCountOk>) {
                const Kind &kind = std::get<Kind>(got);
                EXPECT_EQ(kind.message, want.message);
                if constexpr (requires { want.fieldsAtFault; }) {
                    EXPECT_EQ(kind.fieldsAtFault, want.fieldsAtFault);
                }
            }
        },
        row.expected);
}

const sc::StrikeCountZero kZero{"数据选择不正确"};
const sc::StrikeCountTooLarge kTooLarge{"输入数据过大，无法计算!"};

INSTANTIATE_TEST_SUITE_P(
    Cases, StrikeCountRefusal,
    testing::Values(RefusalRow{"TinyBuilding", "0.1", "0.1", "0.1", 0, 5, kZero},
                    RefusalRow{"NoBuilding", "0", "0", "0", 1, 8, kZero},
                    RefusalRow{"NoSetting", "50", "20", "30", -1, 0, kZero},
                    RefusalRow{"NoCity", "50", "20", "30", 0, -1, kZero},
                    RefusalRow{"SettingPastList", "50", "20", "30", 4, 0, kZero},
                    RefusalRow{"CityPastList", "50", "20", "30", 0, 9, kZero},
                    RefusalRow{"TallAreaWithoutSetting", "1e154", "1e154", "100", -1, 1, kZero},
                    RefusalRow{"LengthAndWidthNotNumbers", "abc", "", "10", 0, 0,
                               sc::StrikeInputNotNumeric{"长 宽 必须为数字!",
                                                         {Dimension::Length, Dimension::Width}}},
                    RefusalRow{"LengthAndHeightNotNumbers", "a", "10", "b", 0, 0,
                               sc::StrikeInputNotNumeric{"长 高 必须为数字!",
                                                         {Dimension::Length, Dimension::Height}}},
                    RefusalRow{"WidthNotNumber", "10", "1e400", "10", 0, 0,
                               sc::StrikeInputNotNumeric{"宽 必须为数字!", {Dimension::Width}}},
                    RefusalRow{"AllNotNumbersNoLists", "", " ", ".", -1, -1,
                               sc::StrikeInputNotNumeric{
                                   "长 宽 高 必须为数字!",
                                   {Dimension::Length, Dimension::Width, Dimension::Height}}},
                    RefusalRow{"NotNumberBeforeNegative", "-1", "x", "-2", 0, 0,
                               sc::StrikeInputNotNumeric{"宽 必须为数字!", {Dimension::Width}}},
                    RefusalRow{"NegativeLengthAndHeight", "-1", "10", "-5", 0, 0,
                               sc::StrikeInputNegative{"长 高 不能为负数!",
                                                       {Dimension::Length, Dimension::Height}}},
                    RefusalRow{"NegativeWidthNoLists", "10", "-0.001", "10", -1, -1,
                               sc::StrikeInputNegative{"宽 不能为负数!", {Dimension::Width}}},
                    RefusalRow{"NegativeAllHuge", "-1e300", "-1e300", "-1e300", 1, 8,
                               sc::StrikeInputNegative{
                                   "长 宽 高 不能为负数!",
                                   {Dimension::Length, Dimension::Width, Dimension::Height}}},
                    RefusalRow{"AreaOverflowsLow", "1e200", "1e200", "10", 0, 0, kTooLarge},
                    RefusalRow{"AreaOverflowsWithoutSetting", "1e200", "1e200", "10", -1, 0,
                               kTooLarge},
                    RefusalRow{"SumOverflowsLow", "1.7e308", "1", "10", 0, 0, kTooLarge},
                    RefusalRow{"HeightSquareOverflows", "1", "1", "1e200", 0, 0, kTooLarge},
                    RefusalRow{"CountOverflowsTall", "1e154", "1e154", "100", 0, 1, kTooLarge}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StrikeCountLists, EveryEntryGivesItsFactor)
{
    // One building of area Ae = 0.0270170997… km² under every pair of entries: N = (k · Ng) · Ae.
    constexpr double area = 0.027017099799959986;
    constexpr std::array<double, 4> k{1, 2, 1.7, 1.5};
    constexpr std::array<double, 9> ng{9.01, 2.6, 2.6, 5.22, 3.77, 2.19, 8.16, 8.04, 11.3};
    for (std::size_t s = 0; s < k.size(); ++s) {
        for (std::size_t c = 0; c < ng.size(); ++c) {
            SCOPED_TRACE(testing::Message() << "setting " << s << ", city " << c);
            const calc::StrikeCountOutcome outcome = calc::computeStrikeCount(
                "50", "20", "30", static_cast<std::int16_t>(s), static_cast<std::int16_t>(c));
            const auto *ok = std::get_if<sc::StrikeCountOk>(&outcome);
            ASSERT_NE(ok, nullptr);
            EXPECT_DOUBLE_EQ(ok->count, (k[s] * ng[c]) * area);
        }
    }
}

} // namespace
