#pragma once

#include "roof/plan.h"
#include "roof/roof_rules.h"

#include <span>
#include <vector>

// Whether a cell fits a rectangle of the mesh table, in some placement and orientation, and the
// smallest-area rectangle that holds it. Both look at the cell's convex hull only: a rectangle
// holds a shape exactly when it holds the shape's hull.
namespace calc::roof::detail {

// Counter-clockwise, no three corners on a line; fewer than three corners for a degenerate set.
std::vector<Corner> convexHull(std::vector<Corner> points);

struct Rectangle {
    double longSide = 0, shortSide = 0;
    Ring corners;
};
Rectangle smallestRectangle(std::span<const Corner> hull);

// Whether some orientation of the size's rectangle holds the hull, to within tolerance.
bool fitsIn(std::span<const Corner> hull, MeshSize size, double tolerance = kLengthTolerance);

} // namespace calc::roof::detail
