#include "calc/rod_height.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <variant>

namespace {

namespace rh = calc::rod_height;

struct HeightsRow {
    std::string_view name;
    std::string_view hx, distance;
    std::int16_t classIndex;
    double x1, x2;
    std::string_view x1Text, x2Text;
};

class RodHeights : public testing::TestWithParam<HeightsRow> {};

TEST_P(RodHeights, GivesBothRoots)
{
    const HeightsRow &row = GetParam();
    const calc::RodHeightOutcome outcome =
        calc::computeRodHeight(row.hx, row.distance, row.classIndex);
    const auto *ok = std::get_if<rh::RodHeightOk>(&outcome);
    ASSERT_NE(ok, nullptr) << "outcome kind " << outcome.index();
    EXPECT_DOUBLE_EQ(ok->x1, row.x1);
    EXPECT_DOUBLE_EQ(ok->x2, row.x2);
    EXPECT_EQ(ok->x1Text, row.x1Text);
    EXPECT_EQ(ok->x2Text, row.x2Text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RodHeights,
    testing::Values(
        HeightsRow{"Class3", "10", "10", 0, 101.67343328703456, 18.326566712965445, "101.6",
                   "18.32"},
        HeightsRow{"TrailingZeroKept", "10", "20", 0, 87.80917265683824, 32.19082734316176, "87.80",
                   "32.19"},
        HeightsRow{"Class2", "5", "3", 1, 83.30544127446478, 6.694558725535217, "83.30", "6.694"},
        HeightsRow{"Class2Again", "10", "10", 1, 68.649832452911, 21.350167547089008, "68.64",
                   "21.35"},
        HeightsRow{"GroundAtRod", "0", "0", 0, 120, 0, "120", "0"},
        HeightsRow{"ObjectAtTwiceRadius", "120", "0", 0, 120, 0, "120", "0"},
        HeightsRow{"SmallerRootIsObject", "4", "0", 0, 116, 4, "116", "4"},
        HeightsRow{"DiscriminantZero", "0", "60", 0, 60, 60, "60", "60"},
        HeightsRow{"DiscriminantZeroNegativeDistance", "0", "-60", 0, 60, 60, "60", "60"},
        HeightsRow{"NegativeDistance", "10", "-10", 0, 115.34731211243306, 4.652687887566934,
                   "115.3", "4.652"},
        HeightsRow{"ObjectMinusZero", "-0", "0", 0, 120, 0, "120", "0"},
        // Fifteen significant digits round 59.99999999999999 up to 60.
        HeightsRow{"StandardTextRoundsUp", "60", "0", 1, 59.99999999999999, 30.000000000000007,
                   "60", "30"},
        HeightsRow{"NoClassAllZero", "0", "0", -1, 0, 0, "0", "0"}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefusalRow {
    std::string_view name;
    std::string_view hx, distance;
    std::int16_t classIndex;
    calc::RodHeightOutcome expected;
};

class RodHeightRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(RodHeightRefusal, NamesKindMessageAndField)
{
    const RefusalRow &row = GetParam();
    const calc::RodHeightOutcome got = calc::computeRodHeight(row.hx, row.distance, row.classIndex);
    ASSERT_EQ(got.index(), row.expected.index());
    std::visit(
        [&](const auto &want) {
            using Kind = std::decay_t<decltype(want)>;
            if constexpr (!std::is_same_v<Kind, rh::RodHeightOk>) {
                const Kind &kind = std::get<Kind>(got);
                EXPECT_EQ(kind.message, want.message);
                if constexpr (requires { want.field; }) {
                    EXPECT_EQ(kind.field, want.field);
                }
            }
        },
        row.expected);
}

const rh::HxAboveTwiceRadius kAbove{"2*hr(滚球半径）< hx（被保护物高度）,无法计算！"};
const rh::NegativeRadicand kRadicand{"输入数字使根号内数字小于零，请重新输入！"};
const rh::NegativeHx kNegative{"被保护物高度 hx 不能为负数，请重新输入！", rh::Field::Hx};

INSTANTIATE_TEST_SUITE_P(
    Cases, RodHeightRefusal,
    testing::Values(
        RefusalRow{"HxWord", "abc", "10", 0,
                   rh::HxNotNumeric{"被保护物高度 hx 不是数字，请输入数字", rh::Field::Hx}},
        RefusalRow{"DistanceEmpty", "10", "", 0,
                   rh::DistanceNotNumeric{"距离 h 不是数字，请输入数字", rh::Field::Distance}},
        RefusalRow{
            "BothNotNumbers", "x", "", 0,
            rh::BothNotNumeric{"被保护物高度 hx、距离 h 不是数字，请输入数字", rh::Field::Hx}},
        RefusalRow{"NotNumberBeforeHeightGuard", "121", "1 0", 0,
                   rh::DistanceNotNumeric{"距离 h 不是数字，请输入数字", rh::Field::Distance}},
        RefusalRow{"AboveTwiceRadius", "121", "5", 0, kAbove},
        RefusalRow{"AboveTwiceRadiusClass1", "60.5", "0", 2, kAbove},
        RefusalRow{"NoClassPositiveHx", "1", "0", -1, kAbove},
        RefusalRow{"AboveBeforeRadicand", "130", "1e300", 0, kAbove},
        RefusalRow{"RadicandNegative", "30", "5", 2, kRadicand},
        RefusalRow{"JustBeyondDiscriminantZero", "0", "-61", 0, kRadicand},
        RefusalRow{"NoClassDistance", "0", "1", -1, kRadicand},
        RefusalRow{"OverflowingDistance", "5", "1e200", 0, kRadicand},
        RefusalRow{"OverflowingSquare", "5", "1e155", 0, kRadicand},
        RefusalRow{"OverflowingNegativeDistance", "5", "-1e200", 0, kRadicand},
        RefusalRow{"NegativeHx", "-1", "5", 0, kNegative},
        RefusalRow{"NegativeHxBeforeOverflow", "-1", "1e300", 0, kNegative}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
