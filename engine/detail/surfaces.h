#pragma once

// Internal to the engine: points and segments, and the obstacles' surfaces a free centre can lie
// on (the plane, end spheres, cylinders) with what is known of each. The account of why the
// engine is exact is in engine/rolling_sphere.h.

#include "engine/rolling_sphere.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace calc::rolling_sphere::detail {

// Slack in metres when deciding whether a computed centre cuts into something: candidates sit
// on boundaries to within rounding, far below this.
inline constexpr double kFeasibleSlack = 1e-7;
inline constexpr double kPathSlack = 2e-7;
inline constexpr int kEdgeSamples = 48;
inline constexpr double kTwoPi = 2 * std::numbers::pi;

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Point operator*(double s, Point a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Point cross(Point a, Point b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double norm(Point a) { return std::sqrt(dot(a, a)); }
inline double sq(double v) { return v * v; }

// The point of segment ab nearest p.
inline Point nearestOnSegment(Point p, Point a, Point b)
{
    const Point ab = b - a;
    const double l2 = dot(ab, ab);
    const double t = l2 > 0 ? std::clamp(dot(p - a, ab) / l2, 0.0, 1.0) : 0.0;
    return a + t * ab;
}

inline double pointSegmentDist2(Point p, Point a, Point b)
{
    const Point d = p - nearestOnSegment(p, a, b);
    return dot(d, d);
}

// Squared distance between segments p1q1 and p2q2.
inline double segmentSegmentDist2(Point p1, Point q1, Point p2, Point q2)
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
void setBox(Piece &x, const Conductor &s, double hr);

// Whether the bounding parts of a and b can share a curve, and how near p it can come: their
// boxes must overlap with some thickness (the plane lies flat in its own box).
bool shareCurve(const Piece &a, const Piece &b, Point p, double hr, double &lowerBound);

// Whether c lies on the part of x's surface that bounds its conductor's obstacle, give or take
// margin: a cylinder between its conductor's ends, a sphere on its outer half.
inline bool onBoundingPart(const Piece &x, Point c, double margin)
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
double bandBound(const Piece &x, const Piece &other, const Conductor *owner, Point p, double hr);

// Coefficients of f(C) = 0 along C = o + s d, as A s^2 + B s + K (A >= 0), for the surface of
// piece x (squared forms for sphere and cylinder).
struct Quad {
    double a = 0, b = 0, k = 0;
};
inline Quad alongLine(const Piece &x, Point o, Point d, double hr)
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
inline double surfaceValue(const Piece &x, Point c, double hr)
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

// True when the surfaces of y (a cylinder) and x are both unchanged along y's axis, so that
// they meet in straight lines parallel to it.
inline bool invariantPair(const Piece &y, const Piece &x)
{
    if (x.kind == Kind::Plane) return std::abs(y.d.z) < 1e-9;
    if (x.kind == Kind::Cylinder) return sq(norm(cross(y.d, x.d))) < 1e-14;
    return false;
}

// Whether the edge where pieces a and b meet is a curve followed by sampling (a cylinder with a
// surface that is not unchanged along its axis).
bool isCurvePair(const Piece &a, const Piece &b);

// Each vertex with a cylinder among its three surfaces is found once, on its first curve edge.
bool firstEdgeOf(const std::vector<Piece> &pieces, std::size_t i, std::size_t j, std::size_t k);

} // namespace calc::rolling_sphere::detail
