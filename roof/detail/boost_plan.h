#pragma once

#include "roof/plan.h"

#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/geometries/segment.hpp>

#include <vector>

// The plan's areas as Boost.Geometry shapes, and the few operations on them the roof's rules
// use. Polygons run counter-clockwise with clockwise holes, as the plan's Area does.
namespace calc::roof::detail {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point, false>;
using Shape = bg::model::multi_polygon<Polygon>;

Point point(Corner c);
Polygon polygonOf(const Ring &ring);
Polygon polygonOf(const Area &area);
Shape shapeOf(const std::vector<Area> &areas);
std::vector<Area> areasOf(const Shape &shape);

Shape unite(const Shape &a, const Shape &b);
Shape subtract(const Shape &a, const Shape &b);
Shape intersect(const Shape &a, const Shape &b);
// Grown (or, for a negative distance, shrunk) by the distance with square corners.
Shape grownSquare(const Shape &shape, double distance);
// Pieces of no more than this area (m²) are the polygon operations' rounding, not geometry.
inline constexpr double kSliver = 1e-6;
Shape withoutSlivers(Shape shape);

// Whether the plan segment lies in the shape, its boundary included.
bool segmentWithin(Segment s, const Shape &shape);
// The least distance from the point to the shape's area (0 inside).
double distanceTo(Corner c, const Shape &shape);
// The least distance from the point to the shape's boundary.
double distanceToBoundary(Corner c, const std::vector<Area> &areas);
// A point inside the area, for a label.
Corner pointInside(const Polygon &polygon);

} // namespace calc::roof::detail
