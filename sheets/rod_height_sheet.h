#pragma once

#include "sheets/sheet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

inline constexpr std::string_view kRodHeightSheetName = "避雷针高度";

// The sheet of the rod-height window for its field texts and class index, made
// through the same calculation as its "计  算" button.
sheet::Sheet rodHeightSheet(std::string_view hxText, std::string_view distanceText,
                            std::int16_t classIndex, std::string date);

} // namespace calc
