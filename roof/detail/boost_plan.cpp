#include "roof/detail/boost_plan.h"

#include "roof/detail/plan_math.h"

#include <boost/geometry/algorithms/area.hpp>
#include <boost/geometry/algorithms/buffer.hpp>
#include <boost/geometry/algorithms/correct.hpp>
#include <boost/geometry/algorithms/covered_by.hpp>
#include <boost/geometry/algorithms/difference.hpp>
#include <boost/geometry/algorithms/distance.hpp>
#include <boost/geometry/algorithms/intersection.hpp>
#include <boost/geometry/algorithms/point_on_surface.hpp>
#include <boost/geometry/algorithms/union.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/strategies/strategies.hpp>

#include <algorithm>
#include <limits>

namespace calc::roof::detail {

Point point(Corner c) { return {c.x, c.y}; }

Polygon polygonOf(const Ring &ring)
{
    Polygon p;
    for (const Corner &c : ring) bg::append(p.outer(), point(c));
    bg::correct(p);
    return p;
}

Polygon polygonOf(const Area &area)
{
    Polygon p;
    for (const Corner &c : area.outer) bg::append(p.outer(), point(c));
    p.inners().resize(area.holes.size());
    for (std::size_t i = 0; i < area.holes.size(); ++i)
        for (const Corner &c : area.holes[i]) bg::append(p.inners()[i], point(c));
    bg::correct(p);
    return p;
}

Shape shapeOf(const std::vector<Area> &areas)
{
    Shape shape;
    for (const Area &a : areas) shape.push_back(polygonOf(a));
    return shape;
}

namespace {

Ring ringOf(const bg::model::ring<Point, false> &r)
{
    Ring ring;
    for (const Point &p : r) ring.push_back({p.x(), p.y()});
    if (ring.size() > 1) ring.pop_back(); // the closing corner
    return ring;
}

} // namespace

std::vector<Area> areasOf(const Shape &shape)
{
    std::vector<Area> areas;
    for (const Polygon &p : shape) {
        Area a{ringOf(p.outer())};
        for (const auto &inner : p.inners()) a.holes.push_back(ringOf(inner));
        areas.push_back(std::move(a));
    }
    return areas;
}

Shape unite(const Shape &a, const Shape &b)
{
    Shape out;
    bg::union_(a, b, out);
    return out;
}

Shape subtract(const Shape &a, const Shape &b)
{
    Shape out;
    bg::difference(a, b, out);
    return out;
}

Shape intersect(const Shape &a, const Shape &b)
{
    Shape out;
    bg::intersection(a, b, out);
    return out;
}

Shape grownSquare(const Shape &shape, double distance)
{
    namespace sb = bg::strategy::buffer;
    // Square corners. Growing, a right angle's mitre reaches √2 times the distance out, and a
    // sharper corner is cut off at twice the distance rather than sent out as a spike, which the
    // offset cannot follow round the sharp notches overlapping parts can leave; shrinking, the
    // corners are exact.
    const sb::join_miter join(distance > 0 ? 2 : 1e6);
    const sb::end_flat end;
    const sb::point_square circle;
    const sb::side_straight side;
    Shape out;
    bg::buffer(shape, out, sb::distance_symmetric<double>(distance), side, join, end, circle);
    if (distance <= 0 || bg::area(out) >= bg::area(shape)) return out;
    // The offset lost its way round a sharp notch: the shape itself, so that nothing of it is
    // lost, though a conductor outside its edge is then no longer within it.
    return shape;
}

Shape withoutSlivers(Shape shape)
{
    std::erase_if(shape, [](const Polygon &p) { return std::abs(bg::area(p)) <= kSliver; });
    return shape;
}

bool segmentWithin(Segment s, const Shape &shape)
{
    bg::model::linestring<Point> line{point(s.a), point(s.b)};
    if (squaredLength(s) == 0) return bg::covered_by(point(s.a), shape);
    return bg::covered_by(line, shape);
}

double distanceTo(Corner c, const Shape &shape)
{
    if (shape.empty()) return std::numeric_limits<double>::infinity();
    return bg::distance(point(c), shape);
}

double distanceToBoundary(Corner c, const std::vector<Area> &areas)
{
    double least = std::numeric_limits<double>::infinity();
    const auto ring = [&](const Ring &r) {
        for (std::size_t i = 0; i < r.size(); ++i)
            least = std::min(least, distanceToSegment(c, {r[i], r[(i + 1) % r.size()]}));
    };
    for (const Area &a : areas) {
        ring(a.outer);
        for (const Ring &h : a.holes) ring(h);
    }
    return least;
}

Corner pointInside(const Polygon &polygon)
{
    Point p;
    bg::point_on_surface(polygon, p);
    return {p.x(), p.y()};
}

} // namespace calc::roof::detail
