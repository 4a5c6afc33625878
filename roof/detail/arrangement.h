#pragma once

#include "roof/plan.h"

#include <span>
#include <vector>

// The plan drawing of a roof's conductors as a planar arrangement: the segments split where they
// meet, and the bounded faces they close.
namespace calc::roof::detail {

struct Faces {
    // Each bounded face: its outer boundary counter-clockwise, with the outer boundaries of the
    // drawing's separate pieces that stand inside it as holes.
    std::vector<Area> faces;
    // The region all faces cover together: the outer boundary of each separate piece of the
    // drawing that closes any face, counter-clockwise.
    std::vector<Ring> covered;
};

Faces boundedFaces(std::span<const Segment> segments);

} // namespace calc::roof::detail
