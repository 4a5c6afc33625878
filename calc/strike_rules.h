#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The rules of the expected yearly strike count that the calculator's sheet and the layouts
// share (GB 50057-2010 附录A, 3.0.3, 3.0.4): how far the equivalent area reaches beyond a
// building, the ground flash density from the thunderstorm days, the correction factors, and the
// class a building takes by its count.
namespace calc {

// How far the equivalent area reaches beyond a building of height h: √(h(200 − h)) below 100 m,
// h itself from there.
double expansionWidth(double h);

// Ng = 0.1·Td, strikes per km² per year.
double groundFlashDensity(double thunderstormDays);

// A yearly number of thunderstorm days: more than 0, at most 365.
bool isThunderstormDays(double td);

// The thunderstorm days of the calculator's city list entry, read from its text; 0 for an index
// outside the list.
double thunderstormDays(std::int16_t cityIndex);
// The city's name in the list entry ("北京" of "北京 36.7"), empty outside the list.
std::string_view cityName(std::int16_t cityIndex);
// The entry of the city of this name.
std::optional<std::int16_t> cityByName(std::string_view name);

// The correction factor k and the buildings it is for.
struct CorrectionFactor {
    double k;
    std::string_view text;
};
inline constexpr std::array<CorrectionFactor, 4> kCorrectionFactors{{
    {1, "一般情况下的建筑物"},
    {1.5, "河边、湖边、山坡下或山地中土壤电阻率较小处、地下水露头处、土山顶部、山谷风口等处的"
          "建筑物，以及特别潮湿的建筑物"},
    {1.7, "金属屋面的砖木结构建筑物"},
    {2, "位于旷野孤立的建筑物"},
}};
bool isCorrectionFactor(double k);

// The two building groups whose lightning protection class is settled partly by the expected
// yearly strike count.
enum class BuildingGroup { Important, Ordinary };

inline constexpr std::string_view kImportantGroupText =
    "部、省级办公建筑物和其他重要或人员密集的公共建筑物以及火灾危险场所";
inline constexpr std::string_view kOrdinaryGroupText =
    "住宅、办公楼等一般性民用建筑物或一般性工业建筑物";

enum class StrikeClass { Second, Third, NotByCount };

inline constexpr std::string_view kSecondClassText = "第二类防雷建筑物";
inline constexpr std::string_view kThirdClassText = "第三类防雷建筑物";
inline constexpr std::string_view kNotByCountText = "不按年预计雷击次数划分防雷类别";

// A group's limits: a count above upper gives the second class, one from lower to upper the
// third, one below lower no class by the count. The texts are the limits as written.
struct StrikeCountLimits {
    double lower, upper;
    std::string_view lowerText, upperText;
};
// important: 0.01 and 0.05; ordinary: 0.05 and 0.25.
StrikeCountLimits strikeCountLimits(BuildingGroup group);

StrikeClass classByStrikeCount(double n, BuildingGroup group);
std::string_view strikeClassText(StrikeClass c);

} // namespace calc
