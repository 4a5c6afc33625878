#include "calc/rod_height.h"

#include "calc/numeric.h"

#include <cmath>

namespace calc {

using namespace rod_height;

RodHeightOutcome computeRodHeight(std::string_view hxText, std::string_view distanceText,
                                  std::int16_t classIndex)
{
    const bool hxIsNumber = isNumberText(hxText);
    const bool distanceIsNumber = isNumberText(distanceText);
    if (!hxIsNumber && !distanceIsNumber) {
        const std::string_view names[] = {kHxName, kDistanceName};
        return BothNotNumeric{notNumberMessage(names)};
    }
    if (!hxIsNumber) return HxNotNumeric{notNumberMessage({&kHxName, 1})};
    if (!distanceIsNumber) return DistanceNotNumeric{notNumberMessage({&kDistanceName, 1})};

    const double hx = numberFromText(hxText);
    const double d = numberFromText(distanceText);
    const int hr = rollingSphereRadius(classIndex);

    if (hx > 2 * hr) return HxAboveTwiceRadius{std::string(kAboveTwiceRadiusMessage)};
    if (hx < 0) return NegativeHx{negativeMessage({&kHxName, 1})};

    const double q = std::sqrt((2 * hr - hx) * hx);
    const double a = d + q;
    const double a2 = a * a;
    const double discriminant = (2.0 * hr) * (2.0 * hr) - 4 * a2;
    // An overflowing distance makes the discriminant -inf and lands here too.
    if (discriminant < 0) return NegativeRadicand{std::string(kNegativeRadicandMessage)};

    const double s = std::sqrt(discriminant);
    const double x1 = (2 * hr + s) / 2;
    const double x2 = (2 * hr - s) / 2;
    return RodHeightOk{x1, x2, cutResultText(x1), cutResultText(x2)};
}

} // namespace calc
