#include "rendering/drawing_inks.h"

namespace rendering {

QColor inkColour(calc::drawing::Ink ink)
{
    using calc::drawing::Ink;
    switch (ink) {
    case Ink::Ground:
        return {120, 80, 40};
    case Ink::Rod:
        return {0, 0, 0};
    case Ink::Arc:
        return {0, 70, 200};
    case Ink::ZoneFill:
        return zoneShade();
    case Ink::Object:
        return {0, 120, 0};
    case Ink::ObjectOutside:
        return {220, 0, 0};
    case Ink::Dimension:
        return {60, 60, 60};
    case Ink::Construction:
        return {130, 130, 130};
    case Ink::Building:
        return {40, 40, 40};
    case Ink::EquivalentArea:
        return {210, 110, 0};
    }
    return {0, 0, 0};
}

QColor zoneShade() { return {200, 222, 250}; }

} // namespace rendering
