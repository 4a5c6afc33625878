#pragma once

#include "calc/numeric.h"
#include "calc/texts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// Protection radii of one lightning rod by the rolling-sphere method.
namespace calc::single_rod {

enum class Field { Hx, H };

inline constexpr std::string_view kHxName = texts::kObjectHeightName;
inline constexpr std::string_view kHName = texts::kRodHeightName;
inline constexpr std::string_view kAboveTwiceRadiusMessage = texts::kAboveTwiceRadiusMessage;

struct SingleRodOk {
    double rx = 0;
    double ro = 0;
    std::string rxText;
    std::string roText;
    bool hxAboveH = false; // the object is taller than the (limited) rod
};
struct HxNotNumeric {
    std::string message;
    Field field = Field::Hx;
};
struct HNotNumeric {
    std::string message;
    Field field = Field::H;
};
struct BothNotNumeric {
    std::string message;
    Field field = Field::Hx; // both are at fault; hx is named first
};
struct HxAboveTwiceRadius {
    std::string message;
};
// A negative object or (limited) rod height has no real radius.
struct NegativeHeight {
    std::string message;
    Field field = Field::Hx; // the first field named
};

using SingleRodOutcome = std::variant<SingleRodOk, HxNotNumeric, HNotNumeric, BothNotNumeric,
                                      HxAboveTwiceRadius, NegativeHeight>;

} // namespace calc::single_rod

namespace calc {

using single_rod::SingleRodOutcome;

SingleRodOutcome computeSingleRod(std::string_view hxText, std::string_view hText,
                                  std::int16_t classIndex, ResultTextStyle resultStyle);

} // namespace calc
