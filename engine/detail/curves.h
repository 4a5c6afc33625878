#pragma once

// Internal to the engine: the edges where two surfaces meet, as followed once per layout (their
// sampled loops, the free vertices along them) and the circles of round surfaces. The account of
// why the engine is exact is in engine/rolling_sphere.h.

#include "engine/detail/solvers.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

namespace calc::rolling_sphere::detail {

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
    // Box around the part of it at z >= hr, the only part that can hold a free centre.
    Point low, high;
};

struct Model;
// The curve where cylinder y meets surface x, followed by the angle round y's axis, sampled
// densely wherever it may hold part of the edge; then the vertices along it.
Edge followEdge(const Model &layout, std::size_t iy, std::size_t ix);

} // namespace calc::rolling_sphere::detail
