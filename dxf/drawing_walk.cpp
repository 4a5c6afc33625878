#include "dxf/drawing_walk.h"

#include "dxf/drawing_spline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dxf {

namespace {

constexpr double kPi = std::numbers::pi;

Vec3 cross(const Vec3 &a, const Vec3 &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 unit(const Vec3 &v)
{
    const double n = std::hypot(v.x, v.y, v.z);
    return n > 0 ? Vec3{v.x / n, v.y / n, v.z / n} : v;
}

// Where one copy of an insert's block goes: its base point to the insert's point, scaled,
// moved along the array's columns and rows, turned, then through the insert's own coordinate
// system.
Transform insertTransform(const Drawing &d, const Entity &e, const InsertPlacement &ip,
                          const Block &block, int column, int row)
{
    const Vertex &at = d.vertices[e.first];
    const double c = std::cos(ip.rotation), s = std::sin(ip.rotation);
    Transform local;
    const double l[3][3] = {
        {c * ip.scaleX, -s * ip.scaleY, 0}, {s * ip.scaleX, c * ip.scaleY, 0}, {0, 0, ip.scaleZ}};
    const double ox = column * ip.columnSpacing, oy = row * ip.rowSpacing;
    const double offset[3] = {at.x + c * ox - s * oy, at.y + s * ox + c * oy, at.z};
    const double base[3] = {block.base.x, block.base.y, block.base.z};
    for (int r = 0; r < 3; ++r) {
        double t = offset[r];
        for (int k = 0; k < 3; ++k) {
            local.m[r][k] = l[r][k];
            t -= l[r][k] * base[k];
        }
        local.m[r][3] = t;
    }
    return objectToWorld(d.extrusions[e.extrusion]) * local;
}

void walk(const Drawing &d, std::uint32_t first, std::uint32_t count, const Transform &toWorld,
          const std::uint32_t *insertLayer, const Entity *outer,
          const std::function<bool(const Placed &)> &visit)
{
    for (std::uint32_t i = first; i < first + count; ++i) {
        const Entity &e = d.entities[i];
        const std::uint32_t layer = insertLayer && e.layer == d.zeroLayer ? *insertLayer : e.layer;
        if (!visit(Placed{e, toWorld, layer, outer}) || e.kind != EntityKind::Insert) continue;
        const InsertPlacement &ip = d.inserts[e.extra];
        if (ip.block < 0) continue;
        const Block &block = d.blocks[std::size_t(ip.block)];
        // An empty block's copies are nothing, however many an array makes.
        if (block.external || block.count == 0) continue;
        // An array's copies row by row, as one reads it.
        for (int row = 0; row < ip.rows; ++row)
            for (int column = 0; column < ip.columns; ++column)
                walk(d, block.first, block.count,
                     toWorld * insertTransform(d, e, ip, block, column, row), &layer,
                     outer ? outer : &e, visit);
    }
}

// An arc of `bulge` from a to b as chords: the corners after a, up to and without b.
void arcCorners(const Vertex &a, const Vertex &b, int chords, std::vector<Vec3> &out)
{
    const double dx = b.x - a.x, dy = b.y - a.y, chord = std::hypot(dx, dy);
    if (chords <= 1 || !(chord > 0)) return;
    const double bulge = std::clamp(a.bulge, -1e6, 1e6);
    const double angle = 4 * std::atan(bulge);
    // The centre lies off the chord's middle, to its left for a counter-clockwise arc.
    const double off = (1 - bulge * bulge) / (4 * bulge);
    const double cx = (a.x + b.x) / 2 - dy * off, cy = (a.y + b.y) / 2 + dx * off;
    const double radius = std::hypot(a.x - cx, a.y - cy);
    const double start = std::atan2(a.y - cy, a.x - cx);
    for (int k = 1; k < chords; ++k) {
        const double t = start + angle * k / chords;
        out.push_back({cx + radius * std::cos(t), cy + radius * std::sin(t), a.z});
    }
}

double bulgeRadius(const Vertex &a, const Vertex &b)
{
    const double chord = std::hypot(b.x - a.x, b.y - a.y);
    const double bulge = std::abs(std::clamp(a.bulge, -1e6, 1e6));
    return bulge > 0 ? chord * (1 + bulge * bulge) / (4 * bulge) : 0;
}

std::vector<Vec3> polylineCorners(const Drawing &d, const Entity &e, double tolerance,
                                  std::size_t maxCorners)
{
    const Vertex *v = d.vertices.data() + e.first;
    const std::size_t n = e.count;
    const bool closed = e.flags & flags::kClosed;
    const bool arcs = !(e.flags & flags::kThreeD);
    // Chords per segment from the tolerance, then fewer where the corners would be too many.
    std::vector<int> chords(n, 1);
    std::size_t extra = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!arcs || v[i].bulge == 0 || (!closed && i + 1 == n)) continue;
        const Vertex &b = v[(i + 1) % n];
        chords[i] = arcChords(bulgeRadius(v[i], b), 4 * std::atan(v[i].bulge), tolerance);
        extra += std::size_t(chords[i] - 1);
    }
    if (n + extra > maxCorners && extra > 0) {
        const double room = maxCorners > n ? double(maxCorners - n) : 0;
        for (int &c : chords) c = 1 + int(std::floor((c - 1) * room / double(extra)));
    }
    std::vector<Vec3> corners;
    for (std::size_t i = 0; i < n; ++i) {
        corners.push_back({v[i].x, v[i].y, v[i].z});
        if (chords[i] > 1) arcCorners(v[i], v[(i + 1) % n], chords[i], corners);
    }
    return corners;
}

// An ARC's chords from its start angle counter-clockwise to its end.
std::vector<Vec3> arcCorners(const Drawing &d, const Entity &e, double tolerance,
                             std::size_t maxCorners)
{
    const Vertex &c = d.vertices[e.first];
    const double start = d.vertices[e.first + 1].x, end = d.vertices[e.first + 1].y;
    double sweep = std::fmod(end - start, 2 * kPi);
    if (!(sweep > 0)) sweep += 2 * kPi;
    const int n = std::clamp(arcChords(e.size, sweep, tolerance), 1,
                             int(std::clamp<std::size_t>(maxCorners, 2, 1 << 20)) - 1);
    std::vector<Vec3> corners;
    for (int k = 0; k <= n; ++k) {
        const double a = start + sweep * k / n;
        corners.push_back({c.x + e.size * std::cos(a), c.y + e.size * std::sin(a), c.z});
    }
    return corners;
}

// A spline's points, each knot span cut finer until the chords keep within the tolerance (the
// points halfway along each chord, on the curve, lie no further than that from it).
std::vector<Vec3> splineCorners(const Drawing &d, const Entity &e, double tolerance,
                                std::size_t maxCorners)
{
    const SplineData &s = d.splines[e.extra];
    SplineCurve curve;
    curve.degree = s.degree;
    curve.knots.assign(d.knots.begin() + s.firstKnot, d.knots.begin() + s.firstKnot + s.knotCount);
    for (std::uint32_t i = 0; i < e.count; ++i) {
        const Vertex &v = d.vertices[e.first + i];
        (i < s.controlCount ? curve.control : curve.fit).push_back({v.x, v.y, v.z});
        if (i < s.controlCount) curve.weights.push_back(v.bulge > 0 ? v.bulge : 1);
    }
    std::vector<Vec3> corners = splinePoints(curve, 4);
    for (int perSpan = 4; perSpan < 512; perSpan *= 2) {
        const std::vector<Vec3> finer = splinePoints(curve, perSpan * 2);
        if (finer.size() != 2 * corners.size() - 1 || finer.size() > maxCorners) break;
        double most = 0;
        for (std::size_t i = 1; i + 1 < finer.size(); i += 2)
            most = std::max(most, std::hypot(finer[i].x - (finer[i - 1].x + finer[i + 1].x) / 2,
                                             finer[i].y - (finer[i - 1].y + finer[i + 1].y) / 2));
        corners = finer;
        if (most <= tolerance) break;
    }
    // A closed one's last point is its first.
    if ((e.flags & flags::kClosed) && corners.size() > 2 &&
        std::hypot(corners.back().x - corners.front().x, corners.back().y - corners.front().y) <=
            tolerance)
        corners.pop_back();
    return corners;
}

} // namespace

Vec3 Transform::apply(const Vec3 &p) const
{
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
}

Vec3 Transform::linear(const Vec3 &v) const
{
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

Transform Transform::operator*(const Transform &inner) const
{
    Transform t;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = c == 3 ? m[r][3] : 0;
            for (int k = 0; k < 3; ++k) sum += m[r][k] * inner.m[k][c];
            t.m[r][c] = sum;
        }
    }
    return t;
}

double Transform::stretch() const
{
    // The largest column's length: exact for rotations with scaling along the axes, which is
    // what inserts make.
    double most = 0;
    for (int c = 0; c < 3; ++c) most = std::max(most, std::hypot(m[0][c], m[1][c], m[2][c]));
    return most;
}

Transform objectToWorld(const Vec3 &n)
{
    Transform t;
    if (n.x == 0 && n.y == 0 && n.z == 1) return t;
    constexpr double kPole = 1.0 / 64;
    const Vec3 ax = unit(std::abs(n.x) < kPole && std::abs(n.y) < kPole ? cross({0, 1, 0}, n)
                                                                        : cross({0, 0, 1}, n));
    const Vec3 ay = unit(cross(n, ax));
    const Vec3 axes[3] = {ax, ay, n};
    for (int c = 0; c < 3; ++c) {
        t.m[0][c] = axes[c].x;
        t.m[1][c] = axes[c].y;
        t.m[2][c] = axes[c].z;
    }
    return t;
}

void walkModel(const Drawing &d, const std::function<bool(const Placed &)> &visit)
{
    walk(d, d.modelFirst, std::uint32_t(d.modelSize()), Transform{}, nullptr, nullptr, visit);
}

Transform entityToWorld(const Drawing &d, const Placed &p)
{
    const Entity &e = p.entity;
    const bool world = e.kind == EntityKind::Line || e.kind == EntityKind::Point ||
                       e.kind == EntityKind::Spline ||
                       (e.flags & (flags::kThreeD | flags::kWorldPos));
    return world || e.extrusion == 0 ? p.toWorld
                                     : p.toWorld * objectToWorld(d.extrusions[e.extrusion]);
}

std::vector<Vec3> outline(const Drawing &d, const Placed &p, double tolerance,
                          std::size_t maxCorners)
{
    const Transform t = entityToWorld(d, p);
    const double stretch = t.stretch();
    const double local = stretch > 0 ? tolerance / stretch : tolerance;
    const Entity &e = p.entity;
    std::vector<Vec3> corners;
    if (e.kind == EntityKind::Polyline || e.kind == EntityKind::Hatch) {
        corners = polylineCorners(d, e, local, maxCorners);
    } else if (e.kind == EntityKind::Arc) {
        corners = arcCorners(d, e, local, maxCorners);
    } else if (e.kind == EntityKind::Spline) {
        corners = splineCorners(d, e, local, maxCorners);
    } else if (e.kind == EntityKind::Circle) {
        const Vertex &c = d.vertices[e.first];
        const int n = std::clamp(arcChords(e.size, 2 * kPi, local), 8,
                                 int(std::clamp<std::size_t>(maxCorners, 8, 1 << 20)));
        for (int k = 0; k < n; ++k) {
            const double a = 2 * kPi * k / n;
            corners.push_back({c.x + e.size * std::cos(a), c.y + e.size * std::sin(a), c.z});
        }
    } else {
        for (std::uint32_t i = e.first; i < e.first + e.count; ++i)
            corners.push_back({d.vertices[i].x, d.vertices[i].y, d.vertices[i].z});
    }
    for (Vec3 &c : corners) c = t.apply(c);
    return corners;
}

Vec3 thicknessVector(const Drawing &d, const Placed &p)
{
    const Vec3 &n = d.extrusions[p.entity.extrusion];
    const double t = p.entity.thickness;
    return p.toWorld.linear({n.x * t, n.y * t, n.z * t});
}

int arcChords(double radius, double angle, double tolerance)
{
    if (!(radius > 0) || !std::isfinite(radius) || !std::isfinite(angle) || !(tolerance > 0))
        return 1;
    const double step = radius > tolerance ? 2 * std::acos(1 - tolerance / radius) : kPi / 2;
    const double chords = std::ceil(std::abs(angle) / step);
    return int(std::clamp(chords, 1.0, 1e6));
}

} // namespace dxf
