#include "layouts/equivalent_area.h"

#include <boost/geometry/algorithms/area.hpp>
#include <boost/geometry/algorithms/buffer.hpp>
#include <boost/geometry/algorithms/convex_hull.hpp>
#include <boost/geometry/algorithms/correct.hpp>
#include <boost/geometry/algorithms/intersects.hpp>
#include <boost/geometry/algorithms/perimeter.hpp>
#include <boost/geometry/algorithms/union.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/strategies/strategies.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calc::layout {

namespace bg = boost::geometry;

namespace {

using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point>;
using Shape = bg::model::multi_polygon<Polygon>;

constexpr double kPi = std::numbers::pi;
// The inner and outer areas may differ by this much, in m²: the area is then within a
// hundredth of a square metre; and by no more than this share of the area, so that tiny parts
// are measured as finely for their size.
constexpr double kWantedGap = 0.02;
constexpr double kWantedShare = 1e-5;
// The points on all arcs of one building's grown outline, at most: bounds the time a footprint
// of very many corners can take.
constexpr double kMostArcPoints = 4e6;
// Points per circle of the drawn outline: its chords stay within D·(1 − cos(π/720)) < 10⁻⁵·D of
// the arcs, a centimetre at D = 1000 m.
constexpr std::size_t kOutlinePoints = 720;

Polygon polygonOf(std::span<const Corner> corners)
{
    Polygon p;
    for (const Corner &c : corners) bg::append(p.outer(), Point(c.x, c.y));
    bg::correct(p);
    return p;
}

double perimeter(const Polygon &p) { return static_cast<double>(bg::perimeter(p)); }

// The union of the pieces, its holes filled: dropping the holes may leave a piece that stood in
// a hole inside another, so a second union takes it in.
Shape filled(const Shape &all)
{
    Shape out;
    for (const Polygon &piece : all) {
        Polygon solid;
        solid.outer() = piece.outer();
        Shape merged;
        bg::union_(out, solid, merged);
        out = std::move(merged);
    }
    return out;
}

// The pieces united two by two, so that no union grows with all the others before it.
Shape united(std::vector<Shape> pieces)
{
    if (pieces.empty()) return {};
    while (pieces.size() > 1) {
        std::vector<Shape> next;
        for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
            Shape merged;
            bg::union_(pieces[i], pieces[i + 1], merged);
            next.push_back(std::move(merged));
        }
        if (pieces.size() % 2) next.push_back(std::move(pieces.back()));
        pieces = std::move(next);
    }
    return std::move(pieces.front());
}

// The parts grown as the buffer does, built from its pieces: the footprint, a rectangle along
// each edge reaching scale times the width to either side, and at each corner a polygon of
// pointsPerCircle corners on the circle of that radius. The buffer passes over edges much
// shorter than the width, and so a part far smaller than its width would lose them; these
// pieces keep every edge whatever its size.
Shape grownFromPieces(std::span<const GrownPart> parts, std::size_t pointsPerCircle, double scale)
{
    std::vector<Shape> pieces;
    for (const GrownPart &part : parts) {
        const std::span<const Corner> fp = part.footprint;
        const double w = part.width * scale;
        pieces.push_back({polygonOf(fp)});
        for (std::size_t i = 0; i < fp.size(); ++i) {
            const Corner a = fp[i], b = fp[(i + 1) % fp.size()];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            if (len > 0) {
                const double nx = -(b.y - a.y) / len * w, ny = (b.x - a.x) / len * w;
                pieces.push_back({polygonOf(std::vector<Corner>{{a.x - nx, a.y - ny},
                                                                {b.x - nx, b.y - ny},
                                                                {b.x + nx, b.y + ny},
                                                                {a.x + nx, a.y + ny}})});
            }
            std::vector<Corner> round;
            for (std::size_t k = 0; k < pointsPerCircle; ++k) {
                const double t = 2 * kPi * double(k) / double(pointsPerCircle);
                round.push_back({a.x + w * std::cos(t), a.y + w * std::sin(t)});
            }
            pieces.push_back({polygonOf(round)});
        }
    }
    return filled(united(std::move(pieces)));
}

// The parts grown by scale times their widths, each arc drawn as chords between points on it,
// no step wider than a full turn over pointsPerCircle; their union with its holes filled.
Shape grown(std::span<const GrownPart> parts, std::size_t pointsPerCircle, double scale)
{
    namespace sb = bg::strategy::buffer;
    const sb::join_round join(pointsPerCircle);
    const sb::end_round end(pointsPerCircle);
    const sb::point_circle circle(pointsPerCircle);
    const sb::side_straight side;
    Shape all;
    for (const GrownPart &part : parts) {
        Shape one, merged;
        bg::buffer(polygonOf(part.footprint), one,
                   sb::distance_symmetric<double>(part.width * scale), side, join, end, circle);
        bg::union_(all, one, merged);
        all = std::move(merged);
    }
    return filled(all);
}

// The exterior angles of the footprint's convex corners, summed: how much arc its grown outline
// can have.
double convexTurning(std::span<const Corner> fp)
{
    double twiceArea = 0;
    for (std::size_t i = 0; i < fp.size(); ++i) {
        const Corner a = fp[i], b = fp[(i + 1) % fp.size()];
        twiceArea += a.x * b.y - b.x * a.y;
    }
    const double orientation = twiceArea > 0 ? 1 : -1;
    double turning = 0;
    for (std::size_t i = 0; i < fp.size(); ++i) {
        const Corner a = fp[i], b = fp[(i + 1) % fp.size()], c = fp[(i + 2) % fp.size()];
        const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
        const double angle = std::atan2(orientation * (ux * vy - uy * vx), ux * vx + uy * vy);
        if (angle > 0) turning += angle;
    }
    return turning;
}

bool isConvex(std::span<const Corner> fp)
{
    bool left = false, right = false;
    for (std::size_t i = 0; i < fp.size(); ++i) {
        const Corner a = fp[i], b = fp[(i + 1) % fp.size()], c = fp[(i + 2) % fp.size()];
        const double turn = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
        left = left || turn > 0;
        right = right || turn < 0;
    }
    return !(left && right);
}

std::vector<std::vector<Corner>> ringsOf(const Shape &shape)
{
    std::vector<std::vector<Corner>> rings;
    for (const Polygon &piece : shape) {
        std::vector<Corner> ring;
        for (const Point &p : piece.outer()) ring.push_back({p.x(), p.y()});
        if (ring.size() > 1) ring.pop_back(); // the closing corner
        rings.push_back(std::move(ring));
    }
    return rings;
}

// The area between two polygonal outlines: an inner one, every arc drawn as chords between
// points on it, and an outer one, grown by width / cos(π/n) so that the same chords lie outside
// the arcs. Either is a union of pieces that lie inside (outside) the true grown parts, and
// filling holes keeps that order, so the exact area lies between them. The chords' losses
// shrink as 1/n², so n is chosen for the wanted gap and raised while the gap is wider.
using Grower = Shape (*)(std::span<const GrownPart>, std::size_t, double);

EquivalentArea bracketed(std::span<const GrownPart> parts, Grower grow)
{
    // Per unit of arc, the inner outline loses about (π²/3n²)·D² and the outer gains about
    // (π²/6n²)·D²; along the sides, the outer lies (π²/2n²)·D further out.
    double loss = 0, turning = 0;
    for (const GrownPart &part : parts) {
        const double arc = convexTurning(part.footprint);
        loss += arc * part.widthSquared + perimeter(polygonOf(part.footprint)) * part.width;
        turning += arc;
    }
    const double most = kMostArcPoints * 2 * kPi / turning;
    // The area is at least that of the widest part's circle.
    double least = 0;
    for (const GrownPart &part : parts) least = std::max(least, kPi * part.widthSquared);
    const double wanted = std::min(kWantedGap, kWantedShare * least);
    double n = std::clamp(kPi * std::sqrt(loss / (2 * wanted)), 64.0, std::max(64.0, most));
    EquivalentArea result;
    for (int round = 0; round < 4; ++round) {
        const auto points = static_cast<std::size_t>(std::ceil(n));
        const double inner = bg::area(grow(parts, points, 1));
        const double outer = bg::area(grow(parts, points, 1 / std::cos(kPi / points)));
        if (!(inner > 0 && outer >= inner && std::isfinite(outer))) return {};
        result = {true, (inner + outer) / 2, (outer - inner) / 2, {}};
        if (outer - inner <= wanted || n >= most) break;
        n = std::min(most, n * std::max(1.5, 1.1 * std::sqrt((outer - inner) / wanted)));
    }
    result.measured = result.measured && 2 * result.error <= wanted;
    return result;
}

// Bounds any true area obeys, to catch a failure of the polygon operations: the union holds
// each part grown, whose area is at least (√A + √π·D)² (Brunn–Minkowski), and lies within the
// parts' convex hulls grown, whose areas follow Steiner's formula A + P·D + π·D².
bool withinBounds(std::span<const GrownPart> parts, const EquivalentArea &area)
{
    double least = 0, most = 0;
    for (const GrownPart &part : parts) {
        const double a = std::abs(bg::area(polygonOf(part.footprint)));
        least = std::max(least, a + 2 * std::sqrt(kPi * a) * part.width + kPi * part.widthSquared);
        Polygon hull;
        bg::convex_hull(polygonOf(part.footprint), hull);
        most += std::abs(bg::area(hull)) + perimeter(hull) * part.width + kPi * part.widthSquared;
    }
    const double slack = 1e-9 * most;
    return area.area + area.error >= least - slack && area.area - area.error <= most + slack;
}

} // namespace

EquivalentArea equivalentArea(std::span<const GrownPart> parts)
{
    if (parts.empty()) return {};
    EquivalentArea result;
    if (parts.size() == 1 && isConvex(parts[0].footprint)) {
        // A convex footprint grown by D encloses exactly A + P·D + π·D² (Steiner's formula).
        const Polygon p = polygonOf(parts[0].footprint);
        const GrownPart &part = parts[0];
        result = {true,
                  std::abs(bg::area(p)) + perimeter(p) * part.width + kPi * part.widthSquared,
                  0,
                  {}};
        if (!withinBounds(parts, result)) return {};
        result.outline = ringsOf(grown(parts, kOutlinePoints, 1));
        return result;
    }
    // The buffer first; where it fails (parts far smaller than their widths, whose short edges
    // it passes over), the grown parts built from their pieces.
    for (const Grower grow : {&grown, &grownFromPieces}) {
        result = bracketed(parts, grow);
        if (!result.measured || !withinBounds(parts, result)) continue;
        result.outline = ringsOf(grow(parts, kOutlinePoints, 1));
        return result;
    }
    return {};
}

bool footprintsMeet(std::span<const Corner> a, std::span<const Corner> b)
{
    return bg::intersects(polygonOf(a), polygonOf(b));
}

} // namespace calc::layout
