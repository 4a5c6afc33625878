#pragma once

#include "roof/plan.h"

#include <optional>
#include <utility>

// Plain vector arithmetic on the plan, exact but for rounding: lengths, distances, and where a
// segment runs near another.
namespace calc::roof::detail {

inline double squaredLength(Segment s)
{
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    return dx * dx + dy * dy;
}
double length(Segment s);
double distance(Corner a, Corner b);
double distanceToSegment(Corner c, Segment s);
// The parameter (0 at a, 1 at b) of the point of s nearest to c.
double nearestParameter(Corner c, Segment s);
Corner along(Segment s, double t);

// The parameters t in [0, 1] of the points of s within r of the segment e, an interval since the
// set is convex; none when no point is.
std::optional<std::pair<double, double>> withinReach(Segment s, Segment e, double r);

// The part of s whose projection onto e's line falls on e and lies between lo and hi to the
// right of e (its outside, with the roof on its left), as a stretch of e's length: from, to in
// metres from e.a.
std::optional<std::pair<double, double>> runAlong(Segment s, Segment e, double lo, double hi);

// The ring with corners on a straight line between their neighbours dropped.
Ring withoutStraightCorners(const Ring &ring);

} // namespace calc::roof::detail
