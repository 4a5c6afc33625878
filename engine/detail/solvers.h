#pragma once

// Internal to the engine: the root and minimum searches that refine points along a curve, and
// the closed forms for lines and vertices. The account of why the engine is exact is in
// engine/rolling_sphere.h.

#include "engine/detail/surfaces.h"

#include <array>
#include <cmath>
#include <utility>

namespace calc::rolling_sphere::detail {

inline double angleGap(double a, double b) { return std::abs(std::remainder(a - b, kTwoPi)); }

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
int solveTrig(double a, double b, double k, std::array<double, 2> &out);

// Real roots of A s^2 + B s + K, sorted; the discriminant is clamped at zero when clamp is set.
inline int solveQuad(const Quad &q, bool clamp, double &s0, double &s1)
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

// Vertices where no surface is a cylinder: the plane and two spheres, or three spheres. Up to
// two points, written to out; returns how many.
int closedFormVertices(const Piece &a, const Piece &b, const Piece &c, double hr,
                       std::array<Point, 2> &out);

} // namespace calc::rolling_sphere::detail
