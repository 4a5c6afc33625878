#pragma once

// Internal to the engine: a box that holds every free centre near a query point, so that the
// search looks only at the surfaces that can pass through it. The account of why the engine is
// exact is in engine/rolling_sphere.h.

#include "engine/detail/surfaces.h"

#include <algorithm>
#include <span>

namespace calc::rolling_sphere::detail {

// How much a box is grown before it is said to miss something: far above rounding, far below
// anything the search resolves.
inline constexpr double kRegionSlack = 1e-6;

// An axis-aligned box; empty when some low exceeds its high.
struct Region {
    Point low, high;

    bool empty() const { return !(low.x <= high.x && low.y <= high.y && low.z <= high.z); }
    // Whether some point of the box may lie within `by` of the segment ab: false only when
    // none does for certain.
    bool mayCome(Point a, Point b, double by) const;
    // The stretch [from, to] of the line o + s d (|d| = 1) inside the box grown by `by`; false
    // when it misses the box.
    bool clip(Point o, Point d, double by, double &from, double &to) const;
    // Whether the sphere of radius r around c may pass through the box grown by `by`: the box's
    // nearest point no farther than r from c, its farthest no nearer.
    bool straddles(Point c, double r, double by) const;
    // Whether the boxes [lo1, hi1] and [lo2, hi2] and this one, each grown by `by`, may share a
    // point.
    bool meetsBoth(Point lo1, Point hi1, Point lo2, Point hi2, double by) const
    {
        return std::max({low.x, lo1.x, lo2.x}) <= std::min({high.x, hi1.x, hi2.x}) + 2 * by &&
               std::max({low.y, lo1.y, lo2.y}) <= std::min({high.y, hi1.y, hi2.y}) + 2 * by &&
               std::max({low.z, lo1.z, lo2.z}) <= std::min({high.z, hi1.z, hi2.z}) + 2 * by;
    }
    // Whether the box [lo, hi], grown by `by`, may meet this one.
    bool meets(Point lo, Point hi, double by) const
    {
        return lo.x - by <= high.x && low.x <= hi.x + by && lo.y - by <= high.y &&
               low.y <= hi.y + by && lo.z - by <= high.z && low.z <= hi.z + by;
    }
};

// A box holding every free centre (z >= hr and at least hr from each conductor, give or take
// kFeasibleSlack) that lies within `reach` of p, worked out from `nearby`, the conductors that
// can come within hr of such a centre (leaving one out only makes the box larger). Empty when
// there is no such centre. `within`, when given, is known to hold them all already (the region
// for a larger reach), and the narrowing starts from it.
Region freeCentresNear(Point p, double reach, double hr, std::span<const Conductor> nearby,
                       const Region *within = nullptr);

} // namespace calc::rolling_sphere::detail
