// The box of the free centres near a query point (engine/detail/region.h).
//
// A free centre c within R of p obeys, for every point q of every conductor:
//  - |c - p| <= R (the ball);
//  - |c - q| >= hr (it is free), which also makes (c - p).(q - p) <= (R^2 + |q - p|^2 - hr^2) / 2
//    once |c - p| <= R: a half-space, which on a roof under a mesh, where the sphere rests within
//    millimetres of the point, leaves only a narrow column above it;
//  - c.z >= hr.
// Each is applied to the box one axis at a time, given the box's extent on the other two (the
// usual narrowing of intervals), and the round is repeated while the box still shrinks. Every
// step only cuts away what the constraint rules out, padded by kPad against rounding, so the box
// always holds every such centre. On a roof under a mesh it comes down to some decimetres across
// and a few centimetres high, and the search then weighs only the few conductors within hr of
// it instead of every one within 2 hr of the point.
#include "engine/detail/region.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace calc::rolling_sphere::detail {

namespace {

// Ten micrometres: far above the rounding of the sums below, far below anything the search
// resolves, so the box only ever errs on the large side.
constexpr double kPad = 1e-5;
constexpr int kMostRounds = 4;

double &at(Point &p, int i) { return i == 0 ? p.x : i == 1 ? p.y : p.z; }
double at(const Point &p, int i) { return i == 0 ? p.x : i == 1 ? p.y : p.z; }

class Narrowing {
public:
    Narrowing(Point p, double reach) : p_(p), r_(reach)
    {
        box_.low = {p.x - reach, p.y - reach, p.z - reach};
        box_.high = {p.x + reach, p.y + reach, p.z + reach};
    }

    Region &box() { return box_; }

    // w.(c - p) <= b.
    void halfSpace(Point w, double b)
    {
        for (int i = 0; i < 3; ++i) {
            const double wi = at(w, i);
            if (std::abs(wi) < 1e-9) continue;
            double rest = 0;
            for (int j = 0; j < 3; ++j) {
                if (j == i) continue;
                const double wj = at(w, j);
                rest += std::min(wj * (at(box_.low, j) - at(p_, j)),
                                 wj * (at(box_.high, j) - at(p_, j)));
            }
            const double edge = at(p_, i) + (b - rest) / wi;
            if (wi > 0)
                at(box_.high, i) = std::min(at(box_.high, i), edge + kPad);
            else
                at(box_.low, i) = std::max(at(box_.low, i), edge - kPad);
        }
    }

    // |c - q| >= radius: cuts the box where the ball around q covers a whole slab of it.
    void outside(Point q, double radius)
    {
        for (int i = 0; i < 3; ++i) {
            double far = 0;
            for (int j = 0; j < 3; ++j) {
                if (j == i) continue;
                far += std::max(sq(at(box_.low, j) - at(q, j)), sq(at(box_.high, j) - at(q, j)));
            }
            const double left = sq(radius) - far;
            if (!(left > 0)) continue;
            const double t = std::sqrt(left) - kPad;
            if (!(t > 0)) continue;
            const double from = at(q, i) - t, to = at(q, i) + t;
            double &low = at(box_.low, i), &high = at(box_.high, i);
            const bool lowIn = low > from && low<to, highIn = high> from && high < to;
            if (lowIn && highIn) {
                low = to; // nothing of the box is left on this axis
                high = from;
            } else if (lowIn) {
                low = to;
            } else if (highIn) {
                high = from;
            }
        }
    }

    // |c - p| <= reach.
    void inside()
    {
        for (int i = 0; i < 3; ++i) {
            double nearest = 0;
            for (int j = 0; j < 3; ++j) {
                if (j == i) continue;
                const double v = at(p_, j);
                nearest += sq(std::max({0.0, at(box_.low, j) - v, v - at(box_.high, j)}));
            }
            const double left = sq(r_) - nearest;
            if (left < 0) {
                at(box_.low, i) = at(box_.high, i) + 1; // beyond the ball
                return;
            }
            const double s = std::sqrt(left) + kPad;
            at(box_.low, i) = std::max(at(box_.low, i), at(p_, i) - s);
            at(box_.high, i) = std::min(at(box_.high, i), at(p_, i) + s);
        }
    }

    double size() const
    {
        return (box_.high.x - box_.low.x) + (box_.high.y - box_.low.y) + (box_.high.z - box_.low.z);
    }

private:
    Point p_;
    double r_;
    Region box_;
};

} // namespace

bool Region::mayCome(Point a, Point b, double by) const
{
    // The segment's own box must come near enough...
    const Point lo{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    const Point hi{std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    double gap = 0;
    for (int i = 0; i < 3; ++i)
        gap += sq(std::max({0.0, at(lo, i) - at(high, i), at(low, i) - at(hi, i)}));
    if (gap > sq(by)) return false;
    // ... and so must the segment to the box's middle, less half its diagonal.
    const Point middle = 0.5 * (low + high);
    const double half = 0.5 * norm(high - low);
    return std::sqrt(pointSegmentDist2(middle, a, b)) - half <= by;
}

bool Region::straddles(Point c, double r, double by) const
{
    double nearest = 0, farthest = 0;
    for (int i = 0; i < 3; ++i) {
        const double lo = at(low, i) - by, hi = at(high, i) + by, v = at(c, i);
        nearest += sq(std::max({0.0, lo - v, v - hi}));
        farthest += std::max(sq(lo - v), sq(hi - v));
    }
    return nearest <= sq(r) && farthest >= sq(r);
}

bool Region::clip(Point o, Point d, double by, double &from, double &to) const
{
    from = -std::numeric_limits<double>::infinity();
    to = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 3; ++i) {
        const double lo = at(low, i) - by, hi = at(high, i) + by, oi = at(o, i), di = at(d, i);
        if (std::abs(di) < 1e-12) {
            if (oi < lo || oi > hi) return false;
            continue;
        }
        const double a = (lo - oi) / di, b = (hi - oi) / di;
        from = std::max(from, std::min(a, b));
        to = std::min(to, std::max(a, b));
    }
    return from <= to;
}

Region freeCentresNear(Point p, double reach, double hr, std::span<const Conductor> nearby,
                       const Region *within)
{
    const double free = hr - kFeasibleSlack;
    Narrowing n(p, reach);
    Region &box = n.box();
    box.low.z = std::max(box.low.z, free - kPad);
    if (within) {
        box.low = {std::max(box.low.x, within->low.x), std::max(box.low.y, within->low.y),
                   std::max(box.low.z, within->low.z)};
        box.high = {std::min(box.high.x, within->high.x), std::min(box.high.y, within->high.y),
                    std::min(box.high.z, within->high.z)};
    }
    if (box.empty()) return box;
    // Each conductor's point nearest p gives the half-space that cuts deepest there.
    thread_local std::vector<std::pair<Point, double>> halves;
    halves.clear();
    for (const Conductor &s : nearby) {
        const Point w = nearestOnSegment(p, s.a, s.b) - p;
        const double d2 = dot(w, w);
        halves.emplace_back(w, d2 > 1e-12 ? (sq(reach) + d2 - sq(free)) / 2 : 0.0);
    }
    for (int round = 0; round < kMostRounds; ++round) {
        const double before = n.size();
        for (std::size_t k = 0; k < nearby.size(); ++k) {
            const auto &[w, b] = halves[k];
            if (dot(w, w) > 1e-12) n.halfSpace(w, b);
            // The point nearest the box's middle keeps it outside the obstacle.
            const Conductor &s = nearby[k];
            n.outside(nearestOnSegment(0.5 * (box.low + box.high), s.a, s.b), free);
            if (box.empty()) return box;
        }
        n.inside();
        if (box.empty()) return box;
        // Another round pays only while the box still shrinks.
        if (n.size() > 0.9 * before) break;
    }
    return box;
}

} // namespace calc::rolling_sphere::detail
