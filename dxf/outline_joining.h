#pragma once

#include "layouts/layout.h"

#include <cstdint>
#include <vector>

// Closed outlines from loose pieces of line: the pieces are split where they cross or meet
// (one's end on another's middle too), their ends within a tolerance taken as one point, and
// the closed faces they then bound found; faces that share an edge come out as one outline,
// their union (a grid of rooms is one building, its courtyards filled). Ends left hanging are
// no part of any face.
namespace dxf {

struct JoinSegment {
    calc::layout::Corner a, b;
    std::uint32_t piece = 0; // what it came from, for naming the outline
    double top = 0;          // its height, for the outline's
};

struct JoinedOutline {
    std::vector<calc::layout::Corner> ring; // counter-clockwise, no corner repeated
    std::vector<std::uint32_t> pieces;      // every piece along its faces' edges, ascending
    double top = 0;                         // the highest of those pieces' tops
};

// Coordinates should lie near zero (a few kilometres at most in drawing units would do): the
// tolerance is compared with their differences.
std::vector<JoinedOutline> joinSegments(const std::vector<JoinSegment> &segments, double tolerance);

} // namespace dxf
