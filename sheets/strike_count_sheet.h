#pragma once

#include "sheets/sheet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

inline constexpr std::string_view kStrikeCountSheetName = "雷击次数";

// The two building groups whose lightning protection class GB 50057-2010
// (3.0.3, 3.0.4) settles partly by the expected yearly strike count.
enum class BuildingGroup { Important, Ordinary };

inline constexpr std::string_view kImportantGroupText =
    "部、省级办公建筑物和其他重要或人员密集的公共建筑物以及火灾危险场所";
inline constexpr std::string_view kOrdinaryGroupText =
    "住宅、办公楼等一般性民用建筑物或一般性工业建筑物";

enum class StrikeClass { Second, Third, NotByCount };

inline constexpr std::string_view kSecondClassText = "第二类防雷建筑物";
inline constexpr std::string_view kThirdClassText = "第三类防雷建筑物";
inline constexpr std::string_view kNotByCountText = "不按年预计雷击次数划分防雷类别";

// The class that a yearly strike count n gives a building of the group:
// important: n > 0.05 second, 0.01 ≤ n ≤ 0.05 third; ordinary: n > 0.25
// second, 0.05 ≤ n ≤ 0.25 third; below that, not classed by its count.
StrikeClass classByStrikeCount(double n, BuildingGroup group);

// The verdict in words, with n written so that it stands on the right side of
// each limit: "N′ = 0.2583 > 0.05，第二类防雷建筑物".
std::string strikeClassVerdict(double n, BuildingGroup group);

// The thunderstorm days of the city list's entry, read from its text; 0 for an
// index outside the list.
double thunderstormDays(std::int16_t cityIndex);

// The sheet of the strike-count window for its field texts and list indices,
// made through the same calculation as its "计算" button, with a cross-check
// by GB 50057-2010 (Ng = 0.1·Td, exact π) and the class that this gives.
sheet::Sheet strikeCountSheet(std::string_view lengthText, std::string_view widthText,
                              std::string_view heightText, std::int16_t settingIndex,
                              std::int16_t cityIndex, std::string date);

} // namespace calc
