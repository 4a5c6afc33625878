#pragma once

#include "sheets/sheet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

inline constexpr std::string_view kTwoRodsSheetName = "双根等高避雷针保护范围";

// The sheet of the two-rod window for its field texts and class index, made
// through the same calculation as its "计  算" button.
sheet::Sheet twoRodsSheet(std::string_view hText, std::string_view dText, std::int16_t classIndex,
                          std::string date);

} // namespace calc
