#include "roof/detail/cell_fit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calc::roof::detail {

namespace {

double cross(Corner o, Corner a, Corner b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The hull's extent along the unit direction (c, s): its width seen from across.
double extent(std::span<const Corner> hull, double c, double s)
{
    double lo = INFINITY, hi = -INFINITY;
    for (const Corner &p : hull) {
        const double d = p.x * c + p.y * s;
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    return hi - lo;
}

// Where on the hull the extent along angle θ is reached: the corner pair whose difference gives
// it, as the amplitude and phase of A·cos(θ − α).
void extentWave(std::span<const Corner> hull, double theta, double &amplitude, double &phase)
{
    const double c = std::cos(theta), s = std::sin(theta);
    std::size_t lo = 0, hi = 0;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const double d = hull[i].x * c + hull[i].y * s;
        if (d < hull[lo].x * c + hull[lo].y * s) lo = i;
        if (d > hull[hi].x * c + hull[hi].y * s) hi = i;
    }
    const double dx = hull[hi].x - hull[lo].x, dy = hull[hi].y - hull[lo].y;
    amplitude = std::hypot(dx, dy);
    phase = std::atan2(dy, dx);
}

} // namespace

std::vector<Corner> convexHull(std::vector<Corner> points)
{
    // Andrew's monotone chain.
    std::ranges::sort(points,
                      [](Corner a, Corner b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    points.erase(std::unique(points.begin(), points.end(),
                             [](Corner a, Corner b) { return a.x == b.x && a.y == b.y; }),
                 points.end());
    if (points.size() < 3) return points;
    std::vector<Corner> hull(2 * points.size());
    std::size_t k = 0;
    for (const Corner &p : points) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0) --k;
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

Rectangle smallestRectangle(std::span<const Corner> hull)
{
    Rectangle best;
    if (hull.size() < 2) return best;
    double bestArea = INFINITY;
    // The smallest-area rectangle has a side along an edge of the hull (Freeman and Shapira):
    // each edge's direction in turn, the hull's extents along it and across it.
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const Corner a = hull[i], b = hull[(i + 1) % hull.size()];
        const double l = std::hypot(b.x - a.x, b.y - a.y);
        if (l == 0) continue;
        const double ux = (b.x - a.x) / l, uy = (b.y - a.y) / l;
        double u0 = INFINITY, u1 = -INFINITY, v0 = INFINITY, v1 = -INFINITY;
        for (const Corner &p : hull) {
            const double u = p.x * ux + p.y * uy, v = -p.x * uy + p.y * ux;
            u0 = std::min(u0, u), u1 = std::max(u1, u), v0 = std::min(v0, v), v1 = std::max(v1, v);
        }
        const double area = (u1 - u0) * (v1 - v0);
        if (area >= bestArea) continue;
        bestArea = area;
        const auto at = [&](double u, double v) {
            return Corner{u * ux - v * uy, u * uy + v * ux};
        };
        best.longSide = std::max(u1 - u0, v1 - v0);
        best.shortSide = std::min(u1 - u0, v1 - v0);
        best.corners = {at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)};
    }
    return best;
}

bool fitsIn(std::span<const Corner> hull, MeshSize size, double tolerance)
{
    if (hull.empty()) return true;
    const double w = size.longSide + tolerance, h = size.shortSide + tolerance;
    const auto holds = [&](double theta) {
        const double c = std::cos(theta), s = std::sin(theta);
        return extent(hull, c, s) <= w && extent(hull, -s, c) <= h;
    };
    // The extents along θ and across it are each A·cos(θ − α) between the angles where the
    // corner pair reaching them changes: the edges' normals, and for the extent across, the
    // edges' directions. Within each such stretch the set where an extent stays within its side
    // is the stretch less an open interval round α, so when the rectangle fits at some angle it
    // fits at a stretch's end or at an end of one of those intervals.
    std::vector<double> breaks;
    const double pi = std::numbers::pi;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const Corner a = hull[i], b = hull[(i + 1) % hull.size()];
        const double dir = std::atan2(b.y - a.y, b.x - a.x);
        for (const double t : {dir, dir + pi / 2}) breaks.push_back(std::remainder(t, pi) + pi);
    }
    for (double &t : breaks) t = std::fmod(t, pi);
    breaks.push_back(0);
    breaks.push_back(pi);
    std::ranges::sort(breaks);
    for (std::size_t k = 0; k + 1 < breaks.size(); ++k) {
        const double lo = breaks[k], hi = breaks[k + 1];
        if (holds(lo)) return true;
        if (hi - lo <= 0) continue;
        const double mid = (lo + hi) / 2;
        for (const auto &[offset, side] : {std::pair{0.0, w}, std::pair{pi / 2, h}}) {
            double amplitude = 0, phase = 0;
            extentWave(hull, mid + offset, amplitude, phase);
            if (amplitude <= side) continue;
            const double half = std::acos(side / amplitude);
            // θ + offset − phase = ±half, and the same a half turn on (the extent repeats).
            for (const double base : {phase - offset - half, phase - offset + half})
                for (const double turn : {-2 * pi, -pi, 0.0, pi, 2 * pi}) {
                    const double t = base + turn;
                    if (t >= lo && t <= hi && holds(t)) return true;
                }
        }
    }
    return holds(pi);
}

} // namespace calc::roof::detail
