#include "dxf/drawing_spline.h"

#include <algorithm>
#include <cmath>

namespace dxf {

namespace {

// De Boor's evaluation at t in span k (knots[k] <= t < knots[k + 1]), in homogeneous
// coordinates so that weights are honoured.
Vec3 deBoor(const SplineCurve &c, std::size_t k, double t)
{
    const int p = c.degree;
    struct H {
        double x, y, z, w;
    };
    std::vector<H> d(std::size_t(p + 1));
    for (int j = 0; j <= p; ++j) {
        const std::size_t i = k - std::size_t(p) + std::size_t(j);
        const double w = c.weights.size() == c.control.size() ? c.weights[i] : 1;
        d[std::size_t(j)] = {c.control[i].x * w, c.control[i].y * w, c.control[i].z * w, w};
    }
    for (int r = 1; r <= p; ++r)
        for (int j = p; j >= r; --j) {
            const std::size_t i = k - std::size_t(p) + std::size_t(j);
            const double span = c.knots[i + std::size_t(p - r) + 1] - c.knots[i];
            const double a = span > 0 ? (t - c.knots[i]) / span : 0;
            H &to = d[std::size_t(j)];
            const H &from = d[std::size_t(j - 1)];
            to = {(1 - a) * from.x + a * to.x, (1 - a) * from.y + a * to.y,
                  (1 - a) * from.z + a * to.z, (1 - a) * from.w + a * to.w};
        }
    const H &h = d[std::size_t(p)];
    return h.w != 0 ? Vec3{h.x / h.w, h.y / h.w, h.z / h.w} : Vec3{h.x, h.y, h.z};
}

} // namespace

std::vector<Vec3> splinePoints(const SplineCurve &c, int perSpan)
{
    if (c.control.empty()) return c.fit;
    const std::size_t n = c.control.size();
    const int p = c.degree;
    // A clamped or unclamped curve needs n + p + 1 knots, rising.
    if (p < 1 || p > 11 || n <= std::size_t(p) || c.knots.size() != n + std::size_t(p) + 1 ||
        !std::ranges::is_sorted(c.knots) ||
        !std::ranges::all_of(c.knots, [](double k) { return std::isfinite(k); }))
        return c.control;
    std::vector<Vec3> out;
    perSpan = std::clamp(perSpan, 1, 1000);
    for (std::size_t k = std::size_t(p); k < n; ++k) {
        const double a = c.knots[k], b = c.knots[k + 1];
        if (!(b > a)) continue;
        for (int s = 0; s < perSpan; ++s) out.push_back(deBoor(c, k, a + (b - a) * s / perSpan));
    }
    // The curve's end: the last span evaluated at its right end.
    std::size_t last = n - 1;
    while (last > std::size_t(p) && !(c.knots[last + 1] > c.knots[last])) --last;
    if (!out.empty()) out.push_back(deBoor(c, last, c.knots[last + 1]));
    return out.empty() ? c.control : out;
}

} // namespace dxf
