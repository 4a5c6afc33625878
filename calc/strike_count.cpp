#include "calc/strike_count.h"

#include "calc/numeric.h"

#include <cmath>

namespace calc {

using namespace strike_count;

namespace {

// Builds "长 宽 必须为数字!"-style messages: each field's one-character name
// and a space, in the order length, width, height, then the tail.
std::string dimensionsMessage(const std::vector<Dimension> &fields, std::string_view tail)
{
    static constexpr std::string_view names[] = {"长 ", "宽 ", "高 "};
    std::string message;
    for (Dimension field : fields) message += names[static_cast<int>(field)];
    message += tail;
    return message;
}

double factorFor(std::int16_t index, auto const &table, auto member)
{
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return 0;
    return table[static_cast<std::size_t>(index)].*member;
}

} // namespace

StrikeCountOutcome computeStrikeCount(std::string_view lengthText, std::string_view widthText,
                                      std::string_view heightText, std::int16_t settingIndex,
                                      std::int16_t cityIndex)
{
    const std::string_view texts[] = {lengthText, widthText, heightText};
    const Dimension dimensions[] = {Dimension::Length, Dimension::Width, Dimension::Height};

    std::vector<Dimension> notNumbers;
    for (int i = 0; i < 3; ++i)
        if (!isNumberText(texts[i])) notNumbers.push_back(dimensions[i]);
    if (!notNumbers.empty())
        return StrikeInputNotNumeric{dimensionsMessage(notNumbers, "必须为数字!"), notNumbers};

    const double l = numberFromText(lengthText);
    const double w = numberFromText(widthText);
    const double h = numberFromText(heightText);

    std::vector<Dimension> negatives;
    const double values[] = {l, w, h};
    for (int i = 0; i < 3; ++i)
        if (values[i] < 0) negatives.push_back(dimensions[i]);
    if (!negatives.empty())
        return StrikeInputNegative{dimensionsMessage(negatives, "不能为负数!"), negatives};

    const double k = factorFor(settingIndex, kSettings, &SettingEntry::k);
    const double ng = factorFor(cityIndex, kCities, &CityEntry::ng);

    double n = 0;
    if (h < 100) {
        const double s = std::sqrt(h * (200 - h));
        const double a = l * w;
        const double b = (2 * (l + w)) * s;
        const double c = (3.141 * s) * s;
        const double ae = ((a + b) + c) / 1000000;
        n = (k * ng) * ae;
    } else {
        const double a = l * w;
        const double b = (2 * h) * (l + w);
        const double c = (3.141 * h) * h;
        n = ((k * ng) * ((a + b) + c)) / 1000000;
    }
    // An overflowing area gives inf, or NaN when a list gives a factor of 0.
    if (!std::isfinite(n) || !std::isfinite(n * 1000))
        return StrikeCountTooLarge{std::string(kTooLargeMessage)};

    const double rounded = roundToThreeDecimals(n);
    if (rounded == 0) return StrikeCountZero{std::string(kZeroText)};

    // Counts below 1 get exactly one "0" before the point.
    return StrikeCountOk{n, withLeadingZero(roundedResultText(n))};
}

} // namespace calc
