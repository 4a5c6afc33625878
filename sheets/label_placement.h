#pragma once

#include "sheets/drawing.h"

#include <span>
#include <vector>

// Where the texts of a drawing stand so that none covers another text, a drawn
// line or an arc. The rule works on the page, in whatever units and with
// whichever way up the painter uses: it only compares boxes and segments. The
// sheets' painter and the designer's plan both place their texts by it.
namespace calc::drawing {

// An axis-aligned box on the page: left < right, top < bottom.
struct Box {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
    Box moved(double dx, double dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    friend bool operator==(const Box &, const Box &) = default;
};

// A straight piece of a drawn line; arcs come as many of them.
struct Segment {
    Vec2 a;
    Vec2 b;
};

// Whether two boxes share more than an edge.
bool overlaps(const Box &a, const Box &b);

// Whether the segment runs through the box or touches its inside.
bool crosses(const Segment &segment, const Box &box);

// What the texts must keep clear of, besides each other.
struct Obstacles {
    std::vector<Segment> strokes; // every drawn line and arc
    std::vector<Box> boxes;       // dots and other marks of fixed size
};

// How far a text may go from where it wishes to stand, and the gap it keeps.
struct PlacementReach {
    double step = 1;      // the distance between two places tried, in both directions
    int steps = 12;       // the farthest place tried is this many steps away
    double clearance = 0; // free space kept around each text
};

// Places the texts in their order. Each stands where it wishes when that place
// is free; else at the nearest free place within reach (moved by whole steps
// across and along, nearest first, and of equal distances the one tried first:
// up, down, left, right). A text for which nothing within reach is free takes
// the place that covers the fewest texts and lines, nearest its wish of equal
// ones. Returns one box for each wish, in the same order.
std::vector<Box> placeLabels(std::span<const Box> wishes, const Obstacles &obstacles,
                             const PlacementReach &reach);

// The segments of a path as drawn: none for a filled one (a shade under the
// lines, not a line), the closing one for a closed one. `map` takes a point of
// the path to the page.
template <class Map>
void appendStrokes(const Path &path, Map map, std::vector<Segment> &strokes)
{
    if (path.filled || path.points.size() < 2) return;
    for (std::size_t i = 1; i < path.points.size(); ++i)
        strokes.push_back({map(path.points[i - 1]), map(path.points[i])});
    if (path.closed) strokes.push_back({map(path.points.back()), map(path.points.front())});
}

} // namespace calc::drawing
