#include "roof/detail/mesh_lines.h"

#include "roof/detail/plan_math.h"

#include <boost/geometry/algorithms/covered_by.hpp>
#include <boost/geometry/strategies/strategies.hpp>

#include <algorithm>
#include <cmath>

namespace calc::roof::detail {

namespace {

// A piece of a mesh line within this of the roof's edge runs along the tape there.
constexpr double kOnEdge = 0.001;

// The pieces of the line inside the roof, none along its edge: the line cut wherever it meets
// an edge, each stretch kept when its middle lies inside, off the edge.
std::vector<Segment> insideParts(Segment line, const std::vector<Area> &roof, const Shape &shape)
{
    std::vector<double> cuts{0, 1};
    const auto ring = [&](const Ring &r) {
        for (std::size_t i = 0; i < r.size(); ++i) {
            const Segment e{r[i], r[(i + 1) % r.size()]};
            // An edge the line runs along (to rounding) is cut at its ends; any other where the
            // line crosses or touches it.
            if (distanceToSegment(e.a, line) <= kOnEdge &&
                distanceToSegment(e.b, line) <= kOnEdge) {
                cuts.push_back(nearestParameter(e.a, line));
                cuts.push_back(nearestParameter(e.b, line));
            } else if (const auto meet = withinReach(line, e, 0)) {
                cuts.push_back(meet->first);
                cuts.push_back(meet->second);
            }
        }
    };
    for (const Area &a : roof) {
        ring(a.outer);
        for (const Ring &h : a.holes) ring(h);
    }
    std::ranges::sort(cuts);
    std::vector<Segment> pieces;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const Segment s{along(line, cuts[k]), along(line, cuts[k + 1])};
        const Corner middle = along(s, 0.5);
        if (length(s) <= kOnEdge || distanceToBoundary(middle, roof) <= kOnEdge ||
            !bg::covered_by(point(middle), shape))
            continue;
        // Joined to the piece before when they meet.
        if (!pieces.empty() && distance(pieces.back().b, s.a) == 0)
            pieces.back().b = s.b;
        else
            pieces.push_back(s);
    }
    return pieces;
}

int linesFor(double extent, double pitch)
{
    return std::max(0, static_cast<int>(std::ceil((extent - kLengthTolerance) / pitch)) - 1);
}

} // namespace

Pitches meshPitches(double alongLength, double acrossLength, const ClassRules &rules)
{
    Pitches best{0, 0, -1};
    for (const MeshSize &size : rules.mesh)
        for (const auto &[a, b] :
             {std::pair{size.longSide, size.shortSide}, std::pair{size.shortSide, size.longSide}}) {
            const int lines = linesFor(alongLength, a) + linesFor(acrossLength, b);
            if (best.lines < 0 || lines < best.lines) best = {a, b, lines};
        }
    return best;
}

std::vector<Segment> meshLines(const std::vector<Area> &roof, const Shape &shape,
                               const ClassRules &rules)
{
    // The longest edge gives the lines' directions.
    Segment longest{};
    const auto consider = [&](const Ring &r) {
        const Ring straight = withoutStraightCorners(r);
        for (std::size_t i = 0; i < straight.size(); ++i) {
            const Segment e{straight[i], straight[(i + 1) % straight.size()]};
            if (length(e) > length(longest)) longest = e;
        }
    };
    for (const Area &a : roof) {
        consider(a.outer);
        for (const Ring &h : a.holes) consider(h);
    }
    const double l = length(longest);
    if (l == 0) return {};
    const double ux = (longest.b.x - longest.a.x) / l, uy = (longest.b.y - longest.a.y) / l;
    // The roof's extent along the edge (s) and across it (t).
    double s0 = INFINITY, s1 = -INFINITY, t0 = INFINITY, t1 = -INFINITY;
    for (const Area &a : roof)
        for (const Corner &c : a.outer) {
            const double s = c.x * ux + c.y * uy, t = -c.x * uy + c.y * ux;
            s0 = std::min(s0, s), s1 = std::max(s1, s), t0 = std::min(t0, t), t1 = std::max(t1, t);
        }
    const Pitches p = meshPitches(s1 - s0, t1 - t0, rules);
    const auto world = [&](double s, double t) { return Point{s * ux - t * uy, s * uy + t * ux}; };
    std::vector<Segment> lines;
    const auto clipped = [&](Point a, Point b) {
        for (const Segment &piece : insideParts({{a.x(), a.y()}, {b.x(), b.y()}}, roof, shape))
            lines.push_back(piece);
    };
    // Evenly spaced: the extent in as many equal pitches as the table's pitch needs.
    const int across = linesFor(s1 - s0, p.along) + 1, alongCount = linesFor(t1 - t0, p.across) + 1;
    for (int k = 1; k < across; ++k) {
        const double s = s0 + (s1 - s0) * k / across;
        clipped(world(s, t0 - 1), world(s, t1 + 1));
    }
    for (int k = 1; k < alongCount; ++k) {
        const double t = t0 + (t1 - t0) * k / alongCount;
        clipped(world(s0 - 1, t), world(s1 + 1, t));
    }
    return lines;
}

} // namespace calc::roof::detail
