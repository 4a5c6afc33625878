#include "roof/detail/plan_math.h"

#include <algorithm>
#include <cmath>

namespace calc::roof::detail {

double length(Segment s) { return std::sqrt(squaredLength(s)); }

double distance(Corner a, Corner b) { return std::hypot(b.x - a.x, b.y - a.y); }

double nearestParameter(Corner c, Segment s)
{
    const double l2 = squaredLength(s);
    if (l2 == 0) return 0;
    const double t = ((c.x - s.a.x) * (s.b.x - s.a.x) + (c.y - s.a.y) * (s.b.y - s.a.y)) / l2;
    return std::clamp(t, 0.0, 1.0);
}

Corner along(Segment s, double t)
{
    return {s.a.x + t * (s.b.x - s.a.x), s.a.y + t * (s.b.y - s.a.y)};
}

double distanceToSegment(Corner c, Segment s)
{
    return distance(c, along(s, nearestParameter(c, s)));
}

namespace {

using Interval = std::pair<double, double>;

// The parameters of s inside the disc of radius r round c.
std::optional<Interval> inDisc(Segment s, Corner c, double r)
{
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const double fx = s.a.x - c.x, fy = s.a.y - c.y;
    const double a = dx * dx + dy * dy, b = 2 * (fx * dx + fy * dy), cc = fx * fx + fy * fy - r * r;
    if (a == 0) return cc <= 0 ? std::optional<Interval>({0, 1}) : std::nullopt;
    const double disc = b * b - 4 * a * cc;
    if (disc < 0) return std::nullopt;
    const double root = std::sqrt(disc);
    const double t0 = std::max(0.0, (-b - root) / (2 * a)),
                 t1 = std::min(1.0, (-b + root) / (2 * a));
    if (t0 > t1) return std::nullopt;
    return Interval{t0, t1};
}

// The parameters of s inside the rectangle of points whose projection on e lies within [0, L]
// and whose offset to e's right lies within [lo, hi] (Liang–Barsky).
std::optional<Interval> inBand(Segment s, Segment e, double lo, double hi)
{
    const double l = length(e);
    if (l == 0) return std::nullopt;
    const double ux = (e.b.x - e.a.x) / l, uy = (e.b.y - e.a.y) / l;
    // Along e, and to its right.
    const auto u = [&](Corner p) { return (p.x - e.a.x) * ux + (p.y - e.a.y) * uy; };
    const auto v = [&](Corner p) { return (p.x - e.a.x) * uy - (p.y - e.a.y) * ux; };
    const double u0 = u(s.a), du = u(s.b) - u0, v0 = v(s.a), dv = v(s.b) - v0;
    double t0 = 0, t1 = 1;
    const auto clip = [&](double p, double q) {
        // p·t ≤ q
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p > 0)
            t1 = std::min(t1, t);
        else
            t0 = std::max(t0, t);
        return t0 <= t1;
    };
    if (!clip(-du, u0) || !clip(du, l - u0) || !clip(-dv, v0 - lo) || !clip(dv, hi - v0))
        return std::nullopt;
    return Interval{t0, t1};
}

} // namespace

std::optional<Interval> withinReach(Segment s, Segment e, double r)
{
    // The points within r of e: a band either side of it and a disc round each end; the union
    // is convex, so its parameters on s form one interval, the hull of the three.
    std::optional<Interval> all;
    const auto take = [&](std::optional<Interval> i) {
        if (!i) return;
        all = all ? Interval{std::min(all->first, i->first), std::max(all->second, i->second)} : *i;
    };
    take(inBand(s, e, -r, r));
    take(inDisc(s, e.a, r));
    take(inDisc(s, e.b, r));
    return all;
}

std::optional<Interval> runAlong(Segment s, Segment e, double lo, double hi)
{
    const auto inside = inBand(s, e, lo, hi);
    if (!inside) return std::nullopt;
    const double l = length(e);
    const double ux = (e.b.x - e.a.x) / l, uy = (e.b.y - e.a.y) / l;
    const auto u = [&](Corner p) { return (p.x - e.a.x) * ux + (p.y - e.a.y) * uy; };
    const double a = u(along(s, inside->first)), b = u(along(s, inside->second));
    return Interval{std::clamp(std::min(a, b), 0.0, l), std::clamp(std::max(a, b), 0.0, l)};
}

Ring withoutStraightCorners(const Ring &ring)
{
    Ring out;
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Corner p = ring[(i + n - 1) % n], c = ring[i], q = ring[(i + 1) % n];
        const double cross = (c.x - p.x) * (q.y - c.y) - (c.y - p.y) * (q.x - c.x);
        // Straight to a micrometre over the two edges' length.
        const double span = distance(p, c) + distance(c, q);
        if (std::abs(cross) <= 1e-6 * span && distance(p, q) > 0) continue;
        out.push_back(c);
    }
    return out.size() >= 3 ? out : ring;
}

} // namespace calc::roof::detail
