#pragma once

#include "dxf/drawing.h"

#include <vector>

// Points along a B-spline (rational when weights are given), as CAD programs draw SPLINE
// entities and the spline edges of hatch boundaries.
namespace dxf {

struct SplineCurve {
    int degree = 3;
    std::vector<double> knots;
    std::vector<Vec3> control;
    std::vector<double> weights; // one per control point, or none for all 1
    std::vector<Vec3> fit;       // the points it passes through, when no control points are given
};

// The curve from its first knot span to its last, `perSpan` points in each span, both ends
// included. A curve given only by fit points is their run; one that cannot be evaluated (too few
// knots or points) is its control points' run.
std::vector<Vec3> splinePoints(const SplineCurve &curve, int perSpan);

} // namespace dxf
