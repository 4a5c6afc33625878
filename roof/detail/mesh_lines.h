#pragma once

#include "roof/detail/boost_plan.h"
#include "roof/roof_rules.h"

#include <vector>

// The mesh laid over a roof: lines parallel and square to its longest edge, evenly spaced at
// the pair of pitches of the class's table that needs fewer lines, clipped to the roof.
namespace calc::roof::detail {

struct Pitches {
    double along = 0,
           across = 0; // the pitch between lines square to the longest edge, and along it
    int lines = 0;
};
// The pitches for a roof extending so far along and across its longest edge.
Pitches meshPitches(double alongLength, double acrossLength, const ClassRules &rules);

std::vector<Segment> meshLines(const std::vector<Area> &roof, const Shape &shape,
                               const ClassRules &rules);

} // namespace calc::roof::detail
