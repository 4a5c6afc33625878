#include "calc/single_rod.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <variant>

namespace {

namespace sr = calc::single_rod;
using calc::ResultTextStyle;

struct RadiiRow {
    std::string_view name;
    std::string_view hx, h;
    std::int16_t classIndex;
    double rx, ro;
    std::string_view rxCut, roCut, rxRounded, roRounded;
    bool hxAboveH;
};

class SingleRodRadii : public testing::TestWithParam<RadiiRow> {};

TEST_P(SingleRodRadii, InBothTextStyles)
{
    const RadiiRow &row = GetParam();
    for (ResultTextStyle style : {ResultTextStyle::CutToFive, ResultTextStyle::RoundToThree}) {
        const bool cut = style == ResultTextStyle::CutToFive;
        SCOPED_TRACE(cut ? "cut to five" : "rounded to three");
        const calc::SingleRodOutcome outcome =
            calc::computeSingleRod(row.hx, row.h, row.classIndex, style);
        const auto *ok = std::get_if<sr::SingleRodOk>(&outcome);
        ASSERT_NE(ok, nullptr) << "outcome kind " << outcome.index();
        EXPECT_DOUBLE_EQ(ok->rx, row.rx);
        EXPECT_DOUBLE_EQ(ok->ro, row.ro);
        EXPECT_EQ(ok->rxText, cut ? row.rxCut : row.rxRounded);
        EXPECT_EQ(ok->roText, cut ? row.roCut : row.roRounded);
        EXPECT_EQ(ok->hxAboveH, row.hxAboveH);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleRodRadii,
    testing::Values(
        RadiiRow{"Class3", "10", "30", 0, 18.79527632351232, 51.96152422706632, "18.79", "51.96",
                 "18.795", "51.962", false},
        RadiiRow{"RodLimitedToRadius", "20", "100", 0, 15.278640450004204, 60, "15.27", "60",
                 "15.279", "60", false},
        RadiiRow{"ObjectTallerThanRod", "20", "10", 0, -11.555111646441794, 33.166247903554,
                 "-11.5", "33.16", "-11.555", "33.166", true},
        RadiiRow{"ObjectAsTallAsRod", "10", "10", 0, 0, 33.166247903554, "0", "33.16", "0",
                 "33.166", false},
        RadiiRow{"ObjectOnGround", "0", "10", 0, 33.166247903554, 33.166247903554, "33.16", "33.16",
                 "33.166", "33.166", false},
        RadiiRow{"ObjectMinusZero", "-0", "10", 0, 33.166247903554, 33.166247903554, "33.16",
                 "33.16", "33.166", "33.166", false},
        RadiiRow{"AllZero", "0", "0", 2, 0, 0, "0", "0", "0", "0", false},
        RadiiRow{"ObjectAtTwiceRadius", "120", "60", 0, 60, 60, "60", "60", "60", "60", true},
        RadiiRow{"RodAtRadius", "60", "60", 0, 0, 60, "0", "60", "0", "60", false},
        RadiiRow{"Class2", "5", "20", 1, 16.801045739651112, 37.416573867739416, "16.80", "37.41",
                 "16.801", "37.417", false},
        RadiiRow{"Class1", "3", "20", 2, 15.207574416839881, 28.284271247461902, "15.20", "28.28",
                 "15.208", "28.284", false},
        RadiiRow{"HugeRodLimited", "7.5", "1e300", 1, 20.1253140723345, 45, "20.12", "45", "20.125",
                 "45", false},
        RadiiRow{"TinyHeightsInExponentForm", "1e-300", "1e-300", 0, 0, 1.0954451150103321e-149,
                 "0", "1.095", "0", "0", false},
        RadiiRow{"NoClassLimitsRodToZero", "0", "5", -1, 0, 0, "0", "0", "0", "0", false}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefusalRow {
    std::string_view name;
    std::string_view hx, h;
    std::int16_t classIndex;
    calc::SingleRodOutcome expected;
};

class SingleRodRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(SingleRodRefusal, NamesKindMessageAndField)
{
    const RefusalRow &row = GetParam();
    const calc::SingleRodOutcome got =
        calc::computeSingleRod(row.hx, row.h, row.classIndex, ResultTextStyle::CutToFive);
    ASSERT_EQ(got.index(), row.expected.index());
    std::visit(
        [&](const auto &want) {
            using Kind = std::decay_t<decltype(want)>;
            if constexpr (!std::is_same_v<Kind, sr::SingleRodOk>) {
                const Kind &kind = std::get<Kind>(got);
                EXPECT_EQ(kind.message, want.message);
                if constexpr (requires { want.field; }) {
                    EXPECT_EQ(kind.field, want.field);
                }
            }
        },
        row.expected);
}

const std::string kAbove = "2*hr(滚球半径）< hx（被保护物高度）,无法计算！";

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleRodRefusal,
    testing::Values(
        RefusalRow{"HxWord", "abc", "10", 0,
                   sr::HxNotNumeric{"被保护物高度 hx 不是数字，请输入数字", sr::Field::Hx}},
        RefusalRow{"HEmpty", "10", "", 0,
                   sr::HNotNumeric{"避雷针高度 h 不是数字，请输入数字", sr::Field::H}},
        RefusalRow{"BothEmpty", "", "", 0,
                   sr::BothNotNumeric{"被保护物高度 hx、避雷针高度 h 不是数字，请输入数字",
                                      sr::Field::Hx}},
        RefusalRow{"NotNumberBeforeNegative", "-5", "x", 0,
                   sr::HNotNumeric{"避雷针高度 h 不是数字，请输入数字", sr::Field::H}},
        RefusalRow{"NotNumberBeforeHeightGuard", "121", "10m", 0,
                   sr::HNotNumeric{"避雷针高度 h 不是数字，请输入数字", sr::Field::H}},
        RefusalRow{"AboveTwiceRadius", "121", "10", 0, sr::HxAboveTwiceRadius{kAbove}},
        RefusalRow{"AboveAfterRodLimit", "61", "40", 2, sr::HxAboveTwiceRadius{kAbove}},
        RefusalRow{"NoClassPositiveHx", "1", "5", -1, sr::HxAboveTwiceRadius{kAbove}},
        RefusalRow{"HeightGuardBeforeNegative", "121", "-5", 0, sr::HxAboveTwiceRadius{kAbove}},
        RefusalRow{"NegativeHx", "-5", "10", 0,
                   sr::NegativeHeight{"被保护物高度 hx 不能为负数，请重新输入！", sr::Field::Hx}},
        RefusalRow{"NegativeH", "5", "-3", 0,
                   sr::NegativeHeight{"避雷针高度 h 不能为负数，请重新输入！", sr::Field::H}},
        RefusalRow{"NegativeHObjectOnGround", "0", "-3", 0,
                   sr::NegativeHeight{"避雷针高度 h 不能为负数，请重新输入！", sr::Field::H}},
        RefusalRow{"NegativeTinyH", "5", "-1e-320", 1,
                   sr::NegativeHeight{"避雷针高度 h 不能为负数，请重新输入！", sr::Field::H}},
        RefusalRow{"NegativeBothNoClass", "-1", "-1", -1,
                   sr::NegativeHeight{"被保护物高度 hx、避雷针高度 h 不能为负数，请重新输入！",
                                      sr::Field::Hx}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
