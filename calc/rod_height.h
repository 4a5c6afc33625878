#pragma once

#include "calc/texts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// The two rod heights at which one rod just covers an object of height hx
// standing at a given distance.
namespace calc::rod_height {

enum class Field { Hx, Distance };

inline constexpr std::string_view kHxName = texts::kObjectHeightName;
inline constexpr std::string_view kDistanceName = "距离 h";
inline constexpr std::string_view kAboveTwiceRadiusMessage = texts::kAboveTwiceRadiusMessage;
inline constexpr std::string_view kNegativeRadicandMessage =
    "输入数字使根号内数字小于零，请重新输入！";

struct RodHeightOk {
    double x1 = 0; // the larger height
    double x2 = 0; // the smaller height
    std::string x1Text;
    std::string x2Text;
};
struct HxNotNumeric {
    std::string message;
    Field field = Field::Hx;
};
struct DistanceNotNumeric {
    std::string message;
    Field field = Field::Distance;
};
struct BothNotNumeric {
    std::string message;
    Field field = Field::Hx; // both are at fault; hx is named first
};
struct HxAboveTwiceRadius {
    std::string message;
};
struct NegativeRadicand {
    std::string message;
};
struct NegativeHx {
    std::string message;
    Field field = Field::Hx;
};

using RodHeightOutcome = std::variant<RodHeightOk, HxNotNumeric, DistanceNotNumeric, BothNotNumeric,
                                      HxAboveTwiceRadius, NegativeRadicand, NegativeHx>;

} // namespace calc::rod_height

namespace calc {

using rod_height::RodHeightOutcome;

RodHeightOutcome computeRodHeight(std::string_view hxText, std::string_view distanceText,
                                  std::int16_t classIndex);

} // namespace calc
