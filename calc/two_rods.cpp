#include "calc/two_rods.h"

#include "calc/numeric.h"

#include <cmath>

namespace calc {

using namespace two_rods;

TwoRodsOutcome computeTwoRods(std::string_view hText, std::string_view dText,
                              std::int16_t classIndex)
{
    const bool hIsNumber = isNumberText(hText);
    const bool dIsNumber = isNumberText(dText);
    if (!hIsNumber && !dIsNumber) {
        const std::string_view names[] = {kHName, kDName};
        return TwoRodsHDNotNumeric{notNumberMessage(names)};
    }
    if (!hIsNumber) return TwoRodsHNotNumeric{notNumberMessage({&kHName, 1})};
    if (!dIsNumber) return TwoRodsDNotNumeric{notNumberMessage({&kDName, 1})};

    double h = numberFromText(hText);
    const double d = numberFromText(dText);
    const int hr = rollingSphereRadius(classIndex);

    if (h > hr) h = hr;
    if (h < 0) return TwoRodsNegativeHeight{negativeMessage({&kHName, 1})};

    // Joint protection needs the rods closer than twice one rod's ground radius;
    // the size of the distance decides, whatever its sign.
    const double limit = 2 * std::sqrt((2 * hr - h) * h);
    if (!(d < limit) || !(d > -limit)) return TwoRodsTooFar{std::string(kTooFarMessage)};

    const double half = d / 2;
    const double boRadicand = (2 * hr - h) * h - half * half;
    // Right at the limit rounding alone can push the radicand below zero.
    if (boRadicand < 0) return TwoRodsTooFar{std::string(kTooFarMessage)};
    const double bo = std::sqrt(boRadicand);
    const double hx = hr - std::sqrt((hr - h) * (hr - h) + half * half);

    return TwoRodsOk{hx, bo, cutResultText(hx), cutResultText(bo)};
}

} // namespace calc
