#pragma once

#include "calc/strike_rules.h"
#include "sheets/sheet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

inline constexpr std::string_view kStrikeCountSheetName = "雷击次数";

// The verdict in words, with n written so that it stands on the right side of
// each limit: "N′ = 0.2583 > 0.05，第二类防雷建筑物", the count named `symbol`.
std::string strikeClassVerdict(double n, BuildingGroup group, std::string_view symbol = "N′");

// The sheet of the strike-count window for its field texts and list indices,
// made through the same calculation as its "计算" button, with a cross-check
// by GB 50057-2010 (Ng = 0.1·Td, exact π) and the class that this gives.
sheet::Sheet strikeCountSheet(std::string_view lengthText, std::string_view widthText,
                              std::string_view heightText, std::int16_t settingIndex,
                              std::int16_t cityIndex, std::string date);

} // namespace calc
