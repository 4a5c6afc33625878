#include "engine/rolling_sphere.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <deque>
#include <limits>
#include <mutex>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace calc::rolling_sphere {
namespace {

// Slack in metres when deciding whether a computed centre cuts into something: candidates sit
// on boundaries to within rounding, far below this.
constexpr double kFeasibleSlack = 1e-7;
constexpr double kPathSlack = 2e-7;
constexpr int kEdgeSamples = 48;
constexpr double kTwoPi = 2 * std::numbers::pi;

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point operator*(double s, Point a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point cross(Point a, Point b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(Point a) { return std::sqrt(dot(a, a)); }
double sq(double v) { return v * v; }

double pointSegmentDist2(Point p, Point a, Point b)
{
    const Point ab = b - a;
    const double l2 = dot(ab, ab);
    const double t = l2 > 0 ? std::clamp(dot(p - a, ab) / l2, 0.0, 1.0) : 0.0;
    const Point d = p - (a + t * ab);
    return dot(d, d);
}

// Squared distance between segments p1q1 and p2q2.
double segmentSegmentDist2(Point p1, Point q1, Point p2, Point q2)
{
    const Point d1 = q1 - p1, d2 = q2 - p2, r = p1 - p2;
    const double a = dot(d1, d1), e = dot(d2, d2), f = dot(d2, r);
    constexpr double tiny = 1e-30;
    double s = 0, t = 0;
    if (a <= tiny && e <= tiny) return dot(r, r);
    if (a <= tiny) {
        t = std::clamp(f / e, 0.0, 1.0);
    } else {
        const double c = dot(d1, r);
        if (e <= tiny) {
            s = std::clamp(-c / a, 0.0, 1.0);
        } else {
            const double b = dot(d1, d2), denom = a * e - b * b;
            s = denom > 0 ? std::clamp((b * f - c * e) / denom, 0.0, 1.0) : 0.0;
            t = (b * s + f) / e;
            if (t < 0) {
                t = 0;
                s = std::clamp(-c / a, 0.0, 1.0);
            } else if (t > 1) {
                t = 1;
                s = std::clamp((b - c) / a, 0.0, 1.0);
            }
        }
    }
    const Point d = (p1 + s * d1) - (p2 + t * d2);
    return dot(d, d);
}

enum class Kind { Plane, Sphere, Cylinder };

// One smooth piece of an obstacle's surface: the plane z = hr, the sphere of radius hr around a
// conductor's end, or the infinite cylinder of radius hr around its line (c, unit d; n1, n2
// complete an orthonormal frame).
struct Piece {
    Kind kind = Kind::Plane;
    int owner = -1; // conductor index; -1 for the plane
    Point c, d, n1, n2;
    double len = 0;  // a cylinder's length along d; a sphere's d points away from its conductor
    Point low, high; // box around the part of the surface that bounds the obstacle
};

// The box around the bounding part of x (see onBoundingPart).
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

// Whether the bounding parts of a and b can share a curve, and how near p it can come: their
// boxes must overlap with some thickness (the plane lies flat in its own box).
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

// Whether c lies on the part of x's surface that bounds its conductor's obstacle, give or take
// margin: a cylinder between its conductor's ends, a sphere on its outer half.
bool onBoundingPart(const Piece &x, Point c, double margin)
{
    switch (x.kind) {
    case Kind::Plane:
        return true;
    case Kind::Sphere:
        return dot(c - x.c, x.d) >= -margin;
    case Kind::Cylinder: {
        const double s = dot(c - x.c, x.d);
        return s >= -margin && s <= x.len + margin;
    }
    }
    return true;
}

// A lower bound on the distance from p to any point of the bounding part of x that lies within
// hr of the conductor `other` (-1: the plane z = hr), no lower than hr (a free centre's height):
// on a cylinder, the band of its surface between the axial limits that both allow; on a sphere,
// its outer half.
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

double angleGap(double a, double b) { return std::abs(std::remainder(a - b, kTwoPi)); }

// A root of f in [0, 1] where f(0) = f0 and f(1) = f1 differ in sign (Illinois method), to
// within tolerance.
template <class F>
double findRoot(F f, double f0, double f1, double tolerance)
{
    double lo = 0, hi = 1;
    int side = 0;
    for (int it = 0; it < 100 && hi - lo > tolerance; ++it) {
        double t = (lo * f1 - hi * f0) / (f1 - f0);
        if (!(t > lo && t < hi)) t = 0.5 * (lo + hi);
        const double ft = f(t);
        if (ft == 0) return t;
        if ((ft < 0) == (f0 < 0)) {
            lo = t, f0 = ft;
            if (side == -1) f1 *= 0.5;
            side = -1;
        } else {
            hi = t, f1 = ft;
            if (side == 1) f0 *= 0.5;
            side = 1;
        }
    }
    return std::abs(f0) < std::abs(f1) ? lo : hi;
}

// A local minimum of f on [0, 1] (Brent's method: golden sections with parabolic steps).
template <class F>
double findMinimum(F f, double tolerance)
{
    constexpr double golden = 0.3819660112501051;
    double a = 0, b = 1, x = 0.5, w = x, v = x, fx = f(x), fw = fx, fv = fx, d = 0, e = 0;
    for (int it = 0; it < 100; ++it) {
        const double m = 0.5 * (a + b), tol = tolerance + 1e-12 * std::abs(x);
        if (std::abs(x - m) <= 2 * tol - 0.5 * (b - a)) break;
        bool parabolic = false;
        if (std::abs(e) > tol) {
            const double r = (x - w) * (fx - fv), q0 = (x - v) * (fx - fw);
            double pp = (x - v) * q0 - (x - w) * r, q = 2 * (q0 - r);
            if (q > 0) pp = -pp;
            q = std::abs(q);
            if (std::abs(pp) < std::abs(0.5 * q * e) && pp > q * (a - x) && pp < q * (b - x)) {
                e = d;
                d = pp / q;
                parabolic = true;
                if (x + d - a < 2 * tol || b - x - d < 2 * tol) d = x < m ? tol : -tol;
            }
        }
        if (!parabolic) {
            e = (x < m ? b : a) - x;
            d = golden * e;
        }
        const double u = x + (std::abs(d) >= tol ? d : (d > 0 ? tol : -tol));
        const double fu = f(u);
        if (fu <= fx) {
            (u < x ? b : a) = x;
            v = w, fv = fw, w = x, fw = fx, x = u, fx = fu;
        } else {
            (u < x ? a : b) = u;
            if (fu <= fw || w == x) {
                v = w, fv = fw, w = u, fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        }
    }
    return x;
}

// Solutions of a cos t + b sin t = k in [0, 2pi).
int solveTrig(double a, double b, double k, std::array<double, 2> &out)
{
    const double r = std::hypot(a, b);
    if (r <= 0 || std::abs(k) > r) return 0;
    const double phi = std::atan2(b, a), delta = std::acos(std::clamp(k / r, -1.0, 1.0));
    out = {phi - delta, phi + delta};
    return delta > 0 ? 2 : 1;
}

// Coefficients of f(C) = 0 along C = o + s d, as A s^2 + B s + K (A >= 0), for the surface of
// piece x (squared forms for sphere and cylinder).
struct Quad {
    double a = 0, b = 0, k = 0;
};
Quad alongLine(const Piece &x, Point o, Point d, double hr)
{
    switch (x.kind) {
    case Kind::Plane:
        return {0, d.z, o.z - hr};
    case Kind::Sphere: {
        const Point w = o - x.c;
        return {dot(d, d), 2 * dot(w, d), dot(w, w) - hr * hr};
    }
    case Kind::Cylinder: {
        const Point w = o - x.c;
        const double dd = dot(d, x.d), wd = dot(w, x.d);
        return {dot(d, d) - dd * dd, 2 * (dot(w, d) - wd * dd), dot(w, w) - wd * wd - hr * hr};
    }
    }
    return {};
}

// Signed distance in metres from C to the surface of x (positive outside).
double surfaceValue(const Piece &x, Point c, double hr)
{
    switch (x.kind) {
    case Kind::Plane:
        return c.z - hr;
    case Kind::Sphere:
        return norm(c - x.c) - hr;
    case Kind::Cylinder: {
        const Point w = c - x.c;
        return std::sqrt(std::max(0.0, dot(w, w) - sq(dot(w, x.d)))) - hr;
    }
    }
    return 0;
}

// Real roots of A s^2 + B s + K, sorted; the discriminant is clamped at zero when clamp is set.
int solveQuad(const Quad &q, bool clamp, double &s0, double &s1)
{
    if (q.a <= 1e-14) {
        if (std::abs(q.b) <= 1e-300) return 0;
        s0 = s1 = -q.k / q.b;
        return 1;
    }
    double disc = q.b * q.b - 4 * q.a * q.k;
    if (disc < 0) {
        if (!clamp) return 0;
        disc = 0;
    }
    const double root = std::sqrt(disc);
    const double h = -0.5 * (q.b + std::copysign(root, q.b));
    if (h == 0) {
        s0 = s1 = 0;
        return 2;
    }
    s0 = h / q.a;
    s1 = q.k / h;
    if (s0 > s1) std::swap(s0, s1);
    return 2;
}

// True when the surfaces of y (a cylinder) and x are both unchanged along y's axis, so that
// they meet in straight lines parallel to it.
bool invariantPair(const Piece &y, const Piece &x)
{
    if (x.kind == Kind::Plane) return std::abs(y.d.z) < 1e-9;
    if (x.kind == Kind::Cylinder) return sq(norm(cross(y.d, x.d))) < 1e-14;
    return false;
}

// Whether the edge where pieces a and b meet is a curve followed by sampling (a cylinder with a
// surface that is not unchanged along its axis).
bool isCurvePair(const Piece &a, const Piece &b)
{
    if (a.kind == Kind::Cylinder) return !invariantPair(a, b);
    if (b.kind == Kind::Cylinder) return !invariantPair(b, a);
    return false;
}

// Each vertex with a cylinder among its three surfaces is found once, on its first curve edge.
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

// Vertices where no surface is a cylinder: the plane and two spheres, or three spheres. Up to
// two points, written to out; returns how many.
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

// A point of the curve where cylinder y meets surface x: on the line of y at angle th round its
// axis, x is met at up to two points (branch 0 and 1), joined at turning points (branch -1).
struct Sample {
    double th = 0;
    int branch = 0;
    Point at;
    bool valid = false; // near the bounding parts of both surfaces
};

// Following the curve where cylinder y meets surface x.
struct CurveFrame {
    const Piece &y, &x;
    double hr;
    double margin; // samples this far off the bounding parts of both surfaces carry no edge

    Point originAt(double c, double s) const { return y.c + hr * (c * y.n1 + s * y.n2); }
    Point origin(double th) const { return originAt(std::cos(th), std::sin(th)); }
    double discriminantAt(Point o) const
    {
        const Quad q = alongLine(x, o, y.d, hr);
        return q.a <= 1e-14 ? 1.0 : q.b * q.b - 4 * q.a * q.k;
    }
    Point pointAt(Point o, int branch) const
    {
        double s0 = 0, s1 = 0;
        const int n = solveQuad(alongLine(x, o, y.d, hr), true, s0, s1);
        if (n == 0) return o;
        if (branch < 0) return o + (0.5 * (s0 + s1)) * y.d;
        return o + (branch == 0 ? s0 : s1) * y.d;
    }
    Sample make(double th, int branch, Point o) const
    {
        const Point at = pointAt(o, branch);
        return {th, branch, at, onBoundingPart(y, at, margin) && onBoundingPart(x, at, margin)};
    }
    Sample eval(double th, int branch) const { return make(th, branch, origin(th)); }
    // Whether the stretch from a to b runs across a cylinder's whole length.
    bool across(const Piece &piece, Point a, Point b) const
    {
        if (piece.kind != Kind::Cylinder) return false;
        const double sa = dot(a - piece.c, piece.d), sb = dot(b - piece.c, piece.d);
        return (sa < -margin && sb > piece.len + margin) ||
               (sb < -margin && sa > piece.len + margin);
    }
    // Whether the stretch between two samples may hold part of the edge.
    bool mayHold(const Sample &u, const Sample &v) const
    {
        return u.valid || v.valid || across(y, u.at, v.at) || across(x, u.at, v.at);
    }
    // The point of the curve between two samples, at t in [0, 1] of the angle between them.
    Point pointBetween(const Sample &u, const Sample &v, double t) const
    {
        double a = u.th, b = v.th;
        if (b - a > std::numbers::pi) a += kTwoPi;
        if (a - b > std::numbers::pi) b += kTwoPi;
        return pointAt(origin(a + t * (b - a)), u.branch >= 0 ? u.branch : v.branch);
    }
    Sample between(const Sample &u, const Sample &v, double t) const
    {
        double a = u.th, b = v.th;
        if (b - a > std::numbers::pi) a += kTwoPi;
        if (a - b > std::numbers::pi) b += kTwoPi;
        return eval(a + t * (b - a), u.branch >= 0 ? u.branch : v.branch);
    }
};

// One closed loop of an edge's curve, sampled densely enough to find its local minima of the
// distance to any point, with what does not depend on the query worked out once.
struct EdgeLoop {
    std::vector<Sample> samples;
    std::vector<double> gap;          // from sample i to the next
    std::vector<std::uint8_t> holds;  // the stretch from sample i to the next may hold the edge
    std::vector<std::uint8_t> buried; // ... lies deeper inside another obstacle than its length
    // How far the curve strays from the straight line between sample i and the next, and
    // whether that stretch lies wholly inside one other obstacle.
    std::vector<double> bulge;
    std::vector<std::uint8_t> dead;
    // The stretch may hold a free point of the edge: it holds the edge, and is neither buried
    // nor held by one obstacle. Only samples next to such a stretch are looked at.
    std::vector<std::uint8_t> alive;
    // Runs of consecutive samples with the box around them and their longest stretch, so that
    // a query skips the runs that lie beyond its best centre.
    struct Run {
        std::size_t begin = 0, end = 0;
        Point low, high;     // box around the run and the samples on either side of it
        double maxBulge = 0; // how far the curve strays from the chords of those stretches
    };
    std::vector<Run> runs;
};

// A free vertex of the free set's boundary; whether a sphere can reach it is worked out only
// when a query finds it nearer than its best centre (it may need the pocket fill).
struct Vertex {
    explicit Vertex(Point c) : at(c) {}
    Vertex(const Vertex &other) : at(other.at), reachable(other.reachable.load()) {}
    Point at;
    mutable std::atomic<std::int8_t> reachable{-1}; // -1: not yet known
};

// An edge of the free set's boundary on a cylinder: its loops, and the free vertices along it
// where a third surface crosses it.
struct Edge {
    std::vector<EdgeLoop> loops;
    std::vector<Vertex> vertices;
    // Box around every living run and vertex, and the most any of those runs strays from it.
    Point low, high;
    double maxBulge = 0;
    bool empty = true; // no living run and no vertex: nothing on it is ever a candidate
};

// A circle where two round surfaces (the plane, end spheres) meet.
struct Circle {
    Point m, axis;
    double r = 0;
};

struct Model;
Edge followEdge(const Model &layout, std::size_t iy, std::size_t ix);

// A prepared layout: the conductors, their bounding box and the pocket fills.
struct Model {
    std::vector<Conductor> conductors;
    double hr = 0;
    Point low, high; // bounding box of the conductors
    bool empty = true;
    // Per conductor, bit e set when its end e (0: a, 1: b) is also an end of an earlier one. A
    // free centre on the sphere around a shared end lies on the outer half of every conductor
    // ending there, so the earliest one's sphere stands for them all.
    std::vector<std::uint8_t> sharedEnds;

    void findSharedEnds()
    {
        struct End {
            Point at;
            std::size_t index;
        };
        std::vector<End> ends;
        for (std::size_t k = 0; k < conductors.size(); ++k)
            for (std::size_t e = 0; e < 2; ++e)
                ends.push_back({e == 0 ? conductors[k].a : conductors[k].b, 2 * k + e});
        auto key = [](const End &u) { return std::array<double, 3>{u.at.x, u.at.y, u.at.z}; };
        std::sort(ends.begin(), ends.end(), [&](const End &u, const End &v) {
            return key(u) != key(v) ? key(u) < key(v) : u.index < v.index;
        });
        sharedEnds.assign(conductors.size(), 0);
        for (std::size_t i = 1; i < ends.size(); ++i)
            if (key(ends[i]) == key(ends[i - 1]) && ends[i].index / 2 != ends[i - 1].index / 2)
                sharedEnds[ends[i].index / 2] |=
                    static_cast<std::uint8_t>(1u << (ends[i].index % 2));
    }

    // Every surface that can bound a free centre, in a fixed order: the plane first, then each
    // conductor's end spheres and its cylinder.
    std::vector<Piece> pieces;

    void buildPieces()
    {
        pieces.push_back({Kind::Plane, -1, {}, {}, {}, {}, 0, {}, {}});
        setBox(pieces.back(), {}, hr);
        for (std::size_t k = 0; k < conductors.size(); ++k) {
            const Conductor &s = conductors[k];
            const int owner = static_cast<int>(k);
            const Point ab = s.b - s.a;
            const double len = norm(ab);
            const Point along = len > 0 ? (1 / len) * ab : Point{};
            for (int e = 0; e < (len > 0 ? 2 : 1); ++e) {
                const Point end = e == 0 ? s.a : s.b;
                const Point out = e == 0 ? -1.0 * along : along;
                if (sharedEnds[k] & (1u << e)) continue;
                // An end whose outer half-sphere stays below z = hr bounds nothing free.
                const double top = end.z + (out.z >= 0 ? hr : hr * std::sqrt(1 - out.z * out.z));
                if (top < hr * (1 - 1e-12)) continue;
                pieces.push_back({Kind::Sphere, owner, end, out, {}, {}, 0, {}, {}});
                setBox(pieces.back(), s, hr);
            }
            if (len <= 0) continue;
            if (std::max(s.a.z, s.b.z) + hr * std::sqrt(std::max(0.0, 1 - sq(along.z))) <
                hr * (1 - 1e-12))
                continue;
            Piece y{Kind::Cylinder, owner, s.a, along, {}, {}, len, {}, {}};
            setBox(y, s, hr);
            const Point horizontal = cross(y.d, {0, 0, 1});
            y.n1 = norm(horizontal) > 1e-9 ? (1 / norm(horizontal)) * horizontal : Point{1, 0, 0};
            y.n2 = cross(y.d, y.n1);
            pieces.push_back(y);
        }
    }

    // Whether the obstacles of two conductors (-1: the ground's) come near enough for a sphere
    // to touch both: closer than 2 hr.
    std::unique_ptr<std::atomic<std::int8_t>[]> closeCache; // per pair; 0 unknown
    bool ownersNear(int a, int b) const
    {
        const double reach = 2 * hr;
        if (a < 0 || b < 0) {
            const Conductor &s = conductors[static_cast<std::size_t>(std::max(a, b))];
            return std::min(s.a.z, s.b.z) < reach;
        }
        const std::size_t count = conductors.size();
        const std::size_t i = static_cast<std::size_t>(std::min(a, b));
        const std::size_t j = static_cast<std::size_t>(std::max(a, b));
        std::atomic<std::int8_t> &known = closeCache[i * count + j];
        std::int8_t value = known.load(std::memory_order_relaxed);
        if (value == 0) {
            const Conductor &s = conductors[i], &t = conductors[j];
            value = segmentSegmentDist2(s.a, s.b, t.a, t.b) < reach * reach ? 1 : 2;
            known.store(value, std::memory_order_relaxed);
        }
        return value == 1;
    }

    // The curved edges, followed once each on first need: the free set's boundary does not
    // depend on the point asked about.
    // Several queries may run at once. Each cylinder has a slot per surface it can meet (its
    // partners, in order), read without a lock; an edge is followed outside the lock and the
    // first one stored is kept, in a deque that never moves it.
    std::vector<std::size_t> partnerStart; // per piece, into partners; cylinders only
    std::vector<std::uint32_t> partners;
    std::unique_ptr<std::atomic<const Edge *>[]> slots;
    mutable std::mutex edgesMutex;
    mutable std::deque<Edge> edges;

    void findPartners()
    {
        partnerStart.assign(pieces.size() + 1, 0);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            partnerStart[i] = partners.size();
            if (pieces[i].kind != Kind::Cylinder) continue;
            for (std::size_t j = 0; j < pieces.size(); ++j)
                if (j != i && pieces[j].owner != pieces[i].owner &&
                    ownersNear(pieces[i].owner, pieces[j].owner))
                    partners.push_back(static_cast<std::uint32_t>(j));
        }
        partnerStart[pieces.size()] = partners.size();
        slots = std::make_unique<std::atomic<const Edge *>[]>(partners.size());
    }
    std::atomic<const Edge *> *slot(std::size_t iy, std::size_t ix) const
    {
        const auto begin = partners.begin() + static_cast<std::ptrdiff_t>(partnerStart[iy]);
        const auto end = partners.begin() + static_cast<std::ptrdiff_t>(partnerStart[iy + 1]);
        const auto found = std::lower_bound(begin, end, static_cast<std::uint32_t>(ix));
        if (found == end || *found != ix) return nullptr;
        return &slots[static_cast<std::size_t>(found - partners.begin())];
    }
    const Edge &edge(std::size_t iy, std::size_t ix) const
    {
        std::atomic<const Edge *> *place = slot(iy, ix);
        if (!place) throw std::logic_error("rolling sphere: an edge of surfaces that never meet");
        if (const Edge *known = place->load(std::memory_order_acquire)) return *known;
        Edge made = followEdge(*this, iy, ix);
        const std::lock_guard lock(edgesMutex);
        if (const Edge *known = place->load(std::memory_order_acquire)) return *known;
        edges.push_back(std::move(made));
        place->store(&edges.back(), std::memory_order_release);
        return edges.back();
    }
    // The edge when it has been followed already, else null.
    const Edge *followed(std::size_t iy, std::size_t ix) const
    {
        const std::atomic<const Edge *> *place = slot(iy, ix);
        return place ? place->load(std::memory_order_acquire) : nullptr;
    }

    // Whether c is a free centre: above z = hr and at least hr from every conductor (give or
    // take the slack of a computed point).
    bool isFree(Point c) const
    {
        if (c.z < hr - kFeasibleSlack) return false;
        const double limit = sq(hr - kFeasibleSlack);
        for (const Conductor &k : conductors)
            if (pointSegmentDist2(c, k.a, k.b) < limit) return false;
        return true;
    }

    // The free vertices where the plane and spheres meet, three at a time: they do
    // not depend on the point asked about, so they are worked out once, on first need.
    mutable std::vector<Vertex> roundVertices;
    mutable std::once_flag roundVerticesMade;
    const std::vector<Vertex> &vertices() const;
    void findVertices() const;
    // The circles where two of them meet, likewise.
    mutable std::vector<Circle> roundCircles;
    mutable std::once_flag roundCirclesMade;
    const std::vector<Circle> &circles() const;
    void findCircles() const;

    // Optimistic pocket fills, coarse to fine, built on first need.
    struct Fill {
        double cell = 0;
        Point origin;
        int nx = 0, ny = 0, nz = 0;
        std::vector<std::uint8_t> reached;
        bool tooFine = false;
    };
    mutable std::mutex fillsMutex;
    mutable std::deque<Fill> fills; // a deque: a fill, once made, never moves

    double freeMargin(Point c) const
    {
        double g = c.z - hr;
        for (const Conductor &k : conductors)
            g = std::min(g, std::sqrt(pointSegmentDist2(c, k.a, k.b)) - hr);
        return g;
    }

    bool pathFree(Point a, Point b) const
    {
        const double limit = hr - kPathSlack;
        if (a.z < limit || b.z < limit) return false;
        for (const Conductor &k : conductors)
            if (segmentSegmentDist2(a, b, k.a, k.b) < limit * limit) return false;
        return true;
    }

    bool escapes(Point c) const
    {
        if (empty) return true;
        const Point up{c.x, c.y, std::max(c.z, high.z + hr + 1)};
        if (pathFree(c, up)) return true;
        const double cx = 0.5 * (low.x + high.x), cy = 0.5 * (low.y + high.y);
        const double reach = std::hypot(c.x - cx, c.y - cy) +
                             0.5 * std::hypot(high.x - low.x, high.y - low.y) + hr + 1;
        for (int i = 0; i < 8; ++i) {
            const double t = i * kTwoPi / 8;
            if (pathFree(c, {c.x + reach * std::cos(t), c.y + reach * std::sin(t), c.z}))
                return true;
        }
        return false;
    }

    const Fill &fillAt(std::size_t level) const
    {
        const std::lock_guard lock(fillsMutex);
        while (fills.size() <= level) {
            Fill f;
            f.cell = hr / (4 << fills.size());
            f.origin = {low.x - hr - f.cell, low.y - hr - f.cell, 0};
            f.nx = static_cast<int>(std::ceil((high.x - low.x + 2 * hr + 2 * f.cell) / f.cell));
            f.ny = static_cast<int>(std::ceil((high.y - low.y + 2 * hr + 2 * f.cell) / f.cell));
            f.nz = static_cast<int>(std::ceil((high.z + hr + f.cell) / f.cell));
            const double cells = double(f.nx) * f.ny * f.nz;
            if (cells > 1e6) {
                f.tooFine = true;
                fills.push_back(std::move(f));
                continue;
            }
            f.reached.assign(static_cast<std::size_t>(cells), 0);
            const double halfDiagonal = f.cell * std::sqrt(3.0) / 2;
            auto index = [&f](int i, int j, int k) {
                return (static_cast<std::size_t>(k) * f.ny + j) * f.nx + i;
            };
            auto passable = [&](int i, int j, int k) {
                const Point centre{f.origin.x + (i + 0.5) * f.cell, f.origin.y + (j + 0.5) * f.cell,
                                   (k + 0.5) * f.cell};
                return freeMargin(centre) >= -halfDiagonal;
            };
            std::deque<std::array<int, 3>> queue;
            auto visit = [&](int i, int j, int k) {
                if (i < 0 || j < 0 || k < 0 || i >= f.nx || j >= f.ny || k >= f.nz) return;
                std::uint8_t &mark = f.reached[index(i, j, k)];
                if (mark) return;
                mark = 2; // looked at
                if (!passable(i, j, k)) return;
                mark = 1;
                queue.push_back({i, j, k});
            };
            for (int k = 0; k < f.nz; ++k)
                for (int j = 0; j < f.ny; ++j)
                    for (int i = 0; i < f.nx; ++i)
                        if (i == 0 || j == 0 || i == f.nx - 1 || j == f.ny - 1 || k == f.nz - 1)
                            visit(i, j, k);
            while (!queue.empty()) {
                const auto [i, j, k] = queue.front();
                queue.pop_front();
                visit(i - 1, j, k);
                visit(i + 1, j, k);
                visit(i, j - 1, k);
                visit(i, j + 1, k);
                visit(i, j, k - 1);
                visit(i, j, k + 1);
            }
            fills.push_back(std::move(f));
        }
        return fills[level];
    }

    // False only when c lies in a closed pocket for certain.
    bool mayBeReached(Point c) const
    {
        for (std::size_t level = 0; level < 5; ++level) {
            const Fill &f = fillAt(level);
            if (f.tooFine) return true;
            const int i = static_cast<int>(std::floor((c.x - f.origin.x) / f.cell));
            const int j = static_cast<int>(std::floor((c.y - f.origin.y) / f.cell));
            const int k = static_cast<int>(std::floor(c.z / f.cell));
            if (i < 0 || j < 0 || k < 0 || i >= f.nx || j >= f.ny || k >= f.nz) return true;
            if (f.reached[(static_cast<std::size_t>(k) * f.ny + j) * f.nx + i] != 1) return false;
        }
        return true;
    }

    bool reachable(Point c) const { return escapes(c) || mayBeReached(c); }
};

// The curve where cylinder y meets surface x, followed by the angle round y's axis, sampled
// densely wherever it may hold part of the edge; then the vertices along it.
Edge followEdge(const Model &L, std::size_t iy, std::size_t ix)
{
    const double hr = L.hr;
    const Piece &y = L.pieces[iy], &x = L.pieces[ix];
    const CurveFrame f{y, x, hr, hr / 8};
    static const auto table = [] {
        std::array<std::array<double, 2>, kEdgeSamples> t{};
        for (int i = 0; i < kEdgeSamples; ++i)
            t[static_cast<std::size_t>(i)] = {std::cos(i * kTwoPi / kEdgeSamples),
                                              std::sin(i * kTwoPi / kEdgeSamples)};
        return t;
    }();
    auto worthFollowing = [&](const std::vector<Sample> &loop) {
        for (std::size_t i = 0; i < loop.size(); ++i)
            if (f.mayHold(loop[i], loop[(i + 1) % loop.size()])) return true;
        return false;
    };
    const double margin = f.margin;

    Edge edge;
    const bool linear = alongLine(x, f.origin(0), y.d, hr).a <= 1e-14;
    const double step = kTwoPi / kEdgeSamples;
    // Angles evenly round the axis, and densely wherever a branch runs through the whole length
    // of y between two of them (a cylinder cut at a glancing angle).
    std::vector<double> angles(kEdgeSamples);
    for (std::size_t i = 0; i < kEdgeSamples; ++i) angles[i] = static_cast<double>(i) * step;
    auto along = [&](double th, int branch, double &sOut) {
        double s0 = 0, s1 = 0;
        if (solveQuad(alongLine(x, f.origin(th), y.d, hr), false, s0, s1) == 0) return false;
        sOut = branch == 0 ? s0 : s1;
        return true;
    };
    // Where each line of y at the even angles meets x.
    struct Cut {
        bool real = false;
        std::array<double, 2> s{};
    };
    std::array<Cut, kEdgeSamples> cuts{};
    for (std::size_t i = 0; i < kEdgeSamples; ++i) {
        Cut &c = cuts[i];
        c.real = solveQuad(alongLine(x, f.originAt(table[i][0], table[i][1]), y.d, hr), false,
                           c.s[0], c.s[1]) != 0;
    }
    std::vector<double> extra;
    for (std::size_t i = 0; i < kEdgeSamples; ++i) {
        const double th0 = angles[i];
        const Cut &c0 = cuts[i], &c1 = cuts[(i + 1) % kEdgeSamples];
        if (!c0.real || !c1.real) continue;
        for (int branch = 0; branch < (linear ? 1 : 2); ++branch) {
            const double s0 = c0.s[static_cast<std::size_t>(branch)];
            const double s1 = c1.s[static_cast<std::size_t>(branch)];
            const bool straddles =
                (s0 < -margin && s1 > y.len + margin) || (s1 < -margin && s0 > y.len + margin);
            if (!straddles) continue;
            auto crossing = [&](double target) {
                const double t = findRoot(
                    [&](double at) {
                        double sm = target;
                        along(th0 + at * step, branch, sm);
                        return sm - target;
                    },
                    s0 - target, s1 - target, 1e-9);
                return th0 + t * step;
            };
            double from = crossing(-margin), to = crossing(y.len + margin);
            if (from > to) std::swap(from, to);
            for (int k = 0; k <= 16; ++k) extra.push_back(from + (to - from) * k / 16);
        }
    }
    angles.insert(angles.end(), extra.begin(), extra.end());
    std::sort(angles.begin(), angles.end());
    const int count = static_cast<int>(angles.size());

    std::vector<double> disc(angles.size());
    std::vector<std::array<Sample, 2>> samples(angles.size());
    int real = 0;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const Point o = i < kEdgeSamples && extra.empty() ? f.originAt(table[i][0], table[i][1])
                                                          : f.origin(angles[i]);
        disc[i] = f.discriminantAt(o);
        if (disc[i] < 0) continue;
        ++real;
        samples[i] = {f.make(angles[i], 0, o), linear ? Sample{} : f.make(angles[i], 1, o)};
    }
    if (real == 0) return edge;
    auto wrap = [count](int i) { return static_cast<std::size_t>((i % count + count) % count); };
    auto angleAt = [&](int i) {
        const int turns = i >= 0 ? i / count : -((-i + count - 1) / count);
        return angles[wrap(i)] + turns * kTwoPi;
    };

    std::vector<std::vector<Sample>> loops;
    if (real == count) {
        for (std::size_t branch = 0; branch < (linear ? 1u : 2u); ++branch) {
            std::vector<Sample> loop;
            loop.reserve(2 * angles.size());
            for (std::size_t i = 0; i < angles.size(); ++i) loop.push_back(samples[i][branch]);
            if (worthFollowing(loop)) loops.push_back(std::move(loop));
        }
    } else {
        auto turning = [&](double lo, double hi) { // the discriminant changes sign between
            const double t =
                findRoot([&](double at) { return f.discriminantAt(f.origin(lo + at * (hi - lo))); },
                         f.discriminantAt(f.origin(lo)), f.discriminantAt(f.origin(hi)),
                         1e-13 / (std::abs(hi - lo) + 1e-300));
            return lo + t * (hi - lo);
        };
        for (int start = 0; start < count; ++start) {
            if (!(disc[wrap(start)] >= 0 && disc[wrap(start - 1)] < 0)) continue;
            int end = start;
            while (disc[wrap(end + 1)] >= 0) ++end;
            const double thA = turning(angleAt(start - 1), angleAt(start));
            const double thB = turning(angleAt(end + 1), angleAt(end));
            std::vector<Sample> loop;
            loop.reserve(4 * static_cast<std::size_t>(end - start + 2));
            loop.push_back(f.eval(thA, -1));
            for (int i = start; i <= end; ++i) loop.push_back(samples[wrap(i)][0]);
            loop.push_back(f.eval(thB, -1));
            for (int i = end; i >= start; --i) loop.push_back(samples[wrap(i)][1]);
            if (worthFollowing(loop)) loops.push_back(std::move(loop));
        }
    }

    const double maxStep = hr / 6;
    const double slack = sq(hr - kFeasibleSlack);
    for (std::vector<Sample> &loop : loops) {
        // Refine where neighbouring samples lie far apart on a stretch that may hold the edge.
        for (std::size_t i = 0, cap = 8 * loop.size(); i < loop.size() && loop.size() < cap;) {
            const Sample &u = loop[i], &v = loop[(i + 1) % loop.size()];
            if (f.mayHold(u, v) && norm(v.at - u.at) > maxStep) {
                loop.insert(loop.begin() + static_cast<std::ptrdiff_t>(i + 1),
                            f.between(u, v, 0.5));
                continue;
            }
            ++i;
        }
        const std::size_t n = loop.size();
        EdgeLoop out;
        out.gap.resize(n);
        out.holds.resize(n);
        Point low = loop[0].at, high = loop[0].at;
        for (std::size_t i = 0; i < n; ++i) {
            const Sample &u = loop[i], &v = loop[(i + 1) % n];
            out.gap[i] = norm(v.at - u.at);
            out.holds[i] = f.mayHold(u, v);
            low = {std::min(low.x, u.at.x), std::min(low.y, u.at.y), std::min(low.z, u.at.z)};
            high = {std::max(high.x, u.at.x), std::max(high.y, u.at.y), std::max(high.z, u.at.z)};
        }
        // How deep each sample lies inside the other obstacles (the deepest two, by owner): a
        // stretch of the curve deeper inside one than its length holds no free point. Only
        // conductors within hr of the curve can bury any of it.
        struct Depth {
            double first = -1e300, second = -1e300;
            int owner = -2;
            double without(int other) const { return owner == other ? second : first; }
        };
        std::vector<int> around;
        for (std::size_t k = 0; k < L.conductors.size(); ++k) {
            if (static_cast<int>(k) == y.owner || static_cast<int>(k) == x.owner) continue;
            const Conductor &c = L.conductors[k];
            const double gx =
                std::max({0.0, std::min(c.a.x, c.b.x) - high.x, low.x - std::max(c.a.x, c.b.x)});
            const double gy =
                std::max({0.0, std::min(c.a.y, c.b.y) - high.y, low.y - std::max(c.a.y, c.b.y)});
            const double gz =
                std::max({0.0, std::min(c.a.z, c.b.z) - high.z, low.z - std::max(c.a.z, c.b.z)});
            if (gx * gx + gy * gy + gz * gz < hr * hr) around.push_back(static_cast<int>(k));
        }
        std::vector<Depth> depth(n);
        for (std::size_t i = 0; i < n; ++i) {
            if (!out.holds[i] && !out.holds[(i + n - 1) % n]) continue; // never asked about
            Depth &d = depth[i];
            auto add = [&d](double value, int owner) {
                if (value > d.first) {
                    d.second = d.first;
                    d.first = value;
                    d.owner = owner;
                } else if (value > d.second) {
                    d.second = value;
                }
            };
            if (x.kind != Kind::Plane) add(hr - loop[i].at.z, -1);
            for (int k : around) {
                const Conductor &c = L.conductors[static_cast<std::size_t>(k)];
                add(hr - std::sqrt(pointSegmentDist2(loop[i].at, c.a, c.b)), k);
            }
        }
        auto buried = [&](std::size_t i, int except) {
            const std::size_t j = (i + 1) % n;
            const double length = 2 * std::max(out.gap[i], out.gap[j]);
            return depth[i].without(except) > length && depth[j].without(except) > length;
        };
        out.buried.resize(n);
        // The curve between two samples is measured against their chord at three points (with
        // a margin of half again). An obstacle is convex, so when it holds both ends of a chord
        // deeper than the curve strays from it, it holds that whole stretch of the curve.
        out.bulge.resize(n);
        out.dead.resize(n);
        auto depthIn = [&](int owner, Point c) {
            if (owner < 0) return hr - c.z;
            const Conductor &k = L.conductors[static_cast<std::size_t>(owner)];
            return hr - std::sqrt(pointSegmentDist2(c, k.a, k.b));
        };
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            if (!out.holds[i]) continue;
            out.buried[i] = buried(i, -2);
            if (out.buried[i]) continue;
            const Sample &u = loop[i], &v = loop[j];
            double stray = 0;
            for (double t : {0.25, 0.5, 0.75})
                stray = std::max(stray,
                                 std::sqrt(pointSegmentDist2(f.between(u, v, t).at, u.at, v.at)));
            out.bulge[i] = 1.5 * stray + 1e-9 * hr;
            for (int owner : {depth[i].owner, depth[j].owner}) {
                if (owner == -2) continue;
                if (std::min(depthIn(owner, u.at), depthIn(owner, v.at)) > out.bulge[i])
                    out.dead[i] = 1;
            }
        }
        // Runs of samples, each with a box that holds every stretch on either side of its
        // samples: a query skips a run whose box lies beyond its best centre by more than the
        // curve strays from those stretches' chords.
        out.alive.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            out.alive[i] = out.holds[i] && !out.buried[i] && !out.dead[i];
        constexpr std::size_t kRun = 8;
        for (std::size_t begin = 0; begin < n; begin += kRun) {
            EdgeLoop::Run run{begin, std::min(n, begin + kRun), loop[begin].at, loop[begin].at, 0};
            bool any = false;
            for (std::size_t i = run.begin; i < run.end; ++i)
                any = any || out.alive[i] || out.alive[(i + n - 1) % n];
            if (!any) continue;
            for (std::size_t k = begin + n - 1; k <= run.end + n; ++k) {
                const Point a = loop[k % n].at;
                run.low = {std::min(run.low.x, a.x), std::min(run.low.y, a.y),
                           std::min(run.low.z, a.z)};
                run.high = {std::max(run.high.x, a.x), std::max(run.high.y, a.y),
                            std::max(run.high.z, a.z)};
                if (k < run.end + n) run.maxBulge = std::max(run.maxBulge, out.bulge[k % n]);
            }
            out.runs.push_back(run);
        }

        // Vertices: where the curve crosses a third surface, kept when free. None lies on a
        // stretch held wholly inside one obstacle.
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < n; ++i)
            if (out.holds[i] && !out.dead[i]) open.push_back(i);
        std::vector<double> value(n);
        for (std::size_t k = 0; k < L.pieces.size(); ++k) {
            const Piece &z = L.pieces[k];
            if (k == iy || k == ix || z.owner == y.owner || z.owner == x.owner) continue;
            if (z.low.x > high.x + maxStep || z.low.y > high.y + maxStep ||
                z.low.z > high.z + maxStep || z.high.x < low.x - maxStep ||
                z.high.y < low.y - maxStep || z.high.z < low.z - maxStep)
                continue;
            if (!L.ownersNear(z.owner, y.owner) || !L.ownersNear(z.owner, x.owner) ||
                !firstEdgeOf(L.pieces, iy, ix, k))
                continue;
            for (std::size_t i : open) {
                value[i] = surfaceValue(z, loop[i].at, hr);
                value[(i + 1) % n] = surfaceValue(z, loop[(i + 1) % n].at, hr);
            }
            for (std::size_t i : open) {
                const std::size_t next = (i + 1) % n;
                if ((value[i] < 0) == (value[next] < 0)) continue;
                if (buried(i, z.owner)) continue;
                const Sample &u = loop[i], &v = loop[next];
                const double t =
                    findRoot([&](double at) { return surfaceValue(z, f.between(u, v, at).at, hr); },
                             value[i], value[next], 1e-11 / (angleGap(u.th, v.th) + 1e-300));
                const Point c = f.between(u, v, t).at;
                if (c.z < hr - kFeasibleSlack) continue;
                bool free = true;
                for (const Conductor &s : L.conductors)
                    if (pointSegmentDist2(c, s.a, s.b) < slack) {
                        free = false;
                        break;
                    }
                if (free) edge.vertices.emplace_back(c);
            }
        }
        out.samples = std::move(loop);
        edge.loops.push_back(std::move(out));
    }
    auto include = [&edge](Point low, Point high) {
        if (edge.empty) {
            edge.low = low, edge.high = high, edge.empty = false;
            return;
        }
        edge.low = {std::min(edge.low.x, low.x), std::min(edge.low.y, low.y),
                    std::min(edge.low.z, low.z)};
        edge.high = {std::max(edge.high.x, high.x), std::max(edge.high.y, high.y),
                     std::max(edge.high.z, high.z)};
    };
    for (const EdgeLoop &loop : edge.loops)
        for (const EdgeLoop::Run &run : loop.runs) {
            include(run.low, run.high);
            edge.maxBulge = std::max(edge.maxBulge, run.maxBulge);
        }
    for (const Vertex &v : edge.vertices) include(v.at, v.at);
    return edge;
}

const std::vector<Circle> &Model::circles() const
{
    std::call_once(roundCirclesMade, [this] { findCircles(); });
    return roundCircles;
}

void Model::findCircles() const
{
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece &a = pieces[i];
        if (a.kind == Kind::Cylinder) continue;
        for (std::size_t j = i + 1; j < pieces.size(); ++j) {
            const Piece &b = pieces[j];
            if (b.kind == Kind::Cylinder || a.owner == b.owner || !ownersNear(a.owner, b.owner))
                continue;
            if (a.kind == Kind::Plane || b.kind == Kind::Plane) {
                const Piece &round = a.kind == Kind::Plane ? b : a;
                const double h = hr - round.c.z;
                if (std::abs(h) >= hr) continue;
                roundCircles.push_back(
                    {{round.c.x, round.c.y, hr}, {0, 0, 1}, std::sqrt(hr * hr - h * h)});
                continue;
            }
            const Point ab = b.c - a.c;
            const double len = norm(ab);
            if (len <= 0 || len >= 2 * hr) continue;
            roundCircles.push_back(
                {a.c + 0.5 * ab, (1 / len) * ab, std::sqrt(hr * hr - 0.25 * len * len)});
        }
    }
}

const std::vector<Vertex> &Model::vertices() const
{
    std::call_once(roundVerticesMade, [this] { findVertices(); });
    return roundVertices;
}

void Model::findVertices() const
{
    std::vector<std::size_t> round;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].kind != Kind::Cylinder) round.push_back(i);
    auto near = [&](std::size_t a, std::size_t b) {
        return pieces[a].owner != pieces[b].owner && ownersNear(pieces[a].owner, pieces[b].owner);
    };
    std::array<Point, 2> found{};
    for (std::size_t i = 0; i < round.size(); ++i)
        for (std::size_t j = i + 1; j < round.size(); ++j) {
            if (!near(round[i], round[j])) continue;
            for (std::size_t k = j + 1; k < round.size(); ++k) {
                if (!near(round[i], round[k]) || !near(round[j], round[k])) continue;
                const int n = closedFormVertices(pieces[round[i]], pieces[round[j]],
                                                 pieces[round[k]], hr, found);
                for (int m = 0; m < n; ++m) {
                    const Point c = found[static_cast<std::size_t>(m)];
                    if (isFree(c)) roundVertices.emplace_back(c);
                }
            }
        }
}

// The search for one query point: candidates are offered, and the nearest free, reachable one
// is kept.
class Search {
public:
    Search(const Model &layout, Point p) : L_(layout), p_(p), hr_(layout.hr) {}

    // The clearance when it is below limit; otherwise limit or more. A hint, a centre that may
    // be free and reachable, starts the search with its distance when it is.
    double run(double limit = std::numeric_limits<double>::infinity(),
               std::optional<Point> hint = {});
    // The centre that gave the clearance run() returned, when one did (see Layout::nearest).
    std::optional<Point> centre() const { return centre_; }

private:
    const Model &L_;
    Point p_;
    double hr_;
    double best_ = 0;
    std::optional<Point> centre_;  // the centre at best_, when a real one is that near
    std::vector<double> dist_;     // distance from p to each conductor
    std::vector<int> near_;        // conductors that can cut into a centre nearer than best_
    std::vector<Piece> pieces_;    // surfaces that pass within best_ of p
    std::vector<std::size_t> ids_; // their places in the layout's list of surfaces
    std::vector<double> loopDist_;

    void offer(Point c)
    {
        const double d = norm(c - p_);
        if (!(d < best_)) return;
        if (c.z < hr_ - kFeasibleSlack) return;
        const double limit = sq(hr_ - kFeasibleSlack);
        for (int k : near_) {
            const Conductor &s = L_.conductors[static_cast<std::size_t>(k)];
            if (pointSegmentDist2(c, s.a, s.b) < limit) return;
        }
        if (!L_.reachable(c)) return;
        best_ = d;
        centre_ = c;
    }

    // A free vertex worked out once per layout: taken when nearer, and reachable.
    void offerVertex(const Vertex &v)
    {
        const double d = norm(v.at - p_);
        if (!(d < best_)) return;
        std::int8_t reachable = v.reachable.load(std::memory_order_relaxed);
        if (reachable < 0) {
            reachable = L_.reachable(v.at) ? 1 : 0;
            v.reachable.store(reachable, std::memory_order_relaxed);
        }
        if (reachable) {
            best_ = d;
            centre_ = v.at;
        }
    }

    double boxGap(Point low, Point high) const
    {
        const double gx = std::max({0.0, low.x - p_.x, p_.x - high.x});
        const double gy = std::max({0.0, low.y - p_.y, p_.y - high.y});
        const double gz = std::max({0.0, low.z - p_.z, p_.z - high.z});
        return std::sqrt(gx * gx + gy * gy + gz * gz);
    }

    void collect();
    bool ownersClose(const Piece &a, const Piece &b) const;
    void face(const Piece &x);
    void circle(Point m, Point axis, double r);
    void lines(const Piece &y, const Piece &x, std::size_t iy, std::size_t ix);
    void curve(const Edge &edge, const Piece &y, const Piece &x);
};

void Search::collect()
{
    near_.clear();
    pieces_.clear();
    ids_.clear();
    for (std::size_t k = 0; k < L_.conductors.size(); ++k)
        if (dist_[k] < best_ + hr_) near_.push_back(static_cast<int>(k));
    for (std::size_t i = 0; i < L_.pieces.size(); ++i) {
        const Piece &x = L_.pieces[i];
        if (x.owner >= 0) {
            const double d = dist_[static_cast<std::size_t>(x.owner)];
            // Beyond reach, or p so deep inside that the surface lies beyond best_.
            if (!(d < best_ + hr_) || d + best_ < hr_) continue;
        }
        if (!(std::abs(surfaceValue(x, p_, hr_)) <= best_)) continue;
        pieces_.push_back(x);
        ids_.push_back(i);
    }
}

bool Search::ownersClose(const Piece &a, const Piece &b) const
{
    if (a.owner == b.owner) return false;
    return L_.ownersNear(a.owner, b.owner);
}

void Search::face(const Piece &x)
{
    const double hr = hr_;
    switch (x.kind) {
    case Kind::Plane:
        offer({p_.x, p_.y, hr});
        return;
    case Kind::Sphere: {
        const Point w = p_ - x.c;
        const double len = norm(w);
        if (len > 1e-12) {
            offer(x.c + (hr / len) * w);
            offer(x.c - (hr / len) * w);
        } else {
            for (Point u : {Point{1, 0, 0}, Point{-1, 0, 0}, Point{0, 1, 0}, Point{0, -1, 0},
                            Point{0, 0, 1}, Point{0, 0, -1}})
                offer(x.c + hr * u);
        }
        return;
    }
    case Kind::Cylinder: {
        const Point w = p_ - x.c;
        const Point foot = x.c + dot(w, x.d) * x.d;
        const Point perp = p_ - foot;
        const double len = norm(perp);
        if (len > 1e-12) {
            offer(foot + (hr / len) * perp);
            offer(foot - (hr / len) * perp);
        } else {
            for (int i = 0; i < 8; ++i) {
                const double t = i * kTwoPi / 8;
                offer(foot + hr * (std::cos(t) * x.n1 + std::sin(t) * x.n2));
            }
        }
        return;
    }
    }
}

// Stationary points of the distance to p on the circle of centre m, unit axis, radius r.
void Search::circle(Point m, Point axis, double r)
{
    const Point w = p_ - m;
    const double along = dot(w, axis);
    const Point v = w - along * axis;
    const double len = norm(v);
    // No point of the circle is nearer than its nearest one.
    if (!(std::hypot(along, len - r) < best_)) return;
    if (len > 1e-12) {
        offer(m + (r / len) * v);
        offer(m - (r / len) * v);
        return;
    }
    Point u = cross(axis, {1, 0, 0});
    if (norm(u) < 0.5) u = cross(axis, {0, 1, 0});
    u = (1 / norm(u)) * u;
    const Point u2 = cross(axis, u);
    for (int i = 0; i < 8; ++i) {
        const double t = i * kTwoPi / 8;
        offer(m + r * (std::cos(t) * u + std::sin(t) * u2));
    }
}

// The two surfaces meet in straight lines parallel to the cylinder y's axis.
void Search::lines(const Piece &y, const Piece &x, std::size_t iy, std::size_t ix)
{
    const double hr = hr_;
    std::array<double, 2> th{};
    int n = 0;
    if (x.kind == Kind::Plane) {
        n = solveTrig(hr * y.n1.z, hr * y.n2.z, hr - y.c.z, th);
    } else {
        const Point w = x.c - y.c;
        const Point perp = w - dot(w, y.d) * y.d;
        n = solveTrig(dot(y.n1, perp), dot(y.n2, perp), dot(perp, perp) / (2 * hr), th);
    }
    for (int i = 0; i < n; ++i) {
        const Point o = y.c + hr * (std::cos(th[static_cast<std::size_t>(i)]) * y.n1 +
                                    std::sin(th[static_cast<std::size_t>(i)]) * y.n2);
        offer(o + dot(p_ - o, y.d) * y.d);
        for (std::size_t k = 0; k < pieces_.size(); ++k) {
            const Piece &z = pieces_[k];
            if (k == iy || k == ix || !ownersClose(z, y) || !ownersClose(z, x)) continue;
            double s0 = 0, s1 = 0;
            const int m = solveQuad(alongLine(z, o, y.d, hr), false, s0, s1);
            if (m >= 1) offer(o + s0 * y.d);
            if (m == 2) offer(o + s1 * y.d);
        }
    }
}

// The local minima of the distance to p along the curved edge where cylinder y meets x, and
// the vertices along it.
void Search::curve(const Edge &edge, const Piece &y, const Piece &x)
{
    for (const Vertex &v : edge.vertices) offerVertex(v);
    const CurveFrame f{y, x, hr_, hr_ / 8};
    for (const EdgeLoop &loop : edge.loops) {
        // Squared distances from p, worked out only on the runs that come near enough.
        const std::size_t n = loop.samples.size();
        std::vector<double> &dist = loopDist_;
        dist.assign(n, -1);
        auto distAt = [&](std::size_t i) {
            if (dist[i] < 0) {
                const Point w = loop.samples[i].at - p_;
                dist[i] = dot(w, w);
            }
            return dist[i];
        };
        // A stretch is worth refining only when it may hold the edge, is not buried in one
        // obstacle and may come nearer than best_: no nearer than its chord, less how far the
        // curve strays from it.
        auto worth = [&](std::size_t k) {
            const Point a = loop.samples[k].at, b = loop.samples[(k + 1) % n].at;
            return loop.alive[k] && std::sqrt(pointSegmentDist2(p_, a, b)) - loop.bulge[k] < best_;
        };
        for (const EdgeLoop::Run &run : loop.runs) {
            if (boxGap(run.low, run.high) - run.maxBulge >= best_) continue;
            for (std::size_t i = run.begin; i < run.end; ++i) {
                const std::size_t prev = (i + n - 1) % n, next = (i + 1) % n;
                if (!loop.alive[prev] && !loop.alive[i]) continue;
                if (!(distAt(i) <= distAt(prev) && dist[i] <= distAt(next))) continue;
                const double reach = std::max(loop.gap[prev], loop.gap[i]) + best_;
                if (dist[i] >= reach * reach) continue;
                const bool before = worth(prev), after = worth(i);
                if (!before && !after) continue;
                offer(loop.samples[i].at);
                for (const auto &side : {std::pair{prev, i}, std::pair{i, next}}) {
                    if (!(side.first == prev ? before : after)) continue;
                    const Sample &u = loop.samples[side.first], &v = loop.samples[side.second];
                    const double t =
                        findMinimum([&](double at) { return norm(f.pointBetween(u, v, at) - p_); },
                                    1e-8 / (angleGap(u.th, v.th) + 1e-300));
                    offer(f.pointBetween(u, v, t));
                }
            }
        }
    }
}

double Search::run(double limit, std::optional<Point> hint)
{
    const double hr = hr_;
    const std::size_t count = L_.conductors.size();
    dist_.resize(count);
    double margin = p_.z - hr;
    for (std::size_t k = 0; k < count; ++k) {
        const Conductor &s = L_.conductors[k];
        dist_[k] = std::sqrt(pointSegmentDist2(p_, s.a, s.b));
        margin = std::min(margin, dist_[k] - hr);
    }
    if (margin >= 0 && L_.reachable(p_)) return -hr;

    // A centre straight above everything is free and reachable.
    const double top = L_.empty ? hr : std::max(hr, L_.high.z + hr);
    const Point above{p_.x, p_.y, std::max(top, p_.z)};
    best_ = norm(above - p_) * (1 + 1e-12) + 1e-12;
    // With no centre nearer than the limit, the answer is the limit itself (limit + hr - hr
    // might round below it).
    if (best_ < limit + hr)
        centre_ = above;
    else
        best_ = limit + hr;
    // A centre known near the answer (the last one found for a point close by) prunes the
    // search from the start; any free, reachable centre is a true bound.
    if (hint && norm(*hint - p_) < best_ && hint->z >= hr - kFeasibleSlack) {
        const double clear = sq(hr - kFeasibleSlack);
        const bool free =
            std::all_of(L_.conductors.begin(), L_.conductors.end(), [&](const Conductor &k) {
                return pointSegmentDist2(*hint, k.a, k.b) >= clear;
            });
        if (free && L_.reachable(*hint)) {
            best_ = norm(*hint - p_);
            centre_ = hint;
        }
    }
    // Every free centre has z >= hr, so none lies nearer than this: once a candidate is this
    // near, it is the answer.
    const double floor = std::max(0.0, hr - p_.z);
    auto settled = [&] { return best_ <= floor + 1e-12 * hr; };

    collect();
    for (const Piece &x : pieces_) {
        face(x);
        if (settled()) return centre_ ? best_ - hr : limit;
    }

    // Circles and their crossings first: cheap, and they shrink the search. A point of a circle
    // lies no nearer than the distance to its centre, less its radius.
    for (const Circle &c : L_.circles()) circle(c.m, c.axis, c.r);
    for (const Vertex &v : L_.vertices()) offerVertex(v);
    if (settled()) return centre_ ? best_ - hr : limit;

    // Edges on cylinders, with the vertices along them, nearest first: once an edge cannot come
    // nearer than the best centre found, neither can any after it.
    collect();
    struct Candidate {
        double bound;
        std::size_t iy, ix;
        const Edge *known = nullptr; // the curve, when followed already
    };
    std::vector<Candidate> edges;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        for (std::size_t j = i + 1; j < pieces_.size(); ++j) {
            const Piece &a = pieces_[i], &b = pieces_[j];
            if (a.kind != Kind::Cylinder && b.kind != Kind::Cylinder) continue;
            const bool aY = a.kind == Kind::Cylinder;
            const Piece &y = aY ? a : b, &x = aY ? b : a;
            if (!ownersClose(a, b)) continue;
            const std::size_t iy = aY ? i : j, ix = aY ? j : i;
            // A curve followed already bounds itself: by its living runs and its vertices.
            if (const Edge *known = L_.followed(ids_[iy], ids_[ix]);
                known && !invariantPair(y, x)) {
                if (known->empty) continue;
                const double bound =
                    std::max(floor, boxGap(known->low, known->high) - known->maxBulge);
                if (bound < best_) edges.push_back({bound, iy, ix, known});
                continue;
            }
            // Every point of the edge lies on both surfaces, so at least this far from p.
            double bound = 0;
            if (!shareCurve(y, x, p_, hr, bound)) continue;
            const Conductor *ownerX =
                x.owner < 0 ? nullptr : &L_.conductors[static_cast<std::size_t>(x.owner)];
            const Conductor &ownerY = L_.conductors[static_cast<std::size_t>(y.owner)];
            bound = std::max(
                {bound, floor, bandBound(y, x, ownerX, p_, hr), bandBound(x, y, &ownerY, p_, hr)});
            if (bound >= best_) continue;
            edges.push_back({bound, iy, ix});
        }
    }
    std::sort(edges.begin(), edges.end(),
              [](const Candidate &u, const Candidate &v) { return u.bound < v.bound; });
    for (const Candidate &e : edges) {
        if (e.bound >= best_) break;
        const Piece &y = pieces_[e.iy], &x = pieces_[e.ix];
        if (!ownersClose(y, x)) continue;
        if (invariantPair(y, x))
            lines(y, x, e.iy, e.ix);
        else
            curve(e.known ? *e.known : L_.edge(ids_[e.iy], ids_[e.ix]), y, x);
    }
    return centre_ ? best_ - hr : limit;
}

bool finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

} // namespace

struct Layout::Impl {
    Model model;
};

Layout::Layout(std::span<const Conductor> conductors, double hr) : impl_(std::make_unique<Impl>())
{
    if (!std::isfinite(hr) || hr <= 0)
        throw std::invalid_argument("rolling sphere: the radius must be a positive number");
    impl_->model.hr = hr;
    impl_->model.conductors.assign(conductors.begin(), conductors.end());
    for (const Conductor &k : conductors) {
        if (!finite(k.a) || !finite(k.b))
            throw std::invalid_argument("rolling sphere: a conductor coordinate is not a number");
        if (k.a.z < 0 || k.b.z < 0)
            throw std::invalid_argument("rolling sphere: a conductor end lies below the ground");
        for (const Point &e : {k.a, k.b}) {
            if (impl_->model.empty) {
                impl_->model.low = impl_->model.high = e;
                impl_->model.empty = false;
            }
            impl_->model.low = {std::min(impl_->model.low.x, e.x),
                                std::min(impl_->model.low.y, e.y),
                                std::min(impl_->model.low.z, e.z)};
            impl_->model.high = {std::max(impl_->model.high.x, e.x),
                                 std::max(impl_->model.high.y, e.y),
                                 std::max(impl_->model.high.z, e.z)};
        }
    }
    impl_->model.findSharedEnds();
    impl_->model.buildPieces();
    const std::size_t count = conductors.size();
    impl_->model.closeCache = std::make_unique<std::atomic<std::int8_t>[]>(count * count);
    impl_->model.findPartners();
}

Layout::~Layout() = default;
Layout::Layout(Layout &&) noexcept = default;
Layout &Layout::operator=(Layout &&) noexcept = default;

double Layout::clearance(Point p) const
{
    return clearance(p, std::numeric_limits<double>::infinity());
}

double Layout::clearance(Point p, double limit) const
{
    if (!finite(p))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    if (std::isnan(limit)) throw std::invalid_argument("rolling sphere: the limit is not a number");
    return Search(impl_->model, p).run(limit);
}

Layout::Nearest Layout::nearest(Point p, double limit, std::optional<Point> hint) const
{
    if (!finite(p))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    if (std::isnan(limit)) throw std::invalid_argument("rolling sphere: the limit is not a number");
    Search search(impl_->model, p);
    const double value = search.run(limit, hint);
    return {value, search.centre()};
}

double Layout::conductorMargin(Point c) const
{
    if (!finite(c))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    double margin = std::numeric_limits<double>::infinity();
    for (const Conductor &k : impl_->model.conductors)
        margin = std::min(margin, std::sqrt(pointSegmentDist2(c, k.a, k.b)));
    return margin - impl_->model.hr;
}

bool Layout::reachable(Point c) const
{
    if (!finite(c))
        throw std::invalid_argument("rolling sphere: a point coordinate is not a number");
    return impl_->model.reachable(c);
}

double Layout::radius() const { return impl_->model.hr; }

double clearance(std::span<const Conductor> conductors, double hr, Point p)
{
    return Layout(conductors, hr).clearance(p);
}

} // namespace calc::rolling_sphere
