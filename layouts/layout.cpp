#include "layouts/layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <queue>
#include <stdexcept>

namespace calc::layout {

using rolling_sphere::Point;

bool isSphereRadius(double hr)
{
    return std::ranges::any_of(kSphereRadii, [hr](int r) { return hr == r; });
}

std::string newObjectName(const Layout &layout)
{
    for (std::size_t n = layout.objects.size() + 1;; ++n) {
        const std::string name = "建筑物" + std::to_string(n);
        if (std::none_of(layout.objects.begin(), layout.objects.end(),
                         [&](const Object &o) { return o.name == name; }))
            return name;
    }
}

std::vector<rolling_sphere::Conductor> engineConductors(std::span<const Conductor> conductors)
{
    std::vector<rolling_sphere::Conductor> out;
    out.reserve(conductors.size());
    for (const Conductor &c : conductors) {
        if (const Rod *rod = std::get_if<Rod>(&c))
            // The whole rod, not its tip alone: a rod taller than the sphere is touched on its
            // side.
            out.push_back({{rod->x, rod->y, 0}, {rod->x, rod->y, rod->h}});
        else
            out.push_back({std::get<Wire>(c).a, std::get<Wire>(c).b});
    }
    return out;
}

namespace {

double cross(Corner o, Corner a, Corner b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// p lies on the segment ab, given that the three are collinear.
bool withinBox(Corner a, Corner b, Corner p)
{
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

int sign(double v) { return (v > 0) - (v < 0); }

bool segmentsMeet(Corner a, Corner b, Corner c, Corner d)
{
    const int d1 = sign(cross(c, d, a)), d2 = sign(cross(c, d, b));
    const int d3 = sign(cross(a, b, c)), d4 = sign(cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return (d1 == 0 && withinBox(c, d, a)) || (d2 == 0 && withinBox(c, d, b)) ||
           (d3 == 0 && withinBox(a, b, c)) || (d4 == 0 && withinBox(a, b, d));
}

double signedArea(std::span<const Corner> polygon)
{
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Corner a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

bool insidePolygon(std::span<const Corner> polygon, double x, double y)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Corner a = polygon[i], b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// The point of the polygon (boundary or inside) nearest to (x, y).
Corner nearestInPolygon(std::span<const Corner> polygon, double x, double y)
{
    if (insidePolygon(polygon, x, y)) return {x, y};
    Corner best{x, y};
    double bestSq = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Corner a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const double ex = b.x - a.x, ey = b.y - a.y;
        const double t =
            std::clamp(((x - a.x) * ex + (y - a.y) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
        const Corner q{a.x + t * ex, a.y + t * ey};
        const double sq = (q.x - x) * (q.x - x) + (q.y - y) * (q.y - y);
        if (sq < bestSq) {
            bestSq = sq;
            best = q;
        }
    }
    return best;
}

} // namespace

bool isSimplePolygon(std::span<const Corner> polygon)
{
    const std::size_t n = polygon.size();
    if (n < 3) return false;
    for (const Corner &c : polygon)
        if (!std::isfinite(c.x) || !std::isfinite(c.y)) return false;
    if (!(std::abs(signedArea(polygon)) > 0)) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const Corner a = polygon[i], b = polygon[(i + 1) % n];
        if (a.x == b.x && a.y == b.y) return false;
        for (std::size_t j = i + 1; j < n; ++j) {
            const Corner c = polygon[j], d = polygon[(j + 1) % n];
            if (j == i + 1) {
                // Neighbours share b = c; they must not fold back over each other.
                if (sign(cross(a, b, d)) == 0 && withinBox(a, b, d)) return false;
                if (sign(cross(c, d, a)) == 0 && withinBox(c, d, a)) return false;
            } else if (i == 0 && j == n - 1) {
                // The last edge ends where the first begins.
                if (sign(cross(a, b, c)) == 0 && withinBox(a, b, c)) return false;
                if (sign(cross(c, d, b)) == 0 && withinBox(c, d, b)) return false;
            } else if (segmentsMeet(a, b, c, d)) {
                return false;
            }
        }
    }
    return true;
}

namespace {

// The least clearance over a surface, by branch and bound over rectangular cells of its faces.
//
// Clearance is the distance from p to the set R of centres a rolling sphere can reach, minus
// hr, so two bounds hold for every point q of a cell whose four corners v_i have clearance c_i
// (distance D_i = c_i + hr):
//  - it changes no faster than the point moves, so q, within half the diagonal r of its
//    nearest corner, has clearance at least min c_i - r;
//  - no point of R lies inside any ball B(v_i, D_i). Whichever way one looks from q, some
//    corner lies on that side (q is in their convex hull), and the ray stays in that corner's
//    ball for at least sqrt(D_i^2 - |q - v_i|^2). So q has clearance at least
//    min sqrt(D_i^2 - d^2) - hr, with d the diagonal. This bound loses only d^2 / 2D, which lets
//    a face whose clearance barely changes (a roof under a sphere resting on it, an edge along a
//    wire) be settled by cells of decimetres instead of millimetres.
// The search keeps the least clearance found at a surface point so far (best) and a queue of
// cells ordered by the better of the two bounds; it takes the cell with the lowest bound, drops
// it when that bound is within half a millimetre of best, and otherwise splits it in four,
// evaluating the five new corners. Cells stop splitting at a millimetre's diagonal. Every part
// of the surface thus ends in a cell whose points are proven at most half a millimetre below
// best, or in a millimetre cell beside corners no lower than best: no point of the surface lies
// more than a millimetre below the least clearance reported, however narrow the dip and
// wherever it is, inside a face, on an edge or at a corner.
//
// The faces are the walls (rectangles from the ground to the roof along each footprint edge)
// and the roof (the footprint at the object's height), covered by squares of its bounding box.
// A roof corner outside the footprint still bounds its cell but is no candidate for best; the
// footprint's edges belong to the walls' tops.
class SurfaceSearch {
public:
    // With a floor, the search stops at the first surface point whose clearance is below it,
    // and drops every cell proven not to go below it: it settles on which side of the floor the
    // least lies, not the least itself.
    SurfaceSearch(const rolling_sphere::Layout &engine, const Object &object,
                  double floor = -std::numeric_limits<double>::infinity())
        : engine_(engine), object_(object), floor_(floor)
    {}

    ObjectVerdict run()
    {
        const auto &fp = object_.footprint;
        const double h = object_.height;
        if (h > 0) {
            for (std::size_t i = 0; i < fp.size(); ++i) {
                const Corner a = fp[i], b = fp[(i + 1) % fp.size()];
                const double length = std::hypot(b.x - a.x, b.y - a.y);
                faces_.push_back({{a.x, a.y, 0},
                                  {(b.x - a.x) / length, (b.y - a.y) / length, 0},
                                  {0, 0, 1},
                                  false});
                seed(faces_.size() - 1, 0, length, 0, h);
            }
        }
        double x0 = fp[0].x, x1 = fp[0].x, y0 = fp[0].y, y1 = fp[0].y;
        for (const Corner &c : fp) {
            x0 = std::min(x0, c.x);
            x1 = std::max(x1, c.x);
            y0 = std::min(y0, c.y);
            y1 = std::max(y1, c.y);
        }
        faces_.push_back({{0, 0, h}, {1, 0, 0}, {0, 1, 0}, true});
        seed(faces_.size() - 1, x0, x1, y0, y1);

        while (!queue_.empty() && !(best_ < floor_)) {
            const Cell cell = queue_.top();
            queue_.pop();
            if (cell.lower >= bar()) continue;
            const double um = (cell.u0 + cell.u1) / 2, vm = (cell.v0 + cell.v1) / 2;
            // A corner this far above best makes no bound of the new cells matter (the cells'
            // diagonals are half this), so the engine need not find it more exactly.
            const double diagonal = std::hypot(cell.u1 - cell.u0, cell.v1 - cell.v0);
            const auto at = [&](double u, double v) {
                return value(cell.face, u, v, best_ + diagonal);
            };
            const double bottom = at(um, cell.v0);
            const double left = at(cell.u0, vm);
            const double middle = at(um, vm);
            const double right = at(cell.u1, vm);
            const double top = at(um, cell.v1);
            const auto &c = cell.corners;
            push(cell.face, cell.u0, cell.v0, um, vm, {c[0], bottom, left, middle});
            push(cell.face, um, cell.v0, cell.u1, vm, {bottom, c[1], middle, right});
            push(cell.face, cell.u0, vm, um, cell.v1, {left, middle, c[2], top});
            push(cell.face, um, vm, cell.u1, cell.v1, {middle, right, top, c[3]});
        }
        return {best_ >= kProtectedFrom, best_, bestPoint_};
    }

private:
    // Half a millimetre: the search's resolution on either side.
    static constexpr double kSlack = 0.0005;
    static constexpr double kSmallestDiagonal = 0.001;
    // Largest first cells: small enough that the first bounds already prune.
    static constexpr double kSeedSize = 8.0;

    struct Face {
        Point origin, u, v; // the surface point at (s, t) is origin + s u + t v
        bool roof;          // s, t are x, y; only points inside the footprint belong to it
    };
    using Corners = std::array<double, 4>; // clearances at (u0, v0), (u1, v0), (u0, v1), (u1, v1)
    struct Cell {
        double lower;
        std::size_t face;
        double u0, v0, u1, v1;
        Corners corners;
        bool operator>(const Cell &o) const { return lower > o.lower; }
    };

    void seed(std::size_t face, double s0, double s1, double t0, double t1)
    {
        const int ns = std::max(1, static_cast<int>(std::ceil((s1 - s0) / kSeedSize)));
        const int nt = std::max(1, static_cast<int>(std::ceil((t1 - t0) / kSeedSize)));
        const double ds = (s1 - s0) / ns, dt = (t1 - t0) / nt;
        // Against a floor, a corner far enough above it settles its cells at once.
        const double limit = std::isfinite(floor_) ? floor_ + 2 * std::hypot(ds, dt)
                                                   : std::numeric_limits<double>::infinity();
        std::vector<double> row(ns + 1), next(ns + 1);
        for (int i = 0; i <= ns; ++i) row[i] = value(face, s0 + i * ds, t0, limit);
        for (int j = 0; j < nt; ++j) {
            for (int i = 0; i <= ns; ++i)
                next[i] = value(face, s0 + i * ds, t0 + (j + 1) * dt, limit);
            for (int i = 0; i < ns; ++i)
                push(face, s0 + i * ds, t0 + j * dt, s0 + (i + 1) * ds, t0 + (j + 1) * dt,
                     {row[i], row[i + 1], next[i], next[i + 1]});
            std::swap(row, next);
        }
    }

    Point point(const Face &face, double s, double t) const
    {
        return {face.origin.x + s * face.u.x + t * face.v.x,
                face.origin.y + s * face.u.y + t * face.v.y,
                face.origin.z + s * face.u.z + t * face.v.z};
    }

    // The clearance at (s, t) of the face, when below limit; otherwise limit or more (a corner
    // value no higher than the truth keeps every bound a true lower bound).
    double value(std::size_t faceIndex, double s, double t,
                 double limit = std::numeric_limits<double>::infinity())
    {
        const Face &face = faces_[faceIndex];
        const Point p = point(face, s, t);
        const double c = clearance(p, limit);
        if (c < best_ && (!face.roof || insidePolygon(object_.footprint, s, t))) {
            best_ = c;
            bestPoint_ = p;
        }
        return c;
    }

    // The engine's clearance, asked once per point: the walls share their vertical edges and
    // their tops are the roof's edges, so many seeds and cell corners meet. A point is known to
    // the micrometre; a value the engine found below its limit is exact, one at its limit
    // serves any lower limit.
    double clearance(Point p, double limit)
    {
        const auto key =
            std::array{std::llround(p.x * 1e6), std::llround(p.y * 1e6), std::llround(p.z * 1e6)};
        if (const auto known = asked_.find(key); known != asked_.end()) {
            const auto [value, askedLimit] = known->second;
            if (value < askedLimit || limit <= askedLimit) return value;
        }
        // The last centre found lies near: it starts the engine's search.
        const auto nearest = engine_.nearest(p, limit, recent_);
        if (nearest.centre) recent_ = nearest.centre;
        asked_[key] = {nearest.clearance, limit};
        return nearest.clearance;
    }

    void push(std::size_t face, double u0, double v0, double u1, double v1, const Corners &c)
    {
        const double d = std::hypot(u1 - u0, v1 - v0);
        if (faces_[face].roof) {
            const double um = (u0 + u1) / 2, vm = (v0 + v1) / 2;
            const Corner e = nearestInPolygon(object_.footprint, um, vm);
            if (std::hypot(e.x - um, e.y - vm) > d / 2) return; // wholly outside the footprint
        }
        const double hr = engine_.radius();
        double lipschitz = c[0], balls = std::numeric_limits<double>::infinity();
        for (const double ci : c) {
            lipschitz = std::min(lipschitz, ci);
            const double reach = ci + hr;
            balls = std::min(balls, std::sqrt(std::max(0.0, reach * reach - d * d)) - hr);
        }
        const double lower = std::max(lipschitz - d / 2, balls);
        if (lower < bar() && d > kSmallestDiagonal) queue_.push({lower, face, u0, v0, u1, v1, c});
    }

    // A cell whose bound reaches this is settled.
    double bar() const
    {
        return std::isfinite(floor_) ? std::min(floor_, best_ - kSlack) : best_ - kSlack;
    }

    const rolling_sphere::Layout &engine_;
    const Object &object_;
    double floor_;
    std::vector<Face> faces_;
    std::priority_queue<Cell, std::vector<Cell>, std::greater<>> queue_;
    double best_ = std::numeric_limits<double>::infinity();
    Point bestPoint_;
    std::map<std::array<long long, 3>, std::pair<double, double>> asked_; // value, its limit
    std::optional<Point> recent_;
};

} // namespace

ObjectVerdict checkObject(const rolling_sphere::Layout &engine, const Object &object)
{
    if (!isSimplePolygon(object.footprint))
        throw std::invalid_argument("footprint is not a simple polygon");
    if (!std::isfinite(object.height) || object.height < 0)
        throw std::invalid_argument("object height is negative or not finite");
    return SurfaceSearch(engine, object).run();
}

ObjectVerdict quickVerdict(const rolling_sphere::Layout &engine, const Object &object)
{
    if (!isSimplePolygon(object.footprint))
        throw std::invalid_argument("footprint is not a simple polygon");
    if (!std::isfinite(object.height) || object.height < 0)
        throw std::invalid_argument("object height is negative or not finite");
    return SurfaceSearch(engine, object, kProtectedFrom).run();
}

rolling_sphere::Layout prepareEngine(const Layout &layout)
{
    return {engineConductors(layout.conductors), static_cast<double>(layout.hr)};
}

std::vector<ObjectVerdict> checkObjects(const Layout &layout)
{
    const rolling_sphere::Layout engine = prepareEngine(layout);
    std::vector<ObjectVerdict> verdicts;
    verdicts.reserve(layout.objects.size());
    for (const Object &object : layout.objects) verdicts.push_back(checkObject(engine, object));
    return verdicts;
}

bool ClosedFormCheck::agrees() const
{
    return std::ranges::all_of(values, &ClosedFormValue::agrees);
}

namespace {

constexpr double kAgreement = 0.001;

// The height of the protected zone above (x, y): the zone is where the clearance is positive,
// and nothing above every conductor is protected.
double zoneHeight(const rolling_sphere::Layout &engine, double x, double y, double top)
{
    if (!(engine.clearance({x, y, 0}) > 0)) return 0;
    double lo = 0, hi = top;
    for (int i = 0; i < 60 && hi - lo > 1e-9; ++i) {
        const double mid = (lo + hi) / 2;
        (engine.clearance({x, y, mid}) > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

// How far the zone reaches on the ground from (x, y) in the direction (dx, dy). The zone meets
// the ground tangentially, so its edge is where the clearance rises above a rounding-level
// threshold; the threshold moves the edge by well under a millimetre.
double groundReach(const rolling_sphere::Layout &engine, double x, double y, double dx, double dy,
                   double far)
{
    constexpr double kThreshold = 1e-10;
    if (!(engine.clearance({x, y, 0}) > kThreshold)) return 0;
    double lo = 0, hi = far;
    for (int i = 0; i < 60 && hi - lo > 1e-9; ++i) {
        const double mid = (lo + hi) / 2;
        (engine.clearance({x + mid * dx, y + mid * dy, 0}) > kThreshold ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

ClosedFormValue value(std::string_view name, double closedForm, double engine)
{
    return {name, closedForm, engine, std::abs(closedForm - engine) <= kAgreement};
}

std::optional<ClosedFormCheck> twoRods(Rod a, Rod b, double hr, const rolling_sphere::Layout &eng)
{
    // A rod taller than the sphere protects like one of height hr.
    const double h1 = std::min(a.h, hr), h2 = std::min(b.h, hr);
    const double d = std::hypot(b.x - a.x, b.y - a.y);
    if (!(d > 0)) return std::nullopt;
    // The zone's lowest line across the rods lies d1 from the first.
    const double d1 = ((hr - h2) * (hr - h2) - (hr - h1) * (hr - h1) + d * d) / (2 * d);
    const double b0sq = h1 * (2 * hr - h1) - d1 * d1;
    if (!(d1 > 0 && d1 < d && b0sq > 0)) return std::nullopt;
    const double h0 = hr - std::sqrt((hr - h1) * (hr - h1) + d1 * d1);
    const double b0 = std::sqrt(b0sq);

    const double ux = (b.x - a.x) / d, uy = (b.y - a.y) / d;
    const double px = a.x + d1 * ux, py = a.y + d1 * uy;
    const double top = std::max(a.h, b.h);
    const double far = 2 * hr + d;
    ClosedFormCheck check{ClosedFormKind::TwoRods, d1, {}};
    check.values.push_back(value("h0", h0, zoneHeight(eng, px, py, top)));
    check.values.push_back(value("b0", b0, groundReach(eng, px, py, -uy, ux, far)));
    return check;
}

std::optional<ClosedFormCheck> fourRods(const std::vector<Rod> &rods, double hr,
                                        const rolling_sphere::Layout &eng)
{
    const double h = rods[0].h;
    for (const Rod &r : rods)
        if (r.h != h) return std::nullopt;
    double cx = 0, cy = 0;
    for (const Rod &r : rods) {
        cx += r.x / 4;
        cy += r.y / 4;
    }
    // Four points at one distance from their centroid pair off as opposite corners: a
    // rectangle, with that distance half its diagonal.
    const double half = std::hypot(rods[0].x - cx, rods[0].y - cy);
    const double tol = 1e-9 * std::max(1.0, half);
    if (!(half > 0)) return std::nullopt;
    for (const Rod &r : rods)
        if (std::abs(std::hypot(r.x - cx, r.y - cy) - half) > tol) return std::nullopt;
    for (std::size_t i = 0; i < rods.size(); ++i)
        for (std::size_t j = i + 1; j < rods.size(); ++j)
            if (std::hypot(rods[i].x - rods[j].x, rods[i].y - rods[j].y) <= tol)
                return std::nullopt;

    const double hl = std::min(h, hr);
    const double d3 = 2 * half;
    if (!(d3 < 2 * std::sqrt(hl * (2 * hr - hl)) && half < hr)) return std::nullopt;
    const double h0 = std::sqrt(hr * hr - half * half) + hl - hr;
    if (!(h0 > 0)) return std::nullopt;

    // The closed form gives the zone's lowest point within the rectangle, the sphere resting
    // on all four tips over the centre. The engine's lowest is taken over the centre and the
    // middle of each side, where a sphere resting on the outside of two neighbouring rods sits
    // lowest: on a narrow rectangle the long sides dip below the centre.
    double lowest = zoneHeight(eng, cx, cy, h);
    for (std::size_t i = 0; i < rods.size(); ++i)
        for (std::size_t j = i + 1; j < rods.size(); ++j) {
            const double mx = (rods[i].x + rods[j].x) / 2, my = (rods[i].y + rods[j].y) / 2;
            // The diagonals' midpoints are the centre itself.
            if (std::hypot(mx - cx, my - cy) > tol)
                lowest = std::min(lowest, zoneHeight(eng, mx, my, h));
        }
    ClosedFormCheck check{ClosedFormKind::FourRodRectangle, d3, {}};
    check.values.push_back(value("h0", h0, lowest));
    return check;
}

} // namespace

std::optional<ClosedFormCheck> closedFormCheck(const Layout &layout,
                                               const rolling_sphere::Layout &engine)
{
    std::vector<Rod> rods;
    for (const Conductor &c : layout.conductors) {
        const Rod *rod = std::get_if<Rod>(&c);
        if (!rod) return std::nullopt;
        rods.push_back(*rod);
    }
    if (rods.size() == 2) return twoRods(rods[0], rods[1], layout.hr, engine);
    if (rods.size() == 4) return fourRods(rods, layout.hr, engine);
    return std::nullopt;
}

} // namespace calc::layout
