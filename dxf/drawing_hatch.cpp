#include "dxf/drawing_hatch.h"

#include "dxf/drawing_spline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dxf {

namespace {

constexpr double kDegrees = std::numbers::pi / 180;
// Corners along an elliptic edge per full turn, and along each span of a spline edge: the
// boundary is read before the drawing's units are known, so finely.
constexpr int kEllipseCorners = 144;
constexpr int kSplineCorners = 16;

struct Piece {
    std::vector<Vertex> corners; // from its start to its end, bulges on all but the last
};

// The sweep from a to b (degrees) counter-clockwise, in (0, 360].
double sweepCcw(double a, double b)
{
    double s = std::fmod(b - a, 360.0);
    if (s <= 0) s += 360;
    return s;
}

// A clockwise edge's angles are stored mirrored: it runs clockwise from −start to −end.
void angles(double start, double end, bool ccw, double &from, double &sweep)
{
    if (ccw) {
        from = start;
        sweep = sweepCcw(start, end);
    } else {
        from = -start;
        sweep = -sweepCcw(-end, -start);
    }
}

} // namespace

bool HatchBoundary::take(const Group &g)
{
    switch (state_) {
    case State::Before:
        if (g.code != 91) return false;
        pathsLeft_ = std::clamp(integer(g), 0LL, 100000LL);
        state_ = pathsLeft_ > 0 ? State::PathStart : State::Done;
        return true;
    case State::PathStart:
        if (g.code == 92) {
            --pathsLeft_;
            state_ = (integer(g) & 2) ? State::Polyline : State::EdgeCount;
        } else if (g.code == 75 && pathsLeft_ <= 0) {
            state_ = State::Done; // the boundary ends where the pattern's data begins
        }
        return true;
    case State::Polyline:
        if (g.code == 10) {
            polyline_.push_back({number(g), 0, 0, 0});
        } else if (g.code == 20 && !polyline_.empty()) {
            polyline_.back().y = number(g);
        } else if (g.code == 42 && !polyline_.empty()) {
            polyline_.back().bulge = number(g);
        } else if (g.code != 72 && g.code != 73 && g.code != 93) {
            endPath();
            return take(g);
        }
        return true;
    case State::EdgeCount:
        if (g.code == 93) {
            edgesLeft_ = std::clamp(integer(g), 0LL, 1000000LL);
            state_ = State::Edges;
        }
        return true;
    case State::Edges:
        if (g.code == 72 && edgesLeft_ > 0) {
            --edgesLeft_;
            edges_.push_back({});
            edges_.back().type = int(integer(g));
            return true;
        }
        if (!edges_.empty() && edgeGroup(g)) return true;
        endPath();
        return take(g);
    case State::Done:
        return true;
    }
    return true;
}

bool HatchBoundary::edgeGroup(const Group &g)
{
    Edge &e = edges_.back();
    const int c = g.code;
    const bool spline = e.type == 4;
    if (spline) {
        switch (c) {
        case 94:
            e.degree = int(std::clamp(integer(g), 1LL, 11LL));
            return true;
        case 40:
            e.knots.push_back(number(g));
            return true;
        case 10:
            e.control.push_back({number(g), 0, 0, 0});
            return true;
        case 20:
            if (!e.control.empty()) e.control.back().y = number(g);
            return true;
        case 42:
            if (!e.control.empty()) e.control.back().bulge = number(g); // the weight, for now
            return true;
        case 11:
            e.fit.push_back({number(g), 0, 0, 0});
            return true;
        case 21:
            if (!e.fit.empty()) e.fit.back().y = number(g);
            return true;
        case 73:
        case 74:
        case 95:
        case 96:
        case 97:
        case 12:
        case 22:
        case 13:
        case 23:
            return true;
        default:
            return false;
        }
    }
    const bool round = e.type == 2 || e.type == 3;
    switch (c) {
    case 10:
        e.x10 = number(g);
        return true;
    case 20:
        e.y10 = number(g);
        return true;
    case 11:
        if (e.type == 2) return false;
        e.x11 = number(g);
        return true;
    case 21:
        if (e.type == 2) return false;
        e.y11 = number(g);
        return true;
    case 40:
        e.r = number(g);
        return round;
    case 50:
        e.start = number(g);
        return round;
    case 51:
        e.end = number(g);
        return round;
    case 73:
        e.ccw = integer(g) != 0;
        return round;
    default:
        return false;
    }
}

void HatchBoundary::endPath()
{
    state_ = pathsLeft_ > 0 ? State::PathStart : State::Done;
    if (!polyline_.empty()) {
        paths_.push_back(std::move(polyline_));
        polyline_.clear();
        return;
    }
    // Each edge as corners from its start to its end.
    std::vector<Piece> pieces;
    for (const Edge &e : edges_) {
        Piece piece;
        if (e.type == 1) {
            piece.corners = {{e.x10, e.y10, 0, 0}, {e.x11, e.y11, 0, 0}};
        } else if (e.type == 2 && e.r > 0) {
            double from = 0, sweep = 0;
            angles(e.start, e.end, e.ccw, from, sweep);
            const double a = from * kDegrees, b = (from + sweep) * kDegrees;
            piece.corners = {{e.x10 + e.r * std::cos(a), e.y10 + e.r * std::sin(a), 0,
                              std::tan(sweep * kDegrees / 4)},
                             {e.x10 + e.r * std::cos(b), e.y10 + e.r * std::sin(b), 0, 0}};
        } else if (e.type == 3) {
            double from = 0, sweep = 0;
            angles(e.start, e.end, e.ccw, from, sweep);
            const int n = std::max(2, int(std::ceil(std::abs(sweep) / 360 * kEllipseCorners)));
            // The minor axis is the major one turned a quarter, scaled by the ratio.
            const double mx = e.x11, my = e.y11, nx = -my * e.r, ny = mx * e.r;
            for (int k = 0; k <= n; ++k) {
                const double t = (from + sweep * k / n) * kDegrees;
                piece.corners.push_back({e.x10 + mx * std::cos(t) + nx * std::sin(t),
                                         e.y10 + my * std::cos(t) + ny * std::sin(t), 0, 0});
            }
        } else if (e.type == 4) {
            SplineCurve curve;
            curve.degree = e.degree;
            curve.knots = e.knots;
            for (const Vertex &v : e.control) {
                curve.control.push_back({v.x, v.y, 0});
                curve.weights.push_back(v.bulge != 0 ? v.bulge : 1);
            }
            for (const Vertex &v : e.fit) curve.fit.push_back({v.x, v.y, 0});
            for (const Vec3 &p : splinePoints(curve, kSplineCorners))
                piece.corners.push_back({p.x, p.y, 0, 0});
        }
        if (piece.corners.size() >= 2) pieces.push_back(std::move(piece));
    }
    edges_.clear();
    if (pieces.empty()) return;
    // Edges run end to start, though a writer may give one backwards: it is turned round when
    // its end, not its start, meets the run so far.
    std::vector<Vertex> path;
    const auto far = [](const Vertex &a, const Vertex &b) {
        return std::hypot(a.x - b.x, a.y - b.y);
    };
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::vector<Vertex> c = pieces[i].corners;
        if (i == 0 && pieces.size() > 1) {
            // The first edge's direction is the one whose end meets the next edge.
            const auto &next = pieces[1].corners;
            const double forward =
                std::min(far(c.back(), next.front()), far(c.back(), next.back()));
            const double backward =
                std::min(far(c.front(), next.front()), far(c.front(), next.back()));
            if (backward < forward) {
                std::reverse(c.begin(), c.end());
                for (std::size_t k = 0; k + 1 < c.size(); ++k) c[k].bulge = -c[k + 1].bulge;
                c.back().bulge = 0;
            }
        } else if (!path.empty() && far(c.back(), path.back()) < far(c.front(), path.back())) {
            std::reverse(c.begin(), c.end());
            for (std::size_t k = 0; k + 1 < c.size(); ++k) c[k].bulge = -c[k + 1].bulge;
            c.back().bulge = 0;
        }
        // Each edge's end is the next one's start: kept once, with the next edge's bulge.
        if (!path.empty()) path.pop_back();
        path.insert(path.end(), c.begin(), c.end());
    }
    // The last edge ends where the first began.
    if (path.size() > 1) path.pop_back();
    paths_.push_back(std::move(path));
}

std::vector<std::vector<Vertex>> HatchBoundary::paths()
{
    if (state_ == State::Polyline || state_ == State::Edges) endPath();
    return std::move(paths_);
}

} // namespace dxf
