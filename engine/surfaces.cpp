// The obstacles' surfaces: the box around the part of each that bounds its obstacle, the bounds
// a query puts on where two of them can meet, and which of their edges are followed as curves
// (see engine/rolling_sphere.h).
#include "engine/detail/surfaces.h"

#include <array>
#include <limits>

namespace calc::rolling_sphere::detail {

void setBox(Piece &x, const Conductor &s, double hr)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    switch (x.kind) {
    case Kind::Plane:
        x.low = {-inf, -inf, hr};
        x.high = {inf, inf, hr};
        return;
    case Kind::Sphere: {
        const std::array<double, 3> u{x.d.x, x.d.y, x.d.z}, c{x.c.x, x.c.y, x.c.z};
        std::array<double, 3> lo{}, hi{};
        for (std::size_t k = 0; k < 3; ++k) {
            const double side = std::sqrt(std::max(0.0, 1 - u[k] * u[k]));
            lo[k] = c[k] - hr * (u[k] > 0 ? side : 1);
            hi[k] = c[k] + hr * (u[k] < 0 ? side : 1);
        }
        x.low = {lo[0], lo[1], lo[2]};
        x.high = {hi[0], hi[1], hi[2]};
        return;
    }
    case Kind::Cylinder: {
        const Point r{hr * std::sqrt(std::max(0.0, 1 - sq(x.d.x))),
                      hr * std::sqrt(std::max(0.0, 1 - sq(x.d.y))),
                      hr * std::sqrt(std::max(0.0, 1 - sq(x.d.z)))};
        x.low = Point{std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y), std::min(s.a.z, s.b.z)} - r;
        x.high = Point{std::max(s.a.x, s.b.x), std::max(s.a.y, s.b.y), std::max(s.a.z, s.b.z)} + r;
        return;
    }
    }
}

bool shareCurve(const Piece &a, const Piece &b, Point p, double hr, double &lowerBound)
{
    const std::array<double, 3> alo{a.low.x, a.low.y, a.low.z}, ahi{a.high.x, a.high.y, a.high.z};
    const std::array<double, 3> blo{b.low.x, b.low.y, b.low.z}, bhi{b.high.x, b.high.y, b.high.z};
    const std::array<double, 3> q{p.x, p.y, p.z};
    const bool plane = a.kind == Kind::Plane || b.kind == Kind::Plane;
    const double thin = 1e-9 * hr;
    double gap2 = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        double lo = std::max(alo[k], blo[k]);
        const double hi = std::min(ahi[k], bhi[k]);
        if (hi < lo - thin) return false;
        if (hi - lo < thin && !(plane && k == 2)) return false;
        if (k == 2) { // a free centre lies no lower than hr
            lo = std::max(lo, hr - kFeasibleSlack);
            if (hi < lo) return false;
        }
        if (q[k] < lo) gap2 += sq(lo - q[k]);
        if (q[k] > hi) gap2 += sq(q[k] - hi);
    }
    lowerBound = std::sqrt(gap2);
    return true;
}

double bandBound(const Piece &x, const Piece &other, const Conductor *owner, Point p, double hr)
{
    const double slack = kFeasibleSlack + 1e-9 * hr;
    const Point w = p - x.c;
    const double along = dot(w, x.d);
    const double radial = std::sqrt(std::max(0.0, dot(w, w) - along * along));
    switch (x.kind) {
    case Kind::Plane:
        return std::abs(p.z - hr);
    case Kind::Sphere:
        if (along >= 0) return std::abs(norm(w) - hr);
        return std::hypot(along, radial - hr);
    case Kind::Cylinder: {
        double lo = 0, hi = x.len;
        if (other.kind == Kind::Sphere) {
            // A point at hr from both the axis and a centre q at delta from the axis lies within
            // sqrt(hr^2 - (hr - delta)^2) of q along the axis: on the circle of the cylinder's
            // own end when q is on the axis.
            const Point v = other.c - x.c;
            const double sq0 = dot(v, x.d);
            const double delta = std::sqrt(std::max(0.0, dot(v, v) - sq0 * sq0));
            const double width = std::sqrt(std::max(0.0, sq(hr) - sq(hr - delta)));
            lo = std::max(lo, sq0 - width);
            hi = std::min(hi, sq0 + width);
        } else if (owner) {
            const double sa = dot(owner->a - x.c, x.d), sb = dot(owner->b - x.c, x.d);
            lo = std::max(lo, std::min(sa, sb) - hr);
            hi = std::min(hi, std::max(sa, sb) + hr);
        }
        // Height along the axis s d.z, give or take the radius's share hr sqrt(1 - d.z^2): no
        // lower than hr anywhere, exactly hr on the plane.
        const double side = hr * std::sqrt(std::max(0.0, 1 - sq(x.d.z)));
        if (std::abs(x.d.z) > 1e-9) {
            const double from = (hr - x.c.z - side) / x.d.z, to = (hr - x.c.z + side) / x.d.z;
            if (x.d.z > 0) {
                lo = std::max(lo, from);
                if (!owner) hi = std::min(hi, to);
            } else {
                hi = std::min(hi, from);
                if (!owner) lo = std::max(lo, to);
            }
        }
        lo -= slack;
        hi += slack;
        if (hi < lo) return std::numeric_limits<double>::infinity();
        const double gap = std::max({0.0, lo - along, along - hi});
        return std::hypot(radial - hr, gap);
    }
    }
    return 0;
}

bool isCurvePair(const Piece &a, const Piece &b)
{
    if (a.kind == Kind::Cylinder) return !invariantPair(a, b);
    if (b.kind == Kind::Cylinder) return !invariantPair(b, a);
    return false;
}

bool firstEdgeOf(const std::vector<Piece> &pieces, std::size_t i, std::size_t j, std::size_t k)
{
    std::array<std::size_t, 3> t{i, j, k};
    std::sort(t.begin(), t.end());
    const std::array<std::array<std::size_t, 2>, 3> pairs{
        {{t[0], t[1]}, {t[0], t[2]}, {t[1], t[2]}}};
    for (const auto &pr : pairs)
        if (isCurvePair(pieces[pr[0]], pieces[pr[1]]))
            return std::min(i, j) == pr[0] && std::max(i, j) == pr[1];
    return false;
}

} // namespace calc::rolling_sphere::detail
