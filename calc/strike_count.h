#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Expected yearly number of lightning strikes on a building.
namespace calc::strike_count {

enum class Dimension { Length, Width, Height };

struct SettingEntry {
    std::string_view text;
    double k; // correction factor; the number in the text is never parsed
};
struct CityEntry {
    std::string_view text; // city name and its yearly thunderstorm days
    double ng;             // ground flash density, strikes per km² per year
};

inline constexpr std::array<SettingEntry, 4> kSettings{{
    {"一般建筑物 k=1", 1},
    {"旷野孤立建筑物 k=2", 2},
    {"金属屋面的砖木结构建筑 k=1.7", 1.7},
    {"河边、湖边等其他地方 k=1.5", 1.5},
}};
inline constexpr std::array<CityEntry, 9> kCities{{
    {"湛江 95.6", 9.01},
    {"北京 36.7", 2.6},
    {"成都 36.9", 2.6},
    {"昆明 62.8", 5.22},
    {"贵阳 48.9", 3.77},
    {"上海 32.2", 2.19},
    {"南宁 88.6", 8.16},
    {"广州 87.6", 8.04},
    {"海口 113.8", 11.3},
}};

inline constexpr std::string_view kZeroText = "数据选择不正确";
inline constexpr std::string_view kTooLargeMessage = "输入数据过大，无法计算!";

struct StrikeCountOk {
    double count = 0;
    std::string countText;
};
// The count rounds to zero: no valid list selection, or a tiny building.
struct StrikeCountZero {
    std::string message;
};
struct StrikeInputNotNumeric {
    std::string message;
    std::vector<Dimension> fieldsAtFault; // in the order length, width, height
};
struct StrikeInputNegative {
    std::string message;
    std::vector<Dimension> fieldsAtFault;
};
// The building is so large that the count leaves the range of numbers.
struct StrikeCountTooLarge {
    std::string message;
};

using StrikeCountOutcome = std::variant<StrikeCountOk, StrikeCountZero, StrikeInputNotNumeric,
                                        StrikeInputNegative, StrikeCountTooLarge>;

} // namespace calc::strike_count

namespace calc {

using strike_count::StrikeCountOutcome;

StrikeCountOutcome computeStrikeCount(std::string_view lengthText, std::string_view widthText,
                                      std::string_view heightText, std::int16_t settingIndex,
                                      std::int16_t cityIndex);

} // namespace calc
