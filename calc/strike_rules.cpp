#include "calc/strike_rules.h"

#include "calc/numeric.h"
#include "calc/strike_count.h"

#include <algorithm>
#include <cmath>

namespace calc {

using strike_count::kCities;

double expansionWidth(double h) { return h < 100 ? std::sqrt(h * (200 - h)) : h; }

double groundFlashDensity(double thunderstormDays) { return 0.1 * thunderstormDays; }

bool isThunderstormDays(double td) { return td > 0 && td <= 365; }

namespace {

std::string_view cityEntry(std::int16_t cityIndex)
{
    if (cityIndex < 0 || static_cast<std::size_t>(cityIndex) >= kCities.size()) return {};
    return kCities[static_cast<std::size_t>(cityIndex)].text;
}

} // namespace

double thunderstormDays(std::int16_t cityIndex)
{
    const std::string_view text = cityEntry(cityIndex);
    if (text.empty()) return 0;
    return numberFromText(text.substr(text.rfind(' ') + 1));
}

std::string_view cityName(std::int16_t cityIndex)
{
    const std::string_view text = cityEntry(cityIndex);
    return text.substr(0, text.rfind(' '));
}

std::optional<std::int16_t> cityByName(std::string_view name)
{
    if (name.empty()) return std::nullopt;
    for (std::size_t i = 0; i < kCities.size(); ++i)
        if (cityName(static_cast<std::int16_t>(i)) == name) return static_cast<std::int16_t>(i);
    return std::nullopt;
}

bool isCorrectionFactor(double k)
{
    return std::ranges::any_of(kCorrectionFactors,
                               [k](const CorrectionFactor &f) { return f.k == k; });
}

StrikeCountLimits strikeCountLimits(BuildingGroup group)
{
    if (group == BuildingGroup::Important) return {0.01, 0.05, "0.01", "0.05"};
    return {0.05, 0.25, "0.05", "0.25"};
}

StrikeClass classByStrikeCount(double n, BuildingGroup group)
{
    const StrikeCountLimits limits = strikeCountLimits(group);
    if (n > limits.upper) return StrikeClass::Second;
    if (n >= limits.lower) return StrikeClass::Third;
    return StrikeClass::NotByCount;
}

std::string_view strikeClassText(StrikeClass c)
{
    switch (c) {
    case StrikeClass::Second:
        return kSecondClassText;
    case StrikeClass::Third:
        return kThirdClassText;
    case StrikeClass::NotByCount:
        break;
    }
    return kNotByCountText;
}

} // namespace calc
