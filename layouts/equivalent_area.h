#pragma once

#include "layouts/layout.h"

#include <span>
#include <vector>

// The equivalent area of a building's parts: the area enclosed by the union of every footprint
// grown by its own width with round corners, holes filled. Metres.
namespace calc::layout {

struct GrownPart {
    std::span<const Corner> footprint; // a simple polygon, either winding
    double width = 0;                  // how far it is grown, above 0
    double widthSquared = 0;           // width², as exact as the caller knows it
};

struct EquivalentArea {
    // false: the area could not be settled to a hundredth of a m², or, where the widest part's
    // circle (π·width²) is under 2000 m², to a 200 000th of that circle's area: tiny parts are
    // measured as finely for their size.
    bool measured = false;
    double area = 0;                          // m²
    double error = 0;                         // m², |area − exact area| is no more than this
    std::vector<std::vector<Corner>> outline; // closed rings, first corner not repeated
};

EquivalentArea equivalentArea(std::span<const GrownPart> parts);

// Whether two simple polygons share any point: they overlap, touch, or one holds the other.
bool footprintsMeet(std::span<const Corner> a, std::span<const Corner> b);

} // namespace calc::layout
