#include "layouts/surface_search.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

// The least clearance over a surface, by branch and bound over rectangular cells of its faces.
//
// Clearance is the distance from p to the set R of centres a rolling sphere can reach, minus
// hr, so these bounds hold for every point q of a cell whose four corners v_i have clearance
// c_i (distance D_i = c_i + hr), d being the cell's diagonal:
//  - it changes no faster than the point moves, so q has clearance at least min c_i - d / 2;
//  - no point of R lies inside any ball B(v_i, D_i). Whichever way one looks from q, some
//    corner lies on that side (q is in their convex hull), and the ray stays in that corner's
//    ball for at least sqrt(D_i^2 - |q - v_i|^2). So q has clearance at least
//    min sqrt(D_i^2 - d^2) - hr. This loses only d^2 / 2D;
//  - every centre of R lies at z >= hr, so q has clearance at least -min(hr, z) at the cell's
//    highest z: exact wherever a sphere rests straight on the surface (a bare roof of any size,
//    a wall's top), which the cells then settle at once;
//  - for C a centre of R that a corner's search found nearest, |x - C|^2 - |x - c|^2 is affine
//    in x for every c of R, and at each corner it is at most e_i = |v_i - C|^2 - D_i^2 (zero
//    when C is nearest there too). So over the whole cell it is at most e = max e_i, and q has
//    clearance at least sqrt(dist(C, cell)^2 - e) - hr: exact, with its least at the cell's
//    point nearest to C, wherever every corner has the same nearest centre (a roof under a mesh,
//    where one sphere resting on the wires is nearest over a whole opening). With the corners'
//    weights of q, the excess at q is at most their blend of e_i, which gives each of several
//    centres a bound that is good near the corners it is nearest to: the largest of them holds
//    (taken over parts of the cell, no new point asked), so a cell across the line where one
//    centre gives way to another settles too (a cell under a wire of the mesh).
// The search keeps the least clearance found at a surface point so far (best) and a queue of
// cells ordered by the best of these bounds; it takes the cell with the lowest bound, drops it
// when that bound is within half a millimetre of best, and otherwise splits it in four,
// evaluating the five new corners. Where the last bound is exact, the point where it is least is
// asked about as well. Cells stop splitting at a millimetre's diagonal. Every part of the surface
// thus ends in a cell whose points are proven at most half a millimetre below best, or in a
// millimetre cell beside corners no lower than best: no point of the surface lies more than a
// millimetre below the least clearance reported, however narrow the dip and wherever it is,
// inside a face, on an edge or at a corner.
//
// The faces are the walls (rectangles from the ground to the roof along each footprint edge)
// and the roof (the footprint at the object's height), covered by squares of its bounding box.
// A roof corner outside the footprint still bounds its cell but is no candidate for best; the
// footprint's edges belong to the walls' tops.
namespace calc::layout::detail {

using rolling_sphere::Point;

namespace {

// Half a millimetre: the search's resolution on either side.
constexpr double kSlack = 0.0005;
constexpr double kSmallestDiagonal = 0.001;
// Largest first cells: small enough that the first bounds already prune.
constexpr double kSeedSize = 8.0;
constexpr int kMostSeeds = 32;

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

double dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point minus(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

} // namespace

ObjectVerdict SurfaceSearch::run()
{
    const auto &fp = object_.footprint;
    const double h = object_.height;
    double x0 = fp[0].x, x1 = fp[0].x, y0 = fp[0].y, y1 = fp[0].y;
    for (const Corner &c : fp) {
        x0 = std::min(x0, c.x);
        x1 = std::max(x1, c.x);
        y0 = std::min(y0, c.y);
        y1 = std::max(y1, c.y);
    }
    // This part's share of the roof: a slice of the box across its longer side.
    if (parts_ > 1) {
        const bool alongX = x1 - x0 >= y1 - y0;
        const double from = alongX ? x0 : y0, length = (alongX ? x1 : y1) - from;
        const double a = from + length * part_ / parts_, b = from + length * (part_ + 1) / parts_;
        (alongX ? x0 : y0) = a;
        (alongX ? x1 : y1) = b;
    }
    // The roof first: the least is most often there, and the walls' seeds below it need then
    // be known only as far as that least and their cells' size (see seed).
    faces_.push_back({{0, 0, h}, {1, 0, 0}, {0, 1, 0}, true});
    seed(static_cast<std::uint32_t>(faces_.size() - 1), x0, x1, y0, y1);
    if (h > 0) {
        for (std::size_t i = 0; i < fp.size(); ++i) {
            if (i * parts_ / fp.size() != part_) continue; // another part's wall
            const Corner a = fp[i], b = fp[(i + 1) % fp.size()];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            faces_.push_back(
                {{a.x, a.y, 0}, {(b.x - a.x) / length, (b.y - a.y) / length, 0}, {0, 0, 1}, false});
            seed(static_cast<std::uint32_t>(faces_.size() - 1), 0, length, 0, h);
        }
    }
    while (!queue_.empty() && !(best_ < floor_)) {
        const Cell cell = queue_.top();
        queue_.pop();
        if (cell.lower >= bar()) continue;
        const double um = (cell.u0 + cell.u1) / 2, vm = (cell.v0 + cell.v1) / 2;
        // A corner this far above best makes no bound of the new cells matter (the cells'
        // diagonals are half this), so the engine need not find it more exactly.
        const double diagonal = std::hypot(cell.u1 - cell.u0, cell.v1 - cell.v0);
        const auto at = [&](double u, double v) {
            return ask(cell.face, u, v, settling() + diagonal);
        };
        const std::uint32_t bottom = at(um, cell.v0);
        const std::uint32_t left = at(cell.u0, vm);
        const std::uint32_t middle = at(um, vm);
        const std::uint32_t right = at(cell.u1, vm);
        const std::uint32_t top = at(um, cell.v1);
        const auto &c = cell.corners;
        push(cell.face, cell.u0, cell.v0, um, vm, {c[0], bottom, left, middle});
        push(cell.face, um, cell.v0, cell.u1, vm, {bottom, c[1], middle, right});
        push(cell.face, cell.u0, vm, um, cell.v1, {left, middle, c[2], top});
        push(cell.face, um, vm, cell.u1, cell.v1, {middle, right, top, c[3]});
    }
    return {best_ >= kProtectedFrom, best_, bestPoint_};
}

void SurfaceSearch::seed(std::uint32_t face, double s0, double s1, double t0, double t1)
{
    // No more than kMostSeeds a side: on a face of a large footprint, the cells split only
    // where the bounds ask for it, not by its area.
    const auto count = [](double length) {
        return std::clamp(static_cast<int>(std::ceil(length / kSeedSize)), 1, kMostSeeds);
    };
    const int ns = count(s1 - s0), nt = count(t1 - t0);
    const double ds = (s1 - s0) / ns, dt = (t1 - t0) / nt;
    // A corner a cell's diagonal above the floor, or above the least found so far, settles its
    // cells at once: the engine need not find it more exactly (best_ only falls, so the cells
    // stay settled).
    const double diagonal = std::hypot(ds, dt);
    const auto limit = [&] { return settling() + diagonal; };
    std::vector<std::uint32_t> row(static_cast<std::size_t>(ns + 1)), next(row.size());
    for (int i = 0; i <= ns; ++i)
        row[static_cast<std::size_t>(i)] = ask(face, s0 + i * ds, t0, limit());
    for (int j = 0; j < nt; ++j) {
        for (int i = 0; i <= ns; ++i)
            next[static_cast<std::size_t>(i)] = ask(face, s0 + i * ds, t0 + (j + 1) * dt, limit());
        for (int i = 0; i < ns; ++i) {
            const auto k = static_cast<std::size_t>(i);
            push(face, s0 + i * ds, t0 + j * dt, s0 + (i + 1) * ds, t0 + (j + 1) * dt,
                 {row[k], row[k + 1], next[k], next[k + 1]});
        }
        std::swap(row, next);
    }
}

Point SurfaceSearch::point(const Face &face, double s, double t) const
{
    return {face.origin.x + s * face.u.x + t * face.v.x,
            face.origin.y + s * face.u.y + t * face.v.y,
            face.origin.z + s * face.u.z + t * face.v.z};
}

void SurfaceSearch::consider(const Face &face, double s, double t, double value)
{
    if (value < best_ && (!face.roof || insidePolygon(object_.footprint, s, t))) {
        best_ = value;
        bestPoint_ = point(face, s, t);
    }
}

// The engine is asked once per point: the walls share their vertical edges and their tops are
// the roof's edges, so many seeds and cell corners meet. A point is known to the micrometre; a
// value the engine found below its limit is exact, one at its limit serves any lower limit.
std::uint32_t SurfaceSearch::ask(std::uint32_t faceIndex, double s, double t, double limit)
{
    const Face &face = faces_[faceIndex];
    const Point p = point(face, s, t);
    const auto key =
        std::array{std::llround(p.x * 1e6), std::llround(p.y * 1e6), std::llround(p.z * 1e6)};
    const auto [place, fresh] = asked_.try_emplace(key, static_cast<std::uint32_t>(known_.size()));
    if (!fresh) {
        const Known &k = known_[place->second];
        if (k.value < k.limit || limit <= k.limit) {
            consider(face, s, t, k.value);
            return place->second;
        }
    } else {
        known_.emplace_back();
    }
    if (fresh && asked_total_) ++*asked_total_;
    const std::size_t asked = asked_total_ ? asked_total_->load() : known_.size();
    if (asked > limits_.queries)
        throw rolling_sphere::LimitExceeded("被保护物“" + object_.name + "”的表面需要计算超过 " +
                                            std::to_string(limits_.queries) +
                                            " 个点，超出校核的限度");
    // The last centre found lies near: it starts the engine's search.
    const auto nearest = engine_.nearest(p, limit, recent_);
    if (nearest.centre) recent_ = nearest.centre;
    known_[place->second] = {nearest.clearance, limit, nearest.centre};
    consider(face, s, t, nearest.clearance);
    return place->second;
}

double SurfaceSearch::centreBound(const Face &face, double u0, double v0, double u1, double v1,
                                  const Corners &c, double &sAt, double &tAt) const
{
    const double hr = engine_.radius();
    const std::array<Point, 4> corners{point(face, u0, v0), point(face, u1, v0),
                                       point(face, u0, v1), point(face, u1, v1)};
    double bound = -std::numeric_limits<double>::infinity();
    for (std::size_t j = 0; j < 4; ++j) {
        const std::optional<Point> &centre = known_[c[j]].centre;
        if (!centre || (j > 0 && known_[c[j - 1]].centre &&
                        dot(minus(*known_[c[j - 1]].centre, *centre),
                            minus(*known_[c[j - 1]].centre, *centre)) == 0))
            continue;
        // How far C is from being nearest at each corner.
        double excess = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const Point w = minus(corners[i], *centre);
            const double reach = known_[c[i]].value + hr;
            excess = std::max(excess, dot(w, w) - reach * reach);
        }
        // The cell's point nearest to C.
        const Point w = minus(*centre, face.origin);
        const double s = std::clamp(dot(w, face.u), u0, u1);
        const double t = std::clamp(dot(w, face.v), v0, v1);
        const Point gap = minus(*centre, point(face, s, t));
        const double value = std::sqrt(std::max(0.0, dot(gap, gap) - excess)) - hr;
        if (value > bound) {
            bound = value;
            sAt = s;
            tAt = t;
        }
    }
    return bound;
}

double SurfaceSearch::blendBound(const Face &face, double u0, double v0, double u1, double v1,
                                 const Corners &c) const
{
    const double hr = engine_.radius();
    const std::array<Point, 4> corners{point(face, u0, v0), point(face, u1, v0),
                                       point(face, u0, v1), point(face, u1, v1)};
    // Each corner's centre in the face's terms (s, t along it, h off it) and how far it is from
    // being nearest at each corner.
    struct Centre {
        double s, t, h2;
        std::array<double, 4> excess;
    };
    std::vector<Centre> centres;
    for (const std::uint32_t k : c) {
        const std::optional<Point> &centre = known_[k].centre;
        if (!centre) continue;
        const Point w = minus(*centre, face.origin);
        const double s = dot(w, face.u), t = dot(w, face.v);
        const Point off = minus(w, Point{s * face.u.x + t * face.v.x, s * face.u.y + t * face.v.y,
                                         s * face.u.z + t * face.v.z});
        Centre made{s, t, dot(off, off), {}};
        for (std::size_t i = 0; i < 4; ++i) {
            const Point g = minus(corners[i], *centre);
            const double reach = known_[c[i]].value + hr;
            made.excess[i] = std::max(0.0, dot(g, g) - reach * reach);
        }
        centres.push_back(made);
    }
    if (centres.size() < 2) return -std::numeric_limits<double>::infinity();
    // Over each of 8 x 8 parts of the cell: the excess is bilinear, so at most its largest at
    // the part's corners, and the distance to C at least that to the part.
    constexpr int kParts = 8;
    const auto blend = [](const std::array<double, 4> &e, double a, double b) {
        return (1 - a) * (1 - b) * e[0] + a * (1 - b) * e[1] + (1 - a) * b * e[2] + a * b * e[3];
    };
    double least = std::numeric_limits<double>::infinity();
    for (int i = 0; i < kParts; ++i)
        for (int j = 0; j < kParts; ++j) {
            const double a0 = double(i) / kParts, a1 = double(i + 1) / kParts;
            const double b0 = double(j) / kParts, b1 = double(j + 1) / kParts;
            const double s0 = u0 + a0 * (u1 - u0), s1 = u0 + a1 * (u1 - u0);
            const double t0 = v0 + b0 * (v1 - v0), t1 = v0 + b1 * (v1 - v0);
            double part = 0;
            for (const Centre &m : centres) {
                const double excess = std::max({blend(m.excess, a0, b0), blend(m.excess, a1, b0),
                                                blend(m.excess, a0, b1), blend(m.excess, a1, b1)});
                const double ds = m.s - std::clamp(m.s, s0, s1), dt = m.t - std::clamp(m.t, t0, t1);
                part = std::max(part, m.h2 + ds * ds + dt * dt - excess);
            }
            least = std::min(least, part);
        }
    return std::sqrt(least) - hr;
}

void SurfaceSearch::push(std::uint32_t faceIndex, double u0, double v0, double u1, double v1,
                         const Corners &c)
{
    const Face &face = faces_[faceIndex];
    const double d = std::hypot(u1 - u0, v1 - v0);
    if (face.roof) {
        const double um = (u0 + u1) / 2, vm = (v0 + v1) / 2;
        const Corner e = nearestInPolygon(object_.footprint, um, vm);
        if (std::hypot(e.x - um, e.y - vm) > d / 2) return; // wholly outside the footprint
    }
    const double hr = engine_.radius();
    double lipschitz = value(c[0]), balls = std::numeric_limits<double>::infinity();
    for (const std::uint32_t k : c) {
        lipschitz = std::min(lipschitz, value(k));
        const double reach = value(k) + hr;
        balls = std::min(balls, std::sqrt(std::max(0.0, reach * reach - d * d)) - hr);
    }
    const double top = std::max(point(face, u0, v0).z, point(face, u1, v1).z);
    const double ground = -std::min(hr, top);
    double sAt = 0, tAt = 0;
    const double centre = centreBound(face, u0, v0, u1, v1, c, sAt, tAt);
    const double lower =
        std::max({lipschitz - d / 2, balls, ground, centre, blendBound(face, u0, v0, u1, v1, c)});
    if (!(lower < bar()) || d <= kSmallestDiagonal) return;
    // The centre's bound is the clearance itself where it is least on the cell, when exact:
    // that point is asked about, and settles the cell when it is the least.
    if (centre == lower && centre > -hr) {
        ask(faceIndex, sAt, tAt, best_ + d);
        if (!(lower < bar())) return;
    }
    if (queue_.size() * parts_ >= limits_.cells)
        throw rolling_sphere::LimitExceeded("被保护物“" + object_.name + "”的表面需要分成超过 " +
                                            std::to_string(limits_.cells) +
                                            " 个单元，超出校核的内存限度");
    queue_.push({lower, faceIndex, u0, v0, u1, v1, c});
}

double SurfaceSearch::bar() const
{
    return std::isfinite(floor_) ? std::min(floor_, best_ - kSlack) : best_ - kSlack;
}

} // namespace calc::layout::detail
