#include "calc/single_rod.h"

#include <cmath>
#include <vector>

namespace calc {

using namespace single_rod;

SingleRodOutcome computeSingleRod(std::string_view hxText, std::string_view hText,
                                  std::int16_t classIndex, ResultTextStyle resultStyle)
{
    const bool hxIsNumber = isNumberText(hxText);
    const bool hIsNumber = isNumberText(hText);
    if (!hxIsNumber && !hIsNumber) {
        const std::string_view names[] = {kHxName, kHName};
        return BothNotNumeric{notNumberMessage(names)};
    }
    if (!hxIsNumber) return HxNotNumeric{notNumberMessage({&kHxName, 1})};
    if (!hIsNumber) return HNotNumeric{notNumberMessage({&kHName, 1})};

    const double hx = numberFromText(hxText);
    double h = numberFromText(hText);
    const int hr = rollingSphereRadius(classIndex);

    // A rod at least as tall as the sphere radius protects like one of height hr.
    if (h > hr) h = hr;
    if (hx > 2 * hr) return HxAboveTwiceRadius{std::string(kAboveTwiceRadiusMessage)};

    // Negative heights have no real radius; reject them before any square root.
    std::vector<std::string_view> negative;
    if (hx < 0) negative.push_back(kHxName);
    if (h < 0) negative.push_back(kHName);
    if (!negative.empty())
        return NegativeHeight{negativeMessage(negative), hx < 0 ? Field::Hx : Field::H};

    const double p = std::sqrt((2 * hr - h) * h);
    const double q = std::sqrt((2 * hr - hx) * hx);
    const double rx = p - q;
    const double ro = std::sqrt((2 * hr - h) * h);

    const auto text = resultStyle == ResultTextStyle::CutToFive ? cutResultText : roundedResultText;
    return SingleRodOk{rx, ro, text(rx), text(ro), hx > h};
}

} // namespace calc
