#pragma once

#include "sheets/sheet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

inline constexpr std::string_view kSingleRodSheetName = "单根避雷针保护范围";

// The sheet of the single-rod window for its field texts and class index, made
// through the same calculation as its "计  算" button.
sheet::Sheet singleRodSheet(std::string_view hxText, std::string_view hText,
                            std::int16_t classIndex, std::string date);

} // namespace calc
