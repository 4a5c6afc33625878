#pragma once

#include "calc/texts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// Joint protection of two lightning rods of equal height.
namespace calc::two_rods {

enum class Field { H, D };

inline constexpr std::string_view kHName = texts::kRodHeightName;
inline constexpr std::string_view kDName = "针间距离 D";
inline constexpr std::string_view kTooFarMessage = "针间距离 D 过大，按单支避雷针方法计算";

struct TwoRodsOk {
    double hx = 0;
    double bo = 0;
    std::string hxResultText;
    std::string boResultText;
};
struct TwoRodsHNotNumeric {
    std::string message;
    Field field = Field::H;
};
struct TwoRodsDNotNumeric {
    std::string message;
    Field field = Field::D;
};
struct TwoRodsHDNotNumeric {
    std::string message;
    Field field = Field::H; // both are at fault; h is named first and gets the focus
};
// The rods stand too far apart for joint protection; no field is at fault.
struct TwoRodsTooFar {
    std::string message;
};
struct TwoRodsNegativeHeight {
    std::string message;
    Field field = Field::H;
};

using TwoRodsOutcome = std::variant<TwoRodsOk, TwoRodsHNotNumeric, TwoRodsDNotNumeric,
                                    TwoRodsHDNotNumeric, TwoRodsTooFar, TwoRodsNegativeHeight>;

} // namespace calc::two_rods

namespace calc {

using two_rods::TwoRodsOutcome;

TwoRodsOutcome computeTwoRods(std::string_view hText, std::string_view dText,
                              std::int16_t classIndex);

} // namespace calc
