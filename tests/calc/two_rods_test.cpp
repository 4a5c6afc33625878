#include "calc/two_rods.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <variant>

namespace {

namespace tr = calc::two_rods;

struct JointRow {
    std::string_view name;
    std::string_view h, d;
    std::int16_t classIndex;
    double hx, bo;
    std::string_view hxText, boText;
};

class TwoRodsJoint : public testing::TestWithParam<JointRow> {};

TEST_P(TwoRodsJoint, GivesMidpointHeightAndHalfWidth)
{
    const JointRow &row = GetParam();
    const calc::TwoRodsOutcome outcome = calc::computeTwoRods(row.h, row.d, row.classIndex);
    const auto *ok = std::get_if<tr::TwoRodsOk>(&outcome);
    ASSERT_NE(ok, nullptr) << "outcome kind " << outcome.index();
    EXPECT_DOUBLE_EQ(ok->hx, row.hx);
    EXPECT_DOUBLE_EQ(ok->bo, row.bo);
    EXPECT_EQ(ok->hxResultText, row.hxText);
    EXPECT_EQ(ok->boResultText, row.boText);
}

// The last rows stand one double below the limit 2·r0 (on either side of zero): still joint,
// with a half-width of a fraction of a micrometre.
INSTANTIATE_TEST_SUITE_P(
    Cases, TwoRodsJoint,
    testing::Values(
        JointRow{"Class3", "30", "40", 0, 23.944487245360108, 47.958315233127195, "23.94", "47.95"},
        JointRow{"Class2", "25", "50", 1, 12.984378812835757, 31.622776601683793, "12.98", "31.62"},
        JointRow{"RodLimitedToRadius", "70", "40", 0, 40, 56.568542494923804, "40", "56.56"},
        JointRow{"HugeRodLimited", "1e300", "10", 0, 55, 59.79130371550699, "55", "59.79"},
        JointRow{"RodAtRadiusTogether", "60", "0", 0, 60, 60, "60", "60"},
        JointRow{"Together", "30", "0", 0, 30, 51.96152422706632, "30", "51.96"},
        JointRow{"MidpointBelowOne", "44", "88.9", 1, 0.5387528290084944, 6.942441933498599,
                 ".5387", "6.942"},
        JointRow{"MidpointSmall", "10", "66", 0, 0.09173679699936343, 3.3166247903554, ".0917",
                 "3.316"},
        JointRow{"NegativeDistanceWithinLimit", "30", "-40", 0, 23.944487245360108,
                 47.958315233127195, "23.94", "47.95"},
        JointRow{"NegativeDistanceNearLimit", "30", "-103.9", 0, 0.00997999666944338,
                 1.0943034314118565, ".0099", "1.094"},
        JointRow{"JustBelowLimit", "0.9", "20.706520712084874", 0, 0, 1.6858739404357614e-07, "0",
                 "1.685"},
        JointRow{"JustAboveMinusLimit", "0.9", "-20.706520712084874", 0, 0, 1.6858739404357614e-07,
                 "0", "1.685"},
        JointRow{"JustBelowLimitClass1", "20", "56.5685424949238", 2, 3.552713678800501e-15,
                 3.371747880871523e-07, "3.552", "3.371"}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefusalRow {
    std::string_view name;
    std::string_view h, d;
    std::int16_t classIndex;
    calc::TwoRodsOutcome expected;
};

class TwoRodsRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(TwoRodsRefusal, NamesKindMessageAndField)
{
    const RefusalRow &row = GetParam();
    const calc::TwoRodsOutcome got = calc::computeTwoRods(row.h, row.d, row.classIndex);
    ASSERT_EQ(got.index(), row.expected.index());
    std::visit(
        [&](const auto &want) {
            using Kind = std::decay_t<decltype(want)>;
            if constexpr (!std::is_same_v<Kind, tr::TwoRodsOk>) {
                const Kind &kind = std::get<Kind>(got);
                EXPECT_EQ(kind.message, want.message);
                if constexpr (requires { want.field; }) {
                    EXPECT_EQ(kind.field, want.field);
                }
            }
        },
        row.expected);
}

const tr::TwoRodsTooFar kTooFar{"针间距离 D 过大，按单支避雷针方法计算"};
const tr::TwoRodsNegativeHeight kNegative{"避雷针高度 h 不能为负数，请重新输入！", tr::Field::H};

// Rows at ±2·r0 are written with all digits of the limit's double. At −2·r0 the value under
// the half-width's root comes out negative (h 0.9 and h 20), zero (h 0.1) or positive through
// rounding alone; the distance's size decides all the same.
INSTANTIATE_TEST_SUITE_P(
    Cases, TwoRodsRefusal,
    testing::Values(
        RefusalRow{"HWord", "abc", "10", 0,
                   tr::TwoRodsHNotNumeric{"避雷针高度 h 不是数字，请输入数字", tr::Field::H}},
        RefusalRow{"DEmpty", "30", "", 0,
                   tr::TwoRodsDNotNumeric{"针间距离 D 不是数字，请输入数字", tr::Field::D}},
        RefusalRow{
            "BothNotNumbers", "", "x", 0,
            tr::TwoRodsHDNotNumeric{"避雷针高度 h、针间距离 D 不是数字，请输入数字", tr::Field::H}},
        RefusalRow{"NotNumberBeforeNegative", "-5", "1e400", 0,
                   tr::TwoRodsDNotNumeric{"针间距离 D 不是数字，请输入数字", tr::Field::D}},
        RefusalRow{"AtLimit", "45", "90", 1, kTooFar},
        RefusalRow{"BeyondLimit", "20", "60", 2, kTooFar},
        RefusalRow{"RodOfZeroHeight", "0", "10", 0, kTooFar},
        RefusalRow{"RodOfZeroHeightTogether", "0", "0", 0, kTooFar},
        RefusalRow{"RodOfZeroHeightNegativeDistance", "0", "-5", 0, kTooFar},
        RefusalRow{"NoClass", "30", "10", -1, kTooFar},
        RefusalRow{"NoClassNegativeDistance", "30", "-10", -1, kTooFar},
        RefusalRow{"AtLimitExactly", "0.9", "20.706520712084878", 0, kTooFar},
        RefusalRow{"AtMinusLimitRootNegative", "0.9", "-20.706520712084878", 0, kTooFar},
        RefusalRow{"AtMinusLimitRootZero", "0.1", "-6.925315877272315", 0, kTooFar},
        RefusalRow{"AtMinusLimitRootPositive", "0.2", "-9.789790600416334", 0, kTooFar},
        RefusalRow{"AtMinusLimitClass1", "20", "-56.568542494923804", 2, kTooFar},
        RefusalRow{"NegativeBeyondLimit", "30", "-200", 0, kTooFar},
        RefusalRow{"HugeNegativeDistance", "30", "-1e200", 0, kTooFar},
        RefusalRow{"NegativeHeight", "-5", "10", 0, kNegative},
        RefusalRow{"NegativeHeightBeforeDistance", "-5", "1e300", 0, kNegative},
        RefusalRow{"NegativeTinyHeight", "-4.9e-324", "0", 1, kNegative}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
