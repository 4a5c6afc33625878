#pragma once

#include <string_view>

// Field names and messages that more than one calculation uses. Each
// calculation's header gives them under its own name; the text lives here.
namespace calc::texts {

inline constexpr std::string_view kObjectHeightName = "被保护物高度 hx";
inline constexpr std::string_view kRodHeightName = "避雷针高度 h";
inline constexpr std::string_view kAboveTwiceRadiusMessage =
    "2*hr(滚球半径）< hx（被保护物高度）,无法计算！";

} // namespace calc::texts
