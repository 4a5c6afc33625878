// The closed forms: the angles where a cylinder's lines meet a surface, and the vertices of the
// plane and end spheres three at a time (see engine/rolling_sphere.h).
#include "engine/detail/solvers.h"

#include <algorithm>

namespace calc::rolling_sphere::detail {

int solveTrig(double a, double b, double k, std::array<double, 2> &out)
{
    const double r = std::hypot(a, b);
    if (r <= 0 || std::abs(k) > r) return 0;
    const double phi = std::atan2(b, a), delta = std::acos(std::clamp(k / r, -1.0, 1.0));
    out = {phi - delta, phi + delta};
    return delta > 0 ? 2 : 1;
}

int closedFormVertices(const Piece &a, const Piece &b, const Piece &c, double hr,
                       std::array<Point, 2> &out)
{
    const Piece *plane = nullptr;
    std::array<const Piece *, 3> spheres{};
    int n = 0;
    for (const Piece *x : {&a, &b, &c}) {
        if (x->kind == Kind::Plane)
            plane = x;
        else
            spheres[static_cast<std::size_t>(n++)] = x;
    }
    if (plane) {
        const Point q1 = spheres[0]->c, q2 = spheres[1]->c;
        const double h1 = hr - q1.z, h2 = hr - q2.z;
        if (std::abs(h1) >= hr || std::abs(h2) >= hr) return 0;
        const double r1 = std::sqrt(hr * hr - h1 * h1), r2 = std::sqrt(hr * hr - h2 * h2);
        const double dx = q2.x - q1.x, dy = q2.y - q1.y, dd = std::hypot(dx, dy);
        if (dd <= 0 || dd > r1 + r2 || dd < std::abs(r1 - r2)) return 0;
        const double along = (dd * dd + r1 * r1 - r2 * r2) / (2 * dd);
        const double across = std::sqrt(std::max(0.0, r1 * r1 - along * along));
        const double ux = dx / dd, uy = dy / dd;
        const double mx = q1.x + along * ux, my = q1.y + along * uy;
        out = {Point{mx - across * uy, my + across * ux, hr},
               Point{mx + across * uy, my - across * ux, hr}};
        return 2;
    }
    const Point q1 = spheres[0]->c;
    const Point e = spheres[1]->c - q1, f = spheres[2]->c - q1;
    const Point nrm = cross(e, f);
    const double n2 = dot(nrm, nrm);
    if (n2 <= 1e-18) return 0;
    const Point centre =
        q1 + (1 / (2 * n2)) * (dot(e, e) * cross(f, nrm) + dot(f, f) * cross(nrm, e));
    const double r2 = dot(centre - q1, centre - q1);
    if (r2 > hr * hr) return 0;
    const double t = std::sqrt((hr * hr - r2) / n2);
    out = {centre + t * nrm, centre - t * nrm};
    return 2;
}

} // namespace calc::rolling_sphere::detail
