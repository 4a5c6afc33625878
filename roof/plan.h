#pragma once

#include "layouts/layout.h"

#include <vector>

// Plan geometry of the roof network: rings, areas with holes and segments, in metres on the
// site's plan (x east, y north).
namespace calc::roof {

using layout::Corner;

// A closed ring of corners, the first not repeated.
using Ring = std::vector<Corner>;

// A polygon with holes: the outer ring counter-clockwise, each hole clockwise.
struct Area {
    Ring outer;
    std::vector<Ring> holes = {};
};

struct Segment {
    Corner a, b;
};

double ringLength(const Ring &ring);
// The area enclosed, holes taken out; positive.
double areaOf(const Area &area);
double areaOf(const std::vector<Area> &areas);

} // namespace calc::roof
